#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QList>

#include <span>
#include <vector>

// What an effect code does to the text that follows it on the simulated sign.
enum class AccionDeEfecto {
    Titilar,         // valor: ms lit, then as long dark
    DejarDeTitilar,
    Ancho,           // valor: dots per column of the font (1 normal, 2 expanded)
    Velocidad,       // valor: ms per step of the moving entries
    Pausar,          // valor: ms the display holds
    Centrar,         // the text stands centred, shown at once
    Subir,           // the text comes in from below, then stands centred
    Bajar,           // the text comes in from above, then stands centred
    CorrerIzquierda, // the text runs in from the right and out at the left
    EspacioAngosto,  // valor: blank columns
};

struct EfectoDelCartel
{
    QLatin1StringView rotulo;   // as the editor's button names it
    QLatin1StringView etiqueta; // its code is the encoder's, found by this tag
    AccionDeEfecto accion;
    int valor;
};

namespace detalle {

using namespace Qt::StringLiterals;

// How the preview plays each effect. Only the codes are known for certain;
// every figure here is a guess about a real sign, gathered in this one table
// so that it can be set to what a sign is seen to do.
inline constexpr EfectoDelCartel efectosDelCartel[] = {
    {"TITILA"_L1, "[titila]"_L1, AccionDeEfecto::Titilar, 500},
    {"NO TITILA"_L1, "[no titila]"_L1, AccionDeEfecto::DejarDeTitilar, 0},
    {"NORMAL"_L1, "[normal]"_L1, AccionDeEfecto::Ancho, 1},
    {"EXPANDIDA"_L1, "[exp]"_L1, AccionDeEfecto::Ancho, 2},
    {"VELOCIDAD 0"_L1, "[v0]"_L1, AccionDeEfecto::Velocidad, 80},
    {"VELOCIDAD 1"_L1, "[v1]"_L1, AccionDeEfecto::Velocidad, 50},
    {"VELOCIDAD 2"_L1, "[v2]"_L1, AccionDeEfecto::Velocidad, 25},
    {"PAUSA"_L1, "[pausa]"_L1, AccionDeEfecto::Pausar, 2000},
    {"CENTRA"_L1, "[centra]"_L1, AccionDeEfecto::Centrar, 0},
    {"BAJA"_L1, "[baja]"_L1, AccionDeEfecto::Bajar, 0},
    {"SUBE"_L1, "[sube]"_L1, AccionDeEfecto::Subir, 0},
    {"CORRE IZQ."_L1, "[izq]"_L1, AccionDeEfecto::CorrerIzquierda, 0},
    {"ESPACIO SEG."_L1, "[esp seg]"_L1, AccionDeEfecto::EspacioAngosto, 2},
};

} // namespace detalle

inline constexpr std::span<const EfectoDelCartel> EfectosDelCartel()
{
    return detalle::efectosDelCartel;
}

// What holds before any code says otherwise, each time the message starts
// over (guesses as well): the text runs to the left, at VELOCIDAD 1, normal
// width, steady.
inline constexpr AccionDeEfecto EntradaInicial = AccionDeEfecto::CorrerIzquierda;
inline constexpr int PasoInicialMs = 50;
// A text that stands (CENTRA, SUBE, BAJA) stays this long before what
// follows, pauses apart; one row of SUBE or BAJA lasts this many steps.
inline constexpr int PermanenciaMs = 1500;
inline constexpr int PasosPorFila = 3;
// One blank column of the font's width between characters.
inline constexpr int SeparacionEntreLetras = 1;

// A sign `columnas` dots wide and seven high playing an encoded message, the
// bytes exactly as they travel in a frame, over and over. Pure: the message is
// laid out once, and the dots of any moment come from the time alone, so two
// signs given the same bytes show the same dots at the same time.
class CartelSimulado
{
public:
    CartelSimulado() = default;
    CartelSimulado(const QByteArray &mensaje, int columnas);

    int Columnas() const { return m_columnas; }
    // One run of the message in ms; 0 when it shows nothing.
    qint64 Ciclo() const { return m_ciclo; }

    // The dots `ms` after the message began, one byte per column from the
    // left, bit r for row r (row 0 at the top).
    QList<quint8> Puntos(qint64 ms) const;
    // The same into `puntos`, resized to Columnas(): for whoever draws many
    // frames and would rather not allocate for each.
    void Puntos(qint64 ms, QList<quint8> &puntos) const;

private:
    struct Columna
    {
        quint8 puntos = 0;
        bool titila = false;
        int pasoMs = PasoInicialMs; // how long a running text takes to move it on
    };
    struct Detencion
    {
        qsizetype columna; // columns already in when the display holds
        qint64 ms;
    };
    // A stretch of text with one entry: it comes in, moves or stands, and
    // leaves the display to the next.
    struct Tramo
    {
        AccionDeEfecto entrada = EntradaInicial;
        int pasoMs = PasoInicialMs; // of SUBE and BAJA, at their start
        std::vector<Columna> columnas;
        std::vector<Detencion> detenciones;
        qint64 permanencia = 0;
        qint64 inicio = 0;
        qint64 duracion = 0;
        // Running text: when step s ends (s columns in), holds included.
        std::vector<qint64> finDelPaso;
    };

    static void Medir(Tramo &tramo, int columnas);
    void Dibujar(const Tramo &tramo, qint64 enElTramo, qint64 ms, QList<quint8> &puntos) const;

    int m_columnas = 0;
    int m_mediaVueltaDeTitilaMs = 500;
    qint64 m_ciclo = 0;
    std::vector<Tramo> m_tramos;
};
