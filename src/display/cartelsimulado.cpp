#include "cartelsimulado.h"

#include "display/fuentedepuntos.h"
#include "encoding/etiquetas.h"

#include <algorithm>
#include <array>

namespace {

constexpr quint8 TodasLasFilas = (1u << AltoDeGlifo) - 1;

// The row of the effect table behind each byte, through the encoder's own
// tags so that the two can never disagree on a code.
const std::array<const EfectoDelCartel *, 256> &EfectoPorCodigo()
{
    static const auto tabla = [] {
        std::array<const EfectoDelCartel *, 256> porCodigo{};
        for (const EfectoDelCartel &efecto : EfectosDelCartel()) {
            for (const EtiquetaDeEfecto &etiqueta : EtiquetasDeEfecto()) {
                if (etiqueta.etiqueta == efecto.etiqueta)
                    porCodigo[etiqueta.codigo] = &efecto;
            }
        }
        return porCodigo;
    }();
    return tabla;
}

bool EsEntrada(AccionDeEfecto accion)
{
    return accion == AccionDeEfecto::Centrar || accion == AccionDeEfecto::Subir
        || accion == AccionDeEfecto::Bajar || accion == AccionDeEfecto::CorrerIzquierda;
}

} // namespace

CartelSimulado::CartelSimulado(const QByteArray &mensaje, int columnas)
    : m_columnas(std::max(columnas, 1))
{
    for (const EfectoDelCartel &efecto : EfectosDelCartel()) {
        if (efecto.accion == AccionDeEfecto::Titilar)
            m_mediaVueltaDeTitilaMs = std::max(efecto.valor, 1);
    }

    AccionDeEfecto entrada = EntradaInicial;
    int pasoMs = PasoInicialMs;
    int ancho = 1;
    bool titila = false;
    // Text goes on the last stretch while it takes text; a pause holds the
    // last stretch while it takes pauses. A new entry ends both; a pause ends
    // a standing text, whose next words stand on their own.
    bool tomaTexto = false;
    bool tomaPausa = false;

    auto nuevoTramo = [&] {
        Tramo tramo;
        tramo.entrada = entrada;
        tramo.pasoMs = pasoMs;
        m_tramos.push_back(std::move(tramo));
        return &m_tramos.back();
    };
    auto agregar = [&](quint8 puntos, int repeticiones) {
        if (!tomaTexto) {
            Tramo *tramo = nuevoTramo();
            if (entrada != AccionDeEfecto::CorrerIzquierda)
                tramo->permanencia = PermanenciaMs;
            tomaTexto = tomaPausa = true;
        }
        for (int i = 0; i < repeticiones; ++i)
            m_tramos.back().columnas.push_back({puntos, titila, pasoMs});
    };

    for (const char c : mensaje) {
        const auto codigo = static_cast<quint8>(c);
        if (const EfectoDelCartel *efecto = EfectoPorCodigo()[codigo]) {
            switch (efecto->accion) {
            case AccionDeEfecto::Titilar:
                titila = true;
                break;
            case AccionDeEfecto::DejarDeTitilar:
                titila = false;
                break;
            case AccionDeEfecto::Ancho:
                ancho = std::max(efecto->valor, 1);
                break;
            case AccionDeEfecto::Velocidad:
                pasoMs = std::max(efecto->valor, 1);
                break;
            case AccionDeEfecto::Pausar: {
                if (!tomaPausa) {
                    nuevoTramo();
                    tomaPausa = true;
                    tomaTexto = entrada == AccionDeEfecto::CorrerIzquierda;
                }
                Tramo &tramo = m_tramos.back();
                const auto columna = static_cast<qsizetype>(tramo.columnas.size());
                if (!tramo.detenciones.empty() && tramo.detenciones.back().columna == columna)
                    tramo.detenciones.back().ms += efecto->valor;
                else
                    tramo.detenciones.push_back({columna, efecto->valor});
                if (entrada != AccionDeEfecto::CorrerIzquierda)
                    tomaTexto = false;
                break;
            }
            case AccionDeEfecto::EspacioAngosto:
                agregar(0, efecto->valor * ancho);
                break;
            default:
                Q_ASSERT(EsEntrada(efecto->accion));
                entrada = efecto->accion;
                tomaTexto = tomaPausa = false;
                break;
            }
            continue;
        }
        const std::optional<Glifo> glifo = GlifoDelByte(codigo);
        if (!glifo)
            continue;
        for (const quint8 columna : *glifo)
            agregar(columna, ancho);
        agregar(0, SeparacionEntreLetras * ancho);
    }

    for (Tramo &tramo : m_tramos) {
        tramo.inicio = m_ciclo;
        Medir(tramo, m_columnas);
        m_ciclo += tramo.duracion;
    }
}

