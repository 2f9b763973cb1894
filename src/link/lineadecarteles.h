#pragma once

#include <QList>
#include <QObject>
#include <QSet>

class PuertoSerie;
class Transmisor;
struct PlanDeEnvio;

// The program's one line to the signs: the serial port and the transmitter
// that writes to it. Whoever sends (the editor's send-now, the address
// display, the timetable, a cartel-enviar served by the program) hands its
// plan here, and whoever shows a send (the send dialog, the status line)
// listens to the transmitter; sends queue behind each other and never mix.
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

    // Plans are numbered from 1 in the order Enviar() is given them; this is
    // the number the next one will carry, so that a caller can expect its
    // PlanTerminado() even when it comes before Enviar() returns.
    quint64 ProximoPlan() const { return m_ultimoPlan + 1; }
    // The plan of the string the transmitter is writing or about to write,
    // 0 with nothing under way; what it says in a receiver of the
    // transmitter's Comenzada() and Avance() is the plan of that string.
    quint64 PlanEnCurso() const { return m_planDeCadena.isEmpty() ? 0 : m_planDeCadena.first(); }

Q_SIGNALS:
    // Once per plan: every string of it left the line (`fallo` empty), or
    // the first of them that failed did, and `fallo` is the transmitter's
    // description. A failure that drops the queue ends every plan in it.
    void PlanTerminado(quint64 plan, const QString &fallo);

private:
    void CadenaTerminada();
    void Fallo(const QString &descripcion);
    void Desocupado();
    void Terminar(quint64 plan, const QString &fallo);

    PuertoSerie *m_puerto;
    Transmisor *m_transmisor;
    quint64 m_ultimoPlan = 0;
    // The plan of each string in the transmitter, oldest first: the
    // transmitter ends them in this order.
    QList<quint64> m_planDeCadena;
    // Plans whose strings Enviar() is still handing over; none of them has
    // ended while some of its strings are still to come.
    QList<quint64> m_planesEntregandose;
    // Plans already told, that still have strings in the transmitter.
    QSet<quint64> m_terminados;
};
