#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class CanalLocal;
class QObject;

// What cartel-enviar and the process that holds a working folder's port (the
// program, a timetable runner) say to each other over a local socket. Each
// message is a 32-bit big-endian length and that many bytes, read with
// QDataStream; the first byte is its type.
//
//     server: Saludo (version, its port number, settings and line name)
//     client: Pedido (version, the transmission strings of one plan, and
//             the signs and document the send log names for it)
//     server: Comenzada and Avance as each of those strings goes out,
//             then Resultado, and closes.

// 2: the greeting names the line ("Com2", "192.168.1.50:4001").
// 3: the request names its signs and document for the send log, since the
// program's window hands its sends over too.
inline constexpr quint16 VersionDeEnvios = 3;
// A message of more is garbage: no document the program sends comes near it.
inline constexpr qint64 TamanoMaximoDeMensaje = 1024 * 1024;

struct ResultadoDeEnvio
{
    bool exito = false;
    // The transmitter's description of the failure; empty on success.
    QString fallo;
    // Frames handed whole to the port, of every frame of the plan.
    qint64 tramasEntregadas = 0;
    qint64 tramasTotales = 0;
};

struct MensajeDeEnvios
{
    enum class Tipo : quint8 { Saludo = 1, Pedido, Comenzada, Avance, Resultado };

    Tipo tipo = Tipo::Saludo;
    quint16 version = VersionDeEnvios; // Saludo, Pedido
    int puerto = 0;                    // Saludo
    QString ajustes;                   // Saludo
    QString linea;                     // Saludo: PuertoSerie::Nombre()
    QList<QByteArray> cadenas;         // Pedido
    QStringList carteles;              // Pedido: as the send log shows them
    QString archivo;                   // Pedido: as the send log shows it
    qint64 entregados = 0;             // Avance
    qint64 total = 0;                  // Comenzada, Avance
    ResultadoDeEnvio resultado;        // Resultado
};

// What a client is told when the server went, or spoke nonsense, before
// its answer.
inline constexpr QStringView TextoDeServidorPerdido{
    u"El programa que tiene el puerto dejó de atender este envío antes de terminarlo; "
    u"puede que algunas tramas hayan salido."};

// What the window says once the process that holds the port sent its plan.
QString TextoDeEntrega(qint64 tramasEntregadas, qint64 tramasTotales);

// A client's request: the strings of one plan, and what the send log names.
MensajeDeEnvios MensajeDePedido(const QList<QByteArray> &cadenas, const QStringList &carteles, const QString &archivo);

// The message with its length in front.
QByteArray CodificarMensaje(const MensajeDeEnvios &mensaje);

enum class LecturaDeMensaje { Incompleta, Leido, Invalida };
// Takes the first whole message off `bufer` into `mensaje`. Incompleta
// leaves `bufer` as it is; Invalida (a length over the limit, an unknown
// type, fields that do not fill the message exactly) means the peer is not
// to be trusted any further.
LecturaDeMensaje LeerMensaje(QByteArray &bufer, MensajeDeEnvios &mensaje);

// The socket's name for the working folder `carpeta`: one per folder and
// user, short enough for any system's limit on socket names.
QString NombreDelServidorDeEnvios(const QString &carpeta);
// Where that socket is: in this user's private folder for sockets
// (CarpetaDeSockets()). Nothing, with `error` saying why, when there is no
// such folder to use.
std::optional<QString> RutaDelServidorDeEnvios(const QString &carpeta, QString *error = nullptr);

// A connection to the process of this user's that serves `carpeta`, owned
// by `padre`; none when nobody does. A socket of that name served by another
// user's process is not this user's program: no frame is handed to it.
// Given `lleno`, it never waits: none, with `lleno` set, while the server's
// queue of connections is full.
CanalLocal *ConectarConElServidorDeEnvios(const QString &carpeta, QObject *padre, bool *lleno = nullptr);
