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
    m_activo = true;
    getrlimit(RLIMIT_FSIZE, &m_anterior);
    m_senalAnterior = std::signal(SIGXFSZ, SIG_IGN);
    rlimit nuevo = m_anterior;
    nuevo.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &nuevo);
#else
    Q_UNUSED(bytes);
#endif
}

LimiteDeEscritura::~LimiteDeEscritura()
{
#ifdef Q_OS_UNIX
    if (!m_activo)
        return;
    setrlimit(RLIMIT_FSIZE, &m_anterior);
    std::signal(SIGXFSZ, m_senalAnterior);
#endif
}
