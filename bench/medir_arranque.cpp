// How long the program takes to come up and how much memory it needs. Runs
// brevalux_con_gancho (the program's own main.cpp with a measuring hook
// linked beside it) offscreen in a directory with a configuration file, and
// an empty Qt main window with a menu bar linked with the same hook, 41
// times each, in turns (ABBA: each follows the other as often as itself, since
// a run slows the one right after it) so that both see the same machine;
// each run is timed from just before fork() until the moment the hook saw
// the main window exposed and painted, on the same monotonic clock, and its
// peak resident memory comes from wait4().

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

constexpr int corridas = 41;
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

} // namespace

int main()
{
    const char *medicionTiempo =
        "arranque offscreen hasta la ventana principal expuesta y pintada (main.cpp del programa con un gancho "
        "de medición enlazado aparte; desde fork(), mediana de 41)";
    const char *medicionMemoria = "pico de memoria residente de ese arranque (ru_maxrss, mediana de 41)";
    const char *medicionRazon = "ese arranque frente al de una ventana principal de Qt vacía con la misma barra de "
                                "menús y el mismo gancho (medianas de 41, alternadas ABBA; la razón es la mediana "
                                "de las razones de cada par)";

    // Offscreen, as on a machine without a display; Qt's own choice of
    // platform, not a setting of the program.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir carpeta;
    QFile configuracion(carpeta.filePath(u"carteles.ini"_s));
    if (!carpeta.isValid() || !configuracion.open(QIODevice::WriteOnly)
        || configuracion.write("interfase com1,9600,N,8,1\r\ncartel R560, Sala, 1\r\n"
                               "cartel R560, Patio, 2\r\ncartel R560, Hall, 3\r\n") < 0) {
        std::printf("| %s | error: sin carpeta de trabajo | < %.0f ms | no |\n", medicionTiempo, objetivoMs);
        return 1;
    }
    configuracion.close();

    QList<double> tiempos;
    QList<double> memorias;
    QList<double> vacias;
    QList<double> razones;
    for (int i = 0; i < corridas; ++i) {
        std::optional<Corrida> corrida;
        std::optional<Corrida> vacia;
        if (i % 2 == 0) {
            corrida = Correr(RUTA_PROGRAMA_MEDIDO, QFile::encodeName(carpeta.path()));
            vacia = Correr(RUTA_VENTANA_VACIA, QFile::encodeName(carpeta.path()));
        } else {
            vacia = Correr(RUTA_VENTANA_VACIA, QFile::encodeName(carpeta.path()));
            corrida = Correr(RUTA_PROGRAMA_MEDIDO, QFile::encodeName(carpeta.path()));
        }
        if (!corrida || !vacia) {
            std::printf("| %s | error: la corrida %d falló | < %.0f ms | no |\n", medicionTiempo, i + 1, objetivoMs);
            return 1;
        }
        tiempos.append(corrida->milisegundos);
        memorias.append(corrida->megabytes);
        vacias.append(vacia->milisegundos);
        // Each pair ran back to back, on the same machine's mood: a slow
        // spell of the machine weighs on both of a pair, not on one side.
        razones.append(corrida->milisegundos / vacia->milisegundos);
    }
    std::fprintf(stderr, "medir_arranque: de %.1f a %.1f ms; de %.1f a %.1f MB\n",
                 *std::min_element(tiempos.cbegin(), tiempos.cend()),
                 *std::max_element(tiempos.cbegin(), tiempos.cend()),
                 *std::min_element(memorias.cbegin(), memorias.cend()),
                 *std::max_element(memorias.cbegin(), memorias.cend()));

    const double tiempo = Mediana(tiempos);
    const double memoria = Mediana(memorias);
    std::printf("| %s | %.0f ms | < %.0f ms | %s |\n", medicionTiempo, tiempo, objetivoMs,
                tiempo < objetivoMs ? "sí" : "no");
    std::printf("| %s | %.1f MB | < %.0f MB | %s |\n", medicionMemoria, memoria, objetivoMb,
                memoria < objetivoMb ? "sí" : "no");
    const double vacia = Mediana(vacias);
    const double razon = Mediana(razones);
    std::printf("| %s | %.1f ms frente a %.1f ms: %.3f× | ≤ %.2f× | %s |\n", medicionRazon, tiempo, vacia, razon,
                objetivoRazon, razon <= objetivoRazon ? "sí" : "no");
    return 0;
}
