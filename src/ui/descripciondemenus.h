#pragma once

#include <QHash>
#include <QList>

#include <span>

class QAction;
class QMenu;
class QWidget;

// The commands the menus give. The first six are the main window's and
// every editor shows the main window's own action for them.
enum class Orden {
    Ninguna,
    NuevoTexto,
    AbrirTexto,
    Salir,
    VerDirecciones,
    InterfaseSerie,
    CartelesConectados,
    Cerrar,
    Guardar,
    GuardarComo,
    EnviarAhora,
    Cortar,
    Copiar,
    Pegar,
    Global,
    ConsultarLongitud,
    ArreglarVerticalmente,
    ArreglarHorizontalmente,
};

bool EsCompartida(Orden orden);

// How an item stands in one of the two menu bars.
enum class Estado {
    Habilitado,
    Deshabilitado,
    Oculto,              // hidden, enabled once shown
    OcultoDeshabilitado, // hidden and disabled
    Ausente,             // not in this bar at all
};

enum class Tipo { Menu, Submenu, Item, Separador };

// One line of the menu bars, the main window's and the editors' at once:
// they carry the same menus and items, with other states.
struct ItemDeMenu
{
    Tipo tipo;
    const char *nombre;    // "mnuGuardar": what the program and the tests look for
    const char *titulo;    // UTF-8, "&" before the access key; empty for a separator
    const char *dentroDe;  // the menu or submenu it belongs to; empty for the bar's menus
    Orden orden;
    Estado enPrincipal;
    Estado enEditor;
    const char *tituloEnPrincipal = nullptr; // where the main window's reads otherwise
};

// Both menu bars, top to bottom, depth first.
std::span<const ItemDeMenu> DescripcionDeMenus();

// A menu bar built from the description, for the main window (`enEditor`
// false) or an editor.
struct MenusConstruidos
{
    QList<QMenu *> barra;               // the bar's menus, in order
    QHash<Orden, QAction *> acciones;   // the commands' items, shared ones included
    QHash<QString, QMenu *> submenus;   // by name: "mnuPropDestinos", "mnuVentana"...
};

// Menus and items are children of `duenio`; an item whose command is shared
// is the action `compartidas` holds for it, as it is, when it holds one.
MenusConstruidos ConstruirMenus(QWidget &duenio, bool enEditor, const QHash<Orden, QAction *> &compartidas = {});
