#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

// What every fuzz target shares. A target checks properties of what it is
// given; a property that does not hold stops the process with a message, so
// that libFuzzer keeps the input and the corpus replayer fails its test.

// libFuzzer's entry point, defined once by each target.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t tamano);

// Stops the process, saying which property failed, unless `cumple`.
void Exigir(bool cumple, const char *propiedad);
void Exigir(bool cumple, const char *propiedad, const QString &detalle);

QByteArray Bytes(const std::uint8_t *datos, std::size_t tamano);

// Every UTF-16 code unit, broken surrogates included: two bytes each, little
// endian; an odd last byte is left out.
QString TextoUtf16(const std::uint8_t *datos, std::size_t tamano);

// The bytes as UTF-8, the way a person writes a seed by hand.
QString TextoUtf8(const std::uint8_t *datos, std::size_t tamano);

// Windows-1252 decoded without the code page converter the readers use, so
// that a fault there shows as a difference. The five bytes the code page
// leaves undefined come through as the C1 controls of the same value.
QString DesdeWindows1252(const QByteArray &bytes);

// Lines split at CR LF, LF or a lone CR, without their ends; text after the
// last line end is one more line, an empty file has none.
QList<QByteArray> PartirLineas(const QByteArray &bytes);
