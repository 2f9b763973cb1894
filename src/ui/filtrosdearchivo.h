#pragma once

#include <QStringList>

// The file dialogs' filters for texts, the second one chosen at first.
inline QStringList FiltrosDeArchivo()
{
    return {QStringLiteral("Todos los archivos (*.*)"), QStringLiteral("Archivos de texto (*.txt)")};
}
