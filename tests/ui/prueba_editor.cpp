#include "link/lineadecarteles.h"
#include "apoyo/puertofalso.h"
#include "controles.h"
#include "encoding/codificador.h"
#include "documents/documento.h"
#include "escenario.h"
#include "link/trama.h"
#include "platform/cuadrodemensaje.h"
#include "platform/dialogodearchivo.h"
#include "platform/portapapeles.h"
#include "ui/configred.h"
#include "ui/dialogodeenvio.h"
#include "ui/editordetexto.h"
#include "ui/medidas.h"
#include "ui/principal.h"

#include <QAbstractItemView>
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QRegularExpression>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QStringList TresCarteles = {u"interfase com1,9600,N,8,1"_s, u"cartel R560, Sala, 5"_s,
                                  u"cartel R560, Patio, Desconocida"_s,
                                  u"cartel R560, Hall, 12"_s};

QByteArray Trama(const QByteArray &mensaje, quint8 destino)
{
    return ArmarTrama(mensaje, destino);
}

void Seleccionar(QPlainTextEdit &texto, int desde, int hasta)
{
    QTextCursor cursor = texto.textCursor();
    cursor.setPosition(desde);
    cursor.setPosition(hasta, QTextCursor::KeepAnchor);
    texto.setTextCursor(cursor);
}
} // namespace

class PruebaEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every test ends with its whole program gone: no window left behind.
    void cleanup() { QVERIFY(NingunaVentanaAbierta()); }
    void tablaDeBotonesDeEfecto_data();
    void tablaDeBotonesDeEfecto();
    void barraDeMenus_data();
    void barraDeMenus();
    void textoNuevoEmpiezaEnGlobal();
    void botonesDeEfecto_data();
    void botonesDeEfecto();
    void portapapeles();
    void consultarLongitud_data();
    void consultarLongitud();
    void enviarAhora_data();
    void enviarAhora();
    void enviarTextoDemasiadoLargo();
    void enviarOmiteDestinosSinCartel();
    void enviarSinDestinosNoDejaElDialogoAbierto();
    void clicsEnDestinos();
    void destinosSeGuardanYVuelvenPorNombre();
    void cambioDelRegistroNoCambiaDeCartel_data();
    void cambioDelRegistroNoCambiaDeCartel();
    void muchosCartelesEnGrupos();
    void textoCrudoIdaYVuelta();
    void saltoConMayusculasEsUnSaltoDeLinea();
    void palabraLargaSeCortaEnCualquierParte_data();
    void palabraLargaSeCortaEnCualquierParte();
    void guardarFallidoConservaElEstado();
    void guardarRechazaCaracteresQueNoCaben();
    void guardarSobreArchivoCambiado();
};

void PruebaEditor::tablaDeBotonesDeEfecto_data()
{
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QString>("titulo");
    QTest::addColumn<int>("arriba"); // twips
    QTest::addColumn<QString>("etiqueta");

    // Top to bottom, which is also the tab order after the text box.
    QTest::newRow("1") << u"EfeTitila"_s << u"TITILA"_s << 120 << u"[titila]"_s;
    QTest::newRow("2") << u"EfeNoTitila"_s << u"NO TITILA"_s << 360 << u"[no titila]"_s;
    QTest::newRow("3") << u"EfeNormal"_s << u"NORMAL"_s << 600 << u"[normal]"_s;
    QTest::newRow("4") << u"EfeExp"_s << u"EXPANDIDA"_s << 840 << u"[exp]"_s;
    QTest::newRow("5") << u"EfeVel0"_s << u"VELOCIDAD 0"_s << 1080 << u"[v0]"_s;
    QTest::newRow("6") << u"EfeVel1"_s << u"VELOCIDAD 1"_s << 1320 << u"[v1]"_s;
    QTest::newRow("7") << u"EfeVel2"_s << u"VELOCIDAD 2"_s << 1560 << u"[v2]"_s;
    QTest::newRow("8") << u"EfePausa"_s << u"PAUSA"_s << 1800 << u"[pausa]"_s;
    QTest::newRow("9") << u"EfeCentra"_s << u"CENTRA"_s << 2040 << u"[centra]"_s;
    QTest::newRow("10") << u"EfeBaja"_s << u"BAJA"_s << 2280 << u"[baja]"_s;
    QTest::newRow("11") << u"EfeSube"_s << u"SUBE"_s << 2520 << u"[sube]"_s;
    QTest::newRow("12") << u"EfeCorreIzq"_s << u"CORRE IZQ."_s << 2760 << u"[izq]"_s;
    QTest::newRow("13") << u"EfeEspacioSeg"_s << u"ESPACIO SEG."_s << 3000 << u"[esp seg]"_s;
}

