#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QStringList>

// What a send of one text writes to the line, decided before the port is
// touched, so that a refusal sends nothing at all. The editor's send-now,
// the command-line sender and the timetable all send through it;
// PlanearEnvio() makes it from a text.
struct PlanDeEnvio
{
    enum class Rechazo {
        Ninguno,
        DemasiadoLargo,
        SinDestinos,          // neither every sign nor any sign is chosen
        CartelesDesconocidos, // only names no sign has are chosen
        SinDireccionUtil,     // the chosen signs have no usable address or share a name
        DestinosSinLeer,      // the text's properties line was not understood
    };

    Rechazo rechazo = Rechazo::Ninguno;
    // Why nothing is sent, in the operator's words; empty when something is.
    QString motivo;
    // Sent all the same, but the operator should know: destinations left
    // out, and why.
    QStringList avisos;
    // One transmission string per destination, each one frame, to be handed
    // over in this order.
    QList<QByteArray> cadenas;
    // The address of each frame, 0 for every sign.
    QList<quint8> direcciones;

    bool Enviable() const { return rechazo == Rechazo::Ninguno; }
};

// The address display: 101 frames, one string.
PlanDeEnvio PlanearMensajeDeDirecciones();

// Where each string of `plan` goes, from its first frame's header, for a
// send log that has no names to give: "todos" or "dirección N".
QStringList DestinosDeLasCadenas(const PlanDeEnvio &plan);

// What a send log names as the file of frames another process handed over.
inline constexpr QLatin1StringView TextoDeOtroProceso{"(cartel-enviar)"};
