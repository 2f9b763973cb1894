#pragma once

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <sys/resource.h>

// Makes writes past `bytes` fail with EFBIG for as long as it lives: a disk
// that fills up mid-write, which even root cannot write past. SIGXFSZ is
// ignored meanwhile, so the write fails instead of killing the test.
//
//     {
//         const LimiteDeEscritura limite(4096);
//         ... // a write that goes past 4096 bytes fails here
//     }
class LimiteDeEscritura
{
public:
    explicit LimiteDeEscritura(rlim_t bytes);
    ~LimiteDeEscritura();
    LimiteDeEscritura(const LimiteDeEscritura &) = delete;
    LimiteDeEscritura &operator=(const LimiteDeEscritura &) = delete;

private:
    rlimit anterior{};
    void (*senalAnterior)(int) = nullptr;
};
#endif
