#include "schedule/programacion.h"

#include "apoyo/archivosdeprueba.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Programacion)

namespace {

EntradaDeProgramacion Completa()
{
    EntradaDeProgramacion entrada;
    entrada.archivo = u"ofertas.txt"_s;
    entrada.dias = 0b11111;
    entrada.desde = QTime(7, 0);
    entrada.hasta = QTime(11, 0);
    entrada.desdeFecha = QDate(2026, 12, 1);
    entrada.hastaFecha = QDate(2026, 12, 24);
    return entrada;
}

EntradaDeProgramacion Solo(const QString &archivo)
{
    EntradaDeProgramacion entrada;
    entrada.archivo = archivo;
    return entrada;
}

QByteArray ConEntrada(const QByteArray &entrada)
{
    return R"({"version": 1, "entradas": [{"archivo": "a.txt"},
  )" + entrada + "]}";
}

} // namespace

class PruebaProgramacion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leer_data();
    void leer();
    void idaYVuelta();
    void sinArchivoNoHayEntradas();
};

void PruebaProgramacion::leer_data()
{
    QTest::addColumn<QByteArray>("contenido");
    QTest::addColumn<QString>("enElMotivo"); // empty: it reads
    QTest::addColumn<Programacion>("esperada");

    QTest::newRow("la de la documentación")
        << QByteArray(R"({"version": 1, "entradas": [{"archivo": "ofertas.txt", "dias": ["lu","ma","mi","ju","vi"],
            "desde": "07:00", "hasta": "11:00", "desde_fecha": "2026-12-01", "hasta_fecha": "2026-12-24",
            "activa": true}]})")
        << QString() << Programacion{{Completa()}};
    EntradaDeProgramacion apagada = Solo(u"/srv/Señal.txt"_s);
    apagada.activa = false;
    apagada.dias = 1 << 6;
    QTest::newRow("lo que falta vale lo de siempre; BOM")
        << QByteArray("\xEF\xBB\xBF" R"({"version": 1, "entradas": [{"archivo": "a.txt"},
            {"archivo": "/srv/Señal.txt", "activa": false, "dias": ["do", "do"]}]})")
        << QString() << Programacion{{Solo(u"a.txt"_s), apagada}};

    QTest::newRow("nulos y lista de días vacía valen lo de siempre")
        << ConEntrada(R"({"archivo": "b", "dias": [], "desde": null, "hasta": null, "desde_fecha": null,
            "hasta_fecha": null, "activa": null})")
        << QString() << Programacion{{Solo(u"a.txt"_s), Solo(u"b"_s)}};
    QTest::newRow("los siete días son todos")
        << ConEntrada(R"({"archivo": "b", "dias": ["lu","ma","mi","ju","vi","sa","do"]})")
        << QString() << Programacion{{Solo(u"a.txt"_s), Solo(u"b"_s)}};
    QTest::newRow("coma de más") << QByteArray("{\"version\": 1,\n \"entradas\": [\n  {\"archivo\": \"a.txt\",}]}")
                                 << u"línea 3, columna 24: falta un campo"_s << Programacion();
    QTest::newRow("otra versión") << QByteArray(R"({"version": 2, "entradas": []})")
                                  << u"versión 2 no es la que este programa lee (1)"_s << Programacion();
    QTest::newRow("sin versión") << QByteArray(R"({"entradas": []})") << u"falta \"version\""_s << Programacion();
    QTest::newRow("entrada que no es objeto") << ConEntrada("3") << u"entrada 2: no es un objeto"_s
                                              << Programacion();
    QTest::newRow("sin archivo") << ConEntrada(R"({"desde": "07:00"})") << u"entrada 2: falta \"archivo\""_s
                                 << Programacion();
    QTest::newRow("campo mal escrito") << ConEntrada(R"({"archivo": "b", "hsta": "07:00"})")
                                       << u"entrada 2: el campo «hsta»"_s << Programacion();
    QTest::newRow("hora sin cero") << ConEntrada(R"({"archivo": "b", "desde": "7:00"})")
                                   << u"entrada 2: \"desde\" no es una hora HH:MM"_s << Programacion();
    QTest::newRow("día desconocido") << ConEntrada(R"({"archivo": "b", "dias": ["lun"]})")
                                     << u"entrada 2: \"dias\" tiene \"lun\""_s << Programacion();
    QTest::newRow("fecha que no existe") << ConEntrada(R"({"archivo": "b", "desde_fecha": "2026-02-30"})")
                                         << u"entrada 2: \"desde_fecha\" no es una fecha AAAA-MM-DD"_s
                                         << Programacion();
    QTest::newRow("fechas al revés")
        << ConEntrada(R"({"archivo": "b", "desde_fecha": "2026-12-24", "hasta_fecha": "2026-12-01"})")
        << u"entrada 2: \"hasta_fecha\" es anterior"_s << Programacion();
    QTest::newRow("activa en texto") << ConEntrada(R"({"archivo": "b", "activa": "no"})")
                                     << u"entrada 2: \"activa\""_s << Programacion();
}

