#include "platform/puertoserie.h"

QString PuertoSerie::Nombre() const
{
    return QStringLiteral("Com%1").arg(Numero());
}

QStringList AplicarAjustesDeLinea(PuertoSerie &puerto, int numero, const QString &ajustes)
{
    QStringList rechazos;
    if (numero != puerto.Numero() && !puerto.PonerNumero(numero))
        rechazos.append(puerto.DescripcionError());
    if (!puerto.PonerAjustes(ajustes))
        rechazos.append(puerto.DescripcionError());
    return rechazos;
}
