#include "cartelenproceso.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QEventLoop>
#include <QProcess>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

CartelEnProceso::CartelEnProceso(QObject *parent)
    : QObject(parent)
    , proceso(new QProcess(this))
{
    proceso->setProgram(QString::fromUtf8(RUTA_CARTEL_VIRTUAL));
    // Standard input stays a pipe held by this process: if the test dies
    // without cleaning up, the sign sees its input end and quits by itself,
    // removing its link.
    connect(proceso, &QProcess::readyReadStandardOutput, this, &CartelEnProceso::Leer);
}

CartelEnProceso::~CartelEnProceso()
{
    if (proceso->state() != QProcess::NotRunning)
        Terminar(5000);
}

bool CartelEnProceso::Iniciar(const QDir &carpeta, int numero, int milisegundos)
{
    enlace = carpeta.filePath(u"com%1"_s.arg(numero));
    proceso->setWorkingDirectory(carpeta.path());
    proceso->setArguments({u"--json"_s, u"--puerto"_s, QString::number(numero)});
    proceso->start();
    if (!proceso->waitForStarted(milisegundos)) {
        error = u"no arrancó: %1"_s.arg(proceso->errorString());
        return false;
    }
    const bool listo = QTest::qWaitFor(
        [this] { return QFileInfo(enlace).isSymLink() || proceso->state() == QProcess::NotRunning; },
        milisegundos);
    if (!listo || !QFileInfo(enlace).isSymLink()) {
        error = u"no creó %1: %2"_s.arg(enlace, QString::fromLocal8Bit(proceso->readAllStandardError()));
        return false;
    }
    return true;
}

bool CartelEnProceso::Terminar(int milisegundos)
{
    if (proceso->state() == QProcess::NotRunning)
        return proceso->exitStatus() == QProcess::NormalExit && proceso->exitCode() == 0;
    proceso->terminate();
    if (!proceso->waitForFinished(milisegundos)) {
        error = u"no terminó con SIGTERM; se lo mata"_s;
        proceso->kill();
        proceso->waitForFinished(milisegundos);
        return false;
    }
    Leer();
    if (proceso->exitStatus() != QProcess::NormalExit || proceso->exitCode() != 0) {
        error = u"terminó con el código %1: %2"_s.arg(
            QString::number(proceso->exitCode()), QString::fromLocal8Bit(proceso->readAllStandardError()));
        return false;
    }
    return true;
}

bool CartelEnProceso::EsperarTramas(qsizetype cantidad, int milisegundos)
{
    // An event loop of its own rather than QTest::qWaitFor(), which sleeps
    // 10 ms between rounds: the program's timers would run late and the
    // pauses between frames grow for nothing.
    if (Tramas().size() >= cantidad)
        return true;
    QEventLoop bucle;
    QTimer plazo;
    plazo.setSingleShot(true);
    connect(&plazo, &QTimer::timeout, &bucle, &QEventLoop::quit);
    connect(this, &CartelEnProceso::LineasLeidas, &bucle, [&] {
        if (Tramas().size() >= cantidad)
            bucle.quit();
    });
    connect(proceso, &QProcess::finished, &bucle, &QEventLoop::quit);
    plazo.start(milisegundos);
    bucle.exec();
    return Tramas().size() >= cantidad;
}

void CartelEnProceso::Leer()
{
    lineaIncompleta += proceso->readAllStandardOutput();
    qsizetype inicio = 0;
    for (qsizetype fin = lineaIncompleta.indexOf('\n'); fin >= 0; fin = lineaIncompleta.indexOf('\n', inicio)) {
        const QByteArray linea = lineaIncompleta.sliced(inicio, fin - inicio);
        inicio = fin + 1;
        const QJsonDocument documento = QJsonDocument::fromJson(linea);
        // A line that is not an object is kept as an anomaly of the test's
        // own making, so that it cannot pass unnoticed.
        sucesos.append(documento.isObject()
                           ? documento.object()
                           : QJsonObject{{u"tipo"_s, u"anomalia"_s},
                                         {u"motivo"_s, u"linea_ilegible"_s},
                                         {u"texto"_s, QString::fromUtf8(linea)}});
    }
    lineaIncompleta.remove(0, inicio);
    if (inicio > 0)
        Q_EMIT LineasLeidas();
}

QList<QJsonObject> CartelEnProceso::DelTipo(const QString &tipo) const
{
    QList<QJsonObject> elegidos;
    for (const QJsonObject &suceso : sucesos) {
        if (suceso.value(u"tipo"_s).toString() == tipo)
            elegidos.append(suceso);
    }
    return elegidos;
}
