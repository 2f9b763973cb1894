#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

// The dots of one character of the sign, five columns wide and seven rows
// high; in each column, bit r lit means row r lit, row 0 at the top.
inline constexpr int AnchoDeGlifo = 5;
inline constexpr int AltoDeGlifo = 7;
using Glifo = std::array<quint8, AnchoDeGlifo>;

// The glyph of a character the sign can show: the printable ASCII, 32 to 126,
// and the letters it has under codes of their own (á é í ó ú ñ Ñ º ¿ ¡).
// Nothing for any other character.
std::optional<Glifo> GlifoDelCaracter(char16_t caracter);

// The glyph of a byte of an encoded message: a printable ASCII byte shows
// itself, a substitute code the letter it stands for. Effect codes, control
// bytes and codes without a meaning for the sign draw nothing.
std::optional<Glifo> GlifoDelByte(quint8 codigo);

// The characters a sign draws for an encoded message, in order: the bytes
// that have a glyph, a substitute code as the letter it stands for. Effect
// codes and bytes that draw nothing are left out. What a screen reader says
// the sign shows.
QString LetrasDelMensaje(const QByteArray &mensaje);
