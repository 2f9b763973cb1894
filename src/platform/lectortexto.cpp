#include "platform/lectortexto.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 TamanoDeBloque = 64 * 1024;

QString DescribirTamano(qint64 bytes)
{
    constexpr qint64 mebibyte = 1024 * 1024;
    if (bytes > 0 && bytes % mebibyte == 0)
        return QString::number(bytes / mebibyte) + u" MiB"_s;
    return QString::number(bytes) + u" bytes"_s;
}

} // namespace

bool LectorTexto::Existe(const QString &ruta)
{
    return QFileInfo::exists(ruta);
}

std::optional<ErrorDeArchivo> LectorTexto::Abrir(const QString &ruta, qint64 tamanoMaximo)
{
    Cerrar();
    const QString absoluta = QFileInfo(ruta).absoluteFilePath();
    rutaNativa = QDir::toNativeSeparators(absoluta);
    maximo = tamanoMaximo;
    decodificador.emplace("windows-1252");
    if (!decodificador->isValid())
        return Error(u"El sistema no tiene la página de códigos Windows-1252."_s);

    archivo.setFileName(absoluta);
    if (!archivo.open(QIODevice::ReadOnly)) {
        auto fallo = Error(archivo.errorString());
        archivo.setFileName(QString());
        return fallo;
    }
    // Sequential files (pipes, /proc) report no size; the limit is then
    // enforced while reading.
    if (maximo >= 0 && !archivo.isSequential() && archivo.size() > maximo) {
        archivo.close();
        return Error(u"El archivo es demasiado grande: pasa de "_s + DescribirTamano(maximo) + u"."_s);
    }
    finDelArchivo = false;
    return std::nullopt;
}

bool LectorTexto::AlFinal()
{
    while (!error) {
        if (posicion < pendiente.size())
            return false;
        if (finDelArchivo || !Rellenar())
            return !error;
    }
    return false;
}

std::optional<ErrorDeArchivo> LectorTexto::LeerLinea(QString &linea)
{
    if (error)
        return error;
    for (;;) {
        const QChar *datos = pendiente.constData();
        const qsizetype tamano = pendiente.size();
        qsizetype i = std::max(explorado, posicion);
        while (i < tamano && datos[i] != u'\r' && datos[i] != u'\n')
            ++i;
        explorado = i;

        if (i < tamano) {
            // A CR at the very end of what was read may be the first half of
            // CR LF: look at the next block before deciding.
            if (datos[i] == u'\r' && i + 1 == tamano && !finDelArchivo) {
                Rellenar();
                if (error)
                    return error;
                continue;
            }
            linea = pendiente.mid(posicion, i - posicion);
            qsizetype siguiente = i + 1;
            if (datos[i] == u'\r' && siguiente < tamano && datos[siguiente] == u'\n')
                ++siguiente;
            posicion = siguiente;
            explorado = siguiente;
            return std::nullopt;
        }

        if (!finDelArchivo) {
            Rellenar();
            if (error)
                return error;
            continue;
        }

        // Last line, without a line end.
        if (posicion < tamano) {
            linea = pendiente.mid(posicion);
            posicion = explorado = tamano;
            return std::nullopt;
        }
        return Error(u"Se intentó leer más allá del final del archivo."_s);
    }
}

void LectorTexto::Cerrar()
{
    if (archivo.isOpen())
        archivo.close();
    pendiente.clear();
    posicion = explorado = 0;
    bytesLeidos = 0;
    finDelArchivo = true;
    error.reset();
}

bool LectorTexto::Rellenar()
{
    if (finDelArchivo || error)
        return false;
    // Drop what was handed out; the rest is at most the line being gathered.
    if (posicion > 0) {
        pendiente.remove(0, posicion);
        explorado -= posicion;
        posicion = 0;
    }
    QByteArray bloque(TamanoDeBloque, Qt::Uninitialized);
    const qint64 leidos = archivo.read(bloque.data(), bloque.size());
    if (leidos < 0) {
        error = Error(archivo.errorString());
        return false;
    }
    if (leidos == 0) {
        finDelArchivo = true;
        archivo.close();
        return false;
    }
    bytesLeidos += leidos;
    if (maximo >= 0 && bytesLeidos > maximo) {
        error = Error(u"El archivo es demasiado grande: pasa de "_s + DescribirTamano(maximo) + u"."_s);
        return false;
    }
    bloque.truncate(leidos);
    // One byte is one character in this code page, so a block boundary never
    // splits a character and line ends are found in the decoded text.
    pendiente += decodificador->decode(bloque);
    return true;
}

ErrorDeArchivo LectorTexto::Error(const QString &motivo) const
{
    return ErrorDeArchivo{rutaNativa, motivo};
}
