#include "carpetademedicion.h"

#include "platform/cuadrodemensaje.h"

#include <QFile>

using namespace Qt::StringLiterals;

CarpetaDeMedicion::CarpetaDeMedicion()
    : m_anterior(QDir::currentPath())
{
    QDir::setCurrent(m_carpeta.path());
    CuadroDeMensaje::ResponderCon({});
}

CarpetaDeMedicion::~CarpetaDeMedicion()
{
    QDir::setCurrent(m_anterior);
}

bool CarpetaDeMedicion::EscribirConfiguracion(const QStringList &lineas) const
{
    QFile archivo(Ruta(u"carteles.ini"_s));
    if (!archivo.open(QIODevice::WriteOnly))
        return false;
    for (const QString &linea : lineas) {
        if (archivo.write(linea.toLatin1() + "\r\n") < 0)
            return false;
    }
    return true;
}
