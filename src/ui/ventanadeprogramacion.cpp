#include "ventanadeprogramacion.h"

#include "editordeentrada.h"
#include "modeloprogramacion.h"
#include "platform/cuadrodemensaje.h"
#include "schedule/ejecutordeprogramacion.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

VentanaDeProgramacion::VentanaDeProgramacion(EjecutorDeProgramacion &ejecutor, QWidget *parent)
    : QWidget(parent), m_ejecutor(ejecutor), m_modelo(new ModeloProgramacion(ejecutor, this)),
      m_tabla(new QTableView(this)), m_aviso(new QLabel(this)), m_ahora(new QTreeWidget(this)),
      // Alt+A and Alt+E open the main window's Archivo and Editar menus.
      m_agregar(new QPushButton(u"A&gregar..."_s, this)), m_editar(new QPushButton(u"E&ditar..."_s, this)),
      m_quitar(new QPushButton(u"&Quitar"_s, this)), m_subir(new QPushButton(u"&Subir"_s, this)),
      m_bajar(new QPushButton(u"&Bajar"_s, this))
{
    setObjectName(u"VentanaDeProgramacion"_s);
    setWindowTitle(u"Programación de Envíos"_s);
    m_tabla->setObjectName(u"tablaProgramacion"_s);
    m_tabla->setModel(m_modelo);
    m_tabla->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tabla->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tabla->verticalHeader()->hide();
    m_tabla->horizontalHeader()->setStretchLastSection(true);
    // Tab leaves the table for the buttons; the arrows go from cell to cell.
    // With Qt's default for tables, Tab went round the cells for ever.
    m_tabla->setTabKeyNavigation(false);
    m_tabla->installEventFilter(this);
    m_tabla->setAccessibleName(u"Entradas de la programación"_s);
    m_aviso->setObjectName(u"avisoProgramacion"_s);
    m_aviso->setWordWrap(true);
    m_aviso->setStyleSheet(u"color: #a00000"_s);
    m_ahora->setObjectName(u"arbolAhora"_s);
    m_ahora->setRootIsDecorated(false);
    m_ahora->setHeaderLabels({u"Cartel"_s, u"Muestra"_s, u"Próximo cambio"_s});
    m_ahora->setAccessibleName(u"Ahora: lo que muestra cada cartel"_s);
    m_agregar->setObjectName(u"agregar"_s);
    m_editar->setObjectName(u"editar"_s);
    m_quitar->setObjectName(u"quitar"_s);
    m_subir->setObjectName(u"subir"_s);
    m_bajar->setObjectName(u"bajar"_s);

    auto *botones = new QVBoxLayout;
    for (QPushButton *boton : {m_agregar, m_editar, m_quitar, m_subir, m_bajar})
        botones->addWidget(boton);
    botones->addStretch();
    auto *entradas = new QHBoxLayout;
    entradas->addWidget(m_tabla, 1);
    entradas->addLayout(botones);

    auto *grupoAhora = new QGroupBox(u"Ahora"_s, this);
    auto *enAhora = new QVBoxLayout(grupoAhora);
    enAhora->addWidget(m_ahora);

    // Arranged with other windows the window can be shorter than its
    // controls: they scroll then, and the focus brings each into view,
    // instead of the buttons being squeezed past reading.
    auto *contenido = new QWidget;
    auto *todo = new QVBoxLayout(contenido);
    todo->addWidget(m_aviso);
    todo->addLayout(entradas, 3);
    todo->addWidget(grupoAhora, 2);
    auto *desplazable = new QScrollArea(this);
    desplazable->setFrameShape(QFrame::NoFrame);
    desplazable->setWidgetResizable(true);
    desplazable->setWidget(contenido);
    auto *marco = new QVBoxLayout(this);
    marco->setContentsMargins(0, 0, 0, 0);
    marco->addWidget(desplazable);

    connect(m_agregar, &QPushButton::clicked, this, &VentanaDeProgramacion::Agregar);
    connect(m_editar, &QPushButton::clicked, this, &VentanaDeProgramacion::Editar);
    connect(m_tabla, &QTableView::doubleClicked, this, &VentanaDeProgramacion::Editar);
    connect(m_quitar, &QPushButton::clicked, this, &VentanaDeProgramacion::Quitar);
    connect(m_subir, &QPushButton::clicked, this, [this] { Mover(-1); });
    connect(m_bajar, &QPushButton::clicked, this, [this] { Mover(1); });
    connect(m_modelo, &ModeloProgramacion::ErrorAlGuardar, this,
            [this](const ErrorDeArchivo &error) { Avisar(error.Texto()); });
    connect(m_modelo, &QAbstractItemModel::modelReset, this, &VentanaDeProgramacion::ActualizarBotones);
    // Whole dates and file names, however the entries change.
    connect(m_modelo, &QAbstractItemModel::modelReset, m_tabla, &QTableView::resizeColumnsToContents);
    connect(m_tabla->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &VentanaDeProgramacion::ActualizarBotones);
    connect(&m_ejecutor, &EjecutorDeProgramacion::Cambiado, this, &VentanaDeProgramacion::ActualizarAhora);
    ActualizarBotones();
    ActualizarAhora();
    m_tabla->resizeColumnsToContents();
}

