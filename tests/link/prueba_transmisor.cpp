#include "apoyo/puertofalso.h"
#include "link/trama.h"
#include "link/transmisor.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

namespace {

constexpr char Pausa = static_cast<char>(ByteFinDeTrama);

// Every signal of the engine as one line, in the order emitted.
class Registro : public QObject
{
public:
    explicit Registro(Transmisor &transmisor)
    {
        connect(&transmisor, &Transmisor::Comenzada, this,
                [this](qint64 total) { lineas.append(u"Comenzada %1"_s.arg(total)); });
        connect(&transmisor, &Transmisor::Avance, this, [this](qint64 entregados, qint64 total) {
            lineas.append(u"Avance %1/%2"_s.arg(entregados).arg(total));
            avances.append(entregados);
        });
        connect(&transmisor, &Transmisor::Escrita, this, [this] { lineas.append(u"Escrita"_s); });
        connect(&transmisor, &Transmisor::Fallo, this,
                [this](const QString &descripcion) { lineas.append(u"Fallo "_s + descripcion); });
        connect(&transmisor, &Transmisor::Desocupado, this, [this] { lineas.append(u"Desocupado"_s); });
    }

    qsizetype Contar(const QString &comienzo) const
    {
        return std::count_if(lineas.cbegin(), lineas.cend(),
                             [&](const QString &linea) { return linea.startsWith(comienzo); });
    }

    QStringList lineas;
    QList<qint64> avances;
};

QTimer *Timer1(Transmisor &transmisor)
{
    return transmisor.findChild<QTimer *>(u"Timer1"_s);
}

} // namespace

class PruebaTransmisor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unaTramaSinPausa();
    void cadenaVacia();
    void pausas_data();
    void pausas();
    void laPausaEmpiezaAlVaciarse();
    void colaEsperaEscrituraYVaciado();
    void tandasAcotadasSiguenALaLinea();
    void falloAlAbrirSeAvisaUnaVez();
    void falloAlAbrirEnColaSoloParaEsaLlamada();
    void fallaDelPuertoDescartaTodoYReabre();
    void escrituraRechazadaCierraElPuerto();
    void lineaDetenida_data();
    void lineaDetenida();
    void lineaLentaNoEsDetenida();
    void mandarDesdeEscrita();
    void posicionesMasAllaDe32767();
};

void PruebaTransmisor::unaTramaSinPausa()
{
    PuertoFalso puerto;
    Transmisor transmisor(puerto);
    Registro registro(transmisor);
    const QByteArray trama = ArmarTrama("Hola", 5);

    QVERIFY(!puerto.Abierto());
    QVERIFY(transmisor.Mandar(trama));
    QCOMPARE(puerto.Escrito(), trama);
    QCOMPARE(puerto.Aperturas(), 1);
    QCOMPARE(registro.lineas,
             QStringList({u"Comenzada 14"_s, u"Avance 14/14"_s, u"Escrita"_s, u"Desocupado"_s}));
    QVERIFY(!transmisor.Ocupado());

    // The port stays open; a second string does not open it again.
    QVERIFY(transmisor.Mandar(trama));
    QCOMPARE(puerto.Aperturas(), 1);
    QVERIFY(puerto.Abierto());
    QCOMPARE(puerto.Escrito(), trama + trama);
}

void PruebaTransmisor::cadenaVacia()
{
    PuertoFalso puerto;
    Transmisor transmisor(puerto);
    Registro registro(transmisor);
    QVERIFY(transmisor.Mandar(QByteArray()));
    QCOMPARE(registro.lineas, QStringList({u"Comenzada 0"_s, u"Escrita"_s, u"Desocupado"_s}));
    QVERIFY(puerto.Escrito().isEmpty());
}

void PruebaTransmisor::pausas_data()
{
    QTest::addColumn<QByteArray>("cadena");
    // What is written before each pause, and after the last one.
    QTest::addColumn<QList<QByteArray>>("tramos");

    const QByteArray pausa(1, Pausa);
    QTest::newRow("200 al final no pausa") << ArmarTrama("x", 5) << QList<QByteArray>{ArmarTrama("x", 5)};
    QTest::newRow("200 en el mensaje")
        << ArmarTrama(QByteArray("a" + pausa + "b"), 0)
        << QList<QByteArray>{QByteArray(ArmarTrama({}, 0).chopped(1) + "a" + pausa), QByteArray("b" + pausa)};
    QTest::newRow("dirección 200")
        << ArmarTrama("x", 200)
        << QList<QByteArray>{QByteArray("\xCA\xC8"), QByteArray("222222 x" + pausa)};
    QTest::newRow("dos tramas")
        << QByteArray(ArmarTrama("uno", 1) + ArmarTrama("dos", 2))
        << QList<QByteArray>{ArmarTrama("uno", 1), ArmarTrama("dos", 2)};
    QTest::newRow("200 seguidos") << QByteArray("a" + pausa + pausa + "b")
                                  << QList<QByteArray>{QByteArray("a" + pausa), pausa, QByteArray("b")};
    QTest::newRow("solo 200") << pausa << QList<QByteArray>{pausa};
}

