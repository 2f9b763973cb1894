#include "apoyo/puertofalso.h"
#include "controles.h"
#include "link/trama.h"
#include "link/transmisor.h"
#include "link/lineadecarteles.h"
#include "platform/cuadrodemensaje.h"
#include "schedule/serviciodeenvios.h"
#include "ui/dialogodeenvio.h"

#include <QLabel>
#include <QProgressBar>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Its bytes leave only when the test says so; the line it is given owns it.
PuertoFalso *PuertoQueSeVaciaAMano()
{
    auto *puerto = new PuertoFalso;
    puerto->PonerVaciadoManual(true);
    return puerto;
}
} // namespace

// What the send dialog shows as a frame goes out, with a port whose bytes
// leave only when the test says so.
class PruebaDialogoEnvio : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        // Nothing here should need a message; one would be recorded, not shown.
        CuadroDeMensaje::ResponderCon({});
        CuadroDeMensaje::OlvidarMostrados();
    }
    void cleanup() { QVERIFY(NingunaVentanaAbierta()); }
    void textosFijos();
    void porcentajeSigueALosBytes_data();
    void porcentajeSigueALosBytes();
    void tramaEnCursoCuentaLoQueSale_data();
    void tramaEnCursoCuentaLoQueSale();
};

void PruebaDialogoEnvio::textosFijos()
{
    ServicioDeEnvios servicio(new PuertoFalso);
    DialogoDeEnvio dialogo(servicio);
    QCOMPARE(dialogo.windowTitle(), u"Enviando"_s);
    QCOMPARE(Control<QLabel>(&dialogo, u"Enviando"_s)->text(), u"Enviando..."_s);
    QCOMPARE(Control<QLabel>(&dialogo, u"Porcentaje"_s)->text(), u"0% Completado"_s);
    auto *barra = Control<QProgressBar>(&dialogo, u"BarraDeAvance"_s);
    QCOMPARE(barra->minimum(), 0);
    QCOMPARE(barra->maximum(), 100);
    QCOMPARE(barra->value(), 0);
    QVERIFY(!dialogo.isModal());
}

void PruebaDialogoEnvio::porcentajeSigueALosBytes_data()
{
    QTest::addColumn<int>("total");      // bytes of the frame
    QTest::addColumn<int>("entregados"); // handed to the port so far
    QTest::addColumn<QString>("porcentaje");

    // Halves round up; a figure that rounds to 0 is written as nothing.
    QTest::newRow("medio por ciento") << 40000 << 200 << u"1% Completado"_s;
    QTest::newRow("casi medio por ciento") << 40001 << 200 << u"% Completado"_s;
    QTest::newRow("mitad") << 400 << 200 << u"50% Completado"_s;
    QTest::newRow("noventa y nueve") << 200 << 198 << u"99% Completado"_s;
    QTest::newRow("noventa y nueve y medio") << 200 << 199 << u"100% Completado"_s;
    QTest::newRow("completo") << 200 << 200 << u"100% Completado"_s;
}

void PruebaDialogoEnvio::porcentajeSigueALosBytes()
{
    QFETCH(int, total);
    QFETCH(int, entregados);
    QFETCH(QString, porcentaje);

    PuertoFalso &puerto = *PuertoQueSeVaciaAMano();
    ServicioDeEnvios servicio(&puerto);
    Transmisor &transmisor = servicio.Linea().Emisor();
    DialogoDeEnvio dialogo(servicio);
    transmisor.PonerIntervaloDePausa(std::chrono::milliseconds(5));
    dialogo.show();
    // A frame to all signs is its message and 9 bytes.
    transmisor.Mandar(ArmarTrama(QByteArray(total - 9, 'a'), 0));

    // The bar counts the bytes handed to the port, which takes more as the
    // line drains it: let bytes leave one at a time up to the row's figure.
    auto *barra = Control<QProgressBar>(&dialogo, u"BarraDeAvance"_s);
    QTRY_VERIFY(barra->value() > 0);
    while (barra->value() < entregados) {
        const int antes = barra->value();
        puerto.Vaciar(1);
        QTRY_VERIFY(barra->value() > antes || barra->value() == barra->maximum());
    }
    QCOMPARE(barra->maximum(), total);
    QCOMPARE(barra->value(), entregados);
    QCOMPARE(Control<QLabel>(&dialogo, u"Porcentaje"_s)->text(), porcentaje);
    QCOMPARE(dialogo.isVisible(), entregados < total);

    // The rest leaves as fast as it is written.
    puerto.PonerVaciadoManual(false);
    puerto.VaciarTodo();
    QTRY_VERIFY(dialogo.isHidden());
    QCOMPARE(puerto.Escrito().size(), total);
    QVERIFY(CuadroDeMensaje::Mostrados().isEmpty());
}

void PruebaDialogoEnvio::tramaEnCursoCuentaLoQueSale_data()
{
    // The port is gone when the first text has been written, and back once
    // that failure has been told: the second finds it unopenable.
    QTest::addColumn<bool>("segundaNoAbre");
    // What the dialog tells once the third text has been written whole.
    QTest::addColumn<QString>("alEscribirLaTercera");

    QTest::newRow("tres destinos") << false << u"3/3"_s;
    // The text that goes out after the failure is still counted.
    QTest::newRow("la segunda no abre") << true << u"2/2"_s;
}

void PruebaDialogoEnvio::tramaEnCursoCuentaLoQueSale()
{
    QFETCH(bool, segundaNoAbre);
    QFETCH(QString, alEscribirLaTercera);

    PuertoFalso &puerto = *PuertoQueSeVaciaAMano();
    ServicioDeEnvios servicio(&puerto);
    Transmisor &transmisor = servicio.Linea().Emisor();
    DialogoDeEnvio dialogo(servicio);
    transmisor.PonerIntervaloDePausa(std::chrono::milliseconds(5));
    QString dicha;
    connect(&transmisor, &Transmisor::TramaEnCurso, this,
            [&](int trama, int de) { dicha = u"%1/%2"_s.arg(trama).arg(de); });
    connect(&transmisor, &Transmisor::Fallo, this, [&] { puerto.FallarAlAbrir({}); });

    const QByteArray tercera = ArmarTrama("tres", 3);
    for (const QByteArray &cadena : {ArmarTrama("uno", 1), ArmarTrama("dos", 2), tercera})
        transmisor.Mandar(cadena);
    if (segundaNoAbre) {
        puerto.Cerrar();
        puerto.FallarAlAbrir(u"Puerto en uso"_s);
    }
    for (int vez = 0; vez < 1000 && !puerto.Escrito().endsWith(tercera); ++vez) {
        puerto.VaciarTodo();
        QTest::qWait(1);
    }
    QVERIFY(puerto.Escrito().endsWith(tercera));
    QCOMPARE(dicha, alEscribirLaTercera);

    puerto.VaciarTodo();
    QTRY_VERIFY(!transmisor.Ocupado());
    QCOMPARE(dicha, u"0/0"_s);
    QCOMPARE(CuadroDeMensaje::Mostrados().size(), segundaNoAbre ? 1 : 0);
    CuadroDeMensaje::OlvidarMostrados();
}

QTEST_MAIN(PruebaDialogoEnvio)
#include "prueba_dialogodeenvio.moc"
