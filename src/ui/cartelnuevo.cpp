#include "cartelnuevo.h"

#include "config/registrodecarteles.h"
#include "fuentes.h"
#include "medidas.h"
#include "platform/cuadrodemensaje.h"
#include "platform/escritortexto.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringListModel>

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
    // A text's file lists its signs' names separated by ";": such a name
    // would come back as two signs.
    if (nombre.contains(u';'))
        return u"El nombre no puede contener \";\"."_s;
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

CartelNuevo::CartelNuevo(const QStringListModel *registro, QWidget *parent)
    : QDialog(parent), m_registro(registro)
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

    m_etiquetaNombre = new QLabel(u"Nombre Descriptivo"_s, this);
    m_etiquetaNombre->setObjectName(u"etiquetaNombre"_s);
    ubicarEtiqueta(m_etiquetaNombre, 240, 120);

    m_nombre = new QLineEdit(this);
    m_nombre->setObjectName(u"Nombre"_s);
    m_nombre->setGeometry(RectanguloEnTwips(*this, 240, 360, 3015, 285));

    m_etiquetaModelo = new QLabel(u"Modelo"_s, this);
    m_etiquetaModelo->setObjectName(u"etiquetaModelo"_s);
    ubicarEtiqueta(m_etiquetaModelo, 240, 840);

    m_modelo = new QListWidget(this);
    m_modelo->setObjectName(u"Modelo"_s);
    m_modelo->setGeometry(RectanguloEnTwips(*this, 240, 1080, 1455, 450));
    m_modelo->setSelectionMode(QAbstractItemView::SingleSelection);
    m_modelo->addItem(u"R560"_s);
    SiempreUnoElegido(m_modelo);

    m_etiquetaDireccion = new QLabel(u"Dirección"_s, this);
    m_etiquetaDireccion->setObjectName(u"etiquetaDireccion"_s);
    ubicarEtiqueta(m_etiquetaDireccion, 1920, 720);

    m_direccion = new QListWidget(this);
    m_direccion->setObjectName(u"Direccion"_s);
    m_direccion->setGeometry(RectanguloEnTwips(*this, 1920, 960, 1335, 840));
    m_direccion->setSelectionMode(QAbstractItemView::SingleSelection);
    m_direccion->addItem(u"Desconocida"_s);
    for (int direccion = 1; direccion <= 36; ++direccion)
        m_direccion->addItem(QString::number(direccion));
    SiempreUnoElegido(m_direccion);

    // What a screen reader says of each field is its label; a list does
    // not take it from the label by itself.
    m_etiquetaNombre->setBuddy(m_nombre);
    m_etiquetaModelo->setBuddy(m_modelo);
    m_etiquetaDireccion->setBuddy(m_direccion);
    m_modelo->setAccessibleName(m_etiquetaModelo->text());
    m_direccion->setAccessibleName(m_etiquetaDireccion->text());

    m_aceptar = new QPushButton(u"O.K."_s, this);
    m_aceptar->setObjectName(u"Aceptar"_s);
    m_aceptar->setAccessibleName(u"Aceptar"_s);
    m_aceptar->setGeometry(RectanguloEnTwips(*this, 480, 1920, 1215, 375));
    connect(m_aceptar, &QPushButton::clicked, this, &CartelNuevo::Aceptar);

    m_cancelar = new QPushButton(u"Cancelar"_s, this);
    m_cancelar->setObjectName(u"Cancelar"_s);
    m_cancelar->setGeometry(RectanguloEnTwips(*this, 1800, 1920, 1215, 375));
    connect(m_cancelar, &QPushButton::clicked, this, &CartelNuevo::Cancelar);
    AgrandarDondeNoCabe(*this);

    PonerValoresIniciales();
    m_nombre->setFocus();
}

void CartelNuevo::PonerValoresIniciales()
{
    m_modelo->setCurrentRow(0);
    m_direccion->setCurrentRow(0);
}

void CartelNuevo::Aceptar()
{
    const QString nombre = m_nombre->text();
    if (nombre.isEmpty())
        return;
    QString motivo = MotivoDeRechazo(nombre);
    // Texts choose their signs by name: two signs of one name could not be
    // told apart, and a text for that name would go to neither.
    if (motivo.isEmpty() && m_registro && RegistroDeCarteles::DeRegistros(m_registro->stringList()).TieneNombre(nombre))
        motivo = u"Ya hay un cartel llamado «%1». Elija otro nombre."_s.arg(nombre.trimmed());
    if (!motivo.isEmpty()) {
        CuadroDeMensaje::Advertir(this, motivo);
        m_nombre->setFocus();
        return;
    }
    accept();
}

QString CartelNuevo::Nuevo() const
{
    return Cartel::Armar(TextoElegido(*m_modelo), m_nombre->text(), TextoElegido(*m_direccion)).Registro();
}

void CartelNuevo::Cancelar()
{
    close();
}
