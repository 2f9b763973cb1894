#include "apoyo/puertofalso.h"
#include "link/lineadecarteles.h"
#include "link/trama.h"
#include "controles.h"
#include "config/configuracion.h"
#include "escenario.h"
#include "platform/cuadrodemensaje.h"
#include "platform/puertoserie.h"
#include "ui/cartelnuevo.h"
#include "ui/configred.h"
#include "ui/configserie.h"
#include "ui/editordetexto.h"
#include "ui/principal.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;

// The configuration dialogs inside the running program: what reaches
// ./carteles.ini, and when, and what the editors' destination menus show.
class PruebaConfiguracionVentanas : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every test ends with its whole program gone: no window left behind.
    void cleanup() { QVERIFY(NingunaVentanaAbierta()); }
    void agregarCartelSeGuardaAlConfirmar_data();
    void agregarCartelSeGuardaAlConfirmar();
    void quitarSinSeleccionIgualReescribe();
    void quitarRenumeraYReconstruyeDestinos();
    void interfaseSerieEscribeLaPrimeraLinea();
    void cancelarYCajaDeCierreReescribenSinCambios_data();
    void cancelarYCajaDeCierreReescribenSinCambios();
    void escrituraFallidaSeMuestra();
    void archivoIlegibleSeReemplazaSoloSiSeAcepta();
    void dialogosAbiertosVuelvenAlFrente();
    void archivoEditadoAMano_data();
    void archivoEditadoAMano();
    void puertoNoEntendidoSeAvisaYRedSeElige();

private:
    // "Agregar" in the open "Carteles Conectados", a name and the address
    // at row `direccion` ("Desconocida" is row 0), "O.K.".
    static void AgregarCartel(ConfigRed &red, const QString &nombre, int direccion)
    {
        Pulsar(red, u"Agregar"_s);
        auto *nuevo = red.findChild<CartelNuevo *>();
        QVERIFY(nuevo);
        nuevo->findChild<QLineEdit *>(u"Nombre"_s)->setText(nombre);
        nuevo->findChild<QListWidget *>(u"Direccion"_s)->setCurrentRow(direccion);
        Pulsar(*nuevo, u"Aceptar"_s);
    }

    static void Pulsar(QWidget &ventana, const QString &boton)
    {
        auto *pulsador = ventana.findChild<QPushButton *>(boton);
        QVERIFY2(pulsador, qPrintable(boton));
        pulsador->click();
    }
};

void PruebaConfiguracionVentanas::agregarCartelSeGuardaAlConfirmar_data()
{
    QTest::addColumn<bool>("desdeInterfase");
    QTest::newRow("O.K. de Carteles Conectados") << false;
    // Closing "Interfase Serie" writes the list as "Carteles Conectados"
    // holds it, the sign just added too.
    QTest::newRow("Cancelar de Interfase Serie") << true;
}

void PruebaConfiguracionVentanas::agregarCartelSeGuardaAlConfirmar()
{
    QFETCH(bool, desdeInterfase);
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    escenario.NuevoTexto();
    QVERIFY(!principal.DestinosVisibles());
    ConfigRed &red = principal.configRed();
    principal.ConfigurarCarteles();
    QVERIFY(red.isVisible());

    AgregarCartel(red, u"Sala"_s, 5);
    QCOMPARE(red.Registro().at(1), u"R560, Sala, 5"_s);
    QVERIFY(!QFile::exists(escenario.Ruta(u"carteles.ini"_s)));

    if (desdeInterfase) {
        principal.ConfigurarInterfase();
        Pulsar(*principal.configSerie(), u"Cancelar"_s);
        QTRY_VERIFY(!principal.configSerie());
    } else {
        Pulsar(red, u"Aceptar"_s);
        QVERIFY(red.isHidden());
    }
    QCOMPARE(escenario.LeerArchivo(u"carteles.ini"_s),
             QByteArray("interfase com2,2400,N,8,1\r\ncartel R560, Un Cartel, Desconocida\r\ncartel R560, Sala, 5\r\n"));
    // Two signs now: the open text offers them.
    QVERIFY(principal.DestinosVisibles());
    QCOMPARE(principal.TitulosDeDestino(),
             QStringList({u" Un Cartel"_s, u" Sala"_s}));
}

