#pragma once

#include "documents/textoleido.h"
#include "platform/errordearchivo.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <optional>

// A document as read from disk, or why it could not be read.
struct DocumentoLeido : TextoLeido
{
    std::optional<ErrorDeArchivo> error;
};

// The timetable's documents, each read again only when its file changed
// (another file at that path, another size or another time). A thousand
// entries often name a handful of files, and the window looks at them on
// every change and every minute: reading each one every time froze it.
class DocumentosLeidos
{
public:
    // The document at `archivo` as it is on disk now.
    const DocumentoLeido &Leer(const QString &archivo);

private:
    struct Guardado
    {
        QString rutaAbsoluta;
        qint64 tamano = -1;
        QDateTime modificado;
        DocumentoLeido leido;
    };

    QHash<QString, Guardado> m_guardados;
};
