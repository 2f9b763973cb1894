#include "apoyo/archivosdeprueba.h"
#include "apoyo/limitedeescritura.h"
#include "platform/escritortexto.h"
#include "platform/lectortexto.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The block the reader takes from the file at a time; lines around it check
// that a CR LF split between two blocks still ends one line.
constexpr qsizetype Bloque = 64 * 1024;

QString Nativa(const QString &ruta)
{
    return QDir::toNativeSeparators(QFileInfo(ruta).absoluteFilePath());
}

} // namespace

class PruebaArchivoTexto : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void leeLineas_data();
    void leeLineas();
    void decodificaWindows1252();
    void rechazaArchivoMayorQueElMaximo_data();
    void rechazaArchivoMayorQueElMaximo();
    void limitaTambienLoQueNoDiceSuTamano();
    void informaErrorDeLectura();
    void informaArchivoQueNoSeAbre_data();
    void informaArchivoQueNoSeAbre();
    void leerPasadoElFinalEsError();
    void rutaRelativaSeTomaAlAbrir();
    void aguantaEntradaHostil();

    void escribeCrLfEnWindows1252();
    void caracteresNoRepresentables_data();
    void caracteresNoRepresentables();
    void describeCaracteres_data();
    void describeCaracteres();
    void lineaNoRepresentableNoEscribeNada();
    void escrituraQueNoSeAbreInforma_data();
    void escrituraQueNoSeAbreInforma();
    void escrituraInterrumpidaDejaElArchivoAnterior_data();
    void escrituraInterrumpidaDejaElArchivoAnterior();
    void escrituraSinConfirmarDejaElArchivoAnterior();

private:
    QStringList LeerTodo(const QString &ruta, std::optional<ErrorDeArchivo> *error = nullptr);

    std::unique_ptr<QTemporaryDir> carpeta;
};

void PruebaArchivoTexto::init()
{
    carpeta = std::make_unique<QTemporaryDir>();
    QVERIFY(carpeta->isValid());
}

QStringList PruebaArchivoTexto::LeerTodo(const QString &ruta, std::optional<ErrorDeArchivo> *error)
{
    QStringList lineas;
    LectorTexto lector;
    auto fallo = lector.Abrir(ruta);
    while (!fallo && !lector.AlFinal()) {
        QString linea;
        fallo = lector.LeerLinea(linea);
        if (!fallo)
            lineas.append(linea);
    }
    if (error)
        *error = fallo;
    return lineas;
}

void PruebaArchivoTexto::leeLineas_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lineas");

    const QByteArray largo(Bloque - 1, 'x');
    QTest::newRow("vacío") << QByteArray() << QStringList();
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("última sin fin") << QByteArray("a\r\nb") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("CR solo") << QByteArray("a\rb\r") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("LF CR son dos fines") << QByteArray("a\n\rb") << QStringList{u"a"_s, u""_s, u"b"_s};
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QStringList{u"a"_s, u""_s, u"b"_s};
    QTest::newRow("línea vacía sola") << QByteArray("\r\n") << QStringList{u""_s};
    QTest::newRow("líneas vacías") << QByteArray("\r\n\r\n\n") << QStringList{u""_s, u""_s, u""_s};
    QTest::newRow("CR LF partido entre bloques")
        << largo + "\r\ny" << QStringList{QString::fromLatin1(largo), u"y"_s};
    QTest::newRow("CR al final del bloque, luego texto")
        << largo + "\ry" << QStringList{QString::fromLatin1(largo), u"y"_s};
    QTest::newRow("CR último byte del archivo tras un bloque")
        << largo + "\r" << QStringList{QString::fromLatin1(largo)};
    QTest::newRow("CR LF justo tras el bloque")
        << largo + "x\r\ny" << QStringList{QString::fromLatin1(largo) + u"x"_s, u"y"_s};
    QTest::newRow("NUL dentro de la línea")
        << QByteArray("a\0b\r\n", 5) << QStringList{u"a"_s + QChar(0) + u"b"_s};
}

