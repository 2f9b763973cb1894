#include "documents/documento.h"
#include "apoyo/contadordepintadas.h"
#include "apoyo/puertofalso.h"
#include "controles.h"
#include "escenario.h"
#include "platform/cuadrodemensaje.h"
#include "platform/dialogodearchivo.h"
#include "schedule/ejecutordeprogramacion.h"
#include "ui/configred.h"
#include "ui/dialogodeenvio.h"
#include "ui/editordetexto.h"
#include "ui/principal.h"
#include "ui/traducciones.h"

#include <QAbstractButton>
#include <QAction>
#include <QLockFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

class PruebaPrincipal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every test ends with its whole program gone: no window left behind.
    void cleanup() { QVERIFY(NingunaVentanaAbierta()); }
    void arranqueSinConfiguracion();
    void arranqueConConfiguracion();
    void restoDelArranqueTrasElPrimerDibujo_data();
    void restoDelArranqueTrasElPrimerDibujo();
    void avisaQueNoPuedeAtenderACartelEnviar();
    void menuPrincipal_data();
    void menuPrincipal();
    void barraDeMenusSigueAlEditorActivo();
    void accionesObranSobreElTextoActivo();
    void nombresDeTextosSinTitulo();
    void abrirUnTextoYaMostrado();
    void abrirArchivoIlegibleNoOcupaVentana();
    void guardarComoSobreUnTextoAbierto();
    void avisosAlAbrir_data();
    void avisosAlAbrir();
    void abrirDesdeElDialogo();
    void lineaMasLargaQueUnEnvioSoloParaLeer_data();
    void lineaMasLargaQueUnEnvioSoloParaLeer();
    void cerrarPreguntaYGuarda_data();
    void cerrarPreguntaYGuarda();
    void cajaDeCierreCierraElTexto();
    void salirPreguntaPorCadaTextoModificado();
    void salirSeSuspendeSiNoSeGuardo();
    void terminarSueltaLaProgramacionAntesDePreguntar();
    void destruidaConTextosAbiertos();
    void arreglarVentanas();
    void configuracionIlegibleUsaLosValoresDeFabrica();
    void avisoDeDirecciones_data();
    void avisoDeDirecciones();
    void botonesEstandarEnCastellano();
    void lineaDeEstado_data();
    void lineaDeEstado();
    void lineaDeEstadoDuranteUnEnvio();
    void lineaDeEstadoAlAbrir();
};

void PruebaPrincipal::arranqueSinConfiguracion()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();

    QCOMPARE(principal.windowTitle(), u"BREVALUX - Edición y envío de mensajes"_s);
    QCOMPARE(principal.configRed().Registro().size(), 1);
    QCOMPARE(principal.configRed().Registro().at(0), u"R560, Un Cartel, Desconocida"_s);
    QCOMPARE(principal.Puerto().Numero(), 2);
    QCOMPARE(principal.Puerto().Ajustes(), u"2400,N,8,1"_s);
    QVERIFY(!QFile::exists(escenario.Ruta(u"carteles.ini"_s)));
    QVERIFY(principal.Editores().isEmpty());
    QVERIFY(principal.configRed().isHidden());
    QVERIFY(principal.dialogEnvio().isHidden());
    QVERIFY(!escenario.puerto().Abierto());
}

void PruebaPrincipal::arranqueConConfiguracion()
{
    Escenario escenario;
    escenario.EscribirConfiguracion({u"interfase com4,9600,N,8,1"_s, u"cartel R560, A, 1"_s,
                                     u"cartel R560, B, 2"_s});
    Principal &principal = escenario.Iniciar();

    QCOMPARE(principal.Puerto().Numero(), 4);
    QCOMPARE(principal.Puerto().Ajustes(), u"9600,N,8,1"_s);
    QCOMPARE(principal.configRed().Registro().size(), 2);
    // The first text finds the registry's signs in its destination menu.
    escenario.NuevoTexto();
    QVERIFY(principal.DestinosVisibles());
    QCOMPARE(principal.TitulosDeDestino(), QStringList({u" A"_s, u" B"_s}));
}

void PruebaPrincipal::restoDelArranqueTrasElPrimerDibujo_data()
{
    QTest::addColumn<bool>("mostrada");
    QTest::newRow("mostrada") << true;
    // A window nobody shows still gets the rest, with the event loop.
    QTest::newRow("sin mostrar") << false;
}

