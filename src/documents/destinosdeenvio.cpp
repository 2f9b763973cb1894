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
    if (destinos.global) {
        if (destinos.sinLeer.isEmpty())
            envio.direcciones.append(0);
        else
            envio.sinLeer = destinos.sinLeer;
        return envio;
    }
    envio.desconocidos = NombresDesconocidos(destinos, registro);
    if (registro.size() <= 1) {
        // One sign is every sign, as ever; but only a text that names it
        // goes there.
        if (!registro.isEmpty() && CartelElegido(destinos, NombreDeCartel(registro.first())))
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
    return envio;
}

QStringList PartesDeDestinos(const DestinosDeTexto &destinos, const QStringList &registro)
{
    using namespace Qt::StringLiterals;
    if (destinos.global)
        return destinos.sinLeer.isEmpty() ? QStringList{u"Global"_s} : QStringList{};
    QStringList partes;
    if (registro.size() <= 1) {
        if (!DestinosDeEnvioDe(destinos, registro).NadaQueEnviar())
            partes.append(u"Global"_s);
    } else {
        const QStringList repetidos = NombresRepetidos(registro);
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
    }
    return partes;
}

QString DescribirDestinos(const DestinosDeTexto &destinos, const QStringList &registro)
{
    using namespace Qt::StringLiterals;
    if (destinos.global && !destinos.sinLeer.isEmpty())
        return u"sin destino: no se entiende la línea «%1»"_s.arg(destinos.sinLeer);
    const QStringList partes = PartesDeDestinos(destinos, registro);
    if (!partes.isEmpty())
        return partes.join(u", "_s);
    // Kept names that no sign has can leave a text with no mark at all; the
    // operator must see why it goes nowhere.
    QStringList desconocidos;
    for (const QString &nombre : NombresDesconocidos(destinos, registro))
        desconocidos.append(u"«"_s + nombre.trimmed() + u"»"_s);
    if (desconocidos.isEmpty())
        return u"sin destino"_s;
    return u"sin destino: %1 %2 en Carteles Conectados"_s.arg(desconocidos.join(u", "_s),
                                                              desconocidos.size() == 1 ? u"no está"_s
                                                                                       : u"no están"_s);
}

DestinosDeEnvio DestinosDesdePropiedades(const QString &propiedades, const QStringList &registro)
{
    return DestinosDeEnvioDe(LeerDestinos(propiedades, TitulosDeRegistro(registro)), registro);
}
