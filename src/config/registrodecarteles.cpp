#include "config/registrodecarteles.h"

#include <QHash>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

RegistroDeCarteles RegistroDeCarteles::DeRegistros(const QStringList &lineas)
{
    QList<Cartel> carteles;
    carteles.reserve(lineas.size());
    for (const QString &linea : lineas)
        carteles.append(Cartel(linea));
    return RegistroDeCarteles(std::move(carteles));
}

QStringList RegistroDeCarteles::Registros() const
{
    QStringList registros;
    registros.reserve(m_carteles.size());
    for (const Cartel &cartel : m_carteles)
        registros.append(cartel.Registro());
    return registros;
}

QStringList RegistroDeCarteles::Titulos() const
{
    QStringList titulos;
    titulos.reserve(m_carteles.size());
    for (const Cartel &cartel : m_carteles)
        titulos.append(cartel.Nombre());
    return titulos;
}

std::optional<qsizetype> RegistroDeCarteles::PosicionDeNombre(const QString &nombre) const
{
    const QStringView buscado = QStringView(nombre).trimmed();
    for (qsizetype i = 0; i < m_carteles.size(); ++i) {
        if (QStringView(m_carteles.at(i).Nombre()).trimmed() == buscado)
            return i;
    }
    return std::nullopt;
}

QStringList RegistroDeCarteles::NombresRepetidos() const
{
    QHash<QString, int> veces;
    for (const Cartel &cartel : m_carteles)
        ++veces[cartel.NombreRecortado()];
    QStringList repetidos;
    // Each name once, in registry order: a set, as the registry may hold a
    // hundred thousand hand-written lines.
    QSet<QString> dichos;
    for (const Cartel &cartel : m_carteles) {
        const QString nombre = cartel.NombreRecortado();
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

QStringList RegistroDeCarteles::Problemas() const
{
    // Lines whose address is not valid, by what a send to them does.
    QStringList aTodos;
    QList<std::pair<QString, qint64>> tomadas;
    QList<std::pair<QString, qint64>> inexistentes;
    for (const Cartel &cartel : m_carteles) {
        if (cartel.DireccionValida())
            continue;
        // Said as the sender reads it: digits first ("5x") are that address,
        // but a sign alone is sent to as every sign whatever its address.
        const qint64 leida = m_carteles.size() > 1 ? cartel.Direccion() : 0;
        const QString linea = u"cartel "_s + cartel.Registro();
        if (leida == 0)
            aTodos.append(linea);
        else if (leida <= 255)
            tomadas.append({linea, leida});
        else
            inexistentes.append({linea, leida});
    }
    const QStringList repetidos = NombresRepetidos();

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
