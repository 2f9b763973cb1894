#include "config/cartel.h"

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

qint64 LeerDireccion(const QString &registro, qsizetype desde)
{
    qsizetype i = desde;
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

} // namespace

Cartel::Cartel(const QString &registro) : m_registro(registro)
{
    const qsizetype primera = registro.indexOf(u',');
    if (primera < 0) {
        m_modelo = registro;
        m_nombre = registro;
        return;
    }
    m_modelo = registro.left(primera);
    const qsizetype segunda = registro.indexOf(u',', primera + 1);
    if (segunda < 0) {
        m_nombre = registro.mid(primera + 1);
        return;
    }
    m_nombre = registro.mid(primera + 1, segunda - primera - 1);
    m_direccion = LeerDireccion(registro, segunda + 1);
    const QString direccion = registro.mid(segunda + 1).trimmed();
    m_direccionValida = direccion == u"Desconocida"_s
                        || (!direccion.isEmpty() && std::all_of(direccion.cbegin(), direccion.cend(), [](QChar c) {
                               return c >= u'0' && c <= u'9';
                           }));
}

Cartel Cartel::Armar(const QString &modelo, const QString &nombre, const QString &direccion)
{
    return Cartel(modelo + u", "_s + nombre + u", "_s + direccion);
}
