#include "schedule/estadodecarteles.h"

#include "config/registrodecarteles.h"
#include "documents/destinosdeenvio.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

// Everything below works on the wall clock as a count of milliseconds since
// 1970-01-01 00:00 on that clock ("pared"), and on days as a count of days
// since then: plain integers, so a thousand entries cost next to nothing.
constexpr qint64 MsPorDia = 24 * 60 * 60 * 1000;
constexpr qint64 DiaJulianoDe1970 = 2440588;
constexpr qint64 SinFin = std::numeric_limits<qint64>::max();
constexpr quint8 TodosLosDias = 0x7F;

qint64 DiaDe(qint64 pared)
{
    return pared >= 0 ? pared / MsPorDia : -((-pared + MsPorDia - 1) / MsPorDia);
}

qint64 DiaDeFecha(const QDate &fecha)
{
    return fecha.toJulianDay() - DiaJulianoDe1970;
}

// Bit of Qt::DayOfWeek minus one; 1970-01-01 was a Thursday.
quint8 BitDeDia(qint64 dia)
{
    const qint64 resto = ((dia + 3) % 7 + 7) % 7;
    return static_cast<quint8>(1u << resto);
}

qint64 DesplazamientoMs(const QTimeZone &zona, qint64 utc)
{
    return qint64(zona.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(utc, Qt::UTC))) * 1000;
}

// The wall clock at `utc`, except in the second pass of a repeated hour,
// where it stands at the last moment before the clock went back.
qint64 ParedEfectiva(const QTimeZone &zona, qint64 utc)
{
    const qint64 pared = utc + DesplazamientoMs(zona, utc);
    if (!zona.hasTransitions())
        return pared;
    const QTimeZone::OffsetData cambio =
        zona.previousTransition(QDateTime::fromMSecsSinceEpoch(utc + 1, Qt::UTC));
    if (!cambio.atUtc.isValid())
        return pared;
    const qint64 momento = cambio.atUtc.toMSecsSinceEpoch();
    const qint64 antes = DesplazamientoMs(zona, momento - 1);
    const qint64 despues = qint64(cambio.offsetFromUtc) * 1000;
    if (antes > despues && utc < momento + (antes - despues))
        return momento + antes - 1;
    return pared;
}

// The first instant whose effective wall clock reads `pared` or later.
qint64 InstanteDePared(const QTimeZone &zona, qint64 pared)
{
    // Zones change their offset at most once within a day either side.
    const qint64 temprano = pared - DesplazamientoMs(zona, pared - MsPorDia);
    const qint64 tardio = pared - DesplazamientoMs(zona, pared + MsPorDia);
    const auto cae = [&](qint64 utc) { return utc + DesplazamientoMs(zona, utc) == pared; };
    const bool primero = cae(temprano);
    const bool segundo = cae(tardio);
    if (primero && segundo)
        return std::min(temprano, tardio);
    if (primero)
        return temprano;
    if (segundo)
        return tardio;
    // Skipped by the clock: the moment it jumped over it.
    const QTimeZone::OffsetData cambio =
        zona.nextTransition(QDateTime::fromMSecsSinceEpoch(std::min(temprano, tardio), Qt::UTC));
    return cambio.atUtc.isValid() ? cambio.atUtc.toMSecsSinceEpoch() : temprano;
}

// An entry as runs of wall-clock time: one from `inicio` to `fin` after the
// midnight of each valid start day.
struct Franja
{
    qint64 inicio = 0;
    qint64 fin = MsPorDia;
    qint64 primerDia = std::numeric_limits<qint64>::min();
    qint64 ultimoDia = SinFin;
    quint8 dias = TodosLosDias;
    bool activa = true;

    explicit Franja(const EntradaDeProgramacion &entrada)
        : inicio(entrada.desde.msecsSinceStartOfDay()), dias(entrada.dias == 0 ? TodosLosDias : entrada.dias),
          activa(entrada.activa)
    {
        if (entrada.hasta) {
            const qint64 hasta = entrada.hasta->msecsSinceStartOfDay();
            fin = hasta > inicio ? hasta : hasta + MsPorDia;
        }
        if (entrada.desdeFecha)
            primerDia = DiaDeFecha(*entrada.desdeFecha);
        if (entrada.hastaFecha)
            ultimoDia = DiaDeFecha(*entrada.hastaFecha);
    }

    bool Empieza(qint64 dia) const
    {
        return activa && dia >= primerDia && dia <= ultimoDia && (dias & BitDeDia(dia));
    }

    // The start day of the run that holds `pared`, if one does.
    std::optional<qint64> Corrida(qint64 pared) const
    {
        const qint64 dia = DiaDe(pared);
        const qint64 hora = pared - dia * MsPorDia;
        // A run from the day before still going past midnight.
        if (hora + MsPorDia < fin && Empieza(dia - 1))
            return dia - 1;
        if (hora >= inicio && hora < fin && Empieza(dia))
            return dia;
        return std::nullopt;
    }

