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
                  m_resultado = cliente.Enviar(cadenas, {}, {});
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
        // isFinished() turns true while the thread still runs its last
        // steps; only wait() says it is over.
        while (!m_hilo->wait(0)) {
            if (reloj.elapsed() > 10000)
                return false;
            puerto.VaciarTodo();
            QTest::qWait(5);
        }
        return true;
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

// A string that is not a frame (prueba_trama's table) turns the whole
// request away, the good frames before it too.
void PruebaServidorDeEnvios::soloTramasBienFormadas()
{
    Banco banco;
    Pedido &pedido = banco.Pedir({Ajenas.at(0), QByteArray(1000 * 1000, 'Z')});
    QVERIFY(pedido.Esperar(*banco.puerto));
    QVERIFY2(pedido.Resultado().fallo.contains(u"tramas bien formadas"_s), qPrintable(pedido.Resultado().fallo));
    QCOMPARE(banco.puerto->Escrito(), QByteArray());
}

// Many cartel-enviar at once while the program sends: each is heard in turn,
// none turned away to find the port in use.
void PruebaServidorDeEnvios::muchosClientesALaVez()
{
    Banco banco;
    QVERIFY2(banco.escuchando, qPrintable(banco.servidor.Error()));
    banco.EnviarPropia(Propia);
    QByteArray tramas;
    for (int i = 0; i < 40; ++i) {
        const QByteArray trama = ArmarTrama(QByteArray::number(i), static_cast<quint8>(i + 1));
        banco.Pedir({trama});
        tramas += trama;
    }
    for (const auto &pedido : banco.pedidos) {
        QVERIFY(pedido->Esperar(*banco.puerto));
        QVERIFY2(pedido->Resultado().exito, qPrintable(pedido->Resultado().fallo));
    }
    QCOMPARE(banco.puerto->Escrito().size(), Propia.size() + tramas.size());
}

QTEST_MAIN(PruebaServidorDeEnvios)
#include "prueba_servidordeenvios.moc"
