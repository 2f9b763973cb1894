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
    : m_plazo(plazoMs)
    , m_largo(std::max<qsizetype>(largoMaximo, 16))
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
        if (m_estado == Estado::Mensaje || m_estado == Estado::Descartando) {
            const qsizetype tope = std::min(bytes.size(), i + (m_largo - m_actual.size()));
            const qsizetype j = i + HastaElSiguienteEspecial(bytes.data() + i, tope - i);
            if (j > i) {
                // The rest of an overlong frame starts with nothing held: its
                // noise begins with this byte, not when the frame was given up.
                if (m_actual.isEmpty())
                    m_inicio = ahora;
                m_actual.append(bytes.data() + i, j - i);
                m_ultimo = ahora;
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
    if (AMedias() && ahora - m_ultimo > m_plazo)
        Abandonar(m_estado == Estado::Descartando ? m_motivoDelDescarte : MotivoDeAnomalia::SinFin,
                  ahora, sucesos);
    return sucesos;
}

bool SeparadorDeTramas::AMedias() const
{
    return m_estado != Estado::Cabecera;
}

void SeparadorDeTramas::Procesar(quint8 b, qint64 ahora, std::vector<SucesoDeLinea> &sucesos)
{
    m_ultimo = ahora;
    switch (m_estado) {
    case Estado::Cabecera:
        Empezar(b, ahora);
        break;
    case Estado::Direccion:
        // Any byte is an address, even 200 to 202.
        m_actual.append(static_cast<char>(b));
        m_direccion = b;
        m_estado = Estado::Campo;
        m_campoLeido = 0;
        break;
    case Estado::Campo:
        if (b == static_cast<quint8>(Campo().at(m_campoLeido))) {
            m_actual.append(static_cast<char>(b));
            if (++m_campoLeido == Campo().size())
                m_estado = Estado::Mensaje;
        } else if (EsCabecera(b)) {
            Abandonar(MotivoDeAnomalia::SinCampoFijo, ahora, sucesos);
            Empezar(b, ahora);
        } else {
            m_actual.append(static_cast<char>(b));
            if (b == fin) {
                Abandonar(MotivoDeAnomalia::SinCampoFijo, ahora, sucesos);
            } else {
                m_estado = Estado::Descartando;
                m_motivoDelDescarte = MotivoDeAnomalia::SinCampoFijo;
            }
        }
        break;
    case Estado::Mensaje:
        if (b == fin) {
            m_actual.append(static_cast<char>(b));
            TramaRecibida trama;
            trama.aTodos = m_aTodos;
            trama.direccion = m_direccion;
            const qsizetype delante = (m_aTodos ? 1 : 2) + Campo().size();
            trama.mensaje = m_actual.sliced(delante, m_actual.size() - delante - 1);
            trama.bytes = m_actual.size();
            trama.inicio = m_inicio;
            trama.fin = ahora;
            sucesos.emplace_back(std::move(trama));
            m_actual.clear();
            m_estado = Estado::Cabecera;
        } else if (EsCabecera(b)) {
            Abandonar(MotivoDeAnomalia::Interrumpida, ahora, sucesos);
            Empezar(b, ahora);
        } else {
            m_actual.append(static_cast<char>(b));
        }
        break;
    case Estado::Descartando:
        if (EsCabecera(b)) {
            Abandonar(m_motivoDelDescarte, ahora, sucesos);
            Empezar(b, ahora);
        } else {
            if (m_actual.isEmpty())
                m_inicio = ahora;
            m_actual.append(static_cast<char>(b));
            // An end byte closes whatever was being discarded: the next frame
            // is near.
            if (b == fin)
                Abandonar(m_motivoDelDescarte, ahora, sucesos);
        }
        break;
    }

    AbandonarSiEsLarga(ahora, sucesos);
}

void SeparadorDeTramas::AbandonarSiEsLarga(qint64 ahora, std::vector<SucesoDeLinea> &sucesos)
{
    if (!AMedias() || m_actual.size() < m_largo)
        return;
    const bool eraTrama = m_estado != Estado::Descartando;
    Abandonar(eraTrama ? MotivoDeAnomalia::SinFin : m_motivoDelDescarte, ahora, sucesos);
    // The rest of an overlong frame, up to its end byte, is noise.
    if (eraTrama) {
        m_estado = Estado::Descartando;
        m_motivoDelDescarte = MotivoDeAnomalia::Ruido;
    }
}

void SeparadorDeTramas::Empezar(quint8 b, qint64 ahora)
{
    m_actual.clear();
    m_actual.append(static_cast<char>(b));
    m_inicio = ahora;
    if (b == ByteTramaATodos) {
        m_aTodos = true;
        m_direccion = 0;
        m_campoLeido = 0;
        m_estado = Estado::Campo;
    } else if (b == ByteTramaADireccion) {
        m_aTodos = false;
        m_estado = Estado::Direccion;
    } else {
        m_estado = Estado::Descartando;
        m_motivoDelDescarte = MotivoDeAnomalia::Ruido;
    }
}

void SeparadorDeTramas::Abandonar(MotivoDeAnomalia motivo, qint64 ahora,
                                  std::vector<SucesoDeLinea> &sucesos)
{
    m_estado = Estado::Cabecera;
    // Right after an overlong frame is given up, the rest of it is awaited
    // as noise; a header or a silence before any such byte leaves nothing to
    // report, and an anomaly of no bytes would name an event that never was.
    if (m_actual.isEmpty())
        return;
    AnomaliaDeLinea anomalia;
    anomalia.motivo = motivo;
    anomalia.bytes = m_actual;
    anomalia.inicio = m_inicio;
    anomalia.momento = ahora;
    sucesos.emplace_back(std::move(anomalia));
    m_actual.clear();
}
