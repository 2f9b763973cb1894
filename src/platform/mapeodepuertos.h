#pragma once

#include <QString>

// Where serial port N (1 to 6) of the configuration is on this computer, in
// this order:
//  1. an entry named "comN" in the current working directory, normally a
//     symbolic link to the real device (ln -s /dev/serial/by-id/usb-... com1);
//  2. on Windows, the device COMN;
//  3. elsewhere, /dev/ttyS<N-1>.
// Looked up afresh at every call, because the working directory decides it.
struct UbicacionDePuerto
{
    QString ruta;    // what is opened: the comN entry itself, or the device
    QString destino; // the device a comN link points to; empty otherwise
    // The device itself, every link followed ("/dev/ttyUSB0" for a by-id
    // link); empty when nothing is there.
    QString dispositivo;
    bool existe = false;    // the device (or the link's target) is there
    bool porEnlace = false; // chosen through a comN entry
};

UbicacionDePuerto UbicarPuerto(int numero);

// For tooltips and error texts: "Com3: /dev/ttyS2", "Com1: /home/ana/com1 ->
// /dev/ttyUSB0", with " (no existe)" when nothing is there.
QString DescribirUbicacion(int numero);
