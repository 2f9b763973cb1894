#pragma once

#include "config/registrodecarteles.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringListModel>

class CartelNuevo;
class QLabel;
class QListView;
class QPushButton;

// "Carteles Conectados": the sign list being edited. Each time the operator
// confirms it ("O.K.", closing, "Quitar") the dialog says so, and the main
// window takes Registro() as the registry and saves it. The dialog lives as
// long as the main window: closing it only hides it, until the main window
// allows a real close at shutdown.
class ConfigRed : public QDialog
{
    Q_OBJECT

public:
    explicit ConfigRed(QWidget *parent = nullptr);

    // The list shown, one record per row in registry order.
    QStringList Registro() const;
    // Starts from the registry as the main window keeps it.
    void PonerRegistro(const RegistroDeCarteles &registro);

    void Agregar();
    void Quitar();
    void Aceptar();

    // "Datos de un cartel nuevo" is open.
    bool AgregandoCartel() const;

    // From now on closing really closes instead of acting as O.K.
    void PermitirCierre();

Q_SIGNALS:
    // Registro() is the registry from now on, and is to be written to the
    // file, changed or not.
    void Confirmado();

public Q_SLOTS:
    // Escape behaves as the close box.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *evento) override;

private:
    // Row selected by the user, -1 for none.
    int FilaElegida() const;

    QStringListModel *m_registro;
    QPushButton *m_agregar;
    QPushButton *m_quitar;
    QPushButton *m_aceptar;
    QLabel *m_encabezado;
    QListView *m_carteles;
    QPointer<CartelNuevo> m_cartelNuevo;
    bool m_cierrePermitido = false;
};
