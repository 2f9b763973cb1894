#pragma once

#include "config/registrodecarteles.h"
#include "documents/propiedades.h"

#include <QList>
#include <QString>
#include <QStringList>

// Which frames a send makes: one per address, in this order (0 is every
// sign), and the chosen destinations that get none, each for its reason.
struct DestinosDeEnvio
{
    QList<quint8> direcciones;
    // A chosen sign whose address is not 0 to 255, by its whole record.
    QStringList omitidos;
    // Chosen names that several signs share: which of them was meant cannot
    // be told, so none of them gets the text.
    QStringList repetidos;
    // Chosen names no sign has, as the text holds them.
    QStringList desconocidos;
    // The text's properties line when it was not understood: nothing goes
    // anywhere until its signs are chosen again.
    QString sinLeer;

    bool NadaQueEnviar() const { return direcciones.isEmpty(); }
    // Neither every sign nor any sign is chosen.
    bool SinDestinos() const
    {
        return direcciones.isEmpty() && omitidos.isEmpty() && repetidos.isEmpty() && desconocidos.isEmpty() &&
               sinLeer.isEmpty();
    }

    friend bool operator==(const DestinosDeEnvio &, const DestinosDeEnvio &) = default;
};

// Whether the sign named `titulo` is one of the text's destinations.
bool CartelElegido(const DestinosDeTexto &destinos, const QString &titulo);

// Chosen names that no sign of `registro` has.
QStringList NombresDesconocidos(const DestinosDeTexto &destinos, const RegistroDeCarteles &registro);

// Where a text goes. With every sign chosen, one frame to address 0 (none
// when the choice came from a line that was not understood). With one sign
// in the registry, one frame to address 0 when the text names that sign;
// with none, nothing. Otherwise one frame per chosen sign, in registry
// order, to the address its record holds after the second comma
// ("Desconocida", or anything without digits, is 0: every sign). Names no
// sign has get nothing, however few signs there are.
DestinosDeEnvio DestinosDeEnvioDe(const DestinosDeTexto &destinos, const RegistroDeCarteles &registro);

// Where a send would go, in words, for the status line: "Global", the chosen
// signs' names, or "sin destino" and, when there is one, why: the names no
// sign has, or the line that was not understood. A chosen sign whose frame
// goes to every sign (its address is "Desconocida") is "todos los carteles"
// and its name.
QString DescribirDestinos(const DestinosDeTexto &destinos, const RegistroDeCarteles &registro);
// The same, one part per sign (none for "sin destino"), for a send log that
// keeps them apart: names may hold commas.
QStringList PartesDeDestinos(const DestinosDeTexto &destinos, const RegistroDeCarteles &registro);
