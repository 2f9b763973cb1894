#include "link/servidordeenvios.h"

#include "apoyo/puertofalso.h"
#include "link/clientedeenvios.h"
#include "link/lineadecarteles.h"
#include "link/plandeenvio.h"
#include "link/trama.h"
#include "link/transmisor.h"
#include "platform/canallocal.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <optional>
#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// cartel-enviar's side, in a thread of its own: the client blocks, and the
// server needs this thread's event loop.
class Pedido
{
public:
    Pedido(const QString &carpeta, const QList<QByteArray> &cadenas)
        : m_hilo(QThread::create([this, carpeta, cadenas] {
              ClienteDeEnvios cliente;
              QObject::connect(&cliente, &ClienteDeEnvios::Comenzada, &cliente, [this](qint64) { ++m_comenzadas; });
              if (cliente.Conectar(carpeta, 5s))
                  m_resultado = cliente.Enviar(cadenas);
          }))
    {
        m_hilo->start();
    }
    ~Pedido() { m_hilo->wait(); }

    // Drains the port until the answer is in.
    bool Esperar(PuertoFalso &puerto)
    {
        QElapsedTimer reloj;
        reloj.start();
        while (!m_hilo->isFinished() && reloj.elapsed() < 10000) {
            puerto.VaciarTodo();
            QTest::qWait(5);
        }
        return m_hilo->wait(0);
    }

    // Once Esperar() has seen the answer.
    int Comenzadas() const { return m_comenzadas; }
    const ResultadoDeEnvio &Resultado() const { return m_resultado; }

private:
    std::atomic<int> m_comenzadas = 0;
    ResultadoDeEnvio m_resultado;
    std::unique_ptr<QThread> m_hilo;
};

// The program's line with its server, and the clients that talk to it; they
// go last, once the server has closed their connections.
struct Banco
{
    Banco()
    {
        puerto->PonerVaciadoManual(true);
        escuchando = servidor.Escuchar(carpeta.path());
    }

    Pedido &Pedir(const QList<QByteArray> &cadenas)
    {
        return *pedidos.emplace_back(std::make_unique<Pedido>(carpeta.path(), cadenas));
    }

    void EnviarPropia(const QByteArray &cadena)
    {
        PlanDeEnvio plan;
        plan.cadenas = {cadena};
        linea.Enviar(plan);
    }

    std::vector<std::unique_ptr<Pedido>> pedidos;
    QTemporaryDir carpeta;
    PuertoFalso *puerto = new PuertoFalso;
    LineaDeCarteles linea{puerto};
    ServidorDeEnvios servidor{linea};
    bool escuchando = false;
};

// Sets an environment variable (unset for a null value) for as long as it
// lives, and puts the old value back.
class Entorno
{
public:
    Entorno(const char *nombre, const QByteArray &valor)
        : m_nombre(nombre), m_habia(qEnvironmentVariableIsSet(nombre)), m_anterior(qgetenv(nombre))
    {
        if (valor.isNull())
            qunsetenv(nombre);
        else
            qputenv(nombre, valor);
    }
    ~Entorno()
    {
        if (m_habia)
            qputenv(m_nombre, m_anterior);
        else
            qunsetenv(m_nombre);
    }
    Entorno(const Entorno &) = delete;
    Entorno &operator=(const Entorno &) = delete;

private:
    const char *m_nombre;
    bool m_habia;
    QByteArray m_anterior;
};

const QByteArray Propia = ArmarTrama("Propia", 5);
const QList<QByteArray> Ajenas{ArmarTrama("Uno", 1), ArmarTrama("Dos", 2)};

} // namespace

class PruebaServidorDeEnvios : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void enColaDetrasDeLoQueSeEnvia();
    void unaFallaSeContestaATodos();
    void unPuertoQueNoAbreFallaSoloLoQueIntento();
    void basuraCierraLaConexion();
    void carpetaDelSocket_data();
    void carpetaDelSocket();
    void soloTramasBienFormadas_data();
    void soloTramasBienFormadas();
    void muchosClientesALaVez();
};

