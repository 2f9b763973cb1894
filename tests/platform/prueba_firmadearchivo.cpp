#include "platform/firmadearchivo.h"
#include "platform/vigilantedearchivo.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <functional>
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
    void vigilante();
};

void PruebaFirmaDeArchivo::mismoArchivo_data()
{
    QTest::addColumn<QString>("otra"); // how the second path names carpeta/texto.txt
    QTest::addColumn<bool>("mismo");

    QTest::newRow("doble barra") << u"/carpeta//texto.txt"_s << true;
    QTest::newRow("enlace simbólico") << u"carpeta/enlace"_s << true;
    QTest::newRow("enlace duro") << u"carpeta/duro"_s << true;
    QTest::newRow("otro archivo igual") << u"carpeta/otro.txt"_s << false;
    QTest::newRow("uno que no existe") << u"carpeta/falta.txt"_s << false;
    QTest::newRow("vacía") << QString() << false;
}

void PruebaFirmaDeArchivo::mismoArchivo()
{
    QFETCH(QString, otra);
    QFETCH(bool, mismo);

    QTemporaryDir raiz;
    QVERIFY(QDir(raiz.path()).mkdir(u"carpeta"_s));
    const QString texto = raiz.filePath(u"carpeta/texto.txt"_s);
    QVERIFY(Escribir(texto, "hola") && Escribir(raiz.filePath(u"carpeta/otro.txt"_s), "hola"));
    QVERIFY(QFile::link(texto, raiz.filePath(u"carpeta/enlace"_s)));
    QCOMPARE(::link(QFile::encodeName(texto).constData(), QFile::encodeName(raiz.filePath(u"carpeta/duro"_s)).constData()), 0);

    const QString ruta = otra.isEmpty() ? otra : otra.startsWith(u'/') ? raiz.path() + otra : raiz.filePath(otra);
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

// The hint that the file may have changed, however another program writes
// it; whether it did is the signature's (the table above).
void PruebaFirmaDeArchivo::vigilante()
{
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(u"carteles.ini"_s);
    const QString otro = carpeta.filePath(u"carteles.ini~"_s);
    VigilanteDeArchivo vigilante(ruta, 1024);
    QSignalSpy aviso(&vigilante, &VigilanteDeArchivo::PosibleCambio);
    // Created where there was none, written in place, replaced by a rename
    // (and still heard after it), removed.
    const std::function<bool()> cambios[] = {
        [&] { return Escribir(ruta, "a"); },
        [&] { return Escribir(ruta, "b"); },
        [&] { return Escribir(otro, "c") && std::rename(QFile::encodeName(otro).constData(), QFile::encodeName(ruta).constData()) == 0; },
        [&] { return Escribir(ruta, "d"); },
        [&] { return QFile::remove(ruta); },
    };
    for (const auto &cambio : cambios) {
        vigilante.Conocer(vigilante.Actual());
        aviso.clear();
        QVERIFY(cambio());
        QVERIFY(aviso.wait());
        QVERIFY(vigilante.Cambiado());
    }
}

QTEST_GUILESS_MAIN(PruebaFirmaDeArchivo)
#include "prueba_firmadearchivo.moc"
