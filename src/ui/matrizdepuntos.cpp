#include "matrizdepuntos.h"

#include "display/fuentedepuntos.h"

#include <QPainter>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr QRgb fondo = qRgb(12, 12, 12);

// A dark dot is the lit colour at a tenth, on the black of the sign's face.
QRgb Apagado(QRgb encendido)
{
    return qRgb(20 + qRed(encendido) / 10, 20 + qGreen(encendido) / 10, 20 + qBlue(encendido) / 10);
}

// Which pixels of a `lado` by `lado` cell the round dot covers, leaving a
// one pixel gap around it once there is room for one.
std::vector<bool> MascaraDePunto(int lado)
{
    std::vector<bool> mascara(static_cast<size_t>(lado * lado), true);
    if (lado < 3)
        return mascara;
    const double centro = (lado - 1) / 2.0;
    const double radio = (lado - 1) / 2.0;
    for (int y = 0; y < lado; ++y) {
        for (int x = 0; x < lado; ++x) {
            const double dx = x - centro;
            const double dy = y - centro;
            mascara[static_cast<size_t>(y * lado + x)] = dx * dx + dy * dy <= radio * radio;
        }
    }
    return mascara;
}

} // namespace

MatrizDePuntos::MatrizDePuntos(QWidget *parent)
    : QWidget(parent)
    , m_cartel({}, AnchosDeCartel[2])
    , m_encendido(ColoresDeCartel[0].encendido)
    , m_cuadros(new QTimer(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_cuadros->setInterval(1000 / CuadrosPorSegundo);
    connect(m_cuadros, &QTimer::timeout, this, &MatrizDePuntos::Avanzar);
    m_reloj.start();
    // A picture that moves: its name says what it is, its description what
    // it shows, for whoever cannot see the dots.
    setAccessibleName(u"Cartel simulado"_s);
}

void MatrizDePuntos::PonerMensaje(const QByteArray &mensaje)
{
    m_mensaje = mensaje;
    setAccessibleDescription(LetrasDelMensaje(m_mensaje));
    m_cartel = CartelSimulado(m_mensaje, Columnas());
    m_reloj.restart();
    Avanzar();
}

void MatrizDePuntos::PonerColumnas(int columnas)
{
    if (columnas == Columnas())
        return;
    m_cartel = CartelSimulado(m_mensaje, columnas);
    updateGeometry();
    Avanzar();
}

void MatrizDePuntos::PonerColor(QRgb encendido)
{
    m_encendido = encendido;
    m_pintados.clear();
    update();
}

int MatrizDePuntos::Columnas() const
{
    return m_cartel.Columnas();
}

bool MatrizDePuntos::Animando() const
{
    return m_cuadros->isActive();
}

QSize MatrizDePuntos::sizeHint() const
{
    return {Columnas() * 6, AltoDeGlifo * 6};
}

QSize MatrizDePuntos::minimumSizeHint() const
{
    return {Columnas() * 2, AltoDeGlifo * 2};
}

void MatrizDePuntos::Avanzar()
{
    m_cartel.Puntos(m_reloj.elapsed(), m_puntos);
    // Most frames of a standing text are the frame before: nothing to draw.
    if (m_puntos != m_pintados)
        update();
}

void MatrizDePuntos::MostrarMomento(qint64 ms)
{
    m_cuadros->stop();
    m_cartel.Puntos(ms, m_puntos);
    update();
}

void MatrizDePuntos::Arrancar()
{
    if (window()->isMinimized())
        return;
    m_cuadros->start();
    Avanzar();
}

void MatrizDePuntos::showEvent(QShowEvent *evento)
{
    QWidget::showEvent(evento);
    Arrancar();
}

void MatrizDePuntos::hideEvent(QHideEvent *evento)
{
    // Also sent, spontaneous, when the window is minimised.
    QWidget::hideEvent(evento);
    m_cuadros->stop();
}

void MatrizDePuntos::Pintar(int lado)
{
    const int columnas = Columnas();
    const QSize tamano(columnas * lado, AltoDeGlifo * lado);
    if (m_imagen.size() != tamano)
        m_imagen = QImage(tamano, QImage::Format_RGB32);
    if (m_ladoDelPunto != lado) {
        m_mascara = MascaraDePunto(lado);
        m_ladoDelPunto = lado;
    }
    const QRgb encendido = m_encendido;
    const QRgb apagado = Apagado(m_encendido);
    for (int fila = 0; fila < AltoDeGlifo; ++fila) {
        for (int y = 0; y < lado; ++y) {
            auto *linea = reinterpret_cast<QRgb *>(m_imagen.scanLine(fila * lado + y));
            for (int x = 0; x < columnas; ++x) {
                const QRgb punto = (m_puntos.at(x) >> fila) & 1 ? encendido : apagado;
                QRgb *celda = linea + x * lado;
                for (int i = 0; i < lado; ++i)
                    celda[i] = m_mascara[static_cast<size_t>(y * lado + i)] ? punto : fondo;
            }
        }
    }
    m_pintados = m_puntos;
}

void MatrizDePuntos::paintEvent(QPaintEvent *)
{
    QPainter pintor(this);
    pintor.fillRect(rect(), QColor(fondo));
    if (m_puntos.size() != Columnas())
        m_cartel.Puntos(m_reloj.elapsed(), m_puntos);
    // Whole pixels per dot, as large as fit: the image is drawn 1:1, centred.
    const int lado = std::max(1, std::min(width() / Columnas(), height() / AltoDeGlifo));
    Pintar(lado);
    pintor.drawImage(QPoint((width() - m_imagen.width()) / 2, (height() - m_imagen.height()) / 2), m_imagen);
}
