#include "ui/icono.h"
#include "ui/principal.h"
#include "ui/traducciones.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication aplicacion(argc, argv);
    QApplication::setApplicationName(u"brevalux"_s);
    QApplication::setWindowIcon(IconoDeLaAplicacion());
    InstalarTraduccionesDeQt(aplicacion);

    Principal principal;
    principal.show();
    return QApplication::exec();
}
