#pragma once

#include "link/protocolodeenvios.h"

#include <QObject>

#include <chrono>

class CanalLocal;

// cartel-enviar's side of ServidorDeEnvios: hands one plan's strings to the
// process that holds the working folder's port and waits for the result.
// Blocking, for a command-line tool with nothing else to do meanwhile.
//
//     ClienteDeEnvios cliente;
//     if (cliente.Conectar(QDir::currentPath(), 500ms) && cliente.Linea() == linea)
//         resultado = cliente.Enviar(plan.cadenas, carteles, archivo);
class ClienteDeEnvios : public QObject
{
    Q_OBJECT

public:
    explicit ClienteDeEnvios(QObject *parent = nullptr);

    // True when a process of this user serves `carpeta` and greeted within
    // `plazo`, in a version this client speaks; Puerto() and Ajustes() are
    // then its port.
    bool Conectar(const QString &carpeta, std::chrono::milliseconds plazo);
    int Puerto() const { return m_puerto; }
    // "Com2", "192.168.1.50:4001": the line the other process holds.
    QString Linea() const { return m_linea; }
    QString Ajustes() const { return m_ajustes; }

    // Hands the strings over and waits, with Comenzada() and Avance() as
    // the server tells them, for the result. A server that goes away or
    // talks nonsense fails the send, with that as its description: some of
    // its frames may have gone out. `carteles` and `archivo` are what the
    // server's send log names.
    ResultadoDeEnvio Enviar(const QList<QByteArray> &cadenas, const QStringList &carteles, const QString &archivo);

Q_SIGNALS:
    // The transmitter's, for this plan's strings.
    void Comenzada(qint64 total);
    void Avance(qint64 entregados, qint64 total);

private:
    // Waits for the next message; false when the connection ended first or
    // the message was not one.
    bool Recibir(MensajeDeEnvios &mensaje, int milisegundos);

    CanalLocal *m_socket = nullptr;
    QByteArray m_bufer;
    int m_puerto = 0;
    QString m_linea;
    QString m_ajustes;
};
