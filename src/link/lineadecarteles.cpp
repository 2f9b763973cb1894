#include "link/lineadecarteles.h"

#include "link/plandeenvio.h"
#include "link/transmisor.h"
#include "platform/puertoserie.h"

LineaDeCarteles::LineaDeCarteles(PuertoSerie *puerto, QObject *parent)
    : QObject(parent), m_puerto(puerto), m_transmisor(new Transmisor(*puerto, this))
{
    m_puerto->setParent(this);
}

bool LineaDeCarteles::Enviar(const PlanDeEnvio &plan)
{
    bool todas = true;
    for (const QByteArray &cadena : plan.cadenas)
        todas = m_transmisor->Mandar(cadena) && todas;
    return todas;
}