bool VentanaDeProgramacion::eventFilter(QObject *objeto, QEvent *evento)
{
    // Enter on a row is what a double click is: edit it.
    if (objeto == m_tabla && evento->type() == QEvent::KeyPress) {
        const auto *tecla = static_cast<QKeyEvent *>(evento);
        if ((tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter) &&
            !(tecla->modifiers() & ~Qt::KeypadModifier) && FilaElegida() >= 0) {
            Editar();
            return true;
        }
    }
    return QWidget::eventFilter(objeto, evento);
}

int VentanaDeProgramacion::FilaElegida() const
{
    const QModelIndexList filas = m_tabla->selectionModel()->selectedRows();
    return filas.isEmpty() ? -1 : filas.first().row();
}

void VentanaDeProgramacion::Elegir(int fila)
{
    if (fila >= 0 && fila < m_modelo->rowCount())
        m_tabla->selectRow(fila);
}

void VentanaDeProgramacion::ActualizarBotones()
{
    const bool editable = !m_ejecutor.ErrorDeLectura();
    const int fila = FilaElegida();
    m_agregar->setEnabled(editable);
    m_editar->setEnabled(editable && fila >= 0);
    m_quitar->setEnabled(editable && fila >= 0);
    m_subir->setEnabled(editable && fila > 0);
    m_bajar->setEnabled(editable && fila >= 0 && fila + 1 < m_modelo->rowCount());
}

void VentanaDeProgramacion::ActualizarAhora()
{
    QString aviso;
    if (const auto &error = m_ejecutor.ErrorDeLectura(); error && m_ejecutor.SigueLaAnterior())
        aviso = u"No se pudo leer %1. Sigue en vigor la última programación que se leyó bien; no se modifica "
                u"hasta que el archivo se corrija a mano."_s.arg(error->Texto());
    else if (error)
        aviso = u"No se pudo leer %1. La programación queda vacía y no se modifica hasta que el archivo "
                u"se corrija a mano."_s.arg(error->Texto());
    else if (!m_ejecutor.Impedimento().isEmpty())
        aviso = m_ejecutor.Impedimento() + u" Desde aquí no se envía nada."_s;
    else if (const QString resumen = m_ejecutor.Resumen(); resumen.startsWith(u"Programación: falló"_s))
        aviso = resumen;
    m_aviso->setText(aviso);
    m_aviso->setVisible(!aviso.isEmpty());
    ActualizarBotones();

    m_ahora->clear();
    for (const CartelAhora &cartel : m_ejecutor.Ahora()) {
        QString muestra = cartel.archivo.isEmpty() ? u"(nada de la programación)"_s : cartel.archivo;
        if (cartel.pendiente)
            muestra += u" (pendiente)"_s;
        const QString proximo =
            cartel.proximo.isValid()
                ? cartel.proximo.toString(cartel.proximo.date() == QDate::currentDate() ? u"HH:mm"_s
                                                                                         : u"dd/MM HH:mm"_s) +
                      u" → "_s +
                      (cartel.archivoProximo.isEmpty() ? u"(nada)"_s : cartel.archivoProximo)
                : QString();
        new QTreeWidgetItem(m_ahora, {cartel.nombre, muestra, proximo});
    }
    for (int columna = 0; columna < m_ahora->columnCount(); ++columna)
        m_ahora->resizeColumnToContents(columna);
}

void VentanaDeProgramacion::Avisar(const QString &motivo)
{
    // The operator's own edit: a box is fine, someone is there.
    CuadroDeMensaje::Advertir(this, u"No se pudo guardar la programación "_s + motivo);
}

void VentanaDeProgramacion::AbrirEditor(int fila, const EntradaDeProgramacion &entrada)
{
    auto *editor = new EditorDeEntrada(entrada, this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setWindowModality(Qt::WindowModal);
    connect(editor, &QDialog::accepted, this, [this, editor, fila] {
        const bool nueva = fila < 0;
        const auto error = nueva ? m_modelo->Agregar(editor->Entrada()) : m_modelo->Reemplazar(fila, editor->Entrada());
        if (error)
            Avisar(error->Texto());
        else
            Elegir(nueva ? m_modelo->rowCount() - 1 : fila);
    });
    editor->open();
}

void VentanaDeProgramacion::Agregar()
{
    AbrirEditor(-1, EntradaDeProgramacion{});
}

void VentanaDeProgramacion::Editar()
{
    const int fila = FilaElegida();
    if (fila >= 0 && !m_ejecutor.ErrorDeLectura())
        AbrirEditor(fila, m_modelo->Entrada(fila));
}

void VentanaDeProgramacion::Quitar()
{
    const int fila = FilaElegida();
    if (fila < 0)
        return;
    if (const auto error = m_modelo->Quitar(fila))
        Avisar(error->Texto());
    else
        Elegir(std::min(fila, m_modelo->rowCount() - 1));
}

void VentanaDeProgramacion::Mover(int paso)
{
    const int fila = FilaElegida();
    if (fila < 0)
        return;
    if (const auto error = m_modelo->Mover(fila, paso))
        Avisar(error->Texto());
    else
        Elegir(fila + paso);
}
