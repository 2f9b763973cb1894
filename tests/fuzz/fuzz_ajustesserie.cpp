// The serial settings parser against the ASCII forms it must take, and
// nothing else; accepted settings come back from their canonical text.

#include "comun.h"

#include "platform/ajustesserie.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

QString SinEspacios(QString campo)
{
    while (campo.startsWith(u' '))
        campo.remove(0, 1);
    while (campo.endsWith(u' '))
        campo.chop(1);
    return campo;
}

bool Cifras(const QString &campo)
{
    if (campo.isEmpty())
        return false;
    for (const QChar c : campo) {
        if (c.unicode() < u'0' || c.unicode() > u'9')
            return false;
    }
    return true;
}

std::optional<AjustesSerie> Esperados(const QString &texto)
{
    const QStringList campos = texto.split(u',');
    if (campos.size() != 4)
        return std::nullopt;
    AjustesSerie a;
    const QString velocidad = SinEspacios(campos.at(0));
    if (!Cifras(velocidad) || velocidad.size() > 7)
        return std::nullopt;
    a.velocidad = velocidad.toInt();
    if (!AjustesSerie::VelocidadesAdmitidas().contains(a.velocidad))
        return std::nullopt;

    const QString paridad = SinEspacios(campos.at(1));
    static const QString letras = u"NEOMSneoms"_s;
    if (paridad.size() != 1 || !letras.contains(paridad))
        return std::nullopt;
    const qsizetype i = letras.indexOf(paridad) % 5;
    a.paridad = std::array{AjustesSerie::Paridad::Ninguna, AjustesSerie::Paridad::Par, AjustesSerie::Paridad::Impar,
                           AjustesSerie::Paridad::Marca, AjustesSerie::Paridad::Espacio}[std::size_t(i)];

    const QString datos = SinEspacios(campos.at(2));
    if (datos.size() != 1 || datos.at(0) < u'5' || datos.at(0) > u'8')
        return std::nullopt;
    a.bitsDeDatos = datos.at(0).unicode() - u'0';

    const QString parada = SinEspacios(campos.at(3));
    if (parada == u"1"_s)
        a.bitsDeParada = AjustesSerie::BitsDeParada::Uno;
    else if (parada == u"1.5"_s)
        a.bitsDeParada = AjustesSerie::BitsDeParada::UnoYMedio;
    else if (parada == u"2"_s)
        a.bitsDeParada = AjustesSerie::BitsDeParada::Dos;
    else
        return std::nullopt;
    return a;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t tamano)
{
    const QString texto = TextoUtf8(datos, tamano);
    QString error;
    const auto ajustes = AjustesSerie::Interpretar(texto, &error);
    const auto esperados = Esperados(texto);
    Exigir(ajustes.has_value() == esperados.has_value(), "se aceptan exactamente las formas ASCII", texto);
    if (!ajustes) {
        Exigir(!error.isEmpty(), "un rechazo dice por qué");
        return 0;
    }
    Exigir(*ajustes == *esperados, "los valores leídos son los escritos", texto);
    const QString canonico = ajustes->Texto();
    for (const QChar c : canonico)
        Exigir(c.unicode() > 0x20 && c.unicode() < 0x7F, "la forma canónica es ASCII sin blancos");
    const auto otraVez = AjustesSerie::Interpretar(canonico);
    Exigir(otraVez && *otraVez == *ajustes && otraVez->Texto() == canonico,
           "la forma canónica se vuelve a leer igual");
    return 0;
}
