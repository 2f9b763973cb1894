// How long the program takes to come up and how much memory it needs. Runs
// brevalux_con_gancho (the program's own main.cpp with a measuring hook
// linked beside it) in a directory with a configuration file, and an empty
// Qt main window with a menu bar linked with the same hook, 101 times each,
// first offscreen, then on the X display in DISPLAY (scripts/bench starts a
// virtual one when there is none). They run in turns (ABBA: each follows the
// other as often as itself, since a run slows the one right after it) so
// that both see the same machine; each run is timed from just before fork()
// until the moment the hook saw the main window exposed and painted, on the
// same monotonic clock, and its peak resident memory comes from wait4().

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int corridas = 101;
constexpr double objetivoMs = 300.0;
// The program against the empty window.
constexpr double objetivoRazon = 1.05;
constexpr double objetivoMb = 60.0;
constexpr int plazoMs = 20000;

struct Corrida
{
    double milisegundos;
    double megabytes; // 10^6 bytes
};

long long AhoraNs()
{
    timespec ahora{};
    clock_gettime(CLOCK_MONOTONIC, &ahora);
    return static_cast<long long>(ahora.tv_sec) * 1000000000LL + ahora.tv_nsec;
}

std::optional<Corrida> Correr(const char *programa, const QByteArray &carpeta)
{
    int tubo[2];
    if (pipe(tubo) != 0)
        return std::nullopt;

    const long long inicio = AhoraNs();
    const pid_t hijo = fork();
    if (hijo < 0)
        return std::nullopt;
    if (hijo == 0) {
        dup2(tubo[1], STDOUT_FILENO);
        const int nulo = open("/dev/null", O_RDWR);
        dup2(nulo, STDERR_FILENO);
        dup2(nulo, STDIN_FILENO);
        close(tubo[0]);
        close(tubo[1]);
        if (chdir(carpeta.constData()) != 0)
            _exit(126);
        execl(programa, programa, static_cast<char *>(nullptr));
        _exit(127);
    }
    close(tubo[1]);

    QByteArray salida;
    bool cerrada = false;
    const long long limite = inicio + static_cast<long long>(plazoMs) * 1000000LL;
    for (;;) {
        const long long resta = (limite - AhoraNs()) / 1000000LL;
        if (resta <= 0)
            break;
        pollfd espera{tubo[0], POLLIN, 0};
        if (poll(&espera, 1, static_cast<int>(resta)) <= 0)
            continue;
        char bloque[256];
        const ssize_t leidos = read(tubo[0], bloque, sizeof bloque);
        if (leidos < 0 && errno == EINTR)
            continue;
        if (leidos <= 0) {
            cerrada = leidos == 0;
            break;
        }
        salida.append(bloque, leidos);
    }
    close(tubo[0]);

    int estado = 0;
    rusage uso{};
    // Its output ends when it exits; otherwise it hung.
    if (!cerrada) {
        kill(hijo, SIGKILL);
        wait4(hijo, &estado, 0, &uso);
        std::fprintf(stderr, "medir_arranque: el programa no terminó a tiempo\n");
        return std::nullopt;
    }
    if (wait4(hijo, &estado, 0, &uso) != hijo)
        return std::nullopt;
    const QList<QByteArray> campos = salida.trimmed().split(' ');
    if (!WIFEXITED(estado) || WEXITSTATUS(estado) != 0 || campos.size() != 2) {
        std::fprintf(stderr, "medir_arranque: salida inesperada «%s», estado %d\n", salida.constData(), estado);
        return std::nullopt;
    }
    const long long mostrada = campos.at(0).toLongLong();
    return Corrida{static_cast<double>(mostrada - inicio) / 1e6, static_cast<double>(uso.ru_maxrss) * 1024.0 / 1e6};
}

double Mediana(QList<double> valores)
{
    std::sort(valores.begin(), valores.end());
    const qsizetype n = valores.size();
    return n % 2 ? valores.at(n / 2) : (valores.at(n / 2 - 1) + valores.at(n / 2)) / 2.0;
}

struct Serie
{
    QList<double> tiempos;
    QList<double> memorias;
    QList<double> vacias;
    QList<double> razones;
};

// Both programs, in turns, on one Qt platform; empty when a run failed.
std::optional<Serie> MedirEn(const char *plataforma, const QByteArray &carpeta)
{
    // Qt's own choice of platform, not a setting of the program.
    setenv("QT_QPA_PLATFORM", plataforma, 1);
    Serie serie;
    for (int i = 0; i < corridas; ++i) {
        std::optional<Corrida> corrida;
        std::optional<Corrida> vacia;
        if (i % 2 == 0) {
            corrida = Correr(RUTA_PROGRAMA_MEDIDO, carpeta);
            vacia = Correr(RUTA_VENTANA_VACIA, carpeta);
        } else {
            vacia = Correr(RUTA_VENTANA_VACIA, carpeta);
            corrida = Correr(RUTA_PROGRAMA_MEDIDO, carpeta);
        }
        if (!corrida || !vacia)
            return std::nullopt;
        serie.tiempos.append(corrida->milisegundos);
        serie.memorias.append(corrida->megabytes);
        serie.vacias.append(vacia->milisegundos);
        // Each pair ran back to back, on the same machine's mood: a slow
        // spell of the machine weighs on both of a pair, not on one side.
        serie.razones.append(corrida->milisegundos / vacia->milisegundos);
    }
    std::fprintf(stderr, "medir_arranque (%s): de %.1f a %.1f ms; de %.1f a %.1f MB\n", plataforma,
                 *std::min_element(serie.tiempos.cbegin(), serie.tiempos.cend()),
                 *std::max_element(serie.tiempos.cbegin(), serie.tiempos.cend()),
                 *std::min_element(serie.memorias.cbegin(), serie.memorias.cend()),
                 *std::max_element(serie.memorias.cbegin(), serie.memorias.cend()));
    return serie;
}

} // namespace

