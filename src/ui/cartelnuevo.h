#pragma once

#include <QDialog>

class ConfigRed;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Datos de un cartel nuevo": model, descriptive name and address of a sign,
// appended as one record to the registry held by the connected-signs dialog.
// Created on demand and destroyed when closed.
class CartelNuevo : public QDialog
{
    Q_OBJECT

public:
    explicit CartelNuevo(ConfigRed &configRed, QWidget *parent = nullptr);

    // Initial state: model "R560" and address "Desconocida" selected.
    void Form_Load();
    // Adds the sign and closes; an empty name is refused silently and a
    // name with a comma with a message, both leaving the dialog open.
    void Ok_Click();
    void Cancelar_Click();

private:
    ConfigRed &configRed;
    QLabel *Label2;
    QLineEdit *Nombre;
    QLabel *Label1;
    QListWidget *Modelo;
    QLabel *Label3;
    QListWidget *Direccion;
    QPushButton *Ok;
    QPushButton *Cancelar;
};
