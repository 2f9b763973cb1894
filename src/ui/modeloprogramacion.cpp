#include "modeloprogramacion.h"

#include "documents/destinosdeenvio.h"
#include "schedule/ejecutordeprogramacion.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace {

QString Dias(quint8 dias)
{
    if (dias == 0 || dias == 0x7f)
        return u"todos"_s;
    QStringList nombres;
    for (int dia = 1; dia <= 7; ++dia) {
        if (dias & (1 << (dia - 1)))
            nombres.append(NombreDeDia(dia));
    }
    return nombres.join(u' ');
}

QString Fechas(const EntradaDeProgramacion &entrada)
{
    const auto fecha = [](const QDate &f) { return f.toString(Qt::ISODate); };
    if (entrada.desdeFecha && entrada.hastaFecha)
        return fecha(*entrada.desdeFecha) + u" a "_s + fecha(*entrada.hastaFecha);
    if (entrada.desdeFecha)
        return u"desde "_s + fecha(*entrada.desdeFecha);
    if (entrada.hastaFecha)
        return u"hasta "_s + fecha(*entrada.hastaFecha);
    return QString();
}

} // namespace

ModeloProgramacion::ModeloProgramacion(EjecutorDeProgramacion &ejecutor, QObject *parent)
    : QAbstractTableModel(parent), m_ejecutor(ejecutor)
{
    connect(&m_ejecutor, &EjecutorDeProgramacion::Cambiado, this, &ModeloProgramacion::Actualizar);
    Actualizar();
}

void ModeloProgramacion::Actualizar()
{
    // The destinations follow the documents, so that a text saved with
    // other signs shows them; a document is read again only when it changed,
    // and each file is described once however many entries name it.
    QStringList destinos;
    const RegistroDeCarteles registro = m_ejecutor.Registro();
    QHash<QString, QString> descritos;
    for (const EntradaDeProgramacion &entrada : m_ejecutor.programacion().entradas) {
        auto it = descritos.constFind(entrada.archivo);
        if (it == descritos.cend()) {
            const DocumentoLeido &documento = m_ejecutor.Documentos().Leer(entrada.archivo);
            it = descritos.insert(entrada.archivo,
                                  documento.error ? u"(no se puede leer)"_s
                                                  : DescribirDestinos(documento.Destinos(registro),
                                                                      registro));
        }
        destinos.append(*it);
    }
    if (m_ejecutor.programacion() != m_programacion) {
        beginResetModel();
        m_programacion = m_ejecutor.programacion();
        m_destinos = destinos;
        endResetModel();
    } else if (destinos != m_destinos) {
        m_destinos = destinos;
        Q_EMIT dataChanged(index(0, ColDestinos), index(rowCount() - 1, ColDestinos));
    }
}

int ModeloProgramacion::rowCount(const QModelIndex &padre) const
{
    return padre.isValid() ? 0 : static_cast<int>(m_programacion.entradas.size());
}

int ModeloProgramacion::columnCount(const QModelIndex &padre) const
{
    return padre.isValid() ? 0 : Columnas;
}

QVariant ModeloProgramacion::data(const QModelIndex &indice, int rol) const
{
    if (!indice.isValid() || indice.row() >= rowCount())
        return {};
    const EntradaDeProgramacion &entrada = Entrada(indice.row());
    if (rol == Qt::CheckStateRole && indice.column() == ColActiva)
        return entrada.activa ? Qt::Checked : Qt::Unchecked;
    if (rol != Qt::DisplayRole)
        return {};
    switch (indice.column()) {
    case ColArchivo:
        return entrada.archivo;
    case ColDias:
        return Dias(entrada.dias);
    case ColDesde:
        return entrada.desde.toString(u"HH:mm"_s);
    case ColHasta:
        return entrada.hasta ? entrada.hasta->toString(u"HH:mm"_s) : u"fin del día"_s;
    case ColFechas:
        return Fechas(entrada);
    case ColDestinos:
        return m_destinos.value(indice.row());
    default:
        return {};
    }
}

QVariant ModeloProgramacion::headerData(int seccion, Qt::Orientation orientacion, int rol) const
{
    if (orientacion != Qt::Horizontal || rol != Qt::DisplayRole)
        return QAbstractTableModel::headerData(seccion, orientacion, rol);
    static const QStringList titulos{u"Archivo"_s, u"Días"_s,   u"Desde"_s,   u"Hasta"_s,
                                     u"Fechas"_s,  u"Activa"_s, u"Destinos"_s};
    return titulos.value(seccion);
}

Qt::ItemFlags ModeloProgramacion::flags(const QModelIndex &indice) const
{
    Qt::ItemFlags banderas = QAbstractTableModel::flags(indice);
    if (indice.column() == ColActiva && !m_ejecutor.ErrorDeLectura())
        banderas |= Qt::ItemIsUserCheckable;
    return banderas;
}

bool ModeloProgramacion::setData(const QModelIndex &indice, const QVariant &valor, int rol)
{
    if (rol != Qt::CheckStateRole || indice.column() != ColActiva || indice.row() >= rowCount())
        return false;
    EntradaDeProgramacion entrada = Entrada(indice.row());
    entrada.activa = valor.value<Qt::CheckState>() == Qt::Checked;
    if (const auto error = Reemplazar(indice.row(), entrada)) {
        Q_EMIT ErrorAlGuardar(*error);
        return false;
    }
    return true;
}

std::optional<ErrorDeArchivo> ModeloProgramacion::Guardar(const Programacion &programacion)
{
    // The runner says Cambiado() once the file is written: the rows follow.
    return m_ejecutor.PonerProgramacion(programacion);
}

std::optional<ErrorDeArchivo> ModeloProgramacion::Agregar(const EntradaDeProgramacion &entrada)
{
    Programacion programacion = m_programacion;
    programacion.entradas.append(entrada);
    return Guardar(programacion);
}

std::optional<ErrorDeArchivo> ModeloProgramacion::Reemplazar(int fila, const EntradaDeProgramacion &entrada)
{
    Programacion programacion = m_programacion;
    programacion.entradas[fila] = entrada;
    return Guardar(programacion);
}

std::optional<ErrorDeArchivo> ModeloProgramacion::Quitar(int fila)
{
    Programacion programacion = m_programacion;
    programacion.entradas.removeAt(fila);
    return Guardar(programacion);
}

std::optional<ErrorDeArchivo> ModeloProgramacion::Mover(int fila, int paso)
{
    const int destino = fila + paso;
    if (destino < 0 || destino >= rowCount())
        return std::nullopt;
    Programacion programacion = m_programacion;
    programacion.entradas.move(fila, destino);
    return Guardar(programacion);
}
