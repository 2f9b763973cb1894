#include "apoyo/limitedeescritura.h"

#ifdef Q_OS_UNIX
#include <csignal>
#endif

bool LimiteDeEscritura::Disponible()
{
#ifdef Q_OS_UNIX
    return true;
#else
    return false;
#endif
}

LimiteDeEscritura::LimiteDeEscritura(qint64 bytes)
{
#ifdef Q_OS_UNIX
    if (bytes <= 0)
        return;
    activo = true;
    getrlimit(RLIMIT_FSIZE, &anterior);
    senalAnterior = std::signal(SIGXFSZ, SIG_IGN);
    rlimit nuevo = anterior;
    nuevo.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &nuevo);
#else
    Q_UNUSED(bytes);
#endif
}

LimiteDeEscritura::~LimiteDeEscritura()
{
#ifdef Q_OS_UNIX
    if (!activo)
        return;
    setrlimit(RLIMIT_FSIZE, &anterior);
    std::signal(SIGXFSZ, senalAnterior);
#endif
}
