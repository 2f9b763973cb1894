#pragma once

#include <QString>

#include <optional>

// A pseudo-terminal with both ends in raw mode, so every byte passes as sent:
// no line editing, no CR to LF, no echo, no signal characters. Its slave
// stands in for a serial device; whoever holds the master is the far end of
// the line. Both descriptors are close-on-exec; the caller closes them.
// POSIX only.
struct PseudoTerminalCruda
{
    int maestro = -1;
    int esclavo = -1;
    QString rutaEsclavo; // "/dev/pts/N"
};

std::optional<PseudoTerminalCruda> AbrirPseudoTerminalCruda(QString *error);
