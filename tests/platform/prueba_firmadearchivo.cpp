#include "platform/firmadearchivo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

bool Escribir(const QString &ruta, const QByteArray &bytes)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::WriteOnly) && archivo.write(bytes) == bytes.size();
}

} // namespace

// Whether two paths are one file, and whether a file changed since it was
// last seen: what keeps one window per text and saves from writing over
// another program's work.
class PruebaFirmaDeArchivo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mismoArchivo_data();
    void mismoArchivo();
    void firma_data();
    void firma();
};

void PruebaFirmaDeArchivo::mismoArchivo_data()
{
    QTest::addColumn<QString>("otra"); // how the second path names texto.txt, relative to the folder
    QTest::addColumn<bool>("mismo");

    QTest::newRow("la misma ruta") << u"texto.txt"_s << true;
    QTest::newRow("doble barra") << u"/carpeta//texto.txt"_s << true;
    QTest::newRow("con punto y vuelta") << u"carpeta/./../carpeta/texto.txt"_s << true;
    QTest::newRow("enlace simbólico") << u"#enlace"_s << true;
    QTest::newRow("enlace duro") << u"#duro"_s << true;
    QTest::newRow("enlace a otro") << u"#enlace-a-otro"_s << false;
    QTest::newRow("otro archivo") << u"otro.txt"_s << false;
    QTest::newRow("uno que no existe") << u"falta.txt"_s << false;
    QTest::newRow("vacía") << QString() << false;
}

void PruebaFirmaDeArchivo::mismoArchivo()
{
    QFETCH(QString, otra);
    QFETCH(bool, mismo);

    QTemporaryDir raiz;
    QVERIFY(raiz.isValid());
    QDir(raiz.path()).mkdir(u"carpeta"_s);
    const QString carpeta = raiz.filePath(u"carpeta"_s);
    const QString texto = carpeta + u"/texto.txt"_s;
    QVERIFY(Escribir(texto, "hola"));
    QVERIFY(Escribir(carpeta + u"/otro.txt"_s, "hola"));
    QVERIFY(QFile::link(texto, carpeta + u"/#enlace"_s));
    QVERIFY(QFile::link(carpeta + u"/otro.txt"_s, carpeta + u"/#enlace-a-otro"_s));
    QVERIFY(::link(QFile::encodeName(texto).constData(), QFile::encodeName(carpeta + u"/#duro"_s).constData()) == 0);

    QString ruta;
    if (otra.startsWith(u'/'))
        ruta = raiz.path() + otra;
    else if (otra.startsWith(u"carpeta/"_s))
        ruta = raiz.path() + u'/' + otra;
    else if (!otra.isEmpty())
        ruta = carpeta + u'/' + otra;
    QCOMPARE(MismoArchivo(texto, ruta), mismo);
    QCOMPARE(MismoArchivo(ruta, texto), mismo);
}

void PruebaFirmaDeArchivo::firma_data()
{
    QTest::addColumn<QByteArray>("antes"); // "#falta": no file
    QTest::addColumn<QByteArray>("despues");
    QTest::addColumn<bool>("igual");

    QTest::newRow("sin cambios") << QByteArray("interfase com1") << QByteArray("interfase com1") << true;
    QTest::newRow("mismo tamaño, otro contenido") << QByteArray("cartel R560, A, 7") << QByteArray("cartel R560, A, 9")
                                                  << false;
    QTest::newRow("un byte más") << QByteArray("abc") << QByteArray("abcd") << false;
    QTest::newRow("vaciado") << QByteArray("abc") << QByteArray() << false;
    QTest::newRow("borrado") << QByteArray("abc") << QByteArray("#falta") << false;
    QTest::newRow("creado") << QByteArray("#falta") << QByteArray("abc") << false;
    QTest::newRow("sigue sin estar") << QByteArray("#falta") << QByteArray("#falta") << true;
}

void PruebaFirmaDeArchivo::firma()
{
    QFETCH(QByteArray, antes);
    QFETCH(QByteArray, despues);
    QFETCH(bool, igual);

    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    const QString ruta = carpeta.filePath(u"archivo"_s);
    const auto poner = [&ruta](const QByteArray &bytes) {
        QFile::remove(ruta);
        return bytes == "#falta" || Escribir(ruta, bytes);
    };
    QVERIFY(poner(antes));
    const FirmaDeArchivo vista = FirmaDeArchivo::Tomar(ruta, 1024);
    QCOMPARE(vista.Existe(), antes != "#falta");
    if (antes != "#falta")
        QCOMPARE(vista, FirmaDeArchivo::DeBytes(antes));
    // Rewritten in the same instant: only the content can tell.
    QVERIFY(poner(despues));
    QCOMPARE(FirmaDeArchivo::Tomar(ruta, 1024) == vista, igual);
}

QTEST_GUILESS_MAIN(PruebaFirmaDeArchivo)
#include "prueba_firmadearchivo.moc"
