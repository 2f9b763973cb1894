#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class MatrizDePuntos;
class QComboBox;
class QTimer;

// What a sign would show of the text being written, played as it is typed:
// the simulated sign, labelled as an approximation, with its width and colour
// to choose (both remembered for the next run).
class VistaPrevia : public QWidget
{
    Q_OBJECT

public:
    // After the last change of the text, the sign starts playing it at most
    // this late; a burst of keystrokes encodes the text once.
    static constexpr int EsperaTrasTeclearMs = 150;

    explicit VistaPrevia(QWidget *parent = nullptr);

    MatrizDePuntos &Matriz() { return *m_matriz; }

    // Where TextoCambiado() reads the text from once the typing stops (the
    // whole text, with CR LF line breaks): a keystroke then costs only a
    // timer restart, however long the text.
    void LeerTextoCon(std::function<QString()> leer);

public Q_SLOTS:
    // The whole text, with CR LF line breaks, as it would be sent.
    void PonerTexto(const QString &textoCrLf);
    // The text LeerTextoCon() reads has changed.
    void TextoCambiado();

private:
    void Codificar();
    void ElegirAncho();
    void ElegirColor();

    QString m_texto;
    std::function<QString()> m_leer;
    QTimer *m_espera = nullptr;
    MatrizDePuntos *m_matriz = nullptr;
    QComboBox *m_ancho = nullptr;
    QComboBox *m_color = nullptr;
};
