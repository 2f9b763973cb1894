#include "schedule/estadodecarteles.h"

#include "documents/destinosdeenvio.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Entradas = QList<EntradaDeProgramacion>;
using Alcances = QList<AlcanceDeTexto>;
using Estado = QList<qsizetype>;
Q_DECLARE_METATYPE(EntradaDeProgramacion)
Q_DECLARE_METATYPE(AlcanceDeTexto)

namespace {

constexpr quint8 Lu = 1, Vi = 1 << 4;

// "07:00-11:00"; "22:00-" runs to the end of the day; fechas "AAAA-MM-DD..AAAA-MM-DD".
EntradaDeProgramacion E(const QString &franja, quint8 dias = 0, const QString &fechas = QString(), bool activa = true)
{
    EntradaDeProgramacion entrada;
    entrada.archivo = franja;
    entrada.dias = dias;
    entrada.desde = QTime::fromString(franja.section(u'-', 0, 0), u"HH:mm"_s);
    if (!franja.section(u'-', 1).isEmpty())
        entrada.hasta = QTime::fromString(franja.section(u'-', 1), u"HH:mm"_s);
    if (!fechas.isEmpty()) {
        entrada.desdeFecha = QDate::fromString(fechas.section(u".."_s, 0, 0), Qt::ISODate);
        entrada.hastaFecha = QDate::fromString(fechas.section(u".."_s, 1), Qt::ISODate);
    }
    entrada.activa = activa;
    return entrada;
}

const AlcanceDeTexto Global{true, {}};
AlcanceDeTexto Solo(qsizetype posicion)
{
    return AlcanceDeTexto{false, {posicion}};
}

QDateTime Instante(const QString &iso)
{
    return QDateTime::fromString(iso, Qt::ISODate);
}

} // namespace

class PruebaEstadoDeCarteles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void estado_data();
    void estado();
    void proximoCambio_data();
    void proximoCambio();
    void alcanceDeDestinos_data();
    void alcanceDeDestinos();
};

