#include "encoding/codificador.h"
#include "encoding/etiquetas.h"
#include "encoding/saltosdelinea.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray Bytes(std::initializer_list<int> codigos)
{
    QByteArray b;
    for (int c : codigos)
        b.append(static_cast<char>(c));
    return b;
}

// A piece of random text. No piece ends in part of a tag that the next
// could complete, so a text made of pieces encodes as its pieces one by one:
// whole tags, tags miscased or spaced, brackets, substitutable and dropped
// letters, line breaks, and single characters of any kind.
QString PiezaAlAzar(QRandomGenerator &azar)
{
    static const QStringList piezas = {
        u"[titila]"_s, u"[no titila]"_s, u"[normal]"_s, u"[exp]"_s, u"[pausa]"_s, u"[v0]"_s,
        u"[v1]"_s, u"[v2]"_s, u"[centra]"_s, u"[baja]"_s, u"[sube]"_s, u"[izq]"_s, u"[esp seg]"_s,
        u"[Titila]"_s, u"[no  titila]"_s, u"[v3]"_s, u"[[v0]"_s, u"]"_s,
        u"\r\n"_s, u"\n"_s, u"\r"_s, u"\t"_s, u"áéíóúÑñº¿¡"_s, u"ÁÉÍÓÚüÜ°€"_s, u"Hola, qué tal"_s,
    };
    switch (azar.bounded(4)) {
    case 0:
        return piezas.at(azar.bounded(piezas.size()));
    case 1:
        return QString(QChar(static_cast<char16_t>(azar.bounded(0x10000))));
    case 2:
        return QString(QChar(static_cast<char16_t>(azar.bounded(0x100))));
    default:
        return QString(QChar(static_cast<char16_t>(0x20 + azar.bounded(0x5F))));
    }
}

} // namespace

class PruebaCodificador : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void CasosDeBorde_data();
    void CasosDeBorde();
    void CadaEtiqueta_data();
    void CadaEtiqueta();
    void CadaSustituto_data();
    void CadaSustituto();
    void CaracteresDescartados_data();
    void CaracteresDescartados();
    void TablasCompartidas();
    void TextoMasLargoSeCodificaEntero();
    void TextoAlAzar();
    void DemasiadoLargo_data();
    void DemasiadoLargo();
    void Saltos_data();
    void Saltos();
};

void PruebaCodificador::CasosDeBorde_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QByteArray>("esperado");

    QTest::newRow("vacío") << QString() << QByteArray();
    QTest::newRow("Hola") << u"Hola"_s << Bytes({72, 111, 108, 97});
    QTest::newRow("titila alrededor") << u"[titila]HOLA[no titila]"_s
                                      << Bytes({129, 72, 79, 76, 65, 128});
    QTest::newRow("mayúscula no es etiqueta")
        << u"[Titila]"_s << Bytes({91, 84, 105, 116, 105, 108, 97, 93});
    QTest::newRow("dos espacios no es etiqueta")
        << u"[no  titila]"_s << QByteArray("[no  titila]");
    QTest::newRow("corchete doble") << u"[[v0]"_s << Bytes({91, 133});
    QTest::newRow("cortada por el final") << u"abc[sub"_s << Bytes({97, 98, 99, 91, 115, 117, 98});
    QTest::newRow("corchete de cierre suelto") << u"ab]c"_s << Bytes({97, 98, 93, 99});
    QTest::newRow("canción") << u"canción"_s << Bytes({99, 97, 110, 99, 105, 28, 110});
    QTest::newRow("¿Qué?") << u"¿Qué?"_s << Bytes({23, 81, 117, 18, 63});
    QTest::newRow("ordinal") << u"1º"_s << Bytes({49, 22});
    QTest::newRow("Á se pierde") << u"ÁRBOL"_s << Bytes({82, 66, 79, 76});
    QTest::newRow("grado se pierde") << u"1°"_s << Bytes({49});
    QTest::newRow("salto de línea")
        << u"línea 1\r\nlínea 2"_s
        << Bytes({108, 27, 110, 101, 97, 32, 49, 32, 32, 108, 27, 110, 101, 97, 32, 50});
    QTest::newRow("tabulador") << u"a\tb"_s << Bytes({97, 9, 98});
    QTest::newRow("DEL y NUL pasan") << QString(QChar(127)) + QChar(0) << Bytes({127, 0});
    QTest::newRow("espacio seg solo") << u"[esp seg]"_s << Bytes({19});
    QTest::newRow("corchete al final") << u"x["_s << Bytes({120, 91});
    QTest::newRow("etiqueta a la que le falta el cierre") << u"[v0"_s << Bytes({91, 118, 48});
    QTest::newRow("letra perdida dentro de etiqueta") << u"[ti€tila]"_s << QByteArray("[titila]");
    QTest::newRow("etiquetas seguidas") << u"[v1][v1][sube]"_s << Bytes({134, 134, 144});
    QTest::newRow("etiqueta tras sustituto") << u"ñ[baja]ñ"_s << Bytes({31, 143, 31});
}

