#pragma once

#include <QStringList>

// The file dialogs' filters for texts, the second one chosen at first.
inline QStringList FiltrosDeArchivo()
{
    using namespace Qt::StringLiterals;
    return {u"Todos los archivos (*.*)"_s, u"Archivos de texto (*.txt)"_s};
}
