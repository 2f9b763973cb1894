#pragma once

#include <QObject>

class PuertoSerie;
class Transmisor;
struct PlanDeEnvio;

// The program's one line to the signs: the serial port and the transmitter
// that writes to it. Whoever sends (the editor's send-now, the address
// display, the timetable) hands its plan here, and whoever shows a send
// (the send dialog, the status line) listens to the transmitter; sends
// queue behind each other and never mix.
class LineaDeCarteles : public QObject
{
    Q_OBJECT

public:
    // Takes `puerto` as its child.
    explicit LineaDeCarteles(PuertoSerie *puerto, QObject *parent = nullptr);

    PuertoSerie &Puerto() const { return *m_puerto; }
    Transmisor &Emisor() const { return *m_transmisor; }

    // Hands each string of the plan to the transmitter, in order. A port
    // that would not open is reported, through the transmitter, once for
    // each string, as each is tried on its own. False when any was refused.
    bool Enviar(const PlanDeEnvio &plan);

private:
    PuertoSerie *m_puerto;
    Transmisor *m_transmisor;
};
