#include "controles.h"
#include "documents/documento.h"
#include "escenario.h"
#include "platform/cuadrodemensaje.h"
#include "platform/dialogodearchivo.h"
#include "platform/portapapeles.h"
#include "ui/dialogodeenvio.h"
#include "ui/editordeentrada.h"
#include "ui/editordetexto.h"
#include "ui/matrizdepuntos.h"
#include "ui/modeloprogramacion.h"
#include "ui/principal.h"
#include "ui/ventanadeprogramacion.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// What a keyboard or a screen reader user acts on. Rows of a list, cells of
// a table and the parts of a spin box are the widget's own business: the
// widget is named, its items carry their text.
bool Interactivo(QAccessible::Role rol)
{
    static const QSet<QAccessible::Role> interactivos{
        QAccessible::PushButton, QAccessible::CheckBox,    QAccessible::RadioButton,    QAccessible::ComboBox,
        QAccessible::EditableText, QAccessible::List,      QAccessible::Table,          QAccessible::Tree,
        QAccessible::SpinBox,    QAccessible::ProgressBar, QAccessible::Slider,         QAccessible::Dial,
        QAccessible::MenuItem,   QAccessible::ButtonMenu,  QAccessible::ButtonDropDown, QAccessible::PageTab};
    return interactivos.contains(rol);
}

bool Compuesto(QAccessible::Role rol)
{
    return rol == QAccessible::List || rol == QAccessible::Table || rol == QAccessible::Tree ||
           rol == QAccessible::ComboBox || rol == QAccessible::SpinBox;
}

struct Recorrido
{
    int interactivos = 0;
    QStringList sinNombre;
};

QString Describir(QAccessibleInterface *nodo)
{
    const QObject *objeto = nodo->object();
    return u"%1 «%2» (rol 0x%3)"_s.arg(objeto ? QString::fromLatin1(objeto->metaObject()->className()) : u"?"_s,
                                        objeto ? objeto->objectName() : QString(),
                                        QString::number(nodo->role(), 16));
}

// The tree a screen reader reads, from the window down, through the
// accessible interfaces only: what a name missing there costs a listener.
void Recorrer(QAccessibleInterface *nodo, Recorrido &recorrido)
{
    if (!nodo || !nodo->isValid() || nodo->state().invisible)
        return;
    const QAccessible::Role rol = nodo->role();
    if (Interactivo(rol)) {
        ++recorrido.interactivos;
        if (nodo->text(QAccessible::Name).trimmed().isEmpty())
            recorrido.sinNombre.append(Describir(nodo));
    }
    if (Compuesto(rol))
        return;
    for (int i = 0; i < nodo->childCount(); ++i)
        Recorrer(nodo->child(i), recorrido);
}

QWidget *VentanaTitulada(const QString &titulo)
{
    for (QWidget *ventana : QApplication::topLevelWidgets()) {
        if (ventana->isVisible() && ventana->windowTitle() == titulo)
            return ventana;
    }
    return nullptr;
}

QChar Letra(const QString &titulo)
{
    const QKeySequence tecla = QKeySequence::mnemonic(titulo);
    return tecla.isEmpty() ? QChar() : QChar(tecla[0].key()).toUpper();
}

// The timetable open with `entradas` entries for ./base.txt, so that every
// button has something to act on.
VentanaDeProgramacion *ProgramacionConEntradas(const Escenario &escenario, int entradas)
{
    if (EscribirDocumento(escenario.Ruta(u"base.txt"_s), u"Abierto"_s, u"Global"_s))
        return nullptr;
    escenario.principal().Accion(u"mnuProgramacion"_s)->trigger();
    auto *ventana = escenario.principal().findChild<VentanaDeProgramacion *>();
    EntradaDeProgramacion entrada;
    entrada.archivo = u"base.txt"_s;
    for (int i = 0; ventana && i < entradas; ++i) {
        if (ventana->Modelo().Agregar(entrada))
            return nullptr;
    }
    return ventana;
}

} // namespace

// Each window as a screen reader and a keyboard meet it: every control has a
// name to be read, every access key opens one thing, Tab goes everywhere and
// out again (in "Interfase Serie", prueba_configserie), and the windows sit
// whole inside the main window.
class PruebaAccesibilidad : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // The preview remembers its width and colour: not in the user's own settings.
        QVERIFY(m_ajustes.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_ajustes.path());
    }
    void init() { Portapapeles::Limpiar(); }
    void cleanup() { QVERIFY(NingunaVentanaAbierta()); }
    void cadaControlTieneNombre_data();
    void cadaControlTieneNombre();
    void tabSaleDelTextoYElPegadoLoConserva();
    void programacionDentroDelPrincipal();

