#pragma once

#include <QString>

// What "Interfase Serie" chose: a port from 1 to 6, or a serial device
// server on the network, and the line's settings.
struct LineaElegida {
    // The port, 1 to 6; 0 while none is selected. A network line chosen
    // in the dialog has none; the line in use keeps its port beneath.
    int numero = 0;
    // "192.168.1.50:4001"; empty for a port.
    QString red;
    // "9600,N,8,1"; the speed is missing while none is selected.
    QString ajustes;
};
