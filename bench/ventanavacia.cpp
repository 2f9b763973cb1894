// The yardstick for the program's start-up: an empty Qt main window with a
// menu bar as large as the program's, and nothing else. Linked with the same
// measuring hook, it tells what any Qt program of that shape costs to come
// up on this machine, so that the program's own figure can be read against
// it rather than as an absolute that depends on the machine.

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication aplicacion(argc, argv);
    QMainWindow ventana;
    // The hook waits for the window of this name.
    ventana.setObjectName(u"Principal"_s);
    ventana.setWindowTitle(u"BREVALUX - Edición y envío de mensajes"_s);
    for (const auto &[menu, items] : {std::pair{u"&Archivo"_s, 8}, std::pair{u"&Editar"_s, 4},
                                       std::pair{u"&Herramientas"_s, 5}, std::pair{u"&Configuración"_s, 2},
                                       std::pair{u"&Ventana"_s, 2}, std::pair{u"&Ayuda"_s, 0}}) {
        QMenu *m = ventana.menuBar()->addMenu(menu);
        for (int i = 0; i < items; ++i)
            m->addAction(u"Item %1"_s.arg(i));
    }
    ventana.resize(768, 576);
    ventana.show();
    return QApplication::exec();
}