void PruebaTransmisor::pausas()
{
    QFETCH(QByteArray, cadena);
    QFETCH(QList<QByteArray>, tramos);

    constexpr auto intervalo = 30ms;
    PuertoFalso puerto;
    Transmisor transmisor(puerto);
    transmisor.PonerIntervaloDePausa(intervalo);
    QCOMPARE(Timer1(transmisor)->interval(), 30);
    Registro registro(transmisor);

    QElapsedTimer reloj;
    reloj.start();
    QVERIFY(transmisor.Mandar(cadena));

    QByteArray esperado;
    for (qsizetype indice = 0; indice < tramos.size(); ++indice) {
        esperado += tramos.at(indice);
        if (indice > 0) {
            QTRY_COMPARE_WITH_TIMEOUT(puerto.Escrito(), esperado, 2000);
            QVERIFY2(reloj.elapsed() >= intervalo.count(), qPrintable(QString::number(reloj.elapsed())));
            reloj.start();
        }
        QCOMPARE(puerto.Escrito(), esperado);
        // Progress counts the whole string across pauses.
        QCOMPARE(registro.avances.last(), esperado.size());
        const bool ultimo = indice == tramos.size() - 1;
        QCOMPARE(registro.Contar(u"Escrita"_s), ultimo ? 1 : 0);
        QCOMPARE(transmisor.Ocupado(), !ultimo);
        QCOMPARE(Timer1(transmisor)->isActive(), !ultimo);
    }
    QCOMPARE(puerto.Escrito(), cadena);
    QCOMPARE(registro.lineas.first(), u"Comenzada %1"_s.arg(cadena.size()));
    QCOMPARE(registro.lineas.last(), u"Desocupado"_s);
    QCOMPARE(registro.lineas.at(registro.lineas.size() - 2), u"Escrita"_s);
    QVERIFY(std::is_sorted(registro.avances.cbegin(), registro.avances.cend()));
    QTest::qWait(2 * intervalo.count());
    QCOMPARE(puerto.Escrito(), cadena);
}

void PruebaTransmisor::laPausaEmpiezaAlVaciarse()
{
    PuertoFalso puerto;
    puerto.PonerVaciadoManual(true);
    Transmisor transmisor(puerto);
    transmisor.PonerIntervaloDePausa(20ms);
    const QByteArray pausa(1, Pausa);

    QVERIFY(transmisor.Mandar(QByteArray("ab" + pausa + "cd")));
    QCOMPARE(puerto.Escrito(), QByteArray("ab" + pausa));
    // Bytes still on their way: the pause has not begun.
    QTest::qWait(80);
    QVERIFY(!Timer1(transmisor)->isActive());
    QCOMPARE(puerto.Escrito(), QByteArray("ab" + pausa));

    puerto.Vaciar(1);
    QTest::qWait(40);
    QVERIFY(!Timer1(transmisor)->isActive());
    puerto.VaciarTodo();
    QTRY_VERIFY(Timer1(transmisor)->isActive());
    QCOMPARE(puerto.Escrito(), QByteArray("ab" + pausa));
    QTRY_COMPARE(puerto.Escrito(), QByteArray("ab" + pausa + "cd"));
}