void PruebaPrincipal::restoDelArranqueTrasElPrimerDibujo()
{
    QFETCH(bool, mostrada);
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    ContadorDePintadas contador;
    principal.installEventFilter(&contador);
    QSignalSpy arrancado(&principal, &Principal::Arrancado);
    int dibujosAlArrancar = -1;
    connect(&principal, &Principal::Arrancado, this, [&] { dibujosAlArrancar = contador.pintadas; });
    // Nothing of the rest is there before it: the destination menu's item
    // for the one sign.
    QVERIFY(!principal.Accion(u"mnuPropDestino0"_s));

    if (mostrada) {
        principal.show();
        QVERIFY(QTest::qWaitForWindowExposed(&principal));
    }
    QTRY_COMPARE(arrancado.count(), 1);
    QCOMPARE(dibujosAlArrancar > 0, mostrada);
    QVERIFY(principal.Accion(u"mnuPropDestino0"_s));
    // No text is open at start.
    QCOMPARE(principal.findChildren<EditorDeTexto *>().size(), 0);
    QTest::qWait(50);
    QCOMPARE(arrancado.count(), 1);
    principal.removeEventFilter(&contador);
}

void PruebaPrincipal::avisaQueNoPuedeAtenderACartelEnviar()
{
    // Another user took the name of this user's folder for sockets first.
    QTemporaryDir temporal;
    const QString tomada = temporal.filePath(u"brevalux-%1"_s.arg(::geteuid()));
    QVERIFY(QFile(tomada).open(QIODevice::WriteOnly));
    const QByteArray sesion = qgetenv("XDG_RUNTIME_DIR"), anterior = qgetenv("TMPDIR"); // null: unset
    const auto poner = [](const char *nombre, const QByteArray &valor) { valor.isNull() ? qunsetenv(nombre) : qputenv(nombre, valor); };
    const auto restaurar = qScopeGuard([&] { poner("XDG_RUNTIME_DIR", sesion), poner("TMPDIR", anterior); });
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(temporal.path()));

    Escenario escenario;
    QSignalSpy arrancado(&escenario.Iniciar(), &Principal::Arrancado);
    QTRY_COMPARE(arrancado.count(), 1);
    QCOMPARE(CuadroDeMensaje::Mostrados().size(), 1);
    QVERIFY(CuadroDeMensaje::Mostrados().first().texto.contains(tomada));
}

void PruebaPrincipal::menuPrincipal_data()
{
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QString>("titulo");
    QTest::addColumn<bool>("habilitado");
    QTest::addColumn<bool>("visible");

    auto fila = [](const char *nombre, const char *titulo, bool habilitado, bool visible) {
        QTest::newRow(nombre) << QString::fromLatin1(nombre) << QString::fromUtf8(titulo) << habilitado << visible;
    };
    fila("mnuNuevoTexto", "Crear Un &Nuevo Texto", true, true);
    fila("mnuCargarTexto", "&Abrir Un Texto", true, true);
    fila("mnuCerrar", "&Cerrar", false, true);
    fila("mnuGuardar", "&Guardar", false, true);
    fila("mnuGuardarComo", "Guardar &Como", false, true);
    fila("mnuEnviar", "&Enviar", false, true);
    fila("mnuSalir", "&Salir", true, true);
    fila("mnuCortar", "&Cortar", false, true);
    fila("mnuCopiar", "C&opiar", false, true);
    fila("mnuPegar", "&Pegar", false, true);
    fila("mnuPropDestinos", "D&estinos", false, false);
    fila("mnuConsultarLongi", "&Consultar Longitud", false, true);
    fila("mnuVerDirs", "&Ver Las Direcciones En Los Carteles", true, true);
    fila("mnuMandarClipb", "&Mandar El Clipboard", false, false);
    fila("mnuVistaPrevia", "Vista &Previa", true, true);
    fila("mnuProgramacion", "Pro&gramación de Envíos...", true, true);
    fila("mnuConfigInterfase", "&Interfase Serie", true, true);
    fila("mnuConfigRed", "&Carteles Conectados", true, true);
    fila("mnuArrVert", "Arreglar &Verticalmente", true, true);
    fila("mnuArrHoriz", "Arreglar &Horizontalmente", true, true);
}

void PruebaPrincipal::menuPrincipal()
{
    QFETCH(QString, nombre);
    QFETCH(QString, titulo);
    QFETCH(bool, habilitado);
    QFETCH(bool, visible);

    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    QAction *accion = nullptr;
    for (QAction *menu : principal.menuBar()->actions()) {
        for (QAction *item : menu->menu()->actions()) {
            if (item->objectName() == nombre)
                accion = item;
        }
    }
    QVERIFY2(accion, qPrintable(nombre));
    QCOMPARE(accion->text(), titulo);
    QCOMPARE(accion->isEnabled(), habilitado);
    QCOMPARE(accion->isVisible(), visible);
    QVERIFY(accion->shortcut().isEmpty());
}

