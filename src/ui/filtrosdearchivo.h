#pragma once

#include "platform/dialogodearchivo.h"

#include <QStringList>

// The file dialogs' filters for texts, the second one chosen at first.
inline QStringList FiltrosDeArchivo()
{
    using namespace Qt::StringLiterals;
    return {u"Todos los archivos (*.*)"_s, u"Archivos de texto (*.txt)"_s};
}

// A file dialog for a text, titled `titulo`, with those filters.
inline DialogoDeArchivo::Pedido PedidoDeTexto(const QString &titulo)
{
    DialogoDeArchivo::Pedido pedido;
    pedido.titulo = titulo;
    pedido.filtros = FiltrosDeArchivo();
    pedido.filtroElegido = 1;
    return pedido;
}