void CartelSimulado::Medir(Tramo &tramo, int columnas)
{
    qint64 detenida = 0;
    for (const Detencion &detencion : tramo.detenciones)
        detenida += detencion.ms;
    const auto largo = static_cast<qsizetype>(tramo.columnas.size());
    switch (tramo.entrada) {
    case AccionDeEfecto::CorrerIzquierda: {
        // Step 0 is the blank display, there only for a hold; then one step
        // per column until the last column has gone out at the left. Each
        // column moves at the speed it was written with; the columns that
        // follow the text move at the speed of its last one.
        tramo.finDelPaso.resize(static_cast<size_t>(largo + columnas));
        auto detencion = tramo.detenciones.begin();
        qint64 fin = 0;
        for (qsizetype paso = 0; paso < largo + columnas; ++paso) {
            if (paso > 0)
                fin += largo > 0 ? tramo.columnas[std::min(paso, largo) - 1].pasoMs : tramo.pasoMs;
            if (detencion != tramo.detenciones.end() && detencion->columna == paso)
                fin += (detencion++)->ms;
            tramo.finDelPaso[static_cast<size_t>(paso)] = fin;
        }
        tramo.duracion = fin;
        return;
    }
    case AccionDeEfecto::Subir:
    case AccionDeEfecto::Bajar:
        tramo.duracion = AltoDeGlifo * PasosPorFila * tramo.pasoMs + tramo.permanencia + detenida;
        return;
    default:
        tramo.duracion = tramo.permanencia + detenida;
        return;
    }
}

QList<quint8> CartelSimulado::Puntos(qint64 ms) const
{
    QList<quint8> puntos;
    Puntos(ms, puntos);
    return puntos;
}

void CartelSimulado::Puntos(qint64 ms, QList<quint8> &puntos) const
{
    puntos.resize(m_columnas);
    std::fill(puntos.begin(), puntos.end(), quint8{0});
    if (m_ciclo <= 0 || ms < 0)
        return;
    const qint64 enElCiclo = ms % m_ciclo;
    const auto tramo = std::upper_bound(m_tramos.begin(), m_tramos.end(), enElCiclo,
                                        [](qint64 t, const Tramo &candidato) { return t < candidato.inicio; })
        - 1;
    Dibujar(*tramo, enElCiclo - tramo->inicio, ms, puntos);
}

void CartelSimulado::Dibujar(const Tramo &tramo, qint64 t, qint64 ms, QList<quint8> &puntos) const
{
    const auto largo = static_cast<qsizetype>(tramo.columnas.size());
    // Where the text's first column stands, and how many rows it still has
    // to climb (positive) or to come down (negative).
    qsizetype izquierda = (m_columnas - largo) / 2;
    int desplazamiento = 0;

    if (tramo.entrada == AccionDeEfecto::CorrerIzquierda) {
        const auto paso = std::upper_bound(tramo.finDelPaso.begin(), tramo.finDelPaso.end(), t)
            - tramo.finDelPaso.begin();
        izquierda = m_columnas - paso;
    } else if (tramo.entrada != AccionDeEfecto::Centrar) {
        const qint64 pasoDeFila = static_cast<qint64>(PasosPorFila) * tramo.pasoMs;
        const qint64 filasAdentro = std::min<qint64>(t / pasoDeFila + 1, AltoDeGlifo);
        desplazamiento = static_cast<int>(AltoDeGlifo - filasAdentro);
        if (tramo.entrada == AccionDeEfecto::Bajar)
            desplazamiento = -desplazamiento;
    }

    const bool apagadas = (ms / m_mediaVueltaDeTitilaMs) % 2 == 1;
    const qsizetype desde = std::max<qsizetype>(0, izquierda);
    const qsizetype hasta = std::min<qsizetype>(m_columnas, izquierda + largo);
    for (qsizetype x = desde; x < hasta; ++x) {
        const Columna &columna = tramo.columnas[x - izquierda];
        if (columna.titila && apagadas)
            continue;
        const unsigned p = columna.puntos;
        const unsigned movida = desplazamiento >= 0 ? p << desplazamiento : p >> -desplazamiento;
        puntos[x] = static_cast<quint8>(movida & TodasLasFilas);
    }
}
