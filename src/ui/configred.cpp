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

ConfigRed::ConfigRed(QStringListModel &registroDeCarteles, QWidget *parent)
    : QDialog(parent), registro(registroDeCarteles)
{
    setModal(false);
    setWindowTitle(u"Carteles Conectados"_s);
    setFont(FuenteDeDialogos());
    setFixedSize(TamanoEnTwips(*this, 5925, 1530));

    Agregar = new QPushButton(u"Agregar"_s, this);
    Agregar->setObjectName(u"Agregar"_s);
    Agregar->setGeometry(RectanguloEnTwips(*this, 120, 120, 1215, 375));
    connect(Agregar, &QPushButton::clicked, this, &ConfigRed::Agregar_Click);

    Quitar = new QPushButton(u"Quitar"_s, this);
    Quitar->setObjectName(u"Quitar"_s);
    Quitar->setGeometry(RectanguloEnTwips(*this, 120, 600, 1215, 375));
    connect(Quitar, &QPushButton::clicked, this, &ConfigRed::Quitar_Click);

    OK = new QPushButton(u"O.K."_s, this);
    OK->setObjectName(u"OK"_s);
    OK->setGeometry(RectanguloEnTwips(*this, 120, 1080, 1215, 375));
    connect(OK, &QPushButton::clicked, this, &ConfigRed::OK_Click);

    Label1 = new QLabel(u"Modelo, Nombre, Dirección"_s, this);
    Label1->setObjectName(u"Label1"_s);
    Label1->setGeometry(RectanguloEnTwips(*this, 1560, 25, 3255, 255));

    Carteles = new QListView(this);
    Carteles->setObjectName(u"Carteles"_s);
    Carteles->setGeometry(RectanguloEnTwips(*this, 1560, 240, 4215, 1230));
    Carteles->setSelectionMode(QAbstractItemView::SingleSelection);
    // The records are only added and removed here; editing one in place
    // would bypass the checks of the new-sign dialog.
    Carteles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Carteles->setModel(&registro);
    AgrandarDondeNoCabe(*this);
}

QStringListModel &ConfigRed::Registro()
{
    return registro;
}

int ConfigRed::ListCount() const
{
    return registro.rowCount();
}

QString ConfigRed::List(int i) const
{
    return registro.data(registro.index(i), Qt::DisplayRole).toString();
}

void ConfigRed::AddItem(const QString &registroDeCartel)
{
    const int fila = registro.rowCount();
    registro.insertRows(fila, 1);
    registro.setData(registro.index(fila), registroDeCartel);
}

void ConfigRed::RemoveItem(int i)
{
    registro.removeRows(i, 1);
}

int ConfigRed::ListIndex() const
{
    const QModelIndexList elegidas = Carteles->selectionModel()->selectedRows();
    return elegidas.isEmpty() ? -1 : elegidas.first().row();
}

void ConfigRed::Agregar_Click()
{
    // A second "Agregar" brings back the open dialog with what was typed.
    if (!cartelNuevo) {
        cartelNuevo = new CartelNuevo(this);
        connect(cartelNuevo, &CartelNuevo::CartelAgregado, this, &ConfigRed::AddItem);
    }
    cartelNuevo->show();
    cartelNuevo->raise();
    cartelNuevo->activateWindow();
}

void ConfigRed::Quitar_Click()
{
    const int elegida = ListIndex();
    if (elegida != -1) {
        RemoveItem(elegida);
        // Nothing stays selected, so a second "Quitar" removes nothing
        // the user did not point at.
        Carteles->selectionModel()->clearSelection();
        Q_EMIT PedidoActualizarDestinos();
    }
    Q_EMIT PedidoGuardarConfiguracion();
}

void ConfigRed::OK_Click()
{
    hide();
    Q_EMIT PedidoActualizarDestinos();
    Q_EMIT PedidoGuardarConfiguracion();
}

void ConfigRed::PermitirCierre()
{
    cierrePermitido = true;
}

void ConfigRed::reject()
{
    close();
}

void ConfigRed::closeEvent(QCloseEvent *evento)
{
    if (cierrePermitido) {
        evento->accept();
        return;
    }
    // The registry must outlive the window: the user's close confirms the
    // list instead. A hidden dialog is not the user's to close, so it is
    // left as it is.
    evento->ignore();
    if (isVisible())
        OK_Click();
}
