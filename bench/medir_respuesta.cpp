// Whether the windows stay responsive while a transmission runs. Everything
// runs on the user interface thread, so the longest stall of its event loop
// is the longest the user waits for a click or a repaint: a 1 ms timer's
// largest interval between two ticks, from just before the command until the
// last byte has reached the far end of a pseudo-terminal.

#include "link/lineadecarteles.h"
#include "documents/documento.h"
#include "apoyo/pseudoterminal.h"
#include "carpetademedicion.h"

#include "encoding/codificador.h"
#include "link/trama.h"
#include "link/transmisor.h"
#include "platform/cuadrodemensaje.h"
#include "platform/puertoserie.h"
#include "ui/dialogodeenvio.h"
#include "ui/editordetexto.h"
#include "ui/principal.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

constexpr double objetivoMs = 16.0;

// Ordinary prose with tags, substitutes and line breaks, cut to the longest
// text the editor sends.
QString TextoMasLargo()
{
    const QString trozo = u"[titila]¡Atención![no titila] Próxima salida del andén nº 3: "
                          u"[centra][v1]ÁVILA 12:45[normal]\r\n"
                          u"[sube]Señores pasajeros, ¿desean café? [pausa][izq]Precio 2,50 [esp seg]\r\n"_s;
    QString texto;
    while (texto.size() < LongitudMaximaDeTexto)
        texto += trozo;
    texto.truncate(LongitudMaximaDeTexto);
    // A line break cut in half would change the length in the editor.
    if (texto.endsWith(u'\r'))
        texto.back() = u'.';
    return texto;
}

qint64 AhoraNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Runs `orden` from the event loop while a 1 ms timer ticks, until `listo`
// holds or `plazoMs` passes. The largest interval between ticks, in ms; -1
// when `listo` never held. Every interval over the goal is told on stderr
// with how many of the moments in `actividad` (the program at work) fell
// inside it: none means the thread was kept off the processor, not busy.
double MayorDetencion(const std::function<void()> &orden, const std::function<bool()> &listo, int plazoMs,
                      const QList<qint64> &actividad)
{
    struct Detencion
    {
        qint64 desde;
        qint64 hasta;
    };
    QList<Detencion> largas;
    qint64 anterior = -1;
    qint64 mayor = 0;
    QTimer tic;
    tic.setTimerType(Qt::PreciseTimer);
    tic.setInterval(1);
    QObject::connect(&tic, &QTimer::timeout, &tic, [&] {
        const qint64 ahora = AhoraNs();
        if (anterior >= 0) {
            mayor = std::max(mayor, ahora - anterior);
            if (static_cast<double>(ahora - anterior) / 1e6 >= objetivoMs)
                largas.append({anterior, ahora});
        }
        anterior = ahora;
    });
    tic.start();

    // A few quiet ticks first, so the first interval is a steady one.
    {
        QEventLoop calma;
        QTimer::singleShot(100, &calma, &QEventLoop::quit);
        calma.exec();
    }
    mayor = 0;
    largas.clear();

    bool terminado = false;
    QEventLoop bucle;
    QTimer vistazo;
    QObject::connect(&vistazo, &QTimer::timeout, &bucle, [&] {
        if (listo()) {
            terminado = true;
            bucle.quit();
        }
    });
    QTimer::singleShot(plazoMs, &bucle, &QEventLoop::quit);
    const qint64 comienzo = AhoraNs();
    QTimer::singleShot(0, &tic, orden);
    vistazo.start(5);
    bucle.exec();
    tic.stop();

    for (const Detencion &detencion : std::as_const(largas)) {
        const auto dentro = std::count_if(actividad.cbegin(), actividad.cend(), [&](qint64 momento) {
            return momento > detencion.desde && momento < detencion.hasta;
        });
        std::fprintf(stderr, "medir_respuesta: detención de %.1f ms a los %.0f ms de la orden; %lld sucesos del "
                             "envío dentro\n",
                     static_cast<double>(detencion.hasta - detencion.desde) / 1e6,
                     static_cast<double>(detencion.desde - comienzo) / 1e6, static_cast<long long>(dentro));
    }
    return terminado ? static_cast<double>(mayor) / 1e6 : -1.0;
}

