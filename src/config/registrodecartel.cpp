#include "config/registrodecartel.h"

#include <limits>

using namespace Qt::StringLiterals;

QString NombreDeCartel(const QString &registro)
{
    const qsizetype primera = registro.indexOf(u',');
    if (primera < 0)
        return registro;
    const qsizetype segunda = registro.indexOf(u',', primera + 1);
    if (segunda < 0)
        return registro.mid(primera + 1);
    return registro.mid(primera + 1, segunda - primera - 1);
}

qint64 DireccionDeCartel(const QString &registro)
{
    const qsizetype primera = registro.indexOf(u',');
    if (primera < 0)
        return 0;
    const qsizetype segunda = registro.indexOf(u',', primera + 1);
    if (segunda < 0)
        return 0;

    qsizetype i = segunda + 1;
    while (i < registro.size() && (registro.at(i) == u' ' || registro.at(i) == u'\t'))
        ++i;

    constexpr qint64 tope = std::numeric_limits<qint64>::max();
    qint64 valor = 0;
    for (; i < registro.size(); ++i) {
        const char16_t c = registro.at(i).unicode();
        if (c < u'0' || c > u'9')
            break;
        const int cifra = c - u'0';
        valor = valor > (tope - cifra) / 10 ? tope : valor * 10 + cifra;
    }
    return valor;
}

QString ArmarRegistroDeCartel(const QString &modelo, const QString &nombre, const QString &direccion)
{
    return modelo + u", "_s + nombre + u", "_s + direccion;
}
