#include "link/servidordeenvios.h"

#include "link/lineadecarteles.h"
#include "link/plandeenvio.h"
#include "link/protocolodeenvios.h"
#include "link/trama.h"
#include "link/transmisor.h"
#include "platform/canallocal.h"
#include "platform/puertoserie.h"
#include "platform/servidorlocal.h"

#include <QTimer>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

ServidorDeEnvios::ServidorDeEnvios(LineaDeCarteles &linea, QObject *parent)
    : QObject(parent), m_linea(linea), m_servidor(new ServidorLocal(this))
{
    connect(m_servidor, &ServidorLocal::NuevaConexion, this, &ServidorDeEnvios::Atender);
    connect(&m_linea.Emisor(), &Transmisor::Comenzada, this, &ServidorDeEnvios::Comenzada);
    connect(&m_linea.Emisor(), &Transmisor::Avance, this, &ServidorDeEnvios::Avance);
    connect(&m_linea, &LineaDeCarteles::PlanTerminado, this, &ServidorDeEnvios::PlanTerminado);
}

bool ServidorDeEnvios::Escuchar(const QString &carpeta)
{
    m_error.clear();
    const auto noSePuede = [this](const QString &motivo) {
        m_error = u"cartel-enviar no podrá enviar por este proceso mientras tenga el puerto: "_s + motivo;
        return false;
    };
    QString motivo;
    const std::optional<QString> ruta = RutaDelServidorDeEnvios(carpeta, &motivo);
    if (!ruta)
        return noSePuede(motivo);
    // The socket of a live server is left alone; only one that nobody
    // answers on, from a process that died, is replaced.
    // A queue too full to take one more is a live server's too.
    bool lleno = false;
    const std::unique_ptr<CanalLocal> prueba{CanalLocal::ConectarSinEsperar(*ruta, lleno)};
    if (prueba || lleno)
        return false;
    if (!m_servidor->Escuchar(*ruta))
        return noSePuede(m_servidor->Error());
    return true;
}

void ServidorDeEnvios::Atender(CanalLocal *socket)
{
    m_clientes.insert(socket, Cliente());
    connect(socket, &CanalLocal::Legible, this, [this, socket] { Leer(socket); });
    connect(socket, &CanalLocal::Cerrado, this, [this, socket] { Olvidar(socket); });
    QTimer::singleShot(PlazoDelPedido, socket, [this, socket] {
        if (m_clientes.value(socket).plan == 0)
            Soltar(socket);
    });
    MensajeDeEnvios saludo;
    saludo.tipo = MensajeDeEnvios::Tipo::Saludo;
    saludo.puerto = m_linea.Puerto().Numero();
    saludo.ajustes = m_linea.Puerto().Ajustes();
    saludo.linea = m_linea.Puerto().Nombre();
    socket->Escribir(CodificarMensaje(saludo));
}

void ServidorDeEnvios::Leer(CanalLocal *socket)
{
    auto cliente = m_clientes.find(socket);
    if (cliente == m_clientes.end())
        return;
    // Never more than one message and its length: what does not fit is
    // garbage, and so is anything after the one plan a connection carries.
    cliente->bufer += socket->Leer(TamanoMaximoDeMensaje + 4 - cliente->bufer.size());
    MensajeDeEnvios mensaje;
    const LecturaDeMensaje lectura = LeerMensaje(cliente->bufer, mensaje);
    if (lectura == LecturaDeMensaje::Incompleta && socket->Disponibles() == 0)
        return;
    if (lectura != LecturaDeMensaje::Leido || mensaje.tipo != MensajeDeEnvios::Tipo::Pedido
        || mensaje.version != VersionDeEnvios || cliente->plan != 0 || !cliente->cadenas.isEmpty()) {
        Soltar(socket);
        return;
    }
    Pedido(socket, mensaje);
}