namespace {
QStringList TitulosDeLaBarra(const Principal &principal)
{
    QStringList titulos;
    for (const QAction *menu : principal.menuBar()->actions())
        titulos.append(menu->text());
    return titulos;
}

const QStringList TitulosDeMenus = {u"&Archivo"_s,   u"&Editar"_s,
                                    u"&Herramientas"_s, u"&Configuración"_s,
                                    u"&Ventana"_s,   u"&Ayuda"_s};
} // namespace

// One set of items: without a text's window its commands are disabled and
// "Enviar" is an item (what they are with one is prueba_editor's table).
void PruebaPrincipal::barraDeMenusSigueAlEditorActivo()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    QCOMPARE(TitulosDeLaBarra(principal), TitulosDeMenus);
    const QList<QAction *> barra = principal.menuBar()->actions();
    QAction *enviar = principal.Accion(u"mnuEnviar"_s);
    QVERIFY(!enviar->menu());

    EditorDeTexto &editor = escenario.NuevoTexto();
    QCOMPARE(principal.menuBar()->actions(), barra);
    editor.Cerrar();
    QCOMPARE(principal.menuBar()->actions(), barra);
    QVERIFY(!principal.Accion(u"mnuGuardar"_s)->isEnabled());
    QVERIFY(!enviar->isEnabled());
    QVERIFY(!enviar->menu());
    QCOMPARE(principal.Accion(u"mnuPropDestinos"_s)->text(), u"D&estinos"_s);
}

// The text commands act on the active window, and closing it hands the
// menus to the text used before it.
void PruebaPrincipal::accionesObranSobreElTextoActivo()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    EditorDeTexto &uno = escenario.NuevoTexto(u"uno"_s);
    EditorDeTexto &dos = escenario.NuevoTexto(u"dos"_s);
    principal.ActivarEditor(&uno);

    DialogoDeArchivo::ResponderCon({escenario.Ruta(u"uno.txt"_s)});
    principal.Accion(u"mnuGuardar"_s)->trigger();
    QCOMPARE(escenario.LeerArchivo(u"uno.txt"_s), QByteArray("PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\nuno\r\n"));
    QVERIFY(dos.documento().Modificado());

    principal.Accion(u"mnuCerrar"_s)->trigger();
    QVERIFY(CuadroDeMensaje::Mostrados().isEmpty());
    QCOMPARE(principal.Editores(), QList<EditorDeTexto *>{&dos});
    QCOMPARE(principal.EditorActivo(), &dos);
    QVERIFY(principal.Accion(u"mnuGuardar"_s)->isEnabled());
}

// The number of an untitled text is the lowest no open text holds, a named
// one's included.
void PruebaPrincipal::nombresDeTextosSinTitulo()
{
    Escenario escenario;
    escenario.EscribirConfiguracion({u"cartel R560, A, 1"_s, u"cartel R560, B, 2"_s});
    Principal &principal = escenario.Iniciar();

    EditorDeTexto &primero = escenario.NuevoTexto();
    QCOMPARE(primero.Caption(), u"Texto sin título: 1"_s);
    QVERIFY(!primero.documento().Nombrado());
    QVERIFY(!primero.documento().Modificado());
    primero.Cerrar();
    QVERIFY(principal.Editores().isEmpty());

    QCOMPARE(escenario.NuevoTexto().Caption(), u"Texto sin título: 1"_s);
    EditorDeTexto &segundo = escenario.NuevoTexto();
    QCOMPARE(segundo.Caption(), u"Texto sin título: 2"_s);
    const QString ruta = escenario.EscribirArchivo(u"tres.txt"_s, "tres");
    principal.AbrirTexto(ruta);
    QCOMPARE(escenario.NuevoTexto().Caption(), u"Texto sin título: 4"_s);
    segundo.Cerrar();
    QCOMPARE(escenario.NuevoTexto().Caption(), u"Texto sin título: 2"_s);
    QCOMPARE(principal.Editores().size(), 4);

    // A window made later finds its destination menu in place.
    QCOMPARE(principal.TitulosDeDestino(), QStringList({u" A"_s, u" B"_s}));
}

