#pragma once

#include "platform/ajustesserie.h"
#include "platform/puertoserie.h"

#include <QAbstractSocket>
#include <QElapsedTimer>

class QTcpSocket;
class QTimer;

// The sign line behind a serial device server: a TCP connection whose bytes
// the server puts on its own serial line. Asynchronous only: Abrir() starts
// connecting and returns at once; bytes written meanwhile wait in the
// socket, and a connection that fails arrives through Falla(), as a lost
// adapter does. The next Abrir() after a failure connects again.
//
// Nothing comes back over TCP to say when a byte has left the far line, so
// Pendientes() counts, besides what the socket still holds, the bytes that
// at the line's speed could not have left it yet since the system took them.
// A pause that waits for Pendientes() to reach zero runs, then, from the
// moment the last byte would have left the far line.
//
// The far line's speed is the server's own setting: Ajustes() only tells
// this port how fast the bytes leave there.
class PuertoRed final : public PuertoSerie
{
    Q_OBJECT

public:
    // A connection that has not answered by then is given up.
    static constexpr int PlazoDeConexionMs = 5000;

    explicit PuertoRed(QObject *parent = nullptr);
    ~PuertoRed() override;

    // Where to connect. As a serial port's new number, a change reaches an
    // open connection at the next Abrir(), which connects again.
    void PonerDireccion(const QString &anfitrion, quint16 puerto);

    // "192.168.1.50:4001", "[fe80::1]:4001".
    QString Nombre() const override;

    // Kept but unused: a network line has no port number.
    int Numero() const override;
    bool PonerNumero(int numero) override;

    QString Ajustes() const override;
    bool PonerAjustes(const QString &ajustes) override;

    // True while connecting or connected (to the address in force).
    bool Abrir() override;
    bool Abierto() const override;
    void Cerrar() override;

    qint64 Pendientes() const override;
    bool Escribir(const QByteArray &bytes) override;
    QString DescripcionError() const override;

    // As PuertoSerieQt's: what the message for a lost connection ends with.
    void PonerConsejoTrasPerdida(const QString &consejo);

private:
    void Entregados(qint64 cantidad);
    void Perder(const QString &motivo, const QString &detalle);
    QString TextoDeError(QAbstractSocket::SocketError error) const;

    QTcpSocket *m_socket;
    QTimer *m_plazo;
    QString m_anfitrion;
    quint16 m_puerto = 0;
    // The address of the open connection: its failures name it.
    QString m_nombreAbierto;
    int m_numero = 1;
    AjustesSerie m_ajustes;
    QString m_error;
    QString m_consejoTrasPerdida;
    bool m_abierto = false;
    bool m_cerradoPorFalla = false;
    // When the far line will have sent every byte the system took, in
    // m_reloj's nanoseconds.
    QElapsedTimer m_reloj;
    qint64 m_finDeLinea = 0;
};
