#include "link/lineadecarteles.h"
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

const QByteArray Pausa(1, static_cast<char>(ByteFinDeTrama));

// A transmitter on a port in memory, with every signal it emits as one line,
// in the order emitted.
class Banco : public QObject
{
public:
    // A `pausa` of 0 leaves the transmitter's own interval.
    explicit Banco(bool vaciadoManual = false, std::chrono::milliseconds pausa = 0ms)
    {
        puerto.PonerVaciadoManual(vaciadoManual);
        if (pausa > 0ms)
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

    QTimer *Pausa() const { return transmisor.findChild<QTimer *>(u"Pausa"_s); }

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
    void pausaDeUnTransmisorNuevo();
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
    void mandarDesdeAvance();
    void mandarDesdeFallo();
    void posicionesMasAllaDe32767();
    void contarTramas_data();
    void contarTramas();
    void cancelacionCuentaLasTramas_data();
    void cancelacionCuentaLasTramas();
    void cancelacionVaAntesDelDetalle_data();
    void cancelacionVaAntesDelDetalle();
    void dispositivoCambiadoSeReabreAntesDeEscribir();
    void tramaEnCurso_data();
    void tramaEnCurso();
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
    QCOMPARE(banco.Pausa()->interval(), 30);
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
        QCOMPARE(banco.Pausa()->isActive(), !ultimo);
    }
    QCOMPARE(banco.lineas.first(), u"Comenzada %1"_s.arg(cadena.size()));
    QCOMPARE(banco.lineas.mid(banco.lineas.size() - 2), (QStringList{u"Escrita"_s, u"Desocupado"_s}));
    QVERIFY(std::is_sorted(banco.avances.cbegin(), banco.avances.cend()));
    QTest::qWait(2 * intervalo.count());
    QCOMPARE(banco.puerto.Escrito(), cadena);
}

// The address display's frames, as the window and cartel-enviar hand them to
// a transmitter they never give an interval: 100 ms after each, asked of a
// precise timer (what the scheduler then makes of it is not the program's).
void PruebaTransmisor::pausaDeUnTransmisorNuevo()
{
    Banco banco;
    QSignalSpy pausas(&banco.transmisor, &Transmisor::PausaComenzada);
    const QByteArray direcciones = ArmarMensajeDeDirecciones();
    QVERIFY(banco.transmisor.Mandar(direcciones.first(24)));
    QCOMPARE(banco.puerto.Escrito(), direcciones.first(12));
    QCOMPARE(pausas.size(), 1);
    QCOMPARE(pausas.at(0).at(0).toInt(), 100);
    QTRY_COMPARE(banco.puerto.Escrito(), direcciones.first(24));
}

void PruebaTransmisor::laPausaEmpiezaAlVaciarse()
{
    Banco banco(true, 20ms);
    const QByteArray antes("ab" + Pausa);
    QVERIFY(banco.transmisor.Mandar(antes + "cd"));
    QCOMPARE(banco.puerto.Escrito(), antes);
    // Bytes still on their way: the pause has not begun.
    QTest::qWait(80);
    QVERIFY(!banco.Pausa()->isActive());
    QCOMPARE(banco.puerto.Escrito(), antes);

    banco.puerto.Vaciar(1);
    QTest::qWait(40);
    QVERIFY(!banco.Pausa()->isActive());
    banco.puerto.VaciarTodo();
    QTRY_VERIFY(banco.Pausa()->isActive());
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
    // The first address frame had left; the other 100 and the queued one not.
    QCOMPARE(banco.lineas.filter(u"Fallo"_s),
             QStringList{u"Fallo "_s + descripcion
                         + u"\n\nSe canceló la transmisión: no salieron 101 de sus 102 tramas."_s});
    QCOMPARE(banco.lineas.last(), u"Desocupado"_s);
    QVERIFY(!banco.transmisor.Ocupado());
    QVERIFY(!banco.puerto.Abierto());
    QVERIFY(!banco.Pausa()->isActive());

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
    QTest::addColumn<QString>("cancelacion"); // with the queued frame
    QTest::newRow("esperando lugar") << QByteArray(400, 'x') << qsizetype(Transmisor::MarcaDePendientes)
                                     << u"no salieron 2 de sus 2 tramas"_s;
    QTest::newRow("esperando la pausa") << ArmarMensajeDeDirecciones() << qsizetype(12)
                                        << u"no salieron 102 de sus 102 tramas"_s;
    QTest::newRow("esperando el final") << ArmarTrama("Hola", 5) << qsizetype(14)
                                        << u"no salieron 2 de sus 2 tramas"_s;
}

