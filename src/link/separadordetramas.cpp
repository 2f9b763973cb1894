#include "link/separadordetramas.h"

#include "link/trama.h"

namespace {

constexpr quint8 fin = ByteFinDeTrama;

bool EsCabecera(quint8 b)
{
    return b == ByteTramaATodos || b == ByteTramaADireccion;
}

QByteArrayView Campo()
{
    return QByteArrayView(CampoFijoDeTrama.data(), CampoFijoDeTrama.size());
}

} // namespace

SeparadorDeTramas::SeparadorDeTramas(qint64 plazoMs)
    : plazo(plazoMs)
{
}

std::vector<SucesoDeLinea> SeparadorDeTramas::Alimentar(QByteArrayView bytes, qint64 ahora)
{
    // A silence longer than the allowance before these bytes ends what was
    // pending, whether or not anyone called Vigilar() meanwhile.
    std::vector<SucesoDeLinea> sucesos = Vigilar(ahora);
    for (const char c : bytes)
        Procesar(static_cast<quint8>(c), ahora, sucesos);
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
            // The rest of an overlong frame starts with nothing held: its
            // noise begins with this byte, not when the frame was given up.
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

    if (AMedias() && actual.size() >= LargoMaximo) {
        const bool eraTrama = estado != Estado::Descartando;
        Abandonar(eraTrama ? MotivoDeAnomalia::SinFin : motivoDelDescarte, ahora, sucesos);
        // The rest of an overlong frame, up to its end byte, is noise.
        if (eraTrama) {
            estado = Estado::Descartando;
            motivoDelDescarte = MotivoDeAnomalia::Ruido;
            inicio = ahora;
        }
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
