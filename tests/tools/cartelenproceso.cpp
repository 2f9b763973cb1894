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
    , m_proceso(new QProcess(this))
{
    m_proceso->setProgram(QString::fromUtf8(RUTA_CARTEL_VIRTUAL));
    // Standard input stays a pipe held by this process: if the test dies
    // without cleaning up, the sign sees its input end and quits by itself,
    // removing its link.
    connect(m_proceso, &QProcess::readyReadStandardOutput, this, &CartelEnProceso::Leer);
}

CartelEnProceso::~CartelEnProceso()
{
    if (m_proceso->state() != QProcess::NotRunning)
        Terminar(5000);
}

bool CartelEnProceso::Iniciar(const QDir &carpeta, int numero, int milisegundos)
{
    m_enlace = carpeta.filePath(u"com%1"_s.arg(numero));
    m_proceso->setWorkingDirectory(carpeta.path());
    m_proceso->setArguments({u"--json"_s, u"--puerto"_s, QString::number(numero)});
    m_proceso->start();
    if (!m_proceso->waitForStarted(milisegundos)) {
        m_error = u"no arrancó: %1"_s.arg(m_proceso->errorString());
        return false;
    }
    const bool listo = QTest::qWaitFor(
        [this] { return QFileInfo(m_enlace).isSymLink() || m_proceso->state() == QProcess::NotRunning; },
        milisegundos);
    if (!listo || !QFileInfo(m_enlace).isSymLink()) {
        m_error = u"no creó %1: %2"_s.arg(m_enlace, QString::fromLocal8Bit(m_proceso->readAllStandardError()));
        return false;
    }
    return true;
}

bool CartelEnProceso::Terminar(int milisegundos)
{
    if (m_proceso->state() == QProcess::NotRunning)
        return m_proceso->exitStatus() == QProcess::NormalExit && m_proceso->exitCode() == 0;
    m_proceso->terminate();
    if (!m_proceso->waitForFinished(milisegundos)) {
        m_error = u"no terminó con SIGTERM; se lo mata"_s;
        m_proceso->kill();
        m_proceso->waitForFinished(milisegundos);
        return false;
    }
    Leer();
    if (m_proceso->exitStatus() != QProcess::NormalExit || m_proceso->exitCode() != 0) {
        m_error = u"terminó con el código %1: %2"_s.arg(
            QString::number(m_proceso->exitCode()), QString::fromLocal8Bit(m_proceso->readAllStandardError()));
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
    connect(m_proceso, &QProcess::finished, &bucle, &QEventLoop::quit);
    plazo.start(milisegundos);
    bucle.exec();
    return Tramas().size() >= cantidad;
}

void CartelEnProceso::Leer()
{
    m_lineaIncompleta += m_proceso->readAllStandardOutput();
    qsizetype inicio = 0;
    for (qsizetype fin = m_lineaIncompleta.indexOf('\n'); fin >= 0; fin = m_lineaIncompleta.indexOf('\n', inicio)) {
        const QByteArray linea = m_lineaIncompleta.sliced(inicio, fin - inicio);
        inicio = fin + 1;
        const QJsonDocument documento = QJsonDocument::fromJson(linea);
        // A line that is not an object is kept as an anomaly of the test's
        // own making, so that it cannot pass unnoticed.
        m_sucesos.append(documento.isObject()
                           ? documento.object()
                           : QJsonObject{{u"tipo"_s, u"anomalia"_s},
                                         {u"motivo"_s, u"linea_ilegible"_s},
                                         {u"texto"_s, QString::fromUtf8(linea)}});
    }
    m_lineaIncompleta.remove(0, inicio);
    if (inicio > 0)
        Q_EMIT LineasLeidas();
}

QList<QJsonObject> CartelEnProceso::DelTipo(const QString &tipo) const
{
    QList<QJsonObject> elegidos;
    for (const QJsonObject &suceso : m_sucesos) {
        if (suceso.value(u"tipo"_s).toString() == tipo)
            elegidos.append(suceso);
    }
    return elegidos;
}
