#pragma once

#include "link/protocolodeenvios.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

class CanalLocal;
class QTimer;

// The window's side of ServidorDeEnvios: hands one plan over to the process
// that holds the working folder's port without ever waiting on the socket,
// so that the window's event loop keeps running; what the server says comes
// back as signals. One object per plan; it goes by itself once it is done.
//
//     auto *cliente = new ClienteAsincronoDeEnvios(plan.cadenas, carteles, archivo, this);
//     connect(cliente, &ClienteAsincronoDeEnvios::Rechazado, ...);   // send it here
//     connect(cliente, &ClienteAsincronoDeEnvios::Terminado, ...);   // the holder's answer
//     if (!cliente->Conectar(QDir::currentPath(), linea, ajustes)) ...
class ClienteAsincronoDeEnvios : public QObject
{
    Q_OBJECT

public:
    // How long a server has to greet; one that does not is left alone, as
    // cartel-enviar leaves it.
    static constexpr int PlazoDelSaludo = 500; // ms

    ClienteAsincronoDeEnvios(const QList<QByteArray> &cadenas, const QStringList &carteles, const QString &archivo,
                             QObject *parent = nullptr);

    // Connects to whoever of this user's serves `carpeta`; false when nobody
    // does (nothing is signalled then, and the object stays the caller's to
    // delete). The plan goes over only to a server whose line and settings
    // are `linea` and `ajustes`; any other answer is Rechazado(). A server
    // whose queue of connections is full is tried again, without waiting in
    // between, for up to CanalLocal::EsperaDeConexion; then Rechazado().
    bool Conectar(const QString &carpeta, const QString &linea, const QString &ajustes);

Q_SIGNALS:
    // The server did not take the plan (another line, another version, no
    // greeting in time): nothing of it went anywhere.
    void Rechazado();
    // The server's transmitter, for this plan's strings.
    void Comenzada(qint64 total);
    void Avance(qint64 entregados, qint64 total);
    // The server's answer; a server that went or spoke nonsense first is a
    // failure with TextoDeServidorPerdido.
    void Terminado(const ResultadoDeEnvio &resultado);

private:
    void Reintentar();
    void Enlazar(CanalLocal *socket);
    void Leer();
    void Cerrado();
    // `mensaje`, as it comes; false once nothing more is to be heard.
    bool Atender(const MensajeDeEnvios &mensaje);
    void Rechazar();
    void Terminar(const ResultadoDeEnvio &resultado);

    MensajeDeEnvios m_pedido;
    QString m_linea;
    QString m_ajustes;
    CanalLocal *m_socket = nullptr;
    QString m_carpeta;
    QTimer *m_plazo;
    QTimer *m_reintento;
    QElapsedTimer m_esperandoLugar;
    QByteArray m_bufer;
    bool m_saludado = false;
    bool m_terminado = false;
};
