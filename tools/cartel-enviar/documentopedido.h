#pragma once

#include "platform/errordearchivo.h"

#include <QLatin1StringView>
#include <QString>

#include <optional>

class QIODevice;

// The document name that stands for the standard input, as in most commands.
inline constexpr QLatin1StringView DocumentoDeLaEntrada{"-"};

// Reads the document named on the command line as LeerDocumento() does, or,
// for DocumentoDeLaEntrada, from `entrada` to its end (a pipe, a here-document
// or a redirected file), with the same size limit. A file really named "-"
// is reached as "./-".
std::optional<ErrorDeArchivo> LeerDocumentoPedido(const QString &archivo, QIODevice &entrada, QString &texto,
                                                  QString &propiedades, qsizetype *lineasFueraDelTexto);
