#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1StringView>
#include <QString>

// The wire frame around a message: a header naming the destination, the fixed
// field, the message and the end byte. A byte 200 anywhere but at the end of
// a transmission string is also where the writer pauses.
inline constexpr quint8 ByteFinDeTrama = 200;
inline constexpr quint8 ByteTramaATodos = 201;
inline constexpr quint8 ByteTramaADireccion = 202;
inline constexpr QLatin1StringView CampoFijoDeTrama{"222222 "};

// Addresses covered by the address display.
inline constexpr int PrimeraDireccionMostrada = 0;
inline constexpr int UltimaDireccionMostrada = 100;

// destino 0: 201, field, message, 200 (every sign).
// Otherwise: 202, destino, field, message, 200.
QByteArray ArmarTrama(const QByteArray &mensaje, quint8 destino);

// Every byte of a message is below this: the encoder's codes and letters,
// and the digits of the address display. None is a frame byte.
inline constexpr quint8 LimiteDeByteDeMensaje = 146;

// True when `cadena` is one or more frames end to end as the program builds
// them: 201, "222222 ", a message, 200; or 202, any address byte, "222222 ",
// a message, 200; each message's bytes below LimiteDeByteDeMensaje. What
// comes from another process is sent only if it is such a string.
bool EsCadenaDeTramas(QByteArrayView cadena);

// One frame per address 0 to 100, each to that address (header 202 even for
// 0) with the message " " and the address in decimal: 101 frames, 1304 bytes.
QByteArray ArmarMensajeDeDirecciones();

// The progress label: valor * 100 / maximo in single precision, rounded with
// halves upward, no leading zeros, then "% Completado". A percentage that
// rounds to 0 leaves only "% Completado". `valor` is taken within 0 to
// `maximo` (so at most "100% Completado"); a `maximo` of 0 or less leaves
// only "% Completado".
QString TextoDePorcentaje(qint64 valor, qint64 maximo);
