#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <sys/types.h>

class QSocketNotifier;

// One end of a connected Unix-domain stream socket. In a program with an
// event loop it says when something came (Legible) and when the other end
// went (Cerrado), and writes what it is given as the socket takes it; a
// command-line tool without one waits on it instead (EsperarLegible).
//
// Plain POSIX on purpose: the program that serves cartel-enviar would
// otherwise load a network library, and everything it pulls in, before its
// window can come up.
class CanalLocal : public QObject
{
    Q_OBJECT

public:
    static constexpr int EsperaDeConexion = 2000; // ms

    // Takes `descriptor`, a connected stream socket, and closes it when done.
    explicit CanalLocal(int descriptor, QObject *parent = nullptr);
    ~CanalLocal() override;

    // Connects to the socket at `ruta`; nullptr, with `error` saying why,
    // when nobody listens there. A server whose queue of connections is
    // full is waited for up to EsperaDeConexion.
    static CanalLocal *Conectar(const QString &ruta, QString *error = nullptr, QObject *parent = nullptr);
    // The same without ever waiting, for a thread with a window: nullptr
    // also when the server's queue is full for now, and then `lleno` is set.
    static CanalLocal *ConectarSinEsperar(const QString &ruta, bool &lleno, QObject *parent = nullptr);

    bool Abierto() const { return m_descriptor >= 0; }
    // The user of the process at the other end; -1 when it cannot be told.
    uid_t UsuarioDelOtroLado() const;

    // Up to `maximo` bytes of what has come, without waiting; empty when
    // nothing has. What came before the other end went can still be read.
    QByteArray Leer(qint64 maximo);
    // Bytes that have come and are not read yet.
    qint64 Disponibles() const { return m_entrada.size(); }

    // Queued behind whatever was written before; never blocks.
    void Escribir(const QByteArray &datos);
    // Closes once everything written has gone.
    void CerrarAlTerminar();
    // Closes now; what was not written yet is dropped.
    void Abortar();

    // Without an event loop: writes what is queued, and waits up to
    // `milisegundos` (-1: no limit) for something to read. False when the
    // time ran out or the other end went without sending more.
    bool EsperarLegible(int milisegundos);

Q_SIGNALS:
    // Something came: Leer() takes it.
    void Legible();
    // The channel closed: the other end went, the socket failed, or it was
    // closed here. Once only.
    void Cerrado();

private:
    // A connected descriptor, or -1 with errno saying why.
    static int Enchufar(const QString &ruta, bool esperar);
    void AlPoderLeer();
    void AlPoderEscribir();
    // Takes in one piece of what has come, without waiting; false at the
    // end of the stream or on a failure. A piece at a time, so that the
    // owner sees garbage before much of it is kept.
    bool Recoger();
    // Writes what it can of the queue without waiting; false on a failure.
    bool Vaciar();
    void Cerrar();

    int m_descriptor;
    QSocketNotifier *m_lectura;
    QSocketNotifier *m_escritura;
    QByteArray m_entrada;
    QByteArray m_salida;
    bool m_cerrarAlTerminar = false;
};