void PruebaEstadoDeCarteles::estado_data()
{
    QTest::addColumn<QByteArray>("zona");
    QTest::addColumn<Entradas>("entradas");
    QTest::addColumn<Alcances>("alcances");
    QTest::addColumn<QString>("instante");
    QTest::addColumn<Estado>("esperado");

    const QByteArray madrid = "Europe/Madrid";
    const Entradas baseYExcepcion{E(u"-"_s), E(u"07:00-11:00"_s)};
    QTest::newRow("la excepción, debajo, gana") << madrid << baseYExcepcion << Alcances{Global, Global}
                                               << u"2026-06-10T08:00:00+02:00"_s << Estado{1, 1, 1};
    QTest::newRow("hasta no incluye su minuto") << madrid << baseYExcepcion << Alcances{Global, Global}
                                               << u"2026-06-10T11:00:00+02:00"_s << Estado{0, 0, 0};
    QTest::newRow("arriba no gana") << madrid << Entradas{E(u"07:00-11:00"_s), E(u"-"_s)} << Alcances{Global, Global}
                                   << u"2026-06-10T08:00:00+02:00"_s << Estado{1, 1, 1};
    QTest::newRow("un cartel sobre la base global") << madrid << baseYExcepcion << Alcances{Global, Solo(1)}
                                                   << u"2026-06-10T08:00:00+02:00"_s << Estado{0, 1, 0};
    QTest::newRow("global debajo tapa al cartel") << madrid << baseYExcepcion << Alcances{Solo(1), Global}
                                                 << u"2026-06-10T08:00:00+02:00"_s << Estado{1, 1, 1};
    QTest::newRow("sin entrada queda como está") << madrid << Entradas{E(u"07:00-11:00"_s)} << Alcances{Solo(2)}
                                                << u"2026-06-10T12:00:00+02:00"_s << Estado{-1, -1, -1};
    QTest::newRow("inactiva") << madrid << Entradas{E(u"-"_s), E(u"-"_s, 0, {}, false)} << Alcances{Solo(0), Global}
                              << u"2026-06-10T12:00:00+02:00"_s << Estado{0, -1, -1};

    // Friday 2026-06-12 22:00 to Saturday 02:00.
    const Entradas noche{E(u"22:00-02:00"_s, Vi)};
    QTest::newRow("medianoche: el viernes") << madrid << noche << Alcances{Global}
                                           << u"2026-06-12T23:00:00+02:00"_s << Estado{0, 0, 0};
    QTest::newRow("medianoche: sábado de madrugada es del viernes")
        << madrid << noche << Alcances{Global} << u"2026-06-13T01:59:00+02:00"_s << Estado{0, 0, 0};
    QTest::newRow("medianoche: viernes de madrugada es del jueves")
        << madrid << noche << Alcances{Global} << u"2026-06-12T01:00:00+02:00"_s << Estado{-1, -1, -1};

    const QString diciembre = u"2026-12-01..2026-12-24"_s;
    QTest::newRow("el último día") << madrid << Entradas{E(u"-"_s, 0, diciembre)} << Alcances{Global}
                                  << u"2026-12-24T23:59:00+01:00"_s << Estado{0, 0, 0};
    QTest::newRow("después de hasta_fecha") << madrid << Entradas{E(u"-"_s, 0, diciembre)} << Alcances{Global}
                                           << u"2026-12-25T00:00:00+01:00"_s << Estado{-1, -1, -1};
    QTest::newRow("medianoche del último día sigue al día siguiente")
        << madrid << Entradas{E(u"22:00-02:00"_s, 0, diciembre)} << Alcances{Global}
        << u"2026-12-25T01:00:00+01:00"_s << Estado{0, 0, 0};

    // 2026-03-29: at 02:00 the clock jumps to 03:00.
    const Entradas salto{E(u"02:30-"_s), E(u"02:00-02:45"_s)};
    QTest::newRow("salto: 02:30 empieza a las 03:00; lo que cae dentro no corre")
        << madrid << salto << Alcances{Solo(0), Solo(1)} << u"2026-03-29T03:00:00+02:00"_s << Estado{0, -1, -1};

    // 2026-10-25: at 03:00 the clock goes back to 02:00.
    const Entradas repetida{E(u"02:30-05:00"_s), E(u"02:00-02:30"_s), E(u"03:00-"_s)};
    const Alcances tres{Solo(0), Solo(1), Solo(2)};
    QTest::newRow("repetida: primera pasada") << madrid << repetida << tres << u"2026-10-25T02:40:00+02:00"_s
                                             << Estado{0, -1, -1};
    QTest::newRow("repetida: la segunda pasada no vuelve a empezar ni a terminar")
        << madrid << repetida << tres << u"2026-10-25T02:10:00+01:00"_s << Estado{0, -1, -1};
    QTest::newRow("repetida: las 03:00 llegan una vez") << madrid << repetida << tres
                                                       << u"2026-10-25T03:00:00+01:00"_s << Estado{0, -1, 2};

    QTest::newRow("UTC") << QByteArray("UTC") << Entradas{E(u"02:30-03:00"_s)} << Alcances{Global}
                         << u"2026-03-29T02:30:00Z"_s << Estado{0, 0, 0};
    QTest::newRow("sin horario de verano") << QByteArray("Asia/Tokyo") << Entradas{E(u"02:30-03:00"_s)}
                                           << Alcances{Global} << u"2026-03-29T02:30:00+09:00"_s << Estado{0, 0, 0};
}

void PruebaEstadoDeCarteles::estado()
{
    QFETCH(QByteArray, zona);
    QFETCH(Entradas, entradas);
    QFETCH(Alcances, alcances);
    QFETCH(QString, instante);
    QFETCH(Estado, esperado);

    const QTimeZone huso(zona);
    QVERIFY2(huso.isValid(), zona.constData());
    QCOMPARE(EstadoDeCarteles(Programacion{entradas}, alcances, 3, Instante(instante), huso), esperado);
}

