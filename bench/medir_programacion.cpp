// What each sign shows, and when that next changes, for a large timetable.
// The runner asks both every time it wakes and every time the timetable or
// the registry is edited, on the user interface thread, so each must take a
// small fraction of a frame.

#include "schedule/estadodecarteles.h"

#include <QTimeZone>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr double objetivoMilisegundos = 1.0;
constexpr int entradas = 1000;
constexpr int carteles = 100;
constexpr int corridas = 41;
constexpr int vueltasPorCorrida = 20;

// A mix of what operators write: whole days, mornings, nights past midnight,
// some days of the week, some date ranges, a few switched off; a tenth go
// to every sign, the rest to one to three signs.
Programacion ProgramacionGrande(QList<AlcanceDeTexto> &alcances)
{
    Programacion programacion;
    for (int i = 0; i < entradas; ++i) {
        EntradaDeProgramacion entrada;
        entrada.archivo = u"texto%1.txt"_s.arg(i);
        entrada.desde = QTime((i * 7) % 24, (i * 13) % 60);
        if (i % 5 != 0)
            entrada.hasta = QTime((i * 11) % 24, (i * 17) % 60);
        if (i % 3 == 0)
            entrada.dias = static_cast<quint8>(1 + i % 127);
        if (i % 4 == 0) {
            entrada.desdeFecha = QDate(2026, 1 + i % 12, 1);
            entrada.hastaFecha = entrada.desdeFecha->addDays(20 + i % 60);
        }
        entrada.activa = i % 17 != 0;
        programacion.entradas.append(entrada);

        AlcanceDeTexto alcance;
        alcance.todos = i % 10 == 0;
        for (int k = 0; !alcance.todos && k <= i % 3; ++k)
            alcance.posiciones.append((i * 31 + k * 7) % carteles);
        alcances.append(alcance);
    }
    return programacion;
}

template<typename Funcion>
double Mediana(Funcion hacer)
{
    using Reloj = std::chrono::steady_clock;
    std::vector<double> tiempos;
    tiempos.reserve(corridas);
    for (int c = 0; c < corridas; ++c) {
        const auto inicio = Reloj::now();
        for (int i = 0; i < vueltasPorCorrida; ++i)
            hacer();
        const std::chrono::duration<double, std::milli> transcurrido = Reloj::now() - inicio;
        tiempos.push_back(transcurrido.count() / vueltasPorCorrida);
    }
    std::nth_element(tiempos.begin(), tiempos.begin() + corridas / 2, tiempos.end());
    return tiempos[corridas / 2];
}

} // namespace

int main()
{
    QList<AlcanceDeTexto> alcances;
    const Programacion programacion = ProgramacionGrande(alcances);
    const QTimeZone zona("Europe/Madrid");
    const QDateTime instante = QDateTime::fromString(u"2026-12-09T10:30:00+01:00"_s, Qt::ISODate);

    qsizetype mostrados = 0;
    qint64 cambios = 0;
    const double estado = Mediana([&] {
        const QList<qsizetype> resultado = EstadoDeCarteles(programacion, alcances, carteles, instante, zona);
        mostrados += std::count_if(resultado.begin(), resultado.end(), [](qsizetype e) { return e != SinEntrada; });
    });
    const double cambio = Mediana([&] {
        if (const auto proximo = ProximoCambio(programacion, instante, zona))
            cambios += proximo->toMSecsSinceEpoch() - instante.toMSecsSinceEpoch();
    });

    // The sums are printed so the compiler cannot drop the work.
    std::fprintf(stderr, "medir_programacion: %lld carteles con texto, %lld ms hasta cambios en total\n",
                 static_cast<long long>(mostrados), static_cast<long long>(cambios));
    std::printf("| qué muestra cada cartel: %d entradas y %d carteles, un instante (mediana de %d corridas) "
                "| %.3f ms | < %.0f ms | %s |\n",
                entradas, carteles, corridas, estado, objetivoMilisegundos,
                estado < objetivoMilisegundos ? "sí" : "no");
    std::printf("| próximo cambio de esas %d entradas (mediana de %d corridas) | %.3f ms | < %.0f ms | %s |\n",
                entradas, corridas, cambio, objetivoMilisegundos, cambio < objetivoMilisegundos ? "sí" : "no");
    return 0;
}