void PruebaProgramacion::leer()
{
    QFETCH(QByteArray, contenido);
    QFETCH(QString, enElMotivo);
    QFETCH(Programacion, esperada);

    Programacion leida{{Solo(u"de antes.txt"_s)}};
    const auto error = LeerProgramacionDeBytes(contenido, leida, u"programacion.json"_s);
    QCOMPARE(error.has_value(), !enElMotivo.isEmpty());
    if (error) {
        QCOMPARE(error->ruta, u"programacion.json"_s);
        QVERIFY2(error->motivo.contains(enElMotivo), qPrintable(error->motivo));
    }
    QVERIFY(leida == esperada);
}

void PruebaProgramacion::idaYVuelta()
{
    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    const QString ruta = carpeta.filePath(u"programacion.json"_s);
    EntradaDeProgramacion noche = Solo(u"Señal ñandú.txt"_s);
    noche.desde = QTime(22, 30);
    noche.hasta = QTime(2, 0);
    EntradaDeProgramacion semana = Solo(u"semana.txt"_s);
    semana.dias = 0x7F; // ticked one by one, read back as every day
    const Programacion programacion{{Completa(), Solo(u"base.txt"_s), noche}};

    QVERIFY(!EscribirProgramacion(ruta, programacion));
    const QByteArray escrito = LeerBytes(ruta);
    QVERIFY(escrito.contains(u"Señal ñandú.txt"_s.toUtf8()));
    // Every field shows, in the manual's order, also for the base entry.
    QVERIFY2(escrito.contains(R"({
            "archivo": "base.txt",
            "dias": ["lu", "ma", "mi", "ju", "vi", "sa", "do"],
            "desde": "00:00",
            "hasta": null,
            "desde_fecha": null,
            "hasta_fecha": null,
            "activa": true
        })"), escrito.constData());
    Programacion leida;
    QVERIFY(!LeerProgramacion(ruta, leida));
    QVERIFY(leida == programacion);
    QVERIFY(!EscribirProgramacion(ruta, Programacion{{semana}}));
    QVERIFY(!LeerProgramacion(ruta, leida));
    QCOMPARE(leida.entradas.at(0).dias, quint8(0));
    QVERIFY(!EscribirProgramacion(ruta, programacion));

    // What would not read back is not written: the file stays as it was.
    QVERIFY(EscribirProgramacion(ruta, Programacion{{Solo(QString())}}));
    QCOMPARE(LeerBytes(ruta), escrito);
}

void PruebaProgramacion::sinArchivoNoHayEntradas()
{
    QTemporaryDir carpeta;
    Programacion leida{{Solo(u"de antes.txt"_s)}};
    QVERIFY(!LeerProgramacion(carpeta.filePath(u"programacion.json"_s), leida));
    QVERIFY(leida.entradas.isEmpty());
}

QTEST_GUILESS_MAIN(PruebaProgramacion)
#include "prueba_programacion.moc"
