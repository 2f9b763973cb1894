#pragma once

#include <QString>

#include <optional>

// The readers and the writer deal in regular files only. A FIFO would hold a
// reader until someone wrote to it; a device may never end; and replacing
// either, or a socket, would turn the node itself into a file and take it
// away from whatever uses it. A link counts as what it leads to.

// Why what is at `ruta` is not a regular file, in the operator's words;
// nothing for a regular file, or when nothing is there at all.
std::optional<QString> MotivoSiNoEsArchivoComun(const QString &ruta);

#ifdef Q_OS_UNIX
// The same for the type bits of a stat() mode, for a file already open.
std::optional<QString> MotivoSiNoEsArchivoComun(unsigned int modo);
#endif