void PruebaEditor::tablaDeBotonesDeEfecto()
{
    QFETCH(QString, nombre);
    QFETCH(QString, titulo);
    QFETCH(int, arriba);
    QFETCH(QString, etiqueta);

    Escenario escenario;
    escenario.Iniciar();
    EditorDeTexto &editor = escenario.NuevoTexto();
    auto *boton = Control<QPushButton>(&editor, nombre);
    QCOMPARE(boton->text(), titulo);
    QCOMPARE(boton->geometry(), RectanguloEnTwips(editor, 120, arriba, 1095, 195));

    // The one before it in the tab order: the text box, or the button above.
    const int fila = QTest::currentDataTag() == QByteArray("1") ? 0 : 1;
    QWidget *anterior = boton->previousInFocusChain();
    while (anterior->focusPolicy() == Qt::NoFocus)
        anterior = anterior->previousInFocusChain();
    if (fila == 0)
        QCOMPARE(anterior, &editor.Texto());
    else
        QCOMPARE(anterior->geometry().top(), TwipsAPixelesY(editor, arriba - 240));

    editor.Texto().setPlainText(u"ab"_s);
    editor.documento().PonerModificado(false);
    Seleccionar(editor.Texto(), 1, 1);
    QTest::mouseClick(boton, Qt::LeftButton);
    QCOMPARE(editor.documento().Texto(), u"a"_s + etiqueta + u"b"_s);
    QVERIFY(editor.documento().Modificado());
}

void PruebaEditor::barraDeMenus_data()
{
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QString>("titulo");    // "-" for a separator
    QTest::addColumn<QString>("dentroDe"); // the menu's own name
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("habilitado");
    QTest::addColumn<int>("esperado"); // its place, depth first

    int lugar = 0;
    auto fila = [&lugar](const char *nombre, const char *titulo, const char *dentroDe, bool visible = true,
                         bool habilitado = true) {
        QTest::newRow(nombre) << QString::fromLatin1(nombre) << QString::fromUtf8(titulo)
                              << QString::fromLatin1(dentroDe) << visible << habilitado << lugar++;
    };
    // In menu order, top to bottom; three signs registered, so "&Destinos"
    // is shown.
    fila("mnuArchivo", "&Archivo", "");
    fila("mnuNuevoTexto", "Crear Un &Nuevo Texto", "mnuArchivo");
    fila("mnuCargarTexto", "&Abrir Un Texto", "mnuArchivo");
    fila("mnuCerrar", "&Cerrar", "mnuArchivo");
    fila("mnuSeparator1", "-", "mnuArchivo");
    fila("mnuGuardar", "&Guardar", "mnuArchivo");
    fila("mnuGuardarComo", "Guardar &Como", "mnuArchivo");
    fila("mnuSeparator3", "-", "mnuArchivo");
    fila("mnuEnviar", "&Enviar", "mnuArchivo");
    fila("mnuEnviarAhora", "&Ahora", "mnuEnviar");
    fila("mnuSeparator2", "-", "mnuArchivo");
    fila("mnuSalir", "&Salir", "mnuArchivo");
    fila("mnuEditar", "&Editar", "");
    fila("mnuCortar", "&Cortar", "mnuEditar");
    fila("mnuCopiar", "C&opiar", "mnuEditar");
    fila("mnuPegar", "&Pegar", "mnuEditar");
    fila("mnuSeparator5", "-", "mnuEditar", false);
    fila("mnuPropDestinos", "&Destinos", "mnuEditar");
    fila("mnuPropGlobal", "&Global", "mnuPropDestinos");
    fila("mnuSeparator6", "-", "mnuPropDestinos");
    fila("mnuPropDestino0", " Sala", "mnuPropDestinos");
    fila("mnuPropDestino1", " Patio", "mnuPropDestinos");
    fila("mnuPropDestino2", " Hall", "mnuPropDestinos");
    fila("mnuHerramientas", "&Herramientas", "");
    fila("mnuConsultarLongi", "&Consultar Longitud", "mnuHerramientas");
    fila("mnuSeparator4", "-", "mnuHerramientas");
    fila("mnuVerDirs", "&Ver Las Direcciones En Los Carteles", "mnuHerramientas");
    fila("mnuMandarClipb", "&Mandar El Clipboard", "mnuHerramientas", false, false);
    fila("mnuSeparator7", "-", "mnuHerramientas");
    fila("mnuVistaPrevia", "Vista &Previa", "mnuHerramientas");
    fila("mnuProgramacion", "Pro&gramación de Envíos...", "mnuHerramientas");
    fila("mnuConfig", "&Configuración", "");
    fila("mnuConfigInterfase", "&Interfase Serie", "mnuConfig");
    fila("mnuConfigRed", "&Carteles Conectados", "mnuConfig");
    fila("mnuVentana", "&Ventana", "");
    fila("mnuArrVert", "Arreglar &Verticalmente", "mnuVentana");
    fila("mnuArrHoriz", "Arreglar &Horizontalmente", "mnuVentana");
    fila("mnuAyuda", "&Ayuda", "");
}

