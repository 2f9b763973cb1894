#include "config/cartel.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

class PruebaCartel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leeCampos_data();
    void leeCampos();
    void armaRegistro();
};

void PruebaCartel::leeCampos_data()
{
    QTest::addColumn<QString>("registro");
    QTest::addColumn<QString>("modelo");
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<qint64>("direccion");
    QTest::addColumn<bool>("valida");

    constexpr qint64 tope = std::numeric_limits<qint64>::max();
    QTest::newRow("desconocida") << u"R560, Un Cartel, Desconocida"_s << u"R560"_s << u" Un Cartel"_s << qint64(0) << true;
    QTest::newRow("número") << u"R560, Puerta, 12"_s << u"R560"_s << u" Puerta"_s << qint64(12) << true;
    QTest::newRow("sin blancos") << u"R560,Puerta,36"_s << u"R560"_s << u"Puerta"_s << qint64(36) << true;
    QTest::newRow("varios blancos y tabulador") << u"R560, P,  \t 7"_s << u"R560"_s << u" P"_s << qint64(7) << true;
    QTest::newRow("cifras y luego texto") << u"R560, P, 12abc 9"_s << u"R560"_s << u" P"_s << qint64(12) << false;
    QTest::newRow("signo no es cifra") << u"R560, P, -5"_s << u"R560"_s << u" P"_s << qint64(0) << false;
    QTest::newRow("más de un byte") << u"R560, P, 300"_s << u"R560"_s << u" P"_s << qint64(300) << true;
    QTest::newRow("cifras sin fin satura") << u"R560, P, "_s + QString(40, u'9') << u"R560"_s << u" P"_s << tope << true;
    QTest::newRow("justo el máximo") << u"R560, P, 9223372036854775807"_s << u"R560"_s << u" P"_s << tope << true;
    QTest::newRow("uno más que el máximo") << u"R560, P, 9223372036854775808"_s << u"R560"_s << u" P"_s << tope << true;
    QTest::newRow("cifras de otra escritura") << u"R560, P, ١٢"_s << u"R560"_s << u" P"_s << qint64(0) << false;
    QTest::newRow("coma en el nombre") << u"R560, Calle, Mayor, 12"_s << u"R560"_s << u" Calle"_s << qint64(0) << false;
    QTest::newRow("nombre vacío") << u"R560,, 4"_s << u"R560"_s << QString() << qint64(4) << true;
    QTest::newRow("nada tras la segunda coma") << u"R560, P,"_s << u"R560"_s << u" P"_s << qint64(0) << false;
    QTest::newRow("una coma: todo lo que sigue") << u"R560, Solo"_s << u"R560"_s << u" Solo"_s << qint64(0) << false;
    QTest::newRow("sin comas: el registro entero") << u"Cartel viejo 5"_s << u"Cartel viejo 5"_s << u"Cartel viejo 5"_s << qint64(0) << false;
    QTest::newRow("vacío") << QString() << QString() << QString() << qint64(0) << false;
}

void PruebaCartel::leeCampos()
{
    QFETCH(QString, registro);
    QFETCH(QString, modelo);
    QFETCH(QString, nombre);
    QFETCH(qint64, direccion);
    QFETCH(bool, valida);
    const Cartel cartel(registro);
    // The record is what the file gets back, byte for byte.
    QCOMPARE(cartel.Registro(), registro);
    QCOMPARE(cartel.Modelo(), modelo);
    QCOMPARE(cartel.Nombre(), nombre);
    QCOMPARE(cartel.Direccion(), direccion);
    QCOMPARE(cartel.DireccionValida(), valida);
}

void PruebaCartel::armaRegistro()
{
    const Cartel cartel = Cartel::Armar(u"R560"_s, u"Un Cartel"_s, u"Desconocida"_s);
    QCOMPARE(cartel.Registro(), u"R560, Un Cartel, Desconocida"_s);
    QCOMPARE(Cartel::Armar(u"R560"_s, u"Puerta"_s, u"17"_s).Nombre(), u" Puerta"_s);
    QCOMPARE(Cartel::Armar(u"R560"_s, u"Puerta"_s, u"17"_s).Direccion(), qint64(17));
}

QTEST_GUILESS_MAIN(PruebaCartel)
#include "prueba_cartel.moc"
