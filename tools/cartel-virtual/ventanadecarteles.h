#pragma once

#include <QRgb>
#include <QWidget>

#include <map>

class MatrizDePuntos;
class QLabel;
class QPlainTextEdit;
class QVBoxLayout;

// The virtual sign on screen: one simulated sign per address that has been
// sent a frame, each playing the last message it got, beside the lines the
// sign prints. A frame to all signs goes to every one shown and to the one
// labelled "Todos".
class VentanaDeCarteles : public QWidget
{
    Q_OBJECT

public:
    VentanaDeCarteles(const QString &puerto, int columnas, QRgb color, QWidget *parent = nullptr);

    void MostrarMensaje(bool aTodos, int direccion, const QByteArray &mensaje);
    void AgregarLinea(const QString &linea);

    // The sign shown for an address, -1 for "Todos"; null when none yet.
    MatrizDePuntos *Matriz(int direccion) const;

private:
    static constexpr int Todos = -1;

    MatrizDePuntos &MatrizPara(int direccion);

    int m_columnas;
    QRgb m_color;
    QLabel *m_espera = nullptr;
    QVBoxLayout *m_carteles = nullptr;
    QPlainTextEdit *m_lineas = nullptr;
    std::map<int, MatrizDePuntos *> m_matrices;
};
