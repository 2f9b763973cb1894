#pragma once

#include <QLatin1StringView>
#include <QObject>
#include <QString>
#include <QStringList>

// What the sign link relies on from the serial control: port number (1 to 6),
// settings string ("9600,N,8,1"), open state, bytes still queued, writing and
// the errors, each with a description an operator can act on, in Spanish.
//
// Writing is asynchronous: Escribir() queues the bytes and returns at once;
// BytesEntregados() follows the bytes as the driver takes them. A write error
// or a lost device closes the port before Falla() is emitted, so the next
// Abrir() starts afresh.
class PuertoSerie : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~PuertoSerie() override = default;

    // Where a description leaves the program's own words for the system's,
    // when it quotes the system at all: whatever is added to a description
    // goes before it, so the system's text stays last.
    static constexpr QLatin1StringView MarcaDeDetalle{"\n\nDetalle del sistema: "};

    // How the operator knows the line: "Com2", or a network line's address.
    virtual QString Nombre() const;

    // CommPort. A refused number leaves the current one and sets DescripcionError().
    virtual int Numero() const = 0;
    virtual bool PonerNumero(int numero) = 0;

    // Settings, exactly as last accepted ("2400,N,8,1").
    virtual QString Ajustes() const = 0;
    virtual bool PonerAjustes(const QString &ajustes) = 0;

    // Opens the port if it is closed. An open port is reopened if the port
    // number changed since it was opened, or if the device it holds is no
    // longer the one the number leads to or no longer answers (unplugged,
    // replugged or relinked while idle); otherwise nothing happens. Called
    // before each transmission, so a device that changed while idle costs no
    // failed send.
    virtual bool Abrir() = 0;
    virtual bool Abierto() const = 0;
    virtual void Cerrar() = 0;

    // OutBufferCount: bytes queued and not yet on the line, counting the
    // program's own buffer and the driver's output queue.
    virtual qint64 Pendientes() const = 0;

    // Output: queues the bytes. False (and DescripcionError()) when the port
    // is not open or refuses them.
    virtual bool Escribir(const QByteArray &bytes) = 0;

    virtual QString DescripcionError() const = 0;

Q_SIGNALS:
    // Bytes moved from the program's buffer to the driver.
    void BytesEntregados(qint64 cantidad);
    // A failure while the port was open (write error, device gone). The port
    // is already closed when this is emitted; it is emitted once per failure.
    void Falla(const QString &descripcion);
};

// Gives the port a new number and settings, as the serial dialog's choice
// is applied: the number only when it differs, the settings always, each
// tried even when the other was refused. The port's own description of
// each refusal, in order; none when the port took all of it.
QStringList AplicarAjustesDeLinea(PuertoSerie &puerto, int numero, const QString &ajustes);
