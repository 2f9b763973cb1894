#pragma once

#include <QByteArray>
#include <QDialog>

class PuertoSerie;
class Transmisor;
class QLabel;
class QProgressBar;

// The one send dialog of the run: frames each message, hands it to the
// transmitter and follows the bytes with a progress bar. It is shown by the
// callers and hides itself once a transmission string has been written.
class frmDialogEnvio : public QDialog
{
    Q_OBJECT

public:
    explicit frmDialogEnvio(PuertoSerie &MSComm1, QWidget *parent = nullptr);

    // Destino 0 sends to all signs.
    void MandarTexto(const QByteArray &Texto, quint8 Destino);
    // Every sign shows its own address: 101 frames for addresses 0 to 100.
    void MandarMensajeDeDirecciones();

    // The serial control's send event: one step more, never past the end.
    void AvanzarUnPaso();

    Transmisor &transmisor() const { return *m_transmisor; }

Q_SIGNALS:
    // The transmitter's own: frame `trama` of `de` is being written,
    // counting every frame given since the line was last idle; (0, 0) once
    // nothing is being sent.
    void TramaEnCurso(int trama, int de);

public:
    QProgressBar &ProgressBar1() const { return *m_ProgressBar1; }

private:
    void MandarCadena(const QByteArray &cadena);
    void Comenzada(qint64 total);
    void Avance(qint64 entregados, qint64 total);
    void Fallo(const QString &descripcion);
    void Escrita();

    Transmisor *m_transmisor;
    QLabel *m_Label;
    QProgressBar *m_ProgressBar1;
    QLabel *m_PorcComp;
};
