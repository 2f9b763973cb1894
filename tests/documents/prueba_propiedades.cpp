#include "documents/propiedades.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QStringList Tres{u" Uno"_s, u" Dos"_s, u" Tres"_s};

} // namespace

class PruebaPropiedades : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void desdeMarcas_data();
    void desdeMarcas();
    void marcasDesde_data();
    void marcasDesde();
    void nombresSinTitulo_data();
    void nombresSinTitulo();
    void guardarYReabrirConservaLosDestinos();
    void reordenarElRegistroSigueLosNombres();
};

void PruebaPropiedades::desdeMarcas_data()
{
    QTest::addColumn<bool>("global");
    QTest::addColumn<QStringList>("titulos");
    QTest::addColumn<QList<bool>>("marcas");
    QTest::addColumn<QString>("propiedades");

    QTest::newRow("global manda") << true << Tres << QList<bool>{true, false, true} << u"Global"_s;
    QTest::newRow("global sin carteles") << true << QStringList() << QList<bool>() << u"Global"_s;
    QTest::newRow("0 y 2") << false << Tres << QList<bool>{true, false, true} << u"Dirs:  Uno; Tres"_s;
    QTest::newRow("uno solo") << false << QStringList{u" Un Cartel"_s} << QList<bool>{true}
                              << u"Dirs:  Un Cartel"_s;
    QTest::newRow("ninguno") << false << Tres << QList<bool>{false, false, false} << u"Dirs: "_s;
    QTest::newRow("títulos tal cual") << false << QStringList{u"sin blanco"_s, u" dos  "_s}
                                      << QList<bool>{true, true} << u"Dirs: sin blanco; dos  "_s;
    QTest::newRow("marcas sin título no cuentan") << false << QStringList{u" Uno"_s}
                                                  << QList<bool>{false, true} << u"Dirs: "_s;
}

void PruebaPropiedades::desdeMarcas()
{
    QFETCH(bool, global);
    QFETCH(QStringList, titulos);
    QFETCH(QList<bool>, marcas);
    QFETCH(QString, propiedades);
    QCOMPARE(PropiedadesDesdeMarcas(global, titulos, marcas), propiedades);
}

void PruebaPropiedades::marcasDesde_data()
{
    QTest::addColumn<QString>("propiedades");
    QTest::addColumn<QStringList>("titulos");
    QTest::addColumn<QList<bool>>("marcasAntes");
    QTest::addColumn<bool>("global");
    QTest::addColumn<QList<bool>>("marcas");

    const QList<bool> ninguna{false, false, false};
    QTest::newRow("Global") << u"Global"_s << Tres << QList<bool>{false, true, false} << true
                            << QList<bool>{false, true, false};
    QTest::newRow("Global y salto") << u"Global\r\n"_s << Tres << ninguna << true << ninguna;
    QTest::newRow("vacío") << QString() << Tres << ninguna << true << ninguna;
    QTest::newRow("dirs en minúsculas") << u"dirs:  Uno"_s << Tres << ninguna << true << ninguna;
    QTest::newRow("Dirs: sin blanco") << u"Dirs:Uno"_s << Tres << ninguna << true << ninguna;
    QTest::newRow("0 y 2") << u"Dirs:  Uno; Tres"_s << Tres << ninguna << false << QList<bool>{true, false, true};
    QTest::newRow("Dirs: solo") << u"Dirs: "_s << Tres << ninguna << false << ninguna;
    QTest::newRow("nombres que no están") << u"Dirs:  Cuatro; Cinco"_s << Tres << ninguna << false << ninguna;
    QTest::newRow("lo no nombrado conserva su marca") << u"Dirs:  Uno"_s << Tres << QList<bool>{false, true, false}
                                                      << false << QList<bool>{true, true, false};
    QTest::newRow("cola de un nombre más largo cuenta")
        << u"Dirs:  Calle Uno"_s << Tres << ninguna << false << QList<bool>{true, false, false};
    QTest::newRow("comienzo de un nombre más largo tapa al propio")
        << u"Dirs:  Uno más; Uno"_s << Tres << ninguna << false << ninguna;
    QTest::newRow("seguido de otra cosa") << u"Dirs:  Dosis"_s << Tres << ninguna << false << ninguna;
    QTest::newRow("antes de Dirs: no cuenta")
        << u" Uno Dirs:  Dos"_s << Tres << ninguna << false << QList<bool>{false, true, false};
    QTest::newRow("unidas sin separador") << u"Dirs:  Uno Dos"_s << Tres << ninguna << false
                                          << QList<bool>{false, true, false};
    QTest::newRow("título vacío al final") << u"Dirs: "_s << QStringList{QString()} << QList<bool>{false} << false
                                           << QList<bool>{true};
    QTest::newRow("título vacío ante un nombre") << u"Dirs:  A"_s << QStringList{QString()} << QList<bool>{false}
                                                 << false << QList<bool>{false};
    QTest::newRow("más marcas que títulos") << u"Dirs:  Uno"_s << QStringList{u" Uno"_s}
                                            << QList<bool>{false, false} << false << QList<bool>{true, false};
}

