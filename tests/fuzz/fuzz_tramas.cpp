// The frame splitter and the decoder.
//
// The input drives a line: each step is a byte, whose two high bits choose
// what happens and whose six low bits give a count n:
//   0: the next n bytes arrive 1 ms after the previous step;
//   1: they arrive exactly one allowance of silence later (not yet too late);
//   2: they arrive one millisecond past the allowance;
//   3: with n = 63, a run of copies of the next byte arrives, 8 bytes short
//      of the longest frame held (so that, after a header and "222222 ", it
//      reaches it); once per input. The longest frame is cut to 1 KiB here,
//      so that the path costs what any other does;
//      otherwise the clock is checked n * 100 ms later with nothing received.
// Every byte must come out once, in order, in frames and anomalies, and no
// anomaly is empty. Then the same input, taken as a text, is encoded, framed
// and cut into chunks; it must come back as one frame with its message and
// destination, and its display must read back to the same bytes.

#include "comun.h"

#include "encoding/codificador.h"
#include "encoding/etiquetas.h"
#include "link/decodificador.h"
#include "link/separadordetramas.h"
#include "link/trama.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 Plazo = SeparadorDeTramas::PlazoPorDefectoMs;
constexpr qsizetype Largo = 1024;
constexpr qsizetype Racha = Largo - 8;

QByteArray BytesDeLaTrama(const TramaRecibida &trama)
{
    QByteArray bytes;
    if (trama.aTodos) {
        bytes.append(char(ByteTramaATodos));
    } else {
        bytes.append(char(ByteTramaADireccion));
        bytes.append(char(trama.direccion));
    }
    bytes.append(CampoFijoDeTrama.data(), CampoFijoDeTrama.size());
    bytes.append(trama.mensaje);
    bytes.append(char(ByteFinDeTrama));
    return bytes;
}

void Recoger(std::vector<SucesoDeLinea> &&nuevos, QByteArray &salida, qint64 ahora)
{
    for (const SucesoDeLinea &suceso : nuevos) {
        if (const auto *trama = std::get_if<TramaRecibida>(&suceso)) {
            const QByteArray bytes = BytesDeLaTrama(*trama);
            Exigir(trama->bytes == bytes.size(), "el tamaño de la trama es el de sus bytes");
            for (const char c : trama->mensaje) {
                const auto b = static_cast<quint8>(c);
                Exigir(b != ByteFinDeTrama && b != ByteTramaATodos && b != ByteTramaADireccion,
                       "un mensaje no lleva bytes de trama");
            }
            Exigir(trama->inicio <= trama->fin && trama->fin <= ahora, "la trama ocurre en su tiempo");
            salida += bytes;
        } else {
            const auto &anomalia = std::get<AnomaliaDeLinea>(suceso);
            Exigir(!anomalia.bytes.isEmpty(), "ninguna anomalía es vacía");
            Exigir(anomalia.bytes.size() <= Largo, "nada más largo que el máximo");
            Exigir(anomalia.inicio <= anomalia.momento && anomalia.momento <= ahora,
                   "la anomalía ocurre en su tiempo");
            salida += anomalia.bytes;
        }
    }
}

void CadaByteUnaVez(const std::uint8_t *datos, std::size_t tamano)
{
    SeparadorDeTramas separador(Plazo, Largo);
    QByteArray entrada;
    QByteArray salida;
    qint64 ahora = 0;
    int rachas = 0;
    std::size_t i = 0;
    while (i < tamano) {
        const int paso = datos[i] >> 6;
        const std::size_t n = datos[i] & 0x3F;
        ++i;
        if (paso == 3 && n == 63) {
            if (i >= tamano || ++rachas > 1)
                break;
            const QByteArray racha(Racha, char(datos[i++]));
            entrada += racha;
            ahora += 1;
            Recoger(separador.Alimentar(racha, ahora), salida, ahora);
        } else if (paso == 3) {
            ahora += qint64(n) * 100;
            Recoger(separador.Vigilar(ahora), salida, ahora);
        } else {
            ahora += paso == 0 ? 1 : paso == 1 ? Plazo : Plazo + 1;
            const std::size_t m = std::min(n, tamano - i);
            const QByteArray trozo = Bytes(datos + i, m);
            i += m;
            entrada += trozo;
            Recoger(separador.Alimentar(trozo, ahora), salida, ahora);
        }
    }
    ahora += Plazo + 1;
    Recoger(separador.Vigilar(ahora), salida, ahora);
    Exigir(!separador.AMedias(), "tras el silencio no queda nada a medias");
    Exigir(salida == entrada, "cada byte sale una vez y en orden");
}

