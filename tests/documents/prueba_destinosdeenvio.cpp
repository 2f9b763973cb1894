#include "documents/destinosdeenvio.h"
#include "documents/propiedades.h"
#include "config/registrodecartel.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Direcciones = QList<quint8>;

namespace {

const QStringList Tres{u"R560, Uno, 5"_s, u"R560, Dos, Desconocida"_s, u"R560, Tres, 12"_s};
const QStringList TitulosDeTres{u" Uno"_s, u" Dos"_s, u" Tres"_s};

} // namespace

class PruebaDestinosDeEnvio : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void titulosDeRegistro_data();
    void titulosDeRegistro();
    void desdeMarcas_data();
    void desdeMarcas();
    void desdePropiedades_data();
    void desdePropiedades();
    void guardadoYEnviadoVanAlMismoLugar_data();
    void guardadoYEnviadoVanAlMismoLugar();
};

void PruebaDestinosDeEnvio::titulosDeRegistro_data()
{
    QTest::addColumn<QStringList>("registro");
    QTest::addColumn<QStringList>("titulos");

    QTest::newRow("vacío") << QStringList() << QStringList();
    QTest::newRow("tres, en orden y con su blanco") << Tres << TitulosDeTres;
    QTest::newRow("nombre repetido, dos títulos")
        << QStringList{u"R560, Uno, 5"_s, u"R560, Uno, 6"_s} << QStringList{u" Uno"_s, u" Uno"_s};
    QTest::newRow("con ; en el nombre") << QStringList{u"R560, Planta 1;Hall, 5"_s}
                                        << QStringList{u" Planta 1;Hall"_s};
    QTest::newRow("registro sin comas") << QStringList{u"R560"_s} << QStringList{u"R560"_s};
}

void PruebaDestinosDeEnvio::titulosDeRegistro()
{
    QFETCH(QStringList, registro);
    QFETCH(QStringList, titulos);
    QCOMPARE(TitulosDeRegistro(registro), titulos);
}

void PruebaDestinosDeEnvio::desdeMarcas_data()
{
    QTest::addColumn<bool>("visibles");
    QTest::addColumn<bool>("global");
    QTest::addColumn<QList<bool>>("marcas");
    QTest::addColumn<QStringList>("titulos");
    QTest::addColumn<QStringList>("registro");
    QTest::addColumn<Direcciones>("direcciones");
    QTest::addColumn<QStringList>("omitidos");
    QTest::addColumn<bool>("sinDestinos");

    const QList<bool> ninguna{false, false, false};
    QTest::newRow("submenú oculto: a todos, pese a las marcas")
        << false << false << QList<bool>{false, false, true} << TitulosDeTres << Tres << Direcciones{0}
        << QStringList() << false;
    QTest::newRow("un cartel: a todos") << false << true << QList<bool>{false} << QStringList{u" Uno"_s}
                                        << QStringList{u"R560, Uno, 5"_s} << Direcciones{0} << QStringList()
                                        << false;
    QTest::newRow("registro vacío: a todos")
        << false << true << QList<bool>() << QStringList() << QStringList() << Direcciones{0} << QStringList()
        << false;
    QTest::newRow("Global marcado: una sola trama a todos")
        << true << true << ninguna << TitulosDeTres << Tres << Direcciones{0} << QStringList() << false;
    QTest::newRow("0 y 2: en orden del registro")
        << true << false << QList<bool>{true, false, true} << TitulosDeTres << Tres << Direcciones{5, 12}
        << QStringList() << false;
    QTest::newRow("Desconocida va a todos") << true << false << QList<bool>{false, true, false} << TitulosDeTres
                                            << Tres << Direcciones{0} << QStringList() << false;
    QTest::newRow("los tres") << true << false << QList<bool>{true, true, true} << TitulosDeTres << Tres
                              << Direcciones{5, 0, 12} << QStringList() << false;
    QTest::newRow("ninguno marcado: sin destinos")
        << true << false << ninguna << TitulosDeTres << Tres << Direcciones() << QStringList() << true;
    QTest::newRow("200, 255 y 0 caben en un byte")
        << true << false << QList<bool>{true, true, true} << QStringList{u" A"_s, u" B"_s, u" C"_s}
        << QStringList{u"R560, A, 200"_s, u"R560, B, 255"_s, u"R560, C, 0"_s} << Direcciones{200, 255, 0}
        << QStringList() << false;
    QTest::newRow("256 no cabe: se omite con su registro")
        << true << false << QList<bool>{true, true} << QStringList{u" A"_s, u" B"_s}
        << QStringList{u"R560, A, 256"_s, u"R560, B, 7"_s} << Direcciones{7}
        << QStringList{u"R560, A, 256"_s} << false;
    QTest::newRow("número enorme: se omite")
        << true << false << QList<bool>{true, false} << QStringList{u" A"_s, u" B"_s}
        << QStringList{u"R560, A, 99999999999999999999999"_s, u"R560, B, 7"_s} << Direcciones()
        << QStringList{u"R560, A, 99999999999999999999999"_s} << false;
    QTest::newRow("marca sin registro: se omite por su título")
        << true << false << QList<bool>{true, false, false, true} << QStringList{u" Uno"_s, u" Dos"_s,
                                                                                 u" Tres"_s, u" Cuatro "_s}
        << Tres << Direcciones{5} << QStringList{u"Cuatro"_s} << false;
    QTest::newRow("dirección tras la segunda coma")
        << true << false << QList<bool>{true, true} << QStringList{u" A"_s, u" B"_s}
        << QStringList{u"R560, A,B, 9"_s, u"R560, B,  33 x"_s} << Direcciones{0, 33} << QStringList() << false;
}

