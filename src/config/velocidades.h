#pragma once

#include <QList>
#include <QString>

// The line speeds the program offers, slowest first: the configuration file
// takes these, and the serial dialog has one button for each, in this
// order. A new speed is one more number here.
inline const QList<int> &VelocidadesOfrecidas()
{
    static const QList<int> velocidades{2400, 9600};
    return velocidades;
}

// The settings string for a speed: no parity, 8 data bits, 1 stop bit
// ("2400,N,8,1").
inline QString AjustesDeVelocidad(int velocidad)
{
    using namespace Qt::StringLiterals;
    return QString::number(velocidad) + u",N,8,1"_s;
}
