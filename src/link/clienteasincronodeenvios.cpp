#include "link/clienteasincronodeenvios.h"

#include "platform/canallocal.h"

#include <QTimer>

ClienteAsincronoDeEnvios::ClienteAsincronoDeEnvios(const QList<QByteArray> &cadenas, const QStringList &carteles,
                                                   const QString &archivo, QObject *parent)
    : QObject(parent), m_pedido(MensajeDePedido(cadenas, carteles, archivo)), m_plazo(new QTimer(this)),
      m_reintento(new QTimer(this))
{
    m_plazo->setSingleShot(true);
    m_plazo->setInterval(PlazoDelSaludo);
    connect(m_plazo, &QTimer::timeout, this, &ClienteAsincronoDeEnvios::Rechazar);
    m_reintento->setInterval(20);
    connect(m_reintento, &QTimer::timeout, this, &ClienteAsincronoDeEnvios::Reintentar);
}

bool ClienteAsincronoDeEnvios::Conectar(const QString &carpeta, const QString &linea, const QString &ajustes)
{
    bool lleno = false;
    CanalLocal *socket = ConectarConElServidorDeEnvios(carpeta, this, &lleno);
    if (!socket && !lleno)
        return false;
    m_carpeta = carpeta;
    m_linea = linea;
    m_ajustes = ajustes;
    if (socket) {
        Enlazar(socket);
    } else {
        // The holder is there, busy taking others: its queue empties as it
        // does, and the window goes on meanwhile.
        m_esperandoLugar.start();
        m_reintento->start();
    }
    return true;
}

void ClienteAsincronoDeEnvios::Reintentar()
{
    bool lleno = false;
    if (CanalLocal *socket = ConectarConElServidorDeEnvios(m_carpeta, this, &lleno)) {
        m_reintento->stop();
        Enlazar(socket);
    } else if (!lleno || m_esperandoLugar.hasExpired(CanalLocal::EsperaDeConexion)) {
        Rechazar();
    }
}

void ClienteAsincronoDeEnvios::Enlazar(CanalLocal *socket)
{
    m_socket = socket;
    connect(m_socket, &CanalLocal::Legible, this, &ClienteAsincronoDeEnvios::Leer);
    connect(m_socket, &CanalLocal::Cerrado, this, &ClienteAsincronoDeEnvios::Cerrado);
    m_plazo->start();
}

void ClienteAsincronoDeEnvios::Leer()
{
    if (m_terminado)
        return;
    m_bufer += m_socket->Leer(TamanoMaximoDeMensaje + 4);
    for (;;) {
        MensajeDeEnvios mensaje;
        switch (LeerMensaje(m_bufer, mensaje)) {
        case LecturaDeMensaje::Incompleta:
            return;
        case LecturaDeMensaje::Invalida:
            m_saludado ? Terminar({false, TextoDeServidorPerdido.toString(), 0, 0}) : Rechazar();
            return;
        case LecturaDeMensaje::Leido:
            if (!Atender(mensaje))
                return;
            break;
        }
    }
}

bool ClienteAsincronoDeEnvios::Atender(const MensajeDeEnvios &mensaje)
{
    if (!m_saludado) {
        if (mensaje.tipo != MensajeDeEnvios::Tipo::Saludo || mensaje.version != VersionDeEnvios
            || mensaje.linea != m_linea || mensaje.ajustes != m_ajustes) {
            Rechazar();
            return false;
        }
        m_saludado = true;
        m_plazo->stop();
        m_socket->Escribir(CodificarMensaje(m_pedido));
        return true;
    }
    switch (mensaje.tipo) {
    case MensajeDeEnvios::Tipo::Comenzada:
        Q_EMIT Comenzada(mensaje.total);
        return true;
    case MensajeDeEnvios::Tipo::Avance:
        Q_EMIT Avance(mensaje.entregados, mensaje.total);
        return true;
    case MensajeDeEnvios::Tipo::Resultado:
        Terminar(mensaje.resultado);
        return false;
    default:
        Terminar({false, TextoDeServidorPerdido.toString(), 0, 0});
        return false;
    }
}

void ClienteAsincronoDeEnvios::Cerrado()
{
    // What came before the close is read first: the answer may be in it.
    Leer();
    if (m_terminado)
        return;
    m_saludado ? Terminar({false, TextoDeServidorPerdido.toString(), 0, 0}) : Rechazar();
}

void ClienteAsincronoDeEnvios::Rechazar()
{
    if (m_terminado)
        return;
    m_terminado = true;
    m_plazo->stop();
    m_reintento->stop();
    if (m_socket)
        m_socket->Abortar();
    Q_EMIT Rechazado();
    deleteLater();
}

void ClienteAsincronoDeEnvios::Terminar(const ResultadoDeEnvio &resultado)
{
    if (m_terminado)
        return;
    m_terminado = true;
    m_socket->Abortar();
    Q_EMIT Terminado(resultado);
    deleteLater();
}
