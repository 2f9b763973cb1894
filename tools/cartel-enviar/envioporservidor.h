#pragma once

#include "link/protocolodeenvios.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class QIODevice;

// While the program, or a timetable runner, started in this working folder
// holds its port, cartel-enviar could not open it: the strings go to that
// process instead (ServidorDeEnvios), which sends them in turn with its own,
// and the console shows their progress as if they were sent here.
//
// Only when that process uses `linea` ("Com2", "192.168.1.50:4001") at
// `ajustes`, those of this run:
// otherwise std::nullopt, as when nobody serves the folder, and the caller
// opens the port itself (a port in use then fails as it always has).
std::optional<ResultadoDeEnvio> EnviarPorElServidor(const QList<QByteArray> &cadenas, const QString &linea,
                                                    const QString &ajustes, QIODevice &errores, bool terminal);
