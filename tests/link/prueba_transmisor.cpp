#include "apoyo/puertofalso.h"
#include "link/trama.h"
#include "link/transmisor.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QByteArray Pausa(1, static_cast<char>(ByteFinDeTrama));

// A transmitter on a port in memory, with every signal it emits as one line,
// in the order emitted.
class Banco : public QObject
{
public:
    explicit Banco(bool vaciadoManual = false, std::chrono::milliseconds pausa = 100ms)
    {
        puerto.PonerVaciadoManual(vaciadoManual);
        transmisor.PonerIntervaloDePausa(pausa);
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

    QTimer *Timer1() const { return transmisor.findChild<QTimer *>(u"Timer1"_s); }

    PuertoFalso puerto;
    Transmisor transmisor{puerto};
    QStringList lineas;
    QList<qint64> avances;
};

} // namespace

class PruebaTransmisor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cadenaSinPausa_data();
    void cadenaSinPausa();
    void pausas_data();
    void pausas();
    void laPausaEmpiezaAlVaciarse();
    void colaEsperaEscrituraYVaciado();
    void tandasAcotadasSiguenALaLinea();
    void falloAlAbrirSeAvisaUnaVez();
    void falloAlAbrirEnColaSoloParaEsaLlamada();
    void falloDescartaTodoYReabre_data();
    void falloDescartaTodoYReabre();
    void lineaDetenida_data();
    void lineaDetenida();
    void lineaLentaNoEsDetenida();
    void mandarDesdeEscrita();
    void posicionesMasAllaDe32767();
};

void PruebaTransmisor::cadenaSinPausa_data()
{
    QTest::addColumn<QByteArray>("cadena");
    QTest::addColumn<QStringList>("senales");
    QTest::newRow("una trama") << ArmarTrama("Hola", 5)
                               << QStringList{u"Comenzada 14"_s, u"Avance 14/14"_s, u"Escrita"_s, u"Desocupado"_s};
    QTest::newRow("vacía") << QByteArray() << QStringList{u"Comenzada 0"_s, u"Escrita"_s, u"Desocupado"_s};
}

void PruebaTransmisor::cadenaSinPausa()
{
    QFETCH(QByteArray, cadena);
    QFETCH(QStringList, senales);
    Banco banco;
    QVERIFY(banco.transmisor.Mandar(cadena));
    QCOMPARE(banco.puerto.Escrito(), cadena);
    QCOMPARE(banco.lineas, senales);
    QVERIFY(!banco.transmisor.Ocupado());

    // The port stays open; a second string does not open it again.
    QVERIFY(banco.transmisor.Mandar(cadena));
    QVERIFY(banco.puerto.Abierto());
    QCOMPARE(banco.puerto.Aperturas(), 1);
    QCOMPARE(banco.puerto.Escrito(), cadena + cadena);
}

void PruebaTransmisor::pausas_data()
{
    QTest::addColumn<QByteArray>("cadena");
    // What is written before each pause, and after the last one.
    QTest::addColumn<QList<QByteArray>>("tramos");

    QTest::newRow("200 al final no pausa") << ArmarTrama("x", 5) << QList<QByteArray>{ArmarTrama("x", 5)};
    QTest::newRow("200 en el mensaje")
        << ArmarTrama(QByteArray("a" + Pausa + "b"), 0)
        << QList<QByteArray>{QByteArray(ArmarTrama({}, 0).chopped(1) + "a" + Pausa), QByteArray("b" + Pausa)};
    QTest::newRow("dirección 200") << ArmarTrama("x", 200)
                                   << QList<QByteArray>{QByteArray("\xCA\xC8"), QByteArray("222222 x" + Pausa)};
    QTest::newRow("dos tramas") << QByteArray(ArmarTrama("uno", 1) + ArmarTrama("dos", 2))
                                << QList<QByteArray>{ArmarTrama("uno", 1), ArmarTrama("dos", 2)};
    QTest::newRow("200 seguidos") << QByteArray("a" + Pausa + Pausa + "b")
                                  << QList<QByteArray>{QByteArray("a" + Pausa), Pausa, QByteArray("b")};
    QTest::newRow("solo 200") << Pausa << QList<QByteArray>{Pausa};
}

