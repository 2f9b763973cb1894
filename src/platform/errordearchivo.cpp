#include "errordearchivo.h"

QString ErrorDeArchivo::Texto() const
{
    return ruta + QStringLiteral("\n\n") + motivo;
}
