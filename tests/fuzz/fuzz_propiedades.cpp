// The destination line of a document: read from anything, written back, and
// read again to the same signs.
//
// Input: the registry's names as UTF-8, one per line, up to a line that is
// exactly "--"; then the properties line.

#include "comun.h"

#include "documents/propiedades.h"

#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t tamano)
{
    const QString entrada = TextoUtf8(datos, tamano);
    const qsizetype corte = entrada.indexOf(u"\n--\n"_s);
    QStringList titulos = corte < 0 ? QStringList() : entrada.left(corte).split(u'\n');
    if (titulos.size() > 64)
        titulos.resize(64);
    const QString propiedades = corte < 0 ? entrada : entrada.mid(corte + 4);

    const DestinosDeTexto leidos = LeerDestinos(propiedades, titulos);
    Exigir(leidos.global == !propiedades.contains(u"Dirs: "_s), "Global cuando falta \"Dirs: \"");
    const bool hayNombreDeBlancos = std::any_of(titulos.cbegin(), titulos.cend(), [](const QString &titulo) {
        return !titulo.isEmpty() && titulo.trimmed().isEmpty();
    });
    for (const QString &nombre : leidos.nombres)
        Exigir(!nombre.trimmed().isEmpty() || (hayNombreDeBlancos && !nombre.isEmpty()),
               "ningún nombre vacío, ni de blancos sin un cartel así", nombre);

    // Written once, the line is settled: reading and writing it again gives
    // the same line.
    const QString escrita = PropiedadesDesdeDestinos(leidos, titulos);
    const QString otraVez = PropiedadesDesdeDestinos(LeerDestinos(escrita, titulos), titulos);
    Exigir(otraVez == escrita, "leer y escribir de nuevo da la misma línea", escrita);
    return 0;
}
