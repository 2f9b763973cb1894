#pragma once

#include <QByteArray>
#include <QString>

// Whole files as raw bytes, for tests that lay a file down byte for byte or
// check what a writer left on disk, with no text conversion in between.

// True only if the file was created or emptied and every byte went in.
bool EscribirBytes(const QString &ruta, const QByteArray &bytes);

// Everything the file holds. A file that cannot be opened gives a marker that
// no test expects, so a comparison with it fails and shows why.
QByteArray LeerBytes(const QString &ruta);
