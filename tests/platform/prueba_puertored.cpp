#include "platform/puertored.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// The network line against a TCP server in this process, which reads what
// it is sent as a serial device server would take it.
class PruebaPuertoRed : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pendientesCuentaLaLineaLejana();
    void fallaNombraAlServidorYSeReconecta_data();
    void fallaNombraAlServidorYSeReconecta();
};

namespace {

constexpr int Plazo = 10000;

// Accepts one connection and keeps what arrives on it.
struct Servidor
{
    QTcpServer escucha;
    QTcpSocket *conexion = nullptr;
    QByteArray recibido;

    bool Escuchar(quint16 puerto = 0)
    {
        QObject::connect(&escucha, &QTcpServer::newConnection, &escucha, [this] {
            conexion = escucha.nextPendingConnection();
            QObject::connect(conexion, &QTcpSocket::readyRead, conexion, [this] { recibido += conexion->readAll(); });
        });
        return escucha.listen(QHostAddress::LocalHost, puerto);
    }
};

} // namespace

void PruebaPuertoRed::pendientesCuentaLaLineaLejana()
{
    Servidor servidor;
    QVERIFY(servidor.Escuchar());
    PuertoRed puerto;
    puerto.PonerDireccion(u"127.0.0.1"_s, servidor.escucha.serverPort());
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

void PruebaPuertoRed::fallaNombraAlServidorYSeReconecta_data()
{
    QTest::addColumn<bool>("escucha");
    QTest::addColumn<QString>("motivo");
    QTest::newRow("conexión rechazada") << false << u"rechazó la conexión"_s;
    QTest::newRow("cortada a mitad del envío") << true << u"cerró la conexión"_s;
}

void PruebaPuertoRed::fallaNombraAlServidorYSeReconecta()
{
    QFETCH(bool, escucha);
    QFETCH(QString, motivo);

    auto servidor = std::make_unique<Servidor>();
    QVERIFY(servidor->Escuchar());
    const quint16 numero = servidor->escucha.serverPort();
    if (!escucha)
        servidor.reset();
    PuertoRed puerto;
    puerto.PonerDireccion(u"127.0.0.1"_s, numero);
    QSignalSpy fallas(&puerto, &PuertoSerie::Falla);
    QVERIFY(puerto.Abrir());
    QVERIFY(puerto.Escribir("uno"));
    if (servidor) {
        QTRY_COMPARE_WITH_TIMEOUT(servidor->recibido, QByteArray("uno"), Plazo);
        servidor->conexion->close();
    }
    QTRY_COMPARE_WITH_TIMEOUT(fallas.size(), 1, Plazo);
    const QString descripcion = fallas.constFirst().constFirst().toString();
    QVERIFY2(descripcion.startsWith(u"Se perdió la comunicación con el puerto 127.0.0.1:%1: "_s.arg(numero)),
             qPrintable(descripcion));
    QVERIFY2(descripcion.contains(motivo), qPrintable(descripcion));
    QCOMPARE(puerto.DescripcionError(), descripcion);
    QVERIFY(!puerto.Abierto());
    QCOMPARE(puerto.Pendientes(), 0);
    QVERIFY(!puerto.Escribir("x"));

    // The next send connects again.
    servidor.reset();
    Servidor otro;
    QVERIFY(otro.Escuchar(numero));
    QVERIFY(puerto.Abrir());
    QVERIFY(puerto.Escribir("dos"));
    QTRY_COMPARE_WITH_TIMEOUT(otro.recibido, QByteArray("dos"), Plazo);
    QCOMPARE(fallas.size(), 1);
}

QTEST_MAIN(PruebaPuertoRed)
#include "prueba_puertored.moc"
