#include "vistaprevia.h"

#include "encoding/codificador.h"
#include "ui/matrizdepuntos.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The preview's choices live apart from ./carteles.ini, which holds only what
// the signs and the line need.
QSettings Ajustes()
{
    return QSettings(QSettings::UserScope, u"brevalux"_s, u"brevalux"_s);
}

const QString claveAncho = u"vistaPrevia/columnas"_s;
const QString claveColor = u"vistaPrevia/color"_s;

} // namespace

VistaPrevia::VistaPrevia(QWidget *parent)
    : QWidget(parent)
    , m_espera(new QTimer(this))
    , m_matriz(new MatrizDePuntos(this))
    , m_ancho(new QComboBox(this))
    , m_color(new QComboBox(this))
{
    m_espera->setSingleShot(true);
    m_espera->setInterval(EsperaTrasTeclearMs);
    connect(m_espera, &QTimer::timeout, this, &VistaPrevia::Codificar);

    const QSettings ajustes = Ajustes();
    for (const int columnas : AnchosDeCartel)
        m_ancho->addItem(u"%1 columnas"_s.arg(columnas), columnas);
    const int indiceAncho = m_ancho->findData(ajustes.value(claveAncho, 80).toInt());
    m_ancho->setCurrentIndex(indiceAncho >= 0 ? indiceAncho : m_ancho->findData(80));
    for (const ColorDeCartel &color : ColoresDeCartel)
        m_color->addItem(color.nombre.toString());
    const int indiceColor = m_color->findText(ajustes.value(claveColor).toString());
    m_color->setCurrentIndex(std::max(indiceColor, 0));
    m_ancho->setObjectName(u"anchoDeLaVista"_s);
    m_color->setObjectName(u"colorDeLaVista"_s);
    m_matriz->setObjectName(u"matrizDeLaVista"_s);
    m_matriz->setAccessibleName(u"Vista aproximada del cartel"_s);

    auto *titulo = new QLabel(u"Vista aproximada"_s, this);
    titulo->setToolTip(u"Un cartel real puede tener otra letra y otros tiempos."_s);
    titulo->setBuddy(m_matriz);
    // Alt+A is the main window's Archivo menu.
    auto *etiquetaAncho = new QLabel(u"A&ncho:"_s, this);
    etiquetaAncho->setBuddy(m_ancho);
    auto *etiquetaColor = new QLabel(u"C&olor:"_s, this);
    etiquetaColor->setBuddy(m_color);

    auto *fila = new QHBoxLayout;
    fila->addWidget(titulo);
    fila->addStretch();
    fila->addWidget(etiquetaAncho);
    fila->addWidget(m_ancho);
    fila->addWidget(etiquetaColor);
    fila->addWidget(m_color);
    auto *columna = new QVBoxLayout(this);
    columna->addLayout(fila);
    columna->addWidget(m_matriz, 1);

    ElegirAncho();
    ElegirColor();
    connect(m_ancho, &QComboBox::currentIndexChanged, this, [this] {
        ElegirAncho();
        Ajustes().setValue(claveAncho, m_matriz->Columnas());
    });
    connect(m_color, &QComboBox::currentIndexChanged, this, [this] {
        ElegirColor();
        Ajustes().setValue(claveColor, m_color->currentText());
    });
}

void VistaPrevia::PonerTexto(const QString &textoCrLf)
{
    // Only kept here: every keystroke must stay cheap on the longest text.
    m_leer = nullptr;
    m_texto = textoCrLf;
    m_espera->start();
}

void VistaPrevia::LeerTextoCon(std::function<QString()> leer)
{
    m_leer = std::move(leer);
}

void VistaPrevia::TextoCambiado()
{
    if (m_leer)
        m_espera->start();
}

void VistaPrevia::Codificar()
{
    if (m_leer)
        m_texto = m_leer();
    const QByteArray mensaje = TextoDemasiadoLargo(m_texto) ? QByteArray() : CodificarTexto(m_texto);
    m_matriz->PonerMensaje(mensaje);
}

void VistaPrevia::ElegirAncho()
{
    m_matriz->PonerColumnas(m_ancho->currentData().toInt());
}

void VistaPrevia::ElegirColor()
{
    m_matriz->PonerColor(ColoresDeCartel[std::max(m_color->currentIndex(), 0)].encendido);
}
