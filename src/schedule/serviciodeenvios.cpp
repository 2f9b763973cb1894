#include "schedule/serviciodeenvios.h"

#include "link/clienteasincronodeenvios.h"
#include "link/lineadecarteles.h"
#include "link/plandeenvio.h"
#include "link/servidordeenvios.h"
#include "link/transmisor.h"
#include "platform/puertoserie.h"

#include <QDateTime>
#include <QTimeZone>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

qint64 BytesDelPlan(const PlanDeEnvio &plan)
{
    qint64 bytes = 0;
    for (const QByteArray &cadena : plan.cadenas)
        bytes += cadena.size();
    return bytes;
}

} // namespace

ServicioDeEnvios::ServicioDeEnvios(PuertoSerie *puerto, QObject *parent)
    : QObject(parent), m_linea(new LineaDeCarteles(puerto, this)), m_servidor(new ServidorDeEnvios(*m_linea, this))
{
    Transmisor &emisor = m_linea->Emisor();
    // The log first: whoever follows a failure may stop in a message box.
    connect(&emisor, &Transmisor::Desocupado, this, &ServicioDeEnvios::AlDesocuparse);
    connect(&emisor, &Transmisor::Fallo, this, &ServicioDeEnvios::AlFallar);
    connect(&emisor, &Transmisor::Comenzada, this, &ServicioDeEnvios::Comenzada);
    connect(&emisor, &Transmisor::Avance, this, &ServicioDeEnvios::Avance);
    connect(&emisor, &Transmisor::Escrita, this, &ServicioDeEnvios::Escrita);
    connect(&emisor, &Transmisor::Fallo, this, &ServicioDeEnvios::Fallo);
    m_servidor->PonerEnviador([this](const PlanDeEnvio &plan, const QStringList &carteles, const QString &archivo) {
        if (m_antesDeServir)
            m_antesDeServir();
        EnviarPorLaLinea(plan, EnvioAnotado{QDateTime::currentDateTime().toTimeZone(QTimeZone::systemTimeZone()),
                                            carteles, archivo, BytesDelPlan(plan), QString()});
    });
}

PuertoSerie &ServicioDeEnvios::Puerto() const
{
    return m_linea->Puerto();
}

bool ServicioDeEnvios::Servir(const QString &carpeta)
{
    m_carpeta = carpeta;
    m_sirve = m_servidor->Escuchar(carpeta);
    return m_sirve;
}

QString ServicioDeEnvios::ErrorAlServir() const
{
    return m_servidor->Error();
}

quint64 ServicioDeEnvios::EnviarPorLaLinea(const PlanDeEnvio &plan, const EnvioAnotado &anotado)
{
    const quint64 numero = ++m_ultimo;
    // Noted before the line is touched: a port that will not open fails
    // within Enviar().
    m_enCurso.append({numero, anotado});
    m_linea->Enviar(plan);
    return numero;
}

void ServicioDeEnvios::EnviarDelOperador(const PlanDeEnvio &plan, const QStringList &carteles, const QString &archivo)
{
    if (m_carpeta.isEmpty() || m_sirve) {
        Entregar(plan, carteles, archivo);
        return;
    }
    auto *cliente = new ClienteAsincronoDeEnvios(plan.cadenas, carteles, archivo, this);
    if (!cliente->Conectar(m_carpeta, Puerto().Nombre(), Puerto().Ajustes())) {
        // Nobody serves the folder any more: this process takes it over, and
        // its own line carries the send.
        delete cliente;
        Servir(m_carpeta);
        Entregar(plan, carteles, archivo);
        return;
    }
    // A holder on another line, or one that does not answer, is no place for
    // these frames: this process's line tries them, and its refusal (the
    // port in use) is what the operator hears, as cartel-enviar does.
    connect(cliente, &ClienteAsincronoDeEnvios::Rechazado, this,
            [this, plan, carteles, archivo] { Entregar(plan, carteles, archivo); });
    connect(cliente, &ClienteAsincronoDeEnvios::Comenzada, this, &ServicioDeEnvios::Comenzada);
    connect(cliente, &ClienteAsincronoDeEnvios::Avance, this, &ServicioDeEnvios::Avance);
    connect(cliente, &ClienteAsincronoDeEnvios::Terminado, this, [this](const ResultadoDeEnvio &resultado) {
        if (!resultado.exito) {
            Q_EMIT Fallo(resultado.fallo);
            return;
        }
        Q_EMIT Escrita();
        Q_EMIT Entregado(resultado);
    });
}

void ServicioDeEnvios::Entregar(const PlanDeEnvio &plan, const QStringList &carteles, const QString &archivo)
{
    EnviarPorLaLinea(plan, EnvioAnotado{QDateTime::currentDateTime().toTimeZone(QTimeZone::systemTimeZone()),
                                        carteles, archivo, BytesDelPlan(plan), QString()});
}

QString ServicioDeEnvios::Anotar(const EnvioAnotado &envio)
{
    QString linea = LineaDeEnvio(envio);
    if (const auto error = AnotarEnvio(envio))
        linea += u" (no se pudo anotar en "_s + error->Texto() + u')';
    return linea;
}

void ServicioDeEnvios::AlDesocuparse()
{
    for (const EnvioEnCurso &hecho : std::exchange(m_enCurso, {}))
        Terminar(hecho, u"enviado"_s);
}

void ServicioDeEnvios::AlFallar(const QString &descripcion)
{
    // A failure drops whatever was queued: every send still under way is lost.
    for (const EnvioEnCurso &perdido : std::exchange(m_enCurso, {}))
        Terminar(perdido, descripcion);
}

void ServicioDeEnvios::Terminar(const EnvioEnCurso &envio, const QString &resultado)
{
    EnvioAnotado anotado = envio.anotado;
    anotado.resultado = resultado;
    Q_EMIT Anotado(envio.numero, anotado, Anotar(anotado));
}
