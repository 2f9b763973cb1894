#include "documents/marcasdedestino.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString Sala = u"R560, Sala, 5"_s;
const QString Pasillo = u"R560, Pasillo, Desconocida"_s;
const QString Caja = u"R560, Caja, 12"_s;
} // namespace

class PruebaMarcasDeDestino : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void marcasSiguenAlCartel_data();
    void marcasSiguenAlCartel();
};

void PruebaMarcasDeDestino::marcasSiguenAlCartel_data()
{
    QTest::addColumn<QStringList>("anteriores");
    QTest::addColumn<QList<bool>>("marcas");
    QTest::addColumn<QStringList>("nuevos");
    QTest::addColumn<QList<bool>>("esperadas");

    const QStringList tres = {Sala, Pasillo, Caja};
    QTest::newRow("sin cambios") << tres << QList<bool>{true, false, true} << tres << QList<bool>{true, false, true};
    QTest::newRow("quitar el primero") << tres << QList<bool>{false, true, false} << QStringList{Pasillo, Caja}
                                       << QList<bool>{true, false};
    // The case that sent a text meant for Caja to every sign.
    QTest::newRow("quitar el del medio") << tres << QList<bool>{false, false, true} << QStringList{Sala, Caja}
                                         << QList<bool>{false, true};
    QTest::newRow("quitar el último marcado") << tres << QList<bool>{false, false, true} << QStringList{Sala, Pasillo}
                                              << QList<bool>{false, false};
    QTest::newRow("agregar al final") << tres << QList<bool>{true, false, false}
                                      << QStringList{Sala, Pasillo, Caja, u"R560, Patio, 7"_s}
                                      << QList<bool>{true, false, false, false};
    QTest::newRow("reordenar") << tres << QList<bool>{true, false, false} << QStringList{Caja, Pasillo, Sala}
                               << QList<bool>{false, false, true};
    // Removed and added again with another address: the operator's name for
    // it is what the mark was for.
    QTest::newRow("otra dirección, mismo nombre") << tres << QList<bool>{false, false, true}
                                                  << QStringList{Sala, Pasillo, u"R560, Caja, 14"_s}
                                                  << QList<bool>{false, false, true};
    QTest::newRow("renombrar quitando y agregando") << tres << QList<bool>{false, false, true}
                                                    << QStringList{Sala, Pasillo, u"R560, Kiosco, 12"_s}
                                                    << QList<bool>{false, false, false};
    QTest::newRow("dos del mismo nombre, se quita el marcado")
        << QStringList{u"R560, Sala, 5"_s, u"R560, Sala, 7"_s} << QList<bool>{true, false}
        << QStringList{u"R560, Sala, 7"_s} << QList<bool>{false};
    QTest::newRow("dos del mismo nombre, se quita el otro")
        << QStringList{u"R560, Sala, 5"_s, u"R560, Sala, 7"_s} << QList<bool>{true, false}
        << QStringList{u"R560, Sala, 5"_s} << QList<bool>{true};
    QTest::newRow("dos registros iguales, uno marcado")
        << QStringList{Sala, Caja, Sala} << QList<bool>{false, false, true} << QStringList{Sala, Sala}
        << QList<bool>{false, true};
    QTest::newRow("registro vacío") << tres << QList<bool>{true, true, true} << QStringList{} << QList<bool>{};
    QTest::newRow("menos marcas que registros") << tres << QList<bool>{false, true} << QStringList{Pasillo}
                                                << QList<bool>{true};
}

void PruebaMarcasDeDestino::marcasSiguenAlCartel()
{
    QFETCH(QStringList, anteriores);
    QFETCH(QList<bool>, marcas);
    QFETCH(QStringList, nuevos);
    QFETCH(QList<bool>, esperadas);
    QCOMPARE(MarcasTrasCambioDeRegistro(anteriores, marcas, nuevos), esperadas);
}

QTEST_GUILESS_MAIN(PruebaMarcasDeDestino)
#include "prueba_marcasdedestino.moc"
