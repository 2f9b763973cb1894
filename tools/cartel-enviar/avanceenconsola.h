#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>

class QIODevice;

// Follows a run's transmission strings as the transmitter hands them to the
// port and tells it on `salida`: on a terminal one bar redrawn in place,
// otherwise one line per frame, which a log keeps readable. Counts are over
// the whole run, all strings together.
class AvanceEnConsola : public QObject
{
    Q_OBJECT

public:
    AvanceEnConsola(const QList<QByteArray> &cadenas, QIODevice &salida, bool terminal,
                    QObject *parent = nullptr);

    // The transmitter's Comenzada and Avance, in that order for each string.
    void Comenzada(qint64 total);
    void Avance(qint64 entregados, qint64 total);
    // Ends the bar's line; nothing in line mode.
    void Terminar();

    qsizetype TramasEntregadas() const { return m_tramasEntregadas; }
    // Every frame of the run's strings.
    qsizetype TramasTotales() const { return m_tramas.size(); }

private:
    void EscribirLinea(qsizetype trama);
    void DibujarBarra();

    struct Trama
    {
        qsizetype cadena;
        qsizetype inicio;
        qsizetype fin; // index of its last byte
    };

    QList<QByteArray> m_cadenas;
    QList<Trama> m_tramas;
    QIODevice &m_salida;
    bool m_terminal;
    qint64 m_bytesTotales = 0;
    qint64 m_bytesDeCadenasAnteriores = 0;
    qint64 m_entregados = 0;
    qsizetype m_cadena = -1;
    qsizetype m_tramasEntregadas = 0;
    bool m_barraDibujada = false;
};