void PruebaPrincipal::abrirUnTextoYaMostrado()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    const QString ruta = escenario.EscribirArchivo(u"aviso.txt"_s, "PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\nHola\r\nMundo\r\n");
    QVERIFY(!ruta.isEmpty());

    principal.AbrirTexto(ruta);
    EditorDeTexto &editor = *principal.EditorActivo();
    QCOMPARE(editor.Caption(), ruta);
    QVERIFY(editor.documento().Nombrado());
    QVERIFY(!editor.documento().Modificado());
    QCOMPARE(editor.documento().Texto(), u"Hola\r\nMundo"_s);

    // Already shown: focused, not read again, no second window.
    editor.Texto().setPlainText(u"cambiado"_s);
    principal.AbrirTexto(ruta);
    QCOMPARE(principal.Editores().size(), 1);
    QCOMPARE(editor.documento().Texto(), u"cambiado"_s);
    // Nor under another name (when two names are one file is
    // prueba_firmadearchivo's table).
    QVERIFY(QFile::link(ruta, escenario.Ruta(u"enlace.txt"_s)));
    principal.AbrirTexto(escenario.Ruta(u"enlace.txt"_s));
    QCOMPARE(principal.Editores().size(), 1);

    // A closed one does not count: the file is read again.
    editor.documento().PonerModificado(false);
    editor.Cerrar();
    principal.AbrirTexto(ruta);
    QCOMPARE(principal.Editores().size(), 1);
    QCOMPARE(principal.EditorActivo()->documento().Texto(), u"Hola\r\nMundo"_s);
}

void PruebaPrincipal::abrirArchivoIlegibleNoOcupaVentana()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    const QString ruta = escenario.Ruta(u"no-existe.txt"_s);

    principal.AbrirTexto(ruta);

    QVERIFY(principal.Editores().isEmpty());
    const auto mostrados = CuadroDeMensaje::Mostrados();
    QCOMPARE(mostrados.size(), 1);
    QCOMPARE(mostrados.constFirst().icono, QMessageBox::Warning);
    QVERIFY(mostrados.constFirst().texto.contains(u"no-existe.txt"_s));
}

// Guardar Como onto a file another window shows asks first, and the default
// keeps the file (the older window's next Guardar then asks, as after any
// change on disk: prueba_editor).
void PruebaPrincipal::guardarComoSobreUnTextoAbierto()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    const QByteArray viejo = "PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\nviejo\r\n";
    const QString ruta = escenario.EscribirArchivo(u"a.txt"_s, viejo);
    principal.AbrirTexto(ruta);
    EditorDeTexto &nuevo = escenario.NuevoTexto(u"nuevo"_s);
    for (const bool escribe : {false, true}) {
        CuadroDeMensaje::OlvidarMostrados();
        CuadroDeMensaje::ResponderCon(escribe ? QList{QMessageBox::Yes} : QList<QMessageBox::StandardButton>());
        DialogoDeArchivo::ResponderCon({ruta});
        QCOMPARE(nuevo.GuardarComo(), escribe);
        QVERIFY(CuadroDeMensaje::Mostrados().constFirst().texto.contains(u"abierto en otra ventana"_s));
        QCOMPARE(escenario.LeerArchivo(u"a.txt"_s), escribe ? QByteArray("PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\nnuevo\r\n") : viejo);
    }
}

// With the factory registry, one sign: "Un Cartel".
void PruebaPrincipal::avisosAlAbrir_data()
{
    QTest::addColumn<QByteArray>("contenido");
    QTest::addColumn<QString>("aviso"); // empty: none
    QTest::addColumn<bool>("nombraElArchivo");

    QTest::newRow("sin TEXTO") << QByteArray("PROPIEDADES:\r\nGlobal\r\nHola\r\n\r\nChau\r\n")
                               << u"las 3 líneas que la siguen"_s << true;
    QTest::newRow("solo PROPIEDADES") << QByteArray("PROPIEDADES:\r\n") << QString() << false;
    QTest::newRow("completo") << QByteArray("PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\nHola\r\n") << QString() << false;
    QTest::newRow("sin marcas") << QByteArray("Hola\r\nChau\r\n") << QString() << false;
    QTest::newRow("para el único cartel") << QByteArray("PROPIEDADES:\r\nDirs:  Un Cartel\r\nTEXTO:\r\nHola\r\n")
                                          << QString() << false;
    // One sign is every sign, but not for a text meant for another.
    QTest::newRow("para otro que el único cartel")
        << QByteArray("PROPIEDADES:\r\nDirs:  Caja\r\nTEXTO:\r\nHola\r\n")
        << u"Los carteles «Caja» de este texto no están en Carteles Conectados"_s << false;
    QTest::newRow("DIRS: en mayúsculas") << QByteArray("PROPIEDADES:\r\nDIRS:  Entrada\r\nTEXTO:\r\nHola\r\n")
                                         << u"La línea de destinos «DIRS:  Entrada»"_s << false;
}

