#include "link/lineadecarteles.h"
#include "cartelenproceso.h"

#include "apoyo/archivosdeprueba.h"
#include "apoyo/pseudoterminal.h"
#include "apoyo/servidorser2net.h"
#include "codigodesalida.h"
#include "documents/documento.h"
#include "encoding/codificador.h"
#include "link/trama.h"
#include "platform/cuadrodemensaje.h"
#include "platform/puertodelinea.h"
#include "platform/puertoserieqt.h"
#include "schedule/programacion.h"
#include "ui/controles.h"
#include "ui/escenario.h"
#include "ui/dialogodeenvio.h"
#include "ui/editordetexto.h"
#include "ui/principal.h"
#include "link/transmisor.h"

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;


// cartel-enviar as an operator's script runs it, in the program's working
// directory, on a real serial line.
class PruebaCartelEnviar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QVERIFY(NingunaVentanaAbierta()); }
    void nadaSaleSinEnviar_data();
    void nadaSaleSinEnviar();
    void direccionesConPuertoYVelocidadDeLaLinea();
    void elCartelVirtualLeeCadaTrama();
    void porElProgramaQueTieneElPuerto();
    void laProgramacionCorreHastaSigterm();
    void porUnServidorDeRed();
    void porElProgramaQueTieneLaLineaDeRed();
};

namespace {

constexpr int Puerto = 4;
constexpr int Plazo = 20000;

// Tags, substitutes, a line break and characters the sign drops; all of it
// fits a document file.
const QString Texto = u"[titila]¡Abierto![no titila] Andén nº 3\r\n[centra]Cierra 20:30 €5 pingüino[baja]"_s;

const QStringList Carteles{u"cartel R560, Hall, 5"_s, u"cartel R560, Andén 2, Desconocida"_s,
                           u"cartel R560, Patio, 12"_s};

// The folder with the virtual sign on its port and the signs above, at
// `velocidad` b.p.s.
bool PonerCartel(Escenario &escenario, CartelEnProceso &cartel, int velocidad)
{
    if (!escenario.Valido() || !cartel.Iniciar(escenario.Carpeta(), Puerto))
        return false;
    escenario.EscribirConfiguracion(QStringList{u"interfase com%1,%2,N,8,1"_s.arg(Puerto).arg(velocidad)} + Carteles);
    return true;
}

struct Corrida
{
    int estado = -1;
    QString errores;
};

// Runs the tool in `carpeta` while the event loop keeps reading the line: a
// line nobody reads would never drain. With `linea` and `velocidad`, notes
// the line's speed as the tool set it, once its first bytes are in: the port
// gives the line back as it found it when it closes.
Corrida CorrerCartelEnviar(const QDir &carpeta, const QStringList &argumentos,
                           const PseudoTerminal *linea = nullptr, qint32 *velocidad = nullptr,
                           const QByteArray &entrada = {}, bool sinEntrada = false)
{
    QProcess proceso;
    if (sinEntrada)
        proceso.setChildProcessModifier([] { close(STDIN_FILENO); });
    proceso.setWorkingDirectory(carpeta.path());
    proceso.setProgram(QString::fromUtf8(RUTA_CARTEL_ENVIAR));
    proceso.setArguments(argumentos);
    proceso.start();
    Corrida corrida;
    if (!proceso.waitForStarted(Plazo))
        return corrida;
    proceso.write(entrada);
    proceso.closeWriteChannel();
    QElapsedTimer reloj;
    reloj.start();
    while (proceso.state() != QProcess::NotRunning && reloj.elapsed() < Plazo) {
        QTest::qWait(10);
        if (linea && velocidad && *velocidad == 0 && !linea->Recibido().isEmpty())
            *velocidad = linea->VelocidadDeLinea();
    }
    if (proceso.state() != QProcess::NotRunning) {
        proceso.kill();
        proceso.waitForFinished();
        return corrida;
    }
    corrida.estado = proceso.exitStatus() == QProcess::NormalExit ? proceso.exitCode() : -1;
    corrida.errores = QString::fromUtf8(proceso.readAllStandardError());
    return corrida;
}

} // namespace

