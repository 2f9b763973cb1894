#include "platform/ajustesserie.h"

#include <QList>
#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace {

QString ListaDeVelocidades()
{
    QStringList textos;
    for (const qint32 velocidad : AjustesSerie::VelocidadesAdmitidas())
        textos.append(QString::number(velocidad));
    return textos.join(u", "_s);
}

// Only plain digits: toInt() would also take "+9600" or " 9600".
bool SoloCifras(const QString &texto)
{
    if (texto.isEmpty())
        return false;
    for (const QChar caracter : texto) {
        if (caracter < u'0' || caracter > u'9')
            return false;
    }
    return true;
}

// Only ASCII spaces are blanks here: trimmed() would also take tabs, form
// feeds and Unicode spaces, which no configuration file is written with.
QString SinEspacios(const QString &campo)
{
    qsizetype inicio = 0;
    qsizetype fin = campo.size();
    while (inicio < fin && campo.at(inicio) == u' ')
        ++inicio;
    while (fin > inicio && campo.at(fin - 1) == u' ')
        --fin;
    return campo.mid(inicio, fin - inicio);
}

std::optional<AjustesSerie> Rechazar(QString *error, const QString &descripcion)
{
    if (error)
        *error = descripcion;
    return std::nullopt;
}

} // namespace

const QList<qint32> &AjustesSerie::VelocidadesAdmitidas()
{
    static const QList<qint32> velocidades{110,   300,   600,   1200,  2400,  4800,
                                           9600,  14400, 19200, 38400, 57600, 115200};
    return velocidades;
}

std::optional<AjustesSerie> AjustesSerie::Interpretar(const QString &texto, QString *error)
{
    const QStringList campos = texto.split(u',');
    if (campos.size() != 4) {
        return Rechazar(error, u"Los ajustes «%1» no son válidos: se esperan cuatro valores separados "
                               u"por comas, velocidad, paridad, bits de datos y bits de parada "
                               u"(por ejemplo 9600,N,8,1)."_s.arg(texto));
    }

    AjustesSerie ajustes;

    const QString velocidad = SinEspacios(campos.at(0));
    bool esNumero = SoloCifras(velocidad) && velocidad.size() <= 7;
    ajustes.velocidad = esNumero ? velocidad.toInt() : 0;
    if (!esNumero || !VelocidadesAdmitidas().contains(ajustes.velocidad)) {
        return Rechazar(error, u"La velocidad «%1» no es válida; se admiten %2 bits por segundo."_s
                                   .arg(velocidad, ListaDeVelocidades()));
    }

    const QString paridad = SinEspacios(campos.at(1));
    // The case is folded by hand, in ASCII only: toUpper() turns the long s
    // "ſ" into "S" and the dotless "ı" into "I".
    const char16_t letra = paridad.size() == 1 ? paridad.at(0).unicode() : u'\0';
    const char16_t mayuscula = letra >= u'a' && letra <= u'z' ? char16_t(letra - u'a' + u'A') : letra;
    if (mayuscula == u'N')
        ajustes.paridad = Paridad::Ninguna;
    else if (mayuscula == u'E')
        ajustes.paridad = Paridad::Par;
    else if (mayuscula == u'O')
        ajustes.paridad = Paridad::Impar;
    else if (mayuscula == u'M')
        ajustes.paridad = Paridad::Marca;
    else if (mayuscula == u'S')
        ajustes.paridad = Paridad::Espacio;
    else {
        return Rechazar(error, u"La paridad «%1» no es válida; se admiten N (ninguna), E (par), "
                               u"O (impar), M (marca) y S (espacio)."_s.arg(paridad));
    }

    const QString datos = SinEspacios(campos.at(2));
    esNumero = SoloCifras(datos) && datos.size() == 1;
    ajustes.bitsDeDatos = esNumero ? datos.toInt() : 0;
    if (!esNumero || ajustes.bitsDeDatos < 5 || ajustes.bitsDeDatos > 8) {
        return Rechazar(error, u"Los bits de datos «%1» no son válidos; se admiten 5, 6, 7 y 8."_s
                                   .arg(datos));
    }

    const QString parada = SinEspacios(campos.at(3));
    if (parada == u"1")
        ajustes.bitsDeParada = BitsDeParada::Uno;
    else if (parada == u"1.5")
        ajustes.bitsDeParada = BitsDeParada::UnoYMedio;
    else if (parada == u"2")
        ajustes.bitsDeParada = BitsDeParada::Dos;
    else {
        return Rechazar(error, u"Los bits de parada «%1» no son válidos; se admiten 1, 1.5 y 2."_s
                                   .arg(parada));
    }

    return ajustes;
}

QString AjustesSerie::Texto() const
{
    QString letra;
    switch (paridad) {
    case Paridad::Ninguna: letra = u"N"_s; break;
    case Paridad::Par: letra = u"E"_s; break;
    case Paridad::Impar: letra = u"O"_s; break;
    case Paridad::Marca: letra = u"M"_s; break;
    case Paridad::Espacio: letra = u"S"_s; break;
    }
    QString parada;
    switch (bitsDeParada) {
    case BitsDeParada::Uno: parada = u"1"_s; break;
    case BitsDeParada::UnoYMedio: parada = u"1.5"_s; break;
    case BitsDeParada::Dos: parada = u"2"_s; break;
    }
    return u"%1,%2,%3,%4"_s.arg(QString::number(velocidad), letra, QString::number(bitsDeDatos), parada);
}
