#pragma once

#include <QMessageBox>

// A message box that only its buttons can answer. Qt lets Escape and the
// window's close button answer a Yes/No question with No; where No throws a
// text away, a slip of the hand must not choose it.
class CajaSinEscape : public QMessageBox
{
    Q_OBJECT

public:
    CajaSinEscape(Icon icono, const QString &titulo, const QString &texto, StandardButtons botones,
                  QWidget *padre = nullptr);

protected:
    void keyPressEvent(QKeyEvent *evento) override;
    void closeEvent(QCloseEvent *evento) override;
};
