#include "link/trama.h"

#include <QTest>

#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray Bytes(std::initializer_list<int> valores)
{
    QByteArray bytes;
    for (const int valor : valores)
        bytes.append(static_cast<char>(valor));
    return bytes;
}

} // namespace

class PruebaTrama : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void trama_data();
    void trama();
    void mensajeDeDirecciones();
    void cadenaDeTramas_data();
    void cadenaDeTramas();
    void porcentaje_data();
    void porcentaje();
};

void PruebaTrama::trama_data()
{
    QTest::addColumn<QByteArray>("mensaje");
    QTest::addColumn<int>("destino");
    QTest::addColumn<QByteArray>("esperada");

    const QByteArray hola = "Hola";
    QTest::newRow("todos") << hola << 0 << QByteArray(Bytes({201}) + "222222 Hola" + Bytes({200}));
    QTest::newRow("dirección 5") << hola << 5 << QByteArray(Bytes({202, 5}) + "222222 Hola" + Bytes({200}));
    QTest::newRow("dirección 200") << hola << 200 << QByteArray(Bytes({202, 200}) + "222222 Hola" + Bytes({200}));
    QTest::newRow("dirección 201") << hola << 201 << QByteArray(Bytes({202, 201}) + "222222 Hola" + Bytes({200}));
    QTest::newRow("dirección 255") << hola << 255 << QByteArray(Bytes({202, 255}) + "222222 Hola" + Bytes({200}));
    QTest::newRow("mensaje vacío") << QByteArray() << 7 << QByteArray(Bytes({202, 7}) + "222222 " + Bytes({200}));
    // The message passes unchanged, bytes 0 and 200 included.
    QTest::newRow("bytes de control")
        << Bytes({0, 200, 145}) << 0 << QByteArray(Bytes({201}) + "222222 " + Bytes({0, 200, 145, 200}));
}

void PruebaTrama::trama()
{
    QFETCH(QByteArray, mensaje);
    QFETCH(int, destino);
    QFETCH(QByteArray, esperada);

    const QByteArray trama = ArmarTrama(mensaje, static_cast<quint8>(destino));
    QCOMPARE(trama, esperada);
    QCOMPARE(trama.size(), mensaje.size() + (destino == 0 ? 9 : 10));
}

void PruebaTrama::mensajeDeDirecciones()
{
    const QByteArray cadena = ArmarMensajeDeDirecciones();
    QCOMPARE(cadena.size(), 1304);
    QCOMPARE(cadena.count(static_cast<char>(ByteFinDeTrama)), 101);
    QVERIFY(cadena.startsWith(QByteArray(Bytes({202, 0}) + "222222  0" + Bytes({200}))));
    QVERIFY(cadena.endsWith(QByteArray(Bytes({202, 100}) + "222222  100" + Bytes({200}))));

    // Frame by frame: every one addressed (202, never 201), in order.
    qsizetype inicio = 0;
    for (int direccion = 0; direccion <= 100; ++direccion) {
        const qsizetype fin = cadena.indexOf(static_cast<char>(ByteFinDeTrama), inicio);
        QVERIFY(fin > inicio);
        const QByteArray esperada
            = Bytes({202, direccion}) + "222222  " + QByteArray::number(direccion) + Bytes({200});
        QCOMPARE(cadena.mid(inicio, fin + 1 - inicio), esperada);
        inicio = fin + 1;
    }
    QCOMPARE(inicio, cadena.size());
}

