#include "platform/puertoserieqt.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <vector>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int PrimerPuerto = 1;
constexpr int UltimoPuerto = 6;

// "Com2 (/home/ana/com2 -> /dev/ttyUSB0)": the name the operator chose and the
// device behind it.
QString TextoDeDispositivo(int numero, const QString &ruta, const QString &dispositivo = {})
{
    if (dispositivo.isEmpty() || dispositivo == ruta)
        return u"Com%1 (%2)"_s.arg(QString::number(numero), ruta);
    return u"Com%1 (%2 -> %3)"_s.arg(QString::number(numero), ruta, dispositivo);
}

#ifdef Q_OS_UNIX
QString NombreDeGrupo(gid_t grupo)
{
    if (const group *entrada = ::getgrgid(grupo))
        return QString::fromLocal8Bit(entrada->gr_name);
    return QString::number(grupo);
}

QString NombreDeUsuario(uid_t usuario)
{
    if (const passwd *entrada = ::getpwuid(usuario))
        return QString::fromLocal8Bit(entrada->pw_name);
    return QString::number(usuario);
}

// Among this process's groups: a user added to a group keeps the old list
// until the next session.
bool EnElGrupo(gid_t grupo)
{
    if (grupo == ::getegid())
        return true;
    const int cantidad = ::getgroups(0, nullptr);
    if (cantidad <= 0)
        return false;
    std::vector<gid_t> grupos(static_cast<std::size_t>(cantidad));
    const int leidos = ::getgroups(cantidad, grupos.data());
    return leidos > 0 && std::find(grupos.cbegin(), grupos.cbegin() + leidos, grupo) != grupos.cbegin() + leidos;
}

// "rw-rw----", as ls shows them.
QString TextoDePermisos(mode_t modo)
{
    const char letras[] = "rwxrwxrwx";
    QString texto;
    for (int bit = 0; bit < 9; ++bit)
        texto += (modo & (0400 >> bit)) != 0 ? QChar::fromLatin1(letras[bit]) : u'-';
    return texto;
}
#endif

} // namespace

PuertoSerieQt::PuertoSerieQt(QObject *parent)
    : PuertoSerie(parent)
    , m_serie(new QSerialPort(this))
    , m_consejoTrasPerdida(u"Revise que el adaptador serie esté conectado; el próximo envío volverá a abrir "
                           u"el puerto."_s)
{
    m_serie->setObjectName(u"serie"_s);
    m_ajustes = m_ajustesInterpretados.Texto();
    AplicarAjustes(m_ajustesInterpretados);
    connect(m_serie, &QSerialPort::errorOccurred, this, &PuertoSerieQt::AtenderError);
    connect(m_serie, &QSerialPort::bytesWritten, this, &PuertoSerie::BytesEntregados);
}

PuertoSerieQt::~PuertoSerieQt()
{
    // Closed here, while this object is still whole, rather than by the child's
    // destructor.
    m_serie->close();
}

int PuertoSerieQt::Numero() const
{
    return m_numero;
}

bool PuertoSerieQt::PonerNumero(int nuevo)
{
    if (nuevo < PrimerPuerto || nuevo > UltimoPuerto) {
        m_error = u"El puerto %1 no es válido; se admiten los puertos %2 a %3."_s.arg(
            QString::number(nuevo), QString::number(PrimerPuerto), QString::number(UltimoPuerto));
        return false;
    }
    m_numero = nuevo;
    return true;
}

QString PuertoSerieQt::Ajustes() const
{
    return m_ajustes;
}

bool PuertoSerieQt::PonerAjustes(const QString &texto)
{
    QString motivo;
    const std::optional<AjustesSerie> nuevos = AjustesSerie::Interpretar(texto, &motivo);
    if (!nuevos) {
        m_error = motivo;
        return false;
    }
#ifndef Q_OS_WIN
    // Termios has no 1.5 stop bits of its own: a UART makes them out of "two"
    // with 5 data bits only.
    if (nuevos->bitsDeParada == AjustesSerie::BitsDeParada::UnoYMedio && nuevos->bitsDeDatos != 5) {
        m_error = u"Los ajustes «%1» no son válidos: este sistema admite 1.5 bits de parada "
                u"solo con 5 bits de datos."_s.arg(texto);
        return false;
    }
#endif
    if (!AplicarAjustes(*nuevos)) {
        m_error = ConDetalle(u"El puerto %1 no admite los ajustes «%2»: %3."_s.arg(
                               DispositivoEnUso(), texto, TextoDeError(m_serie->error())),
                           m_serie->errorString());
        AplicarAjustes(m_ajustesInterpretados);
        return false;
    }
    m_ajustesInterpretados = *nuevos;
    m_ajustes = nuevos->Texto();
    return true;
}

