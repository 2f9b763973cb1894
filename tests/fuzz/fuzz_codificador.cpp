// The encoder against a plain reading of its rules, with the bounds every
// encoded message keeps; the line-break conversions and the length check.

#include "comun.h"

#include "encoding/codificador.h"
#include "encoding/saltosdelinea.h"

using namespace Qt::StringLiterals;

namespace {

// The tags in the order they are tried, with their codes, written out again
// rather than taken from the encoder's table.
const QList<QPair<QString, char>> Etiquetas = {
    {u"[normal]"_s, char(130)}, {u"[exp]"_s, char(131)},    {u"[titila]"_s, char(129)},
    {u"[no titila]"_s, char(128)}, {u"[pausa]"_s, char(132)}, {u"[v0]"_s, char(133)},
    {u"[v1]"_s, char(134)},     {u"[v2]"_s, char(135)},     {u"[centra]"_s, char(142)},
    {u"[sube]"_s, char(144)},   {u"[baja]"_s, char(143)},   {u"[izq]"_s, char(145)},
    {u"[esp seg]"_s, char(19)},
};

int Sustituto(char16_t c)
{
    switch (c) {
    case u'\u00E1': return 25;
    case u'\u00E9': return 18;
    case u'\u00ED': return 27;
    case u'\u00F3': return 28;
    case u'\u00FA': return 29;
    case u'\u00D1': return 30;
    case u'\u00F1': return 31;
    case u'\u00BA': return 22;
    case u'\u00BF': return 23;
    case u'\u00A1': return 24;
    case u'\r':
    case u'\n': return 32;
    default: return c < 0x80 ? int(c) : -1;
    }
}

QByteArray Esperado(const QString &texto)
{
    QByteArray resultado;
    qsizetype p = 0;
    while (p < texto.size()) {
        if (texto.at(p) == u'[') {
            bool etiqueta = false;
            for (const auto &[nombre, codigo] : Etiquetas) {
                if (QStringView(texto).sliced(p).startsWith(nombre)) {
                    resultado.append(codigo);
                    p += nombre.size();
                    etiqueta = true;
                    break;
                }
            }
            if (!etiqueta) {
                resultado.append('[');
                ++p;
            }
            continue;
        }
        const int b = Sustituto(texto.at(p).unicode());
        if (b >= 0)
            resultado.append(char(b));
        ++p;
    }
    return resultado;
}

bool SinSaltosSueltos(const QString &texto)
{
    for (qsizetype i = 0; i < texto.size(); ++i) {
        if (texto.at(i) == u'\r' && (i + 1 == texto.size() || texto.at(i + 1) != u'\n'))
            return false;
        if (texto.at(i) == u'\n' && (i == 0 || texto.at(i - 1) != u'\r'))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t tamano)
{
    const QString texto = TextoUtf16(datos, tamano);
    const QByteArray codificado = CodificarTexto(texto);
    Exigir(codificado.size() <= texto.size(), "el mensaje nunca es más largo que el texto");
    for (const char c : codificado) {
        const auto b = static_cast<quint8>(c);
        Exigir(b < 146, "todo byte del mensaje es menor que 146");
        Exigir(b < 136 || b > 141, "los códigos 136 a 141 nunca aparecen");
    }
    Exigir(codificado == Esperado(texto), "el mensaje coincide con una lectura independiente de las reglas");
    Exigir(CodificarTexto(texto) == codificado, "sin estado: el mismo texto da los mismos bytes");

    const QString crLf = SaltosCrLf(texto);
    const QString lf = SaltosLf(texto);
    Exigir(SinSaltosSueltos(crLf), "tras SaltosCrLf todo salto es CR LF");
    Exigir(!lf.contains(u'\r'), "tras SaltosLf no queda ningún CR");
    Exigir(SaltosLf(crLf) == lf, "las dos conversiones coinciden en los saltos");
    Exigir(SaltosCrLf(lf) == crLf, "y vuelven una a la otra");
    Exigir(TextoDemasiadoLargo(texto) == (crLf.size() > LongitudMaximaDeTexto),
           "el límite se cuenta con saltos CR LF");
    return 0;
}
