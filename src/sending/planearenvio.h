#pragma once

#include "config/registrodecarteles.h"
#include "documents/propiedades.h"
#include "link/plandeenvio.h"

#include <QString>
#include <QStringList>

class Documento;

// `texto` is the text, its line breaks CR LF or any other (LF, CR, a line
// or paragraph separator), `destinos` its choice of signs, `registro` the
// connected signs.
PlanDeEnvio PlanearEnvio(const QString &texto, const DestinosDeTexto &destinos, const RegistroDeCarteles &registro);
PlanDeEnvio PlanearEnvio(const Documento &documento, const RegistroDeCarteles &registro);

// «a», «b»: names as the messages quote them.
QString Citados(const QStringList &nombres);
