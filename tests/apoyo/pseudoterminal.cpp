#include "link/lineadecarteles.h"
#include "apoyo/pseudoterminal.h"

#include "platform/pseudoterminalcruda.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

qint64 Ahora()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QString NombreDePuerto(const QDir &carpeta, int numero)
{
    return carpeta.filePath(u"com%1"_s.arg(numero));
}

bool Quitar(const QString &ruta)
{
    // QFile::exists() follows links; a dangling one must go too.
    ::unlink(QFile::encodeName(ruta).constData());
    return !QFileInfo(ruta).isSymLink() && !QFileInfo::exists(ruta);
}

void Cerrar(int &descriptor)
{
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
}

} // namespace

PseudoTerminal::PseudoTerminal(QObject *parent)
    : QObject(parent)
{
    const auto terminal = AbrirPseudoTerminalCruda(&m_error);
    if (!terminal)
        return;
    m_maestro = terminal->maestro;
    m_esclavo = terminal->esclavo;
    m_rutaEsclavo = terminal->rutaEsclavo;
    int despertador[2];
    if (::pipe2(despertador, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_error = u"pipe2: %1"_s.arg(QString::fromLocal8Bit(std::strerror(errno)));
        CerrarMaestro();
        return;
    }
    m_despertadorLectura = despertador[0];
    m_despertadorEscritura = despertador[1];
    ::fcntl(m_maestro, F_SETFL, ::fcntl(m_maestro, F_GETFL) | O_NONBLOCK);
    // This object keeps its own slave descriptor open: with no slave open at
    // all the master reads end in EIO, which is how a closed line looks.
    m_hilo = std::thread([this] { Leer(); });
}

PseudoTerminal::~PseudoTerminal()
{
    CerrarMaestro();
}

bool PseudoTerminal::Valida() const
{
    return m_maestro >= 0 && m_error.isEmpty();
}

QString PseudoTerminal::Error() const
{
    return m_error;
}

QString PseudoTerminal::RutaEsclavo() const
{
    return m_rutaEsclavo;
}

bool PseudoTerminal::CrearEnlace(const QDir &carpeta, int numero) const
{
    const QString enlace = NombreDePuerto(carpeta, numero);
    return Quitar(enlace) && QFile::link(m_rutaEsclavo, enlace);
}

bool PseudoTerminal::CrearPuertoInservible(const QDir &carpeta, int numero)
{
    QFile archivo(NombreDePuerto(carpeta, numero));
    if (!Quitar(archivo.fileName()) || !archivo.open(QIODevice::WriteOnly))
        return false;
    return archivo.write("no es una terminal\n") > 0;
}

bool PseudoTerminal::CrearEnlaceRoto(const QDir &carpeta, int numero)
{
    const QString enlace = NombreDePuerto(carpeta, numero);
    return Quitar(enlace) && QFile::link(carpeta.filePath(u"dispositivo-desconectado"_s), enlace);
}

bool PseudoTerminal::PedirTiempoReal()
{
    if (!m_hilo.joinable())
        return false;
    sched_param prioridad{};
    prioridad.sched_priority = sched_get_priority_min(SCHED_FIFO);
    m_tiempoReal = pthread_setschedparam(m_hilo.native_handle(), SCHED_FIFO, &prioridad) == 0;
    return m_tiempoReal;
}

bool PseudoTerminal::TiempoReal() const
{
    return m_tiempoReal;
}

void PseudoTerminal::Leer()
{
    char bloque[4096];
    bool pausada = false;
    while (!m_terminar) {
        pollfd espera[2] = {{m_despertadorLectura, POLLIN, 0}, {m_maestro, POLLIN, 0}};
        // While paused only a wake-up counts: the master stays readable and
        // would spin the loop.
        if (::poll(espera, pausada ? 1 : 2, -1) < 0 && errno != EINTR)
            return;
        if (espera[0].revents != 0) {
            char descarte[64];
            while (::read(m_despertadorLectura, descarte, sizeof descarte) > 0) {
            }
        }
        qsizetype total = 0;
        {
            const std::lock_guard guardia(m_cerrojo);
            pausada = m_pausada;
            if (pausada || m_terminar)
                continue;
            const ssize_t leidos = ::read(m_maestro, bloque, sizeof bloque);
            const qint64 momento = Ahora();
            if (leidos < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            // EIO or end: nobody holds the slave; stop rather than spin.
            if (leidos <= 0)
                return;
            const QByteArray bytes(bloque, static_cast<qsizetype>(leidos));
            m_lecturas.append({momento, bytes});
            m_recibido.append(bytes);
            total = m_recibido.size();
        }
        Q_EMIT BytesRecibidos(total);
    }
}

void PseudoTerminal::Despertar()
{
    if (m_despertadorEscritura >= 0) {
        const char uno = 1;
        [[maybe_unused]] const ssize_t escritos = ::write(m_despertadorEscritura, &uno, 1);
    }
}

qint32 PseudoTerminal::VelocidadDeLinea() const
{
    termios modo{};
    if (m_esclavo < 0 || ::tcgetattr(m_esclavo, &modo) != 0)
        return 0;
    switch (::cfgetospeed(&modo)) {
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
    }
}

QByteArray PseudoTerminal::Recibido() const
{
    const std::lock_guard guardia(m_cerrojo);
    return m_recibido;
}

qsizetype PseudoTerminal::CantidadRecibida() const
{
    const std::lock_guard guardia(m_cerrojo);
    return m_recibido.size();
}

QList<PseudoTerminal::Lectura> PseudoTerminal::Lecturas() const
{
    const std::lock_guard guardia(m_cerrojo);
    return m_lecturas;
}

qint64 PseudoTerminal::MomentoDelByte(qsizetype indice) const
{
    const std::lock_guard guardia(m_cerrojo);
    return MomentoDelByte(m_lecturas, indice);
}

qint64 PseudoTerminal::MomentoDelByte(const QList<Lectura> &lecturas, qsizetype indice)
{
    qsizetype desde = 0;
    for (const Lectura &lectura : lecturas) {
        if (indice < desde + lectura.bytes.size())
            return lectura.nanosegundos;
        desde += lectura.bytes.size();
    }
    return -1;
}

void PseudoTerminal::OlvidarRecibido()
{
    const std::lock_guard guardia(m_cerrojo);
    m_lecturas.clear();
    m_recibido.clear();
}

bool PseudoTerminal::EsperarBytes(qsizetype cantidad, int milisegundos)
{
    // An event loop of its own rather than QTest::qWaitFor(), which sleeps
    // 10 ms between rounds and would keep the program's side from running.
    QEventLoop bucle;
    QTimer plazo;
    plazo.setSingleShot(true);
    connect(&plazo, &QTimer::timeout, &bucle, &QEventLoop::quit);
    connect(this, &PseudoTerminal::BytesRecibidos, &bucle, [&](qsizetype total) {
        if (total >= cantidad)
            bucle.quit();
    });
    // Counted after connecting, so bytes read in between are not missed.
    if (CantidadRecibida() >= cantidad)
        return true;
    plazo.start(milisegundos);
    bucle.exec();
    return CantidadRecibida() >= cantidad;
}

void PseudoTerminal::PausarLectura(bool pausar)
{
    {
        const std::lock_guard guardia(m_cerrojo);
        m_pausada = pausar;
    }
    Despertar();
}

void PseudoTerminal::CerrarMaestro()
{
    m_terminar = true;
    Despertar();
    if (m_hilo.joinable())
        m_hilo.join();
    Cerrar(m_maestro);
    Cerrar(m_esclavo);
    Cerrar(m_despertadorLectura);
    Cerrar(m_despertadorEscritura);
}

bool PseudoTerminal::MaestroAbierto() const
{
    return m_maestro >= 0;
}