int main()
{
    const QByteArray n = QByteArray::number(corridas);
    const QByteArray comoSeMide = "main.cpp del programa con un gancho de medición enlazado aparte; desde fork(), "
                                  "mediana de " + n + ")";
    const QByteArray frenteAVacia = "frente al de una ventana principal de Qt vacía con la misma barra de menús y el "
                                    "mismo gancho (medianas de " + n
                                    + ", alternadas ABBA; la razón es la mediana de las razones de cada par)";
    const QByteArray tiempoSinPantalla =
        "arranque offscreen hasta la ventana principal expuesta y pintada (" + comoSeMide;
    const QByteArray memoria = "pico de memoria residente de ese arranque (ru_maxrss, mediana de " + n + ")";
    // Offscreen has no display to connect to, so Qt's own fixed part of
    // coming up is about half of what it is on one, and whatever the program
    // adds weighs twice as much: a reference, not what an operator sees.
    const QByteArray razonSinPantalla = "ese arranque offscreen " + frenteAVacia
                                        + "; sin pantalla la parte fija de Qt es la mitad, referencia";
    const QByteArray tiempoEnPantalla =
        "arranque en una pantalla X (xcb) hasta la ventana principal expuesta y pintada (" + comoSeMide;
    const QByteArray razonEnPantalla = "ese arranque en pantalla " + frenteAVacia;

    QTemporaryDir carpeta;
    QFile configuracion(carpeta.filePath(u"carteles.ini"_s));
    if (!carpeta.isValid() || !configuracion.open(QIODevice::WriteOnly)
        || configuracion.write("interfase com1,9600,N,8,1\r\ncartel R560, Sala, 1\r\n"
                               "cartel R560, Patio, 2\r\ncartel R560, Hall, 3\r\n") < 0) {
        std::printf("| %s | error: sin carpeta de trabajo | < %.0f ms | no |\n", tiempoSinPantalla.constData(),
                    objetivoMs);
        return 1;
    }
    configuracion.close();
    const QByteArray ruta = QFile::encodeName(carpeta.path());

    const std::optional<Serie> sinPantalla = MedirEn("offscreen", ruta);
    if (!sinPantalla) {
        std::printf("| %s | error: una corrida falló | < %.0f ms | no |\n", tiempoSinPantalla.constData(), objetivoMs);
        return 1;
    }
    const double tiempo = Mediana(sinPantalla->tiempos);
    const double mb = Mediana(sinPantalla->memorias);
    std::printf("| %s | %.0f ms | < %.0f ms | %s |\n", tiempoSinPantalla.constData(), tiempo, objetivoMs,
                tiempo < objetivoMs ? "sí" : "no");
    std::printf("| %s | %.1f MB | < %.0f MB | %s |\n", memoria.constData(), mb, objetivoMb,
                mb < objetivoMb ? "sí" : "no");
    std::printf("| %s | %.1f ms frente a %.1f ms: %.3f× | — | — |\n", razonSinPantalla.constData(), tiempo,
                Mediana(sinPantalla->vacias), Mediana(sinPantalla->razones));

    // The comparison that counts is the one an operator lives: on a display.
    const QByteArray pantalla = qgetenv("DISPLAY");
    if (pantalla.isEmpty()) {
        std::printf("| %s | sin medir: no hay pantalla X (DISPLAY vacío) | ≤ %.2f× | no |\n",
                    razonEnPantalla.constData(), objetivoRazon);
        return 1;
    }
    const std::optional<Serie> enPantalla = MedirEn("xcb", ruta);
    if (!enPantalla) {
        std::printf("| %s | error: una corrida falló en %s | ≤ %.2f× | no |\n", razonEnPantalla.constData(),
                    pantalla.constData(), objetivoRazon);
        return 1;
    }
    const double tiempoX = Mediana(enPantalla->tiempos);
    const double razonX = Mediana(enPantalla->razones);
    std::printf("| %s | %.0f ms | < %.0f ms | %s |\n", tiempoEnPantalla.constData(), tiempoX, objetivoMs,
                tiempoX < objetivoMs ? "sí" : "no");
    std::printf("| %s | %.1f ms frente a %.1f ms: %.3f× | ≤ %.2f× | %s |\n", razonEnPantalla.constData(), tiempoX,
                Mediana(enPantalla->vacias), razonX, objetivoRazon, razonX <= objetivoRazon ? "sí" : "no");
    return 0;
}