void PruebaTrama::cadenaDeTramas_data()
{
    QTest::addColumn<QByteArray>("cadena");
    QTest::addColumn<bool>("valida");

    const QByteArray hola = ArmarTrama("Hola", 0);
    QByteArray codigos;
    for (int b = 0; b < LimiteDeByteDeMensaje; ++b)
        codigos.append(static_cast<char>(b));
    QTest::newRow("una trama a todos") << hola << true;
    QTest::newRow("todos los bytes de un mensaje") << ArmarTrama(codigos, 3) << true;
    QTest::newRow("direcciones 200, 201 y 202")
        << QByteArray(ArmarTrama("a", 200) + ArmarTrama("b", 201) + ArmarTrama("c", 202)) << true;
    QTest::newRow("mensaje de direcciones") << ArmarMensajeDeDirecciones() << true;
    QTest::newRow("vacía") << QByteArray() << false;
    QTest::newRow("texto tras la trama") << QByteArray(hola + "x") << false;
    QTest::newRow("sin fin") << hola.chopped(1) << false;
    QTest::newRow("sin dirección ni campo") << QByteArray("\xCA") + "222222" << false;
    QTest::newRow("campo fijo distinto") << QByteArray("\xC9" "222223 Hola\xC8") << false;
    QTest::newRow("byte 146 en el mensaje") << ArmarTrama("a\x92" "b", 5) << false;
}

void PruebaTrama::cadenaDeTramas()
{
    QFETCH(QByteArray, cadena);
    QFETCH(bool, valida);
    QCOMPARE(EsCadenaDeTramas(cadena), valida);
}

void PruebaTrama::porcentaje_data()
{
    QTest::addColumn<qint64>("valor");
    QTest::addColumn<qint64>("maximo");
    QTest::addColumn<QString>("texto");

    QTest::newRow("nada") << qint64(0) << qint64(14) << u"% Completado"_s;
    QTest::newRow("redondea a 0") << qint64(1) << qint64(1304) << u"% Completado"_s;
    QTest::newRow("0,4975") << qint64(1) << qint64(201) << u"% Completado"_s;
    QTest::newRow("0,5 sube") << qint64(1) << qint64(200) << u"1% Completado"_s;
    QTest::newRow("12,5 sube") << qint64(1) << qint64(8) << u"13% Completado"_s;
    QTest::newRow("37,5 sube") << qint64(3) << qint64(8) << u"38% Completado"_s;
    QTest::newRow("7,14 baja") << qint64(1) << qint64(14) << u"7% Completado"_s;
    QTest::newRow("mitad") << qint64(652) << qint64(1304) << u"50% Completado"_s;
    QTest::newRow("99,46") << qint64(1297) << qint64(1304) << u"99% Completado"_s;
    QTest::newRow("completo") << qint64(1304) << qint64(1304) << u"100% Completado"_s;
    QTest::newRow("un byte") << qint64(1) << qint64(1) << u"100% Completado"_s;
    QTest::newRow("más allá de 32767") << qint64(50000) << qint64(100000) << u"50% Completado"_s;
    QTest::newRow("sin máximo") << qint64(0) << qint64(0) << u"% Completado"_s;
    // Counts at the edges of the type: the label stays between nothing and 100.
    constexpr qint64 tope = std::numeric_limits<qint64>::max();
    constexpr qint64 fondo = std::numeric_limits<qint64>::min();
    QTest::newRow("entregado enorme, uno en total") << tope << qint64(1) << u"100% Completado"_s;
    QTest::newRow("más entregado que el total") << qint64(15) << qint64(14) << u"100% Completado"_s;
    QTest::newRow("todo al tope") << tope << tope << u"100% Completado"_s;
    QTest::newRow("mitad del tope") << tope / 2 << tope << u"50% Completado"_s;
    QTest::newRow("uno del tope") << qint64(1) << tope << u"% Completado"_s;
    QTest::newRow("entregado negativo") << qint64(-5) << qint64(10) << u"% Completado"_s;
    QTest::newRow("entregado mínimo") << fondo << qint64(10) << u"% Completado"_s;
    QTest::newRow("total negativo") << qint64(5) << qint64(-10) << u"% Completado"_s;
    QTest::newRow("total mínimo") << tope << fondo << u"% Completado"_s;
}

void PruebaTrama::porcentaje()
{
    QFETCH(qint64, valor);
    QFETCH(qint64, maximo);
    QFETCH(QString, texto);
    QCOMPARE(TextoDePorcentaje(valor, maximo), texto);
}

QTEST_GUILESS_MAIN(PruebaTrama)
#include "prueba_trama.moc"
