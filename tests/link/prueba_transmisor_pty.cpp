#include "apoyo/pseudoterminal.h"
#include "link/trama.h"
#include "link/transmisor.h"
#include "platform/puertoserieqt.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

namespace {

constexpr auto Intervalo = 20ms;

// Positions of the pause points of a transmission string: every byte 200 but
// a last one.
QList<qsizetype> PuntosDePausa(const QByteArray &cadena)
{
    QList<qsizetype> puntos;
    for (qsizetype indice = 0; indice + 1 < cadena.size(); ++indice) {
        if (static_cast<quint8>(cadena.at(indice)) == ByteFinDeTrama)
            puntos.append(indice);
    }
    return puntos;
}

// Each pause as the program asks for it: how far apart the far end's reads
// are depends on the scheduler, not on the program (the line's silences are
// measured in bench/).
struct PausasPedidas : QObject
{
    PausasPedidas(Transmisor &transmisor, const PuertoSerie &puerto)
    {
        connect(&transmisor, &Transmisor::Avance, this, [this](qint64 entregados, qint64) { m_entregados = entregados; });
        connect(&transmisor, &Transmisor::PausaComenzada, this, [this, &puerto](int milisegundos) {
            anotadas.append(Anotar(milisegundos, puerto.Pendientes(), m_entregados));
        });
    }
    static QString Anotar(int milisegundos, qint64 enElPuerto, qint64 entregados)
    {
        return u"%1 ms con %2 bytes en el puerto tras el %3"_s.arg(milisegundos).arg(enElPuerto).arg(entregados);
    }
    // One per pause point, once the port has sent all before it.
    static QStringList Esperadas(const QList<qsizetype> &puntos)
    {
        QStringList esperadas;
        for (const qsizetype punto : puntos)
            esperadas.append(Anotar(Intervalo.count(), 0, punto + 1));
        return esperadas;
    }
    QStringList anotadas;
    qint64 m_entregados = 0;
};

// The description of the first failure a spy on Transmisor::Fallo caught.
QString Descripcion(const QSignalSpy &fallos)
{
    return fallos.isEmpty() ? QString() : fallos.first().first().toString();
}

} // namespace

class PruebaTransmisorPty : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void bytesExactos_data();
    void bytesExactos();
    void mensajeDeDirecciones();
    void cadenaEnColaTrasLaPausa();
    void cerrarElMaestroDuranteLaTransmision();
    void puertoQueNoAbreNoEscribe_data();
    void puertoQueNoAbreNoEscribe();
    void lineaQueNoLeeSeDaPorDetenida();
    void desconexionEnReposo();
    void enlaceANuevoDispositivo();

private:
    QTemporaryDir m_carpeta;
    QString m_carpetaAnterior;
    std::unique_ptr<PseudoTerminal> m_linea;
    std::unique_ptr<PuertoSerieQt> m_puerto;
    std::unique_ptr<Transmisor> m_transmisor;
};

void PruebaTransmisorPty::init()
{
    QVERIFY(m_carpeta.isValid());
    m_carpetaAnterior = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_carpeta.path()));
    m_linea = std::make_unique<PseudoTerminal>();
    QVERIFY2(m_linea->Valida(), qPrintable(m_linea->Error()));
    // Reached the way an operator's port is: ./com1 in the working directory.
    QVERIFY(m_linea->CrearEnlace(QDir::current(), 1));
    m_puerto = std::make_unique<PuertoSerieQt>();
    m_transmisor = std::make_unique<Transmisor>(*m_puerto);
    m_transmisor->PonerIntervaloDePausa(Intervalo);
}

void PruebaTransmisorPty::cleanup()
{
    m_transmisor.reset();
    m_puerto.reset();
    m_linea.reset();
    QDir::setCurrent(m_carpetaAnterior);
}

