#include "platform/puertored.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

#ifdef Q_OS_LINUX
#include <linux/sockios.h>
#include <sys/ioctl.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 NanosegundosPorSegundo = 1'000'000'000;

// Start bit, data bits, parity bit and stop bits of one character; one and
// a half stop bits are counted as two, so the pause is never short.
int BitsPorCaracter(const AjustesSerie &ajustes)
{
    const int paridad = ajustes.paridad == AjustesSerie::Paridad::Ninguna ? 0 : 1;
    const int parada = ajustes.bitsDeParada == AjustesSerie::BitsDeParada::Uno ? 1 : 2;
    return 1 + ajustes.bitsDeDatos + paridad + parada;
}

// As the serial port words it: the system's own text on a last line.
QString ConDetalleDeRed(const QString &texto, const QString &detalle)
{
    return detalle.isEmpty() ? texto : texto + PuertoSerie::MarcaDeDetalle + detalle;
}

} // namespace

PuertoRed::PuertoRed(QObject *parent)
    : PuertoSerie(parent)
    , m_socket(new QTcpSocket(this))
    , m_plazo(new QTimer(this))
    , m_consejoTrasPerdida(u"Revise que el servidor de puerto serie esté encendido y en la red; el próximo "
                           u"envío volverá a conectarse."_s)
{
    m_socket->setObjectName(u"red"_s);
    m_plazo->setSingleShot(true);
    m_plazo->setInterval(PlazoDeConexionMs);
    m_reloj.start();
    connect(m_plazo, &QTimer::timeout, this, [this] {
        Perder(u"el servidor no respondió en %1 s"_s.arg(PlazoDeConexionMs / 1000), {});
    });
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        m_plazo->stop();
        // Each slice the transmitter writes goes out at once, not held back
        // for the last one's acknowledgement: the far line's pace is the
        // transmitter's to keep.
        m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    });
    connect(m_socket, &QTcpSocket::bytesWritten, this, &PuertoRed::Entregados);
    connect(m_socket, &QTcpSocket::readyRead, this, [this] { m_socket->skip(m_socket->bytesAvailable()); });
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        Perder(TextoDeError(error), m_socket->errorString());
    });
}

PuertoRed::~PuertoRed()
{
    m_abierto = false;
    m_socket->abort();
}

void PuertoRed::PonerDireccion(const QString &anfitrion, quint16 puerto)
{
    m_anfitrion = anfitrion;
    m_puerto = puerto;
}

QString PuertoRed::Nombre() const
{
    const QString equipo = m_anfitrion.contains(u':') ? u"["_s + m_anfitrion + u"]"_s : m_anfitrion;
    return equipo + u":"_s + QString::number(m_puerto);
}

int PuertoRed::Numero() const
{
    return m_numero;
}

bool PuertoRed::PonerNumero(int numero)
{
    m_numero = numero;
    return true;
}

QString PuertoRed::Ajustes() const
{
    return m_ajustes.Texto();
}

bool PuertoRed::PonerAjustes(const QString &texto)
{
    QString motivo;
    const std::optional<AjustesSerie> nuevos = AjustesSerie::Interpretar(texto, &motivo);
    if (!nuevos) {
        m_error = motivo;
        return false;
    }
    m_ajustes = *nuevos;
    return true;
}

bool PuertoRed::Abrir()
{
    if (m_abierto && m_nombreAbierto == Nombre())
        return true;
    Cerrar();
    if (m_anfitrion.isEmpty() || m_puerto == 0) {
        m_error = u"No se puede abrir la línea de red: no tiene equipo ni puerto."_s;
        return false;
    }
    m_abierto = true;
    m_nombreAbierto = Nombre();
    m_cerradoPorFalla = false;
    m_finDeLinea = 0;
    // Open for reading too, only so that a server that closes is heard at
    // once; whatever it says is dropped.
    m_socket->connectToHost(m_anfitrion, m_puerto);
    m_plazo->start();
    return true;
}