void PruebaTransmisor::colaEsperaEscrituraYVaciado()
{
    PuertoFalso puerto;
    puerto.PonerVaciadoManual(true);
    Transmisor transmisor(puerto);
    transmisor.PonerIntervaloDePausa(20ms);
    Registro registro(transmisor);

    const QByteArray primera = ArmarTrama("a", 1) + ArmarTrama("b", 2);
    const QByteArray segunda = ArmarTrama("cola", 7);
    QVERIFY(transmisor.Mandar(primera));
    QVERIFY(transmisor.Mandar(segunda));
    QVERIFY(transmisor.Ocupado());
    QCOMPARE(puerto.IntentosDeAbrir(), 1);
    QCOMPARE(puerto.Escrito(), ArmarTrama("a", 1));

    puerto.VaciarTodo();
    QTRY_COMPARE(puerto.Escrito(), primera);
    QCOMPARE(registro.Contar(u"Escrita"_s), 1);
    // Written but not yet gone: the queued string waits.
    QTest::qWait(60);
    QCOMPARE(puerto.Escrito(), primera);
    QCOMPARE(registro.Contar(u"Comenzada"_s), 1);

    puerto.VaciarTodo();
    QTRY_COMPARE(puerto.Escrito(), QByteArray(primera + segunda));
    QCOMPARE(puerto.IntentosDeAbrir(), 2);
    QCOMPARE(puerto.Aperturas(), 1);
    QVERIFY(transmisor.Ocupado());
    QCOMPARE(registro.Contar(u"Desocupado"_s), 0);
    puerto.VaciarTodo();
    QTRY_VERIFY(!transmisor.Ocupado());

    const QStringList esperado{
        u"Comenzada %1"_s.arg(primera.size()),
        u"Avance 11/%1"_s.arg(primera.size()),
        u"Avance %1/%1"_s.arg(primera.size()),
        u"Escrita"_s,
        u"Comenzada %1"_s.arg(segunda.size()),
        u"Avance %1/%1"_s.arg(segunda.size()),
        u"Escrita"_s,
        u"Desocupado"_s,
    };
    QCOMPARE(registro.lineas, esperado);
}

void PruebaTransmisor::tandasAcotadasSiguenALaLinea()
{
    PuertoFalso puerto;
    puerto.PonerVaciadoManual(true);
    Transmisor transmisor(puerto);
    Registro registro(transmisor);

    QByteArray cadena;
    for (int indice = 0; indice < 2000; ++indice)
        cadena.append(static_cast<char>('a' + indice % 26));
    QVERIFY(transmisor.Mandar(cadena));
    QCOMPARE(puerto.Escrito().size(), Transmisor::MarcaDePendientes);

    for (int vuelta = 0; vuelta < 100 && puerto.Escrito().size() < cadena.size(); ++vuelta) {
        puerto.Vaciar(50);
        QTRY_COMPARE(puerto.Pendientes(), std::min<qint64>(Transmisor::MarcaDePendientes,
                                                           cadena.size() - (puerto.Escrito().size() - puerto.Pendientes())));
    }
    QCOMPARE(puerto.Escrito(), cadena);
    QVERIFY(puerto.MaximoPendiente() <= Transmisor::MarcaDePendientes);
    for (const QByteArray &tanda : puerto.Escrituras())
        QVERIFY(tanda.size() <= Transmisor::TamanoDeTanda);
    QVERIFY(registro.avances.size() >= cadena.size() / Transmisor::TamanoDeTanda);
    QVERIFY(std::is_sorted(registro.avances.cbegin(), registro.avances.cend()));
    QCOMPARE(registro.avances.last(), cadena.size());
    puerto.VaciarTodo();
    QTRY_VERIFY(!transmisor.Ocupado());
}

void PruebaTransmisor::falloAlAbrirSeAvisaUnaVez()
{
    PuertoFalso puerto;
    puerto.FallarAlAbrir(u"No existe el dispositivo /dev/ttyS3"_s);
    Transmisor transmisor(puerto);
    Registro registro(transmisor);

    QVERIFY(!transmisor.Mandar(ArmarTrama("Hola", 0)));
    // Reported before Mandar() returns, and only once.
    QCOMPARE(registro.lineas,
             QStringList({u"Fallo No existe el dispositivo /dev/ttyS3"_s, u"Desocupado"_s}));
    QVERIFY(puerto.Escrito().isEmpty());
    QVERIFY(!transmisor.Ocupado());
    QTest::qWait(50);
    QCOMPARE(registro.lineas.size(), 2);

    // Each call tries again.
    puerto.FallarAlAbrir({});
    QVERIFY(transmisor.Mandar(ArmarTrama("Hola", 0)));
    QCOMPARE(puerto.Escrito(), ArmarTrama("Hola", 0));
}

