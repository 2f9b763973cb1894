#include "cajadetexto.h"

#include "encoding/codificador.h"
#include "encoding/saltosdelinea.h"

#include <QMimeData>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>

using namespace Qt::StringLiterals;

CajaDeTexto::CajaDeTexto(QWidget *parent) : QPlainTextEdit(parent)
{
    // Tab and Shift+Tab go on to the effect buttons, as in any form: a TAB
    // typed into a text went to the sign as byte 9, and a keyboard user
    // could not leave the box. A TAB pasted or read from a file is text like
    // any other and stays.
    setTabChangesFocus(true);
    setAccessibleName(u"Texto del mensaje"_s);
}

QString CajaDeTexto::TextoCrLf() const
{
    return SaltosCrLf(Crudo(document()->toRawText()));
}

void CajaDeTexto::PonerTextoCrLf(const QString &textoCrLf)
{
    // Whatever the box holds now or is about to hold, it is never laid out
    // between words while it may hold a word too long for that.
    setWordWrapMode(QTextOption::WrapAnywhere);
    setPlainText(SaltosLf(textoCrLf));
    AjustarCorteDeLineas(textoCrLf);
    // The box lays a whole line out again on every key: past what can be
    // sent, a line takes it longer than a key may (half a second for a
    // line of 1 MiB), and no such text can go to a sign as it stands. It is
    // shown to be read, saved elsewhere or sent to be refused, not typed in.
    setReadOnly(LargoDeLineaMasLarga(textoCrLf) > LongitudMaximaDeTexto);
}

void CajaDeTexto::AjustarCorteDeLineas(const QString &texto)
{
    // Breaking lines between words costs the text box time that grows with
    // the square of a word's length: a file of one 1 MiB word froze the
    // window for over a minute. Such a file is wrapped anywhere instead, at
    // a cost that follows its size; real texts keep their words whole.
    constexpr qsizetype PalabraMasLarga = 2000;
    qsizetype corrida = 0;
    bool largas = false;
    for (const QChar c : texto) {
        corrida = c.isSpace() ? 0 : corrida + 1;
        if (corrida > PalabraMasLarga) {
            largas = true;
            break;
        }
    }
    setWordWrapMode(largas ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
}

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

void CajaDeTexto::paintEvent(QPaintEvent *evento)
{
    QPlainTextEdit::paintEvent(evento);
    QPainter pintor(viewport());
    const QColor rojo(220, 0, 0);
    const int alto = viewport()->height();
    for (QTextBlock bloque = firstVisibleBlock(); bloque.isValid(); bloque = bloque.next()) {
        if (blockBoundingGeometry(bloque).translated(contentOffset()).top() > alto)
            break;
        // Such a line is not marked at all (see the highlighter).
        const QString texto = bloque.text();
        if (texto.size() > LongitudMaximaDeTexto)
            continue;
        for (qsizetype i = 0; i < texto.size(); ++i) {
            const QChar::Category clase = texto.at(i).category();
            if ((clase != QChar::Other_Format && clase != QChar::Mark_NonSpacing) ||
                LlegaAlCartel(texto.at(i).unicode()))
                continue;
            QTextCursor cursor(bloque);
            cursor.setPosition(bloque.position() + static_cast<int>(i));
            const QRect donde = cursorRect(cursor);
            pintor.fillRect(QRect(donde.left() - 1, donde.top(), 3, donde.height()), rojo);
        }
    }
}
