#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>

class LineaDeCarteles;
struct PlanDeEnvio;
class CanalLocal;
struct MensajeDeEnvios;
class ServidorLocal;

// Lets cartel-enviar send through the process that holds a working folder's
// port (the program keeps it open once it has sent, and a timetable runner
// too), instead of failing on a port in use. Each connection carries one
// plan (protocolodeenvios.h), which goes to the line like the process's own
// sends: queued behind whatever is under way and never mixed with it. The
// client hears its strings' progress and, once the plan has left the line
// or failed, the result. Only well-formed frames (EsCadenaDeTramas()) go to
// the line; a plan with anything else is refused whole, and told so.
class ServidorDeEnvios : public QObject
{
    Q_OBJECT

public:
    // Every client that connects is served, in turn: however many wait, none
    // is turned away to find the port in use. A client that has not sent its plan by then is dropped.
    static constexpr int PlazoDelPedido = 10000; // ms

    explicit ServidorDeEnvios(LineaDeCarteles &linea, QObject *parent = nullptr);

    // Serves the working folder `carpeta`. False when another live process
    // of this user's already serves it (Error() empty: nothing is wrong), or
    // when the folder's socket cannot be served (Error() says why, for the
    // operator: there is no private folder for it, or the socket could not
    // be made). A socket left by a process that died is replaced.
    bool Escuchar(const QString &carpeta);
    QString Error() const { return m_error; }

    // Who hands a received plan to the line, when not the line itself: the
    // process that keeps a send log logs these too, with the signs and the
    // document the client named. It must make exactly one
    // LineaDeCarteles::Enviar() of the plan.
    using Enviador = std::function<void(const PlanDeEnvio &plan, const QStringList &carteles, const QString &archivo)>;
    void PonerEnviador(Enviador enviador) { m_enviador = std::move(enviador); }

private:
    struct Cliente
    {
        QByteArray bufer;
        QList<QByteArray> cadenas;
        quint64 plan = 0;
        // The string of `cadenas` under way, and the frames of the ones before.
        qsizetype cadena = -1;
        qint64 tramasAnteriores = 0;
        qint64 tramasEntregadas = 0;
        qint64 tramasTotales = 0;
    };

    void Atender(CanalLocal *socket);
    void Leer(CanalLocal *socket);
    void Pedido(CanalLocal *socket, const MensajeDeEnvios &pedido);
    // Closes a client that is not to be heard any further.
    void Soltar(CanalLocal *socket);
    void Olvidar(CanalLocal *socket);
    void Comenzada(qint64 total);
    void Avance(qint64 entregados, qint64 total);
    void PlanTerminado(quint64 plan, const QString &fallo);
    void Responder(CanalLocal *socket, bool exito, const QString &fallo);
    CanalLocal *SocketEnCurso() const;

    LineaDeCarteles &m_linea;
    ServidorLocal *m_servidor;
    QHash<CanalLocal *, Cliente> m_clientes;
    QHash<quint64, CanalLocal *> m_porPlan;
    QString m_error;
    Enviador m_enviador;
};
