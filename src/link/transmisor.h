#pragma once

#include "platform/puertoserie.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>

#include <chrono>

class QTimer;

// Writes transmission strings to the serial port without ever blocking the
// user interface thread; the send dialog only shows what it signals.
//
// Bytes go to the port in small slices, and only while fewer than
// MarcaDePendientes are still waiting to leave, so the progress follows the
// line and the program never buffers much. A byte 200 that is not the last of
// its string is a pause point: after it nothing more is written until the
// port has drained and then the pause interval (m_pausa) has passed,
// so every gap on the line is at least that long. A string given while
// another is under way waits until that one has been written and has left
// the port.
//
// Failures drop the current string and everything queued, and leave the
// engine idle with the port closed, so the next Mandar() opens it afresh.
// Their description says that the transmission was cancelled and how many of
// its frames (those of the queued strings included) did not go out.
//
// TramaEnCurso() tells which frame is going out, counted across every
// string given since the engine was last idle, from the same state that
// decides what is written next, so it cannot part from the line.
// Every signal is emitted with the engine already in its new state, so a
// receiver may call Mandar() or open a modal box from it.
class Transmisor : public QObject
{
    Q_OBJECT

public:
    // At most this many bytes are left pending in the port after a slice.
    static constexpr qint64 MarcaDePendientes = 128;
    // Largest single Escribir().
    static constexpr qsizetype TamanoDeTanda = 64;

    explicit Transmisor(PuertoSerie &puerto, QObject *parent = nullptr);

    // Idle: opens the port (Abrir()) and starts writing; a port that cannot be
    // opened is reported through Fallo() before returning false, and nothing
    // is written. Busy: queues the string behind the others and returns true;
    // its port opening is tried, and reported, when its turn comes.
    bool Mandar(const QByteArray &cadena);

    // Writing, paused, draining or something queued.
    bool Ocupado() const;

    void PonerIntervaloDePausa(std::chrono::milliseconds intervalo); // 100 ms
    void PonerPlazoSinAvance(std::chrono::milliseconds plazo);       // 10 s
    std::chrono::milliseconds IntervaloDePausa() const;

    // Index of the last byte of each frame of `cadena`, in order. A frame
    // runs to its end byte 200 (the address byte after a 202 header does not
    // end it), or to the end of the string.
    // The one count of frames in the program: the status line, the
    // cancellation text and the console's progress all go by it.
    static QList<qsizetype> FinesDeTrama(const QByteArray &cadena);

Q_SIGNALS:
    // A string starts being written: 0 of `total` bytes.
    void Comenzada(qint64 total);
    // Bytes of this string handed to the port so far.
    void Avance(qint64 entregados, qint64 total);
    // The last byte of the string has been handed to the port.
    void Escrita();
    // The string has left the line whole (the port drained it), before the
    // next queued one starts or Desocupado(). Strings end in the order they
    // were given; one that fails ends with Fallo() instead.
    void CadenaTerminada();
    // A port that would not open, a write error, a lost device or a line that
    // stopped taking bytes. Once per failure. After the port's own first
    // paragraph, a failure mid-send adds one that says what was cancelled.
    void Fallo(const QString &descripcion);
    // A pause begins: everything up to its pause point has left the port,
    // and nothing more is written until `milisegundos` have passed. What the
    // program asks for, however late the system then wakes it.
    void PausaComenzada(int milisegundos);
    // Nothing writing, paused, draining or queued any more.
    void Desocupado();
    // Frame `trama` of `de` is being written: the frames of the strings
    // written whole, of the one under way and of those queued, all since the
    // engine was last idle. A frame stays under way until it has left the
    // line (the port drained it), not only until it was handed to the port:
    // the address display starts at 1 of 101. A queued string whose port
    // would not open leaves the count with its Fallo(). (0, 0) once idle.
    // Emitted when either figure changes.
    void TramaEnCurso(int trama, int de);

private:
    enum class Estado {
        Libre,
        Escribiendo,   // slices go out as the port makes room
        VaciandoPausa, // a pause point was written; waiting for the port to drain
        EnPausa,       // drained; the pause timer runs
        VaciandoFin,   // the whole string was written; waiting for the port to drain
    };

    bool Empezar(const QByteArray &nueva);
    void Avanzar();
    bool EscribirTandas();
    void TerminarCadena();
    void Reanudar();
    void VigilarAvance();
    void ReiniciarVigilancia();
    void Fallar(const QString &descripcion, bool cerrarPuerto);
    void AtenderFalla(const QString &descripcion);
    QString TextoDeLineaDetenida(qint64 pendientes) const;
    QString TextoDeCancelacion() const;
    void AvisarTrama();

    PuertoSerie &m_puerto;
    QTimer *m_pausa;
    QTimer *m_sondeo;
    QList<QByteArray> m_cola;
    QByteArray m_cadena;
    qsizetype m_posicion = 0;
    // FinesDeTrama() of m_cadena.
    QList<qsizetype> m_finesDeTrama;
    // Frames of the strings written whole since the engine was last idle,
    // and of those in m_cola.
    qsizetype m_tramasHechas = 0;
    qsizetype m_tramasEnCola = 0;
    // The figures TramaEnCurso() last told.
    int m_tramaAvisada = 0;
    int m_deAvisado = 0;
    // Bytes of the string known to have left the port: up to the last pause
    // point it drained.
    qsizetype m_yaSalidos = 0;
    Estado m_estado = Estado::Libre;
    // Changes whenever a string starts or everything is dropped; code that
    // emitted a signal checks it to learn whether a receiver changed the state.
    quint64 m_turno = 0;
    bool m_avanzando = false;

    std::chrono::milliseconds m_plazoSinAvance{10000};
    QElapsedTimer m_desdeElUltimoAvance;
    // Bytes of the string that had left the port when it last made headway.
    qint64 m_salidosVistos = 0;
};
