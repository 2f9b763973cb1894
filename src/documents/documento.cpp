#include "documents/documento.h"

#include "platform/escritortexto.h"
#include "platform/lectortexto.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

const QString MarcaPropiedades = u"PROPIEDADES:"_s;
const QString MarcaTexto = u"TEXTO:"_s;

// Lines of `texto` split at CR LF, LF or a lone CR, as a reading would find
// them once written.
QStringList PartirEnLineas(const QString &texto)
{
    QStringList lineas;
    qsizetype inicio = 0;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lineas.append(texto.mid(inicio, i - inicio));
        if (c == u'\r' && i + 1 < texto.size() && texto.at(i + 1) == u'\n')
            ++i;
        inicio = i + 1;
    }
    lineas.append(texto.mid(inicio));
    return lineas;
}

} // namespace

std::optional<ErrorDeArchivo> LeerDocumento(const QString &ruta, QString &texto, QString &propiedades)
{
    LectorTexto lector;
    if (auto error = lector.Abrir(ruta, TamanoMaximoDeDocumento))
        return error;

    QString leido;
    QString leidas;
    QString linea;
    if (!lector.AlFinal()) {
        if (auto error = lector.LeerLinea(linea))
            return error;
        if (linea == MarcaPropiedades) {
            // Non-empty lines up to "TEXTO:" are joined with nothing between.
            while (!lector.AlFinal() && linea != MarcaTexto) {
                if (auto error = lector.LeerLinea(linea))
                    return error;
                if (linea != MarcaTexto && !linea.isEmpty())
                    leidas += linea;
            }
            if (!lector.AlFinal()) {
                if (auto error = lector.LeerLinea(leido))
                    return error;
            }
        } else if (linea == MarcaTexto) {
            if (!lector.AlFinal()) {
                if (auto error = lector.LeerLinea(leido))
                    return error;
            }
        } else {
            leido = linea;
        }
        // From here every line is text, markers included.
        while (!lector.AlFinal()) {
            if (auto error = lector.LeerLinea(linea))
                return error;
            leido += u"\r\n"_s + linea;
        }
    }
    lector.Cerrar();

    texto = leido;
    propiedades = leidas.isEmpty() ? u"Global\r\n"_s : leidas;
    return std::nullopt;
}

std::optional<ErrorDeArchivo> EscribirDocumento(const QString &ruta, const QString &texto,
                                                const QString &propiedades)
{
    const auto rechazar = [&ruta](const QString &comienzo, const QString &malos) {
        return ErrorDeArchivo{QDir::toNativeSeparators(QFileInfo(ruta).absoluteFilePath()),
                              comienzo + EscritorTexto::DescribirCaracteres(malos)};
    };
    const QString malosDelTexto = EscritorTexto::CaracteresNoRepresentables(texto);
    if (!malosDelTexto.isEmpty())
        return rechazar(u"El texto tiene caracteres que no se pueden guardar: "_s, malosDelTexto);
    const QString malosDePropiedades = EscritorTexto::CaracteresNoRepresentables(propiedades);
    if (!malosDePropiedades.isEmpty())
        return rechazar(u"Los nombres de los destinos tienen caracteres que no se pueden guardar: "_s,
                        malosDePropiedades);

    EscritorTexto escritor;
    if (auto error = escritor.Abrir(ruta))
        return error;
    escritor.EscribirLinea(MarcaPropiedades);
    for (const QString &linea : PartirEnLineas(propiedades))
        escritor.EscribirLinea(linea);
    escritor.EscribirLinea(MarcaTexto);
    for (const QString &linea : PartirEnLineas(texto))
        escritor.EscribirLinea(linea);
    return escritor.Confirmar();
}
