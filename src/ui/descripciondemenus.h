#pragma once

#include <QHash>
#include <QList>

class QAction;
class QMenu;
class QWidget;

// The commands the menus give. The first eight are the main window's own;
// the others act on the active text.
enum class Orden {
    Ninguna,
    NuevoTexto,
    AbrirTexto,
    Salir,
    VerDirecciones,
    InterfaseSerie,
    CartelesConectados,
    VistaPrevia,
    ProgramacionDeEnvios,
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

// The main window's one menu bar, built from the description with every
// item either of its two states shows.
struct MenusConstruidos
{
    QList<QMenu *> barra;               // the bar's menus, in order
    QHash<Orden, QAction *> acciones;   // the commands' items
    QHash<QString, QMenu *> submenus;   // by name: "mnuPropDestinos", "mnuVentana"...
    QHash<QString, QAction *> items;    // every item by name, menus and separators too
};

// Menus and items are children of `duenio`.
MenusConstruidos ConstruirMenus(QWidget &duenio);

// Captions, states and submenus as the operator sees them while a text is
// the active window (`conTexto`), or while none is: then the editing
// commands are disabled, and a submenu with nothing under it there ("Enviar")
// is a plain item.
void AplicarEstados(const MenusConstruidos &menus, bool conTexto);
