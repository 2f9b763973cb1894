#pragma once

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

// A pseudo-terminal whose slave side stands in for a serial device and whose
// master side is the far end of the line. A thread of its own reads the
// master as soon as bytes arrive and notes when, so the moments are the
// receiver's whatever the program's thread is doing; tests and measurements
// alike read the line through it. Both ends are raw: every byte passes as is.
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
        qint64 nanosegundos; // std::chrono::steady_clock
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

    // A reader that wakes late makes the gap before a late read look short
    // and the one after it long. Where the system allows it, this puts the
    // reading thread ahead of ordinary ones (SCHED_FIFO); true if it did.
    bool PedirTiempoReal();
    bool TiempoReal() const;

    // The line speed the slave is set to now (bits per second; 0 if unknown),
    // as the program that opened the slave left it.
    qint32 VelocidadDeLinea() const;

    // Everything read so far, and each read with its moment.
    QByteArray Recibido() const;
    qsizetype CantidadRecibida() const;
    QList<Lectura> Lecturas() const;
    // When byte `indice` of Recibido() was read; -1 if not yet.
    qint64 MomentoDelByte(qsizetype indice) const;
    static qint64 MomentoDelByte(const QList<Lectura> &lecturas, qsizetype indice);
    void OlvidarRecibido();

    // Runs the calling thread's event loop until at least `cantidad` bytes
    // have been read or `milisegundos` have passed; true in the first case.
    bool EsperarBytes(qsizetype cantidad, int milisegundos);

    // Stops reading the master (the slave's writes then back up until the
    // kernel's buffer is full), or resumes. No read starts once it returns.
    void PausarLectura(bool pausar);

    // Stops the reader and closes the master and this object's slave
    // descriptor: writes to the slave fail from now on with an input/output
    // error.
    void CerrarMaestro();
    bool MaestroAbierto() const;

Q_SIGNALS:
    // Emitted from the reading thread; receivers elsewhere get it queued.
    void BytesRecibidos(qsizetype total);

private:
    void Leer();
    void Despertar();

    int m_maestro = -1;
    int m_esclavo = -1;
    // Written to wake the reader out of poll() when it must pause or stop.
    int m_despertadorLectura = -1;
    int m_despertadorEscritura = -1;
    QString m_rutaEsclavo;
    QString m_error;
    bool m_tiempoReal = false;
    std::atomic<bool> m_terminar{false};
    // Guards what follows; the reader holds it while it reads, so a pause
    // taken under it is a pause before the next read.
    mutable std::mutex m_cerrojo;
    bool m_pausada = false;
    QList<Lectura> m_lecturas;
    QByteArray m_recibido;
    std::thread m_hilo;
};