void PruebaConfiguracionVentanas::quitarSinSeleccionIgualReescribe()
{
    Escenario escenario;
    escenario.EscribirConfiguracion({u"cartel R560, A, 1"_s, u"# ajeno"_s});
    Principal &principal = escenario.Iniciar();
    principal.ConfigurarCarteles();

    Pulsar(principal.configRed(), u"Quitar"_s);

    QCOMPARE(principal.configRed().Registro().size(), 1);
    QCOMPARE(escenario.LeerArchivo(u"carteles.ini"_s),
             QByteArray("interfase com1,9600,N,8,1\r\ncartel R560, A, 1\r\n"));
}

void PruebaConfiguracionVentanas::quitarRenumeraYReconstruyeDestinos()
{
    Escenario escenario;
    escenario.EscribirConfiguracion({u"interfase com3,2400,N,8,1"_s, u"cartel R560, A, 1"_s,
                                     u"cartel R560, B, 2"_s, u"cartel R560, C, 3"_s});
    Principal &principal = escenario.Iniciar();
    escenario.NuevoTexto();
    ConfigRed &red = principal.configRed();
    principal.ConfigurarCarteles();

    auto *lista = red.findChild<QListView *>(u"Carteles"_s);
    lista->setCurrentIndex(lista->model()->index(0, 0));
    Pulsar(red, u"Quitar"_s);

    QCOMPARE(red.Registro().at(0), u"R560, B, 2"_s);
    QCOMPARE(principal.TitulosDeDestino(), QStringList({u" B"_s, u" C"_s}));
    QCOMPARE(escenario.LeerArchivo(u"carteles.ini"_s),
             QByteArray("interfase com3,2400,N,8,1\r\ncartel R560, B, 2\r\ncartel R560, C, 3\r\n"));

    // Down to one sign: the destination menu goes away.
    lista->setCurrentIndex(lista->model()->index(1, 0));
    Pulsar(red, u"Quitar"_s);
    QVERIFY(!principal.DestinosVisibles());
}

void PruebaConfiguracionVentanas::interfaseSerieEscribeLaPrimeraLinea()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    principal.ConfigurarInterfase();
    ConfigSerie *serie = principal.configSerie();
    QVERIFY(serie && serie->isVisible());
    QVERIFY(serie->findChild<QRadioButton *>(u"puerto1"_s)->isChecked());

    serie->findChild<QRadioButton *>(u"puerto5"_s)->click();
    serie->findChild<QRadioButton *>(u"velocidad1"_s)->click();
    Pulsar(*serie, u"Aceptar"_s);

    QTRY_VERIFY(!principal.configSerie());
    QCOMPARE(principal.Puerto().Numero(), 6);
    QCOMPARE(principal.Puerto().Ajustes(), u"9600,N,8,1"_s);
    QVERIFY(escenario.LeerArchivo(u"carteles.ini"_s).startsWith("interfase com6,9600,N,8,1\r\n"));
}

void PruebaConfiguracionVentanas::cancelarYCajaDeCierreReescribenSinCambios_data()
{
    QTest::addColumn<bool>("cajaDeCierre");
    QTest::newRow("Cancelar") << false;
    QTest::newRow("caja de cierre") << true;
}

void PruebaConfiguracionVentanas::cancelarYCajaDeCierreReescribenSinCambios()
{
    QFETCH(bool, cajaDeCierre);

    Escenario escenario;
    escenario.EscribirConfiguracion({u"interfase com4,2400,N,8,1"_s, u"cartel R560, A, 1"_s,
                                     u"basura que se pierde"_s});
    Principal &principal = escenario.Iniciar();
    principal.ConfigurarInterfase();
    ConfigSerie *serie = principal.configSerie();
    serie->findChild<QRadioButton *>(u"puerto0"_s)->click();
    serie->findChild<QRadioButton *>(u"velocidad1"_s)->click();

    if (cajaDeCierre)
        serie->close();
    else
        Pulsar(*serie, u"Cancelar"_s);

    QTRY_VERIFY(!principal.configSerie());
    QCOMPARE(principal.Puerto().Numero(), 4);
    QCOMPARE(escenario.LeerArchivo(u"carteles.ini"_s),
             QByteArray("interfase com4,2400,N,8,1\r\ncartel R560, A, 1\r\n"));
}

