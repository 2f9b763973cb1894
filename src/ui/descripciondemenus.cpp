#include "descripciondemenus.h"

#include <QMenu>

#include <algorithm>
#include <string_view>

namespace {
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

constexpr auto H = Estado::Habilitado;
constexpr auto D = Estado::Deshabilitado;
constexpr auto O = Estado::Oculto;
constexpr auto OD = Estado::OcultoDeshabilitado;
constexpr auto A = Estado::Ausente;

// The menus as the operator sees them; no item has a keyboard shortcut.
// In the main window the editing commands are disabled, and arranging is
// shown but does nothing there.
constexpr ItemDeMenu Menus[] = {
    {Tipo::Menu, "mnuArchivo", "&Archivo", "", Orden::Ninguna, H, H},
    {Tipo::Item, "mnuNuevoTexto", "Crear Un &Nuevo Texto", "mnuArchivo", Orden::NuevoTexto, H, H},
    {Tipo::Item, "mnuCargarTexto", "&Abrir Un Texto", "mnuArchivo", Orden::AbrirTexto, H, H},
    {Tipo::Item, "mnuCerrar", "&Cerrar", "mnuArchivo", Orden::Cerrar, D, H},
    {Tipo::Separador, "mnuSeparator1", "", "mnuArchivo", Orden::Ninguna, H, H},
    {Tipo::Item, "mnuGuardar", "&Guardar", "mnuArchivo", Orden::Guardar, D, H},
    {Tipo::Item, "mnuGuardarComo", "Guardar &Como", "mnuArchivo", Orden::GuardarComo, D, H},
    {Tipo::Separador, "mnuSeparator3", "", "mnuArchivo", Orden::Ninguna, H, H},
    {Tipo::Submenu, "mnuEnviar", "&Enviar", "mnuArchivo", Orden::Ninguna, D, H},
    {Tipo::Item, "mnuEnviarAhora", "&Ahora", "mnuEnviar", Orden::EnviarAhora, A, H},
    {Tipo::Separador, "mnuSeparator2", "", "mnuArchivo", Orden::Ninguna, H, H},
    {Tipo::Item, "mnuSalir", "&Salir", "mnuArchivo", Orden::Salir, H, H},

    {Tipo::Menu, "mnuEditar", "&Editar", "", Orden::Ninguna, H, H},
    {Tipo::Item, "mnuCortar", "&Cortar", "mnuEditar", Orden::Cortar, D, H},
    {Tipo::Item, "mnuCopiar", "C&opiar", "mnuEditar", Orden::Copiar, D, H},
    {Tipo::Item, "mnuPegar", "&Pegar", "mnuEditar", Orden::Pegar, D, H},
    {Tipo::Separador, "mnuSeparator5", "", "mnuEditar", Orden::Ninguna, O, O},
    // Shown while two signs or more are registered; the signs' items follow
    // the separator, one per sign.
    {Tipo::Submenu, "mnuPropDestinos", "&Destinos", "mnuEditar", Orden::Ninguna, OD, O, "D&estinos"},
    {Tipo::Item, "mnuPropGlobal", "&Global", "mnuPropDestinos", Orden::Global, A, H},
    {Tipo::Separador, "mnuSeparator6", "", "mnuPropDestinos", Orden::Ninguna, A, H},

    {Tipo::Menu, "mnuHerramientas", "&Herramientas", "", Orden::Ninguna, H, H},
    {Tipo::Item, "mnuConsultarLongi", "&Consultar Longitud", "mnuHerramientas", Orden::ConsultarLongitud, D, H},
    {Tipo::Separador, "mnuSeparator4", "", "mnuHerramientas", Orden::Ninguna, H, H},
    {Tipo::Item, "mnuVerDirs", "&Ver Las Direcciones En Los Carteles", "mnuHerramientas", Orden::VerDirecciones, H, H},
    {Tipo::Item, "mnuMandarClipb", "&Mandar El Clipboard", "mnuHerramientas", Orden::Ninguna, OD, OD},
    {Tipo::Separador, "mnuSeparator7", "", "mnuHerramientas", Orden::Ninguna, H, H},
    {Tipo::Item, "mnuVistaPrevia", "Vista &Previa", "mnuHerramientas", Orden::VistaPrevia, H, H},
    {Tipo::Item, "mnuProgramacion", "Pro&gramación de Envíos...", "mnuHerramientas", Orden::ProgramacionDeEnvios, H,
     H},

    {Tipo::Menu, "mnuConfig", "&Configuración", "", Orden::Ninguna, H, H},
    {Tipo::Item, "mnuConfigInterfase", "&Interfase Serie", "mnuConfig", Orden::InterfaseSerie, H, H},
    {Tipo::Item, "mnuConfigRed", "&Carteles Conectados", "mnuConfig", Orden::CartelesConectados, H, H},

    // Lists the open windows below its own items.
    {Tipo::Menu, "mnuVentana", "&Ventana", "", Orden::Ninguna, H, H},
    {Tipo::Item, "mnuArrVert", "Arreglar &Verticalmente", "mnuVentana", Orden::ArreglarVerticalmente, H, H},
    {Tipo::Item, "mnuArrHoriz", "Arreglar &Horizontalmente", "mnuVentana", Orden::ArreglarHorizontalmente, H, H},

    {Tipo::Menu, "mnuAyuda", "&Ayuda", "", Orden::Ninguna, H, H},
};

bool TieneItems(const char *submenu, bool enEditor)
{
    return std::any_of(std::begin(Menus), std::end(Menus), [submenu, enEditor](const ItemDeMenu &item) {
        return std::string_view(item.dentroDe) == submenu
               && (enEditor ? item.enEditor : item.enPrincipal) != Estado::Ausente;
    });
}

void AplicarEstado(QAction &accion, Estado estado)
{
    accion.setVisible(estado == Estado::Habilitado || estado == Estado::Deshabilitado);
    accion.setEnabled(estado == Estado::Habilitado || estado == Estado::Oculto);
}
} // namespace

