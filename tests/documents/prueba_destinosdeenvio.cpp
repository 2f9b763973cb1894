#include "documents/destinosdeenvio.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Direcciones = QList<quint8>;

namespace {

const QStringList Tres{u"R560, Uno, 5"_s, u"R560, Dos, Desconocida"_s, u"R560, Tres, 12"_s};

DestinosDeTexto A(const QStringList &nombres)
{
    return DestinosDeTexto{false, nombres, {}};
}

} // namespace

class PruebaDestinosDeEnvio : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void envio_data();
    void envio();
};

void PruebaDestinosDeEnvio::envio_data()
{
    QTest::addColumn<DestinosDeTexto>("destinos");
    QTest::addColumn<QStringList>("registro");
    QTest::addColumn<Direcciones>("direcciones");
    QTest::addColumn<QStringList>("fuera");
    QTest::addColumn<QString>("descripcion");

    QTest::newRow("Global: una trama a todos") << DestinosDeTexto() << Tres << Direcciones{0} << QStringList()
                                               << u"Global"_s;
    QTest::newRow("un cartel registrado, para él y otro: a todos")
        << A({u" Uno"_s, u" Otro"_s}) << QStringList{u"R560, Uno, 5"_s} << Direcciones{0} << QStringList{u" Otro"_s}
        << u"Global"_s;
    QTest::newRow("un cartel registrado, para otro: a ninguno")
        << A({u" Otro"_s}) << QStringList{u"R560, Uno, 5"_s} << Direcciones() << QStringList{u" Otro"_s}
        << u"sin destino: «Otro» no está en Carteles Conectados"_s;
    QTest::newRow("sin carteles registrados, para uno: a ninguno")
        << A({u" Uno"_s}) << QStringList() << Direcciones() << QStringList{u" Uno"_s}
        << u"sin destino: «Uno» no está en Carteles Conectados"_s;
    QTest::newRow("línea que no se entiende: a ninguno")
        << DestinosDeTexto{true, {}, u"DIRS:  Uno"_s} << Tres << Direcciones() << QStringList()
        << u"sin destino: no se entiende la línea «DIRS:  Uno»"_s;
    QTest::newRow("solo desconocidos: se dice por qué")
        << A({u" Sala"_s, u"Otro"_s}) << Tres << Direcciones() << QStringList{u" Sala"_s, u"Otro"_s}
        << u"sin destino: «Sala», «Otro» no están en Carteles Conectados"_s;
    QTest::newRow("en orden del registro") << A({u" Tres"_s, u" Uno"_s}) << Tres << Direcciones{5, 12}
                                           << QStringList() << u"Uno, Tres"_s;
    QTest::newRow("Desconocida va a todos, y se dice")
        << A({u" Dos"_s}) << Tres << Direcciones{0} << QStringList() << u"todos los carteles (Dos)"_s;
    QTest::newRow("ninguno") << A({}) << Tres << Direcciones() << QStringList() << u"sin destino"_s;
    QTest::newRow("desconocido: no se envía") << A({u" Uno"_s, u" Nadie"_s}) << Tres << Direcciones{5}
                                              << QStringList{u" Nadie"_s} << u"Uno"_s;
    QTest::newRow("la cola de un nombre no es ese cartel")
        << A({u" Puerta Norte"_s}) << QStringList{u"R560, Norte, 5"_s, u"R560, Puerta Norte, 6"_s} << Direcciones{6}
        << QStringList() << u"Puerta Norte"_s;
    QTest::newRow("un nombre no llega al que termina igual")
        << A({u" Norte"_s}) << QStringList{u"R560, Puerta Norte, 6"_s, u"R560, Norte, 5"_s} << Direcciones{5}
        << QStringList() << u"Norte"_s;
    QTest::newRow("nombre repetido: a ninguno")
        << A({u" Norte"_s, u" Sur"_s}) << QStringList{u"R560, Norte, 5"_s, u"R560, Sur, 7"_s, u"R560, Norte, 6"_s}
        << Direcciones{7} << QStringList{u"Norte"_s} << u"Sur"_s;
    QTest::newRow("256 no cabe: se omite con su registro")
        << A({u" Uno"_s, u" Tres"_s}) << QStringList{u"R560, Uno, 256"_s, u"R560, Tres, 255"_s} << Direcciones{255}
        << QStringList{u"R560, Uno, 256"_s} << u"Tres"_s;
}

void PruebaDestinosDeEnvio::envio()
{
    QFETCH(DestinosDeTexto, destinos);
    QFETCH(QStringList, registro);
    QFETCH(Direcciones, direcciones);
    QFETCH(QStringList, fuera);
    QFETCH(QString, descripcion);

    const auto carteles = RegistroDeCarteles::DeRegistros(registro);
    const DestinosDeEnvio envio = DestinosDeEnvioDe(destinos, carteles);
    QCOMPARE(envio.direcciones, direcciones);
    QCOMPARE(envio.desconocidos + envio.repetidos + envio.omitidos, fuera);
    QCOMPARE(DescribirDestinos(destinos, carteles), descripcion);
}

QTEST_GUILESS_MAIN(PruebaDestinosDeEnvio)
#include "prueba_destinosdeenvio.moc"
