#pragma once

#include "apoyo/pseudoterminal.h"

#include <QProcess>
#include <QTemporaryDir>

// The system's ser2net on a free local TCP port, with a pseudo-terminal
// behind it as its serial line; the test reads the far end.
class ServidorSer2net
{
public:
    ~ServidorSer2net() { Detener(); }
    // Starts ser2net and waits until it listens; Error() says why not.
    bool Iniciar();
    QString Error() const { return m_error; }
    // "tcp:127.0.0.1:N", as carteles.ini and --puerto name it.
    QString Direccion() const { return QStringLiteral("tcp:127.0.0.1:%1").arg(m_puerto); }
    PseudoTerminal &Linea() { return m_linea; }
    // As if the box were switched off.
    void Detener();

private:
    PseudoTerminal m_linea;
    QTemporaryDir m_carpeta;
    QProcess m_proceso;
    quint16 m_puerto = 0;
    QString m_error;
};
