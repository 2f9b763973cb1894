#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <variant>
#include <vector>

// One whole frame as it came off the line.
struct TramaRecibida
{
    bool aTodos = false;
    quint8 direccion = 0; // only when !aTodos
    QByteArray mensaje;   // what lies between the fixed field and the end byte
    qsizetype bytes = 0;  // the whole frame, header to end byte
    qint64 inicio = 0;    // arrival of the header, in the caller's milliseconds
    qint64 fin = 0;       // arrival of the end byte
};

enum class MotivoDeAnomalia {
    Ruido,        // bytes where a header (201 or 202) should be
    SinCampoFijo, // a header not followed by "222222 "
    Interrumpida, // a new header before the end byte
    SinFin,       // the line went quiet, or ran too long, before the end byte
};

// Bytes that could not be read as a frame, set aside whole; never empty.
struct AnomaliaDeLinea
{
    MotivoDeAnomalia motivo = MotivoDeAnomalia::Ruido;
    QByteArray bytes;
    qint64 inicio = 0;  // arrival of the first of them
    qint64 momento = 0; // when they were given up on
};

using SucesoDeLinea = std::variant<TramaRecibida, AnomaliaDeLinea>;

// Cuts the byte stream of the line into frames as it arrives, in chunks of
// any size, and says what did not fit. After an anomaly it waits for the next
// header byte. Knows no clock: every call says what time it is, so it can be
// driven by a real line or by a test.
class SeparadorDeTramas
{
public:
    // A frame or a run of noise is given up once the line has been quiet this
    // long in its middle. Counted from the last byte, not the first: at 2400
    // bits per second a long message alone takes minutes.
    static constexpr qint64 PlazoPorDefectoMs = 2000;
    // Nothing longer is held in memory; a longer frame is given up.
    static constexpr qsizetype LargoMaximo = 65536;

    // `largoMaximo` other than LargoMaximo is for tests, which reach the
    // overlong path without feeding 64 KiB each time; at least 16.
    explicit SeparadorDeTramas(qint64 plazoMs = PlazoPorDefectoMs, qsizetype largoMaximo = LargoMaximo);

    // Bytes that arrived at 'ahora'. Returns what they completed, oldest first.
    std::vector<SucesoDeLinea> Alimentar(QByteArrayView bytes, qint64 ahora);

    // For when no bytes come: gives up what the line left half sent.
    std::vector<SucesoDeLinea> Vigilar(qint64 ahora);

    // True while a frame or a run of noise is half received.
    bool AMedias() const;

private:
    enum class Estado { Cabecera, Direccion, Campo, Mensaje, Descartando };

    void Procesar(quint8 b, qint64 ahora, std::vector<SucesoDeLinea> &sucesos);
    void Empezar(quint8 b, qint64 ahora);
    void AbandonarSiEsLarga(qint64 ahora, std::vector<SucesoDeLinea> &sucesos);
    void Abandonar(MotivoDeAnomalia motivo, qint64 ahora, std::vector<SucesoDeLinea> &sucesos);

    qint64 m_plazo;
    qsizetype m_largo;
    Estado m_estado = Estado::Cabecera;
    MotivoDeAnomalia m_motivoDelDescarte = MotivoDeAnomalia::Ruido;
    QByteArray m_actual;
    bool m_aTodos = false;
    quint8 m_direccion = 0;
    qsizetype m_campoLeido = 0;
    qint64 m_inicio = 0;
    qint64 m_ultimo = 0;
};
