#include "resaltadordeetiquetas.h"

#include "encoding/codificador.h"

#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QToolTip>

using namespace Qt::StringLiterals;

namespace {
QTextCharFormat FormatoDeEtiqueta()
{
    QTextCharFormat formato;
    formato.setForeground(QColor(0x1a, 0x5f, 0xb4));
    formato.setFontWeight(QFont::Bold);
    return formato;
}

QTextCharFormat FormatoDePerdido()
{
    QTextCharFormat formato;
    formato.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    formato.setUnderlineColor(Qt::red);
    return formato;
}

} // namespace

ResaltadorDeEtiquetas::ResaltadorDeEtiquetas(QPlainTextEdit &texto)
    : QSyntaxHighlighter(texto.document()), m_texto(texto)
{
    m_texto.viewport()->installEventFilter(this);
    // Qt would mark the text on a later turn of the event loop, and that
    // reports a change of the text: a document just opened or created would
    // read as modified. Marked now, nothing is left for later.
    rehighlight();
}

QString ResaltadorDeEtiquetas::DescribirPerdido(QChar caracter)
{
    const QString codigo = u"U+%1"_s.arg(caracter.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    // A blank or a control would show as nothing between the quotes.
    const QString cual = caracter.isPrint() && !caracter.isSpace() ? u"«%1» (%2)"_s.arg(caracter).arg(codigo) : codigo;
    return u"El cartel no muestra el carácter %1: al enviar el texto, no se manda."_s.arg(cual);
}

void ResaltadorDeEtiquetas::highlightBlock(const QString &texto)
{
    static const QTextCharFormat etiqueta = FormatoDeEtiqueta();
    static const QTextCharFormat perdido = FormatoDePerdido();
    // A line longer than any text that can be sent is no message, only a
    // file opened to be cut down: marking it on every key would make typing
    // in it crawl, and nothing it shows could reach a sign as it stands.
    if (texto.size() > LongitudMaximaDeTexto)
        return;
    // Left to right, as the encoder reads: a tag is taken whole where one
    // starts, so a bracket that starts none is plain text.
    const qsizetype n = texto.size();
    qsizetype p = 0;
    while (p < n) {
        if (const qsizetype largo = LargoDeEtiqueta(texto, p)) {
            setFormat(static_cast<int>(p), static_cast<int>(largo), etiqueta);
            p += largo;
            continue;
        }
        // A line separator (Shift+Enter) goes as a line break.
        if (texto.at(p) != QChar::LineSeparator && !LlegaAlCartel(texto.at(p).unicode()))
            setFormat(static_cast<int>(p), 1, perdido);
        ++p;
    }
}

bool ResaltadorDeEtiquetas::eventFilter(QObject *objeto, QEvent *evento)
{
    if (evento->type() != QEvent::ToolTip)
        return QSyntaxHighlighter::eventFilter(objeto, evento);
    const auto *ayuda = static_cast<QHelpEvent *>(evento);
    const QTextCursor cursor = m_texto.cursorForPosition(ayuda->pos());
    // The caret position nearest the mouse lies between two characters: the
    // one under the mouse is whichever of them spans its place.
    for (const int posicion : {cursor.position(), cursor.position() - 1}) {
        if (posicion < 0)
            continue;
        QTextCursor antes(m_texto.document());
        antes.setPosition(posicion);
        QTextCursor despues(m_texto.document());
        despues.setPosition(posicion + 1);
        const QRect izquierda = m_texto.cursorRect(antes);
        const QRect derecha = m_texto.cursorRect(despues);
        const QChar caracter = m_texto.document()->characterAt(posicion);
        const bool debajo = izquierda.top() == derecha.top() && ayuda->pos().x() >= izquierda.left()
                            && ayuda->pos().x() < derecha.left() && ayuda->pos().y() >= izquierda.top()
                            && ayuda->pos().y() <= izquierda.bottom();
        // A tag is all ASCII: a character the sign does not get is never
        // part of one.
        if (!debajo || caracter == QChar::ParagraphSeparator || caracter == QChar::LineSeparator
            || LlegaAlCartel(caracter.unicode()))
            continue;
        QToolTip::showText(ayuda->globalPos(), DescribirPerdido(caracter), m_texto.viewport());
        return true;
    }
    QToolTip::hideText();
    evento->ignore();
    return true;
}
