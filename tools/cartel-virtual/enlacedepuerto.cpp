#include "enlacedepuerto.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The target of a symbolic link, or an empty string when the name is not one.
QByteArray DestinoDelEnlace(const QByteArray &nombre)
{
    char destino[4096];
    const ssize_t n = readlink(nombre.constData(), destino, sizeof destino);
    return n > 0 ? QByteArray(destino, n) : QByteArray();
}

} // namespace

EnlaceDePuerto::EnlaceDePuerto(const QString &nombreDelEnlace, const QString &destinoDelEnlace)
    : nombre(nombreDelEnlace)
    , destino(destinoDelEnlace)
{
}

EnlaceDePuerto::~EnlaceDePuerto()
{
    Quitar();
}

bool EnlaceDePuerto::Crear()
{
    const QByteArray ruta = QFile::encodeName(nombre);
    struct stat datos {};
    if (lstat(ruta.constData(), &datos) == 0) {
        const QByteArray viejo = DestinoDelEnlace(ruta);
        struct stat delDestino {};
        const bool abandonado = S_ISLNK(datos.st_mode) && viejo.startsWith("/dev/pts/")
                                && stat(viejo.constData(), &delDestino) != 0 && errno == ENOENT;
        if (!abandonado) {
            error = u"./%1 ya existe y no es un enlace abandonado a /dev/pts; no se reemplaza"_s.arg(nombre);
            return false;
        }
        if (unlink(ruta.constData()) != 0 && errno != ENOENT) {
            error = u"no se puede quitar el enlace abandonado %1: %2"_s.arg(
                nombre, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
    }
    if (symlink(QFile::encodeName(destino).constData(), ruta.constData()) != 0) {
        error = u"no se puede crear %1: %2"_s.arg(nombre, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    creado = true;
    return true;
}

void EnlaceDePuerto::Quitar()
{
    if (!creado)
        return;
    creado = false;
    const QByteArray ruta = QFile::encodeName(nombre);
    if (DestinoDelEnlace(ruta) == QFile::encodeName(destino))
        unlink(ruta.constData());
}
