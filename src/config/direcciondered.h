#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <optional>

// A sign line reached over the network, through a serial device server: the
// port of the interface line reads "tcp:HOST:PUERTO", where HOST is a host
// name, an IPv4 address or an IPv6 address in brackets.
struct DireccionDeRed
{
    QString anfitrion; // as written, without brackets
    quint16 puerto = 0;

    // "192.168.1.50:4001", "[fe80::1]:4001": how the operator is told which
    // line was used, and what follows "tcp:" in the file.
    QString Texto() const;

    friend bool operator==(const DireccionDeRed &, const DireccionDeRed &) = default;
};

inline constexpr QLatin1StringView PrefijoDeRed{"tcp:"};

// "tcp:HOST:PUERTO" (the prefix in lower case, like the file's keywords), or
// nothing when `texto` is not exactly that: a port from 1 to 65535 in
// decimal digits only; a host name of letters, digits, hyphens and dots, an
// IPv4 address of four numbers up to 255, or an IPv6 address in brackets.
std::optional<DireccionDeRed> InterpretarDireccionDeRed(QStringView texto);
