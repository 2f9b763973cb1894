#pragma once

#include <QDialog>

class ServicioDeEnvios;
class QLabel;
class QProgressBar;

// The one send dialog of the run: follows the send service with a progress
// bar, whichever process's line carries the send. It is shown by the
// callers and hides itself once a transmission string has been written.
class DialogoDeEnvio : public QDialog
{
    Q_OBJECT

public:
    explicit DialogoDeEnvio(ServicioDeEnvios &servicio, QWidget *parent = nullptr);

    QProgressBar &BarraDeAvance() const { return *m_barraDeAvance; }

private:
    void Comenzada(qint64 total);
    void Avance(qint64 entregados, qint64 total);
    void Fallo(const QString &descripcion);
    void Escrita();

    QLabel *m_enviando;
    QProgressBar *m_barraDeAvance;
    QLabel *m_porcentaje;
};