void PruebaServidorDeEnvios::enColaDetrasDeLoQueSeEnvia()
{
    Banco banco;
    banco.EnviarPropia(Propia);
    Pedido &pedido = banco.Pedir(Ajenas);
    QTRY_COMPARE(banco.linea.ProximoPlan(), 3u);
    // Queued: the program's own frame holds the line until it has left.
    QCOMPARE(banco.puerto->Escrito(), Propia);

    QVERIFY(pedido.Esperar(*banco.puerto));
    QVERIFY2(pedido.Resultado().exito, qPrintable(pedido.Resultado().fallo));
    QCOMPARE(pedido.Resultado().tramasEntregadas, 2);
    QCOMPARE(pedido.Resultado().tramasTotales, 2);
    // Only its own strings' progress reached the client.
    QCOMPARE(pedido.Comenzadas(), 2);
    QCOMPARE(banco.puerto->Escrito(), Propia + Ajenas.at(0) + Ajenas.at(1));
}

void PruebaServidorDeEnvios::unaFallaSeContestaATodos()
{
    Banco banco;
    banco.EnviarPropia(Propia);
    Pedido &primero = banco.Pedir(Ajenas);
    QTRY_COMPARE(banco.linea.ProximoPlan(), 3u);
    Pedido &segundo = banco.Pedir({Propia});
    QTRY_COMPARE(banco.linea.ProximoPlan(), 4u);

    banco.puerto->ProvocarFalla(u"Se desconectó el adaptador."_s);
    for (Pedido *pedido : {&primero, &segundo}) {
        QVERIFY(pedido->Esperar(*banco.puerto));
        QVERIFY(!pedido->Resultado().exito);
        QVERIFY2(pedido->Resultado().fallo.startsWith(u"Se desconectó el adaptador."_s), qPrintable(pedido->Resultado().fallo));
        QVERIFY2(pedido->Resultado().fallo.contains(u"no salieron 4 de sus 4 tramas"_s), qPrintable(pedido->Resultado().fallo));
        QCOMPARE(pedido->Resultado().tramasEntregadas, 0);
    }
    QCOMPARE(banco.puerto->Escrito(), Propia);
}

void PruebaServidorDeEnvios::unPuertoQueNoAbreFallaSoloLoQueIntento()
{
    Banco banco;
    QSignalSpy terminados(&banco.linea, &LineaDeCarteles::PlanTerminado);
    banco.EnviarPropia(Propia);
    Pedido &pedido = banco.Pedir(Ajenas);
    QTRY_COMPARE(banco.linea.ProximoPlan(), 3u);
    banco.EnviarPropia(Propia);
    // Each string behind the one under way tries the port anew, and fails.
    banco.puerto->CambiarDispositivo();
    banco.puerto->FallarAlAbrir(u"No existe el puerto."_s);

    QVERIFY(pedido.Esperar(*banco.puerto));
    QVERIFY(!pedido.Resultado().exito);
    QCOMPARE(pedido.Resultado().fallo, u"No existe el puerto."_s);
    QTRY_COMPARE(terminados.size(), 3);
    QStringList planes;
    for (const QList<QVariant> &terminado : std::as_const(terminados))
        planes.append(terminado.at(0).toString() + u' ' + terminado.at(1).toString());
    // The send under way went out whole, though the failure came right after.
    QCOMPARE(planes, (QStringList{u"1 "_s, u"2 No existe el puerto."_s, u"3 No existe el puerto."_s}));
}

void PruebaServidorDeEnvios::basuraCierraLaConexion()
{
    Banco banco;
    // The folder has its server; a second one leaves it alone.
    ServidorDeEnvios otro(banco.linea);
    QVERIFY(!otro.Escuchar(banco.carpeta.path()));

    const std::unique_ptr<CanalLocal> socket{
        CanalLocal::Conectar(RutaDelServidorDeEnvios(banco.carpeta.path()).value_or(QString()))};
    QVERIFY(socket);
    // A length past the limit: nothing of it is waited for or kept.
    socket->Escribir(QByteArray::fromHex("7fffffff01"));
    QTRY_VERIFY(!socket->Abierto());
    QVERIFY(!banco.linea.Emisor().Ocupado());
}

