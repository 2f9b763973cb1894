#include "encoding/codificador.h"
#include "link/decodificador.h"
#include "link/separadordetramas.h"
#include "link/trama.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString TextoAlAzar(QRandomGenerator &azar)
{
    static const QStringList piezas = {
        u"[titila]"_s, u"[no titila]"_s, u"[normal]"_s, u"[exp]"_s, u"[pausa]"_s, u"[v0]"_s,
        u"[v1]"_s, u"[v2]"_s, u"[centra]"_s, u"[baja]"_s, u"[sube]"_s, u"[izq]"_s,
        u"[esp seg]"_s, u"[Sube]"_s, u"[v"_s, u"]"_s, u"\r\n"_s, u"\t"_s, u"ñÑáéíóú"_s,
        u"º¿¡"_s, u"ÁÉÜ°€"_s, u"[0x41]"_s,
    };
    QString t;
    const int trozos = azar.bounded(0, 60);
    for (int i = 0; i < trozos; ++i) {
        switch (azar.bounded(3)) {
        case 0:
            t += piezas.at(azar.bounded(piezas.size()));
            break;
        case 1:
            t += QChar(static_cast<char16_t>(azar.bounded(0x10000)));
            break;
        default:
            t += QChar(static_cast<char16_t>(azar.bounded(0x100)));
            break;
        }
    }
    return t;
}

// Feeds the stream in pieces of random size, as a serial line delivers it.
std::vector<SucesoDeLinea> AlimentarATrozos(SeparadorDeTramas &separador, const QByteArray &flujo,
                                            QRandomGenerator &azar)
{
    std::vector<SucesoDeLinea> sucesos;
    qsizetype p = 0;
    qint64 ahora = 0;
    while (p < flujo.size()) {
        const qsizetype n = std::min<qsizetype>(azar.bounded(1, 40), flujo.size() - p);
        for (auto &s : separador.Alimentar(QByteArrayView(flujo).sliced(p, n), ahora))
            sucesos.push_back(std::move(s));
        p += n;
        ahora += 5;
    }
    return sucesos;
}

QString Resumir(const SucesoDeLinea &suceso)
{
    if (const auto *t = std::get_if<TramaRecibida>(&suceso)) {
        const QString destino = t->aTodos ? u"todos"_s : QString::number(t->direccion);
        return u"trama %1 «%2» %3 @%4-%5"_s.arg(destino, DecodificarMensaje(t->mensaje))
            .arg(t->bytes)
            .arg(t->inicio)
            .arg(t->fin);
    }
    const auto &a = std::get<AnomaliaDeLinea>(suceso);
    return u"%1 «%2» @%3-%4"_s.arg(ClaveDelMotivo(a.motivo), DecodificarMensaje(a.bytes))
        .arg(a.inicio)
        .arg(a.momento);
}

} // namespace

class PruebaDecodificador : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void Decodificar_data();
    void Decodificar();
    void IdaYVuelta();
    void VariasTramasSeguidas();
    void Separar_data();
    void Separar();
    void TramaDemasiadoLarga();
    void LargoMaximoMenor();
    void NingunaAnomaliaVacia_data();
    void NingunaAnomaliaVacia();
};

