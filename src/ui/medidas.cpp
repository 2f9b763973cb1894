#include "medidas.h"

#include <QWidget>

namespace {
constexpr int TwipsPorPulgada = 1440;

int Convertir(int twips, int puntosPorPulgada)
{
    return (twips * puntosPorPulgada + TwipsPorPulgada / 2) / TwipsPorPulgada;
}
} // namespace

int TwipsAPixelesX(const QWidget &ventana, int twips)
{
    return Convertir(twips, ventana.logicalDpiX());
}

int TwipsAPixelesY(const QWidget &ventana, int twips)
{
    return Convertir(twips, ventana.logicalDpiY());
}

QRect RectanguloEnTwips(const QWidget &ventana, int izquierda, int arriba, int ancho, int alto)
{
    return {TwipsAPixelesX(ventana, izquierda), TwipsAPixelesY(ventana, arriba),
            TwipsAPixelesX(ventana, ancho), TwipsAPixelesY(ventana, alto)};
}

QSize TamanoEnTwips(const QWidget &ventana, int ancho, int alto)
{
    return {TwipsAPixelesX(ventana, ancho), TwipsAPixelesY(ventana, alto)};
}
