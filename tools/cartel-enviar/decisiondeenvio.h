#pragma once

#include "argumentosdeenvio.h"
#include "codigodesalida.h"

#include "config/registrodecarteles.h"
#include "link/plandeenvio.h"

#include <QString>
#include <QStringList>

// What one run of cartel-enviar sends, decided before the port is touched:
// the program's own send plan, with the command line's choice of signs and
// the exit status a script reads.
struct DecisionDeEnvio
{
    // Anything but Exito: nothing is to be sent, and `motivo` says why.
    CodigoDeSalida codigo = CodigoDeSalida::Exito;
    QString motivo;
    PlanDeEnvio plan;
};

// `texto` is the document's text or that of --texto, with any line breaks;
// `propiedades` the document's destination line (unused with --texto, which
// goes to every sign unless --a or --global say otherwise); `registro` the
// signs of the configuration. --a names match a sign's name without
// its surrounding blanks, exactly otherwise; a name given twice counts once.
// A --a name no sign has refuses the whole run.
DecisionDeEnvio DecidirEnvio(const ArgumentosDeEnvio &argumentos, const QString &texto, const QString &propiedades,
                             const RegistroDeCarteles &registro);