void PruebaServidorDeEnvios::carpetaDelSocket_data()
{
    // $XDG_RUNTIME_DIR: "privada" (0700, this user's), "abierta" (0755), or
    // unset ("").
    QTest::addColumn<QString>("deSesion");
    // What is at <temporary folder>/brevalux-<user> beforehand: "" nothing,
    // "archivo", "enlace" (to a folder), "abierta" (this user's, 0777),
    // "ajena" (another user's, 0700).
    QTest::addColumn<QString>("reserva");
    // Where the socket ends up: "sesion", "reserva", or "" (not served).
    QTest::addColumn<QString>("donde");

    QTest::newRow("en XDG_RUNTIME_DIR") << u"privada"_s << QString() << u"sesion"_s;
    QTest::newRow("XDG_RUNTIME_DIR pesa más que la reserva") << u"privada"_s << u"ajena"_s << u"sesion"_s;
    QTest::newRow("sin XDG_RUNTIME_DIR, carpeta propia nueva") << QString() << QString() << u"reserva"_s;
    QTest::newRow("XDG_RUNTIME_DIR abierta a otros") << u"abierta"_s << QString() << u"reserva"_s;
    QTest::newRow("carpeta propia abierta se cierra") << QString() << u"abierta"_s << u"reserva"_s;
    // Another user took the name first: said, not served quietly elsewhere.
    QTest::newRow("nombre tomado por un archivo") << QString() << u"archivo"_s << QString();
    QTest::newRow("nombre tomado por un enlace") << QString() << u"enlace"_s << QString();
    QTest::newRow("carpeta de otro usuario") << QString() << u"ajena"_s << QString();
}

void PruebaServidorDeEnvios::carpetaDelSocket()
{
    QFETCH(QString, deSesion);
    QFETCH(QString, reserva);
    QFETCH(QString, donde);
    if (reserva == u"ajena"_s && ::geteuid() != 0)
        QSKIP("Hace falta ser root para dar una carpeta a otro usuario");

    QTemporaryDir raiz;
    QVERIFY(raiz.isValid());
    const QDir base(raiz.path());
    QVERIFY(base.mkdir(u"sesion"_s) && base.mkdir(u"tmp"_s) && base.mkdir(u"otra"_s));
    const QString sesion = base.filePath(u"sesion"_s);
    QCOMPARE(::chmod(QFile::encodeName(sesion).constData(), deSesion == u"abierta"_s ? 0755 : 0700), 0);
    const QString deReserva = base.filePath(u"tmp/brevalux-%1"_s.arg(::geteuid()));
    const QByteArray nombreDeReserva = QFile::encodeName(deReserva);
    if (reserva == u"archivo"_s) {
        QFile archivo(deReserva);
        QVERIFY(archivo.open(QIODevice::WriteOnly));
    } else if (reserva == u"enlace"_s) {
        QVERIFY(QFile::link(base.filePath(u"otra"_s), deReserva));
    } else if (reserva == u"abierta"_s) {
        QCOMPARE(::mkdir(nombreDeReserva.constData(), 0700), 0);
        QCOMPARE(::chmod(nombreDeReserva.constData(), 0777), 0);
    } else if (reserva == u"ajena"_s) {
        QCOMPARE(::mkdir(nombreDeReserva.constData(), 0700), 0);
        QCOMPARE(::chown(nombreDeReserva.constData(), 65534, 65534), 0);
    }

    const Entorno temporal("TMPDIR", QFile::encodeName(base.filePath(u"tmp"_s)));
    const Entorno deLaSesion("XDG_RUNTIME_DIR", deSesion.isEmpty() ? QByteArray() : QFile::encodeName(sesion));
    Banco banco;
    if (donde.isEmpty()) {
        QVERIFY(!banco.escuchando);
        QVERIFY2(banco.servidor.Error().contains(deReserva), qPrintable(banco.servidor.Error()));
        QVERIFY(!RutaDelServidorDeEnvios(banco.carpeta.path()));
        ClienteDeEnvios cliente;
        QVERIFY(!cliente.Conectar(banco.carpeta.path(), 100ms));
        return;
    }
    QVERIFY2(banco.escuchando, qPrintable(banco.servidor.Error()));
    const QString carpeta = donde == u"sesion"_s ? sesion : deReserva;
    const QString ruta = carpeta + u'/' + NombreDelServidorDeEnvios(banco.carpeta.path());
    QCOMPARE(RutaDelServidorDeEnvios(banco.carpeta.path()), std::optional<QString>(ruta));
    struct stat datos {};
    QCOMPARE(::lstat(QFile::encodeName(ruta).constData(), &datos), 0);
    QVERIFY(S_ISSOCK(datos.st_mode));
    QCOMPARE(::lstat(QFile::encodeName(carpeta).constData(), &datos), 0);
    QVERIFY(S_ISDIR(datos.st_mode));
    QCOMPARE(datos.st_uid, ::geteuid());
    QCOMPARE(datos.st_mode & 0777, 0700u);

    Pedido &pedido = banco.Pedir(Ajenas);
    QVERIFY(pedido.Esperar(*banco.puerto));
    QVERIFY2(pedido.Resultado().exito, qPrintable(pedido.Resultado().fallo));
    QCOMPARE(banco.puerto->Escrito(), Ajenas.at(0) + Ajenas.at(1));
}

