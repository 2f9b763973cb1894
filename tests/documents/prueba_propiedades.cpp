#include "documents/propiedades.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QStringList Tres{u" Uno"_s, u" Dos"_s, u" Tres"_s};

DestinosDeTexto A(const QStringList &nombres)
{
    return DestinosDeTexto{false, nombres, {}};
}

// Read as every sign, the line kept as it came.
DestinosDeTexto SinLeer(const QString &linea)
{
    return DestinosDeTexto{true, {}, linea};
}

const QStringList ConUnoDeBlancos{u" Uno"_s, u"  "_s};

} // namespace

class PruebaPropiedades : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leer_data();
    void leer();
    void escribir_data();
    void escribir();
};

void PruebaPropiedades::leer_data()
{
    QTest::addColumn<QString>("propiedades");
    QTest::addColumn<QStringList>("titulos");
    QTest::addColumn<DestinosDeTexto>("destinos");

    QTest::newRow("Global") << u"Global\r\n"_s << Tres << DestinosDeTexto();
    QTest::newRow("vacío") << QString() << Tres << DestinosDeTexto();
    QTest::newRow("dirs en minúsculas") << u"dirs:  Uno"_s << Tres << SinLeer(u"dirs:  Uno"_s);
    QTest::newRow("Dirs: sin blanco, sin su salto") << u"Dirs:Uno\r\n"_s << Tres << SinLeer(u"Dirs:Uno"_s);
    QTest::newRow("0 y 2") << u"Dirs:  Uno; Tres"_s << Tres << A({u" Uno"_s, u" Tres"_s});
    QTest::newRow("Dirs: solo") << u"Dirs: "_s << Tres << A({});
    QTest::newRow("nombres que no están se guardan") << u"Dirs:  Nadie; Otro"_s << Tres
                                                      << A({u" Nadie"_s, u" Otro"_s});
    QTest::newRow("cada nombre entero: la cola de otro no cuenta")
        << u"Dirs:  Puerta Norte"_s << QStringList{u" Norte"_s, u" Puerta Norte"_s} << A({u" Puerta Norte"_s});
    QTest::newRow("los vacíos no son nombres") << u"Dirs: ; Uno;;"_s << Tres << A({u" Uno"_s});
    QTest::newRow("repetido cuenta una vez") << u"Dirs:  Uno; Uno"_s << Tres << A({u" Uno"_s});
    QTest::newRow("un nombre registrado con ; vuelve entero")
        << u"Dirs:  Norte;Sur; Uno"_s << QStringList{u" Norte;Sur"_s, u" Uno"_s} << A({u" Norte;Sur"_s, u" Uno"_s});
    QTest::newRow("sin ese nombre en el registro, ; separa")
        << u"Dirs:  Norte;Sur"_s << Tres << A({u" Norte"_s, u"Sur"_s});
    QTest::newRow("salto final fuera del nombre") << u"Dirs:  Dos\r\n"_s << Tres << A({u" Dos"_s});
    QTest::newRow("un nombre no es el final de otro")
        << u"Dirs:  Norte"_s << QStringList{u" Puerta Norte"_s, u" Norte"_s} << A({u" Norte"_s});
    QTest::newRow("un cartel de blancos vuelve") << u"Dirs:   "_s << ConUnoDeBlancos << A({u"  "_s});
    QTest::newRow("sin cartel de blancos, los blancos no son nombre") << u"Dirs:   ; Uno"_s << Tres
                                                                       << A({u" Uno"_s});
}

void PruebaPropiedades::leer()
{
    QFETCH(QString, propiedades);
    QFETCH(QStringList, titulos);
    QFETCH(DestinosDeTexto, destinos);
    const DestinosDeTexto leidos = LeerDestinos(propiedades, titulos);
    QCOMPARE(leidos.global, destinos.global);
    QCOMPARE(leidos.nombres, destinos.nombres);
    QCOMPARE(leidos.sinLeer, destinos.sinLeer);
}

void PruebaPropiedades::escribir_data()
{
    QTest::addColumn<DestinosDeTexto>("destinos");
    QTest::addColumn<QStringList>("titulos");
    QTest::addColumn<QString>("propiedades");

    QTest::newRow("Global") << DestinosDeTexto() << Tres << u"Global"_s;
    QTest::newRow("en orden del registro") << A({u" Tres"_s, u" Uno"_s}) << Tres << u"Dirs:  Uno; Tres"_s;
    QTest::newRow("ninguno") << A({}) << Tres << u"Dirs: "_s;
    QTest::newRow("los desconocidos, después y tal cual")
        << A({u" Nadie"_s, u" Dos"_s, u"Otro"_s}) << Tres << u"Dirs:  Dos; Nadie;Otro"_s;
    QTest::newRow("como lo escribe el registro") << A({u"Dos "_s}) << Tres << u"Dirs:  Dos"_s;
    QTest::newRow("la línea que no se entiende, tal cual") << SinLeer(u"DIRS:  Uno"_s) << Tres << u"DIRS:  Uno"_s;
    QTest::newRow("un cartel de blancos") << A({u"  "_s, u" Uno"_s}) << ConUnoDeBlancos << u"Dirs:  Uno;  "_s;
}

void PruebaPropiedades::escribir()
{
    QFETCH(DestinosDeTexto, destinos);
    QFETCH(QStringList, titulos);
    QFETCH(QString, propiedades);
    QCOMPARE(PropiedadesDesdeDestinos(destinos, titulos), propiedades);
    // What is written reads back to the same signs.
    const DestinosDeTexto leidos = LeerDestinos(propiedades, titulos);
    QCOMPARE(leidos.global, destinos.global);
    QCOMPARE(leidos.nombres.size(), destinos.nombres.size());
    QCOMPARE(PropiedadesDesdeDestinos(leidos, titulos), propiedades);
}

QTEST_GUILESS_MAIN(PruebaPropiedades)
#include "prueba_propiedades.moc"
