#pragma once

#include "config/registrodecarteles.h"
#include "platform/errordearchivo.h"
#include "schedule/documentosleidos.h"
#include "schedule/estadodecarteles.h"
#include "schedule/programacion.h"
#include "schedule/registrodeenvios.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimeZone>

#include <functional>
#include <memory>
#include <optional>

class ServicioDeEnvios;
class QTimer;
struct PlanDeEnvio;

// The sign registry as its owner has it at a call, and why the newest
// version of its file could not be taken (the list is then the last good one).
struct RegistroLeido
{
    RegistroDeCarteles carteles;
    std::optional<ErrorDeArchivo> error;
};

// One sign as the timetable has it now, for the window's "Ahora" panel.
struct CartelAhora
{
    QString nombre;
    QString archivo;           // what it shows now; empty: nothing of the timetable
    bool pendiente = false;    // due but not yet on the sign (queued, or it failed)
    QDateTime proximo;         // its next change; invalid when none is coming
    QString archivoProximo;    // what it shows then; empty: nothing of the timetable
};

// Runs the timetable on the process's send service: whenever what a sign
// should show changes, the text goes out through the same queue as the
// operator's own sends, never in between their frames. Nobody watches it, so nothing
// here asks anything: every send and every failure is a line of the send
// log, and Cambiado() tells the window and the status line to look again.
//
// It wakes when the next change is due and once a minute besides: the
// minute check only recomputes, which mends a clock that jumped, a computer
// that slept, and a send that failed and is still due.
class EjecutorDeProgramacion : public QObject
{
    Q_OBJECT

public:
    using Reloj = std::function<QDateTime()>;
    using LectorDeRegistro = std::function<RegistroLeido()>;

    // `registro` gives the sign registry as it is at each call; `reloj`
    // (the system clock when empty) and `zona` stand in for the computer's
    // clock in tests. Nothing runs before Cargar().
    EjecutorDeProgramacion(ServicioDeEnvios &servicio, const QString &ruta, LectorDeRegistro registro, Reloj reloj = {},
                           const QTimeZone &zona = QTimeZone::systemTimeZone(), QObject *parent = nullptr);
    ~EjecutorDeProgramacion() override;

    // Takes the folder's lock (one timetable per folder, whatever its file is
    // called) and reads the file, then puts the current state on the signs
    // once. A file that cannot be read at start leaves the timetable empty
    // and read-only (it is never written over) and returns why. While
    // another process holds the lock nothing is sent, and Impedimento()
    // names it.
    //
    // A file damaged later, while it runs, keeps the last good timetable in
    // force, said once in the send log and by Anotado(); the file is taken
    // again as soon as it reads.
    std::optional<ErrorDeArchivo> Cargar();
    // Gives the folder's lock back and sends nothing more until the next
    // Cargar(): for a process about to end, so that another may take the
    // timetable over while this one still waits (for a question, say).
    void Detener();

    const Programacion &programacion() const { return m_programacion; }
    const QString &Ruta() const { return m_ruta; }
    RegistroDeCarteles Registro() const { return m_registro().carteles; }
    // The documents its entries name, each read again only when it changed.
    DocumentosLeidos &Documentos() { return m_documentos; }
    // Why the file could not be read; while there is one, edits are refused.
    const std::optional<ErrorDeArchivo> &ErrorDeLectura() const { return m_errorDeLectura; }
    // Whether the timetable in force is the last good one of a file that
    // cannot be read now.
    bool SigueLaAnterior() const { return m_errorDeLectura && m_huboLectura; }
    // Who else runs this folder's timetable; empty while this one does.
    QString Impedimento() const { return m_impedimento; }

    // Writes the file at once and puts the new state on the signs. Refused
    // (nothing written) while the file could not be read.
    std::optional<ErrorDeArchivo> PonerProgramacion(const Programacion &programacion);

    // The registry may have changed: signs new to it, or whose line changed,
    // get what they should show. Revisar() notices it too, whenever it runs.
    void RegistroCambiado();

    // Sends what differs between what each sign should show now and what it
    // was last sent: a frame to every sign only when every sign changes to
    // the same text, otherwise one per sign that changes. The timers call
    // it; tests call it after moving the clock.
    void Revisar();

    // What the minute timer does: takes a hand edit of the file, then
    // Revisar(). Tests call it after moving the clock.
    void PasoUnMinuto();

    // Each sign of the registry, in order.
    QList<CartelAhora> Ahora() const;
    // When the next wake-up for a change is set; invalid when none.
    QDateTime ProximoDespertar() const { return m_proximoCambio; }
    // "Programación: 3 carteles; próximo cambio 11:00", or the last failure.
    QString Resumen() const;

Q_SIGNALS:
    // The timetable, what the signs show or the next change changed.
    void Cambiado();
    // A send failed or was refused: the send log's line.
    void Fallo(const QString &linea);
    // A line written to the send log, the failed ones too, and those of the
    // operator's sends on the same line.
    void Anotado(const QString &linea);

private:
    struct EnvioEnCurso
    {
        QStringList carteles; // the registry lines it reached
        qsizetype entrada = -1;
    };

    QDateTime Instante() const;
    RegistroLeido LeerRegistro();
    void Releer();
    void Programar();
    void EnviarArchivo(const QString &archivo, qsizetype entrada, const QList<qsizetype> &carteles, bool aTodos,
                       const RegistroDeCarteles &registro, const QDateTime &momento);
    // Writes the send log's line of a send that never reached the line;
    // `entrada` is the timetable's entry.
    void Anotar(const EnvioAnotado &envio, qsizetype entrada);
    // A send of the service ended and its line is written: one of the
    // timetable's (`envio` in m_enCurso), or the operator's.
    void AlAnotar(quint64 envio, const EnvioAnotado &anotado, const QString &linea);
    void Informar(const EnvioAnotado &envio, const QString &linea, qsizetype entrada);
    // A file it depends on could not be read: one line in the log and to
    // whoever listens, not a line a minute.
    void AnotarProblema(const QString &archivo, const QString &motivo);
    void RevisarArchivo();

    ServicioDeEnvios &m_servicio;
    QString m_ruta;
    LectorDeRegistro m_registro;
    Reloj m_reloj;
    QTimeZone m_zona;
    std::unique_ptr<QLockFile> m_cerrojo;
    bool m_corriendo = false;
    bool m_detenida = false;
    Programacion m_programacion;
    // Whether some version of the file was read whole since start.
    bool m_huboLectura = false;
    std::optional<ErrorDeArchivo> m_errorDeLectura;
    QString m_impedimento;
    // The registry's problem last said, so that it is said once.
    QString m_problemaDeRegistro;
    // The file as last read or written, to notice a hand edit.
    QDateTime m_modificacionLeida;
    qint64 m_tamanoLeido = -1;
    DocumentosLeidos m_documentos;
    // For each sign, by its registry line, the file it was last sent; a sign
    // not here shows what nobody knows (after start-up, a failure, or a line
    // that changed), and gets what it should show.
    QHash<QString, QString> m_mostrado;
    // Of the last Revisar(): each entry's reach, and the entry each sign
    // should show.
    QList<AlcanceDeTexto> m_alcances;
    QList<qsizetype> m_deseado;
    QHash<quint64, EnvioEnCurso> m_enCurso;
    QString m_ultimoFallo;
    QDateTime m_proximoCambio;
    QTimer *m_cambio;
    QTimer *m_minuto;
};