void PruebaConfiguracionVentanas::escrituraFallidaSeMuestra()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    // A folder where the file should be: not even root can write it.
    QVERIFY(escenario.Carpeta().mkdir(u"carteles.ini"_s));
    principal.ConfigurarCarteles();

    Pulsar(principal.configRed(), u"Aceptar"_s);

    const auto mostrados = CuadroDeMensaje::Mostrados();
    QCOMPARE(mostrados.size(), 1);
    QCOMPARE(mostrados.constFirst().icono, QMessageBox::Warning);
    QVERIFY2(mostrados.constFirst().texto.contains(escenario.Ruta(u"carteles.ini"_s)),
             qPrintable(mostrados.constFirst().texto));
}

void PruebaConfiguracionVentanas::archivoIlegibleSeReemplazaSoloSiSeAcepta()
{
    Escenario escenario;
    const QByteArray ilegible(TamanoMaximoDeConfiguracion + 1, '\n');
    QVERIFY(!escenario.EscribirArchivo(u"carteles.ini"_s, ilegible).isEmpty());
    Principal &principal = escenario.Iniciar();
    CuadroDeMensaje::OlvidarMostrados();
    ConfigRed &red = principal.configRed();
    principal.ConfigurarCarteles();
    principal.ConfigurarInterfase();
    auto *aviso = red.findChild<QLabel *>(u"AvisoAlPie"_s);
    QVERIFY(aviso && aviso->isVisible());
    QVERIFY(principal.configSerie()->findChild<QLabel *>(u"AvisoAlPie"_s)->isVisible());

    // No answer given: the question's default keeps the file, from both dialogs.
    Pulsar(*principal.configSerie(), u"Aceptar"_s);
    Pulsar(red, u"Aceptar"_s);
    QCOMPARE(CuadroDeMensaje::Mostrados().size(), 2);
    QVERIFY(CuadroDeMensaje::Mostrados().constLast().texto.endsWith(u"¿Reemplazarlo con esta configuración?"_s));
    QCOMPARE(escenario.LeerArchivo(u"carteles.ini"_s), ilegible);

    // "Sí" replaces it; later saves ask nothing.
    CuadroDeMensaje::ResponderCon({QMessageBox::Yes});
    for (int vez = 0; vez < 2; ++vez) {
        principal.ConfigurarCarteles();
        Pulsar(red, u"Aceptar"_s);
    }
    QCOMPARE(CuadroDeMensaje::Mostrados().size(), 3);
    QCOMPARE(escenario.LeerArchivo(u"carteles.ini"_s),
             QByteArray("interfase com2,2400,N,8,1\r\ncartel R560, Un Cartel, Desconocida\r\n"));
    QVERIFY(aviso->isHidden());
}

void PruebaConfiguracionVentanas::dialogosAbiertosVuelvenAlFrente()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    principal.ConfigurarInterfase();
    ConfigSerie *primero = principal.configSerie();
    primero->findChild<QRadioButton *>(u"puerto3"_s)->click();

    principal.ConfigurarInterfase();
    QCOMPARE(principal.configSerie(), primero);
    QVERIFY(primero->findChild<QRadioButton *>(u"puerto3"_s)->isChecked());
    QVERIFY(!primero->isModal());
    QVERIFY(!principal.configRed().isModal());
    primero->close();
}

const QByteArray AMano = "# a mano\r\ninterfase com3,9600,N,8,1\r\ncartel R560, Sala, 9\r\n"
                         "cartel R560, Patio, 8\r\ncartel R560, Caja, 3\r\n";

void PruebaConfiguracionVentanas::archivoEditadoAMano_data()
{
    QTest::addColumn<bool>("pendiente"); // a sign added in the dialog, not yet confirmed
    QTest::addColumn<QByteArray>("archivo"); // after O.K.
    QTest::newRow("nada pendiente: se toma, y O.K. no pregunta") << false << AMano.sliced(10);
    QTest::newRow("lista sin confirmar: O.K. pregunta, y por defecto deja el archivo") << true << AMano;
}

