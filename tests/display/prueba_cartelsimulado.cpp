#include "display/cartelsimulado.h"
#include "display/fuentedepuntos.h"
#include "encoding/codificador.h"
#include "encoding/etiquetas.h"
#include "link/separadordetramas.h"
#include "link/trama.h"

#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// "|" is one lit column (the third of its five) and a gap: six columns, so
// where it stands on an eight-column sign is easy to follow by hand.
constexpr int columnas = 8;

QList<quint8> Columnas(const char *hexadecimal)
{
    QList<quint8> resultado;
    for (const QByteArray &byte : QByteArray(hexadecimal).split(' '))
        resultado.append(static_cast<quint8>(byte.toUInt(nullptr, 16)));
    return resultado;
}

} // namespace

class PruebaCartelSimulado : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void PuntosEnUnMomento_data();
    void PuntosEnUnMomento();
    void GlifoDeCadaCodigo_data();
    void GlifoDeCadaCodigo();
    void ElCartelVirtualVeLoMismoQueLaVista();
    void LetrasQueMuestra_data();
    void LetrasQueMuestra();
};

void PruebaCartelSimulado::PuntosEnUnMomento_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QList<quint8>>("esperado");

    // Running left at 50 ms a column: at 150 ms four columns are in.
    QTest::newRow("sin código corre") << u"|"_s << qint64{150} << Columnas("00 00 00 00 00 00 7f 00");
    QTest::newRow("CORRE IZQ.") << u"[izq]|"_s << qint64{150} << Columnas("00 00 00 00 00 00 7f 00");
    QTest::newRow("CORRE IZQ. se va") << u"[izq]|"_s << qint64{600} << Columnas("00 00 00 00 00 00 00 00");
    QTest::newRow("VELOCIDAD 0") << u"[v0]|"_s << qint64{240} << Columnas("00 00 00 00 00 00 7f 00");
    QTest::newRow("VELOCIDAD 1") << u"[v1]|"_s << qint64{150} << Columnas("00 00 00 00 00 00 7f 00");
    QTest::newRow("VELOCIDAD 2") << u"[v2]|"_s << qint64{75} << Columnas("00 00 00 00 00 00 7f 00");
    // Six columns at 50 ms, then at 25 ms: ten columns in at 375 ms.
    QTest::newRow("VELOCIDAD a mitad del texto") << u"[izq]|[v2]|"_s << qint64{375}
                                                 << Columnas("7f 00 00 00 00 00 7f 00");
    QTest::newRow("CENTRA") << u"[centra]|"_s << qint64{100} << Columnas("00 00 00 7f 00 00 00 00");
    QTest::newRow("SUBE, primera fila") << u"[sube]|"_s << qint64{0} << Columnas("00 00 00 40 00 00 00 00");
    QTest::newRow("SUBE, a medias") << u"[sube]|"_s << qint64{450} << Columnas("00 00 00 78 00 00 00 00");
    QTest::newRow("BAJA, primera fila") << u"[baja]|"_s << qint64{0} << Columnas("00 00 00 01 00 00 00 00");
    QTest::newRow("TITILA encendido") << u"[centra][titila]|"_s << qint64{100}
                                      << Columnas("00 00 00 7f 00 00 00 00");
    QTest::newRow("TITILA apagado") << u"[centra][titila]|"_s << qint64{600}
                                    << Columnas("00 00 00 00 00 00 00 00");
    QTest::newRow("NO TITILA") << u"[centra][titila][no titila]|"_s << qint64{600}
                               << Columnas("00 00 00 7f 00 00 00 00");
    // Twelve columns, two of them lit, centred on eight.
    QTest::newRow("EXPANDIDA") << u"[centra][exp]|"_s << qint64{100} << Columnas("00 00 7f 7f 00 00 00 00");
    QTest::newRow("NORMAL") << u"[centra][exp][normal]|"_s << qint64{100} << Columnas("00 00 00 7f 00 00 00 00");
    QTest::newRow("ESPACIO SEG.") << u"[centra][esp seg]|"_s << qint64{100} << Columnas("00 00 00 00 7f 00 00 00");
    // Held when the whole strip is in: six columns from the right.
    QTest::newRow("PAUSA") << u"[izq]|[pausa]"_s << qint64{1000} << Columnas("00 00 00 00 7f 00 00 00");
    QTest::newRow("letra propia") << u"[centra]¡"_s << qint64{100} << Columnas("00 00 00 7d 00 00 00 00");
    QTest::newRow("carácter que no llega") << u"[centra]€|"_s << qint64{100} << Columnas("00 00 00 7f 00 00 00 00");
    // SUBE: 7 rows of 150 ms, 1500 ms standing, PAUSA 2000 ms; then the
    // second "|" runs at 25 ms a column for 13 steps; then all over again.
    const QString mezcla = u"[sube][titila]|[pausa][no titila][izq][v2]|"_s;
    QTest::newRow("mezcla, de pie") << mezcla << qint64{1200} << Columnas("00 00 00 7f 00 00 00 00");
    QTest::newRow("mezcla, titila") << mezcla << qint64{1700} << Columnas("00 00 00 00 00 00 00 00");
    QTest::newRow("mezcla, en pausa") << mezcla << qint64{4400} << Columnas("00 00 00 7f 00 00 00 00");
    QTest::newRow("mezcla, corre") << mezcla << qint64{4625} << Columnas("00 00 00 00 00 00 7f 00");
    QTest::newRow("mezcla, otra vuelta") << mezcla << qint64{4875 + 1200} << Columnas("00 00 00 7f 00 00 00 00");
    QTest::newRow("nada que mostrar") << u"[sube][pausa]"_s << qint64{100} << Columnas("00 00 00 00 00 00 00 00");
}

