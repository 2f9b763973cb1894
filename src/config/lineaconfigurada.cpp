#include "config/lineaconfigurada.h"

#include "config/direcciondered.h"
#include "platform/puertodelinea.h"

using namespace Qt::StringLiterals;

QString NombreDeLinea(const Configuracion &configuracion)
{
    if (!configuracion.red.isEmpty())
        return configuracion.red;
    return u"Com%1"_s.arg(configuracion.puerto);
}

bool ConfigurarLinea(PuertoDeLinea &puerto, const Configuracion &configuracion)
{
    if (!puerto.PonerNumero(configuracion.puerto) || !puerto.PonerAjustes(configuracion.ajustes))
        return false;
    // The reader let through only what reads as an address.
    const auto red = InterpretarDireccionDeRed(QString(PrefijoDeRed + configuracion.red));
    if (red)
        puerto.PonerRed(red->anfitrion, red->puerto);
    else
        puerto.PonerRed({}, 0);
    return true;
}
