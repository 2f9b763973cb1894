#include "documents/propiedades.h"

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

const QString Dirs = u"Dirs: "_s;

// Where `titulo` stands in `propiedades` if it names a destination there: its
// first occurrence from `desde` on, when that ends the text or is followed by
// ";". -1 when it does not.
qsizetype Coincidencia(const QString &propiedades, qsizetype desde, const QString &titulo)
{
    const qsizetype donde = propiedades.indexOf(titulo, desde);
    if (donde < 0)
        return -1;
    const qsizetype fin = donde + titulo.size();
    return fin == propiedades.size() || propiedades.at(fin) == u';' ? donde : -1;
}

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
        if (Coincidencia(propiedades, desde, titulos.at(k)) >= 0)
            marcas[k] = true;
    }
}

QStringList NombresSinTitulo(const QString &propiedades, const QStringList &titulos)
{
    const qsizetype p = propiedades.indexOf(Dirs);
    if (p < 0)
        return {};
    const qsizetype desde = p + Dirs.size();

    // The stretches [inicio, fin) that a caption covers.
    QList<std::pair<qsizetype, qsizetype>> tramos;
    for (const QString &titulo : titulos) {
        const qsizetype donde = Coincidencia(propiedades, desde, titulo);
        if (donde >= 0)
            tramos.append({donde, donde + titulo.size()});
    }
    const auto cubierto = [&tramos](qsizetype i) {
        return std::any_of(tramos.cbegin(), tramos.cend(),
                           [i](const auto &tramo) { return tramo.first <= i && i < tramo.second; });
    };

    // A ";" inside a caption belongs to the name; only the others part names.
    QStringList nombres;
    qsizetype inicio = desde;
    for (qsizetype i = desde; i <= propiedades.size(); ++i) {
        if (i < propiedades.size() && (propiedades.at(i) != u';' || cubierto(i)))
            continue;
        if (i > inicio && !tramos.contains(std::pair{inicio, i}))
            nombres.append(propiedades.mid(inicio, i - inicio));
        inicio = i + 1;
    }
    return nombres;
}
