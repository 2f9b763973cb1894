#pragma once

#include <QIcon>

// The program's icon, drawn here so no image file has to travel with it: an
// amber dot-matrix sign.
QIcon IconoDeLaAplicacion();