void PruebaCartelEnviar::nadaSaleSinEnviar_data()
{
    QTest::addColumn<QStringList>("argumentos");
    QTest::addColumn<bool>("puertoInservible");
    QTest::addColumn<int>("estado");
    QTest::addColumn<QString>("enElMensaje");
    QTest::addColumn<bool>("sinEntrada"); // run with its standard input closed

    QTest::newRow("nombre desconocido")
        << QStringList{u"horario.txt"_s, u"--a"_s, u"Patio"_s, u"--a"_s, u"Kiosco"_s} << false
        << Numero(CodigoDeSalida::CartelesDesconocidos) << u"«Kiosco»"_s << false;
    QTest::newRow("documento a nombres que no están")
        << QStringList{u"ajeno.txt"_s} << false << Numero(CodigoDeSalida::CartelesDesconocidos) << u"«Bar»"_s << false;
    // "-": the same document on the standard input.
    QTest::newRow("por la entrada estándar")
        << QStringList{u"-"_s} << false << Numero(CodigoDeSalida::CartelesDesconocidos) << u"«Bar»"_s << false;
    // "<&-", read as an empty text, blanked every sign.
    QTest::newRow("entrada cerrada") << QStringList{u"--global"_s, u"-"_s} << false
                                     << Numero(CodigoDeSalida::ArchivoIlegible) << u"entrada estándar"_s << true;
    QTest::newRow("puerto que no se puede abrir")
        << QStringList{u"horario.txt"_s, u"--puerto"_s, u"3"_s} << true << Numero(CodigoDeSalida::FallaDeLinea)
        << u"Com3"_s << false;
    QTest::newRow("documento que no existe")
        << QStringList{u"no-existe.txt"_s} << false << Numero(CodigoDeSalida::ArchivoIlegible)
        << u"no-existe.txt"_s << false;
    QTest::newRow("argumentos inválidos") << QStringList{u"horario.txt"_s, u"--velocidad"_s, u"4800"_s} << false
                                          << Numero(CodigoDeSalida::ArgumentosInvalidos) << u"«4800»"_s << false;
    QTest::newRow("documento sin destinos") << QStringList{u"vacio.txt"_s} << false
                                            << Numero(CodigoDeSalida::NadaQueEnviar) << u"no tiene destinos"_s << false;
    QTest::newRow("--longitud no envía") << QStringList{u"--longitud"_s, u"horario.txt"_s} << false
                                         << Numero(CodigoDeSalida::Exito) << QString() << false;
}

void PruebaCartelEnviar::nadaSaleSinEnviar()
{
    QFETCH(QStringList, argumentos);
    QFETCH(bool, puertoInservible);
    QFETCH(int, estado);
    QFETCH(QString, enElMensaje);
    QFETCH(bool, sinEntrada);

    Escenario escenario;
    QVERIFY(escenario.Valido());
    PseudoTerminal linea;
    QVERIFY2(linea.Valida(), qPrintable(linea.Error()));
    QVERIFY(linea.CrearEnlace(escenario.Carpeta(), Puerto));
    if (puertoInservible)
        QVERIFY(PseudoTerminal::CrearPuertoInservible(escenario.Carpeta(), 3));
    escenario.EscribirConfiguracion(QStringList{u"interfase com%1,9600,N,8,1"_s.arg(Puerto)} + Carteles);
    QVERIFY(!EscribirDocumento(escenario.Ruta(u"horario.txt"_s), Texto, u"Dirs:  Hall"_s));
    QVERIFY(!EscribirDocumento(escenario.Ruta(u"ajeno.txt"_s), Texto, u"Dirs:  Bar"_s));
    QVERIFY(!EscribirDocumento(escenario.Ruta(u"vacio.txt"_s), Texto, u"Dirs: "_s));
    const QByteArray configuracionAntes = escenario.LeerArchivo(u"carteles.ini"_s);

    const QByteArray entrada = argumentos.contains(u"-"_s) && !sinEntrada ? LeerBytes(escenario.Ruta(u"ajeno.txt"_s)) : QByteArray();
    const Corrida corrida = CorrerCartelEnviar(escenario.Carpeta(), argumentos, nullptr, nullptr, entrada, sinEntrada);
    QVERIFY2(corrida.estado == estado, qPrintable(u"%1\n%2"_s.arg(corrida.estado).arg(corrida.errores)));
    QVERIFY2(corrida.errores.contains(enElMensaje), qPrintable(corrida.errores));
    QTest::qWait(200);
    QCOMPARE(linea.Recibido(), QByteArray());
    QCOMPARE(escenario.LeerArchivo(u"carteles.ini"_s), configuracionAntes);
}

