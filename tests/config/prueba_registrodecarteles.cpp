#include "config/registrodecarteles.h"

#include <QTest>

using namespace Qt::StringLiterals;

class PruebaRegistroDeCarteles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nombres_data();
    void nombres();
    void problemas_data();
    void problemas();
};

void PruebaRegistroDeCarteles::nombres_data()
{
    QTest::addColumn<QStringList>("registros");
    QTest::addColumn<QString>("buscado");
    // -1: no sign has it.
    QTest::addColumn<qsizetype>("posicion");
    QTest::addColumn<QStringList>("repetidos");

    QTest::newRow("vacío") << QStringList() << u"Norte"_s << qsizetype(-1) << QStringList();
    QTest::newRow("el nombre entero, sin los blancos de alrededor")
        << QStringList{u"R560, Sur, 4"_s, u"R560,  Norte , 5"_s} << u"Norte "_s << qsizetype(1) << QStringList();
    QTest::newRow("parte de un nombre no es el nombre")
        << QStringList{u"R560, Norte Alto, 5"_s} << u"Norte"_s << qsizetype(-1) << QStringList();
    QTest::newRow("mayúsculas cuentan") << QStringList{u"R560, Norte, 5"_s} << u"norte"_s << qsizetype(-1)
                                        << QStringList();
    QTest::newRow("repetido: el primero, y cada nombre una vez en orden")
        << QStringList{u"R560, B, 1"_s, u"R560, A, 2"_s, u"R560,A , 3"_s, u"R560, B, 4"_s, u"R560, A, 5"_s}
        << u"A"_s << qsizetype(1) << QStringList{u"B"_s, u"A"_s};
    QTest::newRow("nombre de blancos") << QStringList{u"R560,   , 3"_s, u"R560, X, 4"_s} << u""_s << qsizetype(0)
                                       << QStringList();
}

void PruebaRegistroDeCarteles::nombres()
{
    QFETCH(QStringList, registros);
    QFETCH(QString, buscado);
    QFETCH(qsizetype, posicion);
    QFETCH(QStringList, repetidos);
    const RegistroDeCarteles registro = RegistroDeCarteles::DeRegistros(registros);
    // Read once, given back as read: what the file and the list box get.
    QCOMPARE(registro.Registros(), registros);
    for (qsizetype i = 0; i < registros.size(); ++i)
        QCOMPARE(registro.Titulos().at(i), Cartel(registros.at(i)).Nombre());
    QCOMPARE(registro.PosicionDeNombre(buscado).value_or(-1), posicion);
    QCOMPARE(registro.TieneNombre(buscado), posicion >= 0);
    QCOMPARE(registro.NombresRepetidos(), repetidos);
}

void PruebaRegistroDeCarteles::problemas_data()
{
    QTest::addColumn<QStringList>("registro");
    QTest::addColumn<QStringList>("nombrados");
    // Lines of the box that shows every message, a blank line between two.
    QTest::addColumn<int>("renglones");

    QTest::newRow("número y Desconocida: nada que decir")
        << QStringList{u"R560, A, 5"_s, u"R560, B,  Desconocida"_s} << QStringList() << 0;
    QTest::newRow("signo") << QStringList{u"R560, A, -1"_s} << QStringList{u"«cartel R560, A, -1»"_s} << 1;
    QTest::newRow("letras") << QStringList{u"R560, A, x7"_s} << QStringList{u"«cartel R560, A, x7»"_s} << 1;
    QTest::newRow("vacía") << QStringList{u"R560, A,"_s} << QStringList{u"«cartel R560, A,»"_s} << 1;
    QTest::newRow("sin tercer campo") << QStringList{u"R560, A"_s} << QStringList{u"«cartel R560, A»"_s} << 1;
    // Said as it is sent: the digits a sender reads first are the address.
    QTest::newRow("cifras y luego letras: esa dirección")
        << QStringList{u"R560, A, 5x"_s, u"R560, B, 6"_s} << QStringList{u"se toma como la dirección 5."_s} << 1;
    QTest::newRow("un cartel solo va a todos, con cualquier dirección")
        << QStringList{u"R560, A, 5x"_s} << QStringList{u"irá a todos los carteles"_s} << 1;
    QTest::newRow("nombre repetido, una vez")
        << QStringList{u"R560, Norte, 5"_s, u"R560,Norte , 6"_s, u"R560, Norte, 7"_s} << QStringList{u"«Norte»"_s}
        << 1;

    // Several of a kind: one message, the first ten lines only. The file
    // that took minutes to open: every line unusable, one name.
    const QString Y = u"\u0001"_s; // joins pieces of one message, in order
    QTest::newRow("cien mil «cartel xy»")
        << QStringList(100000, u"xy"_s)
        << QStringList{u"100.000 líneas"_s + Y + u"«cartel xy»\ny 99.990 más."_s, u"«xy»"_s} << 14;
}

void PruebaRegistroDeCarteles::problemas()
{
    QFETCH(QStringList, registro);
    QFETCH(QStringList, nombrados);
    QFETCH(int, renglones);
    const QStringList problemas = RegistroDeCarteles::DeRegistros(registro).Problemas();
    QCOMPARE(problemas.size(), nombrados.size());
    for (qsizetype i = 0; i < nombrados.size(); ++i) {
        // Each piece in order; a row may name several pieces of one message.
        qsizetype desde = 0;
        for (const QString &pieza : nombrados.at(i).split(u"\u0001"_s)) {
            desde = problemas.at(i).indexOf(pieza, desde);
            QVERIFY2(desde >= 0, qPrintable(pieza + u" no está en: "_s + problemas.at(i).left(2000)));
        }
    }
    const QString caja = problemas.join(u"\n\n"_s);
    QCOMPARE(caja.isEmpty() ? 0 : caja.count(u'\n') + 1, renglones);
}

QTEST_GUILESS_MAIN(PruebaRegistroDeCarteles)
#include "prueba_registrodecarteles.moc"
