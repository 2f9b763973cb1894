#include "platform/cajasinescape.h"

#include <QCloseEvent>
#include <QKeyEvent>

CajaSinEscape::CajaSinEscape(Icon icono, const QString &titulo, const QString &texto, StandardButtons botones,
                             QWidget *padre)
    : QMessageBox(icono, titulo, texto, botones, padre)
{
}

void CajaSinEscape::keyPressEvent(QKeyEvent *evento)
{
    if (evento->matches(QKeySequence::Cancel)) {
        evento->accept();
        return;
    }
    QMessageBox::keyPressEvent(evento);
}

void CajaSinEscape::closeEvent(QCloseEvent *evento)
{
    // A button's click closes the box after recording itself; any other
    // close (the window manager's button, Alt+F4) is refused.
    if (!clickedButton()) {
        evento->ignore();
        return;
    }
    QMessageBox::closeEvent(evento);
}
