#pragma once

#include <QObject>

// Watches a whole program from inside it: once its main window has been
// shown and painted, prints what the installed-layout test checks, one
// "clave=valor" line each, and ends the program the ordinary way.
//
//     carpeta=<the working folder>
//     titulo=<the main window's caption>
//     cancelar=<the text of a standard Cancel button>
class InformeDeArranque : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    bool m_informado = false;
};
