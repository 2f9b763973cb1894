#pragma once

#include <QByteArray>
#include <QString>

// The tagged text that an encoded message stands for, as an operator reads
// it: effect codes become their tags, substitute codes their letters,
// printable ASCII stays, and any other byte is shown as "<0xNN>". Line breaks
// came through as spaces and dropped characters are gone, so this is the
// sent text as the sign received it, not necessarily as it was typed.
QString DecodificarMensaje(const QByteArray &mensaje);