void ServidorDeEnvios::Pedido(CanalLocal *socket, const MensajeDeEnvios &pedido)
{
    const QList<QByteArray> &cadenas = pedido.cadenas;
    // Nothing of a plan goes out unless all of it is frames as the program
    // builds them: a client could hand over any bytes at all.
    if (!std::all_of(cadenas.cbegin(), cadenas.cend(), [](const QByteArray &cadena) { return EsCadenaDeTramas(cadena); })) {
        Responder(socket, false, u"El pedido no traía tramas bien formadas; no se envió nada."_s);
        return;
    }
    Cliente &cliente = m_clientes[socket];
    cliente.cadenas = cadenas;
    for (const QByteArray &cadena : cadenas)
        cliente.tramasTotales += Transmisor::FinesDeTrama(cadena).size();
    if (cadenas.isEmpty()) {
        Responder(socket, true, {});
        return;
    }
    // Known before Enviar(), which may end the plan before it returns.
    cliente.plan = m_linea.ProximoPlan();
    m_porPlan.insert(cliente.plan, socket);
    PlanDeEnvio plan;
    plan.cadenas = cadenas;
    if (m_enviador)
        m_enviador(plan, pedido.carteles, pedido.archivo);
    else
        m_linea.Enviar(plan);
}

void ServidorDeEnvios::Soltar(CanalLocal *socket)
{
    socket->Abortar();
    // Whether or not the abort said so: the client must not keep its place.
    Olvidar(socket);
}

void ServidorDeEnvios::Olvidar(CanalLocal *socket)
{
    // Its plan, if it had one, goes out all the same: strings handed to the
    // transmitter are not taken back.
    m_porPlan.remove(m_clientes.value(socket).plan);
    m_clientes.remove(socket);
    socket->deleteLater();
}

CanalLocal *ServidorDeEnvios::SocketEnCurso() const
{
    return m_porPlan.value(m_linea.PlanEnCurso());
}

void ServidorDeEnvios::Comenzada(qint64 total)
{
    CanalLocal *socket = SocketEnCurso();
    if (!socket)
        return;
    Cliente &cliente = m_clientes[socket];
    if (cliente.cadena >= 0)
        cliente.tramasAnteriores += Transmisor::FinesDeTrama(cliente.cadenas.value(cliente.cadena)).size();
    ++cliente.cadena;
    cliente.tramasEntregadas = cliente.tramasAnteriores;
    MensajeDeEnvios mensaje;
    mensaje.tipo = MensajeDeEnvios::Tipo::Comenzada;
    mensaje.total = total;
    socket->Escribir(CodificarMensaje(mensaje));
}

void ServidorDeEnvios::Avance(qint64 entregados, qint64 total)
{
    CanalLocal *socket = SocketEnCurso();
    if (!socket)
        return;
    Cliente &cliente = m_clientes[socket];
    const QList<qsizetype> fines = Transmisor::FinesDeTrama(cliente.cadenas.value(cliente.cadena));
    cliente.tramasEntregadas = cliente.tramasAnteriores
                               + (std::lower_bound(fines.cbegin(), fines.cend(), entregados) - fines.cbegin());
    MensajeDeEnvios mensaje;
    mensaje.tipo = MensajeDeEnvios::Tipo::Avance;
    mensaje.entregados = entregados;
    mensaje.total = total;
    socket->Escribir(CodificarMensaje(mensaje));
}

void ServidorDeEnvios::PlanTerminado(quint64 plan, const QString &fallo)
{
    if (CanalLocal *socket = m_porPlan.take(plan))
        Responder(socket, fallo.isEmpty(), fallo);
}

void ServidorDeEnvios::Responder(CanalLocal *socket, bool exito, const QString &fallo)
{
    const Cliente &cliente = m_clientes.value(socket);
    MensajeDeEnvios mensaje;
    mensaje.tipo = MensajeDeEnvios::Tipo::Resultado;
    mensaje.resultado.exito = exito;
    mensaje.resultado.fallo = fallo;
    mensaje.resultado.tramasEntregadas = exito ? cliente.tramasTotales : cliente.tramasEntregadas;
    mensaje.resultado.tramasTotales = cliente.tramasTotales;
    socket->Escribir(CodificarMensaje(mensaje));
    // Goes once what was written has been taken.
    socket->CerrarAlTerminar();
}
