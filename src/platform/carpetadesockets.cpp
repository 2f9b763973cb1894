#include "platform/carpetadesockets.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString Sistema(int numero)
{
    return QString::fromLocal8Bit(std::strerror(numero));
}

// True for a folder (not a link to one) of this user's.
bool EsCarpetaPropia(const struct stat &datos)
{
    return S_ISDIR(datos.st_mode) && datos.st_uid == ::geteuid();
}

} // namespace

std::optional<QString> CarpetaDeSockets(QString *error)
{
    const auto fallar = [error](const QString &motivo) -> std::optional<QString> {
        if (error)
            *error = motivo;
        return std::nullopt;
    };

    const QString deSesion = qEnvironmentVariable("XDG_RUNTIME_DIR");
    struct stat datos {};
    if (!deSesion.isEmpty() && ::lstat(QFile::encodeName(deSesion).constData(), &datos) == 0
        && EsCarpetaPropia(datos) && (datos.st_mode & 077) == 0)
        return QDir::cleanPath(deSesion);

    const QString propia = QDir::tempPath() + u"/brevalux-"_s + QString::number(::geteuid());
    const QByteArray nombre = QFile::encodeName(propia);
    if (::mkdir(nombre.constData(), 0700) != 0 && errno != EEXIST)
        return fallar(u"No se pudo crear la carpeta %1: %2"_s.arg(propia, Sistema(errno)));
    if (::lstat(nombre.constData(), &datos) != 0)
        return fallar(u"No se pudo ver la carpeta %1: %2"_s.arg(propia, Sistema(errno)));
    if (!EsCarpetaPropia(datos))
        return fallar(u"%1 no es una carpeta de este usuario: otro usuario, o algo que no es una carpeta, "
                      u"ocupa ese nombre."_s.arg(propia));
    // This user's, but left open (by hand, or by an old umask): closed now.
    // What others may have put in meanwhile does no harm: a server replaces
    // whatever is at its socket's name, and a client talks only to a process
    // of its own user.
    if ((datos.st_mode & 077) != 0 && ::chmod(nombre.constData(), 0700) != 0)
        return fallar(u"No se pudo cerrar la carpeta %1 a los demás usuarios: %2"_s.arg(propia, Sistema(errno)));
    return propia;
}