private:
    QTemporaryDir m_ajustes;
};

void PruebaAccesibilidad::cadaControlTieneNombre_data()
{
    QTest::addColumn<QString>("ventana");
    for (const char *ventana : {"principal", "editor", "Interfase Serie", "Carteles Conectados",
                                "Datos de un cartel nuevo", "Enviando", "Programación de Envíos",
                                "Agregar Una Entrada"})
        QTest::newRow(ventana) << QString::fromUtf8(ventana);
}

void PruebaAccesibilidad::cadaControlTieneNombre()
{
    QFETCH(QString, ventana);
    Escenario escenario;
    QVERIFY(escenario.Valido());
    escenario.EscribirConfiguracion({u"interfase com2,9600,N,8,1"_s, u"cartel R560, Hall, 5"_s,
                                     u"cartel R560, Caja, 7"_s});
    Principal &principal = escenario.Iniciar();
    principal.show();
    QVERIFY(QTest::qWaitForWindowExposed(&principal));

    QWidget *raiz = nullptr;
    if (ventana == u"principal"_s) {
        // With the preview, whose sign must say what it shows.
        principal.Accion(u"mnuVistaPrevia"_s)->trigger();
        raiz = &principal;
    } else if (ventana == u"editor"_s) {
        EditorDeTexto &editor = escenario.NuevoTexto(u"[titila]Hola"_s);
        raiz = &editor;
    } else if (ventana == u"Programación de Envíos"_s || ventana == u"Agregar Una Entrada"_s) {
        raiz = ProgramacionConEntradas(escenario, 1);
        QVERIFY(raiz);
        if (ventana == u"Agregar Una Entrada"_s) {
            Pulsar(raiz, u"agregar"_s);
            raiz = VentanaTitulada(ventana);
        }
    } else {
        if (ventana == u"Interfase Serie"_s) {
            principal.Accion(u"mnuConfigInterfase"_s)->trigger();
        } else if (ventana == u"Enviando"_s) {
            principal.dialogEnvio().show();
        } else {
            principal.Accion(u"mnuConfigRed"_s)->trigger();
            if (ventana == u"Datos de un cartel nuevo"_s)
                Pulsar(VentanaTitulada(u"Carteles Conectados"_s), u"Agregar"_s);
        }
        raiz = VentanaTitulada(ventana);
    }
    QVERIFY2(raiz, qPrintable(ventana));
    QVERIFY(QTest::qWaitForWindowExposed(raiz->window()));

    Recorrido recorrido;
    Recorrer(QAccessible::queryAccessibleInterface(raiz), recorrido);
    QVERIFY(recorrido.interactivos > 0);
    QVERIFY2(recorrido.sinNombre.isEmpty(), qPrintable(recorrido.sinNombre.join(u"; "_s)));

    // Alt and a letter opens one thing only; a window inside the main window
    // shares the letters with its menu bar.
    QSet<QChar> ocupadas;
    QStringList repetidas;
    if (raiz->window() == &principal) {
        for (const QAction *menu : principal.menuBar()->actions())
            ocupadas.insert(Letra(menu->text()));
    }
    for (const QWidget *control : raiz->findChildren<QWidget *>()) {
        const bool conTitulo = qobject_cast<const QAbstractButton *>(control) || qobject_cast<const QLabel *>(control);
        const QString titulo = control->property("text").toString();
        const QChar letra = Letra(titulo);
        if (!conTitulo || !control->isVisibleTo(raiz) || letra.isNull())
            continue;
        if (ocupadas.contains(letra))
            repetidas.append(titulo);
        ocupadas.insert(letra);
    }
    QVERIFY2(repetidas.isEmpty(), qPrintable(repetidas.join(u", "_s)));

    if (ventana == u"principal"_s) {
        // The simulated sign is a picture: its name says what it is, its
        // description what it shows.
        auto *matriz = principal.findChild<MatrizDePuntos *>();
        QVERIFY(matriz);
        escenario.NuevoTexto(u"[centra]Año 1"_s);
        QAccessibleInterface *cartel = QAccessible::queryAccessibleInterface(matriz);
        QVERIFY(!cartel->text(QAccessible::Name).isEmpty());
        QTRY_COMPARE(cartel->text(QAccessible::Description), u"Año 1"_s);
    }
    if (raiz->window() != &principal)
        raiz->close();
    // The texts typed here are not to be kept.
    CuadroDeMensaje::ResponderCon({QMessageBox::No, QMessageBox::No});
    QVERIFY(principal.close());
}

