#include "lectordelinea.h"

#include "platform/pseudoterminalcruda.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <chrono>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

qint64 Ahora()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

LectorDeLinea::LectorDeLinea()
{
    const auto terminal = AbrirPseudoTerminalCruda(&error);
    if (!terminal)
        return;
    maestro = terminal->maestro;
    esclavo = terminal->esclavo;
    rutaEsclavo = terminal->rutaEsclavo;
    // This object's own slave descriptor stays open, so the master never
    // reads end-of-file when the program closes its side.
    hilo = std::thread([this] { Leer(); });
    // A reader that wakes late makes the gap before a late read look short
    // and the one after it long. Where the system allows it, the reader runs
    // ahead of ordinary threads; the program under measurement does not.
    sched_param prioridad{};
    prioridad.sched_priority = sched_get_priority_min(SCHED_FIFO);
    tiempoReal = pthread_setschedparam(hilo.native_handle(), SCHED_FIFO, &prioridad) == 0;
}

LectorDeLinea::~LectorDeLinea()
{
    terminar = true;
    if (hilo.joinable())
        hilo.join();
    if (maestro >= 0)
        ::close(maestro);
    if (esclavo >= 0)
        ::close(esclavo);
}

bool LectorDeLinea::CrearEnlace(const QDir &carpeta, int numero) const
{
    const QString enlace = carpeta.filePath(u"com%1"_s.arg(numero));
    ::unlink(QFile::encodeName(enlace).constData());
    return QFile::link(rutaEsclavo, enlace);
}

void LectorDeLinea::Leer()
{
    char bloque[4096];
    while (!terminar) {
        pollfd espera{maestro, POLLIN, 0};
        const int listos = ::poll(&espera, 1, 50);
        if (listos <= 0)
            continue;
        const ssize_t leidos = ::read(maestro, bloque, sizeof bloque);
        const qint64 momento = Ahora();
        if (leidos <= 0) {
            if (leidos < 0 && errno == EINTR)
                continue;
            return;
        }
        {
            const std::lock_guard guardia(cerrojo);
            lecturas.append({momento, QByteArray(bloque, static_cast<qsizetype>(leidos))});
        }
        cantidad += static_cast<qsizetype>(leidos);
    }
}

qsizetype LectorDeLinea::CantidadRecibida() const
{
    return cantidad;
}

QList<LectorDeLinea::Lectura> LectorDeLinea::Lecturas() const
{
    const std::lock_guard guardia(cerrojo);
    return lecturas;
}

QByteArray LectorDeLinea::Recibido() const
{
    QByteArray todo;
    for (const Lectura &lectura : Lecturas())
        todo += lectura.bytes;
    return todo;
}

bool LectorDeLinea::Esperar(qsizetype buscados, int milisegundos) const
{
    if (cantidad >= buscados)
        return true;
    QEventLoop bucle;
    QTimer plazo;
    plazo.setSingleShot(true);
    QObject::connect(&plazo, &QTimer::timeout, &bucle, &QEventLoop::quit);
    QTimer vistazo;
    QObject::connect(&vistazo, &QTimer::timeout, &bucle, [&] {
        if (cantidad >= buscados)
            bucle.quit();
    });
    plazo.start(milisegundos);
    vistazo.start(20);
    bucle.exec();
    return cantidad >= buscados;
}

qint64 LectorDeLinea::MomentoDelByte(const QList<Lectura> &todas, qsizetype indice)
{
    qsizetype desde = 0;
    for (const Lectura &lectura : todas) {
        if (indice < desde + lectura.bytes.size())
            return lectura.nanosegundos;
        desde += lectura.bytes.size();
    }
    return -1;
}
