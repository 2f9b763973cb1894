#pragma once

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

// A pseudo-terminal standing in for the serial line, whose far end is read by
// a thread of its own as soon as bytes arrive: the moment of each read is the
// receiver's, whatever the program's thread is doing.
class LectorDeLinea
{
public:
    struct Lectura
    {
        qint64 nanosegundos; // std::chrono::steady_clock
        QByteArray bytes;
    };

    LectorDeLinea();
    ~LectorDeLinea();
    LectorDeLinea(const LectorDeLinea &) = delete;
    LectorDeLinea &operator=(const LectorDeLinea &) = delete;

    bool Valido() const { return error.isEmpty(); }
    // Whether the reading thread got real-time priority (SCHED_FIFO).
    bool TiempoReal() const { return tiempoReal; }
    QString Error() const { return error; }

    // carpeta/comN -> the slave, where the program looks for port N.
    bool CrearEnlace(const QDir &carpeta, int numero) const;

    qsizetype CantidadRecibida() const;
    QList<Lectura> Lecturas() const;
    QByteArray Recibido() const;

    // Runs the calling thread's event loop until `cantidad` bytes have come
    // or `milisegundos` have passed; true in the first case.
    bool Esperar(qsizetype cantidad, int milisegundos) const;

    // When byte `indice` of Recibido() arrived; -1 if it has not.
    static qint64 MomentoDelByte(const QList<Lectura> &lecturas, qsizetype indice);

private:
    void Leer();

    int maestro = -1;
    int esclavo = -1;
    QString rutaEsclavo;
    QString error;
    bool tiempoReal = false;
    std::atomic<bool> terminar{false};
    std::atomic<qsizetype> cantidad{0};
    mutable std::mutex cerrojo;
    QList<Lectura> lecturas;
    std::thread hilo;
};
