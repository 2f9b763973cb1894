#include "ui/icono.h"
#include "ui/principal.h"
#include "ui/traducciones.h"

#include <QApplication>

#ifndef Q_OS_WIN
#include "platform/avisadordesenales.h"

#include <csignal>
#endif

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
#ifndef Q_OS_WIN
    // A logout or `systemctl stop` ends the program through the event loop,
    // so that the timetable's lock and the port are given back on the way
    // out rather than left for the next start to take over.
    AvisadorDeSenales senales;
    if (senales.Instalar({SIGINT, SIGTERM, SIGHUP}))
        QObject::connect(&senales, &AvisadorDeSenales::Recibida, &principal, &Principal::Terminar);
#endif
    principal.show();
    return QApplication::exec();
}