void PruebaDecodificador::Decodificar_data()
{
    QTest::addColumn<QByteArray>("mensaje");
    QTest::addColumn<QString>("texto");

    QTest::newRow("vacío") << QByteArray() << QString();
    QTest::newRow("ASCII imprimible") << QByteArray(" Hola ~!") << u" Hola ~!"_s;
    QTest::newRow("efectos") << QByteArray("\x81HOLA\x80") << u"[titila]HOLA[no titila]"_s;
    QTest::newRow("todos los efectos")
        << QByteArray("\x80\x81\x82\x83\x84\x85\x86\x87\x8E\x8F\x90\x91\x13")
        << u"[no titila][titila][normal][exp][pausa][v0][v1][v2][centra][baja][sube][izq][esp seg]"_s;
    QTest::newRow("letras") << QByteArray("\x19\x12\x1B\x1C\x1D\x1E\x1F\x16\x17\x18")
                            << u"áéíóúÑñº¿¡"_s;
    QTest::newRow("control") << QByteArray("a\tb\x7F", 4) << u"a[0x09]b[0x7F]"_s;
    // Text that spells a code must not look like one.
    QTest::newRow("corchetes del texto, doblados") << QByteArray("[exp]") << u"[[exp]"_s;
    QTest::newRow("efecto junto a su texto") << QByteArray("\x83[exp]") << u"[exp][[exp]"_s;
    QTest::newRow("texto que imita un byte") << QByteArray("[0x09]\t") << u"[[0x09][0x09]"_s;
    QTest::newRow("corchetes seguidos") << QByteArray("[[]") << u"[[[[]"_s;
    QTest::newRow("lo que deja un carácter descartado")
        << CodificarTexto(u"[\u0080exp]"_s) << u"[[exp]"_s;
    QTest::newRow("nulo") << QByteArray("\0", 1) << u"[0x00]"_s;
    QTest::newRow("controles sin sentido")
        << QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08\x0A\x0B\x0C\x0D\x0E\x0F\x10\x11")
        << u"[0x01][0x02][0x03][0x04][0x05][0x06][0x07][0x08][0x0A][0x0B][0x0C][0x0D][0x0E][0x0F][0x10][0x11]"_s;
    QTest::newRow("sin uso") << QByteArray("\x14\x15\x1A\x88\x8D") << u"[0x14][0x15][0x1A][0x88][0x8D]"_s;
    QTest::newRow("bytes de trama") << QByteArray("\xC8\xC9\xCA\xFF") << u"[0xC8][0xC9][0xCA][0xFF]"_s;
}

void PruebaDecodificador::Decodificar()
{
    QFETCH(QByteArray, mensaje);
    QFETCH(QString, texto);
    QCOMPARE(DecodificarMensaje(mensaje), texto);
}

void PruebaDecodificador::IdaYVuelta()
{
    // Each text, encoded and framed to every kind of destination, comes off a
    // line that cuts it anywhere as the same message, shown as the sign shows
    // it: line breaks as spaces, without the characters it cannot show.
    QList<QPair<QString, std::optional<QString>>> casos = {
        {u"[titila]¡Atención![no titila]\r\nAndén 3 [v1]ÁVILA[sube]"_s,
         u"[titila]¡Atención![no titila]  Andén 3 [v1]VILA[sube]"_s},
        {u"[Titila] [no  titila] [[v0] abc[sub"_s, u"[[Titila] [[no  titila] [[[v0] abc[[sub"_s},
        {u"línea 1\r\nlínea 2\tfin"_s, u"línea 1  línea 2[0x09]fin"_s},
        {u"1º 1° €5 ¿Qué? Ñandú"_s, u"1º 1 5 ¿Qué? Ñandú"_s},
        {u"[esp seg][centra][baja][izq][exp][normal][pausa][v0][v2]"_s,
         u"[esp seg][centra][baja][izq][exp][normal][pausa][v0][v2]"_s},
        {QString(), QString()},
    };
    // Random texts: only that the message comes through whole.
    QRandomGenerator azar(424242);
    for (int i = 0; i < 300; ++i)
        casos.append({TextoAlAzar(azar), std::nullopt});

    for (const auto &[texto, comoSeMuestra] : casos) {
        const QByteArray mensaje = CodificarTexto(texto);
        for (const int destino : {0, 7, 200}) {
            const QByteArray trama = ArmarTrama(mensaje, static_cast<quint8>(destino));
            SeparadorDeTramas separador;
            const auto sucesos = AlimentarATrozos(separador, trama, azar);
            QCOMPARE(sucesos.size(), 1u);
            const auto *recibida = std::get_if<TramaRecibida>(&sucesos.front());
            QVERIFY2(recibida, qPrintable(Resumir(sucesos.front())));
            QCOMPARE(recibida->aTodos, destino == 0);
            if (destino != 0)
                QCOMPARE(int(recibida->direccion), destino);
            QCOMPARE(recibida->bytes, trama.size());
            QCOMPARE(recibida->mensaje, mensaje);
            if (comoSeMuestra)
                QCOMPARE(DecodificarMensaje(recibida->mensaje), *comoSeMuestra);
            QVERIFY(!separador.AMedias());
        }
    }
}

