#pragma once

#include <QString>

// The clipboard in plain-text form only.
class Portapapeles
{
public:
    static void Limpiar();
    static void PonerTexto(const QString &texto);
    static QString TomarTexto();
};
