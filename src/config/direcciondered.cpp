#include "config/direcciondered.h"

#include <QHostAddress>

using namespace Qt::StringLiterals;

namespace {

bool SoloCifras(QStringView texto)
{
    if (texto.isEmpty())
        return false;
    for (const QChar c : texto) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// Labels of letters, digits and hyphens, none empty and none starting or
// ending with a hyphen. All digits and dots is an IPv4 address or nothing:
// "192.168.1.500" is a typing error, not a name to look up.
bool AnfitrionValido(QStringView anfitrion)
{
    if (anfitrion.isEmpty() || anfitrion.size() > 253)
        return false;
    bool soloCifrasYPuntos = true;
    for (const QStringView etiqueta : anfitrion.split(u'.')) {
        if (etiqueta.isEmpty() || etiqueta.size() > 63 || etiqueta.front() == u'-' || etiqueta.back() == u'-')
            return false;
        for (const QChar c : etiqueta) {
            const bool cifra = c >= u'0' && c <= u'9';
            const bool letra = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
            if (!cifra && !letra && c != u'-')
                return false;
            soloCifrasYPuntos = soloCifrasYPuntos && cifra;
        }
    }
    if (!soloCifrasYPuntos)
        return true;
    const QStringList partes = anfitrion.toString().split(u'.');
    if (partes.size() != 4)
        return false;
    for (const QString &parte : partes) {
        if (parte.size() > 3 || parte.toInt() > 255)
            return false;
    }
    return true;
}

} // namespace

QString DireccionDeRed::Texto() const
{
    const QString nombre = anfitrion.contains(u':') ? u"["_s + anfitrion + u"]"_s : anfitrion;
    return nombre + u":"_s + QString::number(puerto);
}

std::optional<DireccionDeRed> InterpretarDireccionDeRed(QStringView texto)
{
    if (!texto.startsWith(PrefijoDeRed))
        return std::nullopt;
    const QStringView resto = texto.mid(PrefijoDeRed.size());
    const qsizetype dosPuntos = resto.lastIndexOf(u':');
    if (dosPuntos < 0)
        return std::nullopt;
    const QStringView numero = resto.mid(dosPuntos + 1);
    QStringView anfitrion = resto.left(dosPuntos);
    if (!SoloCifras(numero) || numero.size() > 5)
        return std::nullopt;
    const int puerto = numero.toInt();
    if (puerto < 1 || puerto > 65535)
        return std::nullopt;

    if (anfitrion.startsWith(u'[')) {
        if (!anfitrion.endsWith(u']'))
            return std::nullopt;
        anfitrion = anfitrion.mid(1, anfitrion.size() - 2);
        // Only an IPv6 address goes in brackets; a zone ("%eth0") is left
        // out, as the file may move between machines.
        for (const QChar c : anfitrion) {
            if (!(c >= u'0' && c <= u'9') && !(c >= u'a' && c <= u'f') && !(c >= u'A' && c <= u'F') && c != u':' && c != u'.')
                return std::nullopt;
        }
        QHostAddress direccion;
        if (!anfitrion.contains(u':') || !direccion.setAddress(anfitrion.toString())
            || direccion.protocol() != QAbstractSocket::IPv6Protocol)
            return std::nullopt;
    } else if (!AnfitrionValido(anfitrion)) {
        return std::nullopt;
    }
    return DireccionDeRed{anfitrion.toString(), static_cast<quint16>(puerto)};
}
