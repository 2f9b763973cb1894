#pragma once

#include <QDialog>

class Transmisor;
class QLabel;
class QProgressBar;

// The one send dialog of the run: follows the program's transmitter with a
// progress bar. It is shown by the callers and hides itself once a
// transmission string has been written.
class DialogoDeEnvio : public QDialog
{
    Q_OBJECT

public:
    explicit DialogoDeEnvio(Transmisor &transmisor, QWidget *parent = nullptr);

    QProgressBar &BarraDeAvance() const { return *m_barraDeAvance; }

private:
    void Comenzada(qint64 total);
    void Avance(qint64 entregados, qint64 total);
    void Fallo(const QString &descripcion);
    void Escrita();

    Transmisor &m_transmisor;
    QLabel *m_enviando;
    QProgressBar *m_barraDeAvance;
    QLabel *m_porcentaje;
};
