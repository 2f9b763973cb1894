#pragma once

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

// Makes writes past `bytes` fail with EFBIG for as long as it lives: a disk
// that fills up mid-write, which even root cannot write past. SIGXFSZ is
// ignored meanwhile, so the write fails instead of killing the test. A limit
// of 0 or less sets nothing, so table rows without a limit share the code.
//
//     if (limite > 0 && !LimiteDeEscritura::Disponible())
//         QSKIP("...");
//     {
//         const LimiteDeEscritura limitada(limite);
//         ... // a write that goes past the limit fails here
//     }
class LimiteDeEscritura
{
public:
    static bool Disponible();

    explicit LimiteDeEscritura(qint64 bytes);
    ~LimiteDeEscritura();
    LimiteDeEscritura(const LimiteDeEscritura &) = delete;
    LimiteDeEscritura &operator=(const LimiteDeEscritura &) = delete;

private:
    bool m_activo = false;
#ifdef Q_OS_UNIX
    rlimit m_anterior{};
    void (*m_senalAnterior)(int) = nullptr;
#endif
};
