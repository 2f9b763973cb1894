#include "sending/planearenvio.h"

#include "documents/destinosdeenvio.h"
#include "documents/documento.h"
#include "encoding/codificador.h"
#include "encoding/saltosdelinea.h"
#include "link/trama.h"

using namespace Qt::StringLiterals;

namespace {

PlanDeEnvio Rechazar(PlanDeEnvio::Rechazo rechazo, const QString &motivo)
{
    PlanDeEnvio plan;
    plan.rechazo = rechazo;
    plan.motivo = motivo;
    return plan;
}

QStringList Recortados(const QStringList &nombres)
{
    QStringList recortados;
    for (const QString &nombre : nombres)
        recortados.append(nombre.trimmed());
    return recortados;
}

} // namespace

QString Citados(const QStringList &nombres)
{
    QStringList citados;
    for (const QString &nombre : nombres)
        citados.append(u"«"_s + nombre + u"»"_s);
    return citados.join(u", "_s);
}

PlanDeEnvio PlanearEnvio(const QString &texto, const DestinosDeTexto &destinos, const RegistroDeCarteles &registro)
{
    // A line or paragraph separator is what a text box types for a break:
    // whoever hands over such a text means a line break, as the editor does.
    QString conSaltos = texto;
    conSaltos.replace(QChar::LineSeparator, u'\n').replace(QChar::ParagraphSeparator, u'\n');
    const QString textoCrLf = SaltosCrLf(conSaltos);
    if (TextoDemasiadoLargo(textoCrLf))
        return Rechazar(PlanDeEnvio::Rechazo::DemasiadoLargo,
                        u"El texto tiene %1 caracteres y el programa envía como máximo %2. No se envió nada."_s
                            .arg(textoCrLf.size())
                            .arg(LongitudMaximaDeTexto));

    const DestinosDeEnvio envio = DestinosDeEnvioDe(destinos, registro);
    QStringList avisos;
    if (!envio.desconocidos.isEmpty())
        avisos.append(u"Los carteles %1 de este texto no están en Carteles Conectados: a ellos no se envía."_s.arg(
            Citados(Recortados(envio.desconocidos))));
    if (!envio.repetidos.isEmpty())
        avisos.append(u"Varios carteles se llaman %1: no se sabe a cuál va el texto y no se envía a ninguno."_s.arg(
            Citados(envio.repetidos)));
    if (!envio.omitidos.isEmpty())
        avisos.append(u"No se envió a estos destinos, que no tienen un cartel con una dirección de 0 a 255: "_s +
                      Citados(envio.omitidos));

    // Read as every sign, but nobody chose that.
    if (!envio.sinLeer.isEmpty())
        return Rechazar(PlanDeEnvio::Rechazo::DestinosSinLeer,
                        u"La línea de destinos «%1» de este texto no se entiende (se espera \"Global\" o \"Dirs: \" "
                        u"y los nombres de los carteles): no se envió nada."_s.arg(envio.sinLeer));
    if (envio.SinDestinos())
        return Rechazar(PlanDeEnvio::Rechazo::SinDestinos,
                        u"El texto no tiene destinos marcados: no se envió nada."_s);
    if (envio.NadaQueEnviar()) {
        const bool soloDesconocidos = envio.omitidos.isEmpty() && envio.repetidos.isEmpty();
        return Rechazar(soloDesconocidos ? PlanDeEnvio::Rechazo::CartelesDesconocidos
                                         : PlanDeEnvio::Rechazo::SinDireccionUtil,
                        avisos.join(u'\n') + u" No se envió nada."_s);
    }

    PlanDeEnvio plan;
    plan.avisos = avisos;
    const QByteArray mensaje = CodificarTexto(textoCrLf);
    for (quint8 direccion : envio.direcciones) {
        plan.cadenas.append(ArmarTrama(mensaje, direccion));
        plan.direcciones.append(direccion);
    }
    return plan;
}

PlanDeEnvio PlanearEnvio(const Documento &documento, const RegistroDeCarteles &registro)
{
    return PlanearEnvio(documento.Texto(), documento.Destinos(), registro);
}
