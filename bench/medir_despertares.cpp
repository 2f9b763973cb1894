// A timetable left running with nothing due must not keep the computer
// awake: cartel-enviar --programacion, once its start-up send is out, should
// wake only for the minute check. Its event loop's waits are counted with
// strace for five minutes (MEDIR_DESPERTARES_SEGUNDOS to change that): every
// return from a wait is one wake-up, whatever woke it.

#include "apoyo/pseudoterminal.h"
#include "carpetademedicion.h"

#include "documents/documento.h"
#include "schedule/programacion.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int Puerto = 4;
// The waits a Qt event loop on Linux may use.
const QString Esperas = u"poll,ppoll,select,pselect6,epoll_wait,epoll_pwait"_s;

int Fallar(const char *motivo)
{
    std::printf("| despertares de cartel-enviar --programacion sin cambios pendientes | %s | ≤ 1 por minuto | no |\n",
                motivo);
    return 1;
}

// The calls column of the wait rows of `strace -c`.
qint64 LlamadasDeEspera(const QString &resumen)
{
    qint64 llamadas = 0;
    static const QRegularExpression fila(u"^\\s*[\\d.]+\\s+[\\d.]+\\s+\\d+\\s+(\\d+)\\s+(?:\\d+\\s+)?(\\w+)\\s*$"_s);
    for (const QString &linea : resumen.split(u'\n')) {
        const QRegularExpressionMatch encontrada = fila.match(linea);
        if (encontrada.hasMatch() && Esperas.split(u',').contains(encontrada.captured(2)))
            llamadas += encontrada.captured(1).toLongLong();
    }
    return llamadas;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication aplicacion(argc, argv);
    const int segundos = qEnvironmentVariableIntValue("MEDIR_DESPERTARES_SEGUNDOS") > 0
                             ? qEnvironmentVariableIntValue("MEDIR_DESPERTARES_SEGUNDOS")
                             : 300;
    CarpetaDeMedicion carpeta;
    PseudoTerminal linea;
    if (!carpeta.Valida() || !linea.Valida() || !linea.CrearEnlace(carpeta.Dir(), Puerto))
        return Fallar("no se pudo preparar la carpeta o la línea");
    carpeta.EscribirConfiguracion({u"interfase com%1,9600,N,8,1"_s.arg(Puerto), u"cartel R560, Hall, 5"_s});
    EscribirDocumento(carpeta.Ruta(u"base.txt"_s), u"Abierto"_s, u"Global"_s);
    // A text all day and another one that starts hours from now: nothing
    // changes while the count runs.
    const QTime ahora = QTime::currentTime();
    EntradaDeProgramacion base;
    base.archivo = u"base.txt"_s;
    EntradaDeProgramacion luego;
    luego.archivo = u"base.txt"_s;
    luego.desde = QTime(ahora.addSecs(3 * 3600).hour(), 0);
    luego.hasta = QTime(ahora.addSecs(4 * 3600).hour(), 0);
    if (EscribirProgramacion(carpeta.Ruta(u"programacion.json"_s), Programacion{{base, luego}}))
        return Fallar("no se pudo escribir la programación");

    QProcess programa;
    programa.setWorkingDirectory(carpeta.Dir().path());
    programa.start(QString::fromUtf8(RUTA_CARTEL_ENVIAR), {u"--programacion"_s});
    QElapsedTimer reloj;
    reloj.start();
    while (linea.Recibido().isEmpty() && reloj.elapsed() < 10000)
        QThread::msleep(20);
    if (linea.Recibido().isEmpty())
        return Fallar("la programación no envió su estado al arrancar");
    // The start-up send drains and the line goes quiet.
    QThread::sleep(3);

    QProcess strace;
    strace.start(u"strace"_s, {u"-c"_s, u"-f"_s, u"-e"_s, u"trace="_s + Esperas, u"-p"_s,
                               QString::number(programa.processId())});
    if (!strace.waitForStarted(5000))
        return Fallar("strace no está instalado");
    strace.waitForFinished(segundos * 1000);
    strace.terminate();
    strace.waitForFinished(10000);
    const QString resumen = QString::fromUtf8(strace.readAllStandardError());
    programa.terminate();
    programa.waitForFinished(10000);

    const qint64 despertares = LlamadasDeEspera(resumen);
    const double minutos = segundos / 60.0;
    // The minute check, plus the wait it was in when the count began.
    const qint64 permitidos = static_cast<qint64>(minutos) + 1;
    std::fprintf(stderr, "%s\n", qPrintable(resumen));
    std::printf("| despertares del bucle de eventos de cartel-enviar --programacion sin cambios pendientes, en %d s "
                "desde 3 s después del envío del arranque (retornos de poll/ppoll/epoll_wait/select contados con "
                "strace -c -f -p) | %lld (%.2f por minuto) | ≤ 1 por minuto (%lld) | %s |\n",
                segundos, static_cast<long long>(despertares), despertares / minutos,
                static_cast<long long>(permitidos), despertares <= permitidos ? "sí" : "no");
    return despertares <= permitidos ? 0 : 1;
}
