// The sign-record readers against a split at commas, and a record built from
// its fields read back to them.

#include "comun.h"

#include "config/cartel.h"

#include <QStringList>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

QString NombreEsperado(const QString &registro)
{
    const QStringList campos = registro.split(u',');
    return campos.size() == 1 ? registro : campos.at(1);
}

qint64 DireccionEsperada(const QString &registro)
{
    QStringList campos = registro.split(u',');
    if (campos.size() < 3)
        return 0;
    const QString resto = campos.mid(2).join(u',');
    qsizetype i = 0;
    while (i < resto.size() && (resto.at(i) == u' ' || resto.at(i) == u'\t'))
        ++i;
    QString cifras;
    for (; i < resto.size() && resto.at(i) >= u'0' && resto.at(i) <= u'9'; ++i) {
        if (!cifras.isEmpty() || resto.at(i) != u'0')
            cifras.append(resto.at(i));
    }
    // Nineteen digits always fit in 64 unsigned bits; more never fit in 63.
    constexpr qint64 tope = std::numeric_limits<qint64>::max();
    if (cifras.size() > 19)
        return tope;
    const quint64 valor = cifras.isEmpty() ? 0 : cifras.toULongLong();
    return valor > quint64(tope) ? tope : qint64(valor);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t tamano)
{
    const QString registro = TextoUtf8(datos, tamano);
    const Cartel cartel(registro);
    Exigir(cartel.Registro() == registro, "el registro se guarda como vino", registro);
    Exigir(cartel.Nombre() == NombreEsperado(registro), "el nombre va de la primera a la segunda coma",
           registro);
    const qint64 direccion = cartel.Direccion();
    Exigir(direccion >= 0, "una dirección nunca es negativa");
    Exigir(direccion == DireccionEsperada(registro), "la dirección son las cifras tras la segunda coma", registro);

    // Fields without commas come back from the record built with them.
    if (!registro.contains(u',')) {
        const Cartel armado = Cartel::Armar(u"R560"_s, registro, u"12"_s);
        Exigir(armado.Nombre() == u" "_s + registro, "el nombre armado se vuelve a leer");
        Exigir(armado.Direccion() == 12, "la dirección armada se vuelve a leer");
        const Cartel desconocida = Cartel::Armar(registro, u"X"_s, u"Desconocida"_s);
        Exigir(desconocida.Direccion() == 0, "una dirección desconocida es 0, todos los carteles");
        Exigir(desconocida.Modelo() == registro, "el modelo armado se vuelve a leer");
    }
    return 0;
}
