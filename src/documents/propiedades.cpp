#include "documents/propiedades.h"

#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString Dirs = u"Dirs: "_s;

bool Contiene(const QStringList &nombres, const QString &nombre)
{
    return std::any_of(nombres.cbegin(), nombres.cend(),
                       [&nombre](const QString &otro) { return MismoNombre(otro, nombre); });
}

} // namespace

bool MismoNombre(const QString &a, const QString &b)
{
    return QStringView(a).trimmed() == QStringView(b).trimmed();
}

QString PropiedadesDesdeDestinos(const DestinosDeTexto &destinos, const QStringList &titulos)
{
    if (destinos.global)
        return destinos.sinLeer.isEmpty() ? u"Global"_s : destinos.sinLeer;
    QStringList escritos;
    for (const QString &titulo : titulos) {
        if (Contiene(destinos.nombres, titulo) && !Contiene(escritos, titulo))
            escritos.append(titulo);
    }
    for (const QString &nombre : destinos.nombres) {
        if (!Contiene(escritos, nombre))
            escritos.append(nombre);
    }
    return Dirs + escritos.join(u';');
}

DestinosDeTexto LeerDestinos(const QString &propiedades, const QStringList &titulos)
{
    DestinosDeTexto destinos;
    const qsizetype p = propiedades.indexOf(Dirs);
    if (p < 0) {
        QString linea = propiedades;
        while (linea.endsWith(u'\n') || linea.endsWith(u'\r'))
            linea.chop(1);
        if (!linea.isEmpty() && linea != u"Global"_s)
            destinos.sinLeer = linea;
        return destinos;
    }
    destinos.global = false;

    QString lista = propiedades.mid(p + Dirs.size());
    while (lista.endsWith(u'\n') || lista.endsWith(u'\r'))
        lista.chop(1);
    const QStringList campos = lista.split(u';');

    // Registry names that a ";" of their own splits, by how many extra fields
    // they take; the longest is tried first.
    qsizetype masPuntosYComa = 0;
    QSet<QString> conPuntoYComa;
    for (const QString &titulo : titulos) {
        if (titulo.contains(u';')) {
            conPuntoYComa.insert(titulo.trimmed());
            masPuntosYComa = std::max(masPuntosYComa, titulo.count(u';'));
        }
    }

    // A sign may be named with blanks alone; its name is then written as
    // blanks and must read back as that sign, not as an empty field.
    const bool hayNombreDeBlancos = std::any_of(titulos.cbegin(), titulos.cend(), [](const QString &titulo) {
        return !titulo.isEmpty() && titulo.trimmed().isEmpty();
    });

    for (qsizetype i = 0; i < campos.size();) {
        qsizetype tomados = 1;
        for (qsizetype extra = std::min(masPuntosYComa, campos.size() - 1 - i); extra > 0; --extra) {
            if (conPuntoYComa.contains(campos.mid(i, extra + 1).join(u';').trimmed())) {
                tomados = extra + 1;
                break;
            }
        }
        const QString nombre = campos.mid(i, tomados).join(u';');
        const bool esNombre = !nombre.trimmed().isEmpty() || (hayNombreDeBlancos && !nombre.isEmpty());
        if (esNombre && !Contiene(destinos.nombres, nombre))
            destinos.nombres.append(nombre);
        i += tomados;
    }
    return destinos;
}
