#pragma once

#include <QEvent>
#include <QObject>

// Installed as an event filter on a widget: counts the paints it gets.
class ContadorDePintadas : public QObject
{
public:
    int pintadas = 0;

protected:
    bool eventFilter(QObject *, QEvent *evento) override
    {
        if (evento->type() == QEvent::Paint)
            ++pintadas;
        return false;
    }
};