void PruebaCartelSimulado::PuntosEnUnMomento()
{
    QFETCH(QString, texto);
    QFETCH(qint64, ms);
    QFETCH(QList<quint8>, esperado);
    QCOMPARE(CartelSimulado(CodificarTexto(texto), columnas).Puntos(ms), esperado);
}

void PruebaCartelSimulado::GlifoDeCadaCodigo_data()
{
    QTest::addColumn<int>("codigo");
    QTest::addColumn<QChar>("letra");
    for (int c = 33; c <= 126; ++c)
        QTest::addRow("%d", c) << c << QChar(c);
    for (const Sustitucion &s : Sustituciones()) {
        if (s.codigo != 32)
            QTest::addRow("%d", s.codigo) << int{s.codigo} << QChar(s.caracter);
    }
}

void PruebaCartelSimulado::GlifoDeCadaCodigo()
{
    QFETCH(int, codigo);
    QFETCH(QChar, letra);
    const std::optional<Glifo> glifo = GlifoDelByte(static_cast<quint8>(codigo));
    QVERIFY(glifo.has_value());
    QCOMPARE(*glifo, GlifoDelCaracter(letra.unicode()));
    QVERIFY(std::any_of(glifo->begin(), glifo->end(), [](quint8 c) { return c != 0; }));
    // No other character of the font may look the same.
    for (int otro = 32; otro < 256; ++otro) {
        if (otro != codigo && GlifoDelByte(static_cast<quint8>(otro)) == glifo)
            QFAIL(qPrintable(u"%1 se dibuja igual que %2"_s.arg(codigo).arg(otro)));
    }
}

void PruebaCartelSimulado::ElCartelVirtualVeLoMismoQueLaVista()
{
    const QString texto = u"[sube]¡Hola![pausa][izq][v2]Señora, [titila]¿qué tal?\r\n[exp]Fin"_s;
    const QByteArray mensaje = CodificarTexto(texto);
    SeparadorDeTramas separador;
    const std::vector<SucesoDeLinea> sucesos = separador.Alimentar(ArmarTrama(mensaje, 3), 0);
    QCOMPARE(sucesos.size(), size_t{1});
    const auto &trama = std::get<TramaRecibida>(sucesos.front());

    const CartelSimulado vista(mensaje, 80);
    const CartelSimulado virtual_(trama.mensaje, 80);
    QVERIFY(vista.Ciclo() > 0);
    QCOMPARE(virtual_.Ciclo(), vista.Ciclo());
    for (qint64 ms = 0; ms < 2 * vista.Ciclo(); ms += 37)
        QCOMPARE(virtual_.Puntos(ms), vista.Puntos(ms));
}

void PruebaCartelSimulado::LetrasQueMuestra_data()
{
    QTest::addColumn<QByteArray>("mensaje");
    QTest::addColumn<QString>("letras");

    QTest::newRow("efectos fuera") << CodificarTexto(u"[centra][titila]Hola[pausa] a[esp seg]b"_s) << u"Hola ab"_s;
    QTest::newRow("letras sustituidas") << CodificarTexto(u"¿Año ñandú? ¡Sí! 1º é"_s) << u"¿Año ñandú? ¡Sí! 1º é"_s;
    // A line break reaches the sign as a space.
    QTest::newRow("salto de línea") << CodificarTexto(u"uno\r\ndos"_s) << u"uno  dos"_s;
    QTest::newRow("bytes sin dibujo") << QByteArray("a\x01\x7f\x9f\xff" "b") << u"ab"_s;
    QTest::newRow("corchete del texto") << QByteArray("[exp]") << u"[exp]"_s;
}

void PruebaCartelSimulado::LetrasQueMuestra()
{
    QFETCH(QByteArray, mensaje);
    QFETCH(QString, letras);
    QCOMPARE(LetrasDelMensaje(mensaje), letras);
}

QTEST_GUILESS_MAIN(PruebaCartelSimulado)
#include "prueba_cartelsimulado.moc"
