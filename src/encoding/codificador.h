#pragma once

#include <QByteArray>
#include <QString>

// The longest text the encoder takes: the sign's scan position is a signed
// 16-bit count.
inline constexpr qsizetype LongitudMaximaDeTexto = 32766;

// The encoded message of a tagged text whose line breaks are CR LF: effect
// tags become their codes, the substitutable letters their substitutes, CR
// and LF spaces, characters below U+0080 pass unchanged, and every other
// character is dropped. Every byte of the result is below 146, so none can be
// mistaken for a frame byte. Stateless; the result is never longer than the
// text.
QByteArray CodificarTexto(const QString &texto);

// For whoever shows a text as the sign will read it, with the encoder's own
// tables: the length of the effect tag that starts at `posicion` of `texto`
// (0 when none does; the first tag that matches wins, as when encoding), and
// whether a character outside a tag reaches the sign (as itself or as a
// substitute) or is dropped.
qsizetype LargoDeEtiqueta(QStringView texto, qsizetype posicion);
bool LlegaAlCartel(char16_t caracter);

// True when the text, counted with CR LF line breaks whichever breaks it
// holds, is longer than LongitudMaximaDeTexto. Senders refuse such a text
// before anything reaches the line.
bool TextoDemasiadoLargo(const QString &texto);

// What the operator is told of a text's length: "Longitud: N bytes", N the
// bytes it encodes to.
QString TextoDeLongitud(qsizetype bytes);
