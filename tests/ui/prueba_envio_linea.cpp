#include "link/lineadecarteles.h"
#include "apoyo/pseudoterminal.h"
#include "apoyo/servidorser2net.h"
#include "controles.h"
#include "escenario.h"
#include "encoding/codificador.h"
#include "link/trama.h"
#include "link/transmisor.h"
#include "platform/cuadrodemensaje.h"
#include "platform/puertodelinea.h"
#include "platform/puertoserieqt.h"
#include "ui/configserie.h"
#include "ui/dialogodeenvio.h"
#include "ui/editordetexto.h"
#include "ui/principal.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

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
    void desconexionEnReposoNoPierdeElTexto();
    void dispositivoPerdidoDuranteElEnvioDiceLoCancelado();
    void porUnServidorDeRedQueElOkConserva();
};

void PruebaEnvioPorLinea::unaTramaPorCartelEnOrdenDelRegistro()
{
    Escenario escenario;
    PseudoTerminal linea;
    QVERIFY2(linea.Valida(), qPrintable(linea.Error()));
    QVERIFY(linea.CrearEnlace(escenario.Carpeta(), 3));
    escenario.EscribirConfiguracion({u"interfase com3,9600,N,8,1"_s,
                                     u"cartel R560, Vestíbulo, 7"_s,
                                     u"cartel R560, Depósito, Desconocida"_s,
                                     u"cartel R560, Andén, 200"_s});
    Principal &principal = escenario.Iniciar(new PuertoSerieQt);

    EditorDeTexto &editor = escenario.NuevoTexto(u"[titila]¡Atención!\nAndén 2"_s);
    editor.CambiarDestino(2);
    editor.CambiarDestino(1);
    QVERIFY(!principal.GlobalMarcado());
    editor.EnviarAhora();

    const QByteArray mensaje = CodificarTexto(u"[titila]¡Atención!\r\nAndén 2"_s);
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
    principal.VerDirecciones();
    QVERIFY(linea.EsperarBytes(1304, 10000));
    QCOMPARE(linea.Recibido(), ArmarMensajeDeDirecciones());
    QTRY_VERIFY(principal.dialogEnvio().isHidden());
}

void PruebaEnvioPorLinea::puertoQueNoAbreAvisaUnaVez()
{
    Escenario escenario;
    QVERIFY(PseudoTerminal::CrearEnlaceRoto(escenario.Carpeta(), 2));
    escenario.EscribirConfiguracion({u"interfase com2,9600,N,8,1"_s, u"cartel R560, A, 1"_s,
                                     u"cartel R560, B, 2"_s});
    Principal &principal = escenario.Iniciar(new PuertoSerieQt);
    EditorDeTexto &editor = escenario.NuevoTexto();
    editor.CambiarDestino(0);
    editor.CambiarDestino(1);

    editor.EnviarAhora();

    // One box per transmission that could not open the port, each naming
    // the device it looked for.
    const auto mostrados = CuadroDeMensaje::Mostrados();
    QCOMPARE(mostrados.size(), 2);
    for (const auto &caja : mostrados) {
        QCOMPARE(caja.icono, QMessageBox::Warning);
        QCOMPARE(caja.titulo, u"brevalux"_s);
        QVERIFY2(caja.texto.contains(u"com2"_s), qPrintable(caja.texto));
    }
    QVERIFY(principal.dialogEnvio().isHidden());
    QVERIFY(!principal.Puerto().Abierto());
}

void PruebaEnvioPorLinea::desconexionEnReposoNoPierdeElTexto()
{
    Escenario escenario;
    auto linea = std::make_unique<PseudoTerminal>();
    QVERIFY2(linea->Valida(), qPrintable(linea->Error()));
    QVERIFY(linea->CrearEnlace(escenario.Carpeta(), 2));
    escenario.EscribirConfiguracion({u"interfase com2,9600,N,8,1"_s});
    Principal &principal = escenario.Iniciar(new PuertoSerieQt);
    EditorDeTexto &editor = escenario.NuevoTexto(u"Primero"_s);
    editor.EnviarAhora();
    const QByteArray primera = ArmarTrama(CodificarTexto(u"Primero"_s), 0);
    QVERIFY(linea->EsperarBytes(primera.size(), 5000));
    QTRY_VERIFY(principal.dialogEnvio().isHidden());
    QTRY_VERIFY(!principal.Linea().Emisor().Ocupado());

    // The adapter is pulled out and put back while nothing is being sent.
    linea.reset();
    PseudoTerminal nueva;
    QVERIFY2(nueva.Valida(), qPrintable(nueva.Error()));
    QVERIFY(nueva.CrearEnlace(escenario.Carpeta(), 2));

    editor.Texto().setPlainText(u"Segundo"_s);
    editor.EnviarAhora();
    const QByteArray segunda = ArmarTrama(CodificarTexto(u"Segundo"_s), 0);
    QVERIFY(nueva.EsperarBytes(segunda.size(), 5000));
    QCOMPARE(nueva.Recibido(), segunda);
    QTRY_VERIFY(principal.dialogEnvio().isHidden());
    QVERIFY(CuadroDeMensaje::Mostrados().isEmpty());
}

