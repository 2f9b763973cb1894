#include "portapapeles.h"

#include <QClipboard>
#include <QGuiApplication>

void Portapapeles::Limpiar()
{
    QGuiApplication::clipboard()->clear();
}

void Portapapeles::PonerTexto(const QString &texto)
{
    QGuiApplication::clipboard()->setText(texto);
}

QString Portapapeles::TomarTexto()
{
    return QGuiApplication::clipboard()->text();
}
