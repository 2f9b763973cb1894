#include "ui/icono.h"
#include "ui/principal.h"
#include "ui/traducciones.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication aplicacion(argc, argv);
    QApplication::setApplicationName(u"brevalux"_s);
    InstalarTraduccionesDeQt(aplicacion);

    Principal principal;
    // Drawn, not loaded: after the first paint, like the rest of what the
    // window does not need to come up.
    QObject::connect(&principal, &Principal::Arrancado, &principal,
                     [] { QApplication::setWindowIcon(IconoDeLaAplicacion()); });
    principal.show();
    return QApplication::exec();
}
