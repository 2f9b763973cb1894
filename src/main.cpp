#include "ui/icono.h"
#include "ui/principal.h"
#include "ui/traducciones.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication aplicacion(argc, argv);
    QApplication::setApplicationName(QStringLiteral("brevalux"));
    QApplication::setWindowIcon(IconoDeLaAplicacion());
    InstalarTraduccionesDeQt(aplicacion);

    Principal principal;
    principal.show();
    return QApplication::exec();
}
