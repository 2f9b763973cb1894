#pragma once

#include <QString>
#include <QStringList>

// A sign record is one string "modelo, nombre, direccion". The readers split
// it at commas, not at ", ", so the name keeps the blank that follows the
// first comma and a comma typed inside a name moves the field boundaries.

// The text strictly between the first and the second comma, not trimmed
// (" Un Cartel"). A hand-edited record with fewer fields still gets a name:
// with one comma, everything after it; with none, the whole record.
QString NombreDeCartel(const QString &registro);

// The number at the start of the text after the second comma, leading blanks
// skipped: " 12" gives 12, " Desconocida" 0 (all signs). No second comma, no
// digits there, or a sign before them give 0. A digit string too long for
// qint64 gives its maximum, so callers need only check the byte range.
qint64 DireccionDeCartel(const QString &registro);

// "modelo, nombre, direccion", the fields as given.
QString ArmarRegistroDeCartel(const QString &modelo, const QString &nombre, const QString &direccion);

// Names (trimmed) that more than one sign of the registry has, in registry
// order.
QStringList NombresRepetidos(const QStringList &registro);

// Lines, or names, of one kind of problem that ProblemasDeRegistro() names;
// the rest it only counts.
inline constexpr qsizetype ProblemasNombrados = 10;

// What a hand-edited registry holds that would send texts where nobody
// meant: an address that is neither a number nor "Desconocida" (the message
// says where such a sign's texts go: to the number its address starts with,
// or else to every sign), and names several signs share (a text for that
// name goes to none of them). At most one message per kind, for the
// operator: a single line or name in full, several as a list of the first
// ProblemasNombrados and "y 99.990 más.". Linear in the registry.
QStringList ProblemasDeRegistro(const QStringList &registro);
