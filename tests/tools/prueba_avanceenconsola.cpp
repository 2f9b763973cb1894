#include "avanceenconsola.h"

#include "link/trama.h"

#include <QBuffer>
#include <QTest>

using namespace Qt::StringLiterals;

// One call of the transmitter: Comenzada when `entregados` is -1.
using Llamadas = QList<qint64>;

class PruebaAvanceEnConsola : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unaLineaPorTrama_data();
    void unaLineaPorTrama();
    void barraEnUnaTerminal();
};

void PruebaAvanceEnConsola::unaLineaPorTrama_data()
{
    QTest::addColumn<QList<QByteArray>>("cadenas");
    QTest::addColumn<Llamadas>("llamadas");
    QTest::addColumn<QStringList>("lineas");

    const QList<QByteArray> dos{ArmarTrama("HOLA", 5), ArmarTrama("HOLA", 0)};
    QTest::newRow("una cadena por destino, de a tandas")
        << dos << Llamadas{-1, 5, 13, 14, -1, 13}
        << QStringList{u"Trama 1 de 2: dirección 5, 14 bytes"_s, u"Trama 2 de 2: todos los carteles, 13 bytes"_s};
    QTest::newRow("nada entregado aún") << dos << Llamadas{-1, 13} << QStringList();
    // The address byte 200 is no frame end.
    QTest::newRow("dirección 200") << QList<QByteArray>{ArmarTrama("AB", 200)} << Llamadas{-1, 2, 11, 12}
                                   << QStringList{u"Trama 1 de 1: dirección 200, 12 bytes"_s};
    QTest::newRow("las direcciones, trama a trama y de un golpe")
        << QList<QByteArray>{ArmarMensajeDeDirecciones()} << Llamadas{-1, 12, 24, 1304}
        << [] {
               QStringList lineas;
               for (int direccion = 0; direccion <= 100; ++direccion)
                   lineas.append(u"Trama %1 de 101: dirección %2, %3 bytes"_s.arg(direccion + 1)
                                     .arg(direccion)
                                     .arg(direccion < 10 ? 12 : direccion < 100 ? 13 : 14));
               return lineas;
           }();
}

void PruebaAvanceEnConsola::unaLineaPorTrama()
{
    QFETCH(QList<QByteArray>, cadenas);
    QFETCH(Llamadas, llamadas);
    QFETCH(QStringList, lineas);

    QBuffer salida;
    QVERIFY(salida.open(QIODevice::WriteOnly));
    AvanceEnConsola avance(cadenas, salida, false);
    qsizetype cadena = -1;
    for (qint64 entregados : std::as_const(llamadas)) {
        if (entregados < 0)
            avance.Comenzada(cadenas.at(++cadena).size());
        else
            avance.Avance(entregados, cadenas.at(cadena).size());
    }
    avance.Terminar();

    const QString escrito = QString::fromUtf8(salida.data());
    QCOMPARE(escrito, lineas.isEmpty() ? QString() : lineas.join(u'\n') + u'\n');
    QCOMPARE(avance.TramasEntregadas(), lineas.size());
}

void PruebaAvanceEnConsola::barraEnUnaTerminal()
{
    const QList<QByteArray> cadenas{ArmarTrama("HOLA", 5), ArmarTrama("HOL", 0)}; // 14 + 12 bytes
    QBuffer salida;
    QVERIFY(salida.open(QIODevice::WriteOnly));
    AvanceEnConsola avance(cadenas, salida, true);

    avance.Comenzada(14);
    avance.Avance(13, 14);
    QVERIFY2(salida.data().endsWith("\r[###############...............]  50%, trama 1 de 2 "), salida.data().constData());
    avance.Avance(14, 14);
    avance.Comenzada(12);
    QVERIFY2(salida.data().endsWith("\r[################..............]  53%, trama 2 de 2 "), salida.data().constData());
    avance.Avance(12, 12);
    QVERIFY2(salida.data().endsWith("\r[##############################] 100%, trama 2 de 2 "), salida.data().constData());
    QVERIFY(!salida.data().contains('\n'));
    avance.Terminar();
    QVERIFY(salida.data().endsWith(" \n"));
    QCOMPARE(avance.TramasEntregadas(), 2);
    QCOMPARE(avance.TramasTotales(), 2);
}

QTEST_GUILESS_MAIN(PruebaAvanceEnConsola)
#include "prueba_avanceenconsola.moc"
