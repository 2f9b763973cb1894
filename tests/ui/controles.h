#pragma once

#include <QString>
#include <QWidget>
#include <QtGlobal>

class QAbstractItemView;

// The child control of `ventana` with this object name. A missing one stops
// the whole run: every check that follows would be on nothing.
template <typename T>
T *Control(QWidget *ventana, const QString &nombre)
{
    auto *control = ventana->findChild<T *>(nombre);
    if (!control)
        qFatal("falta el control %s", qPrintable(nombre));
    return control;
}

// True once no top-level window is left. Closing and deleteLater() take some
// turns of the event loop, so it waits for them as QTRY_VERIFY would, and
// names on failure the windows that stayed, for a case that leaks one.
bool NingunaVentanaAbierta();

// Clicks the button of `ventana` with this object name, as the user would.
void Pulsar(QWidget *ventana, const QString &nombre);

// Clicks row `fila` of a list, as the user would, so that the selection is
// the user's own.
void ElegirFila(QAbstractItemView *lista, int fila);