void Fila(const char *medicion, double ms)
{
    if (ms < 0) {
        std::printf("| %s | error: no terminó | < %.0f ms | no |\n", medicion, objetivoMs);
        return;
    }
    std::printf("| %s | %.1f ms | < %.0f ms | %s |\n", medicion, ms, objetivoMs, ms < objetivoMs ? "sí" : "no");
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacion(argc, argv);
    const char *medicionTexto =
        "mayor detención del hilo de la interfaz (tic de 1 ms) al enviar un texto de 32766 caracteres por una pty";
    const char *medicionDirecciones =
        "mayor detención del hilo de la interfaz (tic de 1 ms) durante «Ver las direcciones» por una pty";

    CarpetaDeMedicion carpeta;
    PseudoTerminal linea;
    linea.PedirTiempoReal();
    if (!carpeta.Valida() || !linea.Valida() || !linea.CrearEnlace(carpeta.Dir(), 1)
        || !carpeta.EscribirConfiguracion({u"interfase com1,9600,N,8,1"_s, u"cartel R560, Sala, 1"_s})) {
        std::fprintf(stderr, "medir_respuesta: no se pudo preparar la línea: %s\n", qPrintable(linea.Error()));
        Fila(medicionTexto, -1);
        return 1;
    }

    Principal principal;
    principal.show();
    principal.NuevoTexto();
    EditorDeTexto *nuevo = principal.editor(1);
    if (!nuevo)
        return 1;
    EditorDeTexto &editor = *nuevo;
    editor.documento().PonerTexto(TextoMasLargo());
    if (editor.documento().Texto().size() != LongitudMaximaDeTexto) {
        std::fprintf(stderr, "medir_respuesta: el editor tiene %lld caracteres\n",
                     static_cast<long long>(editor.documento().Texto().size()));
        return 1;
    }
    const QByteArray trama = ArmarTrama(CodificarTexto(editor.documento().Texto()), 0);
    DialogoDeEnvio &dialogo = principal.dialogEnvio();

    // The program at work: every slice handed to the port, every write to
    // the device.
    QList<qint64> actividad;
    QObject::connect(&principal.Linea().Emisor(), &Transmisor::Avance, &principal,
                     [&actividad](qint64, qint64) { actividad.append(AhoraNs()); });
    QObject::connect(&principal.Puerto(), &PuertoSerie::BytesEntregados, &principal,
                     [&actividad](qint64) { actividad.append(AhoraNs()); });

    const double enTexto = MayorDetencion([&] { editor.EnviarAhora(); },
                                          [&] { return linea.CantidadRecibida() >= trama.size() && dialogo.isHidden(); },
                                          30000, actividad);
    std::fprintf(stderr, "medir_respuesta: trama de %lld bytes; %lld bytes recibidos\n",
                 static_cast<long long>(trama.size()), static_cast<long long>(linea.CantidadRecibida()));
    if (linea.Recibido() != trama)
        std::fprintf(stderr, "medir_respuesta: ¡los bytes recibidos no son la trama enviada!\n");
    Fila(medicionTexto, enTexto);

    const qsizetype antes = linea.CantidadRecibida();
    const qsizetype direcciones = ArmarMensajeDeDirecciones().size();
    CuadroDeMensaje::ResponderCon({QMessageBox::Ok});
    const double enDirecciones = MayorDetencion(
        [&] { principal.VerDirecciones(); },
        [&] { return linea.CantidadRecibida() >= antes + direcciones && dialogo.isHidden(); }, 60000, actividad);
    Fila(medicionDirecciones, enDirecciones);
    return 0;
}
