#include "controles.h"
#include "escenario.h"
#include "platform/cuadrodemensaje.h"
#include "platform/puertoserie.h"
#include "ui/cartelnuevo.h"
#include "ui/configred.h"
#include "ui/configserie.h"
#include "ui/frmeditordetextos.h"
#include "ui/principal.h"

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// The configuration dialogs inside the running program: what reaches
// ./carteles.ini, and when, and what the editors' destination menus show.
class PruebaConfiguracionVentanas : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every test ends with its whole program gone: no window left behind.
    void cleanup() { QVERIFY(NingunaVentanaAbierta()); }
    void agregarCartelSeGuardaAlConfirmar();
    void quitarSinSeleccionIgualReescribe();
    void quitarRenumeraYReconstruyeDestinos();
    void interfaseSerieEscribeLaPrimeraLinea();
    void cancelarYCajaDeCierreReescribenSinCambios_data();
    void cancelarYCajaDeCierreReescribenSinCambios();
    void escrituraFallidaSeMuestra();
    void dialogosAbiertosVuelvenAlFrente();

private:
    static void Pulsar(QWidget &ventana, const QString &boton)
    {
        auto *pulsador = ventana.findChild<QPushButton *>(boton);
        QVERIFY2(pulsador, qPrintable(boton));
        pulsador->click();
    }
};

void PruebaConfiguracionVentanas::agregarCartelSeGuardaAlConfirmar()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    ConfigRed &red = principal.configRed();
    principal.mnuConfigRed_Click();
    QVERIFY(red.isVisible());

    Pulsar(red, QStringLiteral("Agregar"));
    auto *nuevo = red.findChild<CartelNuevo *>();
    QVERIFY(nuevo);
    nuevo->findChild<QLineEdit *>(QStringLiteral("Nombre"))->setText(QStringLiteral("Sala"));
    auto *direccion = nuevo->findChild<QListWidget *>(QStringLiteral("Direccion"));
    direccion->setCurrentRow(5);
    Pulsar(*nuevo, QStringLiteral("Ok"));

    QCOMPARE(red.List(1), QStringLiteral("R560, Sala, 5"));
    QVERIFY(!QFile::exists(escenario.Ruta(QStringLiteral("carteles.ini"))));

    Pulsar(red, QStringLiteral("OK"));
    QVERIFY(red.isHidden());
    QCOMPARE(escenario.LeerArchivo(QStringLiteral("carteles.ini")),
             QByteArray("interfase com2,2400,N,8,1\r\ncartel R560, Un Cartel, Desconocida\r\ncartel R560, Sala, 5\r\n"));
    // Two signs now: every editor offers them.
    QVERIFY(principal.editor(1)->DestinosVisibles());
    QCOMPARE(principal.editor(1)->TitulosDeDestino(),
             QStringList({QStringLiteral(" Un Cartel"), QStringLiteral(" Sala")}));
}

void PruebaConfiguracionVentanas::quitarSinSeleccionIgualReescribe()
{
    Escenario escenario;
    escenario.EscribirConfiguracion({QStringLiteral("cartel R560, A, 1"), QStringLiteral("# ajeno")});
    Principal &principal = escenario.Iniciar();
    principal.mnuConfigRed_Click();

    Pulsar(principal.configRed(), QStringLiteral("Quitar"));

    QCOMPARE(principal.configRed().ListCount(), 1);
    QCOMPARE(escenario.LeerArchivo(QStringLiteral("carteles.ini")),
             QByteArray("interfase com1,9600,N,8,1\r\ncartel R560, A, 1\r\n"));
}