namespace {
// Every item of the menus, depth first, as "dentroDe/nombre".
void Recorrer(const QMenu &menu, QList<const QAction *> &items, QStringList &rutas)
{
    // A submenu's name is its item's.
    const QString nombre = menu.objectName().isEmpty() ? menu.menuAction()->objectName() : menu.objectName();
    for (const QAction *item : menu.actions()) {
        items.append(item);
        rutas.append(nombre + u'/' + item->objectName());
        if (item->menu())
            Recorrer(*item->menu(), items, rutas);
    }
}
} // namespace

void PruebaEditor::barraDeMenus()
{
    QFETCH(QString, nombre);
    QFETCH(QString, titulo);
    QFETCH(QString, dentroDe);
    QFETCH(bool, visible);
    QFETCH(bool, habilitado);
    QFETCH(int, esperado);
    // Nothing more than the table: an item the table lacks shifts no row
    // but makes the count differ.
    constexpr qsizetype filas = 38;

    Escenario escenario;
    escenario.EscribirConfiguracion(TresCarteles);
    Principal &principal = escenario.Iniciar();
    escenario.NuevoTexto();

    QList<const QAction *> items;
    QStringList rutas;
    for (const QAction *deLaBarra : principal.menuBar()->actions()) {
        const QMenu *menu = deLaBarra->menu();
        items.append(menu->menuAction());
        rutas.append(u'/' + menu->objectName());
        Recorrer(*menu, items, rutas);
    }
    // The rows are in menu order: the row's place is the item's place.
    const auto hallado = rutas.indexOf(dentroDe + u'/' + nombre);
    QVERIFY2(hallado >= 0, qPrintable(rutas.join(u' ')));
    QCOMPARE(hallado, esperado);
    QCOMPARE(rutas.size(), filas);
    const QAction *item = items.at(hallado);
    QCOMPARE(item->isVisible(), visible);
    if (titulo == u"-"_s) {
        QVERIFY(item->isSeparator());
        return;
    }
    QCOMPARE(item->text(), titulo);
    QCOMPARE(item->isEnabled(), habilitado);
    QVERIFY(item->shortcut().isEmpty());
}

// The destination marks are the active text's: a new text shows Global,
// whatever the one closed before it had chosen.
void PruebaEditor::textoNuevoEmpiezaEnGlobal()
{
    Escenario escenario;
    escenario.EscribirConfiguracion(TresCarteles);
    Principal &principal = escenario.Iniciar();
    EditorDeTexto &editor = escenario.NuevoTexto();
    editor.CambiarDestino(1);
    QCOMPARE(principal.MarcasDeDestino(), QList<bool>({false, true, false}));
    editor.documento().PonerModificado(false);
    editor.Cerrar();

    EditorDeTexto &otra = escenario.NuevoTexto();
    // Nothing left for later marks the new text as changed.
    QTest::qWait(20);
    QVERIFY(!otra.documento().Modificado());
    QCOMPARE(principal.Editores().size(), 1);
    QVERIFY(principal.GlobalMarcado());
    QCOMPARE(principal.MarcasDeDestino(), QList<bool>({false, false, false}));
}

void PruebaEditor::botonesDeEfecto_data()
{
    QTest::addColumn<QString>("inicial");
    QTest::addColumn<int>("desde");
    QTest::addColumn<int>("hasta");
    QTest::addColumn<QStringList>("botones");
    QTest::addColumn<QString>("esperado");
    QTest::addColumn<int>("cursor");

    QTest::newRow("en el cursor") << u"ABCD"_s << 2 << 2 << QStringList{u"EfeTitila"_s}
                                  << u"AB[titila]CD"_s << 10;
    QTest::newRow("sobre una selección") << u"HOLA"_s << 0 << 4 << QStringList{u"EfeSube"_s}
                                         << u"[sube]"_s << 6;
    QTest::newRow("dos veces") << QString() << 0 << 0 << QStringList{u"EfeVel1"_s, u"EfeVel1"_s}
                               << u"[v1][v1]"_s << 8;
    QTest::newRow("espacio seg") << u"a"_s << 1 << 1 << QStringList{u"EfeEspacioSeg"_s}
                                 << u"a[esp seg]"_s << 10;
    QTest::newRow("no titila y corre") << QString() << 0 << 0
                                       << QStringList{u"EfeNoTitila"_s, u"EfeCorreIzq"_s}
                                       << u"[no titila][izq]"_s << 16;
}

void PruebaEditor::botonesDeEfecto()
{
    QFETCH(QString, inicial);
    QFETCH(int, desde);
    QFETCH(int, hasta);
    QFETCH(QStringList, botones);
    QFETCH(QString, esperado);
    QFETCH(int, cursor);

    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    principal.show();
    principal.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&principal));
    EditorDeTexto &editor = escenario.NuevoTexto(inicial);
    editor.documento().PonerModificado(false);
    Seleccionar(editor.Texto(), desde, hasta);

    for (const QString &nombre : botones) {
        auto *boton = editor.findChild<QPushButton *>(nombre);
        QVERIFY2(boton, qPrintable(nombre));
        QTest::mouseClick(boton, Qt::LeftButton);
    }
    QCOMPARE(editor.Texto().toPlainText(), esperado);
    QCOMPARE(editor.Texto().textCursor().position(), cursor);
    QVERIFY(editor.documento().Modificado());
    QVERIFY(editor.Texto().hasFocus());
    escenario.principal().hide();
}