bool PuertoSerieQt::AplicarAjustes(const AjustesSerie &nuevos)
{
    QSerialPort::Parity paridad = QSerialPort::NoParity;
    switch (nuevos.paridad) {
    case AjustesSerie::Paridad::Ninguna: paridad = QSerialPort::NoParity; break;
    case AjustesSerie::Paridad::Par: paridad = QSerialPort::EvenParity; break;
    case AjustesSerie::Paridad::Impar: paridad = QSerialPort::OddParity; break;
    case AjustesSerie::Paridad::Marca: paridad = QSerialPort::MarkParity; break;
    case AjustesSerie::Paridad::Espacio: paridad = QSerialPort::SpaceParity; break;
    }
    QSerialPort::StopBits parada = QSerialPort::OneStop;
    switch (nuevos.bitsDeParada) {
    case AjustesSerie::BitsDeParada::Uno: parada = QSerialPort::OneStop; break;
#ifdef Q_OS_WIN
    case AjustesSerie::BitsDeParada::UnoYMedio: parada = QSerialPort::OneAndHalfStop; break;
#else
    case AjustesSerie::BitsDeParada::UnoYMedio: parada = QSerialPort::TwoStop; break;
#endif
    case AjustesSerie::BitsDeParada::Dos: parada = QSerialPort::TwoStop; break;
    }
    // Each setter only records the value while the port is closed; an open
    // port takes it at once.
    return m_serie->setBaudRate(nuevos.velocidad)
        && m_serie->setDataBits(static_cast<QSerialPort::DataBits>(nuevos.bitsDeDatos))
        && m_serie->setParity(paridad) && m_serie->setStopBits(parada)
        && m_serie->setFlowControl(QSerialPort::NoFlowControl);
}

bool PuertoSerieQt::Abrir()
{
    if (m_serie->isOpen()) {
        // A port open for writing only hears nothing of an adapter unplugged,
        // replugged or relinked while it was idle; asked now, before anything
        // is written, it reopens instead of failing the send.
        if (m_numeroAbierto == m_numero && SigueSiendoElMismo())
            return true;
        Cerrar();
    }

    const UbicacionDePuerto ubicacion = UbicarPuerto(m_numero);
    if (!ubicacion.existe) {
        if (ubicacion.porEnlace) {
            m_error = u"No se puede abrir el puerto Com%1: el enlace %2 apunta a %3, que no existe. "
                    u"Conecte el adaptador serie o corrija el enlace."_s.arg(
                        QString::number(m_numero), ubicacion.ruta, ubicacion.destino);
        } else {
            m_error = u"No se puede abrir el puerto Com%1: no existe el dispositivo %2. Para usar "
                    u"otro dispositivo, cree en la carpeta de trabajo (%3) un enlace llamado com%1 "
                    u"que apunte a él."_s.arg(QString::number(m_numero), ubicacion.ruta,
                                              QDir::toNativeSeparators(QDir::currentPath()));
        }
        return false;
    }

    m_serie->setPortName(ubicacion.ruta);
    if (!AplicarAjustes(m_ajustesInterpretados) || !m_serie->open(QIODevice::WriteOnly)) {
        m_error = DescribirFallaAlAbrir(ubicacion);
        if (m_serie->isOpen())
            m_serie->close();
        return false;
    }
    m_numeroAbierto = m_numero;
    m_rutaAbierta = ubicacion.ruta;
    m_dispositivoAbierto = ubicacion.dispositivo;
    m_cerradoPorFalla = false;
#ifdef Q_OS_UNIX
    // Unknown stays zero, which no device matches: the next check reopens.
    m_numeroDeDispositivo = m_sistemaDeArchivos = m_nodo = 0;
    struct stat abierto {};
    if (::fstat(m_serie->handle(), &abierto) == 0) {
        m_numeroDeDispositivo = abierto.st_rdev;
        m_sistemaDeArchivos = abierto.st_dev;
        m_nodo = abierto.st_ino;
    }
#endif
    return true;
}

