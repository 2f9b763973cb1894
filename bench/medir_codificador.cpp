// Time to encode the longest text the editor may send. The send and length
// commands encode on the user interface thread, once per destination sign, so
// the whole text must encode well within a frame of the screen.

#include "encoding/codificador.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr double objetivoMicrosegundos = 100.0;
constexpr int corridas = 41;
constexpr int vueltasPorCorrida = 50;

// Ordinary prose with tags, substituted letters, line breaks, dropped
// characters and brackets that start no tag, cut to the longest text allowed.
QString TextoMezclado()
{
    const QString trozo =
        u"[titila]¡Atención![no titila] Próxima salida del andén nº 3: "
        u"[centra][v1]ÁVILA – 12:45 €[normal]\r\n"
        u"[sube]Señores pasajeros, ¿desean café? [pausa][izq]Precio 2,50 € [esp seg]"
        u"[Baja] [v9] corchete [ suelto ] y ü, °, 中文 [exp]FIN[baja]\r\n"_s;
    QString texto;
    texto.reserve(LongitudMaximaDeTexto);
    while (texto.size() < LongitudMaximaDeTexto)
        texto += trozo;
    texto.truncate(LongitudMaximaDeTexto);
    return texto;
}

} // namespace

int main()
{
    using Reloj = std::chrono::steady_clock;
    const QString texto = TextoMezclado();

    qsizetype total = 0;
    for (int i = 0; i < vueltasPorCorrida; ++i)
        total += CodificarTexto(texto).size();

    std::vector<double> tiempos;
    tiempos.reserve(corridas);
    for (int c = 0; c < corridas; ++c) {
        const auto inicio = Reloj::now();
        for (int i = 0; i < vueltasPorCorrida; ++i)
            total += CodificarTexto(texto).size();
        const std::chrono::duration<double, std::micro> transcurrido = Reloj::now() - inicio;
        tiempos.push_back(transcurrido.count() / vueltasPorCorrida);
    }
    std::nth_element(tiempos.begin(), tiempos.begin() + corridas / 2, tiempos.end());
    const double mediana = tiempos[corridas / 2];

    // The sum is printed so the compiler cannot drop the work.
    std::fprintf(stderr, "medir_codificador: %lld bytes codificados en total\n",
                 static_cast<long long>(total));
    std::printf("| codificar un texto de %lld caracteres (mediana de %d corridas) | %.1f µs | < %.0f µs | %s |\n",
                static_cast<long long>(texto.size()), corridas, mediana, objetivoMicrosegundos,
                mediana < objetivoMicrosegundos ? "sí" : "no");
    return 0;
}
