#pragma once

#include "link/protocolodeenvios.h"
#include "schedule/registrodeenvios.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class LineaDeCarteles;
class PuertoSerie;
class ServidorDeEnvios;
struct PlanDeEnvio;

// Everything a process does to put frames on its working folder's line, in
// one place for the program's window and for cartel-enviar --programacion:
// the line (port, transmitter, queue), the send log, and the folder's local
// socket. Its clients are the editor's send-now, the address display, the
// timetable and cartel-enviar.
//
// Whichever process holds the folder's port serves the socket; an operator's
// send made in any other process is handed over to it, and that process's
// answer (frames sent, or its failure) is this one's result. One failure
// behaviour for all of them: the send log gets one line per send, written by
// the process whose line carried it, and a failure is said where the send
// was asked for.
class ServicioDeEnvios : public QObject
{
    Q_OBJECT

public:
    // Takes `puerto` as its line's.
    explicit ServicioDeEnvios(PuertoSerie *puerto, QObject *parent = nullptr);

    LineaDeCarteles &Linea() const { return *m_linea; }
    PuertoSerie &Puerto() const;

    // Serves the working folder `carpeta` from now on, and hands the
    // operator's sends to whoever serves it instead. False when another live
    // process serves it (ErrorAlServir() empty: nothing is wrong), or when
    // its socket cannot be served (ErrorAlServir() says why, for the
    // operator). Asked again before every operator's send while another
    // process serves: once that one is gone, this one takes over.
    bool Servir(const QString &carpeta);
    QString ErrorAlServir() const;
    bool Sirve() const { return m_sirve; }
    // Runs before a plan another process handed over goes out: the window
    // takes ./carteles.ini again, as the other process planned from it.
    void PonerAntesDeServir(std::function<void()> antes) { m_antesDeServir = std::move(antes); }

    // `plan` on this process's own line; `anotado` (its result still empty)
    // is the send log's line once the line tells how it went, and Anotado()
    // then says it under the number returned.
    quint64 EnviarPorLaLinea(const PlanDeEnvio &plan, const EnvioAnotado &anotado);
    // The number the next send will carry, for a caller that must know it
    // before its line can be told.
    quint64 ProximoEnvio() const { return m_ultimo + 1; }
    // The operator's send: on this process's line while it serves the
    // folder, or nobody does; handed over to the process that serves it
    // otherwise, which logs it with `carteles` and `archivo`.
    void EnviarDelOperador(const PlanDeEnvio &plan, const QStringList &carteles, const QString &archivo);
    // A line of the send log that is no send (a file that could not be
    // read): the line as written, with why it could not be kept if so.
    QString Anotar(const EnvioAnotado &envio);

Q_SIGNALS:
    // A send of this process's line ended and its line was written: `envio`
    // is the number EnviarPorLaLinea() gave (or one of its own, for the
    // operator's and those handed over by another process).
    void Anotado(quint64 envio, const EnvioAnotado &anotado, const QString &linea);
    // What the send dialog follows, whichever line carries the operator's
    // send: a string starts, bytes are handed over, a string has been
    // written, or the send failed with that description.
    void Comenzada(qint64 total);
    void Avance(qint64 entregados, qint64 total);
    void Escrita();
    void Fallo(const QString &descripcion);
    // The process that serves the folder sent a plan of this one's.
    void Entregado(const ResultadoDeEnvio &resultado);

private:
    struct EnvioEnCurso
    {
        quint64 numero = 0;
        EnvioAnotado anotado;
    };

    void AlDesocuparse();
    void AlFallar(const QString &descripcion);
    void Entregar(const PlanDeEnvio &plan, const QStringList &carteles, const QString &archivo);
    void Terminar(const EnvioEnCurso &envio, const QString &resultado);

    LineaDeCarteles *m_linea;
    ServidorDeEnvios *m_servidor;
    QString m_carpeta;
    bool m_sirve = false;
    std::function<void()> m_antesDeServir;
    quint64 m_ultimo = 0;
    // In the order they went to the line: the line ends them in that order,
    // and a failure drops all of them.
    QList<EnvioEnCurso> m_enCurso;
};