bool EsCompartida(Orden orden)
{
    switch (orden) {
    case Orden::NuevoTexto:
    case Orden::AbrirTexto:
    case Orden::Salir:
    case Orden::VerDirecciones:
    case Orden::InterfaseSerie:
    case Orden::CartelesConectados:
    case Orden::VistaPrevia:
    case Orden::ProgramacionDeEnvios:
        return true;
    default:
        return false;
    }
}

MenusConstruidos ConstruirMenus(QWidget &duenio, bool enEditor, const QHash<Orden, QAction *> &compartidas)
{
    MenusConstruidos construidos;
    for (const ItemDeMenu &item : Menus) {
        const Estado estado = enEditor ? item.enEditor : item.enPrincipal;
        if (estado == Estado::Ausente)
            continue;
        const QString nombre = QString::fromLatin1(item.nombre);
        const QString titulo =
            QString::fromUtf8(!enEditor && item.tituloEnPrincipal ? item.tituloEnPrincipal : item.titulo);
        QMenu *padre = construidos.submenus.value(QString::fromLatin1(item.dentroDe));

        QAction *accion = nullptr;
        switch (item.tipo) {
        case Tipo::Menu: {
            auto *menu = new QMenu(titulo, &duenio);
            menu->setObjectName(nombre);
            construidos.barra.append(menu);
            construidos.submenus.insert(nombre, menu);
            accion = menu->menuAction();
            break;
        }
        case Tipo::Submenu: {
            // A submenu with nothing under it in this bar (the main
            // window's "Enviar") is a plain item there.
            if (!TieneItems(item.nombre, enEditor)) {
                accion = padre->addAction(titulo);
                break;
            }
            auto *menu = new QMenu(titulo, padre);
            menu->setObjectName(nombre);
            padre->addMenu(menu);
            construidos.submenus.insert(nombre, menu);
            accion = menu->menuAction();
            break;
        }
        case Tipo::Separador:
            accion = padre->addSeparator();
            break;
        case Tipo::Item:
            if (QAction *compartida = EsCompartida(item.orden) ? compartidas.value(item.orden) : nullptr) {
                padre->addAction(compartida);
                construidos.acciones.insert(item.orden, compartida);
                continue;
            }
            accion = padre->addAction(titulo);
            break;
        }
        accion->setObjectName(nombre);
        AplicarEstado(*accion, estado);
        if (item.orden != Orden::Ninguna)
            construidos.acciones.insert(item.orden, accion);
    }
    return construidos;
}
