#include "documents/propiedades.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString Dirs = u"Dirs: "_s;

} // namespace

QString PropiedadesDesdeMarcas(bool global, const QStringList &titulos, const QList<bool> &marcas)
{
    if (global)
        return u"Global"_s;
    QString resultado = Dirs;
    bool primero = true;
    const qsizetype items = std::min(titulos.size(), marcas.size());
    for (qsizetype i = 0; i < items; ++i) {
        if (!marcas.at(i))
            continue;
        if (!primero)
            resultado += u';';
        resultado += titulos.at(i);
        primero = false;
    }
    return resultado;
}

void MarcasDesdePropiedades(const QString &propiedades, const QStringList &titulos, bool &global,
                            QList<bool> &marcas)
{
    const qsizetype p = propiedades.indexOf(Dirs);
    if (p < 0) {
        global = true;
        return;
    }
    global = false;
    const qsizetype desde = p + Dirs.size();
    const qsizetype items = std::min(titulos.size(), marcas.size());
    for (qsizetype k = 0; k < items; ++k) {
        const qsizetype donde = propiedades.indexOf(titulos.at(k), desde);
        if (donde < 0)
            continue;
        const qsizetype fin = donde + titulos.at(k).size();
        if (fin == propiedades.size() || propiedades.at(fin) == u';')
            marcas[k] = true;
    }
}