void PruebaEditor::portapapeles()
{
    Escenario escenario;
    escenario.Iniciar();
    EditorDeTexto &editor = escenario.NuevoTexto(u"uno dos"_s);
    editor.documento().PonerModificado(false);

    // Copying nothing leaves an empty text on the clipboard.
    Portapapeles::PonerTexto(u"previo"_s);
    Seleccionar(editor.Texto(), 2, 2);
    editor.Copiar();
    QCOMPARE(Portapapeles::TomarTexto(), QString());
    QVERIFY(!editor.documento().Modificado());

    Seleccionar(editor.Texto(), 0, 3);
    editor.Copiar();
    QCOMPARE(Portapapeles::TomarTexto(), u"uno"_s);
    QVERIFY(!editor.documento().Modificado());

    editor.Cortar();
    QCOMPARE(editor.Texto().toPlainText(), u" dos"_s);
    QVERIFY(editor.documento().Modificado());

    editor.documento().PonerModificado(false);
    Seleccionar(editor.Texto(), 4, 4);
    editor.Pegar();
    QCOMPARE(editor.Texto().toPlainText(), u" dosuno"_s);
    QVERIFY(editor.documento().Modificado());

    // An empty clipboard changes nothing but still marks the text.
    Portapapeles::Limpiar();
    editor.documento().PonerModificado(false);
    editor.Pegar();
    QCOMPARE(editor.Texto().toPlainText(), u" dosuno"_s);
    QVERIFY(editor.documento().Modificado());
}

void PruebaEditor::consultarLongitud_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("mensaje");

    QTest::newRow("vacío") << QString() << u"Longitud: 0 bytes"_s;
    QTest::newRow("etiqueta") << u"HOLA[titila]"_s << u"Longitud: 5 bytes"_s;
    QTest::newRow("salto cuenta dos") << u"A\nB"_s << u"Longitud: 4 bytes"_s;
    QTest::newRow("acento caído") << u"ÁRBOL"_s << u"Longitud: 4 bytes"_s;
}

void PruebaEditor::consultarLongitud()
{
    QFETCH(QString, texto);
    QFETCH(QString, mensaje);

    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    escenario.NuevoTexto(texto);
    principal.Accion(u"mnuConsultarLongi"_s)->trigger();

    const auto caja = CuadroDeMensaje::Mostrados().constLast();
    QCOMPARE(caja.texto, mensaje);
    QCOMPARE(caja.titulo, u"Consultar Longitud"_s);
    QCOMPARE(caja.icono, QMessageBox::Information);
}

void PruebaEditor::enviarAhora_data()
{
    QTest::addColumn<QStringList>("configuracion");
    QTest::addColumn<QList<int>>("marcar");
    QTest::addColumn<QByteArray>("esperado");

    const QByteArray hola = "HOLA";
    QTest::newRow("un cartel: siempre a todos")
        << QStringList({u"cartel R560, Sala, 5"_s}) << QList<int>{0} << Trama(hola, 0);
    QTest::newRow("global") << TresCarteles << QList<int>{} << Trama(hola, 0);
    QTest::newRow("dos carteles en orden del registro")
        << TresCarteles << QList<int>{2, 0} << Trama(hola, 5) + Trama(hola, 12);
    QTest::newRow("dirección desconocida va a todos") << TresCarteles << QList<int>{1} << Trama(hola, 0);
    QTest::newRow("marcar y desmarcar vuelve a global") << TresCarteles << QList<int>{1, 1} << Trama(hola, 0);
}

void PruebaEditor::enviarAhora()
{
    QFETCH(QStringList, configuracion);
    QFETCH(QList<int>, marcar);
    QFETCH(QByteArray, esperado);

    Escenario escenario;
    escenario.EscribirConfiguracion(configuracion);
    Principal &principal = escenario.Iniciar();
    EditorDeTexto &editor = escenario.NuevoTexto(u"HOLA"_s);
    for (int indice : marcar)
        editor.CambiarDestino(indice);

    principal.Accion(u"mnuEnviarAhora"_s)->trigger();
    QTRY_COMPARE(escenario.puerto().Escrito(), esperado);
    QTRY_VERIFY(principal.dialogEnvio().isHidden());
    QVERIFY(CuadroDeMensaje::Mostrados().isEmpty());
}

