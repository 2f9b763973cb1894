// How faithfully the line keeps the 100 ms pause between frames. The address
// display is 101 frames with a pause after each of the first 100; a sign
// needs the pause to take in a frame, and the operator waits for all of them.
// Measured at the receiving end of a pseudo-terminal, through the program's
// real serial layer, with the pause interval the program uses.

#include "link/lineadecarteles.h"
#include "apoyo/pseudoterminal.h"
#include "carpetademedicion.h"

#include "link/trama.h"
#include "link/transmisor.h"
#include "platform/cuadrodemensaje.h"
#include "platform/puertoserie.h"
#include "ui/dialogodeenvio.h"
#include "ui/principal.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr double huecoMinimoMs = 100.0;
constexpr double huecoMaximoMs = 105.0;
constexpr double excesoMaximoPorCiento = 3.0;

qint64 AhoraNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void Fallar(const char *medicion, const QString &motivo)
{
    std::fprintf(stderr, "medir_pausas: %s\n", qPrintable(motivo));
    std::printf("| %s | error: %s | - | no |\n", medicion, qPrintable(motivo));
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacion(argc, argv);
    const char *medicionHuecos =
        "pausas entre tramas de «Ver las direcciones» en el receptor de una pty (PuertoSerieQt, "
        "pausa de 100 ms): mínima / mediana / máxima de 100";
    const char *medicionTotal = "«Ver las direcciones»: del primer al último byte en el receptor";

    CarpetaDeMedicion carpeta;
    PseudoTerminal linea;
    linea.PedirTiempoReal();
    if (!carpeta.Valida() || !linea.Valida() || !linea.CrearEnlace(carpeta.Dir(), 1)
        || !carpeta.EscribirConfiguracion({u"interfase com1,9600,N,8,1"_s, u"cartel R560, Sala, 1"_s,
                                           u"cartel R560, Patio, 2"_s})) {
        Fallar(medicionHuecos, u"no se pudo preparar la línea: %1"_s.arg(linea.Error()));
        return 1;
    }

    Principal principal;
    principal.show();
    // The window is up and painted before the user can ask for anything.
    {
        QEventLoop asentar;
        QTimer::singleShot(300, &asentar, &QEventLoop::quit);
        asentar.exec();
    }
    const auto intervalo = principal.Linea().Emisor().IntervaloDePausa();

    // Moments on the program's side, to tell where a late pause was lost:
    // bytes handed to the serial port object, and bytes it wrote to the device.
    struct Hito
    {
        qint64 bytes;
        qint64 nanosegundos;
    };
    QList<Hito> entregas;
    QList<Hito> escrituras;
    qint64 escritos = 0;
    QObject::connect(&principal.Linea().Emisor(), &Transmisor::Avance, &principal,
                     [&](qint64 entregados, qint64) { entregas.append({entregados, AhoraNs()}); });
    QObject::connect(&principal.Puerto(), &PuertoSerie::BytesEntregados, &principal, [&](qint64 cantidad) {
        escritos += cantidad;
        escrituras.append({escritos, AhoraNs()});
    });
    auto momentoDe = [](const QList<Hito> &hitos, qsizetype indice) {
        for (const Hito &hito : hitos) {
            if (hito.bytes > indice)
                return hito.nanosegundos;
        }
        return qint64{-1};
    };

    CuadroDeMensaje::ResponderCon({QMessageBox::Ok});
    principal.VerDirecciones();

    const QByteArray esperado = ArmarMensajeDeDirecciones();
    if (!linea.EsperarBytes(esperado.size(), 60000)) {
        Fallar(medicionHuecos, u"llegaron %1 de %2 bytes"_s.arg(linea.CantidadRecibida()).arg(esperado.size()));
        return 1;
    }
    if (linea.Recibido() != esperado) {
        Fallar(medicionHuecos, u"los bytes recibidos no son los enviados"_s);
        return 1;
    }

    const QList<PseudoTerminal::Lectura> lecturas = linea.Lecturas();
    QList<double> huecos;
    QList<qsizetype> puntos;
    for (qsizetype i = 0; i + 1 < esperado.size(); ++i) {
        if (static_cast<quint8>(esperado.at(i)) != ByteFinDeTrama)
            continue;
        puntos.append(i);
        const qint64 antes = PseudoTerminal::MomentoDelByte(lecturas, i);
        const qint64 despues = PseudoTerminal::MomentoDelByte(lecturas, i + 1);
        huecos.append(static_cast<double>(despues - antes) / 1e6);
    }
    const qint64 total = PseudoTerminal::MomentoDelByte(lecturas, esperado.size() - 1)
                         - PseudoTerminal::MomentoDelByte(lecturas, 0);

    // Which pauses missed, and where the time went. The serial port object
    // reports a write (bytesWritten) one turn of the event loop after making
    // it, so the far end may read a byte before its report: from the report
    // of the end byte to the program handing over the next byte is the pause
    // the program made; then that byte's report, then its read.
    for (qsizetype i = 0; i < huecos.size(); ++i) {
        if (huecos.at(i) >= huecoMinimoMs && huecos.at(i) <= huecoMaximoMs)
            continue;
        const qsizetype fin = puntos.at(i);
        const auto ms = [](qint64 desde, qint64 hasta) { return static_cast<double>(hasta - desde) / 1e6; };
        const qint64 finEscrito = momentoDe(escrituras, fin);
        const qint64 finLeido = PseudoTerminal::MomentoDelByte(lecturas, fin);
        const qint64 siguienteEntregado = momentoDe(entregas, fin + 1);
        const qint64 siguienteEscrito = momentoDe(escrituras, fin + 1);
        const qint64 siguienteLeido = PseudoTerminal::MomentoDelByte(lecturas, fin + 1);
        std::fprintf(stderr,
                     "medir_pausas: pausa %lld: %.2f ms en el receptor; fin leído %+.2f ms tras su aviso "
                     "de escritura; pausa del programa %.2f ms; aviso del byte siguiente %.2f ms tras "
                     "entregarlo; leído %+.2f ms tras su aviso\n",
                     static_cast<long long>(i), huecos.at(i), ms(finEscrito, finLeido),
                     ms(finEscrito, siguienteEntregado), ms(siguienteEntregado, siguienteEscrito),
                     ms(siguienteEscrito, siguienteLeido));
    }
    std::sort(huecos.begin(), huecos.end());
    const double menor = huecos.first();
    const double mediana = huecos.at(huecos.size() / 2);
    const double mayor = huecos.last();
    const double pisoMs = static_cast<double>(huecos.size()) * static_cast<double>(intervalo.count());
    const double totalMs = static_cast<double>(total) / 1e6;
    const double exceso = (totalMs - pisoMs) * 100.0 / pisoMs;

    std::fprintf(stderr, "medir_pausas: %lld pausas de %lld ms; bytes en %lld lecturas; lector %s\n",
                 static_cast<long long>(huecos.size()), static_cast<long long>(intervalo.count()),
                 static_cast<long long>(lecturas.size()), linea.TiempoReal() ? "en tiempo real" : "ordinario");
    std::printf("| %s | %.1f / %.1f / %.1f ms | cada una de %.0f a %.0f ms | %s |\n", medicionHuecos, menor,
                mediana, mayor, huecoMinimoMs, huecoMaximoMs,
                menor >= huecoMinimoMs && mayor <= huecoMaximoMs ? "sí" : "no");
    std::printf("| %s | %.3f s (%+.2f %% sobre %lld × %lld ms) | a menos de %.0f %% de %.0f s | %s |\n", medicionTotal,
                totalMs / 1000.0, exceso, static_cast<long long>(huecos.size()),
                static_cast<long long>(intervalo.count()), excesoMaximoPorCiento, pisoMs / 1000.0,
                exceso >= 0.0 && exceso <= excesoMaximoPorCiento ? "sí" : "no");
    return 0;
}
