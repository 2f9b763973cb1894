#include "platform/puertored.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// The network line against a TCP server in this process, which reads what
// it is sent as a serial device server would. A refused connection is
// cartel-enviar's case against a real ser2net.
class PruebaPuertoRed : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void pendientesCuentaLaLineaLejana();
    void conexionCortadaNombraAlServidorYSeReconecta();

private:
    std::unique_ptr<QTcpServer> m_servidor;
    QTcpSocket *m_conexion = nullptr; // the last one accepted
    QByteArray m_recibido;
};

void PruebaPuertoRed::init()
{
    m_servidor = std::make_unique<QTcpServer>();
    m_recibido.clear();
    connect(m_servidor.get(), &QTcpServer::newConnection, m_servidor.get(), [this] {
        m_conexion = m_servidor->nextPendingConnection();
        connect(m_conexion, &QTcpSocket::readyRead, m_conexion, [this] { m_recibido += m_conexion->readAll(); });
    });
    QVERIFY(m_servidor->listen(QHostAddress::LocalHost));
}

void PruebaPuertoRed::pendientesCuentaLaLineaLejana()
{
    PuertoRed puerto;
    puerto.PonerDireccion(u"127.0.0.1"_s, m_servidor->serverPort());
    // 30 characters of 10 bits at 300 b/s take a second on the far line.
    QVERIFY(puerto.PonerAjustes(u"300,N,8,1"_s));
    QVERIFY(puerto.Abrir());
    const QByteArray bytes(30, 'x');
    QVERIFY(puerto.Escribir(bytes));
    QTRY_COMPARE(m_recibido, bytes);
    // The server has them all, and still they are not all out of its line.
    QVERIFY(puerto.Pendientes() > 0 && puerto.Pendientes() <= bytes.size());
    QTRY_COMPARE(puerto.Pendientes(), 0);
    QVERIFY(puerto.Abierto());
}

void PruebaPuertoRed::conexionCortadaNombraAlServidorYSeReconecta()
{
    PuertoRed puerto;
    puerto.PonerDireccion(u"127.0.0.1"_s, m_servidor->serverPort());
    QSignalSpy fallas(&puerto, &PuertoSerie::Falla);
    QVERIFY(puerto.Abrir());
    QVERIFY(puerto.Escribir("uno"));
    QTRY_COMPARE(m_recibido, QByteArray("uno"));
    m_conexion->close();
    QTRY_COMPARE(fallas.size(), 1);
    const QString descripcion = fallas.constFirst().constFirst().toString();
    QVERIFY2(descripcion.startsWith(u"Se perdió la comunicación con el puerto 127.0.0.1:%1: el servidor cerró la conexión"_s
                                        .arg(m_servidor->serverPort())),
             qPrintable(descripcion));
    QCOMPARE(puerto.DescripcionError(), descripcion);
    QVERIFY(!puerto.Abierto() && puerto.Pendientes() == 0 && !puerto.Escribir("x"));

    // The next send connects again.
    QVERIFY(puerto.Abrir());
    QVERIFY(puerto.Escribir("dos"));
    QTRY_COMPARE(m_recibido, QByteArray("unodos"));
    QCOMPARE(fallas.size(), 1);
}

QTEST_MAIN(PruebaPuertoRed)
#include "prueba_puertored.moc"