void PruebaEditor::enviarTextoDemasiadoLargo()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    EditorDeTexto &editor = escenario.NuevoTexto(QString(32766, QLatin1Char('a')));
    editor.EnviarAhora();
    QTRY_COMPARE(escenario.puerto().Escrito().size(), 32766 + 9);

    escenario.puerto().OlvidarEscrito();
    // One more character, or a line break that counts two, is too long.
    editor.Texto().setPlainText(QString(32765, QLatin1Char('a')) + u"\n"_s);
    editor.EnviarAhora();
    QCOMPARE(CuadroDeMensaje::Mostrados().size(), 1);
    QVERIFY(CuadroDeMensaje::Mostrados().constFirst().texto.contains(u"32766"_s));
    QTest::qWait(20);
    QVERIFY(escenario.puerto().Escrito().isEmpty());
    QVERIFY(principal.dialogEnvio().isHidden());
}

void PruebaEditor::enviarOmiteDestinosSinCartel()
{
    Escenario escenario;
    escenario.EscribirConfiguracion({u"cartel R560, Sala, 5"_s, u"cartel R560, Lejos, 300"_s});
    escenario.Iniciar();
    EditorDeTexto &editor = escenario.NuevoTexto(u"X"_s);
    editor.CambiarDestino(0);
    editor.CambiarDestino(1);

    editor.EnviarAhora();
    QTRY_COMPARE(escenario.puerto().Escrito(), Trama("X", 5));
    QCOMPARE(CuadroDeMensaje::Mostrados().size(), 1);
    QVERIFY(CuadroDeMensaje::Mostrados().constFirst().texto.contains(u"Lejos"_s));
}

void PruebaEditor::enviarSinDestinosNoDejaElDialogoAbierto()
{
    Escenario escenario;
    escenario.EscribirConfiguracion(TresCarteles);
    Principal &principal = escenario.Iniciar();
    const QString ruta = escenario.EscribirArchivo(u"viejo.txt"_s, "PROPIEDADES:\r\nDirs:  Ya no existe\r\nTEXTO:\r\nX\r\n");
    QVERIFY(!ruta.isEmpty());

    principal.AbrirTexto(ruta);
    EditorDeTexto &editor = *principal.EditorActivo();
    QVERIFY(!principal.GlobalMarcado());
    editor.EnviarAhora();

    QTest::qWait(20);
    QVERIFY(escenario.puerto().Escrito().isEmpty());
    QVERIFY(principal.dialogEnvio().isHidden());
    // One box on opening, for the name no sign has; one for the send.
    QCOMPARE(CuadroDeMensaje::Mostrados().size(), 2);
}

void PruebaEditor::clicsEnDestinos()
{
    Escenario escenario;
    escenario.EscribirConfiguracion(TresCarteles);
    Principal &principal = escenario.Iniciar();
    EditorDeTexto &editor = escenario.NuevoTexto();
    QCOMPARE(principal.TitulosDeDestino(),
             QStringList({u" Sala"_s, u" Patio"_s, u" Hall"_s}));
    QVERIFY(principal.GlobalMarcado());

    // Global cannot be unmarked by clicking it.
    principal.Accion(u"mnuPropGlobal"_s)->trigger();
    QVERIFY(principal.GlobalMarcado());
    QVERIFY(!editor.documento().Modificado());

    principal.Accion(u"mnuPropDestino0"_s)->trigger();
    principal.Accion(u"mnuPropDestino2"_s)->trigger();
    QVERIFY(!principal.GlobalMarcado());
    QCOMPARE(principal.MarcasDeDestino(), QList<bool>({true, false, true}));
    QVERIFY(editor.documento().Modificado());

    editor.documento().PonerModificado(false);
    principal.Accion(u"mnuPropGlobal"_s)->trigger();
    QVERIFY(principal.GlobalMarcado());
    QCOMPARE(principal.MarcasDeDestino(), QList<bool>({false, false, false}));
    // A change of destinations like any other: Cerrar asks before it is lost.
    QVERIFY(editor.documento().Modificado());
}

