#pragma once

#include "schedule/programacion.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QTimeEdit;

// One timetable entry, to add or to change: the text's file, the days it
// starts on, its hours, its dates and whether it is active.
class EditorDeEntrada : public QDialog
{
    Q_OBJECT

public:
    explicit EditorDeEntrada(const EntradaDeProgramacion &entrada, QWidget *parent = nullptr);

    // The entry as the controls have it now.
    EntradaDeProgramacion Entrada() const;

private:
    void ElegirArchivo();
    void ActualizarAceptar();

    QLineEdit *m_archivo;
    QList<QCheckBox *> m_dias;
    QTimeEdit *m_desde;
    QCheckBox *m_conHasta;
    QTimeEdit *m_hasta;
    QCheckBox *m_conFechas;
    QDateEdit *m_desdeFecha;
    QDateEdit *m_hastaFecha;
    QCheckBox *m_activa;
    QPushButton *m_aceptar = nullptr;
};
