#pragma once

#include <QHash>
#include <QList>

class QAction;
class QMenu;
class QWidget;

// The commands the menus give. The first eight are the main window's and
// every editor shows the main window's own action for them.
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

bool EsCompartida(Orden orden);

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
