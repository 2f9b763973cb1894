#pragma once

#include "config/registrodecarteles.h"
#include "platform/errordearchivo.h"

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>

#include <optional>

// The serial settings and the sign registry as a plain value: the serial
// control and the connected-signs list hold the live copies, and the windows
// move them in and out of this value around a load or a save.
struct Configuracion
{
    int puerto = 1;
    QString ajustes = QStringLiteral("9600,N,8,1");
    RegistroDeCarteles carteles;
    // The line is a serial device server when this holds its address
    // ("192.168.1.50:4001", as DireccionDeRed::Texto() writes it, without
    // "tcp:"); empty for a Com line.
    QString red{};
    // The port text of the interface line in force when it was neither
    // "com1" to "com6" nor a tcp address ("COM3", "tcp:equipo"); the port
    // is then read from columns 11 to 14 as ever. Only read, never written.
    QString puertoNoEntendido{};
};

// What the program and cartel-enviar say, once, of a port that was not
// understood; empty when there is none.
QString AvisoDePuertoNoEntendido(const Configuracion &configuracion);

// No real configuration comes near this; a larger file is refused whole, as
// an unreadable one, rather than loaded line by line into the registry.
inline constexpr qint64 TamanoMaximoDeConfiguracion = 1024 * 1024;

// Relative on purpose: it follows the working directory of each read and write.
inline constexpr QLatin1StringView RutaDeConfiguracion{"./carteles.ini"};

// What a machine with no configuration file starts with: port 2,
// "2400,N,8,1", and the record "R560, Un Cartel, Desconocida" appended.
void AplicarValoresDeFabrica(Configuracion &configuracion);

// Applies the file at `ruta` to `configuracion`, which holds the serial
// control's current values and the registry to append to:
// - no file: port 2, "2400,N,8,1" and the one record
//   "R560, Un Cartel, Desconocida"; the file is not created;
// - "cartel..." lines (the seventh character is not looked at) append the
//   rest of the line from the eighth character as a record; "cartel" alone
//   appends an empty record, like "cartel ";
// - "interfase" lines set the port from columns 11-14 ("com1" to "com6") and
//   the speed from columns 16-19 ("2400" or "9600"), each only when valid, so
//   a later line overrides an earlier one field by field; a port that reads
//   "tcp:HOST:PUERTO" up to the first comma or blank sets `red` instead, and
//   the speed is then the four characters after that comma or blank;
// - keywords are case-sensitive; every other line is ignored.
// Only a regular file is read (a FIFO or a device is refused at once, never
// waited on), and only up to TamanoMaximoDeConfiguracion bytes. A file that
// cannot be opened or read in full, or is larger, leaves `configuracion` as it
// was and returns the error. The cost grows linearly with the file.
// `leidos`, when given, receives the file's bytes when it was read whole.
std::optional<ErrorDeArchivo> CargarConfiguracion(Configuracion &configuracion,
                                                  const QString &ruta = RutaDeConfiguracion,
                                                  std::optional<QByteArray> *leidos = nullptr);

// The same reading of a file's bytes already in memory; `nombre` stands for
// the path in errors.
std::optional<ErrorDeArchivo> CargarConfiguracionDeBytes(Configuracion &configuracion, const QByteArray &bytes,
                                                         const QString &nombre = QString());

// Replaces the file with "interfase com<puerto>,<ajustes>" (or
// "interfase tcp:<red>,<ajustes>" for a network line) and one
// "cartel <record>" line per record, CR LF, Windows-1252. On failure the old
// file stays whole; a record with characters Windows-1252 cannot hold fails
// the save (the error names them) rather than come back altered. So does a
// file that would pass TamanoMaximoDeConfiguracion, which the next start
// would refuse, and a path that holds no regular file (a FIFO, a device, a
// link to one): that node is never replaced by a file.
std::optional<ErrorDeArchivo> GuardarConfiguracion(const Configuracion &configuracion,
                                                   const QString &ruta = RutaDeConfiguracion);

// The bytes GuardarConfiguracion() would write, or the same error.
std::optional<ErrorDeArchivo> GuardarConfiguracionEnBytes(const Configuracion &configuracion, QByteArray &bytes);