void PruebaEstadoDeCarteles::proximoCambio_data()
{
    QTest::addColumn<QByteArray>("zona");
    QTest::addColumn<Entradas>("entradas");
    QTest::addColumn<QString>("desde");
    QTest::addColumn<QString>("esperado"); // empty: none

    const QByteArray madrid = "Europe/Madrid";
    QTest::newRow("empieza") << madrid << Entradas{E(u"07:00-11:00"_s)} << u"2026-06-10T06:00:00+02:00"_s
                             << u"2026-06-10T07:00:00+02:00"_s;
    QTest::newRow("el lunes siguiente") << madrid << Entradas{E(u"07:00-11:00"_s, Lu)}
                                       << u"2026-06-08T11:00:00+02:00"_s << u"2026-06-15T07:00:00+02:00"_s;
    QTest::newRow("días enteros seguidos se unen") << madrid << Entradas{E(u"-"_s, Lu | Lu << 1)}
                                                  << u"2026-06-08T10:00:00+02:00"_s << u"2026-06-10T00:00:00+02:00"_s;
    QTest::newRow("siempre") << madrid << Entradas{E(u"07:00-07:00"_s)} << u"2026-06-10T08:00:00+02:00"_s
                             << QString();
    QTest::newRow("siempre hasta una fecha") << madrid << Entradas{E(u"-"_s, 0, u"2026-12-01..2026-12-24"_s)}
                                            << u"2026-12-10T08:00:00+01:00"_s << u"2026-12-25T00:00:00+01:00"_s;

    QTest::newRow("salto: a las 03:00") << madrid << Entradas{E(u"02:30-"_s)} << u"2026-03-29T01:00:00+01:00"_s
                                       << u"2026-03-29T03:00:00+02:00"_s;
    QTest::newRow("salto: lo que cae dentro no es un cambio")
        << madrid << Entradas{E(u"02:00-02:45"_s), E(u"05:00-"_s)} << u"2026-03-29T01:00:00+01:00"_s
        << u"2026-03-29T05:00:00+02:00"_s;
    QTest::newRow("repetida: termina en la primera pasada")
        << madrid << Entradas{E(u"02:00-02:30"_s)} << u"2026-10-25T02:10:00+02:00"_s << u"2026-10-25T02:30:00+02:00"_s;
    QTest::newRow("repetida: no empieza dos veces")
        << madrid << Entradas{E(u"02:00-02:30"_s)} << u"2026-10-25T02:30:00+02:00"_s << u"2026-10-26T02:00:00+01:00"_s;
    QTest::newRow("repetida: desde la segunda pasada")
        << madrid << Entradas{E(u"02:30-04:00"_s)} << u"2026-10-25T02:10:00+01:00"_s << u"2026-10-25T04:00:00+01:00"_s;
    QTest::newRow("UTC") << QByteArray("UTC") << Entradas{E(u"02:30-"_s)} << u"2026-03-29T01:00:00Z"_s
                         << u"2026-03-29T02:30:00Z"_s;
}

void PruebaEstadoDeCarteles::proximoCambio()
{
    QFETCH(QByteArray, zona);
    QFETCH(Entradas, entradas);
    QFETCH(QString, desde);
    QFETCH(QString, esperado);

    const std::optional<QDateTime> cambio = ProximoCambio(Programacion{entradas}, Instante(desde), QTimeZone(zona));
    QCOMPARE(cambio.has_value(), !esperado.isEmpty());
    if (cambio)
        QCOMPARE(cambio->toOffsetFromUtc(cambio->offsetFromUtc()).toString(Qt::ISODate), esperado);
}

void PruebaEstadoDeCarteles::alcanceDeDestinos_data()
{
    QTest::addColumn<QList<quint8>>("direcciones");
    QTest::addColumn<AlcanceDeTexto>("esperado");

    QTest::newRow("dirección 0: todos") << QList<quint8>{5, 0} << Global;
    QTest::newRow("cada cartel con esa dirección") << QList<quint8>{5} << AlcanceDeTexto{false, {0, 2}};
    QTest::newRow("una dirección que nadie tiene") << QList<quint8>{7} << AlcanceDeTexto{};
}

void PruebaEstadoDeCarteles::alcanceDeDestinos()
{
    QFETCH(QList<quint8>, direcciones);
    QFETCH(AlcanceDeTexto, esperado);

    const auto registro =
        RegistroDeCarteles::DeRegistros({u"R560, Hall, 5"_s, u"R560, Caja, Desconocida"_s, u"R560, Patio, 5"_s});
    DestinosDeEnvio destinos;
    destinos.direcciones = direcciones;
    QVERIFY(AlcanceDeDestinos(destinos, registro) == esperado);
}

QTEST_GUILESS_MAIN(PruebaEstadoDeCarteles)
#include "prueba_estadodecarteles.moc"
