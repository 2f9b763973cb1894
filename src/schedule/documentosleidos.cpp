#include "schedule/documentosleidos.h"

#include "documents/documento.h"

#include <QFileInfo>

const DocumentoLeido &DocumentosLeidos::Leer(const QString &archivo)
{
    // Relative names follow the working folder, as at the send.
    const QFileInfo informacion(archivo);
    const QString absoluta = informacion.absoluteFilePath();
    const qint64 tamano = informacion.exists() ? informacion.size() : -1;
    const QDateTime modificado = informacion.lastModified();
    Guardado &guardado = m_guardados[archivo];
    if (guardado.rutaAbsoluta == absoluta && guardado.tamano == tamano && guardado.modificado == modificado &&
        tamano >= 0)
        return guardado.leido;
    guardado.rutaAbsoluta = absoluta;
    guardado.tamano = tamano;
    guardado.modificado = modificado;
    guardado.leido = {};
    guardado.leido.error = LeerDocumento(archivo, guardado.leido);
    return guardado.leido;
}
