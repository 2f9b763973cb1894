#include "documentopedido.h"

#include "documents/documento.h"
#include "platform/lectortexto.h"

#include <QByteArray>
#include <QIODevice>

#include <algorithm>

using namespace Qt::StringLiterals;

bool EsLaEntradaEstandar(const QString &archivo)
{
    return archivo == DocumentoDeLaEntrada || archivo == u"/dev/stdin"_s || archivo == u"/dev/fd/0"_s;
}

namespace {

std::optional<ErrorDeArchivo> LeerEntrada(QIODevice &entrada, const QString &nombre, TextoLeido &leido)
{
    // A closed or write-only input is no empty document: read as one, it
    // would blank every sign.
    if (!entrada.isReadable())
        return ErrorDeArchivo{nombre, u"La entrada estándar no está abierta para leer."_s};
    // One byte past the limit tells a document that is too large; a pipe has
    // no size to look at beforehand.
    QByteArray bytes;
    char parte[64 * 1024];
    while (bytes.size() <= TamanoMaximoDeDocumento) {
        const qint64 pedidos = std::min<qint64>(sizeof parte, TamanoMaximoDeDocumento + 1 - bytes.size());
        const qint64 leidos = entrada.read(parte, pedidos);
        // The end of the input reads as nothing; a failure (a folder, a
        // descriptor not open for reading) as -1.
        if (leidos < 0)
            return ErrorDeArchivo{nombre, u"No se pudo leer la entrada estándar: "_s + entrada.errorString()};
        if (leidos == 0)
            break;
        bytes.append(parte, leidos);
    }
    if (bytes.size() > TamanoMaximoDeDocumento)
        return ErrorDeArchivo{nombre, u"El documento es demasiado grande: pasa de "_s
                                          + LectorTexto::DescribirTamano(TamanoMaximoDeDocumento) + u"."_s};
    return LeerDocumentoDeBytes(bytes, leido, nombre);
}

} // namespace

std::optional<ErrorDeArchivo> LeerDocumentoPedido(const QString &archivo, QIODevice &entrada, TextoLeido &leido)
{
    const bool esLaEntrada = EsLaEntradaEstandar(archivo);
    const QString nombre = esLaEntrada ? u"(entrada estándar)"_s : archivo;
    TextoLeido delArchivo;
    const auto error = esLaEntrada ? LeerEntrada(entrada, nombre, delArchivo) : LeerDocumento(archivo, delArchivo);
    if (error)
        return error;
    const qsizetype fuera = delArchivo.lineasFueraDelTexto;
    // Its text is empty and lines of it are neither text nor destinations:
    // sent as it reads, it would blank the signs it names.
    if (fuera > 0)
        return ErrorDeArchivo{nombre, u"Tiene la línea \"PROPIEDADES:\" pero no la línea \"TEXTO:\": "
                                      u"%1 líneas tras los destinos no son destinos ni texto."_s.arg(fuera)};
    leido = delArchivo;
    return std::nullopt;
}
