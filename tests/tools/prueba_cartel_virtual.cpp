#include "cartelenproceso.h"

#include "platform/cuadrodemensaje.h"
#include "platform/puertoserieqt.h"
#include "ui/controles.h"
#include "ui/escenario.h"
#include "ui/dialogodeenvio.h"
#include "ui/editordetexto.h"
#include "ui/principal.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPlainTextEdit>
#include <QTest>

using namespace Qt::StringLiterals;

// The program, built as the user gets it and writing through the computer's
// serial layer, against the virtual sign in a process of its own: what the
// sign decodes is what a real sign would show.
class PruebaCartelVirtual : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every test ends with its whole program gone: no window left behind.
    void cleanup() { QVERIFY(NingunaVentanaAbierta()); }
    void textoConTodasLasEtiquetas_data();
    void textoConTodasLasEtiquetas();
    void mostrarLasDirecciones();
    void envioEsperaAQueTerminenLasDirecciones();
};

namespace {

constexpr int Puerto = 4;
constexpr int Plazo = 20000;

// Every tag, every substitute, a line break, a misspelt tag and characters
// the sign cannot show (Á, €, °, ü, É).
const QString TextoCompleto =
    u"[titila]¡Atención![no titila] Andén nº 3[pausa]\n"
    u"[normal][exp]¿Qué día?[v0][v1][v2] Ñandú más [Titila]"
    u"[centra]ÁRBOL €5 20° pingüino ÉPOCA[baja][sube][izq][esp seg]FIN"_s;

// What the sign shows: the tags are effects again, the substitutes letters
// again, the line break two spaces, and the unshowable characters are gone.
// The misspelt tag is text, so its bracket is shown doubled, apart from the
// effects.
const QString TextoEnElCartel =
    u"[titila]¡Atención![no titila] Andén nº 3[pausa]  "
    u"[normal][exp]¿Qué día?[v0][v1][v2] Ñandú más [[Titila]"
    u"[centra]RBOL 5 20 pingino POCA[baja][sube][izq][esp seg]FIN"_s;

QString DestinoDe(const QJsonObject &trama)
{
    const QJsonValue destino = trama.value(u"destino"_s);
    return destino.isString() ? destino.toString() : QString::number(destino.toInt());
}

QString Resumen(const QList<QJsonObject> &sucesos)
{
    QStringList lineas;
    for (const QJsonObject &suceso : sucesos)
        lineas.append(QString::fromUtf8(QJsonDocument(suceso).toJson(QJsonDocument::Compact)));
    return lineas.join(u'\n');
}

QString TextosMostrados()
{
    QStringList textos;
    for (const CuadroDeMensaje::Mostrado &caja : CuadroDeMensaje::Mostrados())
        textos.append(caja.texto);
    return textos.join(u'\n');
}

} // namespace

void PruebaCartelVirtual::textoConTodasLasEtiquetas_data()
{
    QTest::addColumn<QStringList>("carteles");
    QTest::addColumn<QList<int>>("marcados");
    QTest::addColumn<QStringList>("destinos");

    QTest::newRow("un solo cartel: a todos") << QStringList{u"cartel R560, Vestíbulo, 7"_s} << QList<int>{}
                                             << QStringList{u"todos"_s};
    QTest::newRow("dos carteles con Global: a todos")
        << QStringList{u"cartel R560, Vestíbulo, 7"_s, u"cartel R560, Andén, 200"_s} << QList<int>{}
        << QStringList{u"todos"_s};
    // Address 200 is also the end byte: the line pauses right after it and
    // the sign must still read one whole frame.
    QTest::newRow("dos carteles marcados: uno a cada dirección")
        << QStringList{u"cartel R560, Vestíbulo, 7"_s, u"cartel R560, Andén, 200"_s} << QList<int>{1, 0}
        << QStringList{u"7"_s, u"200"_s};
}

void PruebaCartelVirtual::textoConTodasLasEtiquetas()
{
    QFETCH(QStringList, carteles);
    QFETCH(QList<int>, marcados);
    QFETCH(QStringList, destinos);

    Escenario escenario;
    QVERIFY(escenario.Valido());
    CartelEnProceso cartel;
    QVERIFY2(cartel.Iniciar(escenario.Carpeta(), Puerto), qPrintable(cartel.Error()));
    escenario.EscribirConfiguracion(QStringList{u"interfase com%1,9600,N,8,1"_s.arg(Puerto)} + carteles);
    Principal &principal = escenario.Iniciar(new PuertoSerieQt);

    EditorDeTexto &editor = escenario.NuevoTexto();
    editor.Texto().setPlainText(TextoCompleto);
    for (int indice : marcados)
        editor.CambiarDestino(indice);
    QCOMPARE(editor.GlobalMarcado(), marcados.isEmpty());
    editor.EnviarAhora();

    QVERIFY2(cartel.EsperarTramas(destinos.size(), Plazo), qPrintable(Resumen(cartel.Tramas())));
    QTRY_VERIFY_WITH_TIMEOUT(principal.dialogEnvio().isHidden(), Plazo);
    QVERIFY2(CuadroDeMensaje::Mostrados().isEmpty(), qPrintable(TextosMostrados()));
    QVERIFY2(cartel.Terminar(), qPrintable(cartel.Error()));

    const QList<QJsonObject> tramas = cartel.Tramas();
    QCOMPARE(tramas.size(), destinos.size());
    for (qsizetype i = 0; i < tramas.size(); ++i) {
        QCOMPARE(DestinoDe(tramas.at(i)), destinos.at(i));
        QCOMPARE(tramas.at(i).value(u"texto"_s).toString(), TextoEnElCartel);
    }
    QVERIFY2(cartel.Anomalias().isEmpty(), qPrintable(Resumen(cartel.Anomalias())));
    // The sign cleans up after itself on SIGTERM.
    QVERIFY(!QFileInfo(cartel.Enlace()).isSymLink());
}

