#include "config/configuracion.h"

#include "config/velocidades.h"

#include "platform/escritortexto.h"
#include "platform/lectortexto.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

void AplicarLinea(Configuracion &configuracion, const QString &linea)
{
    if (linea.startsWith(u"cartel"_s)) {
        configuracion.carteles.append(linea.mid(7));
        return;
    }
    if (!linea.startsWith(u"interfase"_s))
        return;

    // Columns 11 to 14: "com" and a port digit.
    static_assert(PuertoMinimo >= 0 && PuertoMaximo <= 9, "the port is one digit in the file");
    const QString puerto = linea.mid(10, 4);
    if (puerto.size() == 4 && puerto.startsWith(u"com"_s)) {
        const int numero = puerto.at(3).unicode() - u'0';
        if (numero >= PuertoMinimo && numero <= PuertoMaximo)
            configuracion.puerto = numero;
    }

    // Columns 16 to 19: the speed; parity, data and stop bits are always N, 8, 1.
    const QString velocidad = linea.mid(15, 4);
    for (int ofrecida : VelocidadesOfrecidas()) {
        if (velocidad == QString::number(ofrecida))
            configuracion.ajustes = AjustesDeVelocidad(ofrecida);
    }
}

} // namespace

void AplicarValoresDeFabrica(Configuracion &configuracion)
{
    configuracion.puerto = 2;
    configuracion.ajustes = AjustesDeVelocidad(2400);
    configuracion.carteles.append(u"R560, Un Cartel, Desconocida"_s);
}

std::optional<ErrorDeArchivo> CargarConfiguracion(Configuracion &configuracion, const QString &ruta)
{
    if (!LectorTexto::Existe(ruta)) {
        AplicarValoresDeFabrica(configuracion);
        return std::nullopt;
    }
    QByteArray bytes;
    if (auto error = LectorTexto::LeerArchivo(ruta, TamanoMaximoDeConfiguracion, bytes))
        return error;
    return CargarConfiguracionDeBytes(configuracion, bytes, QDir::toNativeSeparators(QFileInfo(ruta).absoluteFilePath()));
}

std::optional<ErrorDeArchivo> CargarConfiguracionDeBytes(Configuracion &configuracion, const QByteArray &bytes,
                                                         const QString &nombre)
{
    LectorTexto lector;
    if (auto error = lector.AbrirBytes(bytes, nombre))
        return error;
    Configuracion leida = configuracion;
    while (!lector.AlFinal()) {
        QString linea;
        if (auto error = lector.LeerLinea(linea))
            return error;
        AplicarLinea(leida, linea);
    }
    configuracion = std::move(leida);
    return std::nullopt;
}

namespace {

void EscribirConfiguracion(EscritorTexto &escritor, const Configuracion &configuracion)
{
    // What the next start would refuse is not written: the file read at
    // start-up stays instead.
    escritor.LimitarTamano(TamanoMaximoDeConfiguracion);
    escritor.EscribirLinea(u"interfase com"_s + QString::number(configuracion.puerto) + u","_s
                           + configuracion.ajustes);
    for (const QString &registro : configuracion.carteles)
        escritor.EscribirLinea(u"cartel "_s + registro);
}

} // namespace

std::optional<ErrorDeArchivo> GuardarConfiguracion(const Configuracion &configuracion, const QString &ruta)
{
    EscritorTexto escritor;
    if (auto error = escritor.Abrir(ruta))
        return error;
    EscribirConfiguracion(escritor, configuracion);
    return escritor.Confirmar();
}

std::optional<ErrorDeArchivo> GuardarConfiguracionEnBytes(const Configuracion &configuracion, QByteArray &bytes)
{
    EscritorTexto escritor;
    escritor.AbrirEnMemoria();
    EscribirConfiguracion(escritor, configuracion);
    if (auto error = escritor.Confirmar())
        return error;
    bytes = escritor.Escrito();
    return std::nullopt;
}