bool PuertoRed::Abierto() const
{
    return m_abierto;
}

void PuertoRed::Cerrar()
{
    // Cleared first: abort() reports what it does, and none of it is a failure.
    m_abierto = false;
    m_cerradoPorFalla = false;
    m_plazo->stop();
    m_socket->abort();
    m_finDeLinea = 0;
}

qint64 PuertoRed::Pendientes() const
{
    if (!m_abierto)
        return 0;
    const qint64 ahora = m_reloj.nsecsElapsed();
    const qint64 nanosegundosPorByte =
        NanosegundosPorSegundo * BitsPorCaracter(m_ajustes) / std::max(1, m_ajustes.velocidad);
    // Rounded up: a byte half sent is still on the line.
    qint64 enLaLinea = std::max<qint64>(0, (m_finDeLinea - ahora + nanosegundosPorByte - 1) / nanosegundosPorByte);
#ifdef Q_OS_LINUX
    // What the system took but the server has not acknowledged yet is not
    // on its serial line either, however long ago it was taken.
    int sinConfirmar = 0;
    if (m_socket->state() == QAbstractSocket::ConnectedState
        && ::ioctl(static_cast<int>(m_socket->socketDescriptor()), SIOCOUTQ, &sinConfirmar) == 0)
        enLaLinea = std::max<qint64>(enLaLinea, sinConfirmar);
#endif
    return m_socket->bytesToWrite() + enLaLinea;
}

bool PuertoRed::Escribir(const QByteArray &bytes)
{
    if (!m_abierto) {
        if (!m_cerradoPorFalla)
            m_error = u"La línea %1 no está abierta."_s.arg(Nombre());
        return false;
    }
    if (m_socket->write(bytes) != bytes.size()) {
        m_error = ConDetalleDeRed(u"La línea %1 no aceptó los datos."_s.arg(m_nombreAbierto), m_socket->errorString());
        return false;
    }
    return true;
}

QString PuertoRed::DescripcionError() const
{
    return m_error;
}

void PuertoRed::PonerConsejoTrasPerdida(const QString &consejo)
{
    m_consejoTrasPerdida = consejo;
}

void PuertoRed::Entregados(qint64 cantidad)
{
    // The far line sends these after whatever it still had.
    const qint64 nanosegundosPorByte =
        NanosegundosPorSegundo * BitsPorCaracter(m_ajustes) / std::max(1, m_ajustes.velocidad);
    m_finDeLinea = std::max(m_finDeLinea, m_reloj.nsecsElapsed()) + cantidad * nanosegundosPorByte;
    Q_EMIT BytesEntregados(cantidad);
}

void PuertoRed::Perder(const QString &motivo, const QString &detalle)
{
    if (!m_abierto)
        return;
    const QString nombre = m_nombreAbierto;
    Cerrar();
    m_cerradoPorFalla = true;
    m_error = ConDetalleDeRed(u"Se perdió la comunicación con el puerto %1: %2. %3"_s.arg(
                                  nombre, motivo, m_consejoTrasPerdida),
                              detalle);
    Q_EMIT Falla(m_error);
}

QString PuertoRed::TextoDeError(QAbstractSocket::SocketError error) const
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return u"el servidor rechazó la conexión (no está en marcha o no escucha en ese puerto)"_s;
    case QAbstractSocket::RemoteHostClosedError:
        return u"el servidor cerró la conexión"_s;
    case QAbstractSocket::HostNotFoundError:
        return u"no se encuentra el equipo %1 en la red"_s.arg(m_anfitrion);
    case QAbstractSocket::SocketTimeoutError:
        return u"el servidor no respondió a tiempo"_s;
    case QAbstractSocket::NetworkError:
        return u"no se llega al servidor por la red (equipo inalcanzable o cable desconectado)"_s;
    case QAbstractSocket::SocketAccessError:
        return u"el sistema no permite esta conexión"_s;
    default:
        return u"falló la conexión de red"_s;
    }
}