// ./carteles.ini edited by hand while the program runs: the window sends from
// it as cartel-enviar does, before the file watcher tells, and nothing
// writes over the hand edits unasked.
void PruebaConfiguracionVentanas::archivoEditadoAMano()
{
    QFETCH(bool, pendiente);
    QFETCH(QByteArray, archivo);
    Escenario escenario;
    escenario.EscribirConfiguracion({u"interfase com1,9600,N,8,1"_s, u"cartel R560, Sala, 7"_s});
    Principal &principal = escenario.Iniciar();
    EditorDeTexto &editor = escenario.NuevoTexto(u"HOLA"_s);
    editor.CambiarDestino(0);
    ConfigRed &red = principal.configRed();
    principal.ConfigurarCarteles();
    if (pendiente)
        AgregarCartel(red, u"Nuevo"_s, 0);
    const QStringList delDialogo = red.Registro();

    QVERIFY(!escenario.EscribirArchivo(u"carteles.ini"_s, AMano).isEmpty());
    editor.EnviarAhora();
    QTRY_COMPARE(escenario.puerto().Escrito(), ArmarTrama("HOLA", 9));
    const QStringList deLaMano{u" Sala"_s, u" Patio"_s, u" Caja"_s};
    QCOMPARE(principal.TitulosDeDestino(), deLaMano);
    QCOMPARE(principal.Puerto().Numero(), 3);
    QCOMPARE(red.Registro().size(), pendiente ? delDialogo.size() : 3);
    Pulsar(red, u"Aceptar"_s);
    QCOMPARE(CuadroDeMensaje::Mostrados().size(), pendiente ? 1 : 0);
    QCOMPARE(escenario.LeerArchivo(u"carteles.ini"_s), archivo);
    QCOMPARE(principal.TitulosDeDestino(), deLaMano);
}

// Said once at start; typing an address chooses Red, and O.K. takes it
// only with a TCP port.
void PruebaConfiguracionVentanas::puertoNoEntendidoSeAvisaYRedSeElige()
{
    Escenario escenario;
    escenario.EscribirConfiguracion({u"interfase COM3,2400,N,8,1"_s, u"cartel R560, Hall, 5"_s});
    Principal &principal = escenario.Iniciar();
    QCOMPARE(CuadroDeMensaje::Mostrados().size(), 1);
    QVERIFY(CuadroDeMensaje::Mostrados().constFirst().texto.contains(u"«COM3»"_s));

    principal.ConfigurarInterfase();
    ConfigSerie *dialogo = principal.configSerie();
    QTest::keyClicks(Control<QLineEdit>(dialogo, u"Direccion"_s), u"equipo"_s);
    QVERIFY(Control<QRadioButton>(dialogo, u"Red"_s)->isChecked());
    Pulsar(*dialogo, u"Aceptar"_s);
    QCOMPARE(CuadroDeMensaje::Mostrados().size(), 2);
    QVERIFY(CuadroDeMensaje::Mostrados().constLast().texto.contains(u"«equipo»"_s));
    QVERIFY(principal.configSerie());
    QTest::keyClicks(Control<QLineEdit>(dialogo, u"Direccion"_s), u".local:2000"_s);
    Pulsar(*dialogo, u"Aceptar"_s);
    QTRY_VERIFY(!principal.configSerie());
    QCOMPARE(CuadroDeMensaje::Mostrados().size(), 2);
    QCOMPARE(escenario.LeerArchivo(u"carteles.ini"_s),
             QByteArray("interfase tcp:equipo.local:2000,2400,N,8,1\r\ncartel R560, Hall, 5\r\n"));
    QTRY_COMPARE(Control<QLabel>(&principal, u"EstadoPuerto"_s)->text(), u"equipo.local:2000, 2400 b.p.s."_s);
}

QTEST_MAIN(PruebaConfiguracionVentanas)
#include "prueba_configuracion_ventanas.moc"
