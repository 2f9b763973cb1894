#include "documentopedido.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Documento("PROPIEDADES:\r\nDirs:  Hall\r\nTEXTO:\r\nHOLA\r\n");

// What the standard input is made of, as the shell leaves it.
enum class Entrada { Tuberia, Cerrada, Carpeta, SoloEscritura };

// A descriptor standing for the standard input, holding `bytes` when it is
// a pipe; -1 when it cannot be made.
int Descriptor(Entrada entrada, const QByteArray &bytes, const QTemporaryDir &carpeta)
{
    switch (entrada) {
    case Entrada::Tuberia: {
        int extremos[2];
        if (pipe(extremos) != 0)
            return -1;
        const bool escrito = write(extremos[1], bytes.constData(), bytes.size()) == bytes.size();
        close(extremos[1]);
        if (!escrito) {
            close(extremos[0]);
            return -1;
        }
        return extremos[0];
    }
    case Entrada::Cerrada: {
        // A number that was a descriptor a moment ago and is none now.
        const int descriptor = open("/dev/null", O_RDONLY);
        if (descriptor >= 0)
            close(descriptor);
        return descriptor;
    }
    case Entrada::Carpeta:
        return open(QFile::encodeName(carpeta.path()).constData(), O_RDONLY | O_DIRECTORY);
    case Entrada::SoloEscritura:
        return open(QFile::encodeName(carpeta.filePath(u"salida"_s)).constData(), O_WRONLY | O_CREAT, 0600);
    }
    return -1;
}

} // namespace

Q_DECLARE_METATYPE(Entrada)

class PruebaDocumentoPedido : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lectura_data();
    void lectura();
};

// A name other than the standard input's is a file of the folder holding
// `bytes`; the standard input is then an empty pipe.
void PruebaDocumentoPedido::lectura_data()
{
    QTest::addColumn<QString>("archivo");
    QTest::addColumn<Entrada>("entrada");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("texto"); // what is read; empty with `error`
    QTest::addColumn<QString>("error"); // part of the reason; empty: none

    QTest::newRow("- por una tubería") << u"-"_s << Entrada::Tuberia << Documento << u"HOLA"_s << QString();
    QTest::newRow("tubería vacía: un documento vacío")
        << u"-"_s << Entrada::Tuberia << QByteArray() << QString() << QString();
    QTest::newRow("/dev/stdin es la entrada, no una tubería con nombre")
        << u"/dev/stdin"_s << Entrada::Tuberia << Documento << u"HOLA"_s << QString();
    QTest::newRow("/dev/fd/0 también") << u"/dev/fd/0"_s << Entrada::Tuberia << Documento << u"HOLA"_s << QString();
    // Read as empty, any of these sent a blank text to every sign.
    QTest::newRow("cerrada") << u"-"_s << Entrada::Cerrada << QByteArray() << QString()
                             << u"No se pudo leer la entrada estándar"_s;
    QTest::newRow("una carpeta") << u"-"_s << Entrada::Carpeta << QByteArray() << QString()
                                 << u"No se pudo leer la entrada estándar"_s;
    QTest::newRow("abierta solo para escribir") << u"/dev/stdin"_s << Entrada::SoloEscritura << QByteArray()
                                                << QString() << u"No se pudo leer la entrada estándar"_s;
    QTest::newRow("archivo") << u"doc.txt"_s << Entrada::Tuberia << Documento << u"HOLA"_s << QString();
    // Its text is empty: sent, it would blank the signs it names.
    const QByteArray sinTexto("PROPIEDADES:\r\nDirs:  Hall\r\nHOLA\r\n");
    QTest::newRow("archivo sin TEXTO:") << u"doc.txt"_s << Entrada::Tuberia << sinTexto << QString()
                                        << u"no la línea \"TEXTO:\": 1 líneas"_s;
    QTest::newRow("entrada sin TEXTO:") << u"-"_s << Entrada::Tuberia << sinTexto << QString()
                                        << u"no la línea \"TEXTO:\": 1 líneas"_s;
    QTest::newRow("sin TEXTO: pero nada tras los destinos")
        << u"-"_s << Entrada::Tuberia << QByteArray("PROPIEDADES:\r\nDirs:  Hall\r\n") << QString() << QString();
}

void PruebaDocumentoPedido::lectura()
{
    QFETCH(QString, archivo);
    QFETCH(Entrada, entrada);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, texto);
    QFETCH(QString, error);

    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    const bool esArchivo = !archivo.startsWith(u'-') && !archivo.startsWith(u'/');
    if (esArchivo) {
        QFile documento(carpeta.filePath(archivo));
        QVERIFY(documento.open(QIODevice::WriteOnly) && documento.write(bytes) == bytes.size());
        archivo = documento.fileName();
    }
    const int descriptor = Descriptor(entrada, esArchivo ? QByteArray() : bytes, carpeta);
    QVERIFY(descriptor >= 0);
    QFile dispositivo;
    // As cartel-enviar opens its standard input.
    dispositivo.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);

    QString leido = u"previo"_s;
    QString propiedades = u"previas"_s;
    const auto fallo = LeerDocumentoPedido(archivo, dispositivo, leido, propiedades);
    if (error.isEmpty()) {
        QVERIFY2(!fallo, qPrintable(fallo ? fallo->motivo : QString()));
        QCOMPARE(leido, texto);
        QCOMPARE(propiedades, bytes.isEmpty() ? u"Global\r\n"_s : u"Dirs:  Hall"_s);
    } else {
        QVERIFY(fallo);
        QCOMPARE(fallo->ruta.endsWith(u"doc.txt"_s), esArchivo);
        QVERIFY2(fallo->motivo.contains(error), qPrintable(fallo->motivo));
        QCOMPARE(leido, u"previo"_s);
        QCOMPARE(propiedades, u"previas"_s);
    }
}

QTEST_GUILESS_MAIN(PruebaDocumentoPedido)
#include "prueba_documentopedido.moc"
