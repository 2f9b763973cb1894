#include "plandeenvio.h"

#include "documents/destinosdeenvio.h"
#include "documents/propiedades.h"
#include "encoding/codificador.h"
#include "encoding/saltosdelinea.h"
#include "link/trama.h"

using namespace Qt::StringLiterals;

namespace {

QString Citados(const QStringList &nombres)
{
    QStringList citados;
    for (const QString &nombre : nombres)
        citados.append(u"«"_s + nombre + u"»"_s);
    return citados.join(u", "_s);
}

QString Conocidos(const QStringList &titulos)
{
    QStringList nombres;
    for (const QString &titulo : titulos)
        nombres.append(titulo.trimmed());
    return nombres.isEmpty() ? u"./carteles.ini no tiene carteles."_s
                             : u"Los carteles de ./carteles.ini son: "_s + Citados(nombres) + u"."_s;
}

PlanDeEnvio Rechazo(CodigoDeSalida codigo, const QString &motivo)
{
    PlanDeEnvio plan;
    plan.codigo = codigo;
    plan.motivo = motivo;
    return plan;
}

} // namespace

qsizetype LongitudCodificada(const QString &texto)
{
    return CodificarTexto(SaltosCrLf(texto)).size();
}

PlanDeEnvio PlanearEnvio(const ArgumentosDeEnvio &argumentos, const QString &texto, const QString &propiedades,
                         const QStringList &registro)
{
    if (argumentos.accion == ArgumentosDeEnvio::Accion::Direcciones) {
        PlanDeEnvio plan;
        plan.cadenas.append(ArmarMensajeDeDirecciones());
        return plan;
    }

    // The editor sends what its text box holds, whose line breaks are CR LF
    // whatever the file or the shell gave.
    const QString textoCrLf = SaltosCrLf(texto);
    if (TextoDemasiadoLargo(textoCrLf))
        return Rechazo(CodigoDeSalida::NadaQueEnviar,
                       u"El texto tiene %1 caracteres y un cartel admite como máximo %2. No se envió nada."_s
                           .arg(textoCrLf.size())
                           .arg(LongitudMaximaDeTexto));

    const QStringList titulos = TitulosDeRegistro(registro);
    const bool visibles = registro.size() > 1;
    PlanDeEnvio plan;
    DestinosDeEnvio destinos;
    if (!argumentos.nombres.isEmpty()) {
        QList<bool> marcas(registro.size(), false);
        QStringList desconocidos;
        for (const QString &nombre : argumentos.nombres) {
            bool hallado = false;
            for (qsizetype i = 0; i < titulos.size(); ++i) {
                if (titulos.at(i).trimmed() == nombre.trimmed()) {
                    marcas[i] = true;
                    hallado = true;
                }
            }
            if (!hallado && !desconocidos.contains(nombre))
                desconocidos.append(nombre);
        }
        if (!desconocidos.isEmpty())
            return Rechazo(CodigoDeSalida::CartelesDesconocidos,
                           (desconocidos.size() == 1 ? u"No hay ningún cartel llamado %1 en ./carteles.ini. "_s
                                                     : u"No hay carteles llamados %1 en ./carteles.ini. "_s)
                                   .arg(Citados(desconocidos)) +
                               u"No se envió nada.\n"_s + Conocidos(titulos));
        destinos = DestinosDesdeMarcas(visibles, false, marcas, titulos, registro);
    } else if (argumentos.global || argumentos.texto) {
        destinos = DestinosDesdeMarcas(visibles, true, {}, titulos, registro);
    } else {
        destinos = DestinosDesdePropiedades(propiedades, registro);
        QStringList ausentes;
        for (const QString &nombre : NombresSinTitulo(propiedades, titulos))
            ausentes.append(nombre.trimmed());
        if (destinos.SinDestinos()) {
            if (ausentes.isEmpty())
                return Rechazo(CodigoDeSalida::NadaQueEnviar,
                               u"El documento no tiene destinos: no se envió nada. Use --global o --a NOMBRE."_s);
            return Rechazo(CodigoDeSalida::CartelesDesconocidos,
                           u"El documento va a %1, que no está en ./carteles.ini. No se envió nada.\n"_s.arg(
                               Citados(ausentes)) +
                               Conocidos(titulos));
        }
        if (!ausentes.isEmpty() && visibles)
            plan.avisos.append(u"El documento también va a %1, que no está en ./carteles.ini: ahí no se envía."_s.arg(
                Citados(ausentes)));
    }

    if (!destinos.omitidos.isEmpty())
        plan.avisos.append(u"No se envió a estos destinos, que no tienen un cartel con una dirección de 0 a 255: "_s +
                           Citados(destinos.omitidos));
    if (destinos.NadaQueEnviar())
        return Rechazo(CodigoDeSalida::NadaQueEnviar, plan.avisos.join(u'\n') + u" No se envió nada."_s);

    const QByteArray mensaje = CodificarTexto(textoCrLf);
    for (quint8 direccion : std::as_const(destinos.direcciones))
        plan.cadenas.append(ArmarTrama(mensaje, direccion));
    return plan;
}