void PruebaAccesibilidad::tabSaleDelTextoYElPegadoLoConserva()
{
    Escenario escenario;
    QVERIFY(escenario.Valido());
    Principal &principal = escenario.Iniciar();
    principal.show();
    QVERIFY(QTest::qWaitForWindowActive(&principal));
    EditorDeTexto &editor = escenario.NuevoTexto();
    QPlainTextEdit &texto = editor.Texto();
    QTRY_COMPARE(QApplication::focusWidget(), &texto);

    QTest::keyClicks(&texto, u"ab"_s);
    QTest::keyClick(&texto, Qt::Key_Tab);
    QWidget *siguiente = QApplication::focusWidget();
    QVERIFY(siguiente);
    QCOMPARE(siguiente->objectName(), u"EfeTitila"_s);
    QTest::keyClicks(siguiente, u"c"_s);
    QTest::keyClick(siguiente, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), &texto);

    // A TAB that comes in with the text stays in it, and is saved; the keys
    // put none there.
    Portapapeles::PonerTexto(u"1\t2"_s);
    texto.moveCursor(QTextCursor::End);
    principal.Accion(u"mnuPegar"_s)->trigger();
    const QString ruta = escenario.Ruta(u"tab.txt"_s);
    DialogoDeArchivo::ResponderCon({ruta});
    QVERIFY(editor.Guardar());
    TextoLeido leido;
    QVERIFY(!LeerDocumento(ruta, leido));
    QCOMPARE(leido.texto, u"ab1\t2"_s);
    QVERIFY(principal.close());
}

// The timetable inside the main window: whole, its buttons too, and placed
// by "Arreglar" even while active; Tab leaves its table both ways, wherever
// the cell, and Enter edits the entry.
void PruebaAccesibilidad::programacionDentroDelPrincipal()
{
    Escenario escenario;
    QVERIFY(escenario.Valido());
    Principal &principal = escenario.Iniciar();
    principal.show();
    QVERIFY(QTest::qWaitForWindowActive(&principal));
    auto *area = qobject_cast<QMdiArea *>(principal.centralWidget());
    QVERIFY(area);
    const auto entera = [area](QWidget *ventana) {
        const QRect donde(ventana->mapTo(area->viewport(), QPoint(0, 0)), ventana->size());
        return area->viewport()->rect().contains(donde);
    };

    EditorDeTexto &editor = escenario.NuevoTexto();
    QVERIFY(entera(&editor));
    VentanaDeProgramacion *programacion = ProgramacionConEntradas(escenario, 2);
    QVERIFY(programacion);
    QMdiSubWindow *subventana = principal.SubventanaDeProgramacion();
    QVERIFY(entera(subventana));
    for (const char *boton : {"agregar", "editar", "quitar", "subir", "bajar"})
        QVERIFY2(entera(Control<QPushButton>(programacion, QString::fromLatin1(boton))), boton);

    QCOMPARE(area->currentSubWindow(), subventana);
    principal.Accion(u"mnuArrHoriz"_s)->trigger();
    const QRect ancho = area->viewport()->rect();
    QCOMPARE(subventana->width(), ancho.width());
    QCOMPARE(editor.Subventana()->width(), ancho.width());
    QCOMPARE(std::min(subventana->y(), editor.Subventana()->y()), 0);
    QCOMPARE(std::max(subventana->y(), editor.Subventana()->y()), subventana->height());

    QTableView &tabla = programacion->Tabla();
    tabla.setFocus(Qt::TabFocusReason);
    tabla.setCurrentIndex(tabla.model()->index(1, 0));
    QTRY_COMPARE(QApplication::focusWidget(), &tabla);
    QTest::keyClick(&tabla, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != &tabla);
    tabla.setFocus(Qt::TabFocusReason);
    QTest::keyClick(&tabla, Qt::Key_Backtab);
    QVERIFY(QApplication::focusWidget() != &tabla);
    tabla.setFocus(Qt::TabFocusReason);
    QTest::keyClick(&tabla, Qt::Key_Return);
    auto *entrada = programacion->findChild<EditorDeEntrada *>(u"EditorDeEntrada"_s);
    QVERIFY(entrada);
    QCOMPARE(entrada->windowTitle(), u"Editar La Entrada"_s);
    entrada->reject();
    QTRY_VERIFY(!programacion->findChild<EditorDeEntrada *>(u"EditorDeEntrada"_s));
    QVERIFY(principal.close());
}

QTEST_MAIN(PruebaAccesibilidad)
#include "prueba_accesibilidad.moc"
