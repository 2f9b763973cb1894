#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

// Open and save file dialogs. Like CuadroDeMensaje, tests can give the
// chosen paths beforehand (an empty path is a cancelled dialog).
class DialogoDeArchivo
{
public:
    struct Pedido
    {
        QString titulo;
        QStringList filtros;     // "Archivos de texto (*.txt)"
        int filtroElegido = 0;   // index into filtros
        QString nombre;          // initial file name
        QString extension;       // default extension, without the dot
    };

    // The chosen path, or an empty string when the user cancelled.
    static QString Abrir(QWidget *padre, const Pedido &pedido);
    // No overwrite question: saving over an existing file replaces it.
    static QString Guardar(QWidget *padre, const Pedido &pedido);

    // The dialog Abrir or Guardar shows, set up but not yet shown. The
    // filters read exactly as given; a "*.*" in one matches every file,
    // those without a dot in their name too, as the caption promises.
    static QFileDialog *CrearDialogo(QWidget *padre, const Pedido &pedido, bool guardar);

    static void ResponderCon(const QStringList &rutas);
    static QList<Pedido> Pedidos();
    static void OlvidarPedidos();

private:
    static QString Mostrar(QWidget *padre, const Pedido &pedido, bool guardar);
};
