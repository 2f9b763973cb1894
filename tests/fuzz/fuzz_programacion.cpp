// The timetable reader, the writer's output read back to the same timetable,
// and the state of the signs at an instant over what it reads.

#include "comun.h"

#include "schedule/estadodecarteles.h"
#include "schedule/programacion.h"

#include <QHash>
#include <QTimeZone>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t tamano)
{
    const QByteArray bytes = Bytes(datos, tamano);
    Programacion leida;
    if (LeerProgramacionDeBytes(bytes, leida, u"programacion.json"_s)) {
        Exigir(leida.entradas.isEmpty(), "lo que no se lee deja la programación vacía");
        return 0;
    }
    Programacion releida;
    Exigir(!LeerProgramacionDeBytes(ProgramacionEnBytes(leida), releida), "lo escrito se vuelve a leer");
    Exigir(releida == leida, "escribir y volver a leer da la misma programación");

    // Entries reaching all three signs and one each overlap; the instant,
    // from the input within three years, lets its dates matter.
    constexpr qsizetype carteles = 3;
    QList<AlcanceDeTexto> alcances;
    for (qsizetype i = 0; i < leida.entradas.size(); ++i)
        alcances.append(i % 4 == 0 ? AlcanceDeTexto{true, {}} : AlcanceDeTexto{false, {i % carteles}});
    const qint64 inicio = QDateTime(QDate(2025, 1, 1), QTime(0, 0), QTimeZone::utc()).toMSecsSinceEpoch();
    const QDateTime instante = QDateTime::fromMSecsSinceEpoch(
        inicio + static_cast<qint64>(qHash(bytes, 0) % (3ULL * 366 * 24 * 3600 * 1000)), QTimeZone::utc());
    static const QTimeZone zonas[] = {QTimeZone::utc(), QTimeZone("Europe/Madrid")};
    for (const QTimeZone &zona : zonas) {
        const QList<qsizetype> estado = EstadoDeCarteles(leida, alcances, carteles, instante, zona);
        Exigir(estado.size() == carteles, "un estado por cartel");
        for (const qsizetype entrada : estado)
            Exigir(entrada == SinEntrada || (entrada >= 0 && entrada < leida.entradas.size()),
                   "cada cartel muestra una entrada que existe");
        if (const auto cambio = ProximoCambio(leida, instante, zona))
            Exigir(*cambio > instante, "el próximo cambio es posterior al instante");
    }
    return 0;
}