void PruebaDecodificador::VariasTramasSeguidas()
{
    // The address display: 101 frames end to end, cut wherever the line likes.
    QRandomGenerator azar(99);
    SeparadorDeTramas separador;
    const auto sucesos = AlimentarATrozos(separador, ArmarMensajeDeDirecciones(), azar);
    QCOMPARE(sucesos.size(), 101u);
    for (int a = 0; a <= 100; ++a) {
        const auto *t = std::get_if<TramaRecibida>(&sucesos.at(static_cast<std::size_t>(a)));
        QVERIFY(t);
        QVERIFY(!t->aTodos);
        QCOMPARE(int(t->direccion), a);
        QCOMPARE(DecodificarMensaje(t->mensaje), u" "_s + QString::number(a));
    }
}

void PruebaDecodificador::Separar_data()
{
    // Each piece arrives at the time beside it; an empty piece is a check of
    // the clock with nothing received.
    QTest::addColumn<QByteArrayList>("trozos");
    QTest::addColumn<QList<qint64>>("momentos");
    QTest::addColumn<QStringList>("esperado");

    QTest::newRow("a todos")
        << QByteArrayList{"\xC9" "222222 HOLA\xC8"} << QList<qint64>{10}
        << QStringList{u"trama todos «HOLA» 13 @10-10"_s};
    QTest::newRow("a una dirección")
        << QByteArrayList{"\xCA\x05" "222222 HOLA\xC8"} << QList<qint64>{0}
        << QStringList{u"trama 5 «HOLA» 14 @0-0"_s};
    QTest::newRow("en pedazos")
        << QByteArrayList{"\xCA", "\x05" "22", "2222 H", "OLA", "\xC8"} << QList<qint64>{0, 1, 2, 3, 4}
        << QStringList{u"trama 5 «HOLA» 14 @0-4"_s};
    QTest::newRow("mensaje vacío")
        << QByteArrayList{"\xC9" "222222 \xC8"} << QList<qint64>{0}
        << QStringList{u"trama todos «» 9 @0-0"_s};
    QTest::newRow("dos tramas en un trozo")
        << QByteArrayList{"\xC9" "222222 A\xC8\xCA\x03" "222222 B\xC8"} << QList<qint64>{0}
        << QStringList{u"trama todos «A» 10 @0-0"_s, u"trama 3 «B» 11 @0-0"_s};
    QTest::newRow("dirección 200 no cierra")
        << QByteArrayList{"\xCA\xC8" "222222 X\xC8"} << QList<qint64>{0}
        << QStringList{u"trama 200 «X» 11 @0-0"_s};
    QTest::newRow("dirección 202 no es cabecera")
        << QByteArrayList{"\xCA\xCA" "222222 X\xC8"} << QList<qint64>{0}
        << QStringList{u"trama 202 «X» 11 @0-0"_s};
    QTest::newRow("basura antes de la cabecera")
        << QByteArrayList{"xyz", "\xC9" "222222 OK\xC8"} << QList<qint64>{0, 5}
        << QStringList{u"ruido «xyz» @0-5"_s, u"trama todos «OK» 11 @5-5"_s};
    QTest::newRow("basura que acaba en fin")
        << QByteArrayList{"ab\xC8", "\xC9" "222222 OK\xC8"} << QList<qint64>{0, 5}
        << QStringList{u"ruido «ab[0xC8]» @0-0"_s, u"trama todos «OK» 11 @5-5"_s};
    QTest::newRow("falta el campo")
        << QByteArrayList{"\xCA\x05" "22x HOLA\xC8\xC9" "222222 OK\xC8"} << QList<qint64>{0}
        << QStringList{u"sin_campo_fijo «[0xCA][0x05]22x HOLA[0xC8]» @0-0"_s,
                       u"trama todos «OK» 11 @0-0"_s};
    QTest::newRow("falta el campo y llega otra cabecera")
        << QByteArrayList{"\xC9" "222", "\xC9" "222222 OK\xC8"} << QList<qint64>{0, 1}
        << QStringList{u"sin_campo_fijo «[0xC9]222» @0-1"_s, u"trama todos «OK» 11 @1-1"_s};
    QTest::newRow("campo sin espacio")
        << QByteArrayList{"\xC9" "2222222OK\xC8"} << QList<qint64>{0}
        << QStringList{u"sin_campo_fijo «[0xC9]2222222OK[0xC8]» @0-0"_s};
    QTest::newRow("interrumpida por otra cabecera")
        << QByteArrayList{"\xC9" "222222 HO", "\xCA\x05" "222222 LA\xC8"} << QList<qint64>{0, 1}
        << QStringList{u"interrumpida «[0xC9]222222 HO» @0-1"_s, u"trama 5 «LA» 12 @1-1"_s};
    QTest::newRow("plazo vencido al llegar más")
        << QByteArrayList{"\xC9" "222222 HO", "LA\xC8\xC9" "222222 OK\xC8"} << QList<qint64>{0, 2001}
        << QStringList{u"sin_fin «[0xC9]222222 HO» @0-2001"_s, u"ruido «LA[0xC8]» @2001-2001"_s,
                       u"trama todos «OK» 11 @2001-2001"_s};
    QTest::newRow("plazo justo")
        << QByteArrayList{"\xC9" "222222 HO", "LA\xC8"} << QList<qint64>{0, 2000}
        << QStringList{u"trama todos «HOLA» 13 @0-2000"_s};
    QTest::newRow("plazo cuenta desde el último byte")
        << QByteArrayList{"\xC9", "222222 ", "HOLA", "\xC8"} << QList<qint64>{0, 1900, 3800, 5700}
        << QStringList{u"trama todos «HOLA» 13 @0-5700"_s};
    QTest::newRow("plazo vencido en la vigilancia")
        << QByteArrayList{"\xCA\x09" "222222 HO", "", "", ""} << QList<qint64>{100, 2100, 2101, 9000}
        << QStringList{u"sin_fin «[0xCA][0x09]222222 HO» @100-2101"_s};
    QTest::newRow("cabecera sola que no sigue")
        << QByteArrayList{"\xCA", ""} << QList<qint64>{0, 2500}
        << QStringList{u"sin_fin «[0xCA]» @0-2500"_s};
    QTest::newRow("ruido colgado")
        << QByteArrayList{"xyz", "", "\xC9" "222222 OK\xC8"} << QList<qint64>{0, 2001, 2002}
        << QStringList{u"ruido «xyz» @0-2001"_s, u"trama todos «OK» 11 @2002-2002"_s};
    QTest::newRow("vigilar sin nada pendiente")
        << QByteArrayList{"\xC9" "222222 OK\xC8", ""} << QList<qint64>{0, 100000}
        << QStringList{u"trama todos «OK» 11 @0-0"_s};
    QTest::newRow("resincroniza en 202 tras basura")
        << QByteArrayList{"\x01\x02\xC8zz\xCA\x01" "222222 Z\xC8"} << QList<qint64>{0}
        << QStringList{u"ruido «[0x01][0x02][0xC8]» @0-0"_s, u"ruido «zz» @0-0"_s,
                       u"trama 1 «Z» 11 @0-0"_s};
}

