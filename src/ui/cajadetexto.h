#pragma once

#include "documents/almacendetexto.h"

#include <QPlainTextEdit>

// The editor's text box. What it puts on the clipboard (Ctrl+C, Ctrl+X, a
// drag) is the text as it stands, as the Editar menu copies it: Qt's own
// copy would turn a no-break space into a blank, and a copy pasted back
// would change what is saved and sent.
// It keeps the words of the document it shows: the document reads them here.
class CajaDeTexto : public QPlainTextEdit, public AlmacenDeTexto
{
    Q_OBJECT

public:
    explicit CajaDeTexto(QWidget *parent = nullptr);

    QString TextoCrLf() const override;
    // A text put here whole (opened, emptied) is laid out as it needs; one
    // with a line longer than can be sent is shown read-only.
    void PonerTextoCrLf(const QString &textoCrLf) override;

    // The box's text with nothing turned into something else; each line
    // break the box draws (paragraph or line separator) as LF.
    static QString Crudo(QString texto);

protected:
    QMimeData *createMimeDataFromSelection() const override;
    // A lost character that takes no room (a soft hyphen, a zero-width
    // space, a byte order mark) would carry its wavy line over nothing: a
    // red bar is drawn where it stands.
    void paintEvent(QPaintEvent *evento) override;

private:
    void AjustarCorteDeLineas(const QString &texto);
};