void PruebaTransmisorPty::bytesExactos_data()
{
    QTest::addColumn<int>("destino");
    QTest::addColumn<QByteArray>("esperado");
    QTest::addColumn<qsizetype>("pausaTras"); // index of a pause point; -1: none

    QTest::newRow("todos") << 0 << QByteArray("\xC9" "222222 Hola\xC8") << qsizetype(-1);
    QTest::newRow("5") << 5 << QByteArray("\xCA\x05" "222222 Hola\xC8") << qsizetype(-1);
    QTest::newRow("200") << 200 << QByteArray("\xCA\xC8" "222222 Hola\xC8") << qsizetype(1);
    QTest::newRow("201") << 201 << QByteArray("\xCA\xC9" "222222 Hola\xC8") << qsizetype(-1);
}

void PruebaTransmisorPty::bytesExactos()
{
    QFETCH(int, destino);
    QFETCH(QByteArray, esperado);
    QFETCH(qsizetype, pausaTras);

    QSignalSpy desocupado(m_transmisor.get(), &Transmisor::Desocupado);
    QSignalSpy fallos(m_transmisor.get(), &Transmisor::Fallo);
    PausasPedidas pausas(*m_transmisor, *m_puerto);
    QVERIFY(m_transmisor->Mandar(ArmarTrama("Hola", static_cast<quint8>(destino))));
    QVERIFY(m_linea->EsperarBytes(esperado.size(), 5000));
    QTRY_COMPARE(desocupado.size(), 1);
    QCOMPARE(m_linea->Recibido(), esperado);
    QCOMPARE(fallos.size(), 0);
    QCOMPARE(pausas.anotadas, PausasPedidas::Esperadas(pausaTras >= 0 ? QList<qsizetype>{pausaTras} : QList<qsizetype>()));
}

void PruebaTransmisorPty::mensajeDeDirecciones()
{
    QSignalSpy escrita(m_transmisor.get(), &Transmisor::Escrita);
    QSignalSpy desocupado(m_transmisor.get(), &Transmisor::Desocupado);
    QSignalSpy avance(m_transmisor.get(), &Transmisor::Avance);
    PausasPedidas pausas(*m_transmisor, *m_puerto);
    const QByteArray cadena = ArmarMensajeDeDirecciones();

    QVERIFY(m_transmisor->Mandar(cadena));
    QVERIFY(m_linea->EsperarBytes(cadena.size(), 20000));
    QTRY_COMPARE(desocupado.size(), 1);
    QCOMPARE(m_linea->Recibido(), cadena);
    QCOMPARE(escrita.size(), 1);
    QCOMPARE(avance.last(), (QVariantList{qint64(1304), qint64(1304)}));

    // A pause after each of the first 100 frames.
    const QList<qsizetype> puntos = PuntosDePausa(cadena);
    QCOMPARE(puntos.size(), 100);
    QCOMPARE(pausas.anotadas, PausasPedidas::Esperadas(puntos));
}

void PruebaTransmisorPty::cadenaEnColaTrasLaPausa()
{
    QSignalSpy comenzada(m_transmisor.get(), &Transmisor::Comenzada);
    QSignalSpy desocupado(m_transmisor.get(), &Transmisor::Desocupado);
    const QByteArray direcciones = ArmarMensajeDeDirecciones();
    const QByteArray trama = ArmarTrama("En cola", 7);

    QVERIFY(m_transmisor->Mandar(direcciones));
    QVERIFY(m_linea->EsperarBytes(12, 5000));
    QVERIFY(m_transmisor->Ocupado());
    QVERIFY(m_transmisor->Mandar(trama));
    QCOMPARE(comenzada.size(), 1);

    QVERIFY(m_linea->EsperarBytes(direcciones.size() + trama.size(), 20000));
    QTRY_COMPARE(desocupado.size(), 1);
    QCOMPARE(m_linea->Recibido(), direcciones + trama);
    QCOMPARE(comenzada.size(), 2);
    QCOMPARE(comenzada.at(1).at(0).toLongLong(), trama.size());
}

