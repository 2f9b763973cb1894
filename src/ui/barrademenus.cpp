#include "barrademenus.h"

#include <QMenu>

QMenu *BarraDeMenus::Menu(const char *nombre, const char *titulo)
{
    auto *menu = new QMenu(QString::fromUtf8(titulo), &m_duenio);
    menu->setObjectName(QString::fromLatin1(nombre));
    menu->menuAction()->setObjectName(QString::fromLatin1(nombre));
    m_menus.append(menu);
    return menu;
}

QMenu *BarraDeMenus::Submenu(QMenu &padre, const char *nombre, const char *titulo)
{
    auto *menu = new QMenu(QString::fromUtf8(titulo), &padre);
    menu->menuAction()->setObjectName(QString::fromLatin1(nombre));
    padre.addMenu(menu);
    return menu;
}

QAction *BarraDeMenus::Item(QMenu &menu, const char *nombre, const char *titulo)
{
    QAction *accion = menu.addAction(QString::fromUtf8(titulo));
    accion->setObjectName(QString::fromLatin1(nombre));
    return accion;
}

QAction *BarraDeMenus::Separador(QMenu &menu, const char *nombre)
{
    QAction *accion = menu.addSeparator();
    accion->setObjectName(QString::fromLatin1(nombre));
    return accion;
}
