#include "link/clientedeenvios.h"

#include "platform/canallocal.h"


using namespace Qt::StringLiterals;

ClienteDeEnvios::ClienteDeEnvios(QObject *parent) : QObject(parent) {}

bool ClienteDeEnvios::Conectar(const QString &carpeta, std::chrono::milliseconds plazo)
{
    const int milisegundos = static_cast<int>(plazo.count());
    delete m_socket;
    m_socket = ConectarConElServidorDeEnvios(carpeta, this);
    if (!m_socket)
        return false;
    MensajeDeEnvios saludo;
    if (!Recibir(saludo, milisegundos) || saludo.tipo != MensajeDeEnvios::Tipo::Saludo
        || saludo.version != VersionDeEnvios) {
        m_socket->Abortar();
        return false;
    }
    m_puerto = saludo.puerto;
    m_ajustes = saludo.ajustes;
    m_linea = saludo.linea;
    return true;
}

ResultadoDeEnvio ClienteDeEnvios::Enviar(const QList<QByteArray> &cadenas, const QStringList &carteles,
                                         const QString &archivo)
{
    const MensajeDeEnvios pedido = MensajeDePedido(cadenas, carteles, archivo);
    ResultadoDeEnvio resultado;
    resultado.fallo = TextoDeServidorPerdido.toString();
    if (!m_socket)
        return resultado;
    m_socket->Escribir(CodificarMensaje(pedido));
    MensajeDeEnvios mensaje;
    // No limit of our own: the server's transmitter gives up on a line that
    // stops, and its answer says so.
    while (Recibir(mensaje, -1)) {
        switch (mensaje.tipo) {
        case MensajeDeEnvios::Tipo::Comenzada:
            Q_EMIT Comenzada(mensaje.total);
            break;
        case MensajeDeEnvios::Tipo::Avance:
            Q_EMIT Avance(mensaje.entregados, mensaje.total);
            break;
        case MensajeDeEnvios::Tipo::Resultado:
            return mensaje.resultado;
        default:
            return resultado;
        }
    }
    return resultado;
}

bool ClienteDeEnvios::Recibir(MensajeDeEnvios &mensaje, int milisegundos)
{
    for (;;) {
        switch (LeerMensaje(m_bufer, mensaje)) {
        case LecturaDeMensaje::Leido:
            return true;
        case LecturaDeMensaje::Invalida:
            return false;
        case LecturaDeMensaje::Incompleta:
            break;
        }
        if (!m_socket->EsperarLegible(milisegundos))
            return false;
        m_bufer += m_socket->Leer(TamanoMaximoDeMensaje + 4);
    }
}