void PruebaArchivoTexto::leeLineas()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lineas);
    const QString ruta = carpeta->filePath(u"lineas.txt"_s);
    QVERIFY(EscribirBytes(ruta, bytes));
    std::optional<ErrorDeArchivo> error;
    QCOMPARE(LeerTodo(ruta, &error), lineas);
    QVERIFY(!error);
}

void PruebaArchivoTexto::decodificaWindows1252()
{
    const QString ruta = carpeta->filePath(u"ansi.txt"_s);
    // "Año €" plus the five bytes the code page leaves undefined, which come
    // through as the control characters of the same number.
    QVERIFY(EscribirBytes(ruta, QByteArray("A\xF1o \x80\r\n\x81\x8D\x8F\x90\x9D")));
    const QString indefinidos = QString(QChar(0x81)) + QChar(0x8D) + QChar(0x8F) + QChar(0x90) + QChar(0x9D);
    QCOMPARE(LeerTodo(ruta), (QStringList{u"Año €"_s, indefinidos}));
}

void PruebaArchivoTexto::rechazaArchivoMayorQueElMaximo_data()
{
    QTest::addColumn<qsizetype>("tamano");
    QTest::addColumn<bool>("aceptado");
    QTest::newRow("justo el máximo") << qsizetype(1000) << true;
    QTest::newRow("un byte de más") << qsizetype(1001) << false;
}

void PruebaArchivoTexto::rechazaArchivoMayorQueElMaximo()
{
    QFETCH(qsizetype, tamano);
    QFETCH(bool, aceptado);
    const QString ruta = carpeta->filePath(u"grande.txt"_s);
    QVERIFY(EscribirBytes(ruta, QByteArray(tamano, 'x')));
    LectorTexto lector;
    const auto error = lector.Abrir(ruta, 1000);
    QCOMPARE(!error, aceptado);
    if (error) {
        QCOMPARE(error->ruta, Nativa(ruta));
        QVERIFY(!error->motivo.isEmpty());
    }
}

void PruebaArchivoTexto::limitaTambienLoQueNoDiceSuTamano()
{
    // Files under /proc report size 0 and are only known to be too large by
    // reading them.
    const QString ruta = u"/proc/self/maps"_s;
    if (!QFileInfo::exists(ruta))
        QSKIP("No hay /proc en este sistema");
    LectorTexto lector;
    QVERIFY(!lector.Abrir(ruta, 10));
    std::optional<ErrorDeArchivo> error;
    int vueltas = 0;
    while (!error && !lector.AlFinal() && ++vueltas < 100000) {
        QString linea;
        error = lector.LeerLinea(linea);
    }
    QVERIFY(error);
    QCOMPARE(error->ruta, ruta);
}

void PruebaArchivoTexto::informaErrorDeLectura()
{
    // /proc/self/mem opens, but reading at offset 0 fails (nothing is mapped there).
    const QString ruta = u"/proc/self/mem"_s;
    if (!QFileInfo::exists(ruta))
        QSKIP("No hay /proc en este sistema");
    LectorTexto lector;
    if (lector.Abrir(ruta))
        QSKIP("/proc/self/mem no se deja abrir aquí");
    QVERIFY(!lector.AlFinal());
    QString linea = u"sin tocar"_s;
    const auto error = lector.LeerLinea(linea);
    QVERIFY(error);
    QVERIFY(!error->motivo.isEmpty());
    QCOMPARE(linea, u"sin tocar"_s);
}

void PruebaArchivoTexto::informaArchivoQueNoSeAbre_data()
{
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<bool>("esCarpeta");
    QTest::newRow("no existe") << u"falta.txt"_s << false;
    QTest::newRow("es una carpeta") << u"carpeta.txt"_s << true;
}