void PruebaCartelEnviar::direccionesConPuertoYVelocidadDeLaLinea()
{
    Escenario escenario;
    QVERIFY(escenario.Valido());
    PseudoTerminal linea;
    QVERIFY2(linea.Valida(), qPrintable(linea.Error()));
    QVERIFY(linea.CrearEnlace(escenario.Carpeta(), 5));
    // No carteles.ini: the program's factory values, port 2 at 2400, which
    // the command line overrides for this run only.
    qint32 velocidad = 0;
    const Corrida corrida = CorrerCartelEnviar(
        escenario.Carpeta(), {u"--direcciones"_s, u"--puerto=5"_s, u"--velocidad"_s, u"9600"_s}, &linea, &velocidad);
    QVERIFY2(corrida.estado == Numero(CodigoDeSalida::Exito), qPrintable(corrida.errores));
    QVERIFY(linea.EsperarBytes(1304, Plazo));
    QCOMPARE(linea.Recibido(), ArmarMensajeDeDirecciones());
    QCOMPARE(velocidad, 9600);
    QVERIFY(corrida.errores.contains(u"Trama 101 de 101: dirección 100, 14 bytes"_s));
    QVERIFY(!QFileInfo::exists(escenario.Ruta(u"carteles.ini"_s)));
}

void PruebaCartelEnviar::elCartelVirtualLeeCadaTrama()
{
    Escenario escenario;
    CartelEnProceso cartel;
    QVERIFY2(PonerCartel(escenario, cartel, 2400), qPrintable(cartel.Error()));

    const Corrida corrida = CorrerCartelEnviar(
        escenario.Carpeta(), {u"--texto"_s, u"Turno 42\nCaja 3"_s, u"--a"_s, u"Patio"_s, u"--a"_s, u"Andén 2"_s});
    QVERIFY2(corrida.estado == Numero(CodigoDeSalida::Exito), qPrintable(corrida.errores));
    QVERIFY(cartel.EsperarTramas(2, Plazo));
    QVERIFY2(cartel.Terminar(), qPrintable(cartel.Error()));

    const QList<QJsonObject> tramas = cartel.Tramas();
    QCOMPARE(tramas.size(), 2);
    QCOMPARE(tramas.at(0).value(u"destino"_s).toString(), u"todos"_s);
    QCOMPARE(tramas.at(1).value(u"destino"_s).toInt(), 12);
    for (const QJsonObject &trama : tramas)
        QCOMPARE(trama.value(u"texto"_s).toString(), u"Turno 42  Caja 3"_s);
    QVERIFY(cartel.Anomalias().isEmpty());
}

void PruebaCartelEnviar::porElProgramaQueTieneElPuerto()
{
    Escenario escenario;
    CartelEnProceso cartel;
    QVERIFY2(PonerCartel(escenario, cartel, 2400), qPrintable(cartel.Error()));
    Principal &principal = escenario.Iniciar(new PuertoSerieQt);
    EditorDeTexto &editor = escenario.NuevoTexto();
    editor.Texto().setPlainText(u"Abierto"_s);
    editor.EnviarAhora();
    QTRY_VERIFY_WITH_TIMEOUT(!principal.Linea().Emisor().Ocupado(), Plazo);
    QVERIFY(cartel.EsperarTramas(1, Plazo));
    const qsizetype propias = cartel.Tramas().size();
    // The program keeps the port after its send: opened here, it is in use.
    QVERIFY(principal.Puerto().Abierto());

    const Corrida corrida = CorrerCartelEnviar(escenario.Carpeta(), {u"--texto"_s, u"Turno 42"_s, u"--a"_s, u"Patio"_s});
    QVERIFY2(corrida.estado == Numero(CodigoDeSalida::Exito), qPrintable(corrida.errores));
    QVERIFY2(corrida.errores.contains(u"Listo: 1 de 1 tramas por Com4"_s), qPrintable(corrida.errores));
    QVERIFY(cartel.EsperarTramas(propias + 1, Plazo));
    QVERIFY2(cartel.Terminar(), qPrintable(cartel.Error()));
    const QJsonObject trama = cartel.Tramas().constLast();
    QCOMPARE(trama.value(u"destino"_s).toInt(), 12);
    QCOMPARE(trama.value(u"texto"_s).toString(), u"Turno 42"_s);
    QVERIFY(cartel.Anomalias().isEmpty());
    QVERIFY(CuadroDeMensaje::Mostrados().isEmpty());
    // The program logs what it sent for another process too.
    QVERIFY(escenario.LeerArchivo(u"envios.log"_s).contains("\tdirección 12\t(cartel-enviar)\t18\tenviado\n"));
}

