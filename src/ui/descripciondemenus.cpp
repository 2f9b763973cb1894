#include "descripciondemenus.h"

#include <QMenu>

#include <algorithm>
#include <string_view>

namespace {
// How an item stands in either state of the menu bar.
enum class Estado {
    Habilitado,
    Deshabilitado,
    Oculto,              // hidden, enabled once shown
    OcultoDeshabilitado, // hidden and disabled
    Ausente,             // not in this state: its submenu is not there
};

enum class Tipo { Menu, Submenu, Item, Separador };

// One line of the menu bar, in both its states: with a text active
// (`enEditor`) and without one (`enPrincipal`), the same menus and items
// with other states.
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
// Without a text the editing commands are disabled, and arranging is
// shown but does nothing.
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

MenusConstruidos ConstruirMenus(QWidget &duenio)
{
    MenusConstruidos construidos;
    for (const ItemDeMenu &item : Menus) {
        const QString nombre = QString::fromLatin1(item.nombre);
        const QString titulo = QString::fromUtf8(item.titulo);
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
            // An item of its own that holds the submenu, so that the submenu
            // can be taken off where it has nothing to show.
            auto *menu = new QMenu(titulo, padre);
            menu->setObjectName(nombre);
            construidos.submenus.insert(nombre, menu);
            accion = padre->addAction(titulo);
            accion->setMenu(menu);
            break;
        }
        case Tipo::Separador:
            accion = padre->addSeparator();
            break;
        case Tipo::Item:
            accion = padre->addAction(titulo);
            break;
        }
        accion->setObjectName(nombre);
        construidos.items.insert(nombre, accion);
        if (item.orden != Orden::Ninguna)
            construidos.acciones.insert(item.orden, accion);
    }
    return construidos;
}

void AplicarEstados(const MenusConstruidos &menus, bool conTexto)
{
    for (const ItemDeMenu &item : Menus) {
        QAction *accion = menus.items.value(QString::fromLatin1(item.nombre));
        const Estado estado = conTexto ? item.enEditor : item.enPrincipal;
        // An item absent from this state sits in a submenu that is not
        // there either: it keeps the other state's.
        if (!accion || estado == Estado::Ausente)
            continue;
        if (item.tipo == Tipo::Submenu) {
            QMenu *submenu = menus.submenus.value(QString::fromLatin1(item.nombre));
            QMenu *mostrado = TieneItems(item.nombre, conTexto) ? submenu : nullptr;
            if (accion->menu<QMenu *>() != mostrado)
                accion->setMenu(mostrado);
        }
        const char *titulo = !conTexto && item.tituloEnPrincipal ? item.tituloEnPrincipal : item.titulo;
        if (item.tipo != Tipo::Separador)
            accion->setText(QString::fromUtf8(titulo));
        AplicarEstado(*accion, estado);
    }
}
