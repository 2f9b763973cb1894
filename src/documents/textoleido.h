#pragma once

#include "config/registrodecarteles.h"
#include "documents/propiedades.h"

#include <QString>

// A text file as its readers get it: the editor, the timetable and
// cartel-enviar read one the same way and differ only in what they do with
// the lines that are neither destinations nor text.
struct TextoLeido
{
    // CR LF line breaks; empty when the file has no text.
    QString texto;
    // The joined non-empty lines between "PROPIEDADES:" and "TEXTO:", or
    // "Global" and CR LF when there are none.
    QString propiedades;
    // In a file with "PROPIEDADES:" and no "TEXTO:", the lines after its
    // destination line: no sign shows them and a save does not write them
    // back. 0 for every other file.
    qsizetype lineasFueraDelTexto = 0;

    // Its choice of signs, read against the registry's names.
    DestinosDeTexto Destinos(const RegistroDeCarteles &registro) const
    {
        return LeerDestinos(propiedades, registro.Titulos());
    }
};
