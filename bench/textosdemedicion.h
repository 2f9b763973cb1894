#pragma once

#include <QString>

// What the typing measurements share.

// Lets the event loop finish what a keystroke posted (layout, the status
// line, repaints).
void Asentar();

// Tags, substitutes and characters the sign drops, in lines of about 70,
// `largo` characters in all.
QString TextoMezclado(qsizetype largo);
