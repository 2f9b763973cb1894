#include "documentopedido.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The standard input cartel-enviar reads its text from ("-" or /dev/stdin),
// whatever the shell left there.
class PruebaDocumentoPedido : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entradaEstandar_data();
    void entradaEstandar();
};

void PruebaDocumentoPedido::entradaEstandar_data()
{
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QString>("entrada"); // "tubería" holding `bytes`, "carpeta", or "sin abrir"
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error"); // part of the reason; empty: none

    QTest::newRow("/dev/stdin es la entrada, no una tubería con nombre")
        << u"/dev/stdin"_s << u"tubería"_s << QByteArray("PROPIEDADES:\r\nDirs:  Hall\r\nTEXTO:\r\nHOLA\r\n") << QString();
    // Read as empty, either sent a blank text to every sign. cartel-enviar
    // leaves a closed or write-only input unopened; a folder opens, and its
    // read fails as any read failure does.
    QTest::newRow("cerrada o solo para escribir") << u"-"_s << u"sin abrir"_s << QByteArray()
                                                  << u"no está abierta para leer"_s;
    QTest::newRow("una carpeta") << u"-"_s << u"carpeta"_s << QByteArray()
                                 << u"No se pudo leer la entrada estándar"_s;
    QTest::newRow("sin TEXTO:") << u"-"_s << u"tubería"_s << QByteArray("PROPIEDADES:\r\nDirs:  Hall\r\nHOLA\r\n")
                                << u"no la línea \"TEXTO:\": 1 líneas"_s;
}

void PruebaDocumentoPedido::entradaEstandar()
{
    QFETCH(QString, nombre);
    QFETCH(QString, entrada);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);

    QTemporaryDir carpeta;
    int descriptor = -1;
    if (entrada == u"tubería"_s) {
        int extremos[2];
        QCOMPARE(pipe(extremos), 0);
        QVERIFY(write(extremos[1], bytes.constData(), bytes.size()) == bytes.size());
        close(extremos[1]);
        descriptor = extremos[0];
    } else if (entrada == u"carpeta"_s) {
        descriptor = open(QFile::encodeName(carpeta.path()).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(descriptor >= 0);
    }
    QFile dispositivo; // as cartel-enviar opens its standard input
    if (descriptor >= 0)
        QVERIFY(dispositivo.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));

    TextoLeido leido{u"previo"_s, u"previas"_s, -1};
    const auto fallo = LeerDocumentoPedido(nombre, dispositivo, leido);
    QCOMPARE(fallo.has_value(), !error.isEmpty());
    if (fallo)
        QVERIFY2(fallo->motivo.contains(error), qPrintable(fallo->motivo));
    QCOMPARE(leido.texto, error.isEmpty() ? u"HOLA"_s : u"previo"_s);
    QCOMPARE(leido.propiedades, error.isEmpty() ? u"Dirs:  Hall"_s : u"previas"_s);
    QCOMPARE(leido.lineasFueraDelTexto, error.isEmpty() ? 0 : -1);
}

QTEST_GUILESS_MAIN(PruebaDocumentoPedido)
#include "prueba_documentopedido.moc"
