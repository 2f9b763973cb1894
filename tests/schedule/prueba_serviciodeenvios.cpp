#include "schedule/serviciodeenvios.h"

#include "apoyo/puertofalso.h"
#include "link/lineadecarteles.h"
#include "link/plandeenvio.h"
#include "link/trama.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// An operator's send made where another process of the folder holds the
// port: both processes are services of this one, on ports in memory.
class PruebaServicioDeEnvios : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void elQueNoTieneElPuertoEntrega_data();
    void elQueNoTieneElPuertoEntrega();

private:
    std::unique_ptr<QTemporaryDir> m_carpeta;
    QString m_anterior;
};

void PruebaServicioDeEnvios::init()
{
    m_carpeta = std::make_unique<QTemporaryDir>();
    m_anterior = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_carpeta->path()));
}

void PruebaServicioDeEnvios::cleanup()
{
    QDir::setCurrent(m_anterior);
    m_carpeta.reset();
}

void PruebaServicioDeEnvios::elQueNoTieneElPuertoEntrega_data()
{
    QTest::addColumn<bool>("hayDueno");         // another service serves the folder
    QTest::addColumn<QString>("ajustesPropios"); // the asking service's line settings
    QTest::addColumn<QString>("falloDelDueno");  // the holder's port will not open
    QTest::addColumn<QString>("falloPropio");    // the asking service's port will not open
    QTest::addColumn<bool>("saleDelDueno");      // the frame leaves by the holder's port
    QTest::addColumn<bool>("salePropio");        // the frame leaves by the asking one's
    QTest::addColumn<QString>("fallo");          // what the asking service tells, if anything
    QTest::addColumn<QString>("resultado");      // the send log's result field

    QTest::newRow("por el dueño") << true << u"9600,N,8,1"_s << QString() << u"en uso"_s << true << false
                                  << QString() << u"enviado"_s;
    // The holder's answer is the asking service's result.
    QTest::newRow("falla en el dueño") << true << u"9600,N,8,1"_s << u"Se desconectó"_s << u"en uso"_s << false
                                       << false << u"Se desconectó"_s << u"Se desconectó"_s;
    // A holder on another line takes nothing: the asking service's own port
    // tries, and its refusal is told.
    QTest::newRow("otra línea") << true << u"2400,N,8,1"_s << QString() << u"en uso"_s << false << false
                                << u"en uso"_s << u"en uso"_s;
    // Nobody serves the folder any more: the asking service takes it over.
    QTest::newRow("sin dueño") << false << u"9600,N,8,1"_s << QString() << QString() << false << true
                               << QString() << u"enviado"_s;
}

void PruebaServicioDeEnvios::elQueNoTieneElPuertoEntrega()
{
    QFETCH(bool, hayDueno);
    QFETCH(QString, ajustesPropios);
    QFETCH(QString, falloDelDueno);
    QFETCH(QString, falloPropio);
    QFETCH(bool, saleDelDueno);
    QFETCH(bool, salePropio);
    QFETCH(QString, fallo);
    QFETCH(QString, resultado);

    auto *puertoDelDueno = new PuertoFalso;
    puertoDelDueno->FallarAlAbrir(falloDelDueno);
    auto dueno = std::make_unique<ServicioDeEnvios>(puertoDelDueno);
    QVERIFY(dueno->Servir(QDir::currentPath()));
    auto *puertoPropio = new PuertoFalso;
    QVERIFY(puertoPropio->PonerAjustes(ajustesPropios));
    puertoPropio->FallarAlAbrir(falloPropio);
    ServicioDeEnvios propio(puertoPropio);
    QVERIFY(!propio.Servir(QDir::currentPath()));
    QVERIFY(propio.ErrorAlServir().isEmpty());
    if (!hayDueno) {
        dueno.reset();
        puertoDelDueno = nullptr;
    }

    QSignalSpy fallos(&propio, &ServicioDeEnvios::Fallo);
    QSignalSpy entregados(&propio, &ServicioDeEnvios::Entregado);
    QSignalSpy escritas(&propio, &ServicioDeEnvios::Escrita);
    const QByteArray trama = ArmarTrama("Hola", 5);
    PlanDeEnvio plan;
    plan.cadenas = {trama};
    propio.EnviarDelOperador(plan, {u"Hall"_s}, u"hola.txt"_s);
    QTRY_VERIFY(!fallos.isEmpty() || !escritas.isEmpty());
    QTRY_VERIFY(QFile(u"envios.log"_s).size() > 0);

    QCOMPARE(puertoDelDueno ? puertoDelDueno->Escrito() : QByteArray(), saleDelDueno ? trama : QByteArray());
    QCOMPARE(puertoPropio->Escrito(), salePropio ? trama : QByteArray());
    QCOMPARE(fallos.isEmpty() ? QString() : fallos.first().first().toString().left(fallo.size()), fallo);
    // Only a send the holder carried is told as its answer.
    QCOMPARE(entregados.size(), saleDelDueno ? 1 : 0);
    if (saleDelDueno) {
        const auto respuesta = entregados.first().first().value<ResultadoDeEnvio>();
        QCOMPARE(respuesta.tramasEntregadas, 1);
        QCOMPARE(respuesta.tramasTotales, 1);
    }
    QCOMPARE(propio.Sirve(), !hayDueno);
    // One line, written by whichever process's line carried the send.
    QFile registro(u"envios.log"_s);
    QVERIFY(registro.open(QIODevice::ReadOnly));
    const QList<QByteArray> lineas = registro.readAll().split('\n');
    QCOMPARE(lineas.size(), 2);
    const QByteArray esperado = QByteArray("\tHall\thola.txt\t14\t").append(resultado.toUtf8());
    QVERIFY2(lineas.first().contains(esperado), lineas.first().constData());
}

QTEST_GUILESS_MAIN(PruebaServicioDeEnvios)
#include "prueba_serviciodeenvios.moc"
