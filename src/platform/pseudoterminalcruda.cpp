#include "pseudoterminalcruda.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
QString DescripcionDeErrno(const char *llamada)
{
    return QString::fromLatin1(llamada) + u": "_s + QString::fromLocal8Bit(std::strerror(errno));
}

bool PonerCrudo(int descriptor)
{
    termios modo{};
    if (::tcgetattr(descriptor, &modo) != 0)
        return false;
    ::cfmakeraw(&modo);
    return ::tcsetattr(descriptor, TCSANOW, &modo) == 0;
}
} // namespace

std::optional<PseudoTerminalCruda> AbrirPseudoTerminalCruda(QString *error)
{
    PseudoTerminalCruda terminal;
    char nombre[256] = {};
    if (::openpty(&terminal.maestro, &terminal.esclavo, nombre, nullptr, nullptr) != 0) {
        if (error)
            *error = DescripcionDeErrno("openpty");
        return std::nullopt;
    }
    if (!PonerCrudo(terminal.maestro) || !PonerCrudo(terminal.esclavo)) {
        if (error)
            *error = DescripcionDeErrno("cfmakeraw");
        ::close(terminal.maestro);
        ::close(terminal.esclavo);
        return std::nullopt;
    }
    for (int descriptor : {terminal.maestro, terminal.esclavo})
        ::fcntl(descriptor, F_SETFD, ::fcntl(descriptor, F_GETFD) | FD_CLOEXEC);
    terminal.rutaEsclavo = QString::fromLocal8Bit(nombre);
    return terminal;
}
