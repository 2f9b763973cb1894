#pragma once

#include "platform/errordearchivo.h"

#include <QByteArray>
#include <QDate>
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QTime>

#include <optional>

// One line of the timetable: a saved text and when it is to be shown.
struct EntradaDeProgramacion
{
    // A document file, relative to the working folder or absolute, exactly as
    // the file holds it; its destinations are read from it at each send.
    QString archivo;
    // Bit (d - 1) for Qt::DayOfWeek d, Monday the lowest; 0 (no day ticked,
    // "dias": [] in the file) is every day. The days are those on which a
    // run starts.
    quint8 dias = 0;
    QTime desde{0, 0};
    // None: to the end of the day. At or before `desde`: past midnight, into
    // the next day, still belonging to the day it started.
    std::optional<QTime> hasta;
    std::optional<QDate> desdeFecha;
    std::optional<QDate> hastaFecha;
    bool activa = true;

    friend bool operator==(const EntradaDeProgramacion &, const EntradaDeProgramacion &) = default;
};

// The list order is the priority: of two entries active for the same sign at
// once, the later one is shown.
struct Programacion
{
    QList<EntradaDeProgramacion> entradas;

    friend bool operator==(const Programacion &, const Programacion &) = default;
};

// The only version of the file this program reads and writes.
inline constexpr int VersionDeProgramacion = 1;

// Beside ./carteles.ini, and like it relative to each read and write.
inline constexpr QLatin1StringView RutaDeProgramacion{"./programacion.json"};

// A timetable is a few hundred lines at most; a larger file is no timetable.
inline constexpr qint64 TamanoMaximoDeProgramacion = 1024 * 1024;

// "lu", "ma", "mi", "ju", "vi", "sa", "do" for Qt::DayOfWeek 1 to 7.
QLatin1StringView NombreDeDia(int dia);

// Reads the timetable at `ruta` into `programacion`. No file is an empty
// timetable. Anything else that is not a version-1 timetable exactly as
// written by EscribirProgramacion() (a JSON error, another version, an
// unknown or malformed field) leaves `programacion` empty and returns an error
// whose reason names the line and column, or the entry and field, at fault.
// A timetable that failed to read must not be written back: the operator's
// file would be lost.
std::optional<ErrorDeArchivo> LeerProgramacion(const QString &ruta, Programacion &programacion);

// The same reading of bytes already in memory; `nombre` stands for the path
// in errors.
std::optional<ErrorDeArchivo> LeerProgramacionDeBytes(const QByteArray &bytes, Programacion &programacion,
                                                      const QString &nombre = QString());

// Indented UTF-8 JSON with every field of every entry, in a fixed order
// (archivo, dias, desde, hasta, desde_fecha, hasta_fecha, activa); every day
// is written as the seven days, no end or no date as null.
QByteArray ProgramacionEnBytes(const Programacion &programacion);

// Replaces the file at `ruta` with ProgramacionEnBytes(); the old file stays
// whole on any failure. A timetable that would not read back the same (an
// entry with no file, dates swapped, a time with seconds) writes nothing and
// returns why.
std::optional<ErrorDeArchivo> EscribirProgramacion(const QString &ruta, const Programacion &programacion);
