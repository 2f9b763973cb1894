#include "config/registrodecartel.h"

#include <QHash>

#include <algorithm>
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

QStringList NombresRepetidos(const QStringList &registro)
{
    QHash<QString, int> veces;
    for (const QString &cartel : registro)
        ++veces[NombreDeCartel(cartel).trimmed()];
    QStringList repetidos;
    for (const QString &cartel : registro) {
        const QString nombre = NombreDeCartel(cartel).trimmed();
        if (veces.value(nombre) > 1 && !repetidos.contains(nombre))
            repetidos.append(nombre);
    }
    return repetidos;
}

QStringList ProblemasDeRegistro(const QStringList &registro)
{
    QStringList problemas;
    for (const QString &cartel : registro) {
        const qsizetype primera = cartel.indexOf(u',');
        const qsizetype segunda = primera < 0 ? -1 : cartel.indexOf(u',', primera + 1);
        const QString direccion = segunda < 0 ? QString() : cartel.mid(segunda + 1).trimmed();
        const bool numero = !direccion.isEmpty() && std::all_of(direccion.cbegin(), direccion.cend(), [](QChar c) {
            return c >= u'0' && c <= u'9';
        });
        if (numero || direccion == u"Desconocida"_s)
            continue;
        // Said as the sender reads it: digits first ("5x") are that address,
        // but a sign alone is sent to as every sign whatever its address.
        const qint64 leida = registro.size() > 1 ? DireccionDeCartel(cartel) : 0;
        const QString motivo = u"La línea «cartel %1» de ./carteles.ini no tiene una dirección válida (un número o "
                               "\"Desconocida\"): "_s.arg(cartel);
        if (leida == 0)
            problemas.append(motivo + u"lo que se envíe a ese cartel irá a todos los carteles."_s);
        else if (leida <= 255)
            problemas.append(motivo + u"se toma como la dirección %1."_s.arg(leida));
        else
            problemas.append(motivo + u"se toma como la dirección %1, que no existe: a ese cartel no se envía nada."_s
                                          .arg(leida));
    }
    for (const QString &nombre : NombresRepetidos(registro))
        problemas.append(u"Varios carteles de ./carteles.ini se llaman «%1»: un texto marcado para ese nombre no se "
                         "envía a ninguno de ellos. En Carteles Conectados quite uno y vuelva a agregarlo con otro nombre."_s.arg(nombre));
    return problemas;
}
