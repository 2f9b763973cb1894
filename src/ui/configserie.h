#pragma once

#include "lineaelegida.h"

#include <QDialog>
#include <QList>
#include <QStringList>
#include <QString>

#include <array>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Interfase Serie": chooses the port (Com1 to Com6), or a serial device
// server on the network ("Red" and its address), and the line speed of the
// sign line. O.K. announces a choice, Eleccion(); whoever keeps the line
// applies it and answers with Responder(). Created on demand and destroyed
// when closed; every way of closing ends in finished(), at which the
// configuration file is rewritten, whether or not anything changed.
class ConfigSerie : public QDialog
{
    Q_OBJECT

public:
    // Opens on the line in use: its port or network server, and settings.
    explicit ConfigSerie(const LineaElegida &actual, QWidget *parent = nullptr);

    LineaElegida Eleccion() const;

    // The answer to a choice: the description of each refusal, none when
    // all was taken. Refusals are shown and the dialog stays open with the
    // choice still selected; otherwise it closes.
    void Responder(const QStringList &rechazos);

    // Fills the dialog from the line it was opened on.
    void PonerValoresIniciales();
    void ElegirPuerto(int indice);
    void ElegirVelocidad(int indice);
    void Aceptar();

Q_SIGNALS:
    // O.K.: Eleccion() is to be applied, then Responder() called.
    void Elegida();

private:
    void ActualizarDescripcionesDePuertos();

    LineaElegida m_inicial;
    QGroupBox *m_puerto;
    std::array<QRadioButton *, 6> m_puertos;
    QGroupBox *m_velocidad;
    QList<QRadioButton *> m_velocidades; // one per speed offered
    QPushButton *m_aceptar;
    QPushButton *m_cancelar;
    QRadioButton *m_red;
    QLineEdit *m_direccion;

    // 0 until a port button is selected, which opening always does for a
    // port from 1 to 6.
    int m_puertoElegido = 0;
    // "Red" is selected instead of a port.
    bool m_redElegida = false;
    // "2400" or "9600"; empty while no speed button is selected.
    QString m_velocidadElegida;
};
