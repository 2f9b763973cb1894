#pragma once

// What cartel-enviar's exit status tells a script. Every status but Exito
// and FallaDeLinea means that nothing reached the line.
enum class CodigoDeSalida : int {
    Exito = 0,
    ArgumentosInvalidos = 2,
    ArchivoIlegible = 3,      // the document, ./carteles.ini or the timetable
    CartelesDesconocidos = 4, // a destination name that ./carteles.ini does not hold, or a destination
                              // line that is not understood
    FallaDeLinea = 5,         // the port would not open, the device was lost, the line stopped
    NadaQueEnviar = 6,        // text too long, no destination, or none with a usable address
};

inline int Numero(CodigoDeSalida codigo)
{
    return static_cast<int>(codigo);
}
