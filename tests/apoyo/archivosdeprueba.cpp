#include "apoyo/archivosdeprueba.h"

#include <QFile>

bool EscribirBytes(const QString &ruta, const QByteArray &bytes)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::WriteOnly) && archivo.write(bytes) == bytes.size();
}

QByteArray LeerBytes(const QString &ruta)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray("<no se pudo leer>");
}