void PruebaPrincipal::avisosAlAbrir()
{
    QFETCH(QByteArray, contenido);
    QFETCH(QString, aviso);
    QFETCH(bool, nombraElArchivo);

    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    const QString ruta = escenario.EscribirArchivo(u"raro.txt"_s, contenido);
    QVERIFY(!ruta.isEmpty());

    principal.AbrirTexto(ruta);
    // Opened as it reads, warned or not.
    QVERIFY(principal.EditorActivo());
    QVERIFY(!principal.EditorActivo()->documento().Modificado());
    const auto mostrados = CuadroDeMensaje::Mostrados();
    if (aviso.isEmpty()) {
        QVERIFY(mostrados.isEmpty());
        return;
    }
    QCOMPARE(mostrados.size(), 1);
    QVERIFY2(mostrados.constFirst().texto.contains(aviso), qPrintable(mostrados.constFirst().texto));
    QCOMPARE(mostrados.constFirst().texto.contains(u"raro.txt"_s), nombraElArchivo);
}

void PruebaPrincipal::abrirDesdeElDialogo()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    const QString ruta = escenario.EscribirArchivo(u"plano.txt"_s, "sin marcas");
    QVERIFY(!ruta.isEmpty());

    DialogoDeArchivo::ResponderCon({QString(), ruta});
    principal.CargarTexto(); // cancelled
    QVERIFY(principal.Editores().isEmpty());
    principal.CargarTexto();
    QCOMPARE(principal.Editores().size(), 1);
    QCOMPARE(principal.EditorActivo()->documento().Texto(), u"sin marcas"_s);

    const auto pedido = DialogoDeArchivo::Pedidos().constLast();
    QCOMPARE(pedido.titulo, u"Abrir Un Texto"_s);
    QCOMPARE(pedido.filtros.value(pedido.filtroElegido), u"Archivos de texto (*.txt)"_s);
}

void PruebaPrincipal::cerrarPreguntaYGuarda_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("respuesta");
    QTest::addColumn<QString>("rutaElegida"); // empty: the save dialog is cancelled
    QTest::addColumn<bool>("cierra");
    QTest::addColumn<bool>("guardado");

    QTest::newRow("no") << QMessageBox::No << QString() << true << false;
    QTest::newRow("sí y guarda") << QMessageBox::Yes << u"nuevo.txt"_s << true << true;
    QTest::newRow("sí pero cancela el diálogo") << QMessageBox::Yes << QString() << false << false;
    QTest::newRow("sí pero no se puede escribir") << QMessageBox::Yes << u"falta/nuevo.txt"_s << false
                                                  << false;
}

void PruebaPrincipal::cerrarPreguntaYGuarda()
{
    QFETCH(QMessageBox::StandardButton, respuesta);
    QFETCH(QString, rutaElegida);
    QFETCH(bool, cierra);
    QFETCH(bool, guardado);

    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    EditorDeTexto &editor = escenario.NuevoTexto();
    QPointer<EditorDeTexto> vivo(&editor);
    editor.Texto().setPlainText(u"texto nuevo"_s);
    QVERIFY(editor.documento().Modificado());

    CuadroDeMensaje::ResponderCon({respuesta});
    DialogoDeArchivo::ResponderCon({rutaElegida.isEmpty() ? QString() : escenario.Ruta(rutaElegida)});
    QCOMPARE(editor.Cerrar(), cierra);

    const auto pregunta = CuadroDeMensaje::Mostrados().constFirst();
    QCOMPARE(pregunta.titulo, u"Guardar Cambios"_s);
    QCOMPARE(pregunta.texto, u"¿Desea guardar los cambios en Texto sin título: 1 antes de salir?"_s);
    QCOMPARE(pregunta.botones, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(pregunta.icono, QMessageBox::NoIcon);

    QCOMPARE(principal.Editores().size(), cierra ? 0 : 1);
    QCOMPARE(QFile::exists(escenario.Ruta(u"nuevo.txt"_s)), guardado);
    if (!cierra) {
        QCOMPARE(editor.documento().Texto(), u"texto nuevo"_s);
        QVERIFY(editor.documento().Modificado());
        QCOMPARE(editor.Caption(), u"Texto sin título: 1"_s);
        QVERIFY(!editor.documento().Nombrado());
    }
    QTRY_COMPARE(vivo.isNull(), cierra);
}

// The window's own close box closes the text as "Cerrar" does.
void PruebaPrincipal::cajaDeCierreCierraElTexto()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    EditorDeTexto &editor = escenario.NuevoTexto();
    QPointer<EditorDeTexto> vivo(&editor);
    editor.Texto().setPlainText(u"algo"_s);

    CuadroDeMensaje::ResponderCon({QMessageBox::No});
    QVERIFY(editor.Subventana()->close());
    QCOMPARE(CuadroDeMensaje::Mostrados().size(), 1);
    QVERIFY(principal.Editores().isEmpty());
    QTRY_VERIFY(vivo.isNull());
    QCOMPARE(escenario.NuevoTexto().Caption(), u"Texto sin título: 1"_s);
}

