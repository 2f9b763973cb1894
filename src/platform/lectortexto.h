#pragma once

#include "platform/errordearchivo.h"

#include <QFile>
#include <QString>
#include <QStringDecoder>

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

    // A relative `ruta` is taken from the current directory at this call.
    // With tamanoMaximo >= 0 a file of more bytes is refused, here when its
    // size is known beforehand, otherwise by the read that passes the limit.
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

    // True when no line is left. False after a read error, so that the next
    // LeerLinea() reports it.
    bool AlFinal();

    // The next line without its line end. A read error, a file that grew past
    // the maximum, or reading past the end return an error and leave `linea`
    // as it was.
    std::optional<ErrorDeArchivo> LeerLinea(QString &linea);

    void Cerrar();

private:
    // Appends the next block of the file to `m_pendiente`; false at the end of
    // the file or on an error (kept in `error`).
    bool Rellenar();
    ErrorDeArchivo Error(const QString &motivo) const;

    QFile m_archivo;
    // Built in place, as ICU-backed converters do not survive being moved.
    std::optional<QStringDecoder> m_decodificador;
    QString m_rutaNativa;
    QString m_pendiente;          // decoded text not handed out yet, from `m_posicion`
    qsizetype m_posicion = 0;
    qsizetype m_explorado = 0;    // up to here `m_pendiente` holds no line end
    qint64 m_bytesLeidos = 0;
    qint64 m_maximo = -1;
    bool m_finDelArchivo = true;
    std::optional<ErrorDeArchivo> m_error;
};
