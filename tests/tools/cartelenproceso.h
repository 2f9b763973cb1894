#pragma once

#include <QByteArray>
#include <QDir>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>

class QProcess;

// The virtual sign as a separate process, started in a test's working
// directory with --json: every line it prints is kept as a JSON object
// (frames, anomalies, the table it prints on exit). The event loop must run
// for lines to come in (EsperarTramas(), QTRY_*).
//
//     CartelEnProceso cartel;
//     QVERIFY2(cartel.Iniciar(escenario.Carpeta(), 4), qPrintable(cartel.Error()));
//     ... the program writes to port 4 ...
//     QVERIFY(cartel.EsperarTramas(2, 10000));
//     QVERIFY2(cartel.Terminar(), qPrintable(cartel.Error()));
//     QCOMPARE(cartel.Anomalias().size(), 0);
class CartelEnProceso : public QObject
{
    Q_OBJECT

public:
    explicit CartelEnProceso(QObject *parent = nullptr);
    // A sign still running is stopped as Terminar() does, and killed if it
    // will not stop: a test never leaves one behind.
    ~CartelEnProceso() override;

    // Starts the sign on port `numero` in `carpeta` and waits until its
    // carpeta/comN link is there. False (and Error()) if it did not come up.
    bool Iniciar(const QDir &carpeta, int numero, int milisegundos = 10000);

    // SIGTERM, then waits for the exit and reads what was left. False when
    // the sign did not end on its own in time (it is then killed) or ended
    // with a failure.
    bool Terminar(int milisegundos = 10000);

    bool EsperarTramas(qsizetype cantidad, int milisegundos);

    QList<QJsonObject> Tramas() const { return DelTipo(QStringLiteral("trama")); }
    QList<QJsonObject> Anomalias() const { return DelTipo(QStringLiteral("anomalia")); }
    QList<QJsonObject> Tablas() const { return DelTipo(QStringLiteral("tabla")); }

    // The link the sign made: carpeta/comN.
    QString Enlace() const { return m_enlace; }
    QString Error() const { return m_error; }

Q_SIGNALS:
    // One or more whole lines have been read.
    void LineasLeidas();

private:
    void Leer();
    QList<QJsonObject> DelTipo(const QString &tipo) const;

    QProcess *m_proceso;
    QString m_enlace;
    QString m_error;
    QByteArray m_lineaIncompleta;
    QList<QJsonObject> m_sucesos;
};