void PruebaTransmisor::pausas()
{
    QFETCH(QByteArray, cadena);
    QFETCH(QList<QByteArray>, tramos);

    constexpr auto intervalo = 30ms;
    Banco banco(false, intervalo);
    QCOMPARE(banco.Timer1()->interval(), 30);
    QElapsedTimer reloj;
    reloj.start();
    QVERIFY(banco.transmisor.Mandar(cadena));

    QByteArray esperado;
    for (qsizetype indice = 0; indice < tramos.size(); ++indice) {
        esperado += tramos.at(indice);
        if (indice > 0) {
            QTRY_COMPARE_WITH_TIMEOUT(banco.puerto.Escrito(), esperado, 2000);
            QVERIFY2(reloj.elapsed() >= intervalo.count(), qPrintable(QString::number(reloj.elapsed())));
            reloj.start();
        }
        QCOMPARE(banco.puerto.Escrito(), esperado);
        // Progress counts the whole string across pauses.
        QCOMPARE(banco.avances.last(), esperado.size());
        const bool ultimo = indice == tramos.size() - 1;
        QCOMPARE(banco.Contar(u"Escrita"_s), ultimo ? 1 : 0);
        QCOMPARE(banco.transmisor.Ocupado(), !ultimo);
        QCOMPARE(banco.Timer1()->isActive(), !ultimo);
    }
    QCOMPARE(banco.lineas.first(), u"Comenzada %1"_s.arg(cadena.size()));
    QCOMPARE(banco.lineas.mid(banco.lineas.size() - 2), (QStringList{u"Escrita"_s, u"Desocupado"_s}));
    QVERIFY(std::is_sorted(banco.avances.cbegin(), banco.avances.cend()));
    QTest::qWait(2 * intervalo.count());
    QCOMPARE(banco.puerto.Escrito(), cadena);
}

void PruebaTransmisor::laPausaEmpiezaAlVaciarse()
{
    Banco banco(true, 20ms);
    const QByteArray antes("ab" + Pausa);
    QVERIFY(banco.transmisor.Mandar(antes + "cd"));
    QCOMPARE(banco.puerto.Escrito(), antes);
    // Bytes still on their way: the pause has not begun.
    QTest::qWait(80);
    QVERIFY(!banco.Timer1()->isActive());
    QCOMPARE(banco.puerto.Escrito(), antes);

    banco.puerto.Vaciar(1);
    QTest::qWait(40);
    QVERIFY(!banco.Timer1()->isActive());
    banco.puerto.VaciarTodo();
    QTRY_VERIFY(banco.Timer1()->isActive());
    QCOMPARE(banco.puerto.Escrito(), antes);
    QTRY_COMPARE(banco.puerto.Escrito(), antes + "cd");
}

void PruebaTransmisor::colaEsperaEscrituraYVaciado()
{
    Banco banco(true, 20ms);
    const QByteArray primera = ArmarTrama("a", 1) + ArmarTrama("b", 2);
    const QByteArray segunda = ArmarTrama("cola", 7);
    QVERIFY(banco.transmisor.Mandar(primera));
    QVERIFY(banco.transmisor.Mandar(segunda));
    QVERIFY(banco.transmisor.Ocupado());
    QCOMPARE(banco.puerto.IntentosDeAbrir(), 1);
    QCOMPARE(banco.puerto.Escrito(), ArmarTrama("a", 1));

    banco.puerto.VaciarTodo();
    QTRY_COMPARE(banco.puerto.Escrito(), primera);
    // Written but not yet gone: the queued string waits.
    QTest::qWait(60);
    QCOMPARE(banco.puerto.Escrito(), primera);
    QCOMPARE(banco.Contar(u"Comenzada"_s), 1);

    banco.puerto.VaciarTodo();
    QTRY_COMPARE(banco.puerto.Escrito(), QByteArray(primera + segunda));
    QCOMPARE(banco.puerto.IntentosDeAbrir(), 2);
    QCOMPARE(banco.puerto.Aperturas(), 1);
    QVERIFY(banco.transmisor.Ocupado());
    banco.puerto.VaciarTodo();
    QTRY_VERIFY(!banco.transmisor.Ocupado());

    const QString total1 = QString::number(primera.size());
    const QString total2 = QString::number(segunda.size());
    QCOMPARE(banco.lineas, (QStringList{u"Comenzada "_s + total1, u"Avance 11/"_s + total1,
                                        u"Avance %1/%1"_s.arg(total1), u"Escrita"_s, u"Comenzada "_s + total2,
                                        u"Avance %1/%1"_s.arg(total2), u"Escrita"_s, u"Desocupado"_s}));
}