void PruebaCodificador::CasosDeBorde()
{
    QFETCH(QString, texto);
    QFETCH(QByteArray, esperado);
    QCOMPARE(CodificarTexto(texto), esperado);
}

void PruebaCodificador::CadaEtiqueta_data()
{
    QTest::addColumn<QString>("etiqueta");
    QTest::addColumn<int>("codigo");

    const QList<QPair<QString, int>> filas = {
        {u"[no titila]"_s, 128}, {u"[titila]"_s, 129}, {u"[normal]"_s, 130}, {u"[exp]"_s, 131},
        {u"[pausa]"_s, 132},     {u"[v0]"_s, 133},     {u"[v1]"_s, 134},     {u"[v2]"_s, 135},
        {u"[centra]"_s, 142},    {u"[baja]"_s, 143},   {u"[sube]"_s, 144},   {u"[izq]"_s, 145},
        {u"[esp seg]"_s, 19},
    };
    for (const auto &[etiqueta, codigo] : filas)
        QTest::newRow(qPrintable(etiqueta)) << etiqueta << codigo;
}

void PruebaCodificador::CadaEtiqueta()
{
    QFETCH(QString, etiqueta);
    QFETCH(int, codigo);
    const char b = static_cast<char>(codigo);

    QCOMPARE(CodificarTexto(etiqueta), QByteArray(1, b));
    QCOMPARE(QString(EtiquetaDelCodigo(quint8(codigo)).value_or(QLatin1StringView())), etiqueta);
    // Text on both sides is untouched by the tag.
    QCOMPARE(CodificarTexto(u"a"_s + etiqueta + u"z"_s), QByteArray("a") + b + 'z');
    // Cut one character short it is plain text.
    const QString corta = etiqueta.chopped(1);
    QCOMPARE(CodificarTexto(corta), corta.toLatin1());
    // In capitals it is plain text.
    QCOMPARE(CodificarTexto(etiqueta.toUpper()), etiqueta.toUpper().toLatin1());
    // A space inside is not trimmed away.
    const QString conEspacio = etiqueta.left(1) + u' ' + etiqueta.mid(1);
    QCOMPARE(CodificarTexto(conEspacio), conEspacio.toLatin1());
}

void PruebaCodificador::CadaSustituto_data()
{
    QTest::addColumn<QString>("caracter");
    QTest::addColumn<int>("codigo");

    QTest::newRow("á") << u"á"_s << 25;
    QTest::newRow("é") << u"é"_s << 18;
    QTest::newRow("í") << u"í"_s << 27;
    QTest::newRow("ó") << u"ó"_s << 28;
    QTest::newRow("ú") << u"ú"_s << 29;
    QTest::newRow("Ñ") << u"Ñ"_s << 30;
    QTest::newRow("ñ") << u"ñ"_s << 31;
    QTest::newRow("º") << u"\u00BA"_s << 22;
    QTest::newRow("¿") << u"¿"_s << 23;
    QTest::newRow("¡") << u"¡"_s << 24;
    QTest::newRow("CR") << u"\r"_s << 32;
    QTest::newRow("LF") << u"\n"_s << 32;
}

