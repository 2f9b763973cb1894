#include "documentopedido.h"

#include "documents/documento.h"
#include "platform/lectortexto.h"

#include <QByteArray>
#include <QIODevice>

using namespace Qt::StringLiterals;

std::optional<ErrorDeArchivo> LeerDocumentoPedido(const QString &archivo, QIODevice &entrada, QString &texto,
                                                  QString &propiedades, qsizetype *lineasFueraDelTexto)
{
    if (archivo != DocumentoDeLaEntrada)
        return LeerDocumento(archivo, texto, propiedades, lineasFueraDelTexto);

    const QString nombre = u"(entrada estándar)"_s;
    // One byte past the limit tells a document that is too large; a pipe has
    // no size to look at beforehand.
    QByteArray bytes;
    while (bytes.size() <= TamanoMaximoDeDocumento) {
        const QByteArray parte = entrada.read(TamanoMaximoDeDocumento + 1 - bytes.size());
        if (parte.isEmpty())
            break;
        bytes += parte;
    }
    if (bytes.size() > TamanoMaximoDeDocumento)
        return ErrorDeArchivo{nombre, u"El documento es demasiado grande: pasa de "_s
                                          + LectorTexto::DescribirTamano(TamanoMaximoDeDocumento) + u"."_s};
    return LeerDocumentoDeBytes(bytes, texto, propiedades, lineasFueraDelTexto, nombre);
}