void PruebaDestinosDeEnvio::desdeMarcas()
{
    QFETCH(bool, visibles);
    QFETCH(bool, global);
    QFETCH(QList<bool>, marcas);
    QFETCH(QStringList, titulos);
    QFETCH(QStringList, registro);
    QFETCH(Direcciones, direcciones);
    QFETCH(QStringList, omitidos);
    QFETCH(bool, sinDestinos);

    const DestinosDeEnvio destinos = DestinosDesdeMarcas(visibles, global, marcas, titulos, registro);
    QCOMPARE(destinos.direcciones, direcciones);
    QCOMPARE(destinos.omitidos, omitidos);
    QCOMPARE(destinos.SinDestinos(), sinDestinos);
    QCOMPARE(destinos.NadaQueEnviar(), direcciones.isEmpty());
}

void PruebaDestinosDeEnvio::desdePropiedades_data()
{
    QTest::addColumn<QString>("propiedades");
    QTest::addColumn<QStringList>("registro");
    QTest::addColumn<Direcciones>("direcciones");
    QTest::addColumn<QStringList>("omitidos");
    QTest::addColumn<bool>("sinDestinos");

    QTest::newRow("Global") << u"Global"_s << Tres << Direcciones{0} << QStringList() << false;
    QTest::newRow("Global con CR LF") << u"Global\r\n"_s << Tres << Direcciones{0} << QStringList() << false;
    QTest::newRow("vacío es Global") << QString() << Tres << Direcciones{0} << QStringList() << false;
    QTest::newRow("0 y 2") << u"Dirs:  Uno; Tres"_s << Tres << Direcciones{5, 12} << QStringList() << false;
    QTest::newRow("orden del registro, no del archivo")
        << u"Dirs:  Tres; Uno"_s << Tres << Direcciones{5, 12} << QStringList() << false;
    QTest::newRow("Desconocida") << u"Dirs:  Dos"_s << Tres << Direcciones{0} << QStringList() << false;
    QTest::newRow("un cartel en el registro: a todos")
        << u"Dirs:  Tres"_s << QStringList{u"R560, Tres, 12"_s} << Direcciones{0} << QStringList() << false;
    QTest::newRow("nombres que no están: sin destinos")
        << u"Dirs:  Cuatro; Cinco"_s << Tres << Direcciones() << QStringList() << true;
    QTest::newRow("Dirs: solo") << u"Dirs: "_s << Tres << Direcciones() << QStringList() << true;
    QTest::newRow("los que están, sí") << u"Dirs:  Cuatro; Tres"_s << Tres << Direcciones{12} << QStringList()
                                       << false;
    QTest::newRow("mayúsculas cuentan") << u"Dirs:  uno"_s << Tres << Direcciones() << QStringList() << true;
    QTest::newRow("sin el blanco del registro no coincide")
        << u"Dirs: Uno"_s << Tres << Direcciones() << QStringList() << true;
    // The caption is looked for as text: the tail of a longer listed name
    // is taken for it, the start of one is not.
    QTest::newRow("cola de un nombre más largo")
        << u"Dirs:  Gran Uno"_s << Tres << Direcciones{5} << QStringList() << false;
    QTest::newRow("comienzo de un nombre más largo")
        << u"Dirs:  Uno Bis"_s << Tres << Direcciones() << QStringList() << true;
    QTest::newRow("nombre repetido: los dos carteles")
        << u"Dirs:  Hall"_s << QStringList{u"R560, Hall, 3"_s, u"R560, Patio, 4"_s, u"R560, Hall, 9"_s}
        << Direcciones{3, 9} << QStringList() << false;
    QTest::newRow("dirección fuera de rango se omite")
        << u"Dirs:  Uno; Dos"_s << QStringList{u"R560, Uno, 300"_s, u"R560, Dos, 4"_s} << Direcciones{4}
        << QStringList{u"R560, Uno, 300"_s} << false;
    QTest::newRow("registro vacío") << u"Dirs:  Uno"_s << QStringList() << Direcciones{0} << QStringList()
                                    << false;
}