// The README's own setup: a runner holds the folder's port; a second one
// is turned away, and the operator sends from the window all the same. The
// window hands its frames to the runner, which puts them on the line and logs
// them; the window says what it answered and never opens the port.
void PruebaCartelEnviar::laProgramacionCorreHastaSigterm()
{
    Escenario escenario;
    CartelEnProceso cartel;
    QVERIFY2(PonerCartel(escenario, cartel, 9600), qPrintable(cartel.Error()));
    QVERIFY(!EscribirDocumento(escenario.Ruta(u"base.txt"_s), u"Abierto"_s, u"Global"_s));
    EntradaDeProgramacion todoElDia;
    todoElDia.archivo = u"base.txt"_s;
    QVERIFY(!EscribirProgramacion(escenario.Ruta(u"programacion.json"_s), Programacion{{todoElDia}}));

    QProcess programacion;
    programacion.setWorkingDirectory(escenario.Carpeta().path());
    programacion.start(QString::fromUtf8(RUTA_CARTEL_ENVIAR), {u"--programacion"_s});
    QVERIFY(cartel.EsperarTramas(1, Plazo));
    // A second one in the same folder says who runs it and sends nothing.
    const Corrida segunda = CorrerCartelEnviar(escenario.Carpeta(), {u"--programacion"_s});
    QVERIFY2(segunda.estado == Numero(CodigoDeSalida::FallaDeLinea), qPrintable(segunda.errores));
    QVERIFY2(segunda.errores.contains(u"ya la ejecuta cartel-enviar (proceso %1"_s.arg(programacion.processId())),
             qPrintable(segunda.errores));

    Principal &principal = escenario.Iniciar(new PuertoSerieQt);
    EditorDeTexto &editor = escenario.NuevoTexto();
    editor.Texto().setPlainText(u"Cerrado"_s);
    editor.EnviarAhora();
    QVERIFY(cartel.EsperarTramas(2, Plazo));
    QTRY_VERIFY_WITH_TIMEOUT(principal.statusBar()->currentMessage()
                                 == u"Enviado por el programa que tiene el puerto: 1 de 1 tramas"_s, Plazo);
    QVERIFY(principal.dialogEnvio().isHidden());
    QVERIFY(!principal.Puerto().Abierto());
    QVERIFY(CuadroDeMensaje::Mostrados().isEmpty());

    programacion.terminate();
    QVERIFY(programacion.waitForFinished(Plazo));
    QCOMPARE(programacion.exitStatus(), QProcess::NormalExit);
    QCOMPARE(programacion.exitCode(), Numero(CodigoDeSalida::Exito));
    QVERIFY2(cartel.Terminar(), qPrintable(cartel.Error()));
    const QList<QJsonObject> tramas = cartel.Tramas();
    QCOMPARE(tramas.size(), 2);
    for (const QJsonObject &trama : tramas)
        QCOMPARE(trama.value(u"destino"_s).toString(), u"todos"_s);
    QCOMPARE(tramas.at(0).value(u"texto"_s).toString(), u"Abierto"_s);
    QCOMPARE(tramas.at(1).value(u"texto"_s).toString(), u"Cerrado"_s);
    QVERIFY(cartel.Anomalias().isEmpty());
    // The runner logs the window's send as the window names it.
    const QString errores = QString::fromUtf8(programacion.readAllStandardError());
    const QByteArray registro = escenario.LeerArchivo(u"envios.log"_s);
    for (const QString &linea : {u"\tGlobal\tbase.txt\t16\tenviado"_s, u"\tGlobal\t\t16\tenviado"_s}) {
        QVERIFY2(errores.contains(linea), qPrintable(errores));
        QVERIFY(registro.contains(QByteArray(linea.toUtf8() + '\n')));
    }
}

