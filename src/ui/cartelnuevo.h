#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStringListModel;

// "Datos de un cartel nuevo": model, descriptive name and address of a sign.
// An acceptable O.K. ends it accepted, and Nuevo() is the sign as one record
// for whoever keeps the registry to append. Created on demand and destroyed
// when closed.
class CartelNuevo : public QDialog
{
    Q_OBJECT

public:
    // `registro`, when given, is the list the sign joins: a name one of its
    // signs has already is refused.
    explicit CartelNuevo(const QStringListModel *registro = nullptr, QWidget *parent = nullptr);

    // Initial state: model "R560" and address "Desconocida" selected.
    void PonerValoresIniciales();
    // The sign as typed: "R560, Sala, 5".
    QString Nuevo() const;

    // Accepts the sign and closes. An empty name is refused silently; a name
    // with a comma or ";", a control character, a character the
    // configuration file cannot hold, or that another sign has, is refused
    // with a message; both leave it open.
    void Aceptar();
    void Cancelar();

private:
    const QStringListModel *m_registro;
    QLabel *m_etiquetaNombre;
    QLineEdit *m_nombre;
    QLabel *m_etiquetaModelo;
    QListWidget *m_modelo;
    QLabel *m_etiquetaDireccion;
    QListWidget *m_direccion;
    QPushButton *m_aceptar;
    QPushButton *m_cancelar;
};