void PruebaTransmisorPty::cerrarElMaestroDuranteLaTransmision()
{
    QSignalSpy fallos(m_transmisor.get(), &Transmisor::Fallo);
    QSignalSpy desocupado(m_transmisor.get(), &Transmisor::Desocupado);
    QVERIFY(m_transmisor->Mandar(ArmarMensajeDeDirecciones()));
    QVERIFY(m_transmisor->Mandar(ArmarTrama("en cola", 3)));
    QVERIFY(m_linea->EsperarBytes(100, 10000));

    m_linea->CerrarMaestro();
    QTRY_COMPARE_WITH_TIMEOUT(fallos.size(), 1, 5000);
    QVERIFY(!m_transmisor->Ocupado());
    QVERIFY(!m_puerto->Abierto());
    QCOMPARE(desocupado.size(), 1);
    const QString descripcion = Descripcion(fallos);
    QVERIFY2(descripcion.contains(u"com1"_s), qPrintable(descripcion));

    // Cancelled, with the frames that did not go out: never fewer than
    // those the far end did not get whole (every address frame ends in the
    // one byte 200 of its own).
    static const QRegularExpression cancelacion(u"Se canceló la transmisión: no salieron (\\d+) de sus 102 tramas\\."_s);
    const QRegularExpressionMatch encontrada = cancelacion.match(descripcion);
    QVERIFY2(encontrada.hasMatch(), qPrintable(descripcion));
    const qsizetype recibidas = m_linea->Recibido().count(static_cast<char>(ByteFinDeTrama));
    const int sinSalir = encontrada.captured(1).toInt();
    QVERIFY2(sinSalir >= 102 - recibidas && sinSalir <= 102,
             qPrintable(u"%1 de 102, %2 recibidas"_s.arg(sinSalir).arg(recibidas)));
    QTest::qWait(200);
    QCOMPARE(fallos.size(), 1);

    // The adapter is plugged in again; no restart needed.
    PseudoTerminal nueva;
    QVERIFY2(nueva.Valida(), qPrintable(nueva.Error()));
    QVERIFY(nueva.CrearEnlace(QDir::current(), 1));
    const QByteArray trama = ArmarTrama("de nuevo", 5);
    QVERIFY(m_transmisor->Mandar(trama));
    QVERIFY(nueva.EsperarBytes(trama.size(), 5000));
    QTRY_COMPARE(desocupado.size(), 2);
    QCOMPARE(nueva.Recibido(), trama);
    QCOMPARE(fallos.size(), 1);
}

void PruebaTransmisorPty::puertoQueNoAbreNoEscribe_data()
{
    QTest::addColumn<bool>("inservible");
    QTest::newRow("no es una terminal") << true;
    QTest::newRow("enlace roto") << false;
}

void PruebaTransmisorPty::puertoQueNoAbreNoEscribe()
{
    QFETCH(bool, inservible);
    QVERIFY(inservible ? PseudoTerminal::CrearPuertoInservible(QDir::current(), 2)
                       : PseudoTerminal::CrearEnlaceRoto(QDir::current(), 2));
    const QFile archivo(QDir::current().filePath(u"com2"_s));
    const qint64 tamano = archivo.size();
    QVERIFY(m_puerto->PonerNumero(2));

    QSignalSpy fallos(m_transmisor.get(), &Transmisor::Fallo);
    QSignalSpy comenzada(m_transmisor.get(), &Transmisor::Comenzada);
    QVERIFY(!m_transmisor->Mandar(ArmarTrama("Hola", 0)));
    QCOMPARE(fallos.size(), 1);
    QVERIFY2(Descripcion(fallos).contains(u"Com2"_s), qPrintable(Descripcion(fallos)));
    QCOMPARE(comenzada.size(), 0);
    QVERIFY(!m_transmisor->Ocupado());
    QTest::qWait(100);
    QCOMPARE(fallos.size(), 1);
    QCOMPARE(archivo.size(), tamano);
    QVERIFY(m_linea->Recibido().isEmpty());
}

