#include "ui/principal.h"
#include "ui/traducciones.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication aplicacion(argc, argv);
    QApplication::setApplicationName(QStringLiteral("brevalux"));
    InstalarTraduccionesDeQt(aplicacion);

    Principal principal;
    principal.show();
    return QApplication::exec();
}