void PruebaEditor::destinosSeGuardanYVuelvenPorNombre()
{
    Escenario escenario;
    escenario.EscribirConfiguracion(TresCarteles);
    Principal &principal = escenario.Iniciar();
    EditorDeTexto &editor = escenario.NuevoTexto(u"línea 1\nlínea 2"_s);
    editor.CambiarDestino(0);
    editor.CambiarDestino(2);

    const QString ruta = escenario.Ruta(u"dos.txt"_s);
    DialogoDeArchivo::ResponderCon({ruta});
    QVERIFY(editor.Guardar());
    QCOMPARE(editor.Caption(), ruta);
    QVERIFY(editor.documento().Nombrado());
    QVERIFY(!editor.documento().Modificado());
    QCOMPARE(escenario.LeerArchivo(u"dos.txt"_s),
             QByteArray("PROPIEDADES:\r\nDirs:  Sala; Hall\r\nTEXTO:\r\nl\xEDnea 1\r\nl\xEDnea 2\r\n"));
    const auto pedido = DialogoDeArchivo::Pedidos().constLast();
    QCOMPARE(pedido.titulo, u"Guardar el Texto"_s);
    QCOMPARE(pedido.extension, u"txt"_s);

    editor.Cerrar();
    principal.AbrirTexto(ruta);
    EditorDeTexto &abierto = *principal.EditorActivo();
    QCOMPARE(principal.MarcasDeDestino(), QList<bool>({true, false, true}));
    QVERIFY(!principal.GlobalMarcado());
    QCOMPARE(abierto.documento().Texto(), u"línea 1\r\nlínea 2"_s);

    // Saving again under its name asks nothing.
    abierto.Texto().appendPlainText(u"más"_s);
    QVERIFY(abierto.Guardar());
    QCOMPARE(DialogoDeArchivo::Pedidos().size(), 1);
    QVERIFY(escenario.LeerArchivo(u"dos.txt"_s).endsWith("m\xE1s\r\n"));

    // Closing a changed text with no answer given takes the default button
    // of "Guardar Cambios", which must be "Sí": the change is kept.
    abierto.Texto().appendPlainText(u"otra"_s);
    QVERIFY(abierto.Cerrar());
    QCOMPARE(CuadroDeMensaje::Mostrados().constLast().titulo, u"Guardar Cambios"_s);
    QVERIFY(escenario.LeerArchivo(u"dos.txt"_s).endsWith("otra\r\n"));
}

void PruebaEditor::cambioDelRegistroNoCambiaDeCartel_data()
{
    QTest::addColumn<int>("quitar");
    QTest::addColumn<QByteArray>("propiedades");
    QTest::addColumn<QByteArray>("esperado");
    QTest::addColumn<QByteArray>("guardado");

    // Sala (5), Pasillo (Desconocida), Caja (12); the document names Caja.
    QTest::newRow("se quita otro: sigue yendo a Caja")
        << 1 << QByteArray("Dirs:  Caja") << Trama("X", 12) << QByteArray("Dirs:  Caja");
    QTest::newRow("se quita el primero") << 0 << QByteArray("Dirs:  Caja") << Trama("X", 12)
                                         << QByteArray("Dirs:  Caja");
    // Caja is gone: the text goes nowhere rather than to every sign, and
    // keeps the name for when the sign comes back.
    QTest::newRow("se quita su cartel") << 2 << QByteArray("Dirs:  Caja") << QByteArray()
                                        << QByteArray("Dirs:  Caja");
    QTest::newRow("global sigue global") << 2 << QByteArray("Global") << Trama("X", 0) << QByteArray("Global");
}

void PruebaEditor::cambioDelRegistroNoCambiaDeCartel()
{
    QFETCH(int, quitar);
    QFETCH(QByteArray, propiedades);
    QFETCH(QByteArray, esperado);
    QFETCH(QByteArray, guardado);

    Escenario escenario;
    escenario.EscribirConfiguracion({u"cartel R560, Sala, 5"_s,
                                     u"cartel R560, Pasillo, Desconocida"_s,
                                     u"cartel R560, Caja, 12"_s});
    Principal &principal = escenario.Iniciar();
    const QString ruta = escenario.EscribirArchivo(u"caja.txt"_s, "PROPIEDADES:\r\n" + propiedades + "\r\nTEXTO:\r\nX\r\n");
    QVERIFY(!ruta.isEmpty());
    principal.AbrirTexto(ruta);
    EditorDeTexto &editor = *principal.EditorActivo();

    // As the operator does it: select the sign, "Quitar", "O.K.".
    ConfigRed &red = principal.configRed();
    principal.ConfigurarCarteles();
    ElegirFila(Control<QAbstractItemView>(&red, u"Carteles"_s), quitar);
    Pulsar(&red, u"Quitar"_s);
    Pulsar(&red, u"Aceptar"_s);
    QVERIFY(!editor.documento().Modificado());

    editor.EnviarAhora();
    if (esperado.isEmpty()) {
        QCOMPARE(CuadroDeMensaje::Mostrados().size(), 1);
        QTest::qWait(20);
    }
    QTRY_COMPARE(escenario.puerto().Escrito(), esperado);

    QVERIFY(editor.Guardar());
    QCOMPARE(escenario.LeerArchivo(u"caja.txt"_s),
             "PROPIEDADES:\r\n" + guardado + "\r\nTEXTO:\r\nX\r\n");
}

