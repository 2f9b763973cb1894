#pragma once

#include <QList>
#include <QString>

// The serial ports the configuration can name, ComN for N from the first to
// the last. The configuration file holds N as one digit, so the last can be
// 9 at most. The serial dialog's buttons and the serial layer's own check
// do not follow these two.
constexpr int PuertoMinimo = 1;
constexpr int PuertoMaximo = 6;

// The line speeds the program offers, slowest first: the configuration file
// takes these, and the serial dialog has one button for each, in this
// order. The configuration reader compares columns 16 to 19 of the interface
// line with each, so a speed here must have exactly four digits: one more
// four-digit number adds a speed, a longer one is never read back.
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
