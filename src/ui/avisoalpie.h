#pragma once

#include <QLabel>

class QDialog;

// A warning in a wrapped line below a fixed-size dialog's own controls, for
// something the operator must know before using the dialog's buttons. The
// dialog grows to hold it and goes back to its size when it is removed.
class AvisoAlPie : public QLabel
{
    Q_OBJECT

public:
    // Shows `aviso` at the foot of `dialogo`, or removes it when empty.
    static void Mostrar(QDialog &dialogo, const QString &aviso);

private:
    explicit AvisoAlPie(QDialog &dialogo);

    int m_altoSinAviso;
};
