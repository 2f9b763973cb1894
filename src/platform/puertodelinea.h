#pragma once

#include "platform/puertoserie.h"

class PuertoRed;
class PuertoSerieQt;

// The program's line to the signs as the configuration names it: a serial
// port, or a serial device server on the network. Everything is handed to
// whichever of the two is chosen, so the transmitter and whoever listens to
// it never learn which it is. The port number and settings are kept by the
// serial port in either case; the network line takes the speed from them.
class PuertoDeLinea final : public PuertoSerie
{
    Q_OBJECT

public:
    explicit PuertoDeLinea(QObject *parent = nullptr);

    // From now on the line is the server at `anfitrion`:`puerto`; an empty
    // `anfitrion` brings back the serial port. As a new port number, the
    // change reaches an open line at the next Abrir(): a send under way ends
    // on the line it started on.
    void PonerRed(const QString &anfitrion, quint16 puerto);
    bool EsDeRed() const { return m_deRedPedido; }

    // What the message for a lost adapter or connection ends with.
    void PonerConsejoTrasPerdida(const QString &consejo);

    QString Nombre() const override;
    int Numero() const override;
    bool PonerNumero(int numero) override;
    QString Ajustes() const override;
    bool PonerAjustes(const QString &ajustes) override;
    bool Abrir() override;
    bool Abierto() const override;
    void Cerrar() override;
    qint64 Pendientes() const override;
    bool Escribir(const QByteArray &bytes) override;
    QString DescripcionError() const override;

private:
    PuertoSerie &Elegido() const;

    PuertoSerieQt *m_serie;
    PuertoRed *m_red;
    // The one open, or last opened, and the one the next Abrir() opens.
    bool m_deRed = false;
    bool m_deRedPedido = false;
    // The one that last failed or refused: its description is the one asked for.
    PuertoSerie *m_ultimo;
};