// The operator's ways with a serial device server, one run after another
// against one ser2net: the file's tcp line, --puerto over a Com line of the
// file, a port not understood (which must send on no line), and the server
// switched off.
void PruebaCartelEnviar::porUnServidorDeRed()
{
    Escenario escenario;
    QVERIFY(escenario.Valido());
    ServidorSer2net servidor;
    QVERIFY2(servidor.Iniciar(), qPrintable(servidor.Error()));
    const QString red = servidor.Direccion();
    const QString listo = u"Listo: 2 de 2 tramas por %1 (9600,N,8,1)."_s.arg(red.mid(4));
    const int exito = Numero(CodigoDeSalida::Exito);
    struct Caso
    {
        QString interfase;
        bool porArgumento;
        int estado;
        QString dicho;
    };
    const QList<Caso> casos{
        {red, false, exito, listo},
        {u"com%1"_s.arg(Puerto), true, exito, listo},
        {u"COM%1"_s.arg(Puerto), false, Numero(CodigoDeSalida::ArchivoIlegible), u"«COM%1»"_s.arg(Puerto)},
        // CorrerCartelEnviar gives up on a run longer than Plazo, 20 s.
        {red, false, Numero(CodigoDeSalida::FallaDeLinea),
         u"Se perdió la comunicación con el puerto %1: el servidor rechazó"_s.arg(red.mid(4))},
    };
    const QByteArray mensaje = CodificarTexto(u"Turno 42"_s);
    QByteArray esperado;
    for (const Caso &caso : casos) {
        if (caso.estado == Numero(CodigoDeSalida::FallaDeLinea))
            servidor.Detener();
        escenario.EscribirConfiguracion(QStringList{u"interfase %1,9600,N,8,1"_s.arg(caso.interfase)} + Carteles);
        QStringList argumentos{u"--texto"_s, u"Turno 42"_s, u"--a"_s, u"Patio"_s, u"--a"_s, u"Hall"_s};
        if (caso.porArgumento)
            argumentos << u"--puerto"_s << red;
        const Corrida corrida = CorrerCartelEnviar(escenario.Carpeta(), argumentos);
        const QByteArray dicho = (caso.interfase + u": "_s + corrida.errores).toUtf8();
        QVERIFY2(corrida.estado == caso.estado, dicho.constData());
        QVERIFY2(corrida.errores.contains(caso.dicho), dicho.constData());
        QVERIFY2(corrida.errores.contains(u"Listo"_s) == (caso.estado == exito), dicho.constData());
        if (caso.estado == exito)
            esperado += ArmarTrama(mensaje, 5) + ArmarTrama(mensaje, 12);
        QVERIFY(servidor.Linea().EsperarBytes(esperado.size(), Plazo));
        QCOMPARE(servidor.Linea().Recibido(), esperado);
    }
}

// ser2net serves one connection at a time: with the program holding it,
// cartel-enviar's frames reach the line only through the program.
void PruebaCartelEnviar::porElProgramaQueTieneLaLineaDeRed()
{
    Escenario escenario;
    QVERIFY(escenario.Valido());
    ServidorSer2net servidor;
    QVERIFY2(servidor.Iniciar(), qPrintable(servidor.Error()));
    escenario.EscribirConfiguracion(QStringList{u"interfase %1,9600,N,8,1"_s.arg(servidor.Direccion())} + Carteles);
    Principal &principal = escenario.Iniciar(new PuertoDeLinea);
    escenario.NuevoTexto(u"Abierto"_s).EnviarAhora();
    QTRY_VERIFY_WITH_TIMEOUT(!principal.Linea().Emisor().Ocupado(), Plazo);
    QVERIFY(principal.Puerto().Abierto());

    const Corrida corrida = CorrerCartelEnviar(escenario.Carpeta(), {u"--texto"_s, u"Turno 42"_s, u"--a"_s, u"Patio"_s});
    QVERIFY2(corrida.estado == Numero(CodigoDeSalida::Exito), qPrintable(corrida.errores));
    QVERIFY2(corrida.errores.contains(u"Listo: 1 de 1 tramas por %1"_s.arg(servidor.Direccion().mid(4))),
             qPrintable(corrida.errores));
    const QByteArray esperado =
        ArmarTrama(CodificarTexto(u"Abierto"_s), 0) + ArmarTrama(CodificarTexto(u"Turno 42"_s), 12);
    QVERIFY(servidor.Linea().EsperarBytes(esperado.size(), Plazo));
    QCOMPARE(servidor.Linea().Recibido(), esperado);
    QVERIFY(CuadroDeMensaje::Mostrados().isEmpty());
}

QTEST_MAIN(PruebaCartelEnviar)
#include "prueba_cartel_enviar.moc"