void PruebaCodificador::CadaSustituto()
{
    QFETCH(QString, caracter);
    QFETCH(int, codigo);
    QCOMPARE(CodificarTexto(caracter), QByteArray(1, static_cast<char>(codigo)));
    QCOMPARE(CodificarTexto(u"x"_s + caracter + caracter),
             QByteArray("x") + static_cast<char>(codigo) + static_cast<char>(codigo));
    // The way back gives the letter; a line break comes back as a plain space.
    const bool salto = caracter == u"\r"_s || caracter == u"\n"_s;
    QCOMPARE(CaracterDelCodigo(quint8(codigo)),
             salto ? std::optional<char16_t>() : std::optional<char16_t>(caracter.front().unicode()));
}

void PruebaCodificador::CaracteresDescartados_data()
{
    QTest::addColumn<QString>("caracter");

    QTest::newRow("Á") << u"Á"_s;
    QTest::newRow("É") << u"É"_s;
    QTest::newRow("Í") << u"Í"_s;
    QTest::newRow("Ó") << u"Ó"_s;
    QTest::newRow("Ú") << u"Ú"_s;
    QTest::newRow("ü") << u"ü"_s;
    QTest::newRow("Ü") << u"Ü"_s;
    QTest::newRow("grado") << u"\u00B0"_s;
    QTest::newRow("euro") << u"€"_s;
    QTest::newRow("U+0080") << u"\u0080"_s;
    QTest::newRow("U+00FF") << u"\u00FF"_s;
    QTest::newRow("espacio duro") << u"\u00A0"_s;
    QTest::newRow("ideograma") << u"中"_s;
    QTest::newRow("fuera del plano básico") << u"😀"_s;
}

void PruebaCodificador::CaracteresDescartados()
{
    QFETCH(QString, caracter);
    QCOMPARE(CodificarTexto(caracter), QByteArray());
    QCOMPARE(CodificarTexto(u"a"_s + caracter + u"b"_s), QByteArray("ab"));
}

void PruebaCodificador::TablasCompartidas()
{
    // The editor and the decoder read these tables; the rows above hold each
    // entry to its code, and nothing more may be in them.
    QCOMPARE(EtiquetasDeEfecto().size(), 13u);
    QCOMPARE(Sustituciones().size(), 12u);
    QCOMPARE(CaracterDelCodigo(26), std::nullopt);
    QCOMPARE(EtiquetaDelCodigo(136), std::nullopt);
}

void PruebaCodificador::TextoMasLargoSeCodificaEntero()
{
    // Built so that the last characters are a whole tag: a scan that stops
    // short of the end would lose it.
    const QString bloque = u"año\r\n[v1]Ü"_s; // 10 characters, 6 bytes
    const qsizetype bloques = (LongitudMaximaDeTexto - 6) / bloque.size();
    const qsizetype equis = LongitudMaximaDeTexto - 6 - bloques * bloque.size();
    const QString texto = bloque.repeated(bloques) + QString(equis, u'x') + u"[sube]"_s;
    QCOMPARE(texto.size(), LongitudMaximaDeTexto);
    QVERIFY(!TextoDemasiadoLargo(texto));
    QCOMPARE(CodificarTexto(texto),
             Bytes({97, 31, 111, 32, 32, 134}).repeated(bloques) + QByteArray(equis, 'x') + Bytes({144}));
}

