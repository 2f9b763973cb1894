#pragma once

#include "platform/ajustesserie.h"
#include "platform/mapeodepuertos.h"
#include "platform/puertoserie.h"

#include <QSerialPort>

// The serial control over QSerialPort, used asynchronously only: nothing here
// waits for the line. Port N is found through UbicarPuerto() (a "comN" link in
// the working directory first) when it is opened.
//
// A change of number while open is kept for the next Abrir(), which reopens;
// a change of settings reaches an open port at once. The port is opened for
// writing only, without flow control: nothing is ever read from the signs.
//
// Abrir() on an open port also makes sure that it still holds the device its
// name leads to now, and that the device still answers; if not, it closes the
// port and opens it again, once, so an adapter unplugged, replugged or
// relinked while nothing was being sent costs no message.
//
// Every text it gives is the program's own, in Spanish; what the system says
// (in its own language) only follows on a last line, "Detalle del sistema: ...".
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

    // What the message for a lost device ends with: what the operator does
    // next. The program's is that the next send opens the port again; a
    // command that sends once and ends says its own.
    void PonerConsejoTrasPerdida(const QString &consejo);

    // The device path the open port was opened with; empty when closed.
    QString RutaAbierta() const;
    // The device the open port holds, every link followed; empty when closed.
    QString DispositivoAbierto() const;

    // What went wrong, in the program's words: a clause to follow a colon,
    // never empty, for every error QSerialPort can report.
    static QString TextoDeError(QSerialPort::SerialPortError error);
    // The system's own text as the last line of a message, if there is one,
    // after PuertoSerie::MarcaDeDetalle.
    static QString ConDetalle(const QString &texto, const QString &detalle);
    // The refusal for a device this user may not write to: it names the device
    // behind the port's name and, when joining the group that owns it would
    // give access, that group and how to join it.
    static QString TextoSinPermiso(int numero, const QString &ruta, const QString &dispositivo);

private:
    bool AplicarAjustes(const AjustesSerie &ajustes);
    QString DescribirFallaAlAbrir(const UbicacionDePuerto &ubicacion) const;
    QString DispositivoEnUso() const;
    bool SigueSiendoElMismo() const;
    void AtenderError(QSerialPort::SerialPortError error);

    QSerialPort *m_serie;
    int m_numero = 1;
    int m_numeroAbierto = 0;
    QString m_rutaAbierta;
    QString m_dispositivoAbierto;
    // Which file the open port holds: the device number for a device, the
    // file system and inode otherwise.
    quint64 m_numeroDeDispositivo = 0;
    quint64 m_sistemaDeArchivos = 0;
    quint64 m_nodo = 0;
    QString m_ajustes;
    AjustesSerie m_ajustesInterpretados;
    QString m_error;
    QString m_consejoTrasPerdida;
    bool m_cerradoPorFalla = false;
};
