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

std::optional<ErrorDeArchivo> LeerDocumentoPedido(const QString &archivo, QIODevice &entrada, QString &texto,
                                                  QString &propiedades, qsizetype *lineasFueraDelTexto)
{
    if (!EsLaEntradaEstandar(archivo))
        return LeerDocumento(archivo, texto, propiedades, lineasFueraDelTexto);

    const QString nombre = u"(entrada estándar)"_s;
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
    return LeerDocumentoDeBytes(bytes, texto, propiedades, lineasFueraDelTexto, nombre);
}
