#pragma once

#include <QLatin1StringView>
#include <QtGlobal>

#include <optional>
#include <span>

// The sign's effect switches, as the user writes them in a text and as the
// sign receives them. A tag only counts when written exactly like this: lower
// case, with the one space shown, nothing trimmed.
struct EtiquetaDeEfecto
{
    QLatin1StringView etiqueta;
    quint8 codigo;
};

// Letters and signs the sign shows under a code of its own. CR and LF are here
// too: a line break reaches the sign as spaces.
struct Sustitucion
{
    char16_t caracter;
    quint8 codigo;
};

namespace detalle {

using namespace Qt::StringLiterals;

// In the order the encoder tries them. No tag is a prefix of another, so the
// order never decides which one matches; the editor's buttons have an order
// of their own.
inline constexpr EtiquetaDeEfecto etiquetasDeEfecto[] = {
    {"[normal]"_L1, 130},
    {"[exp]"_L1, 131},
    {"[titila]"_L1, 129},
    {"[no titila]"_L1, 128},
    {"[pausa]"_L1, 132},
    {"[v0]"_L1, 133},
    {"[v1]"_L1, 134},
    {"[v2]"_L1, 135},
    {"[centra]"_L1, 142},
    {"[sube]"_L1, 144},
    {"[baja]"_L1, 143},
    {"[izq]"_L1, 145},
    {"[esp seg]"_L1, 19},
};

// 'é' is 18, out of the run 25 to 29 of the other small vowels: not a slip.
inline constexpr Sustitucion sustituciones[] = {
    {u'\u00E1', 25}, // á
    {u'\u00E9', 18}, // é
    {u'\u00ED', 27}, // í
    {u'\u00F3', 28}, // ó
    {u'\u00FA', 29}, // ú
    {u'\u00D1', 30}, // Ñ
    {u'\u00F1', 31}, // ñ
    {u'\u00BA', 22}, // º, the ordinal indicator; the degree sign has no code
    {u'\u00BF', 23}, // ¿
    {u'\u00A1', 24}, // ¡
    {u'\r', 32},
    {u'\n', 32},
};

} // namespace detalle

constexpr std::span<const EtiquetaDeEfecto> EtiquetasDeEfecto()
{
    return detalle::etiquetasDeEfecto;
}

constexpr std::span<const Sustitucion> Sustituciones()
{
    return detalle::sustituciones;
}

// The way back, for whoever shows what travelled on the line: the tag of an
// effect code, and the letter of a substitute code (never CR or LF, whose
// code is the plain space).
std::optional<QLatin1StringView> EtiquetaDelCodigo(quint8 codigo);
std::optional<char16_t> CaracterDelCodigo(quint8 codigo);
