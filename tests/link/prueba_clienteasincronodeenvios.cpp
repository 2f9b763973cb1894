#include "link/clienteasincronodeenvios.h"

#include "link/trama.h"
#include "platform/canallocal.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <memory>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A holder busy with other clients: it takes a connection only when told,
// and its queue holds one.
struct ServidorOcupado
{
    explicit ServidorOcupado(const QString &ruta)
    {
        const QByteArray nombre = QFile::encodeName(ruta);
        sockaddr_un direccion{};
        direccion.sun_family = AF_UNIX;
        std::memcpy(direccion.sun_path, nombre.constData(), static_cast<size_t>(nombre.size()));
        escucha = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::bind(escucha, reinterpret_cast<const sockaddr *>(&direccion), sizeof direccion) != 0
            || ::listen(escucha, 0) != 0) {
            ::close(escucha);
            escucha = -1;
        }
    }
    ~ServidorOcupado()
    {
        if (escucha >= 0)
            ::close(escucha);
    }
    // Whether a connection waits in the queue.
    bool Esperando() const
    {
        pollfd hay{escucha, POLLIN, 0};
        return ::poll(&hay, 1, 0) == 1;
    }
    int Aceptar() const { return ::accept4(escucha, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK); }

    int escucha = -1;
};

} // namespace

// The window hands a plan over to the process that holds the port; while
// that one's queue of connections is full, the window goes on and the plan
// waits its turn, for a while.
class PruebaClienteAsincronoDeEnvios : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void colaLlenaSinDetenerLaVentana_data();
    void colaLlenaSinDetenerLaVentana();
};

void PruebaClienteAsincronoDeEnvios::colaLlenaSinDetenerLaVentana_data()
{
    QTest::addColumn<bool>("seLibera");
    QTest::newRow("el que tiene el puerto la atiende") << true;
    QTest::newRow("la cola sigue llena") << false;
}

void PruebaClienteAsincronoDeEnvios::colaLlenaSinDetenerLaVentana()
{
    QFETCH(bool, seLibera);
    QTemporaryDir carpeta;
    const std::optional<QString> ruta = RutaDelServidorDeEnvios(carpeta.path());
    QVERIFY(ruta);
    ServidorOcupado servidor(*ruta);
    QVERIFY(servidor.escucha >= 0);
    bool lleno = false;
    const std::unique_ptr<CanalLocal> otro{CanalLocal::ConectarSinEsperar(*ruta, lleno)};
    QVERIFY(otro);
    QVERIFY(!std::unique_ptr<CanalLocal>(CanalLocal::ConectarSinEsperar(*ruta, lleno)));
    QVERIFY(lleno);

    const QByteArray trama = ArmarTrama("Hola", 5);
    auto *cliente = new ClienteAsincronoDeEnvios({trama}, {u"Hall"_s}, u"hola.txt"_s, this);
    QSignalSpy rechazado(cliente, &ClienteAsincronoDeEnvios::Rechazado);
    QVERIFY(cliente->Conectar(carpeta.path(), u"Com2"_s, u"9600,N,8,1"_s));

    if (!seLibera) {
        QTRY_COMPARE_WITH_TIMEOUT(rechazado.size(), 1, 3 * CanalLocal::EsperaDeConexion);
        return;
    }
    // The holder takes the one before, then this one.
    const int antes = servidor.Aceptar();
    QVERIFY(antes >= 0);
    ::close(antes);
    QTRY_VERIFY(servidor.Esperando());
    const int descriptor = servidor.Aceptar();
    QVERIFY(descriptor >= 0);
    CanalLocal atendido(descriptor);
    MensajeDeEnvios saludo;
    saludo.puerto = 2;
    saludo.ajustes = u"9600,N,8,1"_s;
    saludo.linea = u"Com2"_s;
    atendido.Escribir(CodificarMensaje(saludo));
    QByteArray recibido;
    MensajeDeEnvios pedido;
    // QTRY evaluates its condition again once it holds: the message is
    // taken off the buffer once.
    bool leido = false;
    QTRY_VERIFY(leido || (recibido += atendido.Leer(TamanoMaximoDeMensaje),
                          leido = LeerMensaje(recibido, pedido) == LecturaDeMensaje::Leido));
    // What the holder answers is heard as from any client that got in at once.
    QCOMPARE(pedido.cadenas, QList<QByteArray>{trama});
    QCOMPARE(rechazado.size(), 0);
}

QTEST_GUILESS_MAIN(PruebaClienteAsincronoDeEnvios)
#include "prueba_clienteasincronodeenvios.moc"
