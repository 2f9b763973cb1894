#include "config/configuracion.h"

#include "config/direcciondered.h"
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
        configuracion.carteles.Agregar(Cartel(linea.mid(7)));
        return;
    }
    if (!linea.startsWith(u"interfase"_s))
        return;

    // The port text as the operator named it: up to the first comma or blank.
    qsizetype finDelPuerto = 10;
    while (finDelPuerto < linea.size() && linea.at(finDelPuerto) != u',' && linea.at(finDelPuerto) != u' ')
        ++finDelPuerto;
    const QString textoDelPuerto = linea.mid(10, finDelPuerto - 10);
    qsizetype inicioDeVelocidad = 15;
    if (const auto red = InterpretarDireccionDeRed(textoDelPuerto)) {
        configuracion.red = textoDelPuerto.mid(PrefijoDeRed.size());
        configuracion.puertoNoEntendido = QString();
        inicioDeVelocidad = finDelPuerto + 1;
    } else {
        // Columns 11 to 14: "com" and a port digit; column 15 must not carry
        // the name on ("com10").
        static_assert(PuertoMinimo >= 0 && PuertoMaximo <= 9, "the port is one digit in the file");
        const QString puerto = linea.mid(10, 4);
        bool entendido = false;
        if (puerto.size() == 4 && puerto.startsWith(u"com"_s)) {
            const int numero = puerto.at(3).unicode() - u'0';
            if (numero >= PuertoMinimo && numero <= PuertoMaximo) {
                configuracion.puerto = numero;
                configuracion.red = QString();
                entendido = linea.size() == 14 || !linea.at(14).isLetterOrNumber();
            }
        }
        // A line that stops before column 11 names no port at all.
        if (entendido || linea.size() <= 10)
            configuracion.puertoNoEntendido = QString();
        else
            configuracion.puertoNoEntendido = textoDelPuerto.isNull() ? u""_s : textoDelPuerto;
    }

    // Columns 16 to 19 on a Com line: the speed; parity, data and stop bits
    // are always N, 8, 1.
    const QString velocidad = linea.mid(inicioDeVelocidad, 4);
    for (int ofrecida : VelocidadesOfrecidas()) {
        if (velocidad == QString::number(ofrecida))
            configuracion.ajustes = AjustesDeVelocidad(ofrecida);
    }
}

} // namespace

QString AvisoDePuertoNoEntendido(const Configuracion &configuracion)
{
    if (configuracion.puertoNoEntendido.isNull())
        return {};
    const QString enUso = configuracion.red.isEmpty() ? u"Com%1"_s.arg(configuracion.puerto) : configuracion.red;
    return u"No se entiende el puerto «%1» de la línea interfase de ./carteles.ini: se usa %2. Escriba "
           u"com1 a com6, o tcp:HOST:PUERTO para un servidor de puerto serie en la red "
           u"(tcp:192.168.1.50:4001)."_s.arg(configuracion.puertoNoEntendido, enUso);
}

void AplicarValoresDeFabrica(Configuracion &configuracion)
{
    configuracion.puerto = 2;
    configuracion.ajustes = AjustesDeVelocidad(2400);
    configuracion.carteles.Agregar(Cartel(u"R560, Un Cartel, Desconocida"_s));
}

std::optional<ErrorDeArchivo> CargarConfiguracion(Configuracion &configuracion, const QString &ruta,
                                                  std::optional<QByteArray> *leidos)
{
    if (!LectorTexto::Existe(ruta)) {
        AplicarValoresDeFabrica(configuracion);
        return std::nullopt;
    }
    QByteArray bytes;
    if (auto error = LectorTexto::LeerArchivo(ruta, TamanoMaximoDeConfiguracion, bytes))
        return error;
    if (leidos)
        *leidos = bytes;
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
    const QString puerto = configuracion.red.isEmpty() ? QString(u"com"_s + QString::number(configuracion.puerto))
                                                       : QString(PrefijoDeRed + configuracion.red);
    escritor.EscribirLinea(u"interfase "_s + puerto + u","_s + configuracion.ajustes);
    for (const Cartel &cartel : configuracion.carteles)
        escritor.EscribirLinea(u"cartel "_s + cartel.Registro());
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
