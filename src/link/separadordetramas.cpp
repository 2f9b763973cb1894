#include "link/separadordetramas.h"

#include "link/trama.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr quint8 fin = ByteFinDeTrama;

bool EsCabecera(quint8 b)
{
    return b == ByteTramaATodos || b == ByteTramaADireccion;
}

// How many bytes from `datos` come before the first end byte or header, or
// `n` when none does. memchr rather than a loop over the bytes: it is the
// virtual sign's busiest path, and a long message is mostly ordinary bytes.
qsizetype HastaElSiguienteEspecial(const char *datos, qsizetype n)
{
    qsizetype primero = n;
    for (const quint8 especial : {ByteFinDeTrama, ByteTramaATodos, ByteTramaADireccion}) {
        const void *hallado = std::memchr(datos, especial, static_cast<std::size_t>(primero));
        if (hallado)
            primero = static_cast<const char *>(hallado) - datos;
    }
    return primero;
}

QByteArrayView Campo()
{
    return QByteArrayView(CampoFijoDeTrama.data(), CampoFijoDeTrama.size());
}

} // namespace

SeparadorDeTramas::SeparadorDeTramas(qint64 plazoMs, qsizetype largoMaximo)
    : plazo(plazoMs)
    , largo(std::max<qsizetype>(largoMaximo, 16))
{
}

std::vector<SucesoDeLinea> SeparadorDeTramas::Alimentar(QByteArrayView bytes, qint64 ahora)
{
    // A silence longer than the allowance before these bytes ends what was
    // pending, whether or not anyone called Vigilar() meanwhile.
    std::vector<SucesoDeLinea> sucesos = Vigilar(ahora);
    const auto *datos = reinterpret_cast<const quint8 *>(bytes.data());
    qsizetype i = 0;
    while (i < bytes.size()) {
        // Inside a message or a run of noise only an end byte or a header
        // changes anything: the ordinary bytes before the next one go in at
        // once, up to the longest frame held.
        if (estado == Estado::Mensaje || estado == Estado::Descartando) {
            const qsizetype tope = std::min(bytes.size(), i + (largo - actual.size()));
            const qsizetype j = i + HastaElSiguienteEspecial(bytes.data() + i, tope - i);
            if (j > i) {
                // The rest of an overlong frame starts with nothing held: its
                // noise begins with this byte, not when the frame was given up.
                if (actual.isEmpty())
                    inicio = ahora;
                actual.append(bytes.data() + i, j - i);
                ultimo = ahora;
                i = j;
                AbandonarSiEsLarga(ahora, sucesos);
                continue;
            }
        }
        Procesar(datos[i++], ahora, sucesos);
    }
    return sucesos;
}

std::vector<SucesoDeLinea> SeparadorDeTramas::Vigilar(qint64 ahora)
{
    std::vector<SucesoDeLinea> sucesos;
    if (AMedias() && ahora - ultimo > plazo)
        Abandonar(estado == Estado::Descartando ? motivoDelDescarte : MotivoDeAnomalia::SinFin,
                  ahora, sucesos);
    return sucesos;
}

bool SeparadorDeTramas::AMedias() const
{
    return estado != Estado::Cabecera;
}

void SeparadorDeTramas::Procesar(quint8 b, qint64 ahora, std::vector<SucesoDeLinea> &sucesos)
{
    ultimo = ahora;
    switch (estado) {
    case Estado::Cabecera:
        Empezar(b, ahora);
        break;
    case Estado::Direccion:
        // Any byte is an address, even 200 to 202.
        actual.append(static_cast<char>(b));
        direccion = b;
        estado = Estado::Campo;
        campoLeido = 0;
        break;
    case Estado::Campo:
        if (b == static_cast<quint8>(Campo().at(campoLeido))) {
            actual.append(static_cast<char>(b));
            if (++campoLeido == Campo().size())
                estado = Estado::Mensaje;
        } else if (EsCabecera(b)) {
            Abandonar(MotivoDeAnomalia::SinCampoFijo, ahora, sucesos);
            Empezar(b, ahora);
        } else {
            actual.append(static_cast<char>(b));
            if (b == fin) {
                Abandonar(MotivoDeAnomalia::SinCampoFijo, ahora, sucesos);
            } else {
                estado = Estado::Descartando;
                motivoDelDescarte = MotivoDeAnomalia::SinCampoFijo;
            }
        }
        break;
    case Estado::Mensaje:
        if (b == fin) {
            actual.append(static_cast<char>(b));
            TramaRecibida trama;
            trama.aTodos = aTodos;
            trama.direccion = direccion;
            const qsizetype delante = (aTodos ? 1 : 2) + Campo().size();
            trama.mensaje = actual.sliced(delante, actual.size() - delante - 1);
            trama.bytes = actual.size();
            trama.inicio = inicio;
            trama.fin = ahora;
            sucesos.emplace_back(std::move(trama));
            actual.clear();
            estado = Estado::Cabecera;
        } else if (EsCabecera(b)) {
            Abandonar(MotivoDeAnomalia::Interrumpida, ahora, sucesos);
            Empezar(b, ahora);
        } else {
            actual.append(static_cast<char>(b));
        }
        break;
    case Estado::Descartando:
        if (EsCabecera(b)) {
            Abandonar(motivoDelDescarte, ahora, sucesos);
            Empezar(b, ahora);
        } else {
            if (actual.isEmpty())
                inicio = ahora;
            actual.append(static_cast<char>(b));
            // An end byte closes whatever was being discarded: the next frame
            // is near.
            if (b == fin)
                Abandonar(motivoDelDescarte, ahora, sucesos);
        }
        break;
    }

    AbandonarSiEsLarga(ahora, sucesos);
}

void SeparadorDeTramas::AbandonarSiEsLarga(qint64 ahora, std::vector<SucesoDeLinea> &sucesos)
{
    if (!AMedias() || actual.size() < largo)
        return;
    const bool eraTrama = estado != Estado::Descartando;
    Abandonar(eraTrama ? MotivoDeAnomalia::SinFin : motivoDelDescarte, ahora, sucesos);
    // The rest of an overlong frame, up to its end byte, is noise.
    if (eraTrama) {
        estado = Estado::Descartando;
        motivoDelDescarte = MotivoDeAnomalia::Ruido;
    }
}

void SeparadorDeTramas::Empezar(quint8 b, qint64 ahora)
{
    actual.clear();
    actual.append(static_cast<char>(b));
    inicio = ahora;
    if (b == ByteTramaATodos) {
        aTodos = true;
        direccion = 0;
        campoLeido = 0;
        estado = Estado::Campo;
    } else if (b == ByteTramaADireccion) {
        aTodos = false;
        estado = Estado::Direccion;
    } else {
        estado = Estado::Descartando;
        motivoDelDescarte = MotivoDeAnomalia::Ruido;
    }
}

void SeparadorDeTramas::Abandonar(MotivoDeAnomalia motivo, qint64 ahora,
                                  std::vector<SucesoDeLinea> &sucesos)
{
    estado = Estado::Cabecera;
    // Right after an overlong frame is given up, the rest of it is awaited
    // as noise; a header or a silence before any such byte leaves nothing to
    // report, and an anomaly of no bytes would name an event that never was.
    if (actual.isEmpty())
        return;
    AnomaliaDeLinea anomalia;
    anomalia.motivo = motivo;
    anomalia.bytes = actual;
    anomalia.inicio = inicio;
    anomalia.momento = ahora;
    sucesos.emplace_back(std::move(anomalia));
    actual.clear();
}