// The bytes a display stands for, read back from it: "[[" is a bracket of the
// text, "[tag]" an effect code, "[0xNN]" a byte, a letter its substitute code.
std::optional<QByteArray> Releer(const QString &mostrado)
{
    QByteArray bytes;
    qsizetype p = 0;
    while (p < mostrado.size()) {
        const QChar c = mostrado.at(p);
        if (c != u'[') {
            if (c.unicode() >= 0x20 && c.unicode() <= 0x7E) {
                bytes.append(char(c.unicode()));
            } else {
                bool hallado = false;
                for (const Sustitucion &s : Sustituciones()) {
                    if (s.caracter == c.unicode() && s.caracter != u'\r' && s.caracter != u'\n') {
                        bytes.append(char(s.codigo));
                        hallado = true;
                    }
                }
                if (!hallado)
                    return std::nullopt;
            }
            ++p;
            continue;
        }
        if (p + 1 < mostrado.size() && mostrado.at(p + 1) == u'[') {
            bytes.append('[');
            p += 2;
            continue;
        }
        const qsizetype cierre = mostrado.indexOf(u']', p);
        if (cierre < 0)
            return std::nullopt;
        const QString dentro = mostrado.mid(p, cierre - p + 1);
        bool hallado = false;
        for (const EtiquetaDeEfecto &e : EtiquetasDeEfecto()) {
            if (dentro == e.etiqueta) {
                bytes.append(char(e.codigo));
                hallado = true;
            }
        }
        if (!hallado) {
            bool esNumero = false;
            const int valor = dentro.mid(3, dentro.size() - 4).toInt(&esNumero, 16);
            if (!dentro.startsWith(u"[0x"_s) || dentro.size() != 6 || !esNumero)
                return std::nullopt;
            bytes.append(char(valor));
        }
        p = cierre + 1;
    }
    return bytes;
}

void IdaYVuelta(const std::uint8_t *datos, std::size_t tamano)
{
    const QString texto = QString::fromLatin1(reinterpret_cast<const char *>(datos), qsizetype(tamano));
    const QByteArray mensaje = CodificarTexto(texto);
    const quint8 destino = tamano > 0 ? datos[0] : 0;
    const QByteArray trama = ArmarTrama(mensaje, destino);

    SeparadorDeTramas separador;
    std::vector<SucesoDeLinea> sucesos;
    qsizetype p = 0;
    qint64 ahora = 0;
    for (std::size_t k = 0; p < trama.size(); ++k) {
        const qsizetype n = std::min<qsizetype>(1 + (tamano > 0 ? datos[k % tamano] % 16 : 0), trama.size() - p);
        for (auto &s : separador.Alimentar(QByteArrayView(trama).sliced(p, n), ahora))
            sucesos.push_back(std::move(s));
        p += n;
        ahora += 1;
    }
    Exigir(sucesos.size() == 1, "una trama armada sale como una trama");
    const auto *recibida = std::get_if<TramaRecibida>(&sucesos.front());
    Exigir(recibida != nullptr, "y no como una anomalía");
    Exigir(recibida->mensaje == mensaje, "con su mensaje");
    Exigir(recibida->aTodos == (destino == 0), "a todos solo con destino 0");
    Exigir(destino == 0 || recibida->direccion == destino, "con su destino");

    const QString mostrado = DecodificarMensaje(mensaje);
    const auto releido = Releer(mostrado);
    Exigir(releido && *releido == mensaje, "lo mostrado distingue cada mensaje", mostrado);
    // Any bytes at all, not only what the encoder makes.
    const QByteArray crudos = Bytes(datos, tamano);
    const auto crudosReleidos = Releer(DecodificarMensaje(crudos));
    Exigir(crudosReleidos && *crudosReleidos == crudos, "lo mostrado distingue cualquier secuencia de bytes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t tamano)
{
    CadaByteUnaVez(datos, tamano);
    IdaYVuelta(datos, tamano);
    return 0;
}