    std::optional<qint64> SiguienteDia(qint64 dia) const
    {
        if (!activa)
            return std::nullopt;
        dia = std::max(dia, primerDia);
        for (int i = 0; i < 7 && dia <= ultimoDia; ++i, ++dia) {
            if (dias & BitDeDia(dia))
                return dia;
        }
        return std::nullopt;
    }

    // The first wall-clock moment after `pared` at which the entry stops
    // running if it runs, or starts if it does not.
    std::optional<qint64> Cambio(qint64 pared) const
    {
        std::optional<qint64> corrida = Corrida(pared);
        if (!corrida) {
            const qint64 hoy = DiaDe(pared);
            const auto dia = SiguienteDia(hoy * MsPorDia + inicio > pared ? hoy : hoy + 1);
            if (!dia)
                return std::nullopt;
            return *dia * MsPorDia + inicio;
        }
        // A run of a whole day ends where the next one starts: they join.
        if (fin - inicio == MsPorDia && dias == TodosLosDias)
            return ultimoDia == SinFin ? std::nullopt : std::optional<qint64>(ultimoDia * MsPorDia + fin);
        qint64 dia = *corrida;
        for (;;) {
            const qint64 termina = dia * MsPorDia + fin;
            const auto siguiente = SiguienteDia(dia + 1);
            if (!siguiente || *siguiente * MsPorDia + inicio != termina)
                return termina;
            dia = *siguiente;
        }
    }
};

} // namespace

AlcanceDeTexto AlcanceDeDestinos(const DestinosDeEnvio &destinos, const RegistroDeCarteles &registro)
{
    AlcanceDeTexto alcance;
    if (destinos.direcciones.contains(0)) {
        alcance.todos = true;
        return alcance;
    }
    for (qsizetype i = 0; i < registro.Cantidad(); ++i) {
        const qint64 direccion = registro.En(i).Direccion();
        if (direccion > 0 && direccion <= 255 && destinos.direcciones.contains(static_cast<quint8>(direccion)))
            alcance.posiciones.append(i);
    }
    return alcance;
}

QList<qsizetype> EstadoDeCarteles(const Programacion &programacion, const QList<AlcanceDeTexto> &alcances,
                                  qsizetype carteles, const QDateTime &instante, const QTimeZone &zona)
{
    QList<qsizetype> estado(carteles, SinEntrada);
    const qint64 pared = ParedEfectiva(zona, instante.toMSecsSinceEpoch());
    const qsizetype cuantas = std::min(programacion.entradas.size(), alcances.size());
    // In list order, so that a later entry overwrites an earlier one.
    for (qsizetype i = 0; i < cuantas; ++i) {
        if (!Franja(programacion.entradas.at(i)).Corrida(pared))
            continue;
        const AlcanceDeTexto &alcance = alcances.at(i);
        if (alcance.todos) {
            std::fill(estado.begin(), estado.end(), i);
            continue;
        }
        for (qsizetype posicion : alcance.posiciones) {
            if (posicion >= 0 && posicion < carteles)
                estado[posicion] = i;
        }
    }
    return estado;
}

bool EntradaActiva(const EntradaDeProgramacion &entrada, const QDateTime &instante, const QTimeZone &zona)
{
    return Franja(entrada).Corrida(ParedEfectiva(zona, instante.toMSecsSinceEpoch())).has_value();
}

std::optional<QDateTime> ProximoCambio(const Programacion &programacion, const QDateTime &instante,
                                       const QTimeZone &zona)
{
    std::vector<Franja> franjas;
    franjas.reserve(programacion.entradas.size());
    for (const EntradaDeProgramacion &entrada : programacion.entradas)
        franjas.emplace_back(entrada);

    const qint64 pared = ParedEfectiva(zona, instante.toMSecsSinceEpoch());
    std::vector<bool> corren;
    corren.reserve(franjas.size());
    for (const Franja &franja : franjas)
        corren.push_back(franja.Corrida(pared).has_value());

    // A change the clock skips over (a run inside the skipped hour) is no
    // change at all: look again from where the clock landed.
    qint64 desde = pared;
    for (;;) {
        qint64 cambio = SinFin;
        for (const Franja &franja : franjas) {
            if (const auto suyo = franja.Cambio(desde))
                cambio = std::min(cambio, *suyo);
        }
        if (cambio == SinFin)
            return std::nullopt;
        const qint64 utc = InstanteDePared(zona, cambio);
        const qint64 llegada = ParedEfectiva(zona, utc);
        if (llegada == cambio)
            return QDateTime::fromMSecsSinceEpoch(utc, zona);
        for (std::size_t i = 0; i < franjas.size(); ++i) {
            if (franjas[i].Corrida(llegada).has_value() != corren[i])
                return QDateTime::fromMSecsSinceEpoch(utc, zona);
        }
        desde = llegada;
    }
}

QDateTime InstanteDeHoraLocal(const QDate &fecha, const QTime &hora, const QTimeZone &zona)
{
    const qint64 pared = DiaDeFecha(fecha) * MsPorDia + hora.msecsSinceStartOfDay();
    return QDateTime::fromMSecsSinceEpoch(InstanteDePared(zona, pared), zona);
}
