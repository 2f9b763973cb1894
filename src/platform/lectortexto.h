#pragma once

#include "platform/errordearchivo.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Reads a text file line by line in Windows-1252, the single-byte code page
// the configuration and the documents are kept in. A line ends at CR LF, LF or
// a lone CR, so files edited on any system read the same; the line end is not
// part of the line. Any byte sequence is accepted: NULs and bytes the code page
// leaves undefined come through as characters of their own.
//
// Usage: Abrir() or AbrirBytes(), then LeerLinea() while !AlFinal(), then
// Cerrar() (or let the reader go out of scope).
//
// Only regular files are read: a FIFO would block until someone writes to
// it, and a device may never end. Both are refused before anything is read.
class LectorTexto
{
public:
    LectorTexto() = default;
    LectorTexto(const LectorTexto &) = delete;
    LectorTexto &operator=(const LectorTexto &) = delete;

    // True when something exists at `ruta` (a directory too: opening it then
    // fails with a reason the operator can read).
    static bool Existe(const QString &ruta);

    // Reads the whole file at once, as LeerArchivo() does (no limit when
    // tamanoMaximo < 0); every failure, a read error included, is returned
    // here. A relative `ruta` is taken from the current directory at this call.
    std::optional<ErrorDeArchivo> Abrir(const QString &ruta, qint64 tamanoMaximo = -1);

    // Reads lines out of bytes already in memory, decoded as a file would be.
    // `nombre` stands for the path in errors.
    std::optional<ErrorDeArchivo> AbrirBytes(const QByteArray &bytes, const QString &nombre = QString());

    // The whole content of the regular file at `ruta`, refused when it holds
    // more than `tamanoMaximo` bytes (checked before reading and again while
    // reading, as files under /proc report no size). On error `bytes` is left
    // as it was.
    static std::optional<ErrorDeArchivo> LeerArchivo(const QString &ruta, qint64 tamanoMaximo,
                                                     QByteArray &bytes);

    // A limit as the operator reads it: "1 MiB", or "1000 bytes".
    static QString DescribirTamano(qint64 bytes);

    // True when no line is left.
    bool AlFinal() const;

    // The next line without its line end. Reading past the end returns an
    // error and leaves `linea` as it was.
    std::optional<ErrorDeArchivo> LeerLinea(QString &linea);

    void Cerrar();

private:
    ErrorDeArchivo Error(const QString &motivo) const;

    QString m_rutaNativa;
    QString m_pendiente; // the decoded text, handed out from `m_posicion`
    qsizetype m_posicion = 0;
};
