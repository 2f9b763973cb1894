#include "platform/puertored.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace Qt::StringLiterals;

// The network line against a TCP server in this process, which reads what
// it is sent as a serial device server would take it. A refused connection
// is cartel-enviar's case against a real ser2net.
class PruebaPuertoRed : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pendientesCuentaLaLineaLejana();
    void conexionCortadaNombraAlServidorYSeReconecta();
};

namespace {

constexpr int Plazo = 10000;

// Keeps what arrives on the last connection it accepted.
struct Servidor : QTcpServer
{
    QTcpSocket *conexion = nullptr;
    QByteArray recibido;

    Servidor()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            conexion = nextPendingConnection();
            connect(conexion, &QTcpSocket::readyRead, this, [this] { recibido += conexion->readAll(); });
        });
    }
};

} // namespace

void PruebaPuertoRed::pendientesCuentaLaLineaLejana()
{
    Servidor servidor;
    QVERIFY(servidor.listen(QHostAddress::LocalHost));
    PuertoRed puerto;
    puerto.PonerDireccion(u"127.0.0.1"_s, servidor.serverPort());
    // 30 characters of 10 bits at 300 b/s take a second on the far line.
    QVERIFY(puerto.PonerAjustes(u"300,N,8,1"_s));
    QVERIFY(puerto.Abrir());
    const QByteArray bytes(30, 'x');
    QVERIFY(puerto.Escribir(bytes));
    QTRY_COMPARE_WITH_TIMEOUT(servidor.recibido, bytes, Plazo);
    // The server has them all, and still they are not all out of its line.
    QVERIFY(puerto.Pendientes() > 0);
    QVERIFY(puerto.Pendientes() <= bytes.size());
    QTRY_COMPARE_WITH_TIMEOUT(puerto.Pendientes(), 0, Plazo);
    QVERIFY(puerto.Abierto());
}

void PruebaPuertoRed::conexionCortadaNombraAlServidorYSeReconecta()
{
    Servidor servidor;
    QVERIFY(servidor.listen(QHostAddress::LocalHost));
    const quint16 numero = servidor.serverPort();
    PuertoRed puerto;
    puerto.PonerDireccion(u"127.0.0.1"_s, numero);
    QSignalSpy fallas(&puerto, &PuertoSerie::Falla);
    QVERIFY(puerto.Abrir());
    QVERIFY(puerto.Escribir("uno"));
    QTRY_COMPARE_WITH_TIMEOUT(servidor.recibido, QByteArray("uno"), Plazo);
    servidor.conexion->close();
    QTRY_COMPARE_WITH_TIMEOUT(fallas.size(), 1, Plazo);
    const QString descripcion = fallas.constFirst().constFirst().toString();
    QVERIFY2(descripcion.startsWith(u"Se perdió la comunicación con el puerto 127.0.0.1:%1: "_s.arg(numero))
                 && descripcion.contains(u"cerró la conexión"_s),
             qPrintable(descripcion));
    QCOMPARE(puerto.DescripcionError(), descripcion);
    QVERIFY(!puerto.Abierto());
    QCOMPARE(puerto.Pendientes(), 0);
    QVERIFY(!puerto.Escribir("x"));

    // The next send connects again.
    servidor.recibido.clear();
    QVERIFY(puerto.Abrir());
    QVERIFY(puerto.Escribir("dos"));
    QTRY_COMPARE_WITH_TIMEOUT(servidor.recibido, QByteArray("dos"), Plazo);
    QCOMPARE(fallas.size(), 1);
}

QTEST_MAIN(PruebaPuertoRed)
#include "prueba_puertored.moc"