void PruebaPropiedades::marcasDesde()
{
    QFETCH(QString, propiedades);
    QFETCH(QStringList, titulos);
    QFETCH(QList<bool>, marcasAntes);
    QFETCH(bool, global);
    QFETCH(QList<bool>, marcas);

    // Start from the opposite Global mark so both outcomes are seen to be set.
    bool globalLeido = !global;
    QList<bool> marcasLeidas = marcasAntes;
    MarcasDesdePropiedades(propiedades, titulos, globalLeido, marcasLeidas);
    QCOMPARE(globalLeido, global);
    QCOMPARE(marcasLeidas, marcas);
}

void PruebaPropiedades::nombresSinTitulo_data()
{
    QTest::addColumn<QString>("propiedades");
    QTest::addColumn<QStringList>("titulos");
    QTest::addColumn<QStringList>("nombres");

    const QStringList conPuntoYComa{u" Planta 1;Hall"_s, u" Uno"_s};
    QTest::newRow("Global") << u"Global"_s << Tres << QStringList();
    QTest::newRow("vacío") << QString() << Tres << QStringList();
    QTest::newRow("todos están") << u"Dirs:  Uno; Tres"_s << Tres << QStringList();
    QTest::newRow("uno que no está") << u"Dirs:  Uno; Cuatro"_s << Tres << QStringList{u" Cuatro"_s};
    QTest::newRow("ninguno está, en orden de la lista")
        << u"Dirs:  Cinco; Cuatro"_s << Tres << QStringList{u" Cinco"_s, u" Cuatro"_s};
    QTest::newRow("Dirs: solo") << u"Dirs: "_s << Tres << QStringList();
    QTest::newRow("los vacíos no son nombres") << u"Dirs: ; Uno;;"_s << Tres << QStringList();
    QTest::newRow("antes de Dirs: no cuenta") << u" Cuatro Dirs:  Uno"_s << Tres << QStringList();
    QTest::newRow("un título con ; es un solo nombre")
        << u"Dirs:  Planta 1;Hall"_s << conPuntoYComa << QStringList();
    QTest::newRow("un título con ; y uno que no está")
        << u"Dirs:  Planta 1;Hall; Cuatro"_s << conPuntoYComa << QStringList{u" Cuatro"_s};
    QTest::newRow("sin ese título, ; separa")
        << u"Dirs:  Planta 1;Hall"_s << Tres << QStringList{u" Planta 1"_s, u"Hall"_s};
    QTest::newRow("el título corto y el que lo contiene")
        << u"Dirs:  Planta 1;Hall"_s << QStringList{u" Planta 1"_s, u" Planta 1;Hall"_s} << QStringList();
    QTest::newRow("solo el título corto: queda el resto")
        << u"Dirs:  Planta 1;Hall"_s << QStringList{u" Planta 1"_s} << QStringList{u"Hall"_s};
    QTest::newRow("cola de un nombre más largo: el nombre entero")
        << u"Dirs:  Calle Uno"_s << Tres << QStringList{u" Calle Uno"_s};
    QTest::newRow("comienzo de un nombre más largo: los dos")
        << u"Dirs:  Uno más; Uno"_s << Tres << QStringList{u" Uno más"_s, u" Uno"_s};
    QTest::newRow("mayúsculas cuentan") << u"Dirs:  uno"_s << Tres << QStringList{u" uno"_s};
    QTest::newRow("título vacío") << u"Dirs:  A"_s << QStringList{QString()} << QStringList{u" A"_s};
}

void PruebaPropiedades::nombresSinTitulo()
{
    QFETCH(QString, propiedades);
    QFETCH(QStringList, titulos);
    QFETCH(QStringList, nombres);
    QCOMPARE(NombresSinTitulo(propiedades, titulos), nombres);
}

void PruebaPropiedades::guardarYReabrirConservaLosDestinos()
{
    const QString propiedades = PropiedadesDesdeMarcas(false, Tres, {true, false, true});
    QCOMPARE(propiedades, u"Dirs: "_s + Tres.at(0) + u";"_s + Tres.at(2));

    // A fresh window: Global marked, no single destination.
    bool global = true;
    QList<bool> marcas{false, false, false};
    MarcasDesdePropiedades(propiedades, Tres, global, marcas);
    QVERIFY(!global);
    QCOMPARE(marcas, (QList<bool>{true, false, true}));

    // Names that match no sign: no mark at all, and saving again writes "Dirs: " alone.
    global = true;
    marcas = {false, false, false};
    MarcasDesdePropiedades(u"Dirs:  Ausente; Perdido"_s, Tres, global, marcas);
    QVERIFY(!global);
    QCOMPARE(marcas, (QList<bool>{false, false, false}));
    QCOMPARE(PropiedadesDesdeMarcas(global, Tres, marcas), u"Dirs: "_s);
}

void PruebaPropiedades::reordenarElRegistroSigueLosNombres()
{
    const QString propiedades = PropiedadesDesdeMarcas(false, Tres, {false, true, false});
    const QStringList reordenados{u" Tres"_s, u" Uno"_s, u" Dos"_s};
    bool global = true;
    QList<bool> marcas{false, false, false};
    MarcasDesdePropiedades(propiedades, reordenados, global, marcas);
    QVERIFY(!global);
    QCOMPARE(marcas, (QList<bool>{false, false, true}));
}

QTEST_GUILESS_MAIN(PruebaPropiedades)
#include "prueba_propiedades.moc"