void PruebaTransmisor::lineaDetenida()
{
    QFETCH(QByteArray, cadena);
    QFETCH(qsizetype, escritos);
    QFETCH(QString, cancelacion);
    Banco banco(true);
    banco.transmisor.PonerPlazoSinAvance(150ms);
    QVERIFY(banco.transmisor.Mandar(cadena));
    QVERIFY(banco.transmisor.Mandar(ArmarTrama("en cola", 4)));
    QTRY_COMPARE_WITH_TIMEOUT(banco.Contar(u"Fallo"_s), 1, 3000);
    const QString fallo = banco.lineas.filter(u"Fallo"_s).first();
    QVERIFY2(fallo.contains(u"Com1"_s) && fallo.contains(u"150 ms"_s), qPrintable(fallo));
    QVERIFY2(fallo.endsWith(u"\n\nSe canceló la transmisión: "_s + cancelacion + u"."_s), qPrintable(fallo));
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

// A receiver of the progress may send again: the new string waits for the
// one under way, which is neither cut nor mixed with it.
void PruebaTransmisor::mandarDesdeAvance()
{
    Banco banco(true);
    const QByteArray primera = ArmarTrama(QByteArray(300, 'a'), 1);
    const QByteArray segunda = ArmarTrama("2", 2);
    bool mandada = false;
    connect(&banco.transmisor, &Transmisor::Avance, this, [&] {
        if (!std::exchange(mandada, true))
            QVERIFY(banco.transmisor.Mandar(segunda));
    });
    QVERIFY(banco.transmisor.Mandar(primera));
    QVERIFY(mandada);
    while (banco.transmisor.Ocupado()) {
        banco.puerto.VaciarTodo();
        QTest::qWait(1);
    }
    QCOMPARE(banco.puerto.Escrito(), QByteArray(primera + segunda));
    QCOMPARE(banco.Contar(u"Comenzada"_s), 2);
    QCOMPARE(banco.Contar(u"Escrita"_s), 2);
    QCOMPARE(banco.Contar(u"Desocupado"_s), 1);
    QCOMPARE(banco.Contar(u"Fallo"_s), 0);
    QCOMPARE(banco.lineas.constLast(), u"Desocupado"_s);
}

// A receiver of a failure may send again at once: the failed string stays
// dropped, and the new one opens the port afresh and goes out whole.
void PruebaTransmisor::mandarDesdeFallo()
{
    Banco banco(true);
    const QByteArray primera = ArmarTrama(QByteArray(300, 'a'), 1);
    const QByteArray segunda = ArmarTrama("2", 2);
    int fallos = 0;
    connect(&banco.transmisor, &Transmisor::Fallo, this, [&] {
        if (++fallos == 1) {
            QVERIFY(!banco.transmisor.Ocupado());
            QVERIFY(banco.transmisor.Mandar(segunda));
        }
    });
    QVERIFY(banco.transmisor.Mandar(primera));
    const qsizetype antes = banco.puerto.Escrito().size();
    QVERIFY(antes > 0 && antes < primera.size());
    banco.puerto.ProvocarFalla(u"Se desconectó"_s);
    QCOMPARE(fallos, 1);
    while (banco.transmisor.Ocupado()) {
        banco.puerto.VaciarTodo();
        QTest::qWait(1);
    }
    QCOMPARE(fallos, 1);
    QCOMPARE(banco.puerto.Escrito(), QByteArray(primera.left(antes) + segunda));
    QCOMPARE(banco.puerto.Aperturas(), 2);
    QCOMPARE(banco.lineas.constLast(), u"Desocupado"_s);
}

void PruebaTransmisor::posicionesMasAllaDe32767()
{
    Banco banco(false, 5ms);
    QByteArray cadena(40000, 'z');
    cadena[35000] = Pausa.front();
    cadena[39999] = Pausa.front();
    QVERIFY(banco.transmisor.Mandar(cadena));
    QCOMPARE(banco.puerto.Escrito().size(), 35001);
    QVERIFY(banco.Pausa()->isActive());
    QTRY_VERIFY(!banco.transmisor.Ocupado());
    QCOMPARE(banco.puerto.Escrito(), cadena);
    QCOMPARE(banco.avances.last(), 40000);
}

void PruebaTransmisor::contarTramas_data()
{
    QTest::addColumn<QByteArray>("cadena");
    QTest::addColumn<qsizetype>("desde");
    QTest::addColumn<qsizetype>("tramas");

    const QByteArray direcciones = ArmarMensajeDeDirecciones();
    QTest::newRow("vacía") << QByteArray() << qsizetype(0) << qsizetype(0);
    QTest::newRow("una trama") << ArmarTrama("Hola", 5) << qsizetype(0) << qsizetype(1);
    QTest::newRow("desde su último byte") << ArmarTrama("Hola", 5) << qsizetype(13) << qsizetype(1);
    QTest::newRow("pasada entera") << ArmarTrama("Hola", 5) << qsizetype(14) << qsizetype(0);
    QTest::newRow("a todos") << ArmarTrama("Hola", 0) << qsizetype(0) << qsizetype(1);
    // Its address byte is a 200 that does not end the frame.
    QTest::newRow("dirección 200") << ArmarTrama("x", 200) << qsizetype(0) << qsizetype(1);
    QTest::newRow("dirección 200 tras la pausa") << ArmarTrama("x", 200) << qsizetype(2) << qsizetype(1);
    QTest::newRow("direcciones") << direcciones << qsizetype(0) << qsizetype(101);
    QTest::newRow("direcciones tras la primera") << direcciones << qsizetype(12) << qsizetype(100);
    QTest::newRow("direcciones en la última") << direcciones << qsizetype(1290) << qsizetype(1);
    QTest::newRow("bytes sin trama") << QByteArray(400, 'x') << qsizetype(0) << qsizetype(1);
    QTest::newRow("200 sueltos") << QByteArray("a" + Pausa + Pausa + "b") << qsizetype(0) << qsizetype(3);
    QTest::newRow("cabecera 202 al final") << QByteArray("\xCA") << qsizetype(0) << qsizetype(1);
}

void PruebaTransmisor::contarTramas()
{
    QFETCH(QByteArray, cadena);
    QFETCH(qsizetype, desde);
    QFETCH(qsizetype, tramas);
    // Frames that end at `desde` or later.
    const QList<qsizetype> fines = Transmisor::FinesDeTrama(cadena);
    QVERIFY(std::is_sorted(fines.cbegin(), fines.cend()));
    QCOMPARE(std::count_if(fines.cbegin(), fines.cend(), [desde](qsizetype fin) { return fin >= desde; }), tramas);
}

void PruebaTransmisor::cancelacionCuentaLasTramas_data()
{
    QTest::addColumn<QList<QByteArray>>("cadenas");
    // Pause points drained, each letting the next stretch be written, before
    // the device is lost.
    QTest::addColumn<int>("vaciados");
    QTest::addColumn<QString>("cancelacion");

    const QByteArray direcciones = ArmarMensajeDeDirecciones();
    QTest::newRow("una trama") << QList<QByteArray>{ArmarTrama("Hola", 5)} << 0
                               << u"su única trama no salió"_s;
    // Written whole but not yet drained: it may not have reached the sign.
    QTest::newRow("direcciones, la primera sin vaciar") << QList<QByteArray>{direcciones} << 0
                                                        << u"no salieron 101 de sus 101 tramas"_s;
    QTest::newRow("direcciones, tras la primera pausa") << QList<QByteArray>{direcciones} << 1
                                                        << u"no salieron 100 de sus 101 tramas"_s;
    QTest::newRow("direcciones, tras tres pausas") << QList<QByteArray>{direcciones} << 3
                                                   << u"no salieron 98 de sus 101 tramas"_s;
    QTest::newRow("la última de dos") << QList<QByteArray>{ArmarTrama("uno", 1) + ArmarTrama("dos", 2)} << 1
                                      << u"no salió 1 de sus 2 tramas"_s;
    QTest::newRow("tres destinos") << QList<QByteArray>{ArmarTrama("a", 1), ArmarTrama("a", 2), ArmarTrama("a", 3)}
                                   << 0 << u"no salieron 3 de sus 3 tramas"_s;
    // Lost during a later destination: the count is the whole send's.
    QTest::newRow("tres destinos, la primera salida")
        << QList<QByteArray>{ArmarTrama("a", 1), ArmarTrama("a", 2), ArmarTrama("a", 3)} << 1
        << u"no salieron 2 de sus 3 tramas"_s;
    QTest::newRow("dos destinos, la primera salida") << QList<QByteArray>{ArmarTrama("a", 1), ArmarTrama("a", 2)}
                                                     << 1 << u"no salió 1 de sus 2 tramas"_s;
    QTest::newRow("dirección 200 tras su pausa") << QList<QByteArray>{ArmarTrama("x", 200)} << 1
                                                 << u"su única trama no salió"_s;
    QTest::newRow("direcciones y una en cola") << QList<QByteArray>{direcciones, ArmarTrama("b", 9)} << 2
                                               << u"no salieron 100 de sus 102 tramas"_s;
}

void PruebaTransmisor::cancelacionCuentaLasTramas()
{
    QFETCH(QList<QByteArray>, cadenas);
    QFETCH(int, vaciados);
    QFETCH(QString, cancelacion);

    Banco banco(true, 5ms);
    for (const QByteArray &cadena : cadenas)
        QVERIFY(banco.transmisor.Mandar(cadena));
    for (int vez = 0; vez < vaciados; ++vez) {
        const qsizetype antes = banco.puerto.Escrito().size();
        banco.puerto.VaciarTodo();
        QTRY_VERIFY(banco.puerto.Escrito().size() > antes);
    }
    banco.puerto.ProvocarFalla(u"Se perdió la comunicación con el puerto Com1."_s);
    QCOMPARE(banco.lineas.filter(u"Fallo"_s),
             QStringList{u"Fallo Se perdió la comunicación con el puerto Com1.\n\nSe canceló la transmisión: "_s
                         + cancelacion + u"."_s});
    QVERIFY(!banco.transmisor.Ocupado());
}

void PruebaTransmisor::cancelacionVaAntesDelDetalle_data()
{
    QTest::addColumn<QString>("falla");
    QTest::addColumn<QString>("aviso");

    const QString cancelacion = u"Se canceló la transmisión: su única trama no salió."_s;
    QTest::newRow("con detalle") << u"Se perdió la comunicación.\n\nDetalle del sistema: Input/output error"_s
                                 << u"Se perdió la comunicación.\n\nSe canceló la transmisión: su única trama no "
                                    u"salió.\n\nDetalle del sistema: Input/output error"_s;
    QTest::newRow("sin detalle") << u"Se perdió la comunicación."_s
                                 << u"Se perdió la comunicación.\n\n"_s + cancelacion;
    // A paragraph of the port's own is not the system's detail.
    QTest::newRow("dos párrafos sin detalle") << u"Se perdió la comunicación.\n\nRevise el cable."_s
                                              << u"Se perdió la comunicación.\n\nRevise el cable.\n\n"_s + cancelacion;
    QTest::newRow("dos párrafos y el detalle")
        << u"Se perdió la comunicación.\n\nRevise el cable.\n\nDetalle del sistema: Input/output error"_s
        << u"Se perdió la comunicación.\n\nRevise el cable.\n\n"_s + cancelacion
               + u"\n\nDetalle del sistema: Input/output error"_s;
}

void PruebaTransmisor::cancelacionVaAntesDelDetalle()
{
    QFETCH(QString, falla);
    QFETCH(QString, aviso);

    Banco banco(true);
    QVERIFY(banco.transmisor.Mandar(ArmarTrama("Hola", 5)));
    banco.puerto.ProvocarFalla(falla);
    QCOMPARE(banco.lineas.filter(u"Fallo"_s), QStringList{u"Fallo "_s + aviso});
}

void PruebaTransmisor::dispositivoCambiadoSeReabreAntesDeEscribir()
{
    Banco banco(true);
    const QByteArray primera = ArmarTrama("uno", 1);
    const QByteArray segunda = ArmarTrama("dos", 2);
    const QByteArray tercera = ArmarTrama("tres", 3);
    QVERIFY(banco.transmisor.Mandar(primera));
    banco.puerto.VaciarTodo();
    QTRY_VERIFY(!banco.transmisor.Ocupado());

    // Replugged while idle: the next string opens the port again before its
    // first byte, and no failure is told.
    QList<int> aperturasAlComenzar;
    QList<qsizetype> escritosAlComenzar;
    connect(&banco.transmisor, &Transmisor::Comenzada, this, [&] {
        aperturasAlComenzar.append(banco.puerto.Aperturas());
        escritosAlComenzar.append(banco.puerto.Escrito().size());
    });
    banco.puerto.CambiarDispositivo();
    QVERIFY(banco.transmisor.Mandar(segunda));
    QVERIFY(banco.transmisor.Mandar(tercera));
    QCOMPARE(aperturasAlComenzar, QList<int>{2});
    QCOMPARE(banco.puerto.Cierres(), 1);

    // Changed again while the second drains: the queued third is written
    // only after one more reopening.
    banco.puerto.CambiarDispositivo();
    banco.puerto.VaciarTodo();
    QTRY_COMPARE(banco.puerto.Escrito(), QByteArray(primera + segunda + tercera));
    banco.puerto.VaciarTodo();
    QTRY_VERIFY(!banco.transmisor.Ocupado());
    QCOMPARE(aperturasAlComenzar, (QList<int>{2, 3}));
    QCOMPARE(escritosAlComenzar, (QList<qsizetype>{primera.size(), primera.size() + segunda.size()}));
    QCOMPARE(banco.puerto.Cierres(), 2);
    QCOMPARE(banco.Contar(u"Fallo"_s), 0);
}

void PruebaTransmisor::tramaEnCurso_data()
{
    QTest::addColumn<QList<QByteArray>>("cadenas");
    // The port is gone when the first string has been written, and back
    // once that failure has been told: the second finds it unopenable.
    QTest::addColumn<bool>("segundaNoAbre");
    // The device is lost right after the strings are given.
    QTest::addColumn<bool>("perderPuerto");
    // Every TramaEnCurso, as "trama/de".
    QTest::addColumn<QStringList>("figuras");

    // 110 bytes each: the port takes 64, then the rest.
    const QByteArray a = ArmarTrama(QByteArray(100, 'a'), 1);
    const QByteArray b = ArmarTrama(QByteArray(100, 'b'), 2);
    const QByteArray c = ArmarTrama(QByteArray(100, 'c'), 3);
    QTest::newRow("una trama") << QList<QByteArray>{a} << false << false << QStringList{u"1/1"_s, u"0/0"_s};
    // A frame handed whole to the port is still under way until it drains.
    QTest::newRow("tres destinos") << QList<QByteArray>{a, b, c} << false << false
                                   << QStringList{u"1/1"_s, u"1/2"_s, u"1/3"_s, u"2/3"_s, u"3/3"_s, u"0/0"_s};
    // The second string's frames leave the count; the third's are told.
    QTest::newRow("la segunda no abre") << QList<QByteArray>{a, b, c} << true << false
                                        << QStringList{u"1/1"_s, u"1/2"_s, u"1/3"_s, u"2/2"_s, u"0/0"_s};
    QTest::newRow("direcciones") << QList<QByteArray>{ArmarMensajeDeDirecciones()} << false << true
                                 << QStringList{u"1/101"_s, u"0/0"_s};
    QTest::newRow("dos en una cadena") << QList<QByteArray>{a + b} << false << false
                                       << QStringList{u"1/2"_s, u"2/2"_s, u"0/0"_s};
    QTest::newRow("vacía") << QList<QByteArray>{QByteArray()} << false << false << QStringList();
}

void PruebaTransmisor::tramaEnCurso()
{
    QFETCH(QList<QByteArray>, cadenas);
    QFETCH(bool, segundaNoAbre);
    QFETCH(bool, perderPuerto);
    QFETCH(QStringList, figuras);

    Banco banco(true, 5ms);
    QStringList dichas;
    connect(&banco.transmisor, &Transmisor::TramaEnCurso, this,
            [&](int trama, int de) { dichas.append(u"%1/%2"_s.arg(trama).arg(de)); });
    connect(&banco.transmisor, &Transmisor::Fallo, this, [&] { banco.puerto.FallarAlAbrir({}); });
    for (const QByteArray &cadena : std::as_const(cadenas))
        QVERIFY(banco.transmisor.Mandar(cadena));
    if (segundaNoAbre) {
        banco.puerto.Cerrar();
        banco.puerto.FallarAlAbrir(u"Puerto en uso"_s);
    }
    if (perderPuerto)
        banco.puerto.ProvocarFalla(u"Se perdió la comunicación"_s);
    for (int vez = 0; vez < 1000 && banco.transmisor.Ocupado(); ++vez) {
        banco.puerto.VaciarTodo();
        QTest::qWait(1);
    }
    QVERIFY(!banco.transmisor.Ocupado());
    QCOMPARE(dichas, figuras);
    QCOMPARE(banco.Contar(u"Fallo"_s), (segundaNoAbre || perderPuerto) ? 1 : 0);
}

QTEST_GUILESS_MAIN(PruebaTransmisor)
#include "prueba_transmisor.moc"
