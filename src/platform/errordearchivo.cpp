#include "errordearchivo.h"

using namespace Qt::StringLiterals;

QString ErrorDeArchivo::Texto() const
{
    return ruta + u"\n\n"_s + motivo;
}