void PruebaTransmisor::tandasAcotadasSiguenALaLinea()
{
    Banco banco(true);
    QByteArray cadena;
    for (int indice = 0; indice < 2000; ++indice)
        cadena.append(static_cast<char>('a' + indice % 26));
    QVERIFY(banco.transmisor.Mandar(cadena));
    QCOMPARE(banco.puerto.Escrito().size(), Transmisor::MarcaDePendientes);

    // Each time bytes leave, the port is topped up to the mark again.
    for (int vuelta = 0; vuelta < 100 && banco.puerto.Escrito().size() < cadena.size(); ++vuelta) {
        banco.puerto.Vaciar(50);
        const qint64 salidos = banco.puerto.Escrito().size() - banco.puerto.Pendientes();
        QTRY_COMPARE(banco.puerto.Pendientes(), std::min<qint64>(Transmisor::MarcaDePendientes, cadena.size() - salidos));
    }
    QCOMPARE(banco.puerto.Escrito(), cadena);
    QVERIFY(banco.puerto.MaximoPendiente() <= Transmisor::MarcaDePendientes);
    for (const QByteArray &tanda : banco.puerto.Escrituras())
        QVERIFY(tanda.size() <= Transmisor::TamanoDeTanda);
    QVERIFY(banco.avances.size() >= cadena.size() / Transmisor::TamanoDeTanda);
    QVERIFY(std::is_sorted(banco.avances.cbegin(), banco.avances.cend()));
    QCOMPARE(banco.avances.last(), cadena.size());
    banco.puerto.VaciarTodo();
    QTRY_VERIFY(!banco.transmisor.Ocupado());
}

void PruebaTransmisor::falloAlAbrirSeAvisaUnaVez()
{
    Banco banco;
    banco.puerto.FallarAlAbrir(u"No existe el dispositivo /dev/ttyS3"_s);
    QVERIFY(!banco.transmisor.Mandar(ArmarTrama("Hola", 0)));
    // Reported before Mandar() returns, and only once.
    const QStringList esperado{u"Fallo No existe el dispositivo /dev/ttyS3"_s, u"Desocupado"_s};
    QCOMPARE(banco.lineas, esperado);
    QVERIFY(banco.puerto.Escrito().isEmpty());
    QVERIFY(!banco.transmisor.Ocupado());
    QTest::qWait(50);
    QCOMPARE(banco.lineas, esperado);

    // Each call tries again.
    banco.puerto.FallarAlAbrir({});
    QVERIFY(banco.transmisor.Mandar(ArmarTrama("Hola", 0)));
    QCOMPARE(banco.puerto.Escrito(), ArmarTrama("Hola", 0));
}

void PruebaTransmisor::falloAlAbrirEnColaSoloParaEsaLlamada()
{
    Banco banco(true);
    const QByteArray a = ArmarTrama("a", 1);
    const QByteArray c = ArmarTrama("c", 3);
    QVERIFY(banco.transmisor.Mandar(a));
    QVERIFY(banco.transmisor.Mandar(ArmarTrama("b", 2)));
    QVERIFY(banco.transmisor.Mandar(c));

    // The port is lost and replaced between strings: b finds it unopenable,
    // and by c's turn it is back.
    banco.puerto.Cerrar();
    banco.puerto.FallarAlAbrir(u"Puerto en uso"_s);
    QByteArray escritoAlFallar;
    connect(&banco.transmisor, &Transmisor::Fallo, this, [&] {
        escritoAlFallar = banco.puerto.Escrito();
        banco.puerto.FallarAlAbrir({});
    });
    banco.puerto.VaciarTodo();
    QTRY_COMPARE(banco.Contar(u"Fallo"_s), 1);
    QCOMPARE(banco.lineas.filter(u"Fallo"_s), QStringList{u"Fallo Puerto en uso"_s});
    QCOMPARE(escritoAlFallar, a);
    QTRY_COMPARE(banco.puerto.Escrito(), QByteArray(a + c));
    banco.puerto.VaciarTodo();
    QTRY_VERIFY(!banco.transmisor.Ocupado());
    QCOMPARE(banco.Contar(u"Fallo"_s), 1);
    QCOMPARE(banco.Contar(u"Comenzada"_s), 2);
    QCOMPARE(banco.Contar(u"Desocupado"_s), 1);
}

void PruebaTransmisor::falloDescartaTodoYReabre_data()
{
    QTest::addColumn<bool>("rechazo");
    QTest::addColumn<QString>("descripcion");
    // The port refuses the bytes but stays open: the engine must close it.
    QTest::newRow("escritura rechazada") << true << u"El puerto no aceptó los datos"_s;
    // The device is gone and the port closed itself.
    QTest::newRow("falla del puerto") << false << u"Se perdió la comunicación"_s;
}

