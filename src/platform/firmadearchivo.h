#pragma once

#include <QByteArray>
#include <QString>

// What a file held when the program last read or wrote it, to tell later
// whether another program changed it underneath. The content decides, not the
// time stamp: a rewrite with the same bytes is no change, and an edit within
// the file system's time resolution still is one.
class FirmaDeArchivo
{
public:
    // No file at all.
    FirmaDeArchivo() = default;

    // The file at `ruta` as it is now. A file that cannot be read (no
    // permission, not a regular file, over `tamanoMaximo` bytes) is told
    // apart by its size and time instead.
    static FirmaDeArchivo Tomar(const QString &ruta, qint64 tamanoMaximo);
    // The file whose whole content is `bytes`.
    static FirmaDeArchivo DeBytes(const QByteArray &bytes);

    bool Existe() const { return m_existe; }

    friend bool operator==(const FirmaDeArchivo &a, const FirmaDeArchivo &b) = default;

private:
    bool m_existe = false;
    bool m_legible = false;
    QByteArray m_resumen;          // of the content, when readable
    qint64 m_tamano = -1;          // when not readable
    qint64 m_modificado = 0;       // ms since the epoch, when not readable
};

// True when `a` and `b` name the same file: the same device and inode when
// both exist (so a link, "//" or "./" in a path, and a hard link all count as
// one file), else the same absolute path once cleaned.
bool MismoArchivo(const QString &a, const QString &b);
