// The configuration reader against a reading of its own, and the writer's
// output read back to the same values.

#include "comun.h"

#include "config/configuracion.h"

using namespace Qt::StringLiterals;

namespace {

Configuracion Esperada(const QByteArray &bytes)
{
    Configuracion esperada;
    for (const QByteArray &linea : PartirLineas(bytes)) {
        if (linea.startsWith("cartel")) {
            esperada.carteles.append(DesdeWindows1252(linea.mid(7)));
        } else if (linea.startsWith("interfase")) {
            if (linea.size() >= 14 && linea.mid(10, 3) == "com" && linea.at(13) >= '1' && linea.at(13) <= '6')
                esperada.puerto = linea.at(13) - '0';
            if (linea.mid(15, 4) == "2400")
                esperada.ajustes = u"2400,N,8,1"_s;
            else if (linea.mid(15, 4) == "9600")
                esperada.ajustes = u"9600,N,8,1"_s;
        }
    }
    return esperada;
}

bool Iguales(const Configuracion &a, const Configuracion &b)
{
    return a.puerto == b.puerto && a.ajustes == b.ajustes && a.carteles == b.carteles;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t tamano)
{
    const QByteArray bytes = Bytes(datos, tamano);
    Configuracion leida;
    Exigir(!CargarConfiguracionDeBytes(leida, bytes), "unos bytes en memoria siempre se leen");
    Exigir(Iguales(leida, Esperada(bytes)), "la lectura coincide con una lectura independiente");

    // A save at most doubles the bytes (LF becomes CR LF) and adds the
    // interface line; beyond half the limit it may be refused for its size.
    if (bytes.size() > (TamanoMaximoDeConfiguracion - 64) / 2)
        return 0;
    QByteArray guardada;
    Exigir(!GuardarConfiguracionEnBytes(leida, guardada), "lo leído siempre se puede guardar");
    Exigir(guardada.startsWith(QByteArray("interfase com" + QByteArray::number(leida.puerto) + ',')),
           "lo guardado empieza por la interfase");
    Configuracion releida;
    Exigir(!CargarConfiguracionDeBytes(releida, guardada), "lo guardado se vuelve a leer");
    Exigir(Iguales(leida, releida), "guardar y volver a leer da la misma configuración");
    return 0;
}
