#include "platform/avisadordesenales.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int extremos[2] = {-1, -1};

extern "C" void AlRecibirSenal(int senal)
{
    const int errnoGuardado = errno;
    const auto byte = static_cast<unsigned char>(senal);
    [[maybe_unused]] const ssize_t escrito = write(extremos[0], &byte, 1);
    errno = errnoGuardado;
}

} // namespace

AvisadorDeSenales::AvisadorDeSenales(QObject *parent)
    : QObject(parent)
{
}

AvisadorDeSenales::~AvisadorDeSenales()
{
    // Back to the default action, so that no late signal finds the handler
    // without anyone to read what it wrote.
    struct sigaction defecto {};
    defecto.sa_handler = SIG_DFL;
    for (int senal : m_instaladas)
        sigaction(senal, &defecto, nullptr);
}

bool AvisadorDeSenales::Instalar(std::initializer_list<int> senales)
{
    if (extremos[0] < 0) {
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, extremos) != 0)
            return false;
        // A flood of signals must never block the handler.
        fcntl(extremos[0], F_SETFL, fcntl(extremos[0], F_GETFL) | O_NONBLOCK);
        m_notificador = new QSocketNotifier(extremos[1], QSocketNotifier::Read, this);
        connect(m_notificador, &QSocketNotifier::activated, this, &AvisadorDeSenales::Leer);
    }
    struct sigaction accion {};
    accion.sa_handler = AlRecibirSenal;
    sigemptyset(&accion.sa_mask);
    accion.sa_flags = SA_RESTART;
    for (int senal : senales) {
        if (sigaction(senal, &accion, nullptr) != 0)
            return false;
        m_instaladas.push_back(senal);
    }
    return true;
}

void AvisadorDeSenales::Leer()
{
    unsigned char byte = 0;
    if (read(extremos[1], &byte, 1) == 1)
        Q_EMIT Recibida(byte);
}
