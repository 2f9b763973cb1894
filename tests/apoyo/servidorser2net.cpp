#include "apoyo/servidorser2net.h"

#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTest>

using namespace Qt::StringLiterals;

bool ServidorSer2net::Iniciar()
{
    const QString programa = QStandardPaths::findExecutable(u"ser2net"_s, {u"/usr/sbin"_s, u"/usr/bin"_s});
    // A port nobody listens on now, let go for ser2net to take.
    QTcpServer libre;
    m_puerto = libre.listen(QHostAddress::LocalHost) ? libre.serverPort() : 0;
    libre.close();
    QFile configuracion(m_carpeta.filePath(u"ser2net.yaml"_s));
    if (programa.isEmpty() || !m_linea.Valida() || m_puerto == 0 || !configuracion.open(QIODevice::WriteOnly)) {
        m_error = programa.isEmpty() ? u"ser2net no está instalado (./scripts/test lo instala)"_s
                                     : u"sin línea, sin puerto libre o sin carpeta: "_s + m_linea.Error();
        return false;
    }
    // Plain TCP, no telnet: the bytes go to the line as they come. "local"
    // ignores the modem lines a pseudo-terminal does not have.
    configuracion.write(u"connection: &cartel\n  accepter: tcp,127.0.0.1,%1\n"
                        u"  connector: serialdev,%2,9600n81,local\n  options:\n    mdns: false\n"_s
                            .arg(m_puerto)
                            .arg(m_linea.RutaEsclavo())
                            .toUtf8());
    configuracion.close();
    // In the foreground, with its pid file here and no UUCP lock files.
    m_proceso.setProcessChannelMode(QProcess::MergedChannels);
    m_proceso.start(programa, {u"-n"_s, u"-u"_s, u"-c"_s, configuracion.fileName(), u"-P"_s,
                               m_carpeta.filePath(u"ser2net.pid"_s)});
    // Asked whether it listens, not connected to: a connection would open
    // the line, and ser2net takes one client at a time.
    const bool escucha = QTest::qWaitFor([this] {
        QTcpServer prueba;
        return m_proceso.state() == QProcess::NotRunning || !prueba.listen(QHostAddress::LocalHost, m_puerto);
    }, 10000);
    if (escucha && m_proceso.state() == QProcess::Running)
        return true;
    m_error = u"ser2net no escucha en el puerto %1: %2"_s.arg(m_puerto).arg(QString::fromLocal8Bit(m_proceso.readAll()));
    return false;
}

void ServidorSer2net::Detener()
{
    if (m_proceso.state() == QProcess::NotRunning)
        return;
    m_proceso.terminate();
    if (!m_proceso.waitForFinished(5000))
        m_proceso.kill();
    m_proceso.waitForFinished();
}
