#include "config/registrodecartel.h"

#include <QHash>
#include <QSet>

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
    // Each name once, in registry order: a set, as the registry may hold a
    // hundred thousand hand-written lines.
    QSet<QString> dichos;
    for (const QString &cartel : registro) {
        const QString nombre = NombreDeCartel(cartel).trimmed();
        if (veces.value(nombre) > 1 && !dichos.contains(nombre)) {
            dichos.insert(nombre);
            repetidos.append(nombre);
        }
    }
    return repetidos;
}

namespace {

// A count as the operator reads it, with a dot between thousands: "99.990".
QString CantidadEnCastellano(qint64 cantidad)
{
    // Written out rather than taken from the locale: some give no separator
    // below 10.000, and the count must read the same everywhere.
    QString cifras = QString::number(cantidad < 0 ? -cantidad : cantidad);
    for (qsizetype i = cifras.size() - 3; i > 0; i -= 3)
        cifras.insert(i, u'.');
    return cantidad < 0 ? u'-' + cifras : cifras;
}

// A line or a name as it stands in a list of the box: a hand-edited file may
// hold a line of any length.
QString Citar(const QString &texto)
{
    constexpr qsizetype largoMaximo = 80;
    return u'«' + (texto.size() > largoMaximo ? texto.left(largoMaximo) + u'…' : texto) + u'»';
}

// `encabezado`, then the first ProblemasNombrados of `citados` one per line
// and the count of the rest.
QString Lista(const QString &encabezado, const QStringList &citados)
{
    QString texto = encabezado;
    for (qsizetype i = 0; i < std::min(citados.size(), ProblemasNombrados); ++i)
        texto += u'\n' + Citar(citados.at(i));
    if (citados.size() > ProblemasNombrados)
        texto += u"\ny "_s + CantidadEnCastellano(citados.size() - ProblemasNombrados) + u" más."_s;
    return texto;
}

} // namespace

QStringList ProblemasDeRegistro(const QStringList &registro)
{
    // Lines whose address is not valid, by what a send to them does.
    QStringList aTodos;
    QList<std::pair<QString, qint64>> tomadas;
    QList<std::pair<QString, qint64>> inexistentes;
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
        if (leida == 0)
            aTodos.append(u"cartel "_s + cartel);
        else if (leida <= 255)
            tomadas.append({u"cartel "_s + cartel, leida});
        else
            inexistentes.append({u"cartel "_s + cartel, leida});
    }
    const QStringList repetidos = NombresRepetidos(registro);

    // One problem of a kind is said in full; several are one message that
    // names the first few and counts the rest, so that the box stays on the
    // screen whatever the file holds.
    QStringList problemas;
    const QString invalida = u"no tiene una dirección válida (un número o \"Desconocida\"): "_s;
    const QString invalidas = u"no tienen una dirección válida (un número o \"Desconocida\"): "_s;
    if (aTodos.size() == 1)
        problemas.append(u"La línea %1 de ./carteles.ini "_s.arg(Citar(aTodos.first())) + invalida
                         + u"lo que se envíe a ese cartel irá a todos los carteles."_s);
    else if (aTodos.size() > 1)
        problemas.append(Lista(u"%1 líneas de ./carteles.ini "_s.arg(CantidadEnCastellano(aTodos.size())) + invalidas
                                   + u"lo que se envíe a esos carteles irá a todos los carteles."_s,
                               aTodos));
    const auto conDireccion = [](const QList<std::pair<QString, qint64>> &lineas) {
        QStringList citadas;
        for (const auto &[linea, direccion] : lineas)
            citadas.append(linea);
        return citadas;
    };
    if (tomadas.size() == 1)
        problemas.append(u"La línea %1 de ./carteles.ini "_s.arg(Citar(tomadas.first().first)) + invalida
                         + u"se toma como la dirección %1."_s.arg(tomadas.first().second));
    else if (tomadas.size() > 1)
        problemas.append(Lista(u"%1 líneas de ./carteles.ini "_s.arg(CantidadEnCastellano(tomadas.size())) + invalidas
                                   + u"cada una se toma como la dirección de las cifras con que empieza."_s,
                               conDireccion(tomadas)));
    if (inexistentes.size() == 1)
        problemas.append(u"La línea %1 de ./carteles.ini "_s.arg(Citar(inexistentes.first().first)) + invalida
                         + u"se toma como la dirección %1, que no existe: a ese cartel no se envía nada."_s.arg(
                               inexistentes.first().second));
    else if (inexistentes.size() > 1)
        problemas.append(Lista(u"%1 líneas de ./carteles.ini "_s.arg(CantidadEnCastellano(inexistentes.size()))
                                   + invalidas + u"sus direcciones no existen: a esos carteles no se envía nada."_s,
                               conDireccion(inexistentes)));
    if (repetidos.size() == 1)
        problemas.append(u"Varios carteles de ./carteles.ini se llaman %1: un texto marcado para ese nombre no se "
                         "envía a ninguno de ellos. En Carteles Conectados quite uno y vuelva a agregarlo con otro nombre."_s.arg(Citar(repetidos.first())));
    else if (repetidos.size() > 1)
        problemas.append(Lista(u"%1 nombres se repiten en varios carteles de ./carteles.ini: un texto marcado para uno "
                               "de ellos no se envía a ninguno de esos carteles. En Carteles Conectados quite los "
                               "repetidos y vuelva a agregarlos con otro nombre."_s
                                   .arg(CantidadEnCastellano(repetidos.size())),
                               repetidos));
    return problemas;
}