void PruebaTransmisor::falloAlAbrirEnColaSoloParaEsaLlamada()
{
    PuertoFalso puerto;
    puerto.PonerVaciadoManual(true);
    Transmisor transmisor(puerto);
    Registro registro(transmisor);

    const QByteArray a = ArmarTrama("a", 1);
    const QByteArray b = ArmarTrama("b", 2);
    const QByteArray c = ArmarTrama("c", 3);
    QVERIFY(transmisor.Mandar(a));
    QVERIFY(transmisor.Mandar(b));
    QVERIFY(transmisor.Mandar(c));

    // The port is lost and replaced between strings: b finds it unopenable,
    // and by c's turn it is back.
    puerto.Cerrar();
    puerto.FallarAlAbrir(u"Puerto en uso"_s);
    QByteArray escritoAlFallar;
    connect(&transmisor, &Transmisor::Fallo, this, [&] {
        escritoAlFallar = puerto.Escrito();
        puerto.FallarAlAbrir({});
    });
    puerto.VaciarTodo();
    QTRY_COMPARE(registro.Contar(u"Fallo"_s), 1);
    QCOMPARE(registro.lineas.filter(u"Fallo"_s), QStringList({u"Fallo Puerto en uso"_s}));
    QCOMPARE(escritoAlFallar, a);
    QTRY_COMPARE(puerto.Escrito(), QByteArray(a + c));
    puerto.VaciarTodo();
    QTRY_VERIFY(!transmisor.Ocupado());
    QCOMPARE(registro.Contar(u"Fallo"_s), 1);
    QCOMPARE(registro.Contar(u"Comenzada"_s), 2);
    QCOMPARE(registro.Contar(u"Desocupado"_s), 1);
}

void PruebaTransmisor::fallaDelPuertoDescartaTodoYReabre()
{
    PuertoFalso puerto;
    puerto.PonerVaciadoManual(true);
    Transmisor transmisor(puerto);
    transmisor.PonerIntervaloDePausa(20ms);
    Registro registro(transmisor);

    const QByteArray direcciones = ArmarMensajeDeDirecciones();
    QVERIFY(transmisor.Mandar(direcciones));
    QVERIFY(transmisor.Mandar(ArmarTrama("en cola", 4)));
    puerto.VaciarTodo();
    QTRY_VERIFY(puerto.Escrito().size() > 12);
    const qsizetype escritos = puerto.Escrito().size();

    puerto.ProvocarFalla(u"Se perdió la comunicación"_s);
    QCOMPARE(registro.lineas.filter(u"Fallo"_s), QStringList({u"Fallo Se perdió la comunicación"_s}));
    QCOMPARE(registro.lineas.last(), u"Desocupado"_s);
    QVERIFY(!transmisor.Ocupado());
    QVERIFY(!Timer1(transmisor)->isActive());

    // Nothing of the rest, nor of the queue, goes out later.
    puerto.VaciarTodo();
    QTest::qWait(100);
    QCOMPARE(puerto.Escrito().size(), escritos);
    QCOMPARE(registro.Contar(u"Fallo"_s), 1);
    QCOMPARE(registro.Contar(u"Escrita"_s), 0);

    // The next string opens the port afresh.
    puerto.OlvidarEscrito();
    puerto.PonerVaciadoManual(false);
    QVERIFY(transmisor.Mandar(ArmarTrama("otra", 9)));
    QCOMPARE(puerto.Aperturas(), 2);
    QCOMPARE(puerto.Escrito(), ArmarTrama("otra", 9));
}

void PruebaTransmisor::escrituraRechazadaCierraElPuerto()
{
    PuertoFalso puerto;
    puerto.PonerVaciadoManual(true);
    Transmisor transmisor(puerto);
    transmisor.PonerIntervaloDePausa(10ms);
    Registro registro(transmisor);

    QVERIFY(transmisor.Mandar(ArmarMensajeDeDirecciones()));
    QVERIFY(transmisor.Mandar(ArmarTrama("en cola", 1)));
    QCOMPARE(puerto.Escrito().size(), 12);
    puerto.FallarAlEscribir(u"El puerto no aceptó los datos"_s);
    puerto.VaciarTodo();
    QTRY_COMPARE(registro.Contar(u"Fallo"_s), 1);
    QCOMPARE(registro.lineas.filter(u"Fallo"_s).first(), u"Fallo El puerto no aceptó los datos"_s);
    // Closed, so that the next string starts from a fresh opening.
    QCOMPARE(puerto.Cierres(), 1);
    QVERIFY(!transmisor.Ocupado());
    QTest::qWait(50);
    QCOMPARE(puerto.Escrito().size(), 12);

    QVERIFY(transmisor.Mandar(ArmarTrama("otra", 1)));
    QCOMPARE(puerto.Aperturas(), 2);
    QVERIFY(puerto.Escrito().endsWith(ArmarTrama("otra", 1)));
}

