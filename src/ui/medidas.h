#pragma once

#include <QRect>

class QWidget;

// Window layouts are given in twips (1/1440 inch); converted at the screen's
// logical resolution so the controls keep their proportions on any display.
int TwipsAPixelesX(const QWidget &ventana, int twips);
int TwipsAPixelesY(const QWidget &ventana, int twips);
QRect RectanguloEnTwips(const QWidget &ventana, int izquierda, int arriba, int ancho, int alto);
QSize TamanoEnTwips(const QWidget &ventana, int ancho, int alto);
