// cartel-virtual: a sign on a pseudo-terminal. Makes ./comN point at it, so
// that the program, run in the same directory with port N, writes to it; then
// prints every frame and every anomaly it reads, until Ctrl+C, SIGTERM or the
// end of its standard input. SIGUSR1 prints the last text per address.
// With --ventana it also plays each address's last message on a simulated
// sign in a window.

#include "platform/avisadordesenales.h"
#include "cartelvirtual.h"
#include "enlacedepuerto.h"
#include "terminalvirtual.h"
#include "ui/matrizdepuntos.h"
#include "ventanadecarteles.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Standard input ends the run only when someone can close it: a terminal
// (Ctrl+D) or a pipe. Started in the background, input is /dev/null, whose
// immediate end must not stop the sign.
bool EntradaQuePuedeTerminar()
{
    struct stat datos {};
    if (fstat(STDIN_FILENO, &datos) != 0)
        return false;
    return isatty(STDIN_FILENO) || S_ISFIFO(datos.st_mode) || S_ISSOCK(datos.st_mode);
}

// Looked for before any application exists: only a window needs a display,
// so without --ventana the sign runs on a bare terminal as it always did.
bool PideVentana(int argc, char *argv[])
{
    return std::any_of(argv + 1, argv + argc, [](const char *a) { return std::strcmp(a, "--ventana") == 0; });
}

std::optional<QRgb> ColorDeNombre(const QString &nombre)
{
    for (const ColorDeCartel &color : ColoresDeCartel) {
        const QString conTilde = color.nombre.toString();
        if (nombre.compare(conTilde, Qt::CaseInsensitive) == 0
            || nombre.compare(conTilde.normalized(QString::NormalizationForm_D).remove(u'\u0301'),
                              Qt::CaseInsensitive)
                == 0)
            return color.encendido;
    }
    return std::nullopt;
}

// What the command line asks for, checked.
struct PedidoDelCartel
{
    int numero = 2;
    bool json = false;
    bool ventana = false;
    int ancho = 80;
    QRgb color = 0;
};

// Reads the options; a wrong one is said on `error` and gives none.
std::optional<PedidoDelCartel> LeerPedido(QCoreApplication &aplicacion, QTextStream &error)
{
    QCommandLineParser opciones;
    opciones.setApplicationDescription(
        u"Cartel virtual: crea ./comN enlazado a una pseudo-terminal y muestra cada trama que "
        u"recibe. SIGUSR1 muestra el último texto de cada dirección.\n\n"
        u"En el texto mostrado, un solo \"[\" abre siempre un código: los efectos se muestran "
        u"como su etiqueta (\"[titila]\", \"[exp]\") y un byte sin significado para el cartel "
        u"como \"[0xNN]\"; un \"[\" que el mensaje trae como texto se muestra doble, \"[[\". "
        u"Así el efecto [exp] se ve \"[exp]\" y el texto \"[exp]\" se ve \"[[exp]\"."_s);
    opciones.addHelpOption();
    const QCommandLineOption puerto(u"puerto"_s, u"Número N del puerto ./comN (por omisión 2)."_s,
                                    u"N"_s, u"2"_s);
    const QCommandLineOption json(u"json"_s, u"Un objeto JSON por línea en lugar de texto."_s);
    const QCommandLineOption ventana(
        u"ventana"_s, u"Además, una ventana con un cartel de puntos por dirección que recibió una trama."_s);
    const QCommandLineOption columnas(u"columnas"_s,
                                      u"Ancho en puntos de los carteles de la ventana: 16, 32, 64, 80, 96, "
                                      u"120 o 160 (por omisión 80)."_s,
                                      u"N"_s, u"80"_s);
    const QCommandLineOption color(u"color"_s, u"Color de los puntos: ámbar, rojo o verde (por omisión ámbar)."_s,
                                   u"COLOR"_s, u"ámbar"_s);
    opciones.addOptions({puerto, json, ventana, columnas, color});
    opciones.process(aplicacion);

    PedidoDelCartel pedido;
    bool numeroValido = false;
    pedido.numero = opciones.value(puerto).toInt(&numeroValido);
    if (!numeroValido || pedido.numero < 1 || pedido.numero > 99) {
        error << "cartel-virtual: --puerto necesita un número de 1 a 99\n";
        return std::nullopt;
    }
    pedido.ancho = opciones.value(columnas).toInt();
    if (std::find(std::begin(AnchosDeCartel), std::end(AnchosDeCartel), pedido.ancho) == std::end(AnchosDeCartel)) {
        error << "cartel-virtual: --columnas necesita 16, 32, 64, 80, 96, 120 o 160\n";
        return std::nullopt;
    }
    const std::optional<QRgb> colorElegido = ColorDeNombre(opciones.value(color));
    if (!colorElegido) {
        error << "cartel-virtual: --color necesita ámbar, rojo o verde\n";
        return std::nullopt;
    }
    pedido.color = *colorElegido;
    pedido.json = opciones.isSet(json);
    pedido.ventana = opciones.isSet(ventana);
    return pedido;
}

