#include "documents/destinosdeenvio.h"

#include "config/registrodecartel.h"

#include <QHash>

#include <algorithm>

namespace {

// The address byte of a frame.
constexpr qint64 DireccionMaxima = 255;

} // namespace

QStringList TitulosDeRegistro(const QStringList &registro)
{
    QStringList titulos;
    titulos.reserve(registro.size());
    for (const QString &cartel : registro)
        titulos.append(NombreDeCartel(cartel));
    return titulos;
}

bool CartelElegido(const DestinosDeTexto &destinos, const QString &titulo)
{
    if (destinos.global)
        return false;
    for (const QString &nombre : destinos.nombres) {
        if (MismoNombre(nombre, titulo))
            return true;
    }
    return false;
}

QStringList NombresDesconocidos(const DestinosDeTexto &destinos, const QStringList &registro)
{
    if (destinos.global)
        return {};
    const QStringList titulos = TitulosDeRegistro(registro);
    QStringList desconocidos;
    for (const QString &nombre : destinos.nombres) {
        const bool conocido = std::any_of(titulos.cbegin(), titulos.cend(),
                                          [&nombre](const QString &titulo) { return MismoNombre(nombre, titulo); });
        if (!conocido)
            desconocidos.append(nombre);
    }
    return desconocidos;
}

DestinosDeEnvio DestinosDeEnvioDe(const DestinosDeTexto &destinos, const QStringList &registro)
{
    DestinosDeEnvio envio;
    if (registro.size() <= 1 || destinos.global) {
        envio.direcciones.append(0);
        return envio;
    }
    const QStringList repetidos = NombresRepetidos(registro);
    for (const QString &cartel : registro) {
        const QString titulo = NombreDeCartel(cartel);
        if (!CartelElegido(destinos, titulo))
            continue;
        if (repetidos.contains(titulo.trimmed())) {
            if (!envio.repetidos.contains(titulo.trimmed()))
                envio.repetidos.append(titulo.trimmed());
            continue;
        }
        const qint64 direccion = DireccionDeCartel(cartel);
        if (direccion < 0 || direccion > DireccionMaxima)
            envio.omitidos.append(cartel);
        else
            envio.direcciones.append(static_cast<quint8>(direccion));
    }
    envio.desconocidos = NombresDesconocidos(destinos, registro);
    return envio;
}

QStringList PartesDeDestinos(const DestinosDeTexto &destinos, const QStringList &registro)
{
    using namespace Qt::StringLiterals;
    if (registro.size() <= 1 || destinos.global)
        return {u"Global"_s};
    const QStringList repetidos = NombresRepetidos(registro);
    QStringList partes;
    for (const QString &cartel : registro) {
        const QString nombre = NombreDeCartel(cartel).trimmed();
        if (!CartelElegido(destinos, nombre) || repetidos.contains(nombre))
            continue;
        const qint64 direccion = DireccionDeCartel(cartel);
        if (direccion == 0)
            partes.append(u"todos los carteles (%1)"_s.arg(nombre));
        else if (direccion > 0 && direccion <= DireccionMaxima)
            partes.append(nombre);
    }
    return partes;
}

QString DescribirDestinos(const DestinosDeTexto &destinos, const QStringList &registro)
{
    using namespace Qt::StringLiterals;
    const QStringList partes = PartesDeDestinos(destinos, registro);
    return partes.isEmpty() ? u"sin destino"_s : partes.join(u", "_s);
}

DestinosDeEnvio DestinosDesdePropiedades(const QString &propiedades, const QStringList &registro)
{
    return DestinosDeEnvioDe(LeerDestinos(propiedades, TitulosDeRegistro(registro)), registro);
}
