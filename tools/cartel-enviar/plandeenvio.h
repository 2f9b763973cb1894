#pragma once

#include "argumentosdeenvio.h"
#include "codigodesalida.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// What one run of cartel-enviar hands to the transmitter, decided before the
// port is touched, so that a refusal sends nothing at all.
struct PlanDeEnvio
{
    // Anything but Exito: nothing is to be sent, and `motivo` says why.
    CodigoDeSalida codigo = CodigoDeSalida::Exito;
    QString motivo;
    // Sent all the same, but worth a line on the error output.
    QStringList avisos;
    // One transmission string each, handed over one after the other as the
    // editor's send-now does: one frame per destination.
    QList<QByteArray> cadenas;
};

// `texto` is the document's text or that of --texto, with any line breaks;
// `propiedades` the document's destination line (unused with --texto, which
// goes to every sign unless --a or --global say otherwise); `registro` the
// sign records of the configuration. --a names match a sign's name without
// its surrounding blanks, exactly otherwise; a name given twice counts once,
// and a name two signs share reaches both.
PlanDeEnvio PlanearEnvio(const ArgumentosDeEnvio &argumentos, const QString &texto, const QString &propiedades,
                         const QStringList &registro);

// The number of bytes the sign receives for `texto` inside the frame.
qsizetype LongitudCodificada(const QString &texto);
