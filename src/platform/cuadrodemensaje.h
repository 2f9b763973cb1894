#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>

class QWidget;

// Every message box of the program goes through here, so that widget tests
// can give the answers beforehand and read what was shown: in that mode no
// box is ever opened and nothing blocks.
class CuadroDeMensaje
{
public:
    struct Mostrado
    {
        QString texto;
        QString titulo;
        QMessageBox::Icon icono;
        QMessageBox::StandardButtons botones;
    };

    // The application's title, for boxes that name none.
    static QString TituloPorDefecto();

    // Asks and waits for the answer (the box is application-modal).
    static QMessageBox::StandardButton Preguntar(QWidget *padre, const QString &texto, const QString &titulo,
                                                 QMessageBox::Icon icono, QMessageBox::StandardButtons botones,
                                                 QMessageBox::StandardButton porDefecto);

    // A failure the operator must read before going on: the exclamation
    // icon, the application's title and an OK button; waits like Preguntar.
    static void Advertir(QWidget *padre, const QString &texto);

    // Shows the box and returns at once: for failures noticed in timer or
    // port events, where waiting would stall the transmission's own events.
    static void Avisar(QWidget *padre, const QString &texto, QMessageBox::Icon icono = QMessageBox::Warning,
                       const QString &titulo = TituloPorDefecto());

    // The box Preguntar shows, not yet shown. A Yes/No question has no
    // answer but its two buttons (Escape and the close button do nothing),
    // unless its default is No: then they answer No.
    static QMessageBox *CrearCaja(QWidget *padre, const QString &texto, const QString &titulo,
                                  QMessageBox::Icon icono, QMessageBox::StandardButtons botones,
                                  QMessageBox::StandardButton porDefecto);

    // Test mode: from now on no box is shown; Preguntar takes the answers in
    // order, then the default button. Every box is recorded.
    static void ResponderCon(const QList<QMessageBox::StandardButton> &respuestas = {});
    static QList<Mostrado> Mostrados();
    static void OlvidarMostrados();

private:
    static bool Registrar(const Mostrado &mostrado);
};
