#include "config/registrodecartel.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

class PruebaRegistroDeCartel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leeCampos_data();
    void leeCampos();
    void armaRegistro();
    void problemas_data();
    void problemas();
};

void PruebaRegistroDeCartel::leeCampos_data()
{
    QTest::addColumn<QString>("registro");
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<qint64>("direccion");

    constexpr qint64 tope = std::numeric_limits<qint64>::max();
    QTest::newRow("desconocida") << u"R560, Un Cartel, Desconocida"_s << u" Un Cartel"_s << qint64(0);
    QTest::newRow("número") << u"R560, Puerta, 12"_s << u" Puerta"_s << qint64(12);
    QTest::newRow("sin blancos") << u"R560,Puerta,36"_s << u"Puerta"_s << qint64(36);
    QTest::newRow("varios blancos y tabulador") << u"R560, P,  \t 7"_s << u" P"_s << qint64(7);
    QTest::newRow("cifras y luego texto") << u"R560, P, 12abc 9"_s << u" P"_s << qint64(12);
    QTest::newRow("signo no es cifra") << u"R560, P, -5"_s << u" P"_s << qint64(0);
    QTest::newRow("más de un byte") << u"R560, P, 300"_s << u" P"_s << qint64(300);
    QTest::newRow("cifras sin fin satura") << u"R560, P, "_s + QString(40, u'9') << u" P"_s << tope;
    QTest::newRow("justo el máximo") << u"R560, P, 9223372036854775807"_s << u" P"_s << tope;
    QTest::newRow("uno más que el máximo") << u"R560, P, 9223372036854775808"_s << u" P"_s << tope;
    QTest::newRow("cifras de otra escritura") << u"R560, P, ١٢"_s << u" P"_s << qint64(0);
    QTest::newRow("coma en el nombre") << u"R560, Calle, Mayor, 12"_s << u" Calle"_s << qint64(0);
    QTest::newRow("nombre vacío") << u"R560,, 4"_s << QString() << qint64(4);
    QTest::newRow("nada tras la segunda coma") << u"R560, P,"_s << u" P"_s << qint64(0);
    QTest::newRow("una coma: todo lo que sigue") << u"R560, Solo"_s << u" Solo"_s << qint64(0);
    QTest::newRow("sin comas: el registro entero") << u"Cartel viejo 5"_s << u"Cartel viejo 5"_s << qint64(0);
    QTest::newRow("vacío") << QString() << QString() << qint64(0);
}

void PruebaRegistroDeCartel::leeCampos()
{
    QFETCH(QString, registro);
    QFETCH(QString, nombre);
    QFETCH(qint64, direccion);
    QCOMPARE(NombreDeCartel(registro), nombre);
    QCOMPARE(DireccionDeCartel(registro), direccion);
}

void PruebaRegistroDeCartel::armaRegistro()
{
    const QString registro = ArmarRegistroDeCartel(u"R560"_s, u"Un Cartel"_s, u"Desconocida"_s);
    QCOMPARE(registro, u"R560, Un Cartel, Desconocida"_s);
    QCOMPARE(NombreDeCartel(ArmarRegistroDeCartel(u"R560"_s, u"Puerta"_s, u"17"_s)), u" Puerta"_s);
    QCOMPARE(DireccionDeCartel(ArmarRegistroDeCartel(u"R560"_s, u"Puerta"_s, u"17"_s)), qint64(17));
}

void PruebaRegistroDeCartel::problemas_data()
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

void PruebaRegistroDeCartel::problemas()
{
    QFETCH(QStringList, registro);
    QFETCH(QStringList, nombrados);
    QFETCH(int, renglones);
    const QStringList problemas = ProblemasDeRegistro(registro);
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

QTEST_GUILESS_MAIN(PruebaRegistroDeCartel)
#include "prueba_registrodecartel.moc"
