#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

// Ended by a signal, as a logout or a service manager ends it, the window
// gives back the timetable's lock before it goes.
class PruebaSenales : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void devuelveElCerrojo_data()
    {
        QTest::addColumn<int>("senal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }

    void devuelveElCerrojo()
    {
        QFETCH(int, senal);
        QTemporaryDir carpeta;
        const QString cerrojo = carpeta.filePath(u"programacion.json.lock"_s);
        QProcess programa;
        programa.setWorkingDirectory(carpeta.path());
        programa.start(QString::fromUtf8(RUTA_PROGRAMA), {u"-platform"_s, u"offscreen"_s});
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo::exists(cerrojo); }, 20000));
        QCOMPARE(::kill(static_cast<pid_t>(programa.processId()), senal), 0);
        QVERIFY(programa.waitForFinished(20000));
        QCOMPARE(programa.exitStatus(), QProcess::NormalExit);
        QCOMPARE(programa.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(cerrojo));
    }
};

QTEST_GUILESS_MAIN(PruebaSenales)
#include "prueba_senales.moc"
