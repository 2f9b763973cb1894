#pragma once

#include <QPlainTextEdit>

// The editor's text box. What it puts on the clipboard (Ctrl+C, Ctrl+X, a
// drag) is the text as it stands, as the Editar menu copies it: Qt's own
// copy would turn a no-break space into a blank, and a copy pasted back
// would change what is saved and sent.
class CajaDeTexto : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit CajaDeTexto(QWidget *parent = nullptr);

    // The box's text with nothing turned into something else; each line
    // break the box draws (paragraph or line separator) as LF.
    static QString Crudo(QString texto);

protected:
    QMimeData *createMimeDataFromSelection() const override;
    // A lost character that takes no room (a soft hyphen, a zero-width
    // space, a byte order mark) would carry its wavy line over nothing: a
    // red bar is drawn where it stands.
    void paintEvent(QPaintEvent *evento) override;
};
