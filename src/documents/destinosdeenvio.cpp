#include "documents/destinosdeenvio.h"

#include <QHash>

#include <algorithm>

namespace {

// The address byte of a frame.
constexpr qint64 DireccionMaxima = 255;

} // namespace

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

QStringList NombresDesconocidos(const DestinosDeTexto &destinos, const RegistroDeCarteles &registro)
{
    if (destinos.global)
        return {};
    QStringList desconocidos;
    for (const QString &nombre : destinos.nombres) {
        if (!registro.TieneNombre(nombre))
            desconocidos.append(nombre);
    }
    return desconocidos;
}

DestinosDeEnvio DestinosDeEnvioDe(const DestinosDeTexto &destinos, const RegistroDeCarteles &registro)
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
    if (registro.Cantidad() <= 1) {
        // One sign is every sign, as ever; but only a text that names it
        // goes there.
        if (!registro.Vacio() && CartelElegido(destinos, registro.Primero().Nombre()))
            envio.direcciones.append(0);
        return envio;
    }
    const QStringList repetidos = registro.NombresRepetidos();
    for (const Cartel &cartel : registro) {
        const QString &titulo = cartel.Nombre();
        if (!CartelElegido(destinos, titulo))
            continue;
        if (repetidos.contains(titulo.trimmed())) {
            if (!envio.repetidos.contains(titulo.trimmed()))
                envio.repetidos.append(titulo.trimmed());
            continue;
        }
        const qint64 direccion = cartel.Direccion();
        if (direccion < 0 || direccion > DireccionMaxima)
            envio.omitidos.append(cartel.Registro());
        else
            envio.direcciones.append(static_cast<quint8>(direccion));
    }
    return envio;
}

QStringList PartesDeDestinos(const DestinosDeTexto &destinos, const RegistroDeCarteles &registro)
{
    using namespace Qt::StringLiterals;
    if (destinos.global)
        return destinos.sinLeer.isEmpty() ? QStringList{u"Global"_s} : QStringList{};
    QStringList partes;
    if (registro.Cantidad() <= 1) {
        if (!DestinosDeEnvioDe(destinos, registro).NadaQueEnviar())
            partes.append(u"Global"_s);
    } else {
        const QStringList repetidos = registro.NombresRepetidos();
        for (const Cartel &cartel : registro) {
            const QString nombre = cartel.NombreRecortado();
            if (!CartelElegido(destinos, nombre) || repetidos.contains(nombre))
                continue;
            const qint64 direccion = cartel.Direccion();
            if (direccion == 0)
                partes.append(u"todos los carteles (%1)"_s.arg(nombre));
            else if (direccion > 0 && direccion <= DireccionMaxima)
                partes.append(nombre);
        }
    }
    return partes;
}

QString DescribirDestinos(const DestinosDeTexto &destinos, const RegistroDeCarteles &registro)
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
