#pragma once

#include "apoyo/pseudoterminal.h"

#include <QFile>
#include <QtEndian>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

// The system's ser2net on a free local TCP port, with a pseudo-terminal
// behind it as its serial line; the test reads the far end.
class ServidorSer2net
{
public:
    ~ServidorSer2net() { Detener(); }

    // Starts ser2net and waits until it listens; Error() says why not.
    bool Iniciar()
    {
        using namespace Qt::StringLiterals;
        const QString programa = QStandardPaths::findExecutable(u"ser2net"_s, {u"/usr/sbin"_s, u"/usr/bin"_s});
        // A loopback address of its own, so that a server another test starts
        // meanwhile cannot take the port, free now, before ser2net does.
        const quint32 numero = QRandomGenerator::global()->bounded(0x010000u, 0xFFFFFFu);
        m_equipo = QHostAddress((127u << 24) | numero);
        QTcpServer libre;
        m_puerto = libre.listen(m_equipo) ? libre.serverPort() : 0;
        libre.close();
        QFile configuracion(m_carpeta.filePath(u"ser2net.yaml"_s));
        if (programa.isEmpty() || !m_linea.Valida() || m_puerto == 0 || !configuracion.open(QIODevice::WriteOnly)) {
            m_error = programa.isEmpty() ? u"ser2net no está instalado (./scripts/test lo instala)"_s
                                         : u"sin línea, sin puerto libre o sin carpeta: "_s + m_linea.Error();
            return false;
        }
        // Plain TCP, no telnet: the bytes go to the line as they come.
        // "local" ignores the modem lines a pseudo-terminal does not have.
        configuracion.write(u"connection: &cartel\n  accepter: tcp,%3,%1\n"
                            u"  connector: serialdev,%2,9600n81,local\n  options:\n    mdns: false\n"_s
                                .arg(m_puerto).arg(m_linea.RutaEsclavo(), m_equipo.toString()).toUtf8());
        configuracion.close();
        // In the foreground, saying why it ends, with its pid file here and no
        // UUCP lock files.
        m_proceso.setProcessChannelMode(QProcess::MergedChannels);
        m_proceso.start(programa, {u"-n"_s, u"-d"_s, u"-u"_s, u"-c"_s, configuracion.fileName(), u"-P"_s,
                                   m_carpeta.filePath(u"ser2net.pid"_s)});
        // Running only once QProcess has seen the start: ser2net may listen
        // before that.
        m_proceso.waitForStarted();
        // Asked of the kernel's table whether it listens: a connection would
        // open the line, and ser2net takes one client at a time; a probing
        // bind could take the port from it.
        const QByteArray escuchando = u"%1:%2 00000000:0000 0A"_s.arg(qToBigEndian(m_equipo.toIPv4Address()), 8, 16, QLatin1Char('0'))
                                          .arg(m_puerto, 4, 16, QLatin1Char('0')).toUpper().toLatin1();
        const bool escucha = QTest::qWaitFor([&] {
            QFile tabla(u"/proc/net/tcp"_s);
            return m_proceso.state() == QProcess::NotRunning
                || (tabla.open(QIODevice::ReadOnly) && tabla.readAll().contains(escuchando));
        }, 10000);
        if (escucha && m_proceso.state() == QProcess::Running)
            return true;
        m_error = u"ser2net no escucha en %1:%2: "_s.arg(m_equipo.toString()).arg(m_puerto)
                  + QString::fromLocal8Bit(m_proceso.readAll());
        return false;
    }
    QString Error() const { return m_error; }

    // "tcp:127.X.Y.Z:N", as carteles.ini and --puerto name it.
    QString Direccion() const { return QStringLiteral("tcp:%1:%2").arg(m_equipo.toString()).arg(m_puerto); }
    PseudoTerminal &Linea() { return m_linea; }

    // As if the box were switched off.
    void Detener()
    {
        if (m_proceso.state() == QProcess::NotRunning)
            return;
        m_proceso.terminate();
        if (!m_proceso.waitForFinished(5000))
            m_proceso.kill();
        m_proceso.waitForFinished();
    }

private:
    PseudoTerminal m_linea;
    QTemporaryDir m_carpeta;
    QProcess m_proceso;
    QHostAddress m_equipo;
    quint16 m_puerto = 0;
    QString m_error;
};
