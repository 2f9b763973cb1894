#pragma once

#include <QWidget>

class EjecutorDeProgramacion;
class ModeloProgramacion;
class QLabel;
class QPushButton;
class QTableView;
class QTreeWidget;
struct EntradaDeProgramacion;

// "Programación de Envíos": the timetable's entries, to add, change, remove,
// reorder and switch on or off, each saved at once; and "Ahora", what each
// sign shows and its next change. What cannot run (a file that could not be
// read, another process that runs it, the last failed send) is said at the
// top, not in a box: the timetable runs while nobody looks.
class VentanaDeProgramacion : public QWidget
{
    Q_OBJECT

public:
    explicit VentanaDeProgramacion(EjecutorDeProgramacion &ejecutor, QWidget *parent = nullptr);

    QTableView &Tabla() const { return *m_tabla; }
    ModeloProgramacion &Modelo() const { return *m_modelo; }

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    void Agregar();
    void Editar();
    void Quitar();
    void Mover(int paso);
    // Opens the entry editor for row `fila`, or for a new entry with -1.
    void AbrirEditor(int fila, const EntradaDeProgramacion &entrada);
    int FilaElegida() const;
    void Elegir(int fila);
    void ActualizarBotones();
    void ActualizarAhora();
    void Avisar(const QString &motivo);

    EjecutorDeProgramacion &m_ejecutor;
    ModeloProgramacion *m_modelo;
    QTableView *m_tabla;
    QLabel *m_aviso;
    QTreeWidget *m_ahora;
    QPushButton *m_agregar;
    QPushButton *m_editar;
    QPushButton *m_quitar;
    QPushButton *m_subir;
    QPushButton *m_bajar;
};