// The end of a standard input someone can close ends the run.
void TerminarConLaEntrada(QCoreApplication &aplicacion)
{
    if (!EntradaQuePuedeTerminar())
        return;
    auto *entrada = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &aplicacion);
    QObject::connect(entrada, &QSocketNotifier::activated, &aplicacion, [entrada] {
        char basura[256];
        const ssize_t n = read(STDIN_FILENO, basura, sizeof basura);
        if (n <= 0) {
            entrada->setEnabled(false);
            QCoreApplication::quit();
        }
    });
}

// With --ventana, the window that plays what `cartel` reads; none otherwise.
std::unique_ptr<VentanaDeCarteles> VentanaPedida(const PedidoDelCartel &pedido, const QString &nombre,
                                                 CartelVirtual &cartel)
{
    if (!pedido.ventana)
        return nullptr;
    auto carteles = std::make_unique<VentanaDeCarteles>(nombre, pedido.ancho, pedido.color);
    QObject::connect(&cartel, &CartelVirtual::MensajeRecibido, carteles.get(), &VentanaDeCarteles::MostrarMensaje);
    QObject::connect(&cartel, &CartelVirtual::LineaEscrita, carteles.get(), &VentanaDeCarteles::AgregarLinea);
    carteles->show();
    return carteles;
}

// The sign on its pseudo-terminal, until a signal or the end of the input.
int Correr(const PedidoDelCartel &pedido, QCoreApplication &aplicacion, QTextStream &error)
{
    AvisadorDeSenales senales;
    if (!senales.Instalar({SIGINT, SIGTERM, SIGHUP, SIGUSR1})) {
        error << "cartel-virtual: no se pueden atender las señales\n";
        return 1;
    }
    TerminalVirtual terminal;
    if (!terminal.Abrir()) {
        error << "cartel-virtual: " << terminal.Error() << '\n';
        return 1;
    }
    const QString nombre = u"com%1"_s.arg(pedido.numero);
    EnlaceDePuerto enlace(nombre, terminal.NombreDelEsclavo());
    if (!enlace.Crear()) {
        error << "cartel-virtual: " << enlace.Error() << '\n';
        return 1;
    }

    QTextStream salida(stdout);
    CartelVirtual cartel(salida, pedido.json);
    QObject::connect(&terminal, &TerminalVirtual::BytesRecibidos, &cartel, &CartelVirtual::Recibir);
    QObject::connect(&terminal, &TerminalVirtual::Cerrada, &aplicacion, [&] {
        error << "cartel-virtual: " << terminal.Error() << '\n';
        error.flush();
        QCoreApplication::exit(1);
    });
    QObject::connect(&senales, &AvisadorDeSenales::Recibida, &aplicacion, [&](int senal) {
        if (senal == SIGUSR1)
            cartel.MostrarTabla();
        else
            QCoreApplication::quit();
    });
    const std::unique_ptr<VentanaDeCarteles> carteles = VentanaPedida(pedido, nombre, cartel);
    TerminarConLaEntrada(aplicacion);

    error << "cartel-virtual: ./" << nombre << " -> " << terminal.NombreDelEsclavo()
          << " (Ctrl+C o Ctrl+D para terminar; kill -USR1 " << getpid()
          << " muestra los últimos textos)\n";
    error.flush();
    const int resultado = aplicacion.exec();
    // What was half received when the run ended is reported, not lost.
    cartel.Vigilar();
    cartel.MostrarTabla();
    enlace.Quitar();
    return resultado;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::unique_ptr<QCoreApplication> aplicacion(PideVentana(argc, argv) ? new QApplication(argc, argv)
                                                                               : new QCoreApplication(argc, argv));
    QCoreApplication::setApplicationName(u"cartel-virtual"_s);
    QTextStream error(stderr);
    const std::optional<PedidoDelCartel> pedido = LeerPedido(*aplicacion, error);
    return pedido ? Correr(*pedido, *aplicacion, error) : 2;
}
