#include "apoyo/archivosdeprueba.h"
#include "platform/firmadearchivo.h"
#include "platform/vigilantedearchivo.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

// Whether two paths are one file, and whether a file changed since it was
// last seen: one window per text, and no save over another program's work.
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
    QTest::addColumn<QString>("otra"); // how the second path names texto.txt
    QTest::addColumn<bool>("mismo");
    QTest::newRow("enlace") << u"/enlace"_s << true;
    // Not found as written: the cleaned paths decide.
    QTest::newRow("por una carpeta que falta") << u"/falta/../texto.txt"_s << true;
    QTest::newRow("otro archivo igual") << u"/otro.txt"_s << false;
    QTest::newRow("vacía") << QString() << false;
}

void PruebaFirmaDeArchivo::mismoArchivo()
{
    QFETCH(QString, otra);
    QFETCH(bool, mismo);
    QTemporaryDir raiz;
    const QString texto = raiz.filePath(u"texto.txt"_s);
    QVERIFY(EscribirBytes(texto, "hola") && EscribirBytes(raiz.filePath(u"otro.txt"_s), "hola"));
    QVERIFY(QFile::link(texto, raiz.filePath(u"enlace"_s)));
    const QString ruta = otra.isEmpty() ? otra : raiz.path() + otra;
    QCOMPARE(MismoArchivo(texto, ruta), mismo);
    QCOMPARE(MismoArchivo(ruta, texto), mismo);
}

void PruebaFirmaDeArchivo::firma_data()
{
    QTest::addColumn<QByteArray>("antes"); // "#falta": no file
    QTest::addColumn<QByteArray>("despues");
    QTest::addColumn<bool>("igual");
    QTest::newRow("sin cambios") << QByteArray("com1") << QByteArray("com1") << true;
    QTest::newRow("mismo tamaño, otro contenido") << QByteArray("A, 7") << QByteArray("A, 9") << false;
    QTest::newRow("borrado") << QByteArray("abc") << QByteArray("#falta") << false;
    QTest::newRow("creado") << QByteArray("#falta") << QByteArray("abc") << false;
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
        return bytes == "#falta" || EscribirBytes(ruta, bytes);
    };
    QVERIFY(poner(antes));
    const FirmaDeArchivo vista = FirmaDeArchivo::Tomar(ruta, 1024);
    QCOMPARE(vista.Existe(), antes != "#falta");
    // Rewritten in the same instant: only the content can tell.
    QVERIFY(poner(despues));
    QCOMPARE(FirmaDeArchivo::Tomar(ruta, 1024) == vista, igual);
}

// The hint that the file may have changed, however another program writes
// it: created, replaced by a rename (and still heard after it), removed.
void PruebaFirmaDeArchivo::vigilante()
{
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(u"carteles.ini"_s);
    const QString otro = ruta + u'~';
    VigilanteDeArchivo vigilante(ruta, 1024);
    QSignalSpy aviso(&vigilante, &VigilanteDeArchivo::PosibleCambio);
    const std::function<bool()> cambios[] = {
        [&] { return EscribirBytes(ruta, "a"); },
        [&] { return EscribirBytes(otro, "c") && std::rename(QFile::encodeName(otro).constData(), QFile::encodeName(ruta).constData()) == 0; },
        [&] { return EscribirBytes(ruta, "d"); },
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
