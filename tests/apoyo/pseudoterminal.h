#pragma once

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

class QSocketNotifier;

// A pseudo-terminal whose slave side stands in for a serial device and whose
// master side is the far end of the line: it reads everything written to the
// slave, as it arrives, and notes when (the event loop must run, e.g. in
// EsperarBytes() or QTRY_*). Both ends are raw, so every byte passes as is.
//
//     PseudoTerminal linea;
//     QVERIFY2(linea.Valida(), qPrintable(linea.Error()));
//     QVERIFY(linea.CrearEnlace(QDir::current(), 1));  // ./com1 -> /dev/pts/N
//     ... open port 1 and write ...
//     QVERIFY(linea.EsperarBytes(14, 2000));
//     QCOMPARE(linea.Recibido(), esperado);
//     linea.CerrarMaestro();  // as if the USB adapter were pulled out
class PseudoTerminal : public QObject
{
    Q_OBJECT

public:
    struct Lectura
    {
        qint64 nanosegundos; // since the pseudo-terminal was made
        QByteArray bytes;
    };

    explicit PseudoTerminal(QObject *parent = nullptr);
    ~PseudoTerminal() override;

    bool Valida() const;
    QString Error() const;

    // "/dev/pts/N".
    QString RutaEsclavo() const;

    // Makes carpeta/comN a symbolic link to the slave, replacing what was there.
    bool CrearEnlace(const QDir &carpeta, int numero) const;

    // A carpeta/comN that a serial port cannot open: a plain file, which
    // exists but is no terminal.
    static bool CrearPuertoInservible(const QDir &carpeta, int numero);
    // A carpeta/comN link that points nowhere, as after unplugging a device.
    static bool CrearEnlaceRoto(const QDir &carpeta, int numero);

    // The line speed the slave is set to now (bits per second; 0 if unknown),
    // as the program that opened the slave left it.
    qint32 VelocidadDeLinea() const;

    // Everything read so far, and each read with its moment.
    QByteArray Recibido() const;
    QList<Lectura> Lecturas() const;
    // When byte `indice` of Recibido() was read, in nanoseconds; -1 if not yet.
    qint64 MomentoDelByte(qsizetype indice) const;
    void OlvidarRecibido();

    // Runs the event loop until at least `cantidad` bytes have been read or
    // `milisegundos` have passed; true in the first case.
    bool EsperarBytes(qsizetype cantidad, int milisegundos);

    // Stops reading the master (the slave's writes then back up until the
    // kernel's buffer is full), or resumes.
    void PausarLectura(bool pausar);

    // Closes the master and this object's slave descriptor: writes to the
    // slave fail from now on with an input/output error.
    void CerrarMaestro();
    bool MaestroAbierto() const;

Q_SIGNALS:
    void BytesRecibidos(qsizetype total);

private:
    void Leer();

    int maestro = -1;
    int esclavo = -1;
    QString rutaEsclavo;
    QString error;
    QSocketNotifier *notificador = nullptr;
    QElapsedTimer reloj;
    QList<Lectura> lecturas;
    QByteArray recibido;
};