void PruebaCartelVirtual::mostrarLasDirecciones()
{
    Escenario escenario;
    QVERIFY(escenario.Valido());
    CartelEnProceso cartel;
    QVERIFY2(cartel.Iniciar(escenario.Carpeta(), Puerto), qPrintable(cartel.Error()));
    escenario.EscribirConfiguracion({u"interfase com%1,2400,N,8,1"_s.arg(Puerto), u"cartel R560, Vestíbulo, 7"_s,
                                     u"cartel R560, Andén, 12"_s});
    Principal &principal = escenario.Iniciar(new PuertoSerieQt);

    CuadroDeMensaje::ResponderCon({QMessageBox::Ok});
    principal.VerDirecciones();

    QVERIFY2(cartel.EsperarTramas(101, Plazo), qPrintable(Resumen(cartel.Tramas())));
    QTRY_VERIFY_WITH_TIMEOUT(principal.dialogEnvio().isHidden(), Plazo);
    QCOMPARE(CuadroDeMensaje::Mostrados().size(), 1); // the question alone
    QVERIFY2(cartel.Terminar(), qPrintable(cartel.Error()));

    const QList<QJsonObject> tramas = cartel.Tramas();
    QCOMPARE(tramas.size(), 101);
    for (int direccion = 0; direccion <= 100; ++direccion) {
        const QJsonObject &trama = tramas.at(direccion);
        QCOMPARE(DestinoDe(trama), QString::number(direccion));
        QCOMPARE(trama.value(u"texto"_s).toString(), u" "_s + QString::number(direccion));
        const int largo = direccion < 10 ? 12 : direccion < 100 ? 13 : 14;
        QCOMPARE(trama.value(u"bytes"_s).toInt(), largo);
    }
    QVERIFY2(cartel.Anomalias().isEmpty(), qPrintable(Resumen(cartel.Anomalias())));

    // The table printed on exit: every address shows its own number.
    const QList<QJsonObject> tablas = cartel.Tablas();
    QCOMPARE(tablas.size(), 1);
    const QJsonArray filas = tablas.first().value(u"carteles"_s).toArray();
    QCOMPARE(filas.size(), 101);
    QCOMPARE(filas.at(100).toObject().value(u"texto"_s).toString(), u" 100"_s);
}

void PruebaCartelVirtual::envioEsperaAQueTerminenLasDirecciones()
{
    Escenario escenario;
    QVERIFY(escenario.Valido());
    CartelEnProceso cartel;
    QVERIFY2(cartel.Iniciar(escenario.Carpeta(), Puerto), qPrintable(cartel.Error()));
    escenario.EscribirConfiguracion({u"interfase com%1,9600,N,8,1"_s.arg(Puerto), u"cartel R560, Vestíbulo, 7"_s,
                                     u"cartel R560, Andén, 12"_s});
    Principal &principal = escenario.Iniciar(new PuertoSerieQt);

    EditorDeTexto &editor = escenario.NuevoTexto();
    editor.Texto().setPlainText(TextoCompleto);
    editor.CambiarDestino(0);
    editor.CambiarDestino(1);

    // The text is asked for while the address frames are still pausing:
    // it must follow them, whole, and not cut into them.
    CuadroDeMensaje::ResponderCon({QMessageBox::Ok});
    principal.VerDirecciones();
    editor.EnviarAhora();

    QVERIFY2(cartel.EsperarTramas(103, Plazo), qPrintable(Resumen(cartel.Tramas())));
    QTRY_VERIFY_WITH_TIMEOUT(principal.dialogEnvio().isHidden(), Plazo);
    QVERIFY2(cartel.Terminar(), qPrintable(cartel.Error()));

    const QList<QJsonObject> tramas = cartel.Tramas();
    QCOMPARE(tramas.size(), 103);
    for (int direccion = 0; direccion <= 100; ++direccion)
        QCOMPARE(DestinoDe(tramas.at(direccion)), QString::number(direccion));
    QCOMPARE(DestinoDe(tramas.at(101)), u"7"_s);
    QCOMPARE(tramas.at(101).value(u"texto"_s).toString(), TextoEnElCartel);
    QCOMPARE(DestinoDe(tramas.at(102)), u"12"_s);
    QCOMPARE(tramas.at(102).value(u"texto"_s).toString(), TextoEnElCartel);
    QVERIFY2(cartel.Anomalias().isEmpty(), qPrintable(Resumen(cartel.Anomalias())));
}

QTEST_MAIN(PruebaCartelVirtual)
#include "prueba_cartel_virtual.moc"
