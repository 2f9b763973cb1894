#include "decisiondeenvio.h"

#include "documents/destinosdeenvio.h"
#include "documents/propiedades.h"
#include "sending/planearenvio.h"

using namespace Qt::StringLiterals;

namespace {

QString Conocidos(const QStringList &titulos)
{
    QStringList nombres;
    for (const QString &titulo : titulos)
        nombres.append(titulo.trimmed());
    return nombres.isEmpty() ? u"./carteles.ini no tiene carteles."_s
                             : u"Los carteles de ./carteles.ini son: "_s + Citados(nombres) + u"."_s;
}

DecisionDeEnvio Rechazo(CodigoDeSalida codigo, const QString &motivo)
{
    DecisionDeEnvio decision;
    decision.codigo = codigo;
    decision.motivo = motivo;
    return decision;
}

CodigoDeSalida CodigoDelRechazo(PlanDeEnvio::Rechazo rechazo)
{
    // A destination that cannot be told is the script's to fix, as a name
    // no sign has is.
    return rechazo == PlanDeEnvio::Rechazo::CartelesDesconocidos || rechazo == PlanDeEnvio::Rechazo::DestinosSinLeer
               ? CodigoDeSalida::CartelesDesconocidos
               : CodigoDeSalida::NadaQueEnviar;
}

} // namespace

DecisionDeEnvio DecidirEnvio(const ArgumentosDeEnvio &argumentos, const QString &texto, const QString &propiedades,
                             const RegistroDeCarteles &registro)
{
    if (argumentos.accion == ArgumentosDeEnvio::Accion::Direcciones) {
        DecisionDeEnvio decision;
        decision.plan = PlanearMensajeDeDirecciones();
        return decision;
    }

    const QStringList titulos = registro.Titulos();
    DestinosDeTexto destinos;
    if (!argumentos.nombres.isEmpty()) {
        destinos.global = false;
        QStringList desconocidos;
        for (const QString &nombre : argumentos.nombres) {
            if (!registro.TieneNombre(nombre) && !desconocidos.contains(nombre))
                desconocidos.append(nombre);
            if (!destinos.nombres.contains(nombre))
                destinos.nombres.append(nombre);
        }
        if (!desconocidos.isEmpty())
            return Rechazo(CodigoDeSalida::CartelesDesconocidos,
                           (desconocidos.size() == 1 ? u"No hay ningún cartel llamado %1 en ./carteles.ini. "_s
                                                     : u"No hay carteles llamados %1 en ./carteles.ini. "_s)
                                   .arg(Citados(desconocidos)) +
                               u"No se envió nada.\n"_s + Conocidos(titulos));
    } else if (!argumentos.global && !argumentos.texto) {
        destinos = LeerDestinos(propiedades, titulos);
    }

    DecisionDeEnvio decision;
    decision.plan = PlanearEnvio(texto, destinos, registro);
    if (!decision.plan.Enviable()) {
        decision.codigo = CodigoDelRechazo(decision.plan.rechazo);
        decision.motivo = decision.plan.motivo;
        if (decision.plan.rechazo == PlanDeEnvio::Rechazo::SinDestinos ||
            decision.plan.rechazo == PlanDeEnvio::Rechazo::DestinosSinLeer)
            decision.motivo += u" Use --global o --a NOMBRE."_s;
        else if (decision.plan.rechazo == PlanDeEnvio::Rechazo::CartelesDesconocidos)
            decision.motivo += u'\n' + Conocidos(titulos);
    }
    return decision;
}
