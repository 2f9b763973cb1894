#pragma once

#include <QList>

class QAbstractButton;

// A group of option buttons is one stop of the Tab key, and that stop is the
// checked button: Tab lands on the choice in force, the arrows move among
// the others. Qt leaves each button a stop of its own until one has had the
// focus, and then keeps the one last focused, not the one checked.
void UnaParadaEnElMarcado(const QList<QAbstractButton *> &botones);
