#include "configred.h"

#include "cartelnuevo.h"
#include "fuentes.h"
#include "medidas.h"

#include <QCloseEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPushButton>

using namespace Qt::StringLiterals;

ConfigRed::ConfigRed(QWidget *parent)
    : QDialog(parent), m_registro(new QStringListModel(this))
{
    setModal(false);
    setWindowTitle(u"Carteles Conectados"_s);
    setFont(FuenteDeDialogos());
    setFixedSize(TamanoEnTwips(*this, 5925, 1530));

    m_agregar = new QPushButton(u"Agregar"_s, this);
    m_agregar->setObjectName(u"Agregar"_s);
    m_agregar->setGeometry(RectanguloEnTwips(*this, 120, 120, 1215, 375));
    connect(m_agregar, &QPushButton::clicked, this, &ConfigRed::Agregar);

    m_quitar = new QPushButton(u"Quitar"_s, this);
    m_quitar->setObjectName(u"Quitar"_s);
    m_quitar->setGeometry(RectanguloEnTwips(*this, 120, 600, 1215, 375));
    connect(m_quitar, &QPushButton::clicked, this, &ConfigRed::Quitar);

    m_aceptar = new QPushButton(u"O.K."_s, this);
    m_aceptar->setObjectName(u"Aceptar"_s);
    m_aceptar->setGeometry(RectanguloEnTwips(*this, 120, 1080, 1215, 375));
    connect(m_aceptar, &QPushButton::clicked, this, &ConfigRed::Aceptar);

    m_encabezado = new QLabel(u"Modelo, Nombre, Dirección"_s, this);
    m_encabezado->setObjectName(u"encabezado"_s);
    m_encabezado->setGeometry(RectanguloEnTwips(*this, 1560, 25, 3255, 255));

    m_carteles = new QListView(this);
    m_carteles->setObjectName(u"Carteles"_s);
    m_carteles->setGeometry(RectanguloEnTwips(*this, 1560, 240, 4215, 1230));
    m_carteles->setSelectionMode(QAbstractItemView::SingleSelection);
    // The records are only added and removed here; editing one in place
    // would bypass the checks of the new-sign dialog.
    m_carteles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_carteles->setModel(m_registro);
    m_carteles->setAccessibleName(u"Carteles conectados"_s);
    m_carteles->setAccessibleDescription(m_encabezado->text());
    m_encabezado->setBuddy(m_carteles);
    m_aceptar->setAccessibleName(u"Aceptar"_s);
    AgrandarDondeNoCabe(*this);
}

QStringList ConfigRed::Registro() const
{
    return m_registro->stringList();
}

void ConfigRed::PonerRegistro(const RegistroDeCarteles &registro)
{
    m_registro->setStringList(registro.Registros());
}

int ConfigRed::FilaElegida() const
{
    const QModelIndexList elegidas = m_carteles->selectionModel()->selectedRows();
    return elegidas.isEmpty() ? -1 : elegidas.first().row();
}

void ConfigRed::Agregar()
{
    // A second "Agregar" brings back the open dialog with what was typed.
    if (!m_cartelNuevo) {
        auto *dialogo = new CartelNuevo(m_registro, this);
        connect(dialogo, &QDialog::accepted, this, [this, dialogo] {
            const int fila = m_registro->rowCount();
            m_registro->insertRows(fila, 1);
            m_registro->setData(m_registro->index(fila), dialogo->Nuevo());
        });
        m_cartelNuevo = dialogo;
    }
    m_cartelNuevo->show();
    m_cartelNuevo->raise();
    m_cartelNuevo->activateWindow();
}

bool ConfigRed::AgregandoCartel() const
{
    const CartelNuevo *dialogo = m_cartelNuevo.data();
    return dialogo != nullptr && dialogo->isVisible();
}

void ConfigRed::Quitar()
{
    const int elegida = FilaElegida();
    if (elegida != -1) {
        m_registro->removeRows(elegida, 1);
        // Nothing stays selected, so a second "Quitar" removes nothing
        // the user did not point at.
        m_carteles->selectionModel()->clearSelection();
    }
    // Selection or not, the file is rewritten: from the list as it stands
    // here, a sign just added included, or the file and the list differ.
    Q_EMIT Confirmado();
}

void ConfigRed::Aceptar()
{
    hide();
    Q_EMIT Confirmado();
}

void ConfigRed::PermitirCierre()
{
    m_cierrePermitido = true;
}

void ConfigRed::reject()
{
    close();
}

void ConfigRed::closeEvent(QCloseEvent *evento)
{
    if (m_cierrePermitido) {
        evento->accept();
        return;
    }
    // The registry must outlive the window: the user's close confirms the
    // list instead. A hidden dialog is not the user's to close, so it is
    // left as it is.
    evento->ignore();
    if (isVisible())
        Aceptar();
}
