#pragma once

#include "link/separadordetramas.h"

#include <QByteArray>
#include <QString>

// The tagged text that an encoded message stands for, as an operator reads
// it: effect codes become their tags ("[titila]"), substitute codes their
// letters, printable ASCII stays, and any other byte is shown as "[0xNN]".
// A "[" that the message carries as text is shown doubled, "[[", so a single
// "[" always opens a code and no text can pass for one: the effect code for
// "[exp]" shows as "[exp]", the five characters "[exp]" as "[[exp]". The
// display therefore tells every message apart. Line breaks came through as
// spaces and dropped characters are gone, so this is the sent text as the
// sign received it, not necessarily as it was typed.
QString DecodificarMensaje(const QByteArray &mensaje);

// Why some bytes off the line were set aside, in two forms: a key for what
// reads the output by program ("ruido", "sin_campo_fijo", "interrumpida",
// "sin_fin"; scripts match on them, so they stay as they are) and a sentence
// for a person.
QString ClaveDelMotivo(MotivoDeAnomalia motivo);
QString DescripcionDelMotivo(MotivoDeAnomalia motivo);
