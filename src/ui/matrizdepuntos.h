#pragma once

#include "display/cartelsimulado.h"

#include <QElapsedTimer>
#include <QImage>
#include <QStringView>
#include <QWidget>

#include <vector>

class QTimer;

// The widths a sign is made in, in dots, and the colours of its dots.
inline constexpr int AnchosDeCartel[] = {16, 32, 64, 80, 96, 120, 160};

struct ColorDeCartel
{
    QStringView nombre; // as the user picks it
    QRgb encendido;
};

inline constexpr ColorDeCartel ColoresDeCartel[] = {
    {u"ámbar", qRgb(255, 176, 0)},
    {u"rojo", qRgb(255, 48, 32)},
    {u"verde", qRgb(64, 255, 96)},
};

// A simulated sign on screen: plays an encoded message, drawing every dot
// into one image per frame. The frames stop while the widget cannot be
// seen, hidden or in a minimised window, and start again when it can.
class MatrizDePuntos : public QWidget
{
    Q_OBJECT

public:
    static constexpr int CuadrosPorSegundo = 30;

    explicit MatrizDePuntos(QWidget *parent = nullptr);

    // The bytes exactly as they travel in a frame; the message starts over
    // from its beginning.
    void PonerMensaje(const QByteArray &mensaje);
    // Keeps the message and its clock.
    void PonerColumnas(int columnas);
    void PonerColor(QRgb encendido);

    int Columnas() const;
    const QByteArray &Mensaje() const { return m_mensaje; }
    // One run of the message in ms; 0 when it shows nothing.
    qint64 Ciclo() const { return m_cartel.Ciclo(); }
    // Stops on the dots `ms` after the message began, for a picture of it;
    // PonerMensaje() or showing the widget again plays it anew.
    void MostrarMomento(qint64 ms);
    bool Animando() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *evento) override;
    void showEvent(QShowEvent *evento) override;
    void hideEvent(QHideEvent *evento) override;

private:
    void Avanzar();
    void Arrancar();
    void Pintar(int lado);

    QByteArray m_mensaje;
    CartelSimulado m_cartel;
    QRgb m_encendido;
    QElapsedTimer m_reloj;
    QTimer *m_cuadros = nullptr;
    QList<quint8> m_puntos;
    QList<quint8> m_pintados;
    QImage m_imagen;
    int m_ladoDelPunto = 0;
    std::vector<bool> m_mascara;
};
