#include "documents/destinosdeenvio.h"

#include "config/registrodecartel.h"
#include "documents/propiedades.h"

namespace {

// The address byte of a frame.
constexpr qint64 DireccionMaxima = 255;

} // namespace

DestinosDeEnvio DestinosDesdeMarcas(bool destinosVisibles, bool global, const QList<bool> &marcas,
                                    const QStringList &titulos, const QStringList &registro)
{
    DestinosDeEnvio destinos;
    if (!destinosVisibles || global) {
        destinos.direcciones.append(0);
        return destinos;
    }
    for (qsizetype i = 0; i < marcas.size(); ++i) {
        if (!marcas.at(i))
            continue;
        // The registry shrank under a mark: there is no sign to address.
        if (i >= registro.size()) {
            destinos.omitidos.append(titulos.value(i).trimmed());
            continue;
        }
        const qint64 direccion = DireccionDeCartel(registro.at(i));
        if (direccion < 0 || direccion > DireccionMaxima)
            destinos.omitidos.append(registro.at(i));
        else
            destinos.direcciones.append(static_cast<quint8>(direccion));
    }
    return destinos;
}

QStringList TitulosDeRegistro(const QStringList &registro)
{
    QStringList titulos;
    titulos.reserve(registro.size());
    for (const QString &cartel : registro)
        titulos.append(NombreDeCartel(cartel));
    return titulos;
}

DestinosDeEnvio DestinosDesdePropiedades(const QString &propiedades, const QStringList &registro)
{
    const QStringList titulos = TitulosDeRegistro(registro);
    bool global = true;
    QList<bool> marcas(registro.size(), false);
    MarcasDesdePropiedades(propiedades, titulos, global, marcas);
    return DestinosDesdeMarcas(registro.size() > 1, global, marcas, titulos, registro);
}
