#include "schedule/serviciodeenvios.h"

#include "apoyo/archivosdeprueba.h"
#include "apoyo/puertofalso.h"
#include "link/lineadecarteles.h"
#include "link/plandeenvio.h"
#include "link/trama.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
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
    void elQueNoTieneElPuertoEntrega_data();
    void elQueNoTieneElPuertoEntrega();
};

void PruebaServicioDeEnvios::elQueNoTieneElPuertoEntrega_data()
{
    QTest::addColumn<bool>("hayDueno");          // another service still serves the folder
    QTest::addColumn<QString>("ajustesPropios"); // the asking service's line settings
    QTest::addColumn<QString>("falloDelDueno");  // the holder's port will not open
    QTest::addColumn<QString>("sale");           // whose port the frame leaves by: "dueño", "propio" or none
    QTest::addColumn<QString>("resultado");      // the send log's result field; what is told unless "enviado"

    QTest::newRow("por el dueño") << true << u"9600,N,8,1"_s << QString() << u"dueño"_s << u"enviado"_s;
    // The holder's answer is the asking service's result.
    QTest::newRow("falla en el dueño") << true << u"9600,N,8,1"_s << u"Se desconectó"_s << QString()
                                       << u"Se desconectó"_s;
    // A holder on another line takes nothing: the asking service's own port,
    // in use, tries, and its refusal is told.
    QTest::newRow("otra línea") << true << u"2400,N,8,1"_s << QString() << QString() << u"en uso"_s;
    // Nobody serves the folder any more: the asking service takes it over.
    QTest::newRow("sin dueño") << false << u"9600,N,8,1"_s << QString() << u"propio"_s << u"enviado"_s;
}

void PruebaServicioDeEnvios::elQueNoTieneElPuertoEntrega()
{
    QFETCH(bool, hayDueno);
    QFETCH(QString, ajustesPropios);
    QFETCH(QString, falloDelDueno);
    QFETCH(QString, sale);
    QFETCH(QString, resultado);

    // The send log is written to the working folder.
    QTemporaryDir carpeta;
    const QString anterior = QDir::currentPath();
    QVERIFY(QDir::setCurrent(carpeta.path()));
    const auto volver = qScopeGuard([&anterior] { QDir::setCurrent(anterior); });
    auto *puertoDelDueno = new PuertoFalso;
    puertoDelDueno->FallarAlAbrir(falloDelDueno);
    auto dueno = std::make_unique<ServicioDeEnvios>(puertoDelDueno);
    QVERIFY(dueno->Servir(QDir::currentPath()));
    auto *puertoPropio = new PuertoFalso;
    QVERIFY(puertoPropio->PonerAjustes(ajustesPropios));
    // While another process holds the line, this one's port is in use.
    puertoPropio->FallarAlAbrir(hayDueno ? u"en uso"_s : QString());
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

    QCOMPARE(puertoDelDueno ? puertoDelDueno->Escrito() : QByteArray(), sale == u"dueño"_s ? trama : QByteArray());
    QCOMPARE(puertoPropio->Escrito(), sale == u"propio"_s ? trama : QByteArray());
    const QString fallo = resultado == u"enviado"_s ? QString() : resultado;
    QCOMPARE(fallos.isEmpty() ? QString() : fallos.first().first().toString().left(fallo.size()), fallo);
    // Only a send the holder carried is told as its answer.
    QCOMPARE(entregados.size(), sale == u"dueño"_s ? 1 : 0);
    if (!entregados.isEmpty()) {
        const auto respuesta = entregados.first().first().value<ResultadoDeEnvio>();
        QCOMPARE(respuesta.tramasEntregadas, 1);
        QCOMPARE(respuesta.tramasTotales, 1);
    }
    QCOMPARE(propio.Sirve(), !hayDueno);
    // One line, written by whichever process's line carried the send.
    const QList<QByteArray> lineas = LeerBytes(u"envios.log"_s).split('\n');
    QCOMPARE(lineas.size(), 2);
    QVERIFY2(lineas.first().contains(QByteArray("\tHall\thola.txt\t14\t" + resultado.toUtf8())), lineas.first().constData());
}

QTEST_GUILESS_MAIN(PruebaServicioDeEnvios)
#include "prueba_serviciodeenvios.moc"
