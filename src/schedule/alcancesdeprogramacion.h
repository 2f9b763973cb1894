#pragma once

#include "schedule/estadodecarteles.h"
#include "schedule/programacion.h"

#include <QList>
#include <QStringList>

class DocumentosLeidos;

// The reach of each entry's text, entry i at index i, from its document as
// it is on disk now: the text goes where a send of that file goes. A document
// that cannot be read reaches no sign, and `problemas` gets one line for it
// (its path and the reason), once however many entries name it.
QList<AlcanceDeTexto> AlcancesDeProgramacion(const Programacion &programacion, const RegistroDeCarteles &registro,
                                             DocumentosLeidos &documentos, QStringList &problemas);
