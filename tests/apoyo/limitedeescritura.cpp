#include "apoyo/limitedeescritura.h"

#ifdef Q_OS_UNIX
#include <csignal>

LimiteDeEscritura::LimiteDeEscritura(rlim_t bytes)
{
    getrlimit(RLIMIT_FSIZE, &anterior);
    senalAnterior = std::signal(SIGXFSZ, SIG_IGN);
    rlimit nuevo = anterior;
    nuevo.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &nuevo);
}

LimiteDeEscritura::~LimiteDeEscritura()
{
    setrlimit(RLIMIT_FSIZE, &anterior);
    std::signal(SIGXFSZ, senalAnterior);
}
#endif