void PruebaPrincipal::salirPreguntaPorCadaTextoModificado()
{
    Escenario escenario;
    escenario.EscribirConfiguracion({u"interfase com1,9600,N,8,1"_s});
    const QByteArray configuracion = escenario.LeerArchivo(u"carteles.ini"_s);
    Principal &principal = escenario.Iniciar();
    escenario.NuevoTexto().Texto().setPlainText(u"uno"_s);
    escenario.NuevoTexto().Texto().setPlainText(u"dos"_s);
    escenario.NuevoTexto(); // unmodified: no question

    CuadroDeMensaje::ResponderCon({QMessageBox::No, QMessageBox::No});
    principal.Accion(u"mnuSalir"_s)->trigger();

    QCOMPARE(CuadroDeMensaje::Mostrados().size(), 2);
    QVERIFY(!principal.isVisible());
    QVERIFY(principal.Editores().isEmpty());
    QCOMPARE(escenario.LeerArchivo(u"carteles.ini"_s), configuracion);
}

void PruebaPrincipal::salirSeSuspendeSiNoSeGuardo()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    principal.show();
    EditorDeTexto &editor = escenario.NuevoTexto(u"no lo pierdas"_s);

    CuadroDeMensaje::ResponderCon({QMessageBox::Yes});
    DialogoDeArchivo::ResponderCon({QString()});
    principal.Salir();

    QVERIFY(principal.isVisible());
    QCOMPARE(principal.Editores(), QList<EditorDeTexto *>{&editor});
    QCOMPARE(editor.documento().Texto(), u"no lo pierdas"_s);
    principal.hide();
}

// A logout or `systemctl stop`: the timetable's lock is free while the
// question about the unsaved text waits, and taken again if the operator
// stays.
void PruebaPrincipal::terminarSueltaLaProgramacionAntesDePreguntar()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    principal.show();
    EjecutorDeProgramacion &ejecutor = principal.Ejecutor();
    QLockFile otro(escenario.Ruta(u"programacion.json.lock"_s));
    QVERIFY(!otro.tryLock(0));
    EditorDeTexto &editor = escenario.NuevoTexto(u"no lo pierdas"_s);

    bool libreAntesDePreguntar = false;
    const auto conexion = connect(&ejecutor, &EjecutorDeProgramacion::Cambiado, this, [&] {
        if (CuadroDeMensaje::Mostrados().isEmpty() && otro.tryLock(0)) {
            libreAntesDePreguntar = true;
            otro.unlock();
        }
    });
    CuadroDeMensaje::ResponderCon({QMessageBox::Yes});
    DialogoDeArchivo::ResponderCon({QString()});
    principal.Terminar();
    disconnect(conexion);

    QVERIFY(libreAntesDePreguntar);
    QCOMPARE(CuadroDeMensaje::Mostrados().size(), 1);
    QVERIFY(principal.isVisible());
    QCOMPARE(editor.documento().Texto(), u"no lo pierdas"_s);
    QVERIFY(!otro.tryLock(0));
    QVERIFY(!ejecutor.Resumen().contains(u"detenida"_s));

    CuadroDeMensaje::ResponderCon({QMessageBox::No});
    principal.Terminar();
    QVERIFY(!principal.isVisible());
    QVERIFY(otro.tryLock(0));
}

// As the program ends: the main window goes, shown, with its texts still
// open; the last of them maximized, as the operator may leave it.
void PruebaPrincipal::destruidaConTextosAbiertos()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    principal.show();
    QVERIFY(QTest::qWaitForWindowExposed(&principal));
    escenario.NuevoTexto();
    escenario.NuevoTexto().Subventana()->showMaximized();
    QCOMPARE(principal.Editores().size(), 2);
}

