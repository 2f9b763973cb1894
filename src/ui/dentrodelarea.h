#pragma once

class QMdiSubWindow;

// Moves and if need be shrinks a window of the main window's area so that
// all of it can be seen: a window larger than the room left where the area
// would put it opened with its lower part, or its buttons, out of sight.
void PonerDentroDelArea(QMdiSubWindow &ventana);