void PruebaEnvioPorLinea::dispositivoPerdidoDuranteElEnvioDiceLoCancelado()
{
    Escenario escenario;
    PseudoTerminal linea;
    QVERIFY2(linea.Valida(), qPrintable(linea.Error()));
    QVERIFY(linea.CrearEnlace(escenario.Carpeta(), 2));
    Principal &principal = escenario.Iniciar(new PuertoSerieQt);

    CuadroDeMensaje::ResponderCon({QMessageBox::Ok});
    principal.VerDirecciones();
    QVERIFY(linea.EsperarBytes(100, 10000));
    linea.CerrarMaestro();
    QTRY_COMPARE_WITH_TIMEOUT(CuadroDeMensaje::Mostrados().size(), 2, 5000);
    QTRY_VERIFY(principal.dialogEnvio().isHidden());
    QTest::qWait(100);

    // The confirmation, then one warning: what was lost, what became of the
    // send, and the system's own words only on the last line.
    const auto mostrados = CuadroDeMensaje::Mostrados();
    QCOMPARE(mostrados.size(), 2);
    const CuadroDeMensaje::Mostrado &aviso = mostrados.at(1);
    QCOMPARE(aviso.icono, QMessageBox::Warning);
    const QStringList parrafos = aviso.texto.split(u"\n\n"_s);
    QCOMPARE(parrafos.size(), 3);
    QVERIFY2(parrafos.at(0).startsWith(u"Se perdió la comunicación con el puerto Com2"_s),
             qPrintable(aviso.texto));
    QVERIFY2(parrafos.at(1).startsWith(u"Se canceló la transmisión: no salieron "_s)
                 && parrafos.at(1).endsWith(u" de sus 101 tramas."_s),
             qPrintable(aviso.texto));
    QVERIFY2(parrafos.at(2).startsWith(u"Detalle del sistema: "_s), qPrintable(aviso.texto));
    QVERIFY(!principal.Puerto().Abierto());
}

void PruebaEnvioPorLinea::porUnServidorDeRedQueElOkConserva()
{
    Escenario escenario;
    ServidorSer2net servidor;
    QVERIFY2(servidor.Iniciar(), qPrintable(servidor.Error()));
    const QString interfase = u"interfase "_s + servidor.Direccion() + u",9600,N,8,1"_s;
    escenario.EscribirConfiguracion({interfase, u"cartel R560, Andén, 7"_s});
    Principal &principal = escenario.Iniciar(new PuertoDeLinea);
    const QString linea = servidor.Direccion().mid(4);
    QTRY_COMPARE(Control<QLabel>(&principal, u"EstadoPuerto"_s)->text(), linea + u", 9600 b.p.s."_s);
    // The line read at start is the port's, by the name cartel-enviar asks
    // the program for before it hands frames over.
    QCOMPARE(principal.Puerto().Nombre(), linea);

    // O.K. keeps the network line: in the file and on the wire.
    principal.ConfigurarInterfase();
    ConfigSerie *dialogo = principal.configSerie();
    QVERIFY(Control<QRadioButton>(dialogo, u"Red"_s)->isChecked());
    QCOMPARE(Control<QLineEdit>(dialogo, u"Direccion"_s)->text(), linea);
    Pulsar(dialogo, u"Aceptar"_s);
    QTRY_VERIFY(!principal.configSerie());
    QVERIFY(escenario.LeerArchivo(u"carteles.ini"_s).startsWith((interfase + u"\r\n"_s).toLatin1()));
    EditorDeTexto &editor = escenario.NuevoTexto(u"Uno"_s);
    editor.EnviarAhora();
    const QByteArray esperado = ArmarTrama(CodificarTexto(u"Uno"_s), 0);
    QVERIFY(servidor.Linea().EsperarBytes(esperado.size(), 5000));
    QCOMPARE(servidor.Linea().Recibido(), esperado);
    QVERIFY(CuadroDeMensaje::Mostrados().isEmpty());
}

QTEST_MAIN(PruebaEnvioPorLinea)
#include "prueba_envio_linea.moc"
