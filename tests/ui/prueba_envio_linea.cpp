#include "apoyo/pseudoterminal.h"
#include "controles.h"
#include "escenario.h"
#include "encoding/codificador.h"
#include "link/trama.h"
#include "platform/cuadrodemensaje.h"
#include "platform/puertoserieqt.h"
#include "ui/frmdialogenvio.h"
#include "ui/frmeditordetextos.h"
#include "ui/principal.h"

#include <QPlainTextEdit>
#include <QTest>

// From the text box to the bytes on a real serial device: the editor, the
// send dialog and the serial layer, with a pseudo-terminal as the line.
class PruebaEnvioPorLinea : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every test ends with its whole program gone: no window left behind.
    void cleanup() { QVERIFY(NingunaVentanaAbierta()); }
    void unaTramaPorCartelEnOrdenDelRegistro();
    void direccionesLleganCompletas();
    void puertoQueNoAbreAvisaUnaVez();
};

void PruebaEnvioPorLinea::unaTramaPorCartelEnOrdenDelRegistro()
{
    Escenario escenario;
    PseudoTerminal linea;
    QVERIFY2(linea.Valida(), qPrintable(linea.Error()));
    QVERIFY(linea.CrearEnlace(escenario.Carpeta(), 3));
    escenario.EscribirConfiguracion({QStringLiteral("interfase com3,9600,N,8,1"),
                                     QStringLiteral("cartel R560, Vestíbulo, 7"),
                                     QStringLiteral("cartel R560, Depósito, Desconocida"),
                                     QStringLiteral("cartel R560, Andén, 200")});
    escenario.Iniciar(new PuertoSerieQt);

    frmEditorDeTextos &editor = escenario.NuevoTexto();
    editor.Texto().setPlainText(QStringLiteral("[titila]¡Atención!\nAndén 2"));
    editor.mnuPropDestino_Click(2);
    editor.mnuPropDestino_Click(1);
    QVERIFY(!editor.GlobalMarcado());
    editor.mnuEnviarAhora_Click();

    const QByteArray mensaje = CodificarTexto(QStringLiteral("[titila]¡Atención!\r\nAndén 2"));
    const QByteArray esperado = ArmarTrama(mensaje, 0) + ArmarTrama(mensaje, 200);
    QVERIFY(linea.EsperarBytes(esperado.size(), 5000));
    QCOMPARE(linea.Recibido(), esperado);
    QVERIFY(CuadroDeMensaje::Mostrados().isEmpty());
}

void PruebaEnvioPorLinea::direccionesLleganCompletas()
{
    Escenario escenario;
    PseudoTerminal linea;
    QVERIFY2(linea.Valida(), qPrintable(linea.Error()));
    QVERIFY(linea.CrearEnlace(escenario.Carpeta(), 2));
    Principal &principal = escenario.Iniciar(new PuertoSerieQt);

    CuadroDeMensaje::ResponderCon({QMessageBox::Ok});
    principal.mnuVerDirs_Click();
    QVERIFY(linea.EsperarBytes(1304, 10000));
    QCOMPARE(linea.Recibido(), ArmarMensajeDeDirecciones());
    QTRY_VERIFY(principal.dialogEnvio().isHidden());
}

void PruebaEnvioPorLinea::puertoQueNoAbreAvisaUnaVez()
{
    Escenario escenario;
    QVERIFY(PseudoTerminal::CrearEnlaceRoto(escenario.Carpeta(), 2));
    escenario.EscribirConfiguracion({QStringLiteral("interfase com2,9600,N,8,1"), QStringLiteral("cartel R560, A, 1"),
                                     QStringLiteral("cartel R560, B, 2")});
    Principal &principal = escenario.Iniciar(new PuertoSerieQt);
    frmEditorDeTextos &editor = escenario.NuevoTexto();
    editor.mnuPropDestino_Click(0);
    editor.mnuPropDestino_Click(1);

    editor.mnuEnviarAhora_Click();

    // One box per transmission that could not open the port, each naming
    // the device it looked for.
    const auto mostrados = CuadroDeMensaje::Mostrados();
    QCOMPARE(mostrados.size(), 2);
    for (const auto &caja : mostrados) {
        QCOMPARE(caja.icono, QMessageBox::Warning);
        QCOMPARE(caja.titulo, QStringLiteral("brevalux"));
        QVERIFY2(caja.texto.contains(QStringLiteral("com2")), qPrintable(caja.texto));
    }
    QVERIFY(principal.dialogEnvio().isHidden());
    QVERIFY(!principal.MSComm1().Abierto());
}

QTEST_MAIN(PruebaEnvioPorLinea)
#include "prueba_envio_linea.moc"
