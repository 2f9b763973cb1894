#include "dentrodelarea.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

void PonerDentroDelArea(QMdiSubWindow &ventana)
{
    const QMdiArea *area = ventana.mdiArea();
    if (!area || ventana.isMaximized() || ventana.isMinimized())
        return;
    const QSize lugar = area->viewport()->size();
    QRect donde = ventana.geometry();
    donde.setSize(donde.size().boundedTo(lugar).expandedTo(ventana.minimumSize()));
    donde.moveLeft(std::max(0, std::min(donde.left(), lugar.width() - donde.width())));
    donde.moveTop(std::max(0, std::min(donde.top(), lugar.height() - donde.height())));
    if (donde != ventana.geometry())
        ventana.setGeometry(donde);
}