void PruebaArchivoTexto::informaArchivoQueNoSeAbre()
{
    QFETCH(QString, nombre);
    QFETCH(bool, esCarpeta);
    const QString ruta = carpeta->filePath(nombre);
    if (esCarpeta)
        QVERIFY(QDir().mkdir(ruta));
    QCOMPARE(LectorTexto::Existe(ruta), esCarpeta);
    LectorTexto lector;
    const auto error = lector.Abrir(ruta);
    QVERIFY(error);
    QCOMPARE(error->ruta, Nativa(ruta));
    QVERIFY(!error->motivo.isEmpty());
    QVERIFY(lector.AlFinal());
}

void PruebaArchivoTexto::leerPasadoElFinalEsError()
{
    const QString ruta = carpeta->filePath(u"una.txt"_s);
    QVERIFY(EscribirBytes(ruta, "una\r\n"));
    LectorTexto lector;
    QVERIFY(!lector.Abrir(ruta));
    QString linea;
    QVERIFY(!lector.LeerLinea(linea));
    QCOMPARE(linea, u"una"_s);
    QVERIFY(lector.AlFinal());
    QVERIFY(lector.LeerLinea(linea));
    QCOMPARE(linea, u"una"_s);
}

void PruebaArchivoTexto::rutaRelativaSeTomaAlAbrir()
{
    const QString anterior = QDir::currentPath();
    QVERIFY(QDir(carpeta->path()).mkdir(u"a"_s));
    QVERIFY(QDir(carpeta->path()).mkdir(u"b"_s));
    QVERIFY(EscribirBytes(carpeta->filePath(u"a/x.txt"_s), "de a\r\n"));
    QVERIFY(EscribirBytes(carpeta->filePath(u"b/x.txt"_s), "de b\r\n"));

    QVERIFY(QDir::setCurrent(carpeta->filePath(u"a"_s)));
    const QStringList deA = LeerTodo(u"./x.txt"_s);
    QVERIFY(QDir::setCurrent(carpeta->filePath(u"b"_s)));
    const QStringList deB = LeerTodo(u"./x.txt"_s);
    EscritorTexto escritor;
    const auto error = escritor.Abrir(u"./y.txt"_s);
    QVERIFY(QDir::setCurrent(carpeta->filePath(u"a"_s)));
    if (!error) {
        escritor.EscribirLinea(u"y"_s);
        QVERIFY(!escritor.Confirmar());
    }
    QVERIFY(QDir::setCurrent(anterior));

    QVERIFY(!error);
    QCOMPARE(deA, QStringList{u"de a"_s});
    QCOMPARE(deB, QStringList{u"de b"_s});
    // Opened while in b: lands in b, even though the commit ran from a.
    QVERIFY(QFileInfo::exists(carpeta->filePath(u"b/y.txt"_s)));
    QVERIFY(!QFileInfo::exists(carpeta->filePath(u"a/y.txt"_s)));
}

void PruebaArchivoTexto::aguantaEntradaHostil()
{
    const QString ruta = carpeta->filePath(u"hostil.txt"_s);

    // Every byte value, line ends among them, several times over.
    QByteArray binario;
    for (int vuelta = 0; vuelta < 64; ++vuelta)
        for (int b = 0; b < 256; ++b)
            binario.append(char(b));
    QVERIFY(EscribirBytes(ruta, binario));
    std::optional<ErrorDeArchivo> error;
    const QStringList lineas = LeerTodo(ruta, &error);
    QVERIFY(!error);
    qsizetype caracteres = 0;
    for (const QString &linea : lineas)
        caracteres += linea.size();
    // Each round has one LF and one CR, which end lines; nothing else is lost.
    // The bytes after the last CR make one more line.
    QCOMPARE(caracteres, binario.size() - 2 * 64);
    QCOMPARE(lineas.size(), 2 * 64 + 1);

    // A line of a megabyte.
    QVERIFY(EscribirBytes(ruta, QByteArray(1024 * 1024, 'm') + "\r\nfin"));
    const QStringList megalinea = LeerTodo(ruta, &error);
    QVERIFY(!error);
    QCOMPARE(megalinea.size(), 2);
    QCOMPARE(megalinea.at(0).size(), 1024 * 1024);
    QCOMPARE(megalinea.at(1), u"fin"_s);

    // A million lines.
    QVERIFY(EscribirBytes(ruta, QByteArray("l\r\n").repeated(1000 * 1000)));
    LectorTexto lector;
    QVERIFY(!lector.Abrir(ruta));
    int cuenta = 0;
    QString linea;
    while (!lector.AlFinal()) {
        QVERIFY(!lector.LeerLinea(linea));
        ++cuenta;
    }
    QCOMPARE(cuenta, 1000 * 1000);
    QCOMPARE(linea, u"l"_s);
}