void PruebaEditor::muchosCartelesEnGrupos()
{
    Escenario escenario;
    QStringList configuracion;
    QStringList registro;
    for (int i = 1; i <= 100; ++i) {
        registro.append(u"R560, Andén %1, %2"_s.arg(i).arg(i % 37));
        configuracion.append(u"cartel "_s + registro.constLast());
    }
    escenario.EscribirConfiguracion(configuracion);
    Principal &principal = escenario.Iniciar();
    EditorDeTexto &editor = escenario.NuevoTexto();

    auto submenus = [&principal] {
        QStringList titulos;
        const auto *destinos = qobject_cast<const QMenu *>(principal.Accion(u"mnuPropGlobal"_s)->associatedObjects().constFirst());
        for (const QAction *item : destinos->actions()) {
            if (item->menu())
                titulos.append(item->text());
        }
        return titulos;
    };
    QCOMPARE(submenus(), QStringList({u"Carteles 1 a 40"_s, u"Carteles 41 a 80"_s, u"Carteles 81 a 100"_s}));
    QCOMPARE(principal.TitulosDeDestino().size(), 100);
    QCOMPARE(principal.TitulosDeDestino().at(57), u" Andén 58"_s);

    principal.Accion(u"mnuPropDestino57"_s)->trigger();
    QVERIFY(!principal.GlobalMarcado());
    QCOMPARE(PropiedadesDesdeDestinos(editor.documento().Destinos(), principal.TitulosDeDestino()), u"Dirs:  Andén 58"_s);

    // Back to a list that fits one menu: no groups, and the mark stays with
    // its sign.
    registro = registro.mid(50, 30);
    principal.AplicarRegistro(RegistroDeCarteles::DeRegistros(registro));
    QVERIFY(submenus().isEmpty());
    QCOMPARE(principal.TitulosDeDestino().size(), 30);
    QCOMPARE(PropiedadesDesdeDestinos(editor.documento().Destinos(), principal.TitulosDeDestino()), u"Dirs:  Andén 58"_s);
    QVERIFY(principal.MarcasDeDestino().at(7));
}

