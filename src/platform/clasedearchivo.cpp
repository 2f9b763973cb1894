#include "platform/clasedearchivo.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

#ifdef Q_OS_UNIX

std::optional<QString> MotivoSiNoEsArchivoComun(unsigned int modo)
{
    if (S_ISREG(modo))
        return std::nullopt;
    if (S_ISDIR(modo))
        return u"Es una carpeta, no un archivo."_s;
    if (S_ISFIFO(modo))
        return u"Es una tubería con nombre (FIFO), no un archivo común."_s;
    if (S_ISCHR(modo) || S_ISBLK(modo))
        return u"Es un dispositivo, no un archivo común."_s;
    if (S_ISSOCK(modo))
        return u"Es un socket, no un archivo común."_s;
    return u"No es un archivo común."_s;
}

std::optional<QString> MotivoSiNoEsArchivoComun(const QString &ruta)
{
    struct stat datos {};
    // Nothing there (or a link to nothing): a new file will be made.
    if (::stat(QFile::encodeName(ruta).constData(), &datos) != 0)
        return std::nullopt;
    return MotivoSiNoEsArchivoComun(static_cast<unsigned int>(datos.st_mode));
}

#else

std::optional<QString> MotivoSiNoEsArchivoComun(const QString &ruta)
{
    const QFileInfo informacion(ruta);
    if (!informacion.exists() || informacion.isFile())
        return std::nullopt;
    if (informacion.isDir())
        return u"Es una carpeta, no un archivo."_s;
    return u"No es un archivo común."_s;
}

#endif