void PruebaTransmisorPty::lineaQueNoLeeSeDaPorDetenida()
{
    m_transmisor->PonerPlazoSinAvance(300ms);
    QSignalSpy fallos(m_transmisor.get(), &Transmisor::Fallo);
    m_linea->PausarLectura(true);
    // More than the kernel's pseudo-terminal buffer holds.
    QVERIFY(m_transmisor->Mandar(QByteArray(256 * 1024, 'x')));
    QTRY_COMPARE_WITH_TIMEOUT(fallos.size(), 1, 20000);
    QVERIFY2(Descripcion(fallos).contains(u"no transmite"_s), qPrintable(Descripcion(fallos)));
    QVERIFY(!m_puerto->Abierto());
    QVERIFY(!m_transmisor->Ocupado());
}

void PruebaTransmisorPty::desconexionEnReposo()
{
    // Port 2, reached through ./com2 as the operator's would be.
    QVERIFY(m_linea->CrearEnlace(QDir::current(), 2));
    QVERIFY(m_puerto->PonerNumero(2));
    QSignalSpy fallos(m_transmisor.get(), &Transmisor::Fallo);
    QSignalSpy desocupado(m_transmisor.get(), &Transmisor::Desocupado);
    const QByteArray primera = ArmarTrama("antes", 1);
    QVERIFY(m_transmisor->Mandar(primera));
    QVERIFY(m_linea->EsperarBytes(primera.size(), 5000));
    QTRY_COMPARE(desocupado.size(), 1);

    // Unplugged and plugged in again while nothing was being sent.
    m_linea->CerrarMaestro();
    PseudoTerminal nueva;
    QVERIFY2(nueva.Valida(), qPrintable(nueva.Error()));
    QVERIFY(nueva.CrearEnlace(QDir::current(), 2));

    // The very first send after it goes out whole.
    const QByteArray segunda = ArmarTrama("después", 2);
    QVERIFY(m_transmisor->Mandar(segunda));
    QVERIFY(nueva.EsperarBytes(segunda.size(), 5000));
    QTRY_COMPARE(desocupado.size(), 2);
    QCOMPARE(nueva.Recibido(), segunda);
    QCOMPARE(fallos.size(), 0);
}

void PruebaTransmisorPty::enlaceANuevoDispositivo()
{
    QSignalSpy fallos(m_transmisor.get(), &Transmisor::Fallo);
    QSignalSpy desocupado(m_transmisor.get(), &Transmisor::Desocupado);
    const QByteArray primera = ArmarTrama("uno", 1);
    QVERIFY(m_transmisor->Mandar(primera));
    QVERIFY(m_linea->EsperarBytes(primera.size(), 5000));
    QTRY_COMPARE(desocupado.size(), 1);

    // ./com1 now names another device; the old one is still there.
    PseudoTerminal otra;
    QVERIFY2(otra.Valida(), qPrintable(otra.Error()));
    QVERIFY(otra.CrearEnlace(QDir::current(), 1));
    const QByteArray segunda = ArmarTrama("dos", 2);
    QVERIFY(m_transmisor->Mandar(segunda));
    QVERIFY(otra.EsperarBytes(segunda.size(), 5000));
    QTRY_COMPARE(desocupado.size(), 2);
    QTest::qWait(50);
    QCOMPARE(otra.Recibido(), segunda);
    QCOMPARE(m_linea->Recibido(), primera);
    QCOMPARE(m_puerto->DispositivoAbierto(), otra.RutaEsclavo());
    QCOMPARE(fallos.size(), 0);
}

QTEST_GUILESS_MAIN(PruebaTransmisorPty)
#include "prueba_transmisor_pty.moc"
