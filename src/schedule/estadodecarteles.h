#pragma once

#include "config/registrodecarteles.h"
#include "schedule/programacion.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QTimeZone>

#include <optional>

struct DestinosDeEnvio;

// The signs of the registry that one entry's text reaches.
struct AlcanceDeTexto
{
    bool todos = false;          // a frame to address 0 reaches every sign
    QList<qsizetype> posiciones; // registry positions, when not `todos`

    friend bool operator==(const AlcanceDeTexto &, const AlcanceDeTexto &) = default;
};

// Where the frames of `destinos` land: a frame to address 0 (Global, or a
// sign whose address is "Desconocida") on every sign; a frame to address a,
// on every sign of `registro` whose address is a.
AlcanceDeTexto AlcanceDeDestinos(const DestinosDeEnvio &destinos, const RegistroDeCarteles &registro);

// No entry is shown on that sign: it keeps what it had.
inline constexpr qsizetype SinEntrada = -1;

// For each position of a registry of `carteles` signs, the index of the entry
// of `programacion` whose text that sign shows at `instante`, or SinEntrada.
// `alcances` holds entry i's reach at index i. Among the entries active for a
// sign the latest in the list wins.
//
// Times are the wall clock of `zona`. In the hour the clock skips, nothing
// happens until it reads the hour after: a start at 02:30 happens at 03:00.
// In the hour the clock repeats, the second pass changes nothing: the clock
// is taken to stand still just before the moment it went back, so what began
// or ended in the first pass is not done again.
QList<qsizetype> EstadoDeCarteles(const Programacion &programacion, const QList<AlcanceDeTexto> &alcances,
                                  qsizetype carteles, const QDateTime &instante, const QTimeZone &zona);

// Whether `entrada` runs at `instante`, read on the wall clock of `zona` as above.
bool EntradaActiva(const EntradaDeProgramacion &entrada, const QDateTime &instante, const QTimeZone &zona);

// The first instant after `instante` at which some entry starts or stops
// running; none when no entry will ever change.
std::optional<QDateTime> ProximoCambio(const Programacion &programacion, const QDateTime &instante,
                                       const QTimeZone &zona);

// The first instant at which the wall clock of `zona` reads `hora` of `fecha`
// or later: in the skipped hour, the moment the clock jumps; in the repeated
// hour, its first pass.
QDateTime InstanteDeHoraLocal(const QDate &fecha, const QTime &hora, const QTimeZone &zona);
