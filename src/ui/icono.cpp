#include "icono.h"

#include <QPainter>
#include <QPixmap>

namespace {
QPixmap Dibujar(int lado)
{
    QPixmap imagen(lado, lado);
    imagen.fill(Qt::transparent);
    QPainter pintor(&imagen);
    pintor.setRenderHint(QPainter::Antialiasing);

    const qreal margen = lado / 16.0;
    const QRectF tablero(margen, lado * 0.22, lado - 2 * margen, lado * 0.56);
    pintor.setPen(Qt::NoPen);
    pintor.setBrush(QColor(0x20, 0x20, 0x24));
    pintor.drawRoundedRect(tablero, lado / 12.0, lado / 12.0);

    // A short message in lit dots: five columns by three rows.
    constexpr int Columnas = 5;
    constexpr int Filas = 3;
    constexpr bool Encendidos[Filas][Columnas] = {
        {true, false, true, true, true},
        {true, true, true, false, true},
        {true, false, true, true, true},
    };
    const qreal pasoX = tablero.width() / (Columnas + 1);
    const qreal pasoY = tablero.height() / (Filas + 1);
    const qreal radio = qMin(pasoX, pasoY) * 0.36;
    for (int fila = 0; fila < Filas; ++fila) {
        for (int columna = 0; columna < Columnas; ++columna) {
            pintor.setBrush(Encendidos[fila][columna] ? QColor(0xFF, 0xB0, 0x20) : QColor(0x55, 0x40, 0x20));
            pintor.drawEllipse(QPointF(tablero.left() + pasoX * (columna + 1), tablero.top() + pasoY * (fila + 1)),
                               radio, radio);
        }
    }
    return imagen;
}
} // namespace

QIcon IconoDeLaAplicacion()
{
    QIcon icono;
    for (int lado : {16, 24, 32, 48, 64})
        icono.addPixmap(Dibujar(lado));
    return icono;
}
