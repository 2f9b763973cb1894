#include "cartelnuevo.h"

#include "config/registrodecartel.h"
#include "fuentes.h"
#include "medidas.h"
#include "platform/cuadrodemensaje.h"
#include "platform/escritortexto.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
QString TextoElegido(const QListWidget &lista)
{
    const QList<QListWidgetItem *> elegidos = lista.selectedItems();
    return elegidos.isEmpty() ? QString() : elegidos.first()->text();
}

// A Ctrl+click would clear the selection, and the record would then carry
// an empty model or address: address 0, a text for one sign sent to all.
void SiempreUnoElegido(QListWidget *lista)
{
    QObject::connect(lista, &QListWidget::itemSelectionChanged, lista, [lista] {
        if (!lista->selectedItems().isEmpty() || lista->count() == 0)
            return;
        const int fila = lista->currentRow() >= 0 ? lista->currentRow() : 0;
        lista->item(fila)->setSelected(true);
    });
}

bool SeparaLineas(QChar c)
{
    return c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// Why `nombre` cannot be one field of a line of ./carteles.ini, or an empty
// string when it can.
QString MotivoDeRechazo(const QString &nombre)
{
    // The record's fields are told apart by commas alone: a comma in the
    // name would shift the address, and a text meant for one sign would go
    // to all of them.
    if (nombre.contains(u','))
        return u"El nombre no puede contener comas."_s;
    // The record is one line of the file: a line break would end it there
    // and the rest would come back as another sign.
    if (std::any_of(nombre.cbegin(), nombre.cend(), SeparaLineas))
        return u"El nombre no puede contener saltos de línea, tabulaciones ni otros caracteres de control."_s;
    // The file is in Windows-1252; a sign it cannot hold would make every
    // later save of the configuration fail.
    const QString noCaben = EscritorTexto::CaracteresNoRepresentables(nombre);
    if (!noCaben.isEmpty())
        return u"El nombre no puede contener estos caracteres, que el archivo de configuración no puede "
               u"guardar: "_s + EscritorTexto::DescribirCaracteres(noCaben);
    return {};
}
} // namespace

CartelNuevo::CartelNuevo(QWidget *parent)
    : QDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(u"Datos de un cartel nuevo"_s);
    setFont(FuenteDeDialogos());
    setFixedSize(TamanoEnTwips(*this, 3540, 2385));

    // Labels carry only a position; they take the size their text needs.
    const auto ubicarEtiqueta = [this](QLabel *etiqueta, int izquierda, int arriba) {
        etiqueta->adjustSize();
        etiqueta->move(TwipsAPixelesX(*this, izquierda), TwipsAPixelesY(*this, arriba));
    };

    Label2 = new QLabel(u"Nombre Descriptivo"_s, this);
    Label2->setObjectName(u"Label2"_s);
    ubicarEtiqueta(Label2, 240, 120);

    Nombre = new QLineEdit(this);
    Nombre->setObjectName(u"Nombre"_s);
    Nombre->setGeometry(RectanguloEnTwips(*this, 240, 360, 3015, 285));

    Label1 = new QLabel(u"Modelo"_s, this);
    Label1->setObjectName(u"Label1"_s);
    ubicarEtiqueta(Label1, 240, 840);

    Modelo = new QListWidget(this);
    Modelo->setObjectName(u"Modelo"_s);
    Modelo->setGeometry(RectanguloEnTwips(*this, 240, 1080, 1455, 450));
    Modelo->setSelectionMode(QAbstractItemView::SingleSelection);
    Modelo->addItem(u"R560"_s);
    SiempreUnoElegido(Modelo);

    Label3 = new QLabel(u"Dirección"_s, this);
    Label3->setObjectName(u"Label3"_s);
    ubicarEtiqueta(Label3, 1920, 720);

    Direccion = new QListWidget(this);
    Direccion->setObjectName(u"Direccion"_s);
    Direccion->setGeometry(RectanguloEnTwips(*this, 1920, 960, 1335, 840));
    Direccion->setSelectionMode(QAbstractItemView::SingleSelection);
    Direccion->addItem(u"Desconocida"_s);
    for (int direccion = 1; direccion <= 36; ++direccion)
        Direccion->addItem(QString::number(direccion));
    SiempreUnoElegido(Direccion);

    Ok = new QPushButton(u"O.K."_s, this);
    Ok->setObjectName(u"Ok"_s);
    Ok->setGeometry(RectanguloEnTwips(*this, 480, 1920, 1215, 375));
    connect(Ok, &QPushButton::clicked, this, &CartelNuevo::Ok_Click);

    Cancelar = new QPushButton(u"Cancelar"_s, this);
    Cancelar->setObjectName(u"Cancelar"_s);
    Cancelar->setGeometry(RectanguloEnTwips(*this, 1800, 1920, 1215, 375));
    connect(Cancelar, &QPushButton::clicked, this, &CartelNuevo::Cancelar_Click);
    AgrandarDondeNoCabe(*this);

    Form_Load();
    Nombre->setFocus();
}

void CartelNuevo::Form_Load()
{
    Modelo->setCurrentRow(0);
    Direccion->setCurrentRow(0);
}

void CartelNuevo::Ok_Click()
{
    const QString nombre = Nombre->text();
    if (nombre.isEmpty())
        return;
    const QString motivo = MotivoDeRechazo(nombre);
    if (!motivo.isEmpty()) {
        CuadroDeMensaje::Advertir(this, motivo);
        Nombre->setFocus();
        return;
    }
    Q_EMIT CartelAgregado(ArmarRegistroDeCartel(TextoElegido(*Modelo), nombre, TextoElegido(*Direccion)));
    close();
}

void CartelNuevo::Cancelar_Click()
{
    close();
}
