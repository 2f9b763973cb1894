#pragma once

#include <QList>

class QAction;
class QMenu;
class QWidget;

// Builds a window's menus in code, each menu and item named as the rest of
// the program (and the tests) look for it: "mnuGuardar", "mnuSeparator1".
class BarraDeMenus
{
public:
    explicit BarraDeMenus(QWidget &duenio) : m_duenio(duenio) {}

    QMenu *Menu(const char *nombre, const char *titulo);
    QMenu *Submenu(QMenu &padre, const char *nombre, const char *titulo);
    QAction *Item(QMenu &menu, const char *nombre, const char *titulo);
    QAction *Separador(QMenu &menu, const char *nombre);

    // The top-level menus in order, for the main window's menu bar.
    const QList<QMenu *> &Menus() const { return m_menus; }

private:
    QWidget &m_duenio;
    QList<QMenu *> m_menus;
};
