#include "platform/firmadearchivo.h"

#include "platform/lectortexto.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

FirmaDeArchivo FirmaDeArchivo::Tomar(const QString &ruta, qint64 tamanoMaximo)
{
    const QFileInfo info(ruta);
    if (!info.exists())
        return {};
    QByteArray bytes;
    if (!info.isFile() || LectorTexto::LeerArchivo(ruta, tamanoMaximo, bytes)) {
        FirmaDeArchivo firma;
        firma.m_existe = true;
        firma.m_tamano = info.size();
        firma.m_modificado = info.lastModified().toMSecsSinceEpoch();
        return firma;
    }
    return DeBytes(bytes);
}

FirmaDeArchivo FirmaDeArchivo::DeBytes(const QByteArray &bytes)
{
    FirmaDeArchivo firma;
    firma.m_existe = true;
    firma.m_legible = true;
    firma.m_resumen = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    return firma;
}

bool MismoArchivo(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    struct stat sa {};
    struct stat sb {};
    const QByteArray ra = QFile::encodeName(a);
    const QByteArray rb = QFile::encodeName(b);
    if (::stat(ra.constData(), &sa) == 0 && ::stat(rb.constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}