bool PuertoSerieQt::SigueSiendoElMismo() const
{
    const UbicacionDePuerto ubicacion = UbicarPuerto(m_numeroAbierto);
    if (!ubicacion.existe || ubicacion.ruta != m_rutaAbierta)
        return false;
#ifdef Q_OS_UNIX
    // The same file: for a device its number, since a device may be reached
    // through more than one node; for anything else its inode.
    struct stat ahora {};
    if (::stat(QFile::encodeName(ubicacion.ruta).constData(), &ahora) != 0)
        return false;
    const bool mismo = S_ISCHR(ahora.st_mode)
        ? ahora.st_rdev == m_numeroDeDispositivo
        : ahora.st_dev == m_sistemaDeArchivos && ahora.st_ino == m_nodo;
    if (!mismo)
        return false;

    // Still answering: a device that was unplugged, or a pseudo-terminal
    // whose other end closed, is hung up; it refuses every request and polls
    // as hung up, while its node may even be back for a new device.
    const int descriptor = m_serie->handle();
    termios modo {};
    if (::tcgetattr(descriptor, &modo) != 0)
        return false;
    pollfd consulta {descriptor, POLLOUT, 0};
    int listos = 0;
    do {
        listos = ::poll(&consulta, 1, 0);
    } while (listos < 0 && errno == EINTR);
    return listos >= 0 && (consulta.revents & (POLLERR | POLLHUP | POLLNVAL)) == 0;
#else
    return true;
#endif
}

QString PuertoSerieQt::DescribirFallaAlAbrir(const UbicacionDePuerto &ubicacion) const
{
    const QString dispositivo = TextoDeDispositivo(m_numero, ubicacion.ruta, ubicacion.dispositivo);
    const QString detalle = m_serie->errorString();
    switch (m_serie->error()) {
    case QSerialPort::DeviceNotFoundError:
        return ConDetalle(u"No se puede abrir el puerto %1: el dispositivo no existe. Conecte el "
                          u"adaptador serie o cree en la carpeta de trabajo un enlace llamado com%2 "
                          u"que apunte al dispositivo correcto."_s.arg(dispositivo, QString::number(m_numero)),
                          detalle);
    case QSerialPort::PermissionError: {
        // QSerialPort says PermissionError both for a lock file held by
        // another program and for a device the user may not open; only the
        // latter is a matter of file permissions.
        bool sinPermiso = false;
#ifdef Q_OS_UNIX
        sinPermiso = ::access(QFile::encodeName(ubicacion.ruta).constData(), W_OK) != 0 && errno == EACCES;
#endif
        if (sinPermiso)
            return ConDetalle(TextoSinPermiso(m_numero, ubicacion.ruta, ubicacion.dispositivo), detalle);
        return ConDetalle(u"No se puede abrir el puerto %1: está en uso por otro programa. Ciérrelo "
                          u"y vuelva a intentarlo."_s.arg(dispositivo),
                          detalle);
    }
    case QSerialPort::UnsupportedOperationError:
        return ConDetalle(u"No se puede abrir el puerto %1 con los ajustes %2: el dispositivo no los "
                          u"admite. Compruebe que es un puerto serie."_s.arg(dispositivo, m_ajustes),
                          detalle);
    default:
        return ConDetalle(u"No se puede abrir el puerto %1: %2."_s.arg(dispositivo, TextoDeError(m_serie->error())),
                          detalle);
    }
}

QString PuertoSerieQt::TextoDeError(QSerialPort::SerialPortError codigo)
{
    switch (codigo) {
    case QSerialPort::NoError:
        return u"el sistema no informó ningún error"_s;
    case QSerialPort::DeviceNotFoundError:
        return u"el dispositivo no existe"_s;
    case QSerialPort::PermissionError:
        return u"no hay permiso para usar el dispositivo, o lo está usando otro programa"_s;
    case QSerialPort::OpenError:
        return u"el puerto ya estaba abierto"_s;
    case QSerialPort::NotOpenError:
        return u"el puerto no está abierto"_s;
    case QSerialPort::WriteError:
        return u"el dispositivo no aceptó los datos"_s;
    case QSerialPort::ReadError:
        return u"no se pudieron leer datos del dispositivo"_s;
    case QSerialPort::ResourceError:
        return u"el dispositivo dejó de responder (se desconectó o se apagó)"_s;
    case QSerialPort::UnsupportedOperationError:
        return u"el dispositivo no admite la operación pedida; puede que no sea un puerto serie"_s;
    case QSerialPort::TimeoutError:
        return u"el dispositivo no respondió a tiempo"_s;
    case QSerialPort::UnknownError:
        break;
    }
    return u"ocurrió un error desconocido del puerto serie"_s;
}

QString PuertoSerieQt::ConDetalle(const QString &texto, const QString &detalle)
{
    if (detalle.isEmpty())
        return texto;
    return texto + PuertoSerie::MarcaDeDetalle + detalle;
}