void PruebaCodificador::TextoAlAzar()
{
    // Nothing carries over from one piece to the next, no byte can be taken
    // for a frame byte, and single characters follow the plain rules.
    QRandomGenerator azar(20240611);
    for (int vuelta = 0; vuelta < 500; ++vuelta) {
        QString texto;
        QByteArray porPiezas;
        for (int trozos = azar.bounded(1, 200); trozos > 0; --trozos) {
            const QString pieza = PiezaAlAzar(azar);
            const QByteArray codificada = CodificarTexto(pieza);
            const char16_t c = pieza.front().unicode();
            if (pieza.size() == 1 && c >= 0x100)
                QVERIFY2(codificada.isEmpty(), qPrintable(u"U+%1"_s.arg(int(c), 4, 16, QChar(u'0'))));
            if (pieza.size() == 1 && c < 0x80 && c != u'\r' && c != u'\n')
                QCOMPARE(codificada, pieza.toLatin1());
            texto += pieza;
            porPiezas += codificada;
        }
        const QByteArray codificado = CodificarTexto(texto);
        QCOMPARE(codificado, porPiezas);
        QVERIFY(codificado.size() <= texto.size());
        for (char byte : codificado) {
            const auto b = static_cast<quint8>(byte);
            if (b >= 146 || (b >= 136 && b <= 141))
                QFAIL(qPrintable(u"byte %1 en la codificación de %2"_s.arg(b).arg(texto)));
        }
    }
}

void PruebaCodificador::DemasiadoLargo_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("largo");

    QTest::newRow("vacío") << QString() << false;
    QTest::newRow("justo") << QString(32766, u'a') << false;
    QTest::newRow("uno de más") << QString(32767, u'a') << true;
    QTest::newRow("CR LF justo") << u"\r\n"_s.repeated(16383) << false;
    QTest::newRow("CR LF de más") << u"\r\n"_s.repeated(16383) + u'a' << true;
    // Editor text: each LF counts as the CR LF it will become.
    QTest::newRow("LF justo") << u"\n"_s.repeated(16383) << false;
    QTest::newRow("LF de más") << u"\n"_s.repeated(16383) + u'a' << true;
    QTest::newRow("CR suelto de más") << u"\r"_s.repeated(16383) + u'a' << true;
    QTest::newRow("LF mezclado justo") << QString(16766, u'a') + u"\n"_s.repeated(8000) << false;
    QTest::newRow("LF mezclado de más") << QString(16767, u'a') + u"\n"_s.repeated(8000) << true;
    QTest::newRow("LF al principio de más") << u"\n"_s + QString(32765, u'a') << true;
}

void PruebaCodificador::DemasiadoLargo()
{
    QFETCH(QString, texto);
    QFETCH(bool, largo);
    QCOMPARE(TextoDemasiadoLargo(texto), largo);
}

void PruebaCodificador::Saltos_data()
{
    QTest::addColumn<QString>("delEditor");
    QTest::addColumn<QString>("conCrLf");

    QTest::newRow("sin saltos") << u"hola"_s << u"hola"_s;
    QTest::newRow("vacío") << QString() << QString();
    QTest::newRow("uno") << u"a\nb"_s << u"a\r\nb"_s;
    QTest::newRow("al principio y al final") << u"\na\n"_s << u"\r\na\r\n"_s;
    QTest::newRow("líneas vacías") << u"a\n\n\nb"_s << u"a\r\n\r\n\r\nb"_s;
    QTest::newRow("con letras y etiquetas") << u"[titila]ñ\n¿sí?"_s << u"[titila]ñ\r\n¿sí?"_s;
}

void PruebaCodificador::Saltos()
{
    QFETCH(QString, delEditor);
    QFETCH(QString, conCrLf);
    QCOMPARE(SaltosCrLf(delEditor), conCrLf);
    QCOMPARE(SaltosLf(conCrLf), delEditor);
    // Both are idempotent: converting twice changes nothing more.
    QCOMPARE(SaltosCrLf(conCrLf), conCrLf);
    QCOMPARE(SaltosLf(delEditor), delEditor);

    // Mixed and lone CR breaks settle on one form each way.
    QCOMPARE(SaltosCrLf(u"a\rb\r\nc\nd\r"_s), u"a\r\nb\r\nc\r\nd\r\n"_s);
    QCOMPARE(SaltosLf(u"a\rb\r\nc\nd\r"_s), u"a\nb\nc\nd\n"_s);
    QCOMPARE(SaltosCrLf(u"\r\r\n\n"_s), u"\r\n\r\n\r\n"_s);
    QCOMPARE(SaltosLf(u"\r\r\n\n"_s), u"\n\n\n"_s);
}

QTEST_APPLESS_MAIN(PruebaCodificador)
#include "prueba_codificador.moc"
