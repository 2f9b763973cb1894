#pragma once

#include "documents/textoleido.h"
#include "platform/errordearchivo.h"

#include <QLatin1StringView>
#include <QString>

#include <optional>

class QIODevice;

// The document name that stands for the standard input, as in most commands.
inline constexpr QLatin1StringView DocumentoDeLaEntrada{"-"};

// Whether the document named on the command line is the standard input:
// DocumentoDeLaEntrada, or the names the system gives it ("/dev/stdin",
// "/dev/fd/0"), which for a pipe are no file to be read by name.
bool EsLaEntradaEstandar(const QString &archivo);

// Reads the document named on the command line as LeerDocumento() does, or,
// for the standard input, from `entrada` to its end (a pipe, a here-document
// or a redirected file), with the same size limit. An input that is not open
// for reading or fails to read (closed, a folder) is an error, not an empty
// document. A file really named "-" is reached as "./-". A document with
// "PROPIEDADES:" and no "TEXTO:" is refused too when lines follow its
// destinations: nothing of it can be sent as meant. On an error `leido` is
// left as it was.
std::optional<ErrorDeArchivo> LeerDocumentoPedido(const QString &archivo, QIODevice &entrada, TextoLeido &leido);
