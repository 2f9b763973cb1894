#include "platform/vigilantedearchivo.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

bool Escribir(const QString &ruta, const QByteArray &bytes)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::WriteOnly) && archivo.write(bytes) == bytes.size();
}

} // namespace

// The hint that a file another program edits may have changed, however the
// other program writes it, and the answer to whether it really did.
class PruebaVigilanteDeArchivo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cambios_data();
    void cambios();
};

void PruebaVigilanteDeArchivo::cambios_data()
{
    QTest::addColumn<bool>("existe");
    QTest::addColumn<QString>("como"); // "escribir", "renombrar" (a new file over it), "borrar"
    QTest::addColumn<QByteArray>("nuevo");
    QTest::addColumn<bool>("cambiado");

    QTest::newRow("escrito en su lugar") << true << u"escribir"_s << QByteArray("cartel R560, A, 9") << true;
    QTest::newRow("reescrito con lo mismo") << true << u"escribir"_s << QByteArray("cartel R560, A, 7") << false;
    QTest::newRow("otro archivo renombrado encima") << true << u"renombrar"_s << QByteArray("cartel R560, B, 1")
                                                    << true;
    QTest::newRow("renombrado encima con lo mismo") << true << u"renombrar"_s << QByteArray("cartel R560, A, 7")
                                                    << false;
    QTest::newRow("borrado") << true << u"borrar"_s << QByteArray() << true;
    QTest::newRow("creado") << false << u"escribir"_s << QByteArray("interfase com3") << true;
}

void PruebaVigilanteDeArchivo::cambios()
{
    QFETCH(bool, existe);
    QFETCH(QString, como);
    QFETCH(QByteArray, nuevo);
    QFETCH(bool, cambiado);

    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    const QString ruta = carpeta.filePath(u"carteles.ini"_s);
    if (existe)
        QVERIFY(Escribir(ruta, "cartel R560, A, 7"));
    VigilanteDeArchivo vigilante(ruta, 1024);
    vigilante.Conocer(vigilante.Actual());
    QVERIFY(!vigilante.Cambiado());
    QSignalSpy aviso(&vigilante, &VigilanteDeArchivo::PosibleCambio);

    if (como == u"escribir"_s) {
        QVERIFY(Escribir(ruta, nuevo));
    } else if (como == u"renombrar"_s) {
        const QString otro = carpeta.filePath(u"carteles.ini~"_s);
        QVERIFY(Escribir(otro, nuevo));
        QVERIFY(::rename(QFile::encodeName(otro).constData(), QFile::encodeName(ruta).constData()) == 0);
    } else {
        QVERIFY(QFile::remove(ruta));
    }

    QVERIFY(aviso.wait());
    QCOMPARE(vigilante.Cambiado(), cambiado);
    // A file replaced by a rename is still watched: its next edit is heard too.
    if (como == u"renombrar"_s) {
        aviso.clear();
        QVERIFY(Escribir(ruta, "otra vez"));
        QVERIFY(aviso.wait());
        QVERIFY(vigilante.Cambiado());
    }
}

QTEST_GUILESS_MAIN(PruebaVigilanteDeArchivo)
#include "prueba_vigilantedearchivo.moc"