void PruebaDecodificador::Separar()
{
    QFETCH(QByteArrayList, trozos);
    QFETCH(QList<qint64>, momentos);
    QFETCH(QStringList, esperado);
    QCOMPARE(trozos.size(), momentos.size());

    SeparadorDeTramas separador;
    QStringList obtenido;
    for (qsizetype i = 0; i < trozos.size(); ++i) {
        const auto sucesos = trozos.at(i).isEmpty() ? separador.Vigilar(momentos.at(i))
                                                    : separador.Alimentar(trozos.at(i), momentos.at(i));
        for (const auto &s : sucesos)
            obtenido += Resumir(s);
    }
    QCOMPARE(obtenido, esperado);
}

void PruebaDecodificador::TramaDemasiadoLarga()
{
    // A frame that never ends, on a line that never goes quiet, must not grow
    // without bound; the next frame is still read.
    SeparadorDeTramas separador;
    QByteArray flujo = "\xC9" "222222 ";
    flujo += QByteArray(SeparadorDeTramas::LargoMaximo, 'a');
    flujo += "\xC8\xCA\x02" "222222 OK\xC8";
    const auto sucesos = separador.Alimentar(flujo, 0);
    QCOMPARE(sucesos.size(), 3u);
    const auto *abandonada = std::get_if<AnomaliaDeLinea>(&sucesos.at(0));
    QVERIFY(abandonada);
    QCOMPARE(abandonada->motivo, MotivoDeAnomalia::SinFin);
    QCOMPARE(abandonada->bytes.size(), SeparadorDeTramas::LargoMaximo);
    const auto *resto = std::get_if<AnomaliaDeLinea>(&sucesos.at(1));
    QVERIFY(resto);
    QCOMPARE(resto->motivo, MotivoDeAnomalia::Ruido);
    QCOMPARE(resto->bytes, QByteArray("aaaaaaaa\xC8"));
    QCOMPARE(Resumir(sucesos.at(2)), u"trama 2 «OK» 12 @0-0"_s);
}