QString PuertoSerieQt::TextoSinPermiso(int numero, const QString &ruta, const QString &dispositivo)
{
    const QString donde = dispositivo.isEmpty() ? ruta : dispositivo;
    const QString puerto = TextoDeDispositivo(numero, ruta, dispositivo);
#ifdef Q_OS_UNIX
    struct stat datos {};
    if (::stat(QFile::encodeName(donde).constData(), &datos) == 0) {
        const QString grupo = NombreDeGrupo(datos.st_gid);
        // Joining the group helps only if the group may write, if the owner's
        // bits do not decide instead, and if this session is not in it
        // already; and nobody is sent to join the administrators' group.
        const bool sirveElGrupo = (datos.st_mode & S_IWGRP) != 0 && datos.st_gid != 0
            && datos.st_uid != ::geteuid() && !EnElGrupo(datos.st_gid);
        if (sirveElGrupo) {
            return u"No hay permiso para abrir el puerto %1: el dispositivo %2 pertenece al grupo %3 "
                   u"y este usuario no está en él. Agréguelo al grupo (sudo adduser $USER %3) y "
                   u"vuelva a iniciar la sesión."_s.arg(puerto, donde, grupo);
        }
        return u"No hay permiso para abrir el puerto %1: el dispositivo %2 pertenece al usuario %3 "
               u"y al grupo %4, con permisos %5, y este usuario no puede escribir en él. Pida al "
               u"administrador del equipo que le dé acceso al dispositivo."_s.arg(
                   puerto, donde, NombreDeUsuario(datos.st_uid), grupo, TextoDePermisos(datos.st_mode));
    }
#endif
    return u"No hay permiso para abrir el puerto %1: este usuario no puede escribir en el "
           u"dispositivo %2. Pida al administrador del equipo que le dé acceso."_s.arg(puerto, donde);
}

QString PuertoSerieQt::DispositivoEnUso() const
{
    if (m_serie->isOpen())
        return TextoDeDispositivo(m_numeroAbierto, m_rutaAbierta, m_dispositivoAbierto);
    return u"Com%1"_s.arg(m_numero);
}

bool PuertoSerieQt::Abierto() const
{
    return m_serie->isOpen();
}

void PuertoSerieQt::Cerrar()
{
    m_cerradoPorFalla = false;
    if (m_serie->isOpen())
        m_serie->close();
    m_numeroAbierto = 0;
    m_rutaAbierta.clear();
    m_dispositivoAbierto.clear();
}

qint64 PuertoSerieQt::Pendientes() const
{
    if (!m_serie->isOpen())
        return 0;
    qint64 pendientes = m_serie->bytesToWrite();
#ifdef Q_OS_LINUX
    const int descriptor = m_serie->handle();
    int enElControlador = 0;
    if (::ioctl(descriptor, TIOCOUTQ, &enElControlador) == 0 && enElControlador > 0)
        pendientes += enElControlador;
#ifdef TIOCSERGETLSR
    // TIOCOUTQ says nothing of the character still being shifted out; a pause
    // measured from its "zero" would be short by that character. Only UARTs
    // answer this; other devices are taken at their word.
    unsigned int estadoDeLinea = 0;
    if (enElControlador == 0 && ::ioctl(descriptor, TIOCSERGETLSR, &estadoDeLinea) == 0
        && (estadoDeLinea & TIOCSER_TEMT) == 0) {
        pendientes += 1;
    }
#endif
#endif
    return pendientes;
}

bool PuertoSerieQt::Escribir(const QByteArray &bytes)
{
    if (!m_serie->isOpen()) {
        // After a failure its description says more than "not open".
        if (!m_cerradoPorFalla)
            m_error = u"El puerto Com%1 no está abierto."_s.arg(m_numero);
        return false;
    }
    if (m_serie->write(bytes) != bytes.size()) {
        m_error = ConDetalle(u"El puerto %1 no aceptó los datos: %2."_s.arg(DispositivoEnUso(),
                                                                          TextoDeError(m_serie->error())),
                           m_serie->errorString());
        return false;
    }
    return true;
}

QString PuertoSerieQt::DescripcionError() const
{
    return m_error;
}

void PuertoSerieQt::PonerConsejoTrasPerdida(const QString &consejo)
{
    m_consejoTrasPerdida = consejo;
}

QString PuertoSerieQt::RutaAbierta() const
{
    return m_rutaAbierta;
}

QString PuertoSerieQt::DispositivoAbierto() const
{
    return m_dispositivoAbierto;
}

void PuertoSerieQt::AtenderError(QSerialPort::SerialPortError codigo)
{
    if (codigo != QSerialPort::ResourceError && codigo != QSerialPort::WriteError)
        return;
    if (!m_serie->isOpen())
        return;
    // Closed at once: left open, a lost device keeps the write notifier firing
    // and the error repeats without end.
    const QString dispositivo = DispositivoEnUso();
    const QString detalle = m_serie->errorString();
    Cerrar();
    m_cerradoPorFalla = true;
    m_error = ConDetalle(u"Se perdió la comunicación con el puerto %1: %2. %3"_s.arg(
                             dispositivo, TextoDeError(codigo), m_consejoTrasPerdida),
                         detalle);
    Q_EMIT Falla(m_error);
}