void PruebaTransmisor::falloDescartaTodoYReabre()
{
    QFETCH(bool, rechazo);
    QFETCH(QString, descripcion);
    Banco banco(true, 20ms);
    QVERIFY(banco.transmisor.Mandar(ArmarMensajeDeDirecciones()));
    QVERIFY(banco.transmisor.Mandar(ArmarTrama("en cola", 4)));
    QCOMPARE(banco.puerto.Escrito().size(), 12);
    if (rechazo)
        banco.puerto.FallarAlEscribir(descripcion);
    banco.puerto.VaciarTodo();
    if (!rechazo) {
        QTRY_VERIFY(banco.puerto.Escrito().size() > 12);
        banco.puerto.ProvocarFalla(descripcion);
    }
    QTRY_COMPARE(banco.Contar(u"Fallo"_s), 1);
    QCOMPARE(banco.lineas.filter(u"Fallo"_s), QStringList{u"Fallo "_s + descripcion});
    QCOMPARE(banco.lineas.last(), u"Desocupado"_s);
    QVERIFY(!banco.transmisor.Ocupado());
    QVERIFY(!banco.puerto.Abierto());
    QVERIFY(!banco.Timer1()->isActive());

    // Nothing of the rest, nor of the queue, goes out later.
    const qsizetype escritos = banco.puerto.Escrito().size();
    banco.puerto.VaciarTodo();
    QTest::qWait(100);
    QCOMPARE(banco.puerto.Escrito().size(), escritos);
    QCOMPARE(banco.Contar(u"Fallo"_s), 1);
    QCOMPARE(banco.Contar(u"Escrita"_s), 0);

    // The next string opens the port afresh.
    QVERIFY(banco.transmisor.Mandar(ArmarTrama("otra", 9)));
    QCOMPARE(banco.puerto.Aperturas(), 2);
    QCOMPARE(banco.puerto.Escrito().mid(escritos), ArmarTrama("otra", 9));
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
    Banco banco(true);
    banco.transmisor.PonerPlazoSinAvance(150ms);
    QVERIFY(banco.transmisor.Mandar(cadena));
    QVERIFY(banco.transmisor.Mandar(ArmarTrama("en cola", 4)));
    QTRY_COMPARE_WITH_TIMEOUT(banco.Contar(u"Fallo"_s), 1, 3000);
    const QString fallo = banco.lineas.filter(u"Fallo"_s).first();
    QVERIFY2(fallo.contains(u"Com1"_s) && fallo.contains(u"150 ms"_s), qPrintable(fallo));
    QVERIFY(!banco.puerto.Abierto());
    QCOMPARE(banco.puerto.Cierres(), 1);
    QVERIFY(!banco.transmisor.Ocupado());
    QCOMPARE(banco.lineas.last(), u"Desocupado"_s);
    QCOMPARE(banco.puerto.Escrito().size(), escritos);
    QTest::qWait(300);
    QCOMPARE(banco.Contar(u"Fallo"_s), 1);
}

void PruebaTransmisor::lineaLentaNoEsDetenida()
{
    Banco banco(true);
    banco.transmisor.PonerPlazoSinAvance(150ms);
    // A few bytes leave at a time, while the engine keeps the queue topped up:
    // the count of pending bytes hardly moves, but the line does.
    QTimer linea;
    connect(&linea, &QTimer::timeout, &banco.puerto, [&] { banco.puerto.Vaciar(8); });
    linea.start(20);
    const QByteArray cadena(400, 'x');
    QVERIFY(banco.transmisor.Mandar(cadena));
    QTRY_VERIFY_WITH_TIMEOUT(!banco.transmisor.Ocupado(), 10000);
    QCOMPARE(banco.Contar(u"Fallo"_s), 0);
    QCOMPARE(banco.puerto.Escrito(), cadena);
}

void PruebaTransmisor::mandarDesdeEscrita()
{
    Banco banco(true);
    const QByteArray primera = ArmarTrama("1", 1);
    const QByteArray segunda = ArmarTrama("2", 2);
    bool mandada = false;
    connect(&banco.transmisor, &Transmisor::Escrita, this, [&] {
        if (!std::exchange(mandada, true))
            QVERIFY(banco.transmisor.Mandar(segunda));
    });
    QVERIFY(banco.transmisor.Mandar(primera));
    QCOMPARE(banco.puerto.Escrito(), primera);
    banco.puerto.VaciarTodo();
    QTRY_COMPARE(banco.puerto.Escrito(), QByteArray(primera + segunda));
    banco.puerto.VaciarTodo();
    QTRY_VERIFY(!banco.transmisor.Ocupado());
    QCOMPARE(banco.Contar(u"Escrita"_s), 2);
    QCOMPARE(banco.Contar(u"Desocupado"_s), 1);
}

void PruebaTransmisor::posicionesMasAllaDe32767()
{
    Banco banco(false, 5ms);
    QByteArray cadena(40000, 'z');
    cadena[35000] = Pausa.front();
    cadena[39999] = Pausa.front();
    QVERIFY(banco.transmisor.Mandar(cadena));
    QCOMPARE(banco.puerto.Escrito().size(), 35001);
    QVERIFY(banco.Timer1()->isActive());
    QTRY_VERIFY(!banco.transmisor.Ocupado());
    QCOMPARE(banco.puerto.Escrito(), cadena);
    QCOMPARE(banco.avances.last(), 40000);
}

QTEST_GUILESS_MAIN(PruebaTransmisor)
#include "prueba_transmisor.moc"
