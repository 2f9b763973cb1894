#include "platform/lectortexto.h"

#include "platform/clasedearchivo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <limits>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

QString MotivoDeDemasiadoGrande(qint64 maximo)
{
    return u"El archivo es demasiado grande: pasa de "_s + LectorTexto::DescribirTamano(maximo) + u"."_s;
}

// Opens `absoluta` for reading only if it is a regular file. Opening a node
// is not harmless: a FIFO with no writer holds the caller until someone
// writes to it, a serial device raises its modem lines, and a terminal
// opened by a session leader without one (a runner started by systemd)
// becomes that process's controlling terminal, whose hang-up then kills it.
// So the type is looked at before anything is opened, and the open itself
// neither waits nor takes a terminal, for a node swapped in between; the
// descriptor's own type is what counts. Returns the reason on failure.
std::optional<QString> AbrirArchivoComun(QFile &archivo, const QString &absoluta)
{
#ifdef Q_OS_UNIX
    if (auto motivo = MotivoSiNoEsArchivoComun(absoluta))
        return motivo;
    const QByteArray nombre = QFile::encodeName(absoluta);
    int descriptor = -1;
    do {
        descriptor = ::open(nombre.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) {
        // The same failure through QFile, for the reason in Qt's words; a
        // path that failed to open cannot block either.
        archivo.setFileName(absoluta);
        if (!archivo.open(QIODevice::ReadOnly))
            return archivo.errorString();
        archivo.close();
        return QString::fromLocal8Bit(std::strerror(ENOENT));
    }
    struct stat datos {};
    if (::fstat(descriptor, &datos) != 0) {
        ::close(descriptor);
        return u"No se pudo saber qué clase de archivo es."_s;
    }
    if (auto motivo = MotivoSiNoEsArchivoComun(static_cast<unsigned int>(datos.st_mode))) {
        ::close(descriptor);
        return motivo;
    }
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    archivo.setFileName(absoluta);
    if (!archivo.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return archivo.errorString();
    }
    return std::nullopt;
#else
    if (QFileInfo(absoluta).isDir())
        return u"Es una carpeta, no un archivo."_s;
    archivo.setFileName(absoluta);
    if (!archivo.open(QIODevice::ReadOnly))
        return archivo.errorString();
    return std::nullopt;
#endif
}

} // namespace

QString LectorTexto::DescribirTamano(qint64 bytes)
{
    constexpr qint64 mebibyte = 1024 * 1024;
    if (bytes > 0 && bytes % mebibyte == 0)
        return QString::number(bytes / mebibyte) + u" MiB"_s;
    return QString::number(bytes) + u" bytes"_s;
}

bool LectorTexto::Existe(const QString &ruta)
{
    return QFileInfo::exists(ruta);
}

std::optional<ErrorDeArchivo> LectorTexto::Abrir(const QString &ruta, qint64 tamanoMaximo)
{
    Cerrar();
    QByteArray bytes;
    // No limit still leaves room for the one byte past it that LeerArchivo reads.
    const qint64 maximo = tamanoMaximo >= 0 ? tamanoMaximo : std::numeric_limits<qint64>::max() - 1;
    if (auto error = LeerArchivo(ruta, maximo, bytes))
        return error;
    return AbrirBytes(bytes, QDir::toNativeSeparators(QFileInfo(ruta).absoluteFilePath()));
}

std::optional<ErrorDeArchivo> LectorTexto::AbrirBytes(const QByteArray &bytes, const QString &nombre)
{
    Cerrar();
    m_rutaNativa = nombre;
    // Windows-1252 and Latin-1 differ only in 0x80-0x9F. Without those bytes
    // (every configuration, most texts) the system's converter, whose tables
    // cost more to bring in than the rest of reading ./carteles.ini at
    // start-up, is not needed.
    const bool comoLatin1 = std::none_of(bytes.cbegin(), bytes.cend(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b >= 0x80 && b <= 0x9F;
    });
    if (comoLatin1) {
        m_pendiente = QString::fromLatin1(bytes);
        return std::nullopt;
    }
    QStringDecoder decodificador("windows-1252");
    if (!decodificador.isValid())
        return Error(u"El sistema no tiene la página de códigos Windows-1252."_s);
    m_pendiente = decodificador.decode(bytes);
    return std::nullopt;
}

std::optional<ErrorDeArchivo> LectorTexto::LeerArchivo(const QString &ruta, qint64 tamanoMaximo,
                                                       QByteArray &bytes)
{
    const QString absoluta = QFileInfo(ruta).absoluteFilePath();
    const auto error = [&absoluta](const QString &motivo) {
        return ErrorDeArchivo{QDir::toNativeSeparators(absoluta), motivo};
    };
    QFile archivo;
    if (const auto motivo = AbrirArchivoComun(archivo, absoluta))
        return error(*motivo);
    if (archivo.size() > tamanoMaximo)
        return error(MotivoDeDemasiadoGrande(tamanoMaximo));
    // Up to one byte more than allowed: that byte tells a file that grew, or
    // that reports no size, from one that fits.
    const qint64 tope = tamanoMaximo + 1;
    QByteArray leidos;
    qint64 total = 0;
    while (total < tope) {
        if (total == leidos.size())
            leidos.resize(std::min(tope, std::max({2 * total, archivo.size() + 1, qint64(4096)})));
        const qint64 n = archivo.read(leidos.data() + total, leidos.size() - total);
        if (n < 0)
            return error(archivo.errorString());
        if (n == 0)
            break;
        total += n;
    }
    if (total > tamanoMaximo)
        return error(MotivoDeDemasiadoGrande(tamanoMaximo));
    leidos.truncate(total);
    bytes = std::move(leidos);
    return std::nullopt;
}

bool LectorTexto::AlFinal() const
{
    return m_posicion >= m_pendiente.size();
}

std::optional<ErrorDeArchivo> LectorTexto::LeerLinea(QString &linea)
{
    const QChar *datos = m_pendiente.constData();
    const qsizetype tamano = m_pendiente.size();
    if (m_posicion >= tamano)
        return Error(u"Se intentó leer más allá del final del archivo."_s);
    qsizetype i = m_posicion;
    while (i < tamano && datos[i] != u'\r' && datos[i] != u'\n')
        ++i;
    // The last line may have no line end.
    linea = m_pendiente.mid(m_posicion, i - m_posicion);
    qsizetype siguiente = i + 1;
    if (i < tamano && datos[i] == u'\r' && siguiente < tamano && datos[siguiente] == u'\n')
        ++siguiente;
    m_posicion = std::min(siguiente, tamano);
    return std::nullopt;
}

void LectorTexto::Cerrar()
{
    m_pendiente.clear();
    m_posicion = 0;
}

ErrorDeArchivo LectorTexto::Error(const QString &motivo) const
{
    return ErrorDeArchivo{m_rutaNativa, motivo};
}