void PruebaArchivoTexto::escribeCrLfEnWindows1252()
{
    const QString ruta = carpeta->filePath(u"escrito.txt"_s);
    EscritorTexto escritor;
    QVERIFY(!escritor.Abrir(ruta));
    escritor.EscribirLinea(u"Año €"_s);
    escritor.EscribirLinea(QString());
    escritor.EscribirLinea(QString(QChar(0x81)) + QChar(0));
    QVERIFY(!escritor.Confirmar());
    QCOMPARE(LeerBytes(ruta), QByteArray("A\xF1o \x80\r\n\r\n\x81\0\r\n", 13));
}

void PruebaArchivoTexto::caracteresNoRepresentables_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("malos");
    QTest::newRow("vacío") << QString() << QString();
    QTest::newRow("todo cabe") << u"Año € «ü» ÿ\r\n"_s << QString();
    QTest::newRow("indefinido de la página vuelve igual") << QString(QChar(0x8D)) << QString();
    QTest::newRow("uno") << u"aΩb"_s << u"Ω"_s;
    QTest::newRow("repetidos, por orden de aparición") << u"ЖaΩЖbΩ"_s << u"ЖΩ"_s;
    QTest::newRow("fuera del plano básico, entero") << u"x😀y😀"_s << u"😀"_s;
    QTest::newRow("sustituto suelto") << QString(QChar(0xD800)) + u"a"_s << QString(QChar(0xD800));
    QTest::newRow("parecido no basta") << u"Ａ"_s << u"Ａ"_s;
}

void PruebaArchivoTexto::caracteresNoRepresentables()
{
    QFETCH(QString, texto);
    QFETCH(QString, malos);
    QCOMPARE(EscritorTexto::CaracteresNoRepresentables(texto), malos);
}

void PruebaArchivoTexto::describeCaracteres_data()
{
    QTest::addColumn<QString>("caracteres");
    QTest::addColumn<QString>("descripcion");
    QTest::newRow("visibles") << u"Ω😀"_s << u"Ω 😀"_s;
    QTest::newRow("sustituto suelto") << QString(QChar(0xDC00)) << u"U+DC00"_s;
    QTest::newRow("separador de línea") << QString(QChar(0x2028)) << u"U+2028"_s;
    QTest::newRow("formato invisible") << QString(QChar(0x200B)) << u"U+200B"_s;
}

void PruebaArchivoTexto::describeCaracteres()
{
    QFETCH(QString, caracteres);
    QFETCH(QString, descripcion);
    QCOMPARE(EscritorTexto::DescribirCaracteres(caracteres), descripcion);
}

void PruebaArchivoTexto::lineaNoRepresentableNoEscribeNada()
{
    const QString ruta = carpeta->filePath(u"viejo.txt"_s);
    QVERIFY(EscribirBytes(ruta, "viejo\r\n"));
    EscritorTexto escritor;
    QVERIFY(!escritor.Abrir(ruta));
    escritor.EscribirLinea(u"bien"_s);
    escritor.EscribirLinea(u"mal Ω"_s);
    escritor.EscribirLinea(u"peor Ж Ω"_s);
    const auto error = escritor.Confirmar();
    QVERIFY(error);
    QCOMPARE(error->ruta, Nativa(ruta));
    QVERIFY2(error->motivo.endsWith(u"Ω Ж"_s), qPrintable(error->motivo));
    QCOMPARE(LeerBytes(ruta), QByteArray("viejo\r\n"));
    QCOMPARE(QDir(carpeta->path()).entryList(QDir::Files), QStringList{u"viejo.txt"_s});
}