void PruebaPrincipal::arreglarVentanas()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    principal.resize(1200, 900);
    principal.show();
    EditorDeTexto &a = escenario.NuevoTexto();
    EditorDeTexto &b = escenario.NuevoTexto();

    principal.Accion(u"mnuArrVert"_s)->trigger();
    QCOMPARE(a.Subventana()->geometry().top(), b.Subventana()->geometry().top());
    QVERIFY(a.Subventana()->geometry().right() < b.Subventana()->geometry().left());

    principal.Accion(u"mnuArrHoriz"_s)->trigger();
    QCOMPARE(a.Subventana()->geometry().left(), b.Subventana()->geometry().left());
    QVERIFY(a.Subventana()->geometry().bottom() < b.Subventana()->geometry().top());

    // A minimized window stays minimized; the others share the whole area.
    EditorDeTexto &c = escenario.NuevoTexto();
    c.Subventana()->showMinimized();
    principal.ActivarEditor(&b);
    principal.Accion(u"mnuArrVert"_s)->trigger();
    QVERIFY(c.Subventana()->isMinimized());
    const int ancho = principal.findChild<QMdiArea *>()->viewport()->width();
    QCOMPARE(a.Subventana()->geometry().width(), ancho / 2);
    QCOMPARE(b.Subventana()->geometry().left(), ancho / 2);
    principal.Accion(u"mnuArrHoriz"_s)->trigger();
    QVERIFY(c.Subventana()->isMinimized());
    principal.hide();
}

void PruebaPrincipal::configuracionIlegibleUsaLosValoresDeFabrica()
{
    Escenario escenario;
    // A folder where the file should be: it exists and cannot be read.
    QVERIFY(escenario.Carpeta().mkdir(u"carteles.ini"_s));
    Principal &principal = escenario.Iniciar();

    const auto mostrados = CuadroDeMensaje::Mostrados();
    QCOMPARE(mostrados.size(), 1);
    QVERIFY(mostrados.constFirst().texto.contains(u"Se usan los valores de fábrica."_s));
    QCOMPARE(principal.Puerto().Numero(), 2);
    QCOMPARE(principal.Puerto().Ajustes(), u"2400,N,8,1"_s);
    QCOMPARE(principal.configRed().Registro(), QStringList{u"R560, Un Cartel, Desconocida"_s});
}

void PruebaPrincipal::avisoDeDirecciones_data()
{
    QTest::addColumn<QStringList>("carteles");
    QTest::addColumn<QString>("aviso");

    const QString muchos = u"Esta operación vaciará la memoria de los carteles."_s;
    QTest::newRow("ninguno") << QStringList() << muchos;
    QTest::newRow("uno") << QStringList({u"cartel R560, A, 1"_s})
                         << u"Esta operación vaciará la memoria del cartel."_s;
    QTest::newRow("dos") << QStringList({u"cartel R560, A, 1"_s, u"cartel R560, B, 2"_s})
                         << muchos;
}

