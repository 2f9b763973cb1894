#pragma once

#include "platform/errordearchivo.h"

#include <QDateTime>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>

#include <optional>

// One send, the timetable's or the operator's own, as the send log keeps it.
struct EnvioAnotado
{
    QDateTime momento;
    QStringList carteles; // the signs' names, or "Global"
    QString archivo;      // the document, or empty for an unsaved text
    qsizetype bytes = 0;  // what went on the line
    QString resultado;    // "enviado", or what failed
};

// Beside ./carteles.ini, relative to each write.
inline constexpr QLatin1StringView RutaDelRegistroDeEnvios{"./envios.log"};

// The log never grows past this: a write that would pass it first moves the
// log to "<ruta>.1", replacing the one there, and starts it anew.
inline constexpr qint64 TamanoMaximoDelRegistroDeEnvios = 1024 * 1024;

// The line for `envio`, without its line end: the moment in ISO 8601 with its
// offset (so that a repeated hour reads unambiguously), the signs joined by
// "; ", the file, the bytes and the result, separated by tabs. Tabs and line
// breaks inside a field become blanks, so that one send stays one line.
QString LineaDeEnvio(const EnvioAnotado &envio);

// Appends LineaDeEnvio() and LF to the log at `ruta` in UTF-8, rotating it
// first when needed. A failure is returned, never shown: a send that went out
// is not undone because its line could not be kept.
std::optional<ErrorDeArchivo> AnotarEnvio(const EnvioAnotado &envio,
                                          const QString &ruta = RutaDelRegistroDeEnvios);
