#include "link/plandeenvio.h"

#include "link/trama.h"

using namespace Qt::StringLiterals;

PlanDeEnvio PlanearMensajeDeDirecciones()
{
    PlanDeEnvio plan;
    plan.cadenas.append(ArmarMensajeDeDirecciones());
    return plan;
}

QStringList DestinosDeLasCadenas(const PlanDeEnvio &plan)
{
    QStringList destinos;
    for (const QByteArray &cadena : plan.cadenas) {
        if (cadena.size() >= 2 && static_cast<quint8>(cadena.at(0)) == ByteTramaADireccion)
            destinos.append(u"dirección %1"_s.arg(static_cast<quint8>(cadena.at(1))));
        else
            destinos.append(u"todos"_s);
    }
    return destinos;
}
