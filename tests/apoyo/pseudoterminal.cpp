#include "apoyo/pseudoterminal.h"

#include "platform/pseudoterminalcruda.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QEventLoop>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

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

} // namespace

PseudoTerminal::PseudoTerminal(QObject *parent)
    : QObject(parent)
{
    reloj.start();
    const auto terminal = AbrirPseudoTerminalCruda(&error);
    if (!terminal)
        return;
    maestro = terminal->maestro;
    esclavo = terminal->esclavo;
    rutaEsclavo = terminal->rutaEsclavo;
    ::fcntl(maestro, F_SETFL, ::fcntl(maestro, F_GETFL) | O_NONBLOCK);
    // This object keeps its own slave descriptor open: with no slave open at
    // all the master reads end in EIO, which is how a closed line looks.
    notificador = new QSocketNotifier(maestro, QSocketNotifier::Read, this);
    connect(notificador, &QSocketNotifier::activated, this, &PseudoTerminal::Leer);
}

PseudoTerminal::~PseudoTerminal()
{
    CerrarMaestro();
}

bool PseudoTerminal::Valida() const
{
    return maestro >= 0 && error.isEmpty();
}

QString PseudoTerminal::Error() const
{
    return error;
}

QString PseudoTerminal::RutaEsclavo() const
{
    return rutaEsclavo;
}

bool PseudoTerminal::CrearEnlace(const QDir &carpeta, int numero) const
{
    const QString enlace = NombreDePuerto(carpeta, numero);
    return Quitar(enlace) && QFile::link(rutaEsclavo, enlace);
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

void PseudoTerminal::Leer()
{
    char bloque[4096];
    for (;;) {
        const ssize_t leidos = ::read(maestro, bloque, sizeof bloque);
        if (leidos > 0) {
            const QByteArray bytes(bloque, static_cast<qsizetype>(leidos));
            lecturas.append({reloj.nsecsElapsed(), bytes});
            recibido.append(bytes);
            continue;
        }
        if (leidos < 0 && errno == EINTR)
            continue;
        if (leidos < 0 && errno == EAGAIN)
            break;
        // EIO or end: nobody holds the slave; stop listening rather than spin.
        notificador->setEnabled(false);
        break;
    }
    Q_EMIT BytesRecibidos(recibido.size());
}

qint32 PseudoTerminal::VelocidadDeLinea() const
{
    termios modo{};
    if (esclavo < 0 || ::tcgetattr(esclavo, &modo) != 0)
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
    return recibido;
}

QList<PseudoTerminal::Lectura> PseudoTerminal::Lecturas() const
{
    return lecturas;
}

qint64 PseudoTerminal::MomentoDelByte(qsizetype indice) const
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
    lecturas.clear();
    recibido.clear();
}

bool PseudoTerminal::EsperarBytes(qsizetype cantidad, int milisegundos)
{
    // An event loop of its own rather than QTest::qWaitFor(), which sleeps
    // 10 ms between rounds and would blur the moments of the reads.
    if (recibido.size() >= cantidad)
        return true;
    QEventLoop bucle;
    QTimer plazo;
    plazo.setSingleShot(true);
    connect(&plazo, &QTimer::timeout, &bucle, &QEventLoop::quit);
    connect(this, &PseudoTerminal::BytesRecibidos, &bucle, [&](qsizetype total) {
        if (total >= cantidad)
            bucle.quit();
    });
    plazo.start(milisegundos);
    bucle.exec();
    return recibido.size() >= cantidad;
}

void PseudoTerminal::PausarLectura(bool pausar)
{
    if (notificador)
        notificador->setEnabled(!pausar);
    if (!pausar && maestro >= 0)
        Leer();
}

void PseudoTerminal::CerrarMaestro()
{
    delete notificador;
    notificador = nullptr;
    if (maestro >= 0)
        ::close(maestro);
    if (esclavo >= 0)
        ::close(esclavo);
    maestro = esclavo = -1;
}

bool PseudoTerminal::MaestroAbierto() const
{
    return maestro >= 0;
}
