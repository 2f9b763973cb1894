#pragma once

#include <QString>

// A file that could not be read or written: the readers and writers return
// it, and only windows show it.
struct ErrorDeArchivo
{
    QString ruta;   // as the operator would type it, native separators
    QString motivo; // the system's reason

    QString Texto() const;
};
