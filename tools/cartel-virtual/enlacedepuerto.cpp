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
    : m_nombre(nombreDelEnlace)
    , m_destino(destinoDelEnlace)
{
}

EnlaceDePuerto::~EnlaceDePuerto()
{
    Quitar();
}

bool EnlaceDePuerto::Crear()
{
    const QByteArray ruta = QFile::encodeName(m_nombre);
    struct stat datos {};
    if (lstat(ruta.constData(), &datos) == 0) {
        const QByteArray viejo = DestinoDelEnlace(ruta);
        struct stat delDestino {};
        const bool abandonado = S_ISLNK(datos.st_mode) && viejo.startsWith("/dev/pts/")
                                && stat(viejo.constData(), &delDestino) != 0 && errno == ENOENT;
        if (!abandonado) {
            m_error = u"./%1 ya existe y no es un enlace abandonado a /dev/pts; no se reemplaza"_s.arg(m_nombre);
            return false;
        }
        if (unlink(ruta.constData()) != 0 && errno != ENOENT) {
            m_error = u"no se puede quitar el enlace abandonado %1: %2"_s.arg(
                m_nombre, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
    }
    if (symlink(QFile::encodeName(m_destino).constData(), ruta.constData()) != 0) {
        m_error = u"no se puede crear %1: %2"_s.arg(m_nombre, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_creado = true;
    return true;
}

void EnlaceDePuerto::Quitar()
{
    if (!m_creado)
        return;
    m_creado = false;
    const QByteArray ruta = QFile::encodeName(m_nombre);
    if (DestinoDelEnlace(ruta) == QFile::encodeName(m_destino))
        unlink(ruta.constData());
}
