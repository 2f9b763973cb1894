#include "apoyo/servidorser2net.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

constexpr int PlazoDeArranque = 10000;

// A port nobody listens on now: the system picks it, and it is let go for
// ser2net to take.
quint16 PuertoLibre()
{
    QTcpServer servidor;
    if (!servidor.listen(QHostAddress::LocalHost, 0))
        return 0;
    return servidor.serverPort();
}

} // namespace

ServidorSer2net::ServidorSer2net() = default;

ServidorSer2net::~ServidorSer2net()
{
    Detener();
}

bool ServidorSer2net::Iniciar()
{
    const QString programa = QStandardPaths::findExecutable(u"ser2net"_s, {u"/usr/sbin"_s, u"/usr/bin"_s});
    if (programa.isEmpty()) {
        m_error = u"ser2net no está instalado (./scripts/test lo instala con los demás paquetes)."_s;
        return false;
    }
    if (!m_linea.Valida() || !m_carpeta.isValid()) {
        m_error = m_linea.Valida() ? u"no se pudo crear una carpeta temporal"_s : m_linea.Error();
        return false;
    }
    m_puerto = PuertoLibre();
    // Plain TCP, no telnet: the bytes go to the line as they come. "local"
    // ignores the modem lines a pseudo-terminal does not have.
    const QString configuracion = m_carpeta.filePath(u"ser2net.yaml"_s);
    QFile archivo(configuracion);
    if (m_puerto == 0 || !archivo.open(QIODevice::WriteOnly)
        || archivo.write(u"connection: &cartel\n"
                         u"  accepter: tcp,127.0.0.1,%1\n"
                         u"  connector: serialdev,%2,9600n81,local\n"
                         u"  options:\n"
                         u"    mdns: false\n"_s.arg(m_puerto)
                             .arg(m_linea.RutaEsclavo())
                             .toUtf8())
               < 0) {
        m_error = u"no se pudo escribir la configuración de ser2net"_s;
        return false;
    }
    archivo.close();
    m_proceso.setProcessChannelMode(QProcess::MergedChannels);
    // In the foreground, with its pid file here and no UUCP lock files.
    m_proceso.start(programa, {u"-n"_s, u"-u"_s, u"-c"_s, configuracion, u"-P"_s,
                               m_carpeta.filePath(u"ser2net.pid"_s)});
    if (!m_proceso.waitForStarted(PlazoDeArranque)) {
        m_error = u"ser2net no arrancó: "_s + m_proceso.errorString();
        return false;
    }
    QElapsedTimer reloj;
    reloj.start();
    while (reloj.elapsed() < PlazoDeArranque && m_proceso.state() == QProcess::Running) {
        // Asked whether it listens, not connected to: a connection would
        // open the line, and ser2net takes one client at a time.
        QTcpServer prueba;
        if (!prueba.listen(QHostAddress::LocalHost, m_puerto))
            return true;
        prueba.close();
        QThread::msleep(20);
    }
    m_error = u"ser2net no escucha en el puerto %1: %2"_s.arg(m_puerto).arg(
        QString::fromLocal8Bit(m_proceso.readAll()));
    return false;
}

QString ServidorSer2net::Direccion() const
{
    return u"tcp:127.0.0.1:%1"_s.arg(m_puerto);
}

void ServidorSer2net::Detener()
{
    if (m_proceso.state() == QProcess::NotRunning)
        return;
    m_proceso.terminate();
    if (!m_proceso.waitForFinished(5000)) {
        m_proceso.kill();
        m_proceso.waitForFinished();
    }
}
