// The document reader against a reading of its own; then read, save, read
// again: the same document.

#include "comun.h"

#include "documents/documento.h"

using namespace Qt::StringLiterals;

namespace {

struct Lectura
{
    QString texto;
    QString propiedades;
    qsizetype fuera = 0;
};

QString Unir(const QList<QByteArray> &lineas, qsizetype desde)
{
    QStringList partes;
    for (qsizetype i = desde; i < lineas.size(); ++i)
        partes.append(DesdeWindows1252(lineas.at(i)));
    return partes.join(u"\r\n"_s);
}

Lectura Esperada(const QByteArray &bytes)
{
    const QList<QByteArray> lineas = PartirLineas(bytes);
    Lectura esperada;
    if (!lineas.isEmpty()) {
        if (lineas.first() == "PROPIEDADES:") {
            qsizetype marca = lineas.indexOf("TEXTO:", 1);
            const qsizetype finDelBloque = marca < 0 ? lineas.size() : marca;
            if (marca < 0) {
                // No end to the block: its first non-empty line alone is the
                // destinations, and every line after it is left out.
                qsizetype primera = 1;
                while (primera < lineas.size() && lineas.at(primera).isEmpty())
                    ++primera;
                if (primera < lineas.size())
                    esperada.propiedades = DesdeWindows1252(lineas.at(primera));
                esperada.fuera = primera < lineas.size() ? lineas.size() - primera - 1 : lineas.size() - 1;
            } else {
                for (qsizetype i = 1; i < finDelBloque; ++i)
                    esperada.propiedades += DesdeWindows1252(lineas.at(i));
                esperada.texto = Unir(lineas, marca + 1);
            }
        } else if (lineas.first() == "TEXTO:") {
            esperada.texto = Unir(lineas, 1);
        } else {
            esperada.texto = Unir(lineas, 0);
        }
    }
    if (esperada.propiedades.isEmpty())
        esperada.propiedades = u"Global\r\n"_s;
    return esperada;
}

std::optional<ErrorDeArchivo> Leer(const QByteArray &bytes, Lectura &lectura)
{
    TextoLeido leido;
    const auto error = LeerDocumentoDeBytes(bytes, leido);
    lectura = {leido.texto, leido.propiedades, leido.lineasFueraDelTexto};
    return error;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t tamano)
{
    const QByteArray bytes = Bytes(datos, tamano);
    Lectura leida;
    Exigir(!Leer(bytes, leida),
           "unos bytes en memoria siempre se leen");
    const Lectura esperada = Esperada(bytes);
    Exigir(leida.texto == esperada.texto, "el texto coincide con una lectura independiente", leida.texto);
    Exigir(leida.propiedades == esperada.propiedades, "las propiedades coinciden con una lectura independiente",
           leida.propiedades);
    Exigir(leida.fuera == esperada.fuera, "se cuentan las líneas que no son texto");

    // A save at most doubles the bytes (LF becomes CR LF) and adds the
    // markers; beyond half the limit it may be refused for its size.
    if (bytes.size() > (TamanoMaximoDeDocumento - 64) / 2)
        return 0;
    QByteArray guardado;
    const auto error = EscribirDocumentoEnBytes(leida.texto, leida.propiedades, guardado);
    const bool esMarca = leida.propiedades == u"TEXTO:"_s || leida.propiedades == u"PROPIEDADES:"_s;
    Exigir(bool(error) == esMarca, "solo se rechaza guardar destinos que se leerían como una marca");
    if (error) {
        Exigir(!error->motivo.isEmpty(), "un rechazo dice por qué");
        return 0;
    }
    Exigir(guardado.startsWith("PROPIEDADES:\r\n") && guardado.endsWith("\r\n"), "la forma del archivo");

    Lectura releida;
    Exigir(!Leer(guardado, releida),
           "lo guardado se vuelve a leer");
    Exigir(releida.texto == leida.texto, "guardar y volver a leer da el mismo texto", releida.texto);
    // Properties that were empty come back as "Global", which means the same.
    const QString propiedades = leida.propiedades == u"Global\r\n"_s ? u"Global"_s : leida.propiedades;
    Exigir(releida.propiedades == propiedades, "guardar y volver a leer da los mismos destinos",
           releida.propiedades);
    Exigir(releida.fuera == 0, "lo guardado no deja líneas fuera del texto");
    return 0;
}
