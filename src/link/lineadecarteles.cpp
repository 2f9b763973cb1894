#include "link/lineadecarteles.h"

#include "link/plandeenvio.h"
#include "link/transmisor.h"
#include "platform/puertoserie.h"

namespace {

QList<quint64> SinRepetir(const QList<quint64> &planes)
{
    QList<quint64> unicos;
    for (const quint64 plan : planes) {
        if (!unicos.contains(plan))
            unicos.append(plan);
    }
    return unicos;
}

} // namespace

LineaDeCarteles::LineaDeCarteles(PuertoSerie *puerto, QObject *parent)
    : QObject(parent), m_puerto(puerto), m_transmisor(new Transmisor(*puerto, this))
{
    m_puerto->setParent(this);
    connect(m_transmisor, &Transmisor::CadenaTerminada, this, &LineaDeCarteles::CadenaTerminada);
    connect(m_transmisor, &Transmisor::Fallo, this, &LineaDeCarteles::Fallo);
    connect(m_transmisor, &Transmisor::Desocupado, this, &LineaDeCarteles::Desocupado);
}

bool LineaDeCarteles::Enviar(const PlanDeEnvio &plan)
{
    const quint64 numero = ++m_ultimoPlan;
    // A list, not one plan: a receiver of a failure may run an event loop
    // in which another plan is given.
    m_planesEntregandose.append(numero);
    bool todas = true;
    for (const QByteArray &cadena : plan.cadenas) {
        // Listed before it is handed over: an idle transmitter may start,
        // or fail, it before Mandar() returns.
        m_planDeCadena.append(numero);
        todas = m_transmisor->Mandar(cadena) && todas;
    }
    m_planesEntregandose.removeOne(numero);
    Terminar(numero, {});
    return todas;
}

void LineaDeCarteles::CadenaTerminada()
{
    if (!m_planDeCadena.isEmpty())
        Terminar(m_planDeCadena.takeFirst(), {});
}

void LineaDeCarteles::Fallo(const QString &descripcion)
{
    // A string whose port would not open fails alone while others wait
    // behind it; any other failure, or that of the last one, leaves the
    // transmitter with nothing.
    QList<quint64> fallidos;
    if (m_transmisor->Ocupado()) {
        if (!m_planDeCadena.isEmpty())
            fallidos.append(m_planDeCadena.takeFirst());
    } else {
        fallidos = m_planDeCadena;
        m_planDeCadena.clear();
    }
    for (const quint64 plan : SinRepetir(fallidos))
        Terminar(plan, descripcion);
}

void LineaDeCarteles::Desocupado()
{
    // Idle with strings still listed would be strings handed to the
    // transmitter behind this line's back; they are gone all the same.
    const QList<quint64> restantes = SinRepetir(m_planDeCadena);
    m_planDeCadena.clear();
    for (const quint64 plan : restantes)
        Terminar(plan, {});
}

// Tells `plan`'s end once: at its first failure (`fallo`, never empty), or
// when its last string is gone without any. Called as each of its strings
// ends, and once Enviar() has handed them all over.
void LineaDeCarteles::Terminar(quint64 plan, const QString &fallo)
{
    const bool quedan = m_planesEntregandose.contains(plan) || m_planDeCadena.contains(plan);
    if (m_terminados.contains(plan)) {
        if (!quedan)
            m_terminados.remove(plan);
        return;
    }
    if (fallo.isEmpty() && quedan)
        return;
    if (quedan)
        m_terminados.insert(plan);
    Q_EMIT PlanTerminado(plan, fallo);
}
