#pragma once

#include "config/configuracion.h"

class PuertoDeLinea;

// "Com2", or the network line's address as the file has it
// ("192.168.1.50:4001"): how the operator is told which line is used.
QString NombreDeLinea(const Configuracion &configuracion);

// Gives `puerto` the configuration's line: its number and settings, and the
// server when the configuration names one. False when the port refuses the
// number or the settings; its DescripcionError() says why.
bool ConfigurarLinea(PuertoDeLinea &puerto, const Configuracion &configuracion);
