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

// True when the text, counted with CR LF line breaks whichever breaks it
// holds, is longer than LongitudMaximaDeTexto. Senders refuse such a text
// before anything reaches the line.
bool TextoDemasiadoLargo(const QString &texto);
