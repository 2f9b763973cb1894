// The destination conversions: the properties line built from the menu's
// marks, and the marks set again from it.
//
// Input: a byte of flags (bit 0: Global), eight bytes of marks (one bit per
// item), then the captions as UTF-8, one per line.

#include "comun.h"

#include "documents/propiedades.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

// Captions that the line can carry apart from each other: none empty, none
// with ";", no two alike, none inside another. Others match by design in ways
// a round trip cannot keep (a caption that is the tail of another matches it).
bool Separables(const QStringList &titulos)
{
    for (qsizetype i = 0; i < titulos.size(); ++i) {
        if (titulos.at(i).isEmpty() || titulos.at(i).contains(u';'))
            return false;
        for (qsizetype j = 0; j < titulos.size(); ++j) {
            if (i != j && titulos.at(j).contains(titulos.at(i)))
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t tamano)
{
    if (tamano < 9)
        return 0;
    const bool global = datos[0] & 1;
    QStringList titulos = TextoUtf8(datos + 9, tamano - 9).split(u'\n');
    if (titulos.size() > 64)
        titulos.resize(64);
    QList<bool> marcas;
    for (qsizetype i = 0; i < titulos.size(); ++i)
        marcas.append((datos[1 + i / 8] >> (i % 8)) & 1);

    const QString propiedades = PropiedadesDesdeMarcas(global, titulos, marcas);
    QStringList marcados;
    for (qsizetype i = 0; i < titulos.size(); ++i) {
        if (marcas.at(i))
            marcados.append(titulos.at(i));
    }
    Exigir(propiedades == (global ? u"Global"_s : u"Dirs: "_s + marcados.join(u';')),
           "Global, o \"Dirs: \" y los títulos marcados unidos por \";\"", propiedades);

    bool globalLeido = !global;
    QList<bool> leidas(titulos.size(), false);
    MarcasDesdePropiedades(propiedades, titulos, globalLeido, leidas);
    Exigir(globalLeido == global, "Global vuelve como se escribió");
    if (global)
        Exigir(!leidas.contains(true), "con Global no se marca ningún destino");
    else if (Separables(titulos))
        Exigir(leidas == marcas, "las marcas vuelven como se escribieron", propiedades);

    // Any line at all: Global exactly when "Dirs: " is missing, and a mark
    // already set is never taken away.
    const QString cualquiera = TextoUtf8(datos + 9, tamano - 9);
    QList<bool> antes = marcas;
    bool globalDeCualquiera = false;
    MarcasDesdePropiedades(cualquiera, titulos, globalDeCualquiera, antes);
    Exigir(globalDeCualquiera == !cualquiera.contains(u"Dirs: "_s), "Global cuando falta \"Dirs: \"");
    for (qsizetype i = 0; i < marcas.size(); ++i)
        Exigir(!marcas.at(i) || antes.at(i), "una marca puesta no se quita");
    return 0;
}