void PruebaConfiguracionVentanas::quitarRenumeraYReconstruyeDestinos()
{
    Escenario escenario;
    escenario.EscribirConfiguracion({QStringLiteral("interfase com3,2400,N,8,1"), QStringLiteral("cartel R560, A, 1"),
                                     QStringLiteral("cartel R560, B, 2"), QStringLiteral("cartel R560, C, 3")});
    Principal &principal = escenario.Iniciar();
    frmEditorDeTextos &editor = escenario.NuevoTexto();
    ConfigRed &red = principal.configRed();
    principal.mnuConfigRed_Click();

    auto *lista = red.findChild<QListView *>(QStringLiteral("Carteles"));
    lista->setCurrentIndex(red.Registro().index(0));
    Pulsar(red, QStringLiteral("Quitar"));

    QCOMPARE(red.List(0), QStringLiteral("R560, B, 2"));
    QCOMPARE(editor.TitulosDeDestino(), QStringList({QStringLiteral(" B"), QStringLiteral(" C")}));
    QCOMPARE(escenario.LeerArchivo(QStringLiteral("carteles.ini")),
             QByteArray("interfase com3,2400,N,8,1\r\ncartel R560, B, 2\r\ncartel R560, C, 3\r\n"));

    // Down to one sign: the destination menu goes away.
    lista->setCurrentIndex(red.Registro().index(1));
    Pulsar(red, QStringLiteral("Quitar"));
    QVERIFY(!editor.DestinosVisibles());
}

void PruebaConfiguracionVentanas::interfaseSerieEscribeLaPrimeraLinea()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    principal.mnuConfigInterfase_Click();
    ConfigSerie *serie = principal.configSerie();
    QVERIFY(serie && serie->isVisible());
    QVERIFY(serie->findChild<QRadioButton *>(QStringLiteral("ComPort1"))->isChecked());

    serie->findChild<QRadioButton *>(QStringLiteral("ComPort5"))->click();
    serie->findChild<QRadioButton *>(QStringLiteral("BaudRate1"))->click();
    Pulsar(*serie, QStringLiteral("Ok"));

    QTRY_VERIFY(!principal.configSerie());
    QCOMPARE(principal.MSComm1().Numero(), 6);
    QCOMPARE(principal.MSComm1().Ajustes(), QStringLiteral("9600,N,8,1"));
    QVERIFY(escenario.LeerArchivo(QStringLiteral("carteles.ini")).startsWith("interfase com6,9600,N,8,1\r\n"));
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
    escenario.EscribirConfiguracion({QStringLiteral("interfase com4,2400,N,8,1"), QStringLiteral("cartel R560, A, 1"),
                                     QStringLiteral("basura que se pierde")});
    Principal &principal = escenario.Iniciar();
    principal.mnuConfigInterfase_Click();
    ConfigSerie *serie = principal.configSerie();
    serie->findChild<QRadioButton *>(QStringLiteral("ComPort0"))->click();
    serie->findChild<QRadioButton *>(QStringLiteral("BaudRate1"))->click();

    if (cajaDeCierre)
        serie->close();
    else
        Pulsar(*serie, QStringLiteral("Cancelar"));

    QTRY_VERIFY(!principal.configSerie());
    QCOMPARE(principal.MSComm1().Numero(), 4);
    QCOMPARE(escenario.LeerArchivo(QStringLiteral("carteles.ini")),
             QByteArray("interfase com4,2400,N,8,1\r\ncartel R560, A, 1\r\n"));
}

void PruebaConfiguracionVentanas::escrituraFallidaSeMuestra()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    // A folder where the file should be: not even root can write it.
    QVERIFY(escenario.Carpeta().mkdir(QStringLiteral("carteles.ini")));
    principal.mnuConfigRed_Click();

    Pulsar(principal.configRed(), QStringLiteral("OK"));

    const auto mostrados = CuadroDeMensaje::Mostrados();
    QCOMPARE(mostrados.size(), 1);
    QCOMPARE(mostrados.constFirst().icono, QMessageBox::Warning);
    QVERIFY2(mostrados.constFirst().texto.contains(escenario.Ruta(QStringLiteral("carteles.ini"))),
             qPrintable(mostrados.constFirst().texto));
}

void PruebaConfiguracionVentanas::dialogosAbiertosVuelvenAlFrente()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    principal.mnuConfigInterfase_Click();
    ConfigSerie *primero = principal.configSerie();
    primero->findChild<QRadioButton *>(QStringLiteral("ComPort3"))->click();

    principal.mnuConfigInterfase_Click();
    QCOMPARE(principal.configSerie(), primero);
    QVERIFY(primero->findChild<QRadioButton *>(QStringLiteral("ComPort3"))->isChecked());
    QVERIFY(!primero->isModal());
    QVERIFY(!principal.configRed().isModal());
    primero->close();
}

QTEST_MAIN(PruebaConfiguracionVentanas)
#include "prueba_configuracion_ventanas.moc"