void PruebaTransmisor::lineaDetenida_data()
{
    QTest::addColumn<QByteArray>("cadena");
    QTest::addColumn<qsizetype>("escritos");
    QTest::newRow("esperando lugar") << QByteArray(400, 'x') << qsizetype(Transmisor::MarcaDePendientes);
    QTest::newRow("esperando la pausa") << ArmarMensajeDeDirecciones() << qsizetype(12);
    QTest::newRow("esperando el final") << ArmarTrama("Hola", 5) << qsizetype(14);
}

void PruebaTransmisor::lineaDetenida()
{
    QFETCH(QByteArray, cadena);
    QFETCH(qsizetype, escritos);

    PuertoFalso puerto;
    puerto.PonerVaciadoManual(true);
    Transmisor transmisor(puerto);
    transmisor.PonerPlazoSinAvance(150ms);
    Registro registro(transmisor);

    QVERIFY(transmisor.Mandar(cadena));
    QVERIFY(transmisor.Mandar(ArmarTrama("en cola", 4)));
    QTRY_COMPARE_WITH_TIMEOUT(registro.Contar(u"Fallo"_s), 1, 3000);
    const QString fallo = registro.lineas.filter(u"Fallo"_s).first();
    QVERIFY2(fallo.contains(u"Com1"_s) && fallo.contains(u"150 ms"_s), qPrintable(fallo));
    QVERIFY(!puerto.Abierto());
    QCOMPARE(puerto.Cierres(), 1);
    QVERIFY(!transmisor.Ocupado());
    QCOMPARE(registro.lineas.last(), u"Desocupado"_s);
    QCOMPARE(puerto.Escrito().size(), escritos);
    QTest::qWait(300);
    QCOMPARE(registro.Contar(u"Fallo"_s), 1);
}

void PruebaTransmisor::lineaLentaNoEsDetenida()
{
    PuertoFalso puerto;
    puerto.PonerVaciadoManual(true);
    Transmisor transmisor(puerto);
    transmisor.PonerPlazoSinAvance(150ms);
    Registro registro(transmisor);

    // A few bytes leave at a time, while the engine keeps the queue topped up:
    // the count of pending bytes hardly moves, but the line does.
    QTimer linea;
    connect(&linea, &QTimer::timeout, &puerto, [&] { puerto.Vaciar(8); });
    linea.start(20);
    QByteArray cadena(400, 'x');
    QVERIFY(transmisor.Mandar(cadena));
    QTRY_VERIFY_WITH_TIMEOUT(!transmisor.Ocupado(), 10000);
    QCOMPARE(registro.Contar(u"Fallo"_s), 0);
    QCOMPARE(puerto.Escrito(), cadena);
}

void PruebaTransmisor::mandarDesdeEscrita()
{
    PuertoFalso puerto;
    puerto.PonerVaciadoManual(true);
    Transmisor transmisor(puerto);
    Registro registro(transmisor);

    const QByteArray primera = ArmarTrama("1", 1);
    const QByteArray segunda = ArmarTrama("2", 2);
    bool mandada = false;
    connect(&transmisor, &Transmisor::Escrita, this, [&] {
        if (!mandada) {
            mandada = true;
            QVERIFY(transmisor.Mandar(segunda));
        }
    });
    QVERIFY(transmisor.Mandar(primera));
    QCOMPARE(puerto.Escrito(), primera);
    puerto.VaciarTodo();
    QTRY_COMPARE(puerto.Escrito(), QByteArray(primera + segunda));
    puerto.VaciarTodo();
    QTRY_VERIFY(!transmisor.Ocupado());
    QCOMPARE(registro.Contar(u"Escrita"_s), 2);
    QCOMPARE(registro.Contar(u"Desocupado"_s), 1);
}

void PruebaTransmisor::posicionesMasAllaDe32767()
{
    PuertoFalso puerto;
    Transmisor transmisor(puerto);
    transmisor.PonerIntervaloDePausa(5ms);
    Registro registro(transmisor);

    QByteArray cadena(40000, 'z');
    cadena[35000] = Pausa;
    cadena[39999] = Pausa;
    QVERIFY(transmisor.Mandar(cadena));
    QCOMPARE(puerto.Escrito().size(), 35001);
    QVERIFY(Timer1(transmisor)->isActive());
    QTRY_VERIFY(!transmisor.Ocupado());
    QCOMPARE(puerto.Escrito(), cadena);
    QCOMPARE(registro.avances.last(), 40000);
}

QTEST_GUILESS_MAIN(PruebaTransmisor)
#include "prueba_transmisor.moc"
