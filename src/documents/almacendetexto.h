#pragma once

#include <QString>

// Where a document's words are kept while a window edits them: the window's
// own text, so that the document holds no second copy to keep in step. Its
// owner tells the document of every change (Documento::TextoEditado), a
// change made through PonerTexto() included.
class AlmacenDeTexto
{
public:
    virtual ~AlmacenDeTexto() = default;

    // The words with CR LF line breaks, as files and senders count them.
    virtual QString TextoCrLf() const = 0;
    virtual void PonerTextoCrLf(const QString &textoCrLf) = 0;

protected:
    AlmacenDeTexto() = default;
    AlmacenDeTexto(const AlmacenDeTexto &) = default;
    AlmacenDeTexto &operator=(const AlmacenDeTexto &) = default;
};
