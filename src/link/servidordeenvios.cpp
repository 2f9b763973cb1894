#include "link/servidordeenvios.h"

#include "link/lineadecarteles.h"
#include "link/plandeenvio.h"
#include "link/protocolodeenvios.h"
#include "link/transmisor.h"
#include "platform/puertoserie.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

ServidorDeEnvios::ServidorDeEnvios(LineaDeCarteles &linea, QObject *parent)
    : QObject(parent), m_linea(linea), m_servidor(new QLocalServer(this))
{
    // Only this user's cartel-enviar may hand frames to the line.
    m_servidor->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_servidor, &QLocalServer::newConnection, this, &ServidorDeEnvios::Atender);
    connect(&m_linea.Emisor(), &Transmisor::Comenzada, this, &ServidorDeEnvios::Comenzada);
    connect(&m_linea.Emisor(), &Transmisor::Avance, this, &ServidorDeEnvios::Avance);
    connect(&m_linea, &LineaDeCarteles::PlanTerminado, this, &ServidorDeEnvios::PlanTerminado);
}

bool ServidorDeEnvios::Escuchar(const QString &carpeta)
{
    const QString nombre = NombreDelServidorDeEnvios(carpeta);
    // The socket of a live server is left alone; only one that nobody
    // answers on, from a process that died, is removed.
    QLocalSocket prueba;
    prueba.connectToServer(nombre);
    if (prueba.waitForConnected(500)) {
        m_error = u"Otro proceso ya atiende los envíos de esta carpeta."_s;
        return false;
    }
    QLocalServer::removeServer(nombre);
    if (!m_servidor->listen(nombre)) {
        m_error = m_servidor->errorString();
        return false;
    }
    return true;
}

void ServidorDeEnvios::Atender()
{
    while (QLocalSocket *socket = m_servidor->nextPendingConnection()) {
        if (m_clientes.size() >= MaximoDeClientes) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_clientes.insert(socket, Cliente());
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Leer(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { Olvidar(socket); });
        QTimer::singleShot(PlazoDelPedido, socket, [this, socket] {
            if (m_clientes.value(socket).plan == 0)
                Soltar(socket);
        });
        MensajeDeEnvios saludo;
        saludo.tipo = MensajeDeEnvios::Tipo::Saludo;
        saludo.puerto = m_linea.Puerto().Numero();
        saludo.ajustes = m_linea.Puerto().Ajustes();
        socket->write(CodificarMensaje(saludo));
    }
}

void ServidorDeEnvios::Leer(QLocalSocket *socket)
{
    auto cliente = m_clientes.find(socket);
    if (cliente == m_clientes.end())
        return;
    // Never more than one message and its length: what does not fit is
    // garbage, and so is anything after the one plan a connection carries.
    cliente->bufer += socket->read(TamanoMaximoDeMensaje + 4 - cliente->bufer.size());
    MensajeDeEnvios mensaje;
    const LecturaDeMensaje lectura = LeerMensaje(cliente->bufer, mensaje);
    if (lectura == LecturaDeMensaje::Incompleta && socket->bytesAvailable() == 0)
        return;
    if (lectura != LecturaDeMensaje::Leido || mensaje.tipo != MensajeDeEnvios::Tipo::Pedido
        || mensaje.version != VersionDeEnvios || cliente->plan != 0 || !cliente->cadenas.isEmpty()) {
        Soltar(socket);
        return;
    }
    Pedido(socket, mensaje.cadenas);
}

void ServidorDeEnvios::Pedido(QLocalSocket *socket, const QList<QByteArray> &cadenas)
{
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
        m_enviador(plan);
    else
        m_linea.Enviar(plan);
}

void ServidorDeEnvios::Soltar(QLocalSocket *socket)
{
    socket->abort();
    // Whether or not the abort said so: the client must not keep its place.
    Olvidar(socket);
}

void ServidorDeEnvios::Olvidar(QLocalSocket *socket)
{
    // Its plan, if it had one, goes out all the same: strings handed to the
    // transmitter are not taken back.
    m_porPlan.remove(m_clientes.value(socket).plan);
    m_clientes.remove(socket);
    socket->deleteLater();
}

QLocalSocket *ServidorDeEnvios::SocketEnCurso() const
{
    return m_porPlan.value(m_linea.PlanEnCurso());
}

void ServidorDeEnvios::Comenzada(qint64 total)
{
    QLocalSocket *socket = SocketEnCurso();
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
    socket->write(CodificarMensaje(mensaje));
}

void ServidorDeEnvios::Avance(qint64 entregados, qint64 total)
{
    QLocalSocket *socket = SocketEnCurso();
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
    socket->write(CodificarMensaje(mensaje));
}

void ServidorDeEnvios::PlanTerminado(quint64 plan, const QString &fallo)
{
    if (QLocalSocket *socket = m_porPlan.take(plan))
        Responder(socket, fallo.isEmpty(), fallo);
}

void ServidorDeEnvios::Responder(QLocalSocket *socket, bool exito, const QString &fallo)
{
    const Cliente &cliente = m_clientes.value(socket);
    MensajeDeEnvios mensaje;
    mensaje.tipo = MensajeDeEnvios::Tipo::Resultado;
    mensaje.resultado.exito = exito;
    mensaje.resultado.fallo = fallo;
    mensaje.resultado.tramasEntregadas = exito ? cliente.tramasTotales : cliente.tramasEntregadas;
    mensaje.resultado.tramasTotales = cliente.tramasTotales;
    socket->write(CodificarMensaje(mensaje));
    // Goes once what was written has been taken.
    socket->disconnectFromServer();
}
