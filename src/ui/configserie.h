#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>
#include <QString>

#include <array>
#include <functional>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Interfase Serie": chooses the port (Com1 to Com6), or a serial device
// server on the network ("Red" and its address), and the line speed of the
// sign line, and hands them to whoever keeps them on O.K. Created on
// demand and destroyed when closed; every way of closing asks for the
// configuration file to be rewritten, whether or not anything changed.
class ConfigSerie : public QDialog
{
    Q_OBJECT

public:
    // Applies a port number and settings; the description of each refusal,
    // none when all was taken.
    using Aplicador = std::function<QStringList(int numero, const QString &ajustes)>;

    // Applies a network line ("192.168.1.50:4001") and settings, in the
    // same way.
    using AplicadorDeRed = std::function<QStringList(const QString &red, const QString &ajustes)>;

    // Opens on the line's current port and settings; O.K. hands the choice
    // to `aplicar`, whose owner keeps the serial settings.
    ConfigSerie(int numero, const QString &ajustes, Aplicador aplicar, QWidget *parent = nullptr);

    // Lets "Red" be applied, through `aplicar`; with `red` not empty the
    // line is that server now, and the dialog shows it chosen. Without an
    // applier, O.K. on "Red" is refused.
    void PonerRed(const QString &red, AplicadorDeRed aplicar);

    // Fills the dialog from the port and settings it was opened on.
    void PonerValoresIniciales();
    void ElegirPuerto(int Index);
    void ElegirVelocidad(int Index);
    // Applies the choice; closes only when the serial control took all of it.
    void Aceptar();
    void Cancelar();

Q_SIGNALS:
    void PedidoGuardarConfiguracion();

protected:
    void closeEvent(QCloseEvent *evento) override;

public Q_SLOTS:
    // Escape closes the dialog as Cancelar does, with the same save request.
    void reject() override;

private:
    void ActualizarDescripcionesDePuertos();

    int m_numeroInicial;
    QString m_ajustesIniciales;
    Aplicador m_aplicar;
    QGroupBox *m_Puerto;
    std::array<QRadioButton *, 6> m_puertos;
    QGroupBox *m_Velocidad;
    QList<QRadioButton *> m_velocidades; // one per speed offered
    QPushButton *m_aceptar;
    QPushButton *m_cancelar;
    QRadioButton *m_Red;
    QLineEdit *m_Direccion;
    AplicadorDeRed m_aplicarRed;

    // 0 until a port button is selected, which opening always does for a
    // port from 1 to 6.
    int m_puertoElegido = 0;
    // "Red" is selected instead of a port.
    bool m_redElegida = false;
    // "2400" or "9600"; empty while no speed button is selected.
    QString m_velocidadElegida;
};
