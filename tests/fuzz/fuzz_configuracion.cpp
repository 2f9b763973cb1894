// The configuration reader against a reading of its own, and the writer's
// output read back to the same values.

#include "comun.h"

#include "config/configuracion.h"

#include <QHostAddress>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

// "tcp:HOST:PUERTO" by pattern: a port of 1 to 65535, and a bracketed IPv6
// address or dot-separated labels of letters, digits and inner hyphens, of
// which an all-digit name must be four numbers up to 255.
bool EsDeRed(const QByteArray &texto)
{
    static const QRegularExpression forma(u"^tcp:(?:\\[([0-9A-Fa-f:.]+)\\]|(%1(?:\\.%1)*)):([0-9]{1,5})$"_s.arg(
        u"[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?"_s));
    static const QRegularExpression ipv4(u"^(?:%1\\.){3}%1$"_s.arg(u"(?:25[0-5]|2[0-4][0-9]|[01]?[0-9]{1,2})"_s));
    const QRegularExpressionMatch partes = forma.match(QString::fromLatin1(texto));
    const int puerto = partes.captured(3).toInt();
    const QString nombre = partes.captured(2);
    if (!partes.hasMatch() || puerto < 1 || puerto > 65535 || nombre.size() > 253)
        return false;
    if (partes.hasCaptured(1))
        return QHostAddress(partes.captured(1)).protocol() == QAbstractSocket::IPv6Protocol;
    return nombre.contains(QRegularExpression(u"[^0-9.]"_s)) || ipv4.match(nombre).hasMatch();
}

// Named, even when empty ("interfase ,2400").
QString Nombrado(const QByteArray &puerto)
{
    const QString texto = DesdeWindows1252(puerto);
    return texto.isNull() ? u""_s : texto;
}

Configuracion Esperada(const QByteArray &bytes)
{
    Configuracion esperada;
    for (const QByteArray &linea : PartirLineas(bytes)) {
        if (linea.startsWith("cartel")) {
            esperada.carteles.Agregar(Cartel(DesdeWindows1252(linea.mid(7))));
        } else if (linea.startsWith("interfase")) {
            qsizetype fin = 10;
            while (fin < linea.size() && linea.at(fin) != ',' && linea.at(fin) != ' ')
                ++fin;
            const QByteArray puerto = linea.mid(10, fin - 10);
            qsizetype velocidad = 15;
            if (EsDeRed(puerto)) {
                esperada.red = QString::fromLatin1(puerto.mid(4));
                esperada.puertoNoEntendido = QString();
                velocidad = fin + 1;
            } else if (linea.size() >= 14 && linea.mid(10, 3) == "com" && linea.at(13) >= '1' && linea.at(13) <= '6') {
                esperada.puerto = linea.at(13) - '0';
                esperada.red.clear();
                if (linea.size() == 14 || !DesdeWindows1252(linea.mid(14, 1)).front().isLetterOrNumber())
                    esperada.puertoNoEntendido = QString();
                else
                    esperada.puertoNoEntendido = Nombrado(puerto);
            } else {
                esperada.puertoNoEntendido = linea.size() <= 10 ? QString() : Nombrado(puerto);
            }
            if (linea.mid(velocidad, 4) == "2400")
                esperada.ajustes = u"2400,N,8,1"_s;
            else if (linea.mid(velocidad, 4) == "9600")
                esperada.ajustes = u"9600,N,8,1"_s;
        }
    }
    return esperada;
}

bool Iguales(const Configuracion &a, const Configuracion &b)
{
    return a.puerto == b.puerto && a.ajustes == b.ajustes && a.carteles == b.carteles && a.red == b.red
        && a.puertoNoEntendido == b.puertoNoEntendido && a.puertoNoEntendido.isNull() == b.puertoNoEntendido.isNull();
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
    const QByteArray puerto =
        leida.red.isEmpty() ? QByteArray("com" + QByteArray::number(leida.puerto)) : QByteArray("tcp:" + leida.red.toLatin1());
    Exigir(guardada.startsWith(QByteArray("interfase " + puerto + ',')), "lo guardado empieza por la interfase");
    Configuracion releida;
    Exigir(!CargarConfiguracionDeBytes(releida, guardada), "lo guardado se vuelve a leer");
    // What was not understood is only read, never written.
    leida.puertoNoEntendido = QString();
    Exigir(Iguales(leida, releida),
           "guardar y volver a leer da la misma configuración");
    return 0;
}
