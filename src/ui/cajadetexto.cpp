#include "cajadetexto.h"

#include <QMimeData>
#include <QTextCursor>

CajaDeTexto::CajaDeTexto(QWidget *parent) : QPlainTextEdit(parent) {}

QString CajaDeTexto::Crudo(QString texto)
{
    texto.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    texto.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return texto;
}

QMimeData *CajaDeTexto::createMimeDataFromSelection() const
{
    auto *datos = new QMimeData;
    datos->setText(Crudo(textCursor().selectedText()));
    return datos;
}
