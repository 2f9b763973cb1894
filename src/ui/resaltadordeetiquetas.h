#pragma once

#include <QSyntaxHighlighter>

class QPlainTextEdit;

// Draws a text the way the sign will read it: effect tags in a colour and
// weight of their own, and a red wavy line under every character the sign
// will not show. Only the drawing changes; the text, the caret, undo and the
// saved file are the same as without it. Which is which comes from the
// encoder itself.
class ResaltadorDeEtiquetas : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    // Marks `texto`'s document at once (which reports one change of its
    // text: create it before listening to those) and, while the mouse rests
    // on a character the sign does not show, says which one it is.
    explicit ResaltadorDeEtiquetas(QPlainTextEdit &texto);

    // What the hint says for a character the sign does not show.
    static QString DescribirPerdido(QChar caracter);

protected:
    void highlightBlock(const QString &texto) override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    QPlainTextEdit &m_texto;
};
