#pragma once

#include "apoyo/pseudoterminal.h"

#include <QProcess>
#include <QTemporaryDir>

// A serial device server as an installer sets one up: the system's ser2net,
// listening on a free local TCP port, with a pseudo-terminal behind it as
// its serial line. The test reads the far end of that line.
//
//     ServidorSer2net servidor;
//     QVERIFY2(servidor.Iniciar(), qPrintable(servidor.Error()));
//     ... send through tcp:127.0.0.1:<servidor.Puerto()> ...
//     QVERIFY(servidor.Linea().EsperarBytes(14, 2000));
//     servidor.Detener();  // as if the box were switched off
class ServidorSer2net
{
public:
    ServidorSer2net();
    ~ServidorSer2net();

    // Starts ser2net and waits until it takes connections.
    bool Iniciar();
    QString Error() const { return m_error; }

    quint16 Puerto() const { return m_puerto; }
    // "tcp:127.0.0.1:N", as carteles.ini and --puerto name it.
    QString Direccion() const;
    PseudoTerminal &Linea() { return m_linea; }

    // Stops ser2net and waits until it has ended.
    void Detener();

private:
    PseudoTerminal m_linea;
    QTemporaryDir m_carpeta;
    QProcess m_proceso;
    quint16 m_puerto = 0;
    QString m_error;
};
