#include "ventanadecarteles.h"

#include "ui/matrizdepuntos.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

VentanaDeCarteles::VentanaDeCarteles(const QString &puerto, int columnas, QRgb color, QWidget *parent)
    : QWidget(parent)
    , m_columnas(columnas)
    , m_color(color)
    , m_espera(new QLabel(u"Esperando tramas en ./%1…"_s.arg(puerto), this))
    , m_lineas(new QPlainTextEdit(this))
{
    setWindowTitle(u"Cartel virtual"_s);

    auto *carteles = new QWidget;
    m_carteles = new QVBoxLayout(carteles);
    m_carteles->addWidget(m_espera);
    m_carteles->addStretch();
    auto *desplazable = new QScrollArea(this);
    desplazable->setWidgetResizable(true);
    desplazable->setWidget(carteles);
    desplazable->setMinimumWidth(std::min(columnas, 96) * 5 + 40);

    m_lineas->setReadOnly(true);
    m_lineas->setAccessibleName(u"Tramas recibidas"_s);
    m_lineas->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_lineas->setMaximumBlockCount(2000);
    m_lineas->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto *fila = new QHBoxLayout(this);
    fila->addWidget(desplazable, 3);
    fila->addWidget(m_lineas, 2);
    resize(1200, 330);
}

MatrizDePuntos *VentanaDeCarteles::Matriz(int direccion) const
{
    const auto encontrada = m_matrices.find(direccion);
    return encontrada == m_matrices.end() ? nullptr : encontrada->second;
}

MatrizDePuntos &VentanaDeCarteles::MatrizPara(int direccion)
{
    if (MatrizDePuntos *existente = Matriz(direccion))
        return *existente;
    m_espera->hide();
    auto *matriz = new MatrizDePuntos;
    matriz->PonerColumnas(m_columnas);
    matriz->PonerColor(m_color);
    matriz->setMinimumHeight(7 * 4);
    // In address order, "Todos" first; two widgets (caption and sign) each.
    const auto siguiente = m_matrices.upper_bound(direccion);
    const int posicion = 1 + 2 * static_cast<int>(std::distance(m_matrices.begin(), siguiente));
    auto *rotulo = new QLabel(direccion == Todos ? u"Todos"_s : u"Cartel %1"_s.arg(direccion));
    rotulo->setBuddy(matriz);
    matriz->setAccessibleName(rotulo->text());
    m_carteles->insertWidget(posicion, rotulo);
    m_carteles->insertWidget(posicion + 1, matriz);
    m_matrices.emplace(direccion, matriz);
    return *matriz;
}

void VentanaDeCarteles::MostrarMensaje(bool aTodos, int direccion, const QByteArray &mensaje)
{
    if (!aTodos) {
        MatrizPara(direccion).PonerMensaje(mensaje);
        return;
    }
    MatrizPara(Todos);
    for (const auto &[cualquiera, matriz] : m_matrices)
        matriz->PonerMensaje(mensaje);
}

void VentanaDeCarteles::AgregarLinea(const QString &linea)
{
    m_lineas->appendPlainText(linea);
    m_lineas->verticalScrollBar()->setValue(m_lineas->verticalScrollBar()->maximum());
}
