#include "platform/ajustesserie.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The settings string takes exactly the ASCII forms a configuration file can
// hold: look-alike letters, other blanks and other digits are refused with a
// reason that names the field.
class PruebaAjustesSerie : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void soloFormasAscii_data();
    void soloFormasAscii();
};

void PruebaAjustesSerie::soloFormasAscii_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("canonico"); // empty: refused
    QTest::addColumn<QString>("enElError");

    QTest::newRow("canónico") << u"9600,N,8,1"_s << u"9600,N,8,1"_s << QString();
    QTest::newRow("minúsculas ASCII") << u"2400,s,7,2"_s << u"2400,S,7,2"_s << QString();
    QTest::newRow("espacios ASCII") << u"  9600 ,  o , 8 , 1.5 "_s << u"9600,O,8,1.5"_s << QString();
    // toUpper() maps these to S and I; they are not parity letters.
    QTest::newRow("ese larga") << u"9600,\u017F,8,1"_s << QString() << u"\u017F"_s;
    QTest::newRow("i sin punto") << u"9600,\u0131,8,1"_s << QString() << u"\u0131"_s;
    QTest::newRow("letra de ancho completo") << u"9600,\uFF2E,8,1"_s << QString() << u"\uFF2E"_s;
    QTest::newRow("tabulador") << u"9600,\tN,8,1"_s << QString() << u"paridad"_s;
    QTest::newRow("espacio duro") << u"9600\u00A0,N,8,1"_s << QString() << u"velocidad"_s;
    QTest::newRow("espacio ancho") << u"9600,N,\u20038,1"_s << QString() << u"datos"_s;
    QTest::newRow("fin de línea") << u"9600,N,8,1\r\n"_s << QString() << u"parada"_s;
    QTest::newRow("cifras arábigas") << u"\u0669\u0666\u0660\u0660,N,8,1"_s << QString() << u"velocidad"_s;
    QTest::newRow("cifra de ancho completo") << u"9600,N,\uFF18,1"_s << QString() << u"datos"_s;
}

void PruebaAjustesSerie::soloFormasAscii()
{
    QFETCH(QString, texto);
    QFETCH(QString, canonico);
    QFETCH(QString, enElError);

    QString error;
    const auto ajustes = AjustesSerie::Interpretar(texto, &error);
    if (canonico.isEmpty()) {
        QVERIFY2(!ajustes, qPrintable(ajustes ? ajustes->Texto() : QString()));
        QVERIFY2(error.contains(enElError), qPrintable(error));
        return;
    }
    QVERIFY2(ajustes, qPrintable(error));
    QCOMPARE(ajustes->Texto(), canonico);
}

QTEST_APPLESS_MAIN(PruebaAjustesSerie)
#include "prueba_ajustesserie.moc"