void PruebaDestinosDeEnvio::desdePropiedades()
{
    QFETCH(QString, propiedades);
    QFETCH(QStringList, registro);
    QFETCH(Direcciones, direcciones);
    QFETCH(QStringList, omitidos);
    QFETCH(bool, sinDestinos);

    const DestinosDeEnvio destinos = DestinosDesdePropiedades(propiedades, registro);
    QCOMPARE(destinos.direcciones, direcciones);
    QCOMPARE(destinos.omitidos, omitidos);
    QCOMPARE(destinos.SinDestinos(), sinDestinos);
}

void PruebaDestinosDeEnvio::guardadoYEnviadoVanAlMismoLugar_data()
{
    QTest::addColumn<bool>("global");
    QTest::addColumn<QList<bool>>("marcas");

    QTest::newRow("Global") << true << QList<bool>{false, false, false};
    QTest::newRow("el primero") << false << QList<bool>{true, false, false};
    QTest::newRow("el segundo") << false << QList<bool>{false, true, false};
    QTest::newRow("0 y 2") << false << QList<bool>{true, false, true};
    QTest::newRow("todos") << false << QList<bool>{true, true, true};
    QTest::newRow("ninguno") << false << QList<bool>{false, false, false};
}

// A window's marks, saved and sent by the tool, reach the signs the window
// itself would send to.
void PruebaDestinosDeEnvio::guardadoYEnviadoVanAlMismoLugar()
{
    QFETCH(bool, global);
    QFETCH(QList<bool>, marcas);

    QStringList titulos;
    for (const QString &cartel : Tres)
        titulos.append(NombreDeCartel(cartel));
    const QString propiedades = PropiedadesDesdeMarcas(global, titulos, marcas);
    QCOMPARE(DestinosDesdePropiedades(propiedades, Tres), DestinosDesdeMarcas(true, global, marcas, titulos, Tres));
}

QTEST_GUILESS_MAIN(PruebaDestinosDeEnvio)
#include "prueba_destinosdeenvio.moc"
