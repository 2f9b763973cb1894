#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>

// The command line of cartel-enviar, taken apart and checked; nothing here
// reads a file or touches a port.
struct ArgumentosDeEnvio
{
    enum class Accion {
        Enviar,      // a document (archivo) or a text (texto)
        Direcciones, // every sign shows its own address
        Longitud,    // the encoded length, nothing sent
        QueMuestra,  // what the timetable has each sign show at a moment, nothing sent
        Programacion, // runs the timetable until stopped
        Ayuda,
    };

    Accion accion = Accion::Enviar;
    QString archivo;              // empty when the text comes from --texto; "-": standard input
    std::optional<QString> texto; // --texto
    QStringList nombres;          // --a, in the order given
    bool global = false;          // --global
    std::optional<int> puerto;    // --puerto, 1 to 6
    QString red;                  // --puerto tcp:HOST:PUERTO, without "tcp:"
    std::optional<int> velocidad; // --velocidad, one of VelocidadesOfrecidas()
    QDate fecha;                  // --que-muestra, on the local wall clock
    QTime hora;
    QString programacion;         // --programacion's file; empty for ./programacion.json

    friend bool operator==(const ArgumentosDeEnvio &, const ArgumentosDeEnvio &) = default;
};

// `argumentos` without the program's name. Options take their value as the
// next argument or after "=" ("--a Hall", "--a=Hall"); "--" ends the options.
// "--help" or "-h" anywhere asks for the help alone. On refusal returns
// nothing and, when `error` is given, writes there why, in Spanish.
std::optional<ArgumentosDeEnvio> InterpretarArgumentos(const QStringList &argumentos, QString *error = nullptr);

// The text of --help, exit statuses included.
QString TextoDeAyuda();