void PruebaPrincipal::avisoDeDirecciones()
{
    QFETCH(QStringList, carteles);
    QFETCH(QString, aviso);

    Escenario escenario;
    escenario.EscribirConfiguracion(QStringList({u"interfase com1,9600,N,8,1"_s}) + carteles);
    Principal &principal = escenario.Iniciar();

    CuadroDeMensaje::ResponderCon({QMessageBox::Cancel, QMessageBox::Ok});
    principal.VerDirecciones();
    const auto caja = CuadroDeMensaje::Mostrados().constFirst();
    QCOMPARE(caja.texto, aviso + u"\r\n¿Realmente desea continuar?"_s);
    QCOMPARE(caja.titulo, u"Mostrar las Direcciones"_s);
    QCOMPARE(caja.botones, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(caja.icono, QMessageBox::NoIcon);
    QVERIFY(escenario.puerto().Escrito().isEmpty());
    QVERIFY(principal.dialogEnvio().isHidden());

    // With a text active the item is the same command.
    escenario.NuevoTexto();
    principal.Accion(u"mnuVerDirs"_s)->trigger();
    QTRY_COMPARE(escenario.puerto().Escrito().size(), 1304);
}

void PruebaPrincipal::botonesEstandarEnCastellano()
{
    QObject duenio;
    QVERIFY(InstalarTraduccionesDeQt(duenio));
    QMessageBox caja(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(caja.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), u"Sí"_s);
    QCOMPARE(caja.button(QMessageBox::Cancel)->text().remove(QLatin1Char('&')), u"Cancelar"_s);
}

void PruebaPrincipal::lineaDeEstado_data()
{
    QTest::addColumn<QString>("texto");     // empty: no text open
    QTest::addColumn<QList<int>>("marcar"); // destination items clicked
    QTest::addColumn<QString>("estado");

    const QString puerto = u"Com3, 9600 b.p.s."_s;
    QTest::newRow("sin textos") << QString() << QList<int>{} << puerto;
    QTest::newRow("global") << u"HOLA[titila]"_s << QList<int>{}
                            << u"Longitud: 5 bytes   Destinos: Global | "_s + puerto;
    QTest::newRow("dos carteles") << u"A\nB"_s << QList<int>{0, 2}
                                  << u"Longitud: 4 bytes   Destinos: Sala, Hall | "_s + puerto;
    QTest::newRow("marcar y desmarcar") << u"x"_s << QList<int>{1, 1}
                                        << u"Longitud: 1 bytes   Destinos: Global | "_s + puerto;
    QTest::newRow("demasiado largo") << QString(32767, QLatin1Char('a')) << QList<int>{}
                                     << u"Demasiado largo: 32767 caracteres, el máximo es 32766   "
                                                       "Destinos: Global | "_s + puerto;
}

void PruebaPrincipal::lineaDeEstado()
{
    QFETCH(QString, texto);
    QFETCH(QList<int>, marcar);
    QFETCH(QString, estado);

    Escenario escenario;
    escenario.EscribirConfiguracion({u"interfase com3,9600,N,8,1"_s, u"cartel R560, Sala, 5"_s,
                                     u"cartel R560, Patio, Desconocida"_s,
                                     u"cartel R560, Hall, 12"_s});
    Principal &principal = escenario.Iniciar();
    if (!texto.isEmpty()) {
        EditorDeTexto &editor = escenario.NuevoTexto(texto);
        for (int item : marcar)
            editor.CambiarDestino(item);
    }
    // The line follows the keys once they stop coming.
    QTRY_COMPARE(principal.TextoDeEstado(), estado);
}

// An opened document's figures show at once, before any key is pressed.
void PruebaPrincipal::lineaDeEstadoAlAbrir()
{
    Escenario escenario;
    escenario.EscribirConfiguracion({u"interfase com2,9600,N,8,1"_s, u"cartel R560, Sala, 5"_s,
                                     u"cartel R560, Caja, 12"_s});
    Principal &principal = escenario.Iniciar();
    const QString ruta = escenario.EscribirArchivo(u"aviso.txt"_s, "PROPIEDADES:\r\nDirs:  Caja\r\nTEXTO:\r\n[sube]HOLA\r\n");
    QVERIFY(!ruta.isEmpty());
    principal.AbrirTexto(ruta);
    QCOMPARE(principal.TextoDeEstado(),
             u"Longitud: 5 bytes   Destinos: Caja | Com2, 9600 b.p.s."_s);
}

void PruebaPrincipal::lineaDeEstadoDuranteUnEnvio()
{
    Escenario escenario;
    escenario.EscribirConfiguracion({u"interfase com1,2400,N,8,1"_s, u"cartel R560, Sala, 5"_s,
                                     u"cartel R560, Hall, 12"_s});
    Principal &principal = escenario.Iniciar();
    escenario.puerto().PonerVaciadoManual(true);
    EditorDeTexto &editor = escenario.NuevoTexto(QString(300, QLatin1Char('x')));
    editor.CambiarDestino(0);
    editor.CambiarDestino(1);
    const QString resto = u"Longitud: 300 bytes   Destinos: Sala, Hall | "_s;
    editor.EnviarAhora();
    QTRY_COMPARE(principal.TextoDeEstado(), resto + u"Enviando trama 1 de 2 | Com1, 2400 b.p.s."_s);
    // The first frame leaves the line; the second is written after its pause.
    while (!escenario.puerto().Escrito().contains(QByteArray("\xCA\x0C"))) {
        escenario.puerto().VaciarTodo();
        QTest::qWait(1);
    }
    QTRY_COMPARE(principal.TextoDeEstado(), resto + u"Enviando trama 2 de 2 | Com1, 2400 b.p.s."_s);
    escenario.puerto().PonerVaciadoManual(false);
    escenario.puerto().VaciarTodo();
    QTRY_COMPARE(principal.TextoDeEstado(), resto + u"Com1, 2400 b.p.s."_s);
}

void PruebaPrincipal::lineaMasLargaQueUnEnvioSoloParaLeer_data()
{
    QTest::addColumn<int>("largo");
    QTest::addColumn<bool>("soloParaLeer");
    QTest::newRow("la más larga que se envía") << 32766 << false;
    QTest::newRow("una más") << 32767 << true;
}

// Such a line would take the box longer than a key may, each key; it can be
// read, not typed in, and the operator is told why.
void PruebaPrincipal::lineaMasLargaQueUnEnvioSoloParaLeer()
{
    QFETCH(int, largo);
    QFETCH(bool, soloParaLeer);
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    const QString ruta = escenario.EscribirArchivo(u"larga.txt"_s, "corta\r\n" + QByteArray(largo, 'x') + "\r\n");
    principal.AbrirTexto(ruta);
    QCOMPARE(principal.EditorActivo()->Texto().isReadOnly(), soloParaLeer);
    QCOMPARE(CuadroDeMensaje::Mostrados().size(), soloParaLeer ? 1 : 0);
}

QTEST_MAIN(PruebaPrincipal)
#include "prueba_principal.moc"
