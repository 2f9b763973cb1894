#pragma once

#include <QFont>

class QWidget;

// The dialogs keep the positions and sizes they were designed with, in
// twips, for a small, narrow system font. Qt's default font is wider and
// taller, and cuts their captions off; a condensed face at a small size
// fits them and stays readable.
QFont FuenteDeDialogos();

// Where a caption still does not fit (a machine without the condensed face
// falls back to a wider one), grows that control just enough, and the
// window with it, so nothing is cut off; what fits is left exactly where
// and as large as it was laid out.
void AgrandarDondeNoCabe(QWidget &ventana);
