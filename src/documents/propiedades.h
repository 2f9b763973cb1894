#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The destination choice of a document as the one line its file carries, and
// back. `titulos` are the destination items' captions (the signs' names with
// their leading blank) and `marcas` their check marks, item i at position i;
// only the items present in both lists take part.

// "Global" when `global` is set; otherwise "Dirs: " and the captions of the
// marked items, in item order, joined by ";" ("Dirs: " alone when none is).
QString PropiedadesDesdeMarcas(bool global, const QStringList &titulos, const QList<bool> &marcas);

// Without "Dirs: " in `propiedades`: marks Global and leaves the items alone.
// Otherwise unmarks Global and marks each item whose caption's first
// occurrence after "Dirs: " ends the text or is followed by ";". The match
// goes by name, so a document keeps its signs when the registry is reordered;
// items not found keep their mark. The character before a caption is not
// looked at: a caption that is the tail of a listed name matches, and one
// that first occurs as the start of a longer name does not.
void MarcasDesdePropiedades(const QString &propiedades, const QStringList &titulos, bool &global,
                            QList<bool> &marcas);

// The names listed after "Dirs: " that the rule above marks no item for, as
// written and in list order; none without "Dirs: ". The list is cut at each
// ";" that no matched caption covers, so a caption holding ";" stays one
// name; a piece counts as found only when one matched caption is the whole
// of it. A name whose tail alone matched is therefore listed here, and so is
// a caption whose first occurrence starts a longer name. Empty pieces are not
// names.
QStringList NombresSinTitulo(const QString &propiedades, const QStringList &titulos);
