#include "envioporservidor.h"

#include "avanceenconsola.h"

#include "link/clientedeenvios.h"
#include "link/plandeenvio.h"

#include <QDir>

using namespace std::chrono_literals;

std::optional<ResultadoDeEnvio> EnviarPorElServidor(const QList<QByteArray> &cadenas, const QString &linea,
                                                    const QString &ajustes, QIODevice &errores, bool terminal)
{
    ClienteDeEnvios cliente;
    // Short: with nobody serving the folder the answer is immediate, and a
    // process too busy to greet in time is left to the port's own refusal.
    if (!cliente.Conectar(QDir::currentPath(), 500ms) || cliente.Linea() != linea || cliente.Ajustes() != ajustes)
        return std::nullopt;
    AvanceEnConsola avance(cadenas, errores, terminal);
    QObject::connect(&cliente, &ClienteDeEnvios::Comenzada, &avance, &AvanceEnConsola::Comenzada);
    QObject::connect(&cliente, &ClienteDeEnvios::Avance, &avance, &AvanceEnConsola::Avance);
    PlanDeEnvio plan;
    plan.cadenas = cadenas;
    // The holder's send log names what it sends for this run as it always has.
    const ResultadoDeEnvio resultado = cliente.Enviar(cadenas, DestinosDeLasCadenas(plan), QString(TextoDeOtroProceso));
    avance.Terminar();
    return resultado;
}
