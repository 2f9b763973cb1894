#pragma once

#include <QString>
#include <QStringList>

// The destination choice of a text: every sign, or the signs it names. A
// sign is chosen by its name, so a text keeps its signs when the registry is
// reordered, and a name no sign has any more stays with the text (and goes
// back into its file) rather than being forgotten by a save.
struct DestinosDeTexto
{
    bool global = true;
    // The names as the file or the menu gave them (a registry name keeps its
    // leading blank), each once, in the order they were chosen. Ignored while
    // `global` is set.
    QStringList nombres;
    // The properties line as the file had it when it is neither "Global"
    // nor a list after "Dirs: " ("DIRS:  Entrada", "Dirs:Entrada"), else
    // empty. Such a text reads as for every sign, with `global` set, but
    // nobody chose that: it is sent nowhere until its signs are chosen
    // again, and a save writes the line back as it came.
    QString sinLeer;

    friend bool operator==(const DestinosDeTexto &, const DestinosDeTexto &) = default;
};

// Two names are the same sign's when they are equal but for surrounding
// blanks: the registry keeps the blank after the record's first comma, a
// hand-written file or a command line does not.
bool MismoNombre(const QString &a, const QString &b);

// The properties line of a text: "Global" (or the line it was read from, when
// that was not understood), or "Dirs: " and the names joined
// by ";" — those of `titulos` (the registry's names) first, in registry
// order and as the registry spells them, then the others in their order.
QString PropiedadesDesdeDestinos(const DestinosDeTexto &destinos, const QStringList &titulos);

// The way back. Without "Dirs: " the text goes to every sign; a line other
// than "Global" (or none) is kept in `sinLeer`. Otherwise its destinations
// are the ";"-separated fields after "Dirs: ", each one a whole name; a name
// of `titulos` that holds ";" itself is taken whole when its pieces stand in
// a row, so what was saved for it reads back the same. Empty fields are no
// names, nor are fields of blanks alone unless a sign of `titulos` has such
// a name: then they are that sign.
DestinosDeTexto LeerDestinos(const QString &propiedades, const QStringList &titulos);