void PruebaDecodificador::LargoMaximoMenor()
{
    // A shorter longest frame takes the same path as the default one; below
    // 16 bytes it is raised to 16, room for a header, the field and a little.
    for (const qsizetype largo : {qsizetype(64), qsizetype(3)}) {
        const qsizetype efectivo = std::max<qsizetype>(largo, 16);
        SeparadorDeTramas separador(SeparadorDeTramas::PlazoPorDefectoMs, largo);
        QByteArray flujo = "\xC9" "222222 ";
        flujo += QByteArray(efectivo, 'a');
        flujo += "\xC8\xCA\x02" "222222 OK\xC8";
        QStringList obtenido;
        for (const auto &s : separador.Alimentar(flujo, 0))
            obtenido += Resumir(s);
        const QByteArray cortada = QByteArray("\xC9" "222222 ") + QByteArray(efectivo - 8, 'a');
        QCOMPARE(obtenido, (QStringList{u"sin_fin «%1» @0-0"_s.arg(DecodificarMensaje(cortada)),
                                        u"ruido «aaaaaaaa[0xC8]» @0-0"_s, u"trama 2 «OK» 12 @0-0"_s}));
    }
}

void PruebaDecodificador::NingunaAnomaliaVacia_data()
{
    // After an overlong frame is given up, what follows is awaited as noise;
    // if no such byte comes before the next header or a silence, there is
    // nothing to report.
    QTest::addColumn<QByteArray>("siguiente"); // empty: the line goes quiet
    QTest::addColumn<QStringList>("despues");
    QTest::newRow("cabecera a todos") << QByteArray("\xC9" "222222 OK\xC8")
                                      << QStringList{u"trama todos «OK» 11 @1-1"_s};
    QTest::newRow("cabecera a una dirección") << QByteArray("\xCA\x04" "222222 OK\xC8")
                                              << QStringList{u"trama 4 «OK» 12 @1-1"_s};
    QTest::newRow("silencio") << QByteArray() << QStringList();
    QTest::newRow("ruido de verdad") << QByteArray("zz\xC8") << QStringList{u"ruido «zz[0xC8]» @1-1"_s};
}

void PruebaDecodificador::NingunaAnomaliaVacia()
{
    QFETCH(QByteArray, siguiente);
    QFETCH(QStringList, despues);

    SeparadorDeTramas separador;
    QByteArray flujo = "\xC9" "222222 ";
    flujo += QByteArray(SeparadorDeTramas::LargoMaximo - flujo.size(), 'a');
    const auto primeros = separador.Alimentar(flujo, 0);
    QCOMPARE(primeros.size(), 1u);
    const auto *abandonada = std::get_if<AnomaliaDeLinea>(&primeros.front());
    QVERIFY(abandonada);
    QCOMPARE(abandonada->motivo, MotivoDeAnomalia::SinFin);
    QCOMPARE(abandonada->bytes, flujo);

    const auto sucesos = siguiente.isEmpty()
                             ? separador.Vigilar(SeparadorDeTramas::PlazoPorDefectoMs + 1)
                             : separador.Alimentar(siguiente, 1);
    QStringList obtenido;
    for (const auto &s : sucesos) {
        if (const auto *a = std::get_if<AnomaliaDeLinea>(&s))
            QVERIFY2(!a->bytes.isEmpty(), qPrintable(Resumir(s)));
        obtenido += Resumir(s);
    }
    QCOMPARE(obtenido, despues);
    QVERIFY(separador.Vigilar(10 * SeparadorDeTramas::PlazoPorDefectoMs).empty());
}

QTEST_APPLESS_MAIN(PruebaDecodificador)
#include "prueba_decodificador.moc"
