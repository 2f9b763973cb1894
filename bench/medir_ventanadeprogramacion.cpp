// The timetable window with a thousand entries that all name one large
// document: opening it, and what every minute and every change of the
// timetable cost the user interface thread while it is open. Each must stay
// well under the time a person notices.

#include "carpetademedicion.h"

#include "apoyo/puertofalso.h"
#include "documents/documento.h"
#include "schedule/ejecutordeprogramacion.h"
#include "schedule/programacion.h"
#include "ui/principal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiSubWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr double objetivoMs = 100.0;
constexpr int entradas = 1000;
constexpr int corridas = 11;

void Asentar()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void Fila(const char *medicion, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const double mediana = ms.at(ms.size() / 2);
    std::printf("| %s | %.1f ms (mediana de %zu) | < %.0f ms | %s |\n", medicion, mediana, ms.size(), objetivoMs,
                mediana < objetivoMs ? "sí" : "no");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication aplicacion(argc, argv);
    CarpetaDeMedicion carpeta;
    if (!carpeta.Valida() || !carpeta.EscribirConfiguracion({u"interfase com1,9600,N,8,1"_s,
                                                             u"cartel R560, Hall, 5"_s, u"cartel R560, Caja, 7"_s}))
        return 1;
    // About 700 KB of text, to Hall.
    QString texto;
    while (texto.size() < 700 * 1024)
        texto += u"Ofertas del día [titila] hasta las 20 hs\r\n"_s;
    if (EscribirDocumento(carpeta.Ruta(u"grande.txt"_s), texto, u"Dirs:  Hall"_s))
        return 1;
    Programacion programacion;
    for (int i = 0; i < entradas; ++i) {
        EntradaDeProgramacion entrada;
        entrada.archivo = u"grande.txt"_s;
        entrada.desde = QTime(i % 24, i % 60);
        entrada.hasta = QTime((i + 1) % 24, i % 60);
        programacion.entradas.append(entrada);
    }
    if (EscribirProgramacion(carpeta.Ruta(u"programacion.json"_s), programacion))
        return 1;

    Principal principal(new PuertoFalso);
    principal.show();
    Asentar();
    EjecutorDeProgramacion &ejecutor = principal.Ejecutor();
    Asentar();

    QElapsedTimer reloj;
    reloj.start();
    principal.AbrirProgramacion();
    Asentar();
    Fila("abrir Programación de Envíos con 1.000 entradas de un documento de 700 KB", {reloj.nsecsElapsed() / 1e6});

    std::vector<double> minutos;
    for (int i = 0; i < corridas; ++i) {
        reloj.restart();
        ejecutor.PasoUnMinuto();
        Asentar();
        minutos.push_back(reloj.nsecsElapsed() / 1e6);
    }
    Fila("cada minuto con esa ventana abierta", minutos);

    std::vector<double> cambios;
    for (int i = 0; i < corridas; ++i) {
        programacion.entradas[0].activa = i % 2 == 0;
        reloj.restart();
        if (ejecutor.PonerProgramacion(programacion))
            return 1;
        Asentar();
        cambios.push_back(reloj.nsecsElapsed() / 1e6);
    }
    Fila("cada cambio de la programación con esa ventana abierta", cambios);
    return 0;
}