void PruebaArchivoTexto::escrituraQueNoSeAbreInforma_data()
{
    QTest::addColumn<QString>("nombre");
    // Paths that even root cannot write a file to.
    QTest::newRow("la carpeta es un archivo") << u"archivo/hijo.txt"_s;
    QTest::newRow("en su lugar hay una carpeta") << u"carpeta"_s;
}

void PruebaArchivoTexto::escrituraQueNoSeAbreInforma()
{
    QFETCH(QString, nombre);
    QVERIFY(EscribirBytes(carpeta->filePath(u"archivo"_s), "contenido"));
    QVERIFY(QDir(carpeta->path()).mkdir(u"carpeta"_s));
    const QString ruta = carpeta->filePath(nombre);

    EscritorTexto escritor;
    std::optional<ErrorDeArchivo> error = escritor.Abrir(ruta);
    if (!error) {
        escritor.EscribirLinea(u"algo"_s);
        error = escritor.Confirmar();
    }
    QVERIFY(error);
    QCOMPARE(error->ruta, Nativa(ruta));
    QVERIFY(!error->motivo.isEmpty());
    QCOMPARE(LeerBytes(carpeta->filePath(u"archivo"_s)), QByteArray("contenido"));
    QVERIFY(QFileInfo(carpeta->filePath(u"carpeta"_s)).isDir());
    QCOMPARE(QDir(carpeta->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{u"archivo"_s, u"carpeta"_s}));
}

void PruebaArchivoTexto::escrituraInterrumpidaDejaElArchivoAnterior_data()
{
    QTest::addColumn<QString>("linea");
    QTest::addColumn<int>("veces");
    // With a limit of 4096 bytes: the system stops part-way through a write
    // and reports it only as a short count.
    QTest::newRow("muchas líneas cortas") << u"una línea que no va a caber entera"_s << 1000;
    QTest::newRow("una línea larga") << QString(8192, u'x') << 1;
    QTest::newRow("un byte de más") << QString(4095, u'x') << 1;
}

void PruebaArchivoTexto::escrituraInterrumpidaDejaElArchivoAnterior()
{
#ifdef Q_OS_UNIX
    QFETCH(QString, linea);
    QFETCH(int, veces);
    const QString ruta = carpeta->filePath(u"anterior.txt"_s);
    QVERIFY(EscribirBytes(ruta, "anterior\r\n"));
    std::optional<ErrorDeArchivo> error;
    {
        const LimiteDeEscritura limite(4096);
        EscritorTexto escritor;
        error = escritor.Abrir(ruta);
        if (!error) {
            for (int i = 0; i < veces; ++i)
                escritor.EscribirLinea(linea);
            error = escritor.Confirmar();
        }
    }
    QVERIFY(error);
    QCOMPARE(error->ruta, Nativa(ruta));
    QVERIFY(!error->motivo.isEmpty());
    QCOMPARE(LeerBytes(ruta), QByteArray("anterior\r\n"));
    QCOMPARE(QDir(carpeta->path()).entryList(QDir::Files), QStringList{u"anterior.txt"_s});
#else
    QSKIP("Sin límite de tamaño de archivo en este sistema");
#endif
}

void PruebaArchivoTexto::escrituraSinConfirmarDejaElArchivoAnterior()
{
    const QString ruta = carpeta->filePath(u"anterior.txt"_s);
    QVERIFY(EscribirBytes(ruta, "anterior\r\n"));
    {
        EscritorTexto escritor;
        QVERIFY(!escritor.Abrir(ruta));
        escritor.EscribirLinea(u"a medias"_s);
    }
    QCOMPARE(LeerBytes(ruta), QByteArray("anterior\r\n"));
    QCOMPARE(QDir(carpeta->path()).entryList(QDir::Files), QStringList{u"anterior.txt"_s});
}

QTEST_GUILESS_MAIN(PruebaArchivoTexto)
#include "prueba_archivotexto.moc"
