// The timetable reader, the writer's output read back to the same timetable,
// and which entry each sign shows at an instant, against a reading of its own.

#include "comun.h"

#include "schedule/estadodecarteles.h"
#include "schedule/programacion.h"

#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype Carteles = 3;

// Entry i reaches every sign when i is a multiple of 4, otherwise sign i % 3:
// enough for both kinds of reach to overlap.
QList<AlcanceDeTexto> Alcances(const Programacion &programacion)
{
    QList<AlcanceDeTexto> alcances;
    for (qsizetype i = 0; i < programacion.entradas.size(); ++i) {
        AlcanceDeTexto alcance;
        if (i % 4 == 0)
            alcance.todos = true;
        else
            alcance.posiciones = {i % Carteles};
        alcances.append(alcance);
    }
    return alcances;
}

// An instant from the input's own bytes, within a few years of now, so that
// dates in the file can matter.
QDateTime Instante(const QByteArray &bytes)
{
    quint64 mezcla = 1469598103934665603ULL;
    for (char byte : bytes)
        mezcla = (mezcla ^ static_cast<quint8>(byte)) * 1099511628211ULL;
    const qint64 inicio = QDateTime(QDate(2025, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    const qint64 tresAnios = 3LL * 366 * 24 * 60 * 60 * 1000;
    return QDateTime::fromMSecsSinceEpoch(inicio + static_cast<qint64>(mezcla % tresAnios), Qt::UTC);
}

} // namespace

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

    const QList<AlcanceDeTexto> alcances = Alcances(leida);
    const QDateTime instante = Instante(bytes);
    static const QTimeZone zonas[] = {QTimeZone::utc(), QTimeZone("Europe/Madrid")};
    for (const QTimeZone &zona : zonas) {
        const QList<qsizetype> estado = EstadoDeCarteles(leida, alcances, Carteles, instante, zona);
        Exigir(estado.size() == Carteles, "un estado por cartel");
        for (qsizetype cartel = 0; cartel < Carteles; ++cartel) {
            // The last active entry that reaches the sign, found the slow way.
            qsizetype esperada = SinEntrada;
            for (qsizetype i = 0; i < leida.entradas.size(); ++i) {
                const bool llega = alcances.at(i).todos || alcances.at(i).posiciones.contains(cartel);
                if (llega && EntradaActiva(leida.entradas.at(i), instante, zona))
                    esperada = i;
            }
            Exigir(estado.at(cartel) == esperada, "cada cartel muestra la última entrada activa que le llega",
                   u"cartel %1: %2 en vez de %3"_s.arg(cartel).arg(estado.at(cartel)).arg(esperada));
        }
        if (const auto cambio = ProximoCambio(leida, instante, zona))
            Exigir(*cambio > instante, "el próximo cambio es posterior al instante");
    }
    return 0;
}
