#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Datos de un cartel nuevo": model, descriptive name and address of a sign,
// handed on as one record for whoever keeps the registry to append.
// Created on demand and destroyed when closed.
class CartelNuevo : public QDialog
{
    Q_OBJECT

public:
    explicit CartelNuevo(QWidget *parent = nullptr);

    // Initial state: model "R560" and address "Desconocida" selected.
    void Form_Load();
    // Adds the sign and closes. An empty name is refused silently; a name
    // with a comma, a control character or a character the configuration
    // file cannot hold is refused with a message; both leave it open.
    void Ok_Click();
    void Cancelar_Click();

Q_SIGNALS:
    // "O.K." with an acceptable name: the new record, "R560, Sala, 5".
    void CartelAgregado(const QString &registro);

private:
    QLabel *m_Label2;
    QLineEdit *m_Nombre;
    QLabel *m_Label1;
    QListWidget *m_Modelo;
    QLabel *m_Label3;
    QListWidget *m_Direccion;
    QPushButton *m_Ok;
    QPushButton *m_Cancelar;
};
