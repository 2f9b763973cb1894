#pragma once

#include "platform/errordearchivo.h"
#include "schedule/programacion.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <optional>

class EjecutorDeProgramacion;

// The timetable's entries as a table, one row per entry in priority order.
// Every change goes through the runner, which writes the file at once; the
// rows follow the runner, so a change made elsewhere (a hand edit of the
// file) shows too.
class ModeloProgramacion : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Columna { ColArchivo, ColDias, ColDesde, ColHasta, ColFechas, ColActiva, ColDestinos, Columnas };

    explicit ModeloProgramacion(EjecutorDeProgramacion &ejecutor, QObject *parent = nullptr);

    int rowCount(const QModelIndex &padre = QModelIndex()) const override;
    int columnCount(const QModelIndex &padre = QModelIndex()) const override;
    QVariant data(const QModelIndex &indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &indice) const override;
    // The "activa" check box.
    bool setData(const QModelIndex &indice, const QVariant &valor, int rol = Qt::EditRole) override;

    const EntradaDeProgramacion &Entrada(int fila) const { return m_programacion.entradas.at(fila); }

    // Each writes the file; on failure nothing changes and the reason is returned.
    std::optional<ErrorDeArchivo> Agregar(const EntradaDeProgramacion &entrada);
    std::optional<ErrorDeArchivo> Reemplazar(int fila, const EntradaDeProgramacion &entrada);
    std::optional<ErrorDeArchivo> Quitar(int fila);
    // One place up (-1) or down (+1): the priority among entries.
    std::optional<ErrorDeArchivo> Mover(int fila, int paso);

Q_SIGNALS:
    // A change the table itself made (the check box) could not be saved.
    void ErrorAlGuardar(const ErrorDeArchivo &error);

private:
    void Actualizar();
    std::optional<ErrorDeArchivo> Guardar(const Programacion &programacion);

    EjecutorDeProgramacion &m_ejecutor;
    Programacion m_programacion;
    // Where each entry's text goes, as its document says now.
    QStringList m_destinos;
};