void PruebaEditor::textoCrudoIdaYVuelta()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    QByteArray texto;
    for (int byte = 0x20; byte <= 0xFF; ++byte)
        texto.append(static_cast<char>(byte));
    const QByteArray contenido = "PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\n" + texto + "\r\n" + texto + "\r\n";
    const QString ruta = escenario.EscribirArchivo(u"todos.txt"_s, contenido);
    QVERIFY(!ruta.isEmpty());

    principal.AbrirTexto(ruta);
    EditorDeTexto &editor = *principal.EditorActivo();
    QVERIFY(editor.Guardar());
    QCOMPARE(escenario.LeerArchivo(u"todos.txt"_s), contenido);

    // A no-break space is not a blank: the sign does not get it, and the
    // clipboard gets the character itself.
    editor.Texto().setPlainText(u"A\u00A0B"_s);
    editor.ConsultarLongitud();
    QCOMPARE(CuadroDeMensaje::Mostrados().constLast().texto, u"Longitud: 2 bytes"_s);
    Seleccionar(editor.Texto(), 0, 3);
    editor.Copiar();
    QCOMPARE(Portapapeles::TomarTexto(), u"A\u00A0B"_s);
    editor.EnviarAhora();
    QTRY_COMPARE(escenario.puerto().Escrito(), Trama("AB", 0));

    editor.Texto().setPlainText(u"uno\ndos\u00A0"_s);
    Seleccionar(editor.Texto(), 2, 8);
    editor.Cortar();
    QCOMPARE(Portapapeles::TomarTexto(), u"o\ndos\u00A0"_s);
    QCOMPARE(editor.documento().Texto(), u"un"_s);

    // The keyboard copies as the menu does.
    editor.Texto().setPlainText(u"C\u00A0D"_s);
    Seleccionar(editor.Texto(), 0, 3);
    QTest::keyClick(&editor.Texto(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(Portapapeles::TomarTexto(), u"C\u00A0D"_s);
    QTest::keyClick(&editor.Texto(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(Portapapeles::TomarTexto(), u"C\u00A0D"_s);
}

// Shift+Enter puts a line separator in the box, drawn as a line break: it is
// one wherever the text goes, not a character the file or the sign refuses.
void PruebaEditor::saltoConMayusculasEsUnSaltoDeLinea()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    const QString ruta = escenario.EscribirArchivo(u"salto.txt"_s, "PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\n");
    QVERIFY(!ruta.isEmpty());
    principal.AbrirTexto(ruta);
    EditorDeTexto &editor = *principal.EditorActivo();
    QTest::keyClicks(&editor.Texto(), u"AB"_s);
    QTest::keyClick(&editor.Texto(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&editor.Texto(), u"CD"_s);
    QVERIFY(editor.Texto().document()->toRawText().contains(QChar::LineSeparator));

    QCOMPARE(editor.documento().Texto(), u"AB\r\nCD"_s);
    editor.ConsultarLongitud();
    QCOMPARE(CuadroDeMensaje::Mostrados().constLast().texto,
             u"Longitud: %1 bytes"_s.arg(CodificarTexto(u"AB\r\nCD"_s).size()));
    Seleccionar(editor.Texto(), 0, 5);
    editor.Copiar();
    QCOMPARE(Portapapeles::TomarTexto(), u"AB\nCD"_s);
    editor.EnviarAhora();
    QTRY_COMPARE(escenario.puerto().Escrito(), Trama(CodificarTexto(u"AB\r\nCD"_s), 0));

    QVERIFY(editor.Guardar());
    QCOMPARE(escenario.LeerArchivo(u"salto.txt"_s), QByteArray("PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\nAB\r\nCD\r\n"));
}

void PruebaEditor::palabraLargaSeCortaEnCualquierParte_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("cualquierParte");

    QTest::newRow("palabras") << QString(20000, u'a').replace(QRegularExpression(u"a{9}"_s), u"palabra, "_s)
                              << false;
    QTest::newRow("palabra de 2000") << QString(2000, u'x') + u" y"_s << false;
    QTest::newRow("palabra de 2001") << u"y "_s + QString(2001, u'x') << true;
    QTest::newRow("un mega sin blancos") << QString(1024 * 1024, u'x') << true;
}

// Breaking between words costs the text box the square of a word's length:
// one long word would freeze the window, so such a file wraps anywhere.
void PruebaEditor::palabraLargaSeCortaEnCualquierParte()
{
    QFETCH(QString, texto);
    QFETCH(bool, cualquierParte);

    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    const QString ruta = escenario.EscribirArchivo(u"largo.txt"_s, texto.toLatin1());
    QVERIFY(!ruta.isEmpty());

    principal.AbrirTexto(ruta);
    EditorDeTexto &editor = *principal.EditorActivo();
    QCOMPARE(editor.documento().Texto().size(), texto.size());
    QTest::qWait(20);
    QVERIFY(!editor.documento().Modificado());
    QCOMPARE(editor.Texto().wordWrapMode(),
             cualquierParte ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);

    // The next document in the window starts with words kept whole.
    editor.Cerrar();
    QCOMPARE(escenario.NuevoTexto().Texto().wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void PruebaEditor::guardarFallidoConservaElEstado()
{
    Escenario escenario;
    escenario.Iniciar();
    EditorDeTexto &editor = escenario.NuevoTexto(u"texto"_s);

    DialogoDeArchivo::ResponderCon({escenario.Ruta(u"no-hay/carpeta.txt"_s)});
    QVERIFY(!editor.GuardarComo());

    QVERIFY(editor.documento().Modificado());
    QVERIFY(!editor.documento().Nombrado());
    QCOMPARE(editor.Caption(), u"Texto sin título: 1"_s);
    const auto caja = CuadroDeMensaje::Mostrados().constFirst();
    QCOMPARE(caja.icono, QMessageBox::Warning);
    QVERIFY(caja.texto.contains(u"carpeta.txt"_s));
}

void PruebaEditor::guardarRechazaCaracteresQueNoCaben()
{
    Escenario escenario;
    escenario.Iniciar();
    EditorDeTexto &editor = escenario.NuevoTexto(u"Precio: 5 ₿ o 3 Ω"_s);

    DialogoDeArchivo::ResponderCon({escenario.Ruta(u"precio.txt"_s)});
    QVERIFY(!editor.Guardar());

    QVERIFY(!QFile::exists(escenario.Ruta(u"precio.txt"_s)));
    QVERIFY(editor.documento().Modificado());
    const QString texto = CuadroDeMensaje::Mostrados().constFirst().texto;
    QVERIFY2(texto.contains(u"₿"_s) && texto.contains(u"Ω"_s), qPrintable(texto));
}

// Guardar asks before writing over what another program put in the file,
// and the default keeps the disk's (when a file counts as changed, or
// removed, is prueba_firmadearchivo's table).
void PruebaEditor::guardarSobreArchivoCambiado()
{
    Escenario escenario;
    Principal &principal = escenario.Iniciar();
    principal.AbrirTexto(escenario.EscribirArchivo(u"texto.txt"_s, "PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\nviejo\r\n"));
    EditorDeTexto &editor = *principal.EditorActivo();
    editor.Texto().setPlainText(u"mío"_s);
    const QByteArray deOtro = "PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\nde otro\r\n";
    QVERIFY(!escenario.EscribirArchivo(u"texto.txt"_s, deOtro).isEmpty());
    QVERIFY(!editor.Guardar());
    QVERIFY(CuadroDeMensaje::Mostrados().constFirst().texto.contains(u"cambió en el disco"_s));
    QCOMPARE(escenario.LeerArchivo(u"texto.txt"_s), deOtro);
    CuadroDeMensaje::ResponderCon({QMessageBox::Yes});
    QVERIFY(editor.Guardar());
    QCOMPARE(escenario.LeerArchivo(u"texto.txt"_s), QByteArray("PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\nm\xedo\r\n"));
    // Written, the file is this window's again: the next save asks nothing.
    CuadroDeMensaje::OlvidarMostrados();
    editor.Texto().setPlainText(u"otra vez"_s);
    QVERIFY(editor.Guardar());
    QVERIFY(CuadroDeMensaje::Mostrados().isEmpty());
}

QTEST_MAIN(PruebaEditor)
#include "prueba_editor.moc"
