#pragma once

#include "platform/errordearchivo.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A sign text is at most 32,766 characters, one byte each on disk; a file far
// beyond that is no document and is refused rather than loaded into an editor.
inline constexpr qint64 TamanoMaximoDeDocumento = 1024 * 1024;

// Reads the document file at `ruta`. On success `texto` holds the text with
// CR LF line breaks (empty when the file has none) and `propiedades` the
// joined non-empty lines between "PROPIEDADES:" and "TEXTO:", or "Global"
// and CR LF when there are none. A file without markers is all text.
// A file that cannot be opened or read in full, is not a regular file, or is
// larger than TamanoMaximoDeDocumento, returns an error and leaves all three
// outputs untouched.
//
// `lineasFueraDelTexto`, when given, receives the number of lines after
// "PROPIEDADES:" in a file that never reaches "TEXTO:": they were all taken
// as properties or dropped, the text is empty, and a save would not write
// them back, so the window warns before that happens. 0 for every other file.
std::optional<ErrorDeArchivo> LeerDocumento(const QString &ruta, QString &texto, QString &propiedades,
                                            qsizetype *lineasFueraDelTexto = nullptr);

// The same reading of a file's bytes already in memory; `nombre` stands for
// the path in errors.
std::optional<ErrorDeArchivo> LeerDocumentoDeBytes(const QByteArray &bytes, QString &texto, QString &propiedades,
                                                   qsizetype *lineasFueraDelTexto = nullptr,
                                                   const QString &nombre = QString());

// Replaces the file at `ruta` with "PROPIEDADES:", the properties line,
// "TEXTO:", the text and a final CR LF, in Windows-1252 with CR LF line ends
// (a lone CR or LF in the text is written as CR LF). The old file stays whole
// on any failure. A text or properties line with characters Windows-1252
// cannot hold writes nothing and returns an error that names them. So does a
// properties line equal to "TEXTO:" or "PROPIEDADES:", which would read back
// as a marker: the save is refused, the file left as it was, and the error's
// reason tells the operator to choose the destinations again. A file that
// would pass TamanoMaximoDeDocumento, which LeerDocumento() refuses, is not
// written either; nor is a path that holds no regular file (a FIFO, a
// device, a link to one).
std::optional<ErrorDeArchivo> EscribirDocumento(const QString &ruta, const QString &texto,
                                                const QString &propiedades);

// The bytes EscribirDocumento() would write, or the same refusal.
std::optional<ErrorDeArchivo> EscribirDocumentoEnBytes(const QString &texto, const QString &propiedades,
                                                       QByteArray &bytes);
