#pragma once

#include "platform/ajustesserie.h"
#include "platform/puertoserie.h"

#include <QSerialPort>

// The serial control over QSerialPort, used asynchronously only: nothing here
// waits for the line. Port N is found through UbicarPuerto() (a "comN" link in
// the working directory first) when it is opened.
//
// A change of number while open is kept for the next Abrir(), which reopens;
// a change of settings reaches an open port at once. The port is opened for
// writing only, without flow control: nothing is ever read from the signs.
// Evento() is never emitted: no send threshold is set.
class PuertoSerieQt final : public PuertoSerie
{
    Q_OBJECT

public:
    explicit PuertoSerieQt(QObject *parent = nullptr);
    ~PuertoSerieQt() override;

    int Numero() const override;
    bool PonerNumero(int numero) override;

    QString Ajustes() const override;
    bool PonerAjustes(const QString &ajustes) override;

    bool Abrir() override;
    bool Abierto() const override;
    void Cerrar() override;

    // The program's own buffer plus what the driver still holds (on Linux its
    // output queue and the transmitter's last character).
    qint64 Pendientes() const override;

    bool Escribir(const QByteArray &bytes) override;

    QString DescripcionError() const override;

    // The device path the open port was opened with; empty when closed.
    QString RutaAbierta() const;

private:
    bool AplicarAjustes(const AjustesSerie &ajustes);
    QString DescribirFallaAlAbrir(const QString &ruta) const;
    void AtenderError(QSerialPort::SerialPortError error);

    QSerialPort *serie;
    int numero = 1;
    int numeroAbierto = 0;
    QString rutaAbierta;
    QString ajustes;
    AjustesSerie ajustesInterpretados;
    QString error;
    bool cerradoPorFalla = false;
};