void PruebaServidorDeEnvios::soloTramasBienFormadas_data()
{
    QTest::addColumn<QList<QByteArray>>("cadenas");
    QTest::addColumn<bool>("enviado");

    QTest::newRow("tramas del programa") << Ajenas << true;
    // Its first two frames: 202 even for address 0, and a pause between.
    QTest::newRow("mensaje de direcciones")
        << QList<QByteArray>{ArmarMensajeDeDirecciones().first(24)} << true;
    // What once went raw to the line.
    QTest::newRow("un millón de Z") << QList<QByteArray>{QByteArray(1000 * 1000, 'Z')} << false;
    QTest::newRow("una buena y una mala") << QList<QByteArray>{Ajenas.at(0), QByteArray("Z")} << false;
    QTest::newRow("trama sin fin") << QList<QByteArray>{Ajenas.at(0).chopped(1)} << false;
    QTest::newRow("cadena vacía") << QList<QByteArray>{QByteArray()} << false;
}

void PruebaServidorDeEnvios::soloTramasBienFormadas()
{
    QFETCH(QList<QByteArray>, cadenas);
    QFETCH(bool, enviado);
    Banco banco;
    QVERIFY2(banco.escuchando, qPrintable(banco.servidor.Error()));
    Pedido &pedido = banco.Pedir(cadenas);
    QVERIFY(pedido.Esperar(*banco.puerto));
    QCOMPARE(pedido.Resultado().exito, enviado);
    QCOMPARE(banco.puerto->Escrito(), enviado ? cadenas.join() : QByteArray());
    if (!enviado) {
        QVERIFY2(pedido.Resultado().fallo.contains(u"tramas bien formadas"_s), qPrintable(pedido.Resultado().fallo));
        QCOMPARE(pedido.Resultado().tramasEntregadas, 0);
        QCOMPARE(banco.linea.ProximoPlan(), 1u);
    }
}

void PruebaServidorDeEnvios::muchosClientesALaVez()
{
    // Many cartel-enviar at once while the program sends: each one is heard
    // in turn, none turned away to find the port in use.
    constexpr int clientes = 40;
    Banco banco;
    QVERIFY2(banco.escuchando, qPrintable(banco.servidor.Error()));
    banco.EnviarPropia(Propia);
    QList<QByteArray> tramas;
    for (int i = 0; i < clientes; ++i) {
        tramas.append(ArmarTrama(QByteArray::number(i), static_cast<quint8>(i + 1)));
        banco.Pedir({tramas.last()});
    }
    for (const auto &pedido : banco.pedidos) {
        QVERIFY(pedido->Esperar(*banco.puerto));
        QVERIFY2(pedido->Resultado().exito, qPrintable(pedido->Resultado().fallo));
        QCOMPARE(pedido->Resultado().tramasEntregadas, 1);
    }
    // Every frame once, whole, in whatever order the clients came.
    const QByteArray escrito = banco.puerto->Escrito();
    QCOMPARE(escrito.size(), Propia.size() + tramas.join().size());
    QVERIFY(escrito.startsWith(Propia));
    for (const QByteArray &trama : std::as_const(tramas))
        QVERIFY(escrito.contains(trama));
}

QTEST_MAIN(PruebaServidorDeEnvios)
#include "prueba_servidordeenvios.moc"
