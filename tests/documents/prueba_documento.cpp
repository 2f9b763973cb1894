#include "apoyo/archivosdeprueba.h"
#include "apoyo/limitedeescritura.h"
#include "documents/documento.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QString Global = u"Global\r\n"_s;

// A window's text as the document sees it: every change, the document's own
// included, is reported back as a key would be.
class AlmacenDePrueba : public AlmacenDeTexto
{
public:
    explicit AlmacenDePrueba(Documento &documento) : m_documento(documento) {}
    QString TextoCrLf() const override { return texto; }
    void PonerTextoCrLf(const QString &textoCrLf) override
    {
        texto = textoCrLf;
        m_documento.TextoEditado();
    }

    QString texto;

private:
    Documento &m_documento;
};

} // namespace

class PruebaDocumento : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void lee_data();
    void lee();
    void escribe_data();
    void escribe();
    void idaYVuelta_data();
    void idaYVuelta();
    void escrituraFallidaNoTocaNada_data();
    void escrituraFallidaNoTocaNada();
    void lecturaFallidaNoTocaNada_data();
    void lecturaFallidaNoTocaNada();
    void cuentaLasLineasQueNoSonTexto_data();
    void cuentaLasLineasQueNoSonTexto();
    void destinosQueSeLeerianComoMarca_data();
    void destinosQueSeLeerianComoMarca();
    void enMemoriaComoEnArchivo();
    void eleccionDeCarteles_data();
    void eleccionDeCarteles();
    void documentoAbiertoYGuardado();
    void textoGuardadoEnUnAlmacen();

private:
    std::unique_ptr<QTemporaryDir> m_carpeta;
};

void PruebaDocumento::init()
{
    m_carpeta = std::make_unique<QTemporaryDir>();
    QVERIFY(m_carpeta->isValid());
}

void PruebaDocumento::lee_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("propiedades");

    QTest::newRow("vacío") << QByteArray() << QString() << Global;
    QTest::newRow("texto llano") << QByteArray("hola\r\nmundo") << u"hola\r\nmundo"_s << Global;
    QTest::newRow("texto llano con fin") << QByteArray("hola\r\nmundo\r\n") << u"hola\r\nmundo"_s << Global;
    QTest::newRow("empieza por TEXTO:") << QByteArray("TEXTO:\r\nuno\r\ndos\r\n") << u"uno\r\ndos"_s << Global;
    QTest::newRow("TEXTO: y una vacía") << QByteArray("TEXTO:\r\n\r\nx") << u"\r\nx"_s << Global;
    QTest::newRow("como lo escribe el programa")
        << QByteArray("PROPIEDADES:\r\nDirs:  A\r\nTEXTO:\r\nhola\r\n") << u"hola"_s << u"Dirs:  A"_s;
    QTest::newRow("propiedades vacías quitadas y unidas")
        << QByteArray("PROPIEDADES:\r\n\r\nDirs:  A\r\n\r\n; B\r\nTEXTO:\r\nx\r\n") << u"x"_s << u"Dirs:  A; B"_s;
    // Its first line is the destinations; the others are neither.
    QTest::newRow("nunca llega a TEXTO:")
        << QByteArray("PROPIEDADES:\r\nGlobal\r\nhola\r\n\r\nmundo\r\n") << QString() << u"Global"_s;
    QTest::newRow("termina tras TEXTO:") << QByteArray("PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\n") << QString()
                                         << u"Global"_s;
    QTest::newRow("termina en TEXTO: sin fin de línea") << QByteArray("PROPIEDADES:\r\nGlobal\r\nTEXTO:")
                                                        << QString() << u"Global"_s;
    QTest::newRow("solo PROPIEDADES:") << QByteArray("PROPIEDADES:\r\n") << QString() << Global;
    QTest::newRow("bloque sin propiedades") << QByteArray("PROPIEDADES:\r\nTEXTO:\r\nt\r\n") << u"t"_s << Global;
    QTest::newRow("marcas tras TEXTO: son texto")
        << QByteArray("PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\nPROPIEDADES:\r\nTEXTO:\r\n")
        << u"PROPIEDADES:\r\nTEXTO:"_s << u"Global"_s;
    QTest::newRow("marca en minúsculas es texto")
        << QByteArray("propiedades:\r\nGlobal\r\ntexto:\r\nx") << u"propiedades:\r\nGlobal\r\ntexto:\r\nx"_s << Global;
    QTest::newRow("marca con blanco detrás es texto")
        << QByteArray("PROPIEDADES: \r\nDirs:  A\r\nTEXTO:\r\nx") << u"PROPIEDADES: \r\nDirs:  A\r\nTEXTO:\r\nx"_s
        << Global;
    QTest::newRow("TEXTO: con blanco no es la marca")
        << QByteArray("PROPIEDADES:\r\nGlobal\r\nTEXTO: \r\nt\r\n") << QString() << u"Global"_s;
    QTest::newRow("texto vacío escrito") << QByteArray("PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\n\r\n") << QString()
                                         << u"Global"_s;
    QTest::newRow("texto que acaba en salto")
        << QByteArray("PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\nabc\r\n\r\n") << u"abc\r\n"_s << u"Global"_s;
    QTest::newRow("fines de línea LF") << QByteArray("PROPIEDADES:\nDirs:  A\nTEXTO:\nuno\ndos\n")
                                       << u"uno\r\ndos"_s << u"Dirs:  A"_s;
    QTest::newRow("Windows-1252") << QByteArray("PROPIEDADES:\r\nDirs:  A\xF1o\r\nTEXTO:\r\nSe\xF1" "al \x80")
                                  << u"Señal €"_s << u"Dirs:  Año"_s;
    QTest::newRow("justo el tamaño máximo") << QByteArray(TamanoMaximoDeDocumento, 'g')
                                            << QString(TamanoMaximoDeDocumento, u'g') << Global;
}

void PruebaDocumento::lee()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, texto);
    QFETCH(QString, propiedades);

    const QString ruta = m_carpeta->filePath(u"doc.txt"_s);
    QVERIFY(EscribirBytes(ruta, bytes));
    TextoLeido leido;
    QVERIFY(!LeerDocumento(ruta, leido));
    QCOMPARE(leido.texto, texto);
    QCOMPARE(leido.propiedades, propiedades);
}

void PruebaDocumento::escribe_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("propiedades");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("global") << u"hola"_s << u"Global"_s
                            << QByteArray("PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\nhola\r\n");
    QTest::newRow("texto vacío") << QString() << u"Global"_s
                                 << QByteArray("PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\n\r\n");
    QTest::newRow("texto acabado en salto") << u"a\r\nb\r\n"_s << u"Dirs:  A; B"_s
                                            << QByteArray("PROPIEDADES:\r\nDirs:  A; B\r\nTEXTO:\r\na\r\nb\r\n\r\n");
    QTest::newRow("saltos sueltos pasan a CR LF") << u"a\nb\rc"_s << u"Dirs: "_s
                                                  << QByteArray("PROPIEDADES:\r\nDirs: \r\nTEXTO:\r\na\r\nb\r\nc\r\n");
    QTest::newRow("Windows-1252") << u"Señal €"_s << u"Dirs:  Año"_s
                                  << QByteArray("PROPIEDADES:\r\nDirs:  A\xF1o\r\nTEXTO:\r\nSe\xF1" "al \x80\r\n");
}

void PruebaDocumento::escribe()
{
    QFETCH(QString, texto);
    QFETCH(QString, propiedades);
    QFETCH(QByteArray, bytes);

    const QString ruta = m_carpeta->filePath(u"doc.txt"_s);
    QVERIFY(EscribirBytes(ruta, QByteArray("lo que había antes, más largo que lo nuevo\r\n").repeated(10)));
    QVERIFY(!EscribirDocumento(ruta, texto, propiedades));
    QCOMPARE(LeerBytes(ruta), bytes);
}

void PruebaDocumento::idaYVuelta_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("propiedades");
    QTest::addColumn<QString>("propiedadesLeidas");

    QTest::newRow("solo saltos") << u"\r\n\r\n"_s << u"Dirs: "_s << u"Dirs: "_s;
    QTest::newRow("marcas dentro del texto") << u"PROPIEDADES:\r\nTEXTO:"_s << u"Global"_s << u"Global"_s;
    QTest::newRow("lo que da la lectura") << u"t"_s << Global << u"Global"_s;
    QTest::newRow("propiedades vacías") << u"t"_s << QString() << Global;
    QTest::newRow("texto máximo") << QString(32766, u'ñ') << u"Global"_s << u"Global"_s;
    // "PROPIEDADES:", "Global", "TEXTO:" and the last CR LF take 32 bytes.
    QTest::newRow("justo lo que se vuelve a abrir") << QString(TamanoMaximoDeDocumento - 32, u'x') << u"Global"_s
                                                    << u"Global"_s;
    QTest::newRow("bytes raros") << QString(QChar(0)) + QChar(0x81) + QChar(0x9D) + u"\tÿ"_s << u"Global"_s
                                 << u"Global"_s;
}

void PruebaDocumento::idaYVuelta()
{
    QFETCH(QString, texto);
    QFETCH(QString, propiedades);
    QFETCH(QString, propiedadesLeidas);

    const QString ruta = m_carpeta->filePath(u"doc.txt"_s);
    QVERIFY(!EscribirDocumento(ruta, texto, propiedades));
    TextoLeido leido;
    QVERIFY(!LeerDocumento(ruta, leido));
    QCOMPARE(leido.texto, texto);
    QCOMPARE(leido.propiedades, propiedadesLeidas);
}

void PruebaDocumento::escrituraFallidaNoTocaNada_data()
{
    // Every row starts from a folder with "existente.txt" alone, and must
    // leave exactly that behind.
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("propiedades");
    QTest::addColumn<int>("limite"); // bytes the process may write; 0: no limit
    QTest::addColumn<QStringList>("enElMotivo");

    const QString malo = u"aΩb\r\nЖΩ😀"_s;
    const QString global = u"Global"_s;
    QTest::newRow("no representable en el texto")
        << u"existente.txt"_s << malo << global << 0 << QStringList{u"texto"_s, u": Ω Ж 😀"_s};
    QTest::newRow("no representable en el texto, archivo nuevo")
        << u"nuevo.txt"_s << malo << global << 0 << QStringList{u"texto"_s, u": Ω Ж 😀"_s};
    QTest::newRow("no representable en los destinos")
        << u"existente.txt"_s << u"bien"_s << u"Dirs:  Ωmega"_s << 0 << QStringList{u"destinos"_s, u": Ω"_s};
    // Refused by the document before anything is opened, in both cases above;
    // how the text file itself fails is its own tests' business, and one
    // such failure shows that it reaches the caller.
    // A file of the largest size that opens, saved as read: it grows by the
    // markers and would not open again.
    QTest::newRow("pasaría del máximo") << u"existente.txt"_s << QString(TamanoMaximoDeDocumento, u'g') << global
                                        << 0 << QStringList{u"1 MiB"_s};
    // "PROPIEDADES:", "Global", "TEXTO:" and the final CR LF are 32 bytes:
    // this file would be one byte more than what opens.
    QTest::newRow("un byte de más") << u"existente.txt"_s << QString(TamanoMaximoDeDocumento - 31, u'g') << global
                                    << 0 << QStringList{u"1 MiB"_s};
    QTest::newRow("disco lleno a medias") << u"existente.txt"_s << QString(8192, u'x') << global << 4096
                                          << QStringList();
}

void PruebaDocumento::escrituraFallidaNoTocaNada()
{
    QFETCH(QString, nombre);
    QFETCH(QString, texto);
    QFETCH(QString, propiedades);
    QFETCH(int, limite);
    QFETCH(QStringList, enElMotivo);
    const QDir base(m_carpeta->path());
    const QByteArray anterior("PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\nanterior\r\n");
    QVERIFY(EscribirBytes(base.filePath(u"existente.txt"_s), anterior));
    const QString ruta = base.filePath(nombre);

    if (limite > 0 && !LimiteDeEscritura::Disponible())
        QSKIP("Sin límite de tamaño de archivo en este sistema");
    std::optional<ErrorDeArchivo> error;
    {
        const LimiteDeEscritura limitada(limite);
        error = EscribirDocumento(ruta, texto, propiedades);
    }
    QVERIFY(error);
    QCOMPARE(error->ruta, QDir::toNativeSeparators(ruta));
    QVERIFY(!error->motivo.isEmpty());
    for (const QString &parte : enElMotivo)
        QVERIFY2(error->motivo.contains(parte), qPrintable(error->motivo));
    QCOMPARE(LeerBytes(base.filePath(u"existente.txt"_s)), anterior);
    QCOMPARE(base.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{u"existente.txt"_s});
}

void PruebaDocumento::lecturaFallidaNoTocaNada_data()
{
    QTest::addColumn<QString>("ruta");
    QTest::addColumn<qint64>("tamano"); // of the file laid down first; -1: none
    QTest::addColumn<QString>("enElMotivo");
    QTest::newRow("no existe") << u"falta.txt"_s << qint64(-1) << QString();
    QTest::newRow("es una carpeta") << u"carpeta.txt"_s << qint64(-1) << QString();
    // Opens, but its first read fails.
    QTest::newRow("falla al leer") << u"/proc/self/mem"_s << qint64(-1) << QString();
    QTest::newRow("un byte de más") << u"grande.txt"_s << TamanoMaximoDeDocumento + 1 << u"1 MiB"_s;
    // A FIFO would block the open until someone wrote to it.
    QTest::newRow("una FIFO") << u"fifo.txt"_s << qint64(-2) << u"FIFO"_s;
    QTest::newRow("un dispositivo") << u"/dev/zero"_s << qint64(-1) << u"dispositivo"_s;
    QTest::newRow("muy grande") << u"grande.txt"_s << 8 * TamanoMaximoDeDocumento << u"1 MiB"_s;
}

void PruebaDocumento::lecturaFallidaNoTocaNada()
{
    QFETCH(QString, ruta);
    QFETCH(qint64, tamano);
    QFETCH(QString, enElMotivo);
    if (QDir::isRelativePath(ruta))
        ruta = m_carpeta->filePath(ruta);
    else if (!QFileInfo::exists(ruta))
        QSKIP("No hay /proc en este sistema");
    QVERIFY(QDir(m_carpeta->path()).mkdir(u"carpeta.txt"_s));
    if (tamano >= 0)
        QVERIFY(EscribirBytes(ruta, QByteArray(tamano, 'g')));
#ifdef Q_OS_UNIX
    if (tamano == -2)
        QCOMPARE(mkfifo(QFile::encodeName(ruta).constData(), 0600), 0);
#else
    if (tamano == -2)
        QSKIP("Sin FIFO en este sistema");
#endif

    TextoLeido leido{u"previo"_s, u"previas"_s, -7};
    const auto error = LeerDocumento(ruta, leido);
    QVERIFY(error);
    QCOMPARE(error->ruta, QDir::toNativeSeparators(ruta));
    QVERIFY2(!error->motivo.isEmpty() && error->motivo.contains(enElMotivo), qPrintable(error->motivo));
    QCOMPARE(leido.texto, u"previo"_s);
    QCOMPARE(leido.propiedades, u"previas"_s);
    QCOMPARE(leido.lineasFueraDelTexto, qsizetype(-7));
    QVERIFY(!QFileInfo::exists(m_carpeta->filePath(u"falta.txt"_s)));
}

void PruebaDocumento::cuentaLasLineasQueNoSonTexto_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("fuera");
    QTest::addColumn<QString>("propiedades");

    // Only a properties block that never reaches "TEXTO:" leaves lines out of
    // the text: those after its first non-empty line, which alone is the
    // destinations. Empty lines count, as a save drops them too.
    QTest::newRow("nunca llega a TEXTO:")
        << QByteArray("PROPIEDADES:\r\nGlobal\r\nhola\r\n\r\nmundo\r\n") << qsizetype(3) << u"Global"_s;
    QTest::newRow("sin fin de línea") << QByteArray("PROPIEDADES:\r\nDirs:  A\r\nx") << qsizetype(1)
                                      << u"Dirs:  A"_s;
    QTest::newRow("las líneas no se pegan a los destinos")
        << QByteArray("PROPIEDADES:\r\n\r\nDirs:  Entrada\r\nPrimera linea\r\nSegunda linea\r\n") << qsizetype(2)
        << u"Dirs:  Entrada"_s;
    QTest::newRow("solo PROPIEDADES:") << QByteArray("PROPIEDADES:\r\n") << qsizetype(0) << Global;
    QTest::newRow("TEXTO: con blanco no es marca")
        << QByteArray("PROPIEDADES:\r\nGlobal\r\nTEXTO: \r\nt\r\n") << qsizetype(2) << u"Global"_s;
    QTest::newRow("como lo escribe el programa")
        << QByteArray("PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\nhola\r\n") << qsizetype(0) << u"Global"_s;
    QTest::newRow("termina en TEXTO:") << QByteArray("PROPIEDADES:\r\nGlobal\r\nTEXTO:") << qsizetype(0)
                                       << u"Global"_s;
    QTest::newRow("texto llano") << QByteArray("uno\r\ndos\r\n") << qsizetype(0) << Global;
    QTest::newRow("vacío") << QByteArray() << qsizetype(0) << Global;
}

void PruebaDocumento::cuentaLasLineasQueNoSonTexto()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, fuera);
    QFETCH(QString, propiedades);

    const QString ruta = m_carpeta->filePath(u"doc.txt"_s);
    QVERIFY(EscribirBytes(ruta, bytes));
    TextoLeido leido;
    QVERIFY(!LeerDocumento(ruta, leido));
    QCOMPARE(leido.lineasFueraDelTexto, fuera);
    QCOMPARE(leido.propiedades, propiedades);
    if (fuera > 0)
        QVERIFY(leido.texto.isEmpty());

    // A save writes what was read, as the warning says: the destinations
    // stay those of the file.
    QVERIFY(!EscribirDocumento(ruta, leido.texto, leido.propiedades));
    TextoLeido otraVez;
    QVERIFY(!LeerDocumento(ruta, otraVez));
    QCOMPARE(otraVez.propiedades, QString(propiedades).remove(u"\r\n"_s));
    QCOMPARE(otraVez.lineasFueraDelTexto, qsizetype(0));
}

void PruebaDocumento::destinosQueSeLeerianComoMarca_data()
{
    QTest::addColumn<QString>("propiedades");
    QTest::addColumn<QString>("marca");

    // "TEX" and "TO:" read back joined as "TEXTO:".
    QTest::newRow("TEXTO: unido al leer") << u"TEXTO:"_s << u"TEXTO:"_s;
    QTest::newRow("PROPIEDADES:") << u"PROPIEDADES:"_s << u"PROPIEDADES:"_s;
    QTest::newRow("en una segunda línea") << u"Dirs:  A\r\nTEXTO:"_s << u"TEXTO:"_s;
}

void PruebaDocumento::destinosQueSeLeerianComoMarca()
{
    QFETCH(QString, propiedades);
    QFETCH(QString, marca);

    const QString ruta = m_carpeta->filePath(u"doc.txt"_s);
    const QByteArray anterior("PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\nanterior\r\n");
    QVERIFY(EscribirBytes(ruta, anterior));
    const auto error = EscribirDocumento(ruta, u"texto\r\nsegunda"_s, propiedades);
    QVERIFY(error);
    QCOMPARE(error->ruta, QDir::toNativeSeparators(ruta));
    QVERIFY2(error->motivo.contains(u"«"_s + marca + u"»"_s), qPrintable(error->motivo));
    QCOMPARE(LeerBytes(ruta), anterior);

    QByteArray bytes = "sin tocar";
    QVERIFY(EscribirDocumentoEnBytes(u"texto"_s, propiedades, bytes));
    QCOMPARE(bytes, QByteArray("sin tocar"));

    // What a hand-edited file gives on reading is refused the same way, so
    // its text never gains a line nor its signs get lost.
    QVERIFY(EscribirBytes(ruta, "PROPIEDADES:\r\nTEX\r\nTO:\r\nTEXTO:\r\ntexto\r\n"));
    TextoLeido leido;
    QVERIFY(!LeerDocumento(ruta, leido));
    QCOMPARE(leido.propiedades, u"TEXTO:"_s);
    QVERIFY(EscribirDocumento(ruta, leido.texto, leido.propiedades));
}

void PruebaDocumento::enMemoriaComoEnArchivo()
{
    const QString texto = u"Señal €\r\n[titila]dos\r\n"_s;
    const QString propiedades = u"Dirs:  Año; B"_s;
    QByteArray enMemoria;
    QVERIFY(!EscribirDocumentoEnBytes(texto, propiedades, enMemoria));
    const QString ruta = m_carpeta->filePath(u"doc.txt"_s);
    QVERIFY(!EscribirDocumento(ruta, texto, propiedades));
    QCOMPARE(LeerBytes(ruta), enMemoria);

    TextoLeido deArchivo;
    TextoLeido deBytes{{}, {}, -1};
    QVERIFY(!LeerDocumento(ruta, deArchivo));
    QVERIFY(!LeerDocumentoDeBytes(enMemoria, deBytes));
    QCOMPARE(deBytes.texto, texto);
    QCOMPARE(deBytes.propiedades, propiedades);
    QCOMPARE(deBytes.lineasFueraDelTexto, qsizetype(0));
    QCOMPARE(deArchivo.texto, deBytes.texto);
    QCOMPARE(deArchivo.propiedades, deBytes.propiedades);
}

// Clicks on the destination items, as the editor passes them on: a name to
// toggle, or "*" for every sign.
void PruebaDocumento::eleccionDeCarteles_data()
{
    QTest::addColumn<QString>("propiedades");
    QTest::addColumn<QStringList>("clics");
    QTest::addColumn<QString>("resultado");
    QTest::addColumn<bool>("modificado");

    QTest::newRow("marcar dos") << u"Global"_s << QStringList{u" B"_s, u" A"_s} << u"Dirs:  A; B"_s << true;
    QTest::newRow("marcar y desmarcar: Global otra vez")
        << u"Global"_s << QStringList{u" A"_s, u" A"_s} << u"Global"_s << true;
    QTest::newRow("todos es un cambio") << u"Dirs:  A"_s << QStringList{u"*"_s} << u"Global"_s << true;
    QTest::newRow("todos sobre todos no es un cambio") << u"Global"_s << QStringList{u"*"_s} << u"Global"_s
                                                       << false;
    QTest::newRow("línea que no se entiende: se conserva") << u"DIRS:  A"_s << QStringList() << u"DIRS:  A"_s
                                                           << false;
    QTest::newRow("línea que no se entiende: un cartel la reemplaza")
        << u"Dirs:A"_s << QStringList{u" B"_s} << u"Dirs:  B"_s << true;
    QTest::newRow("desmarcar el último conocido deja el desconocido")
        << u"Dirs:  A; Nadie"_s << QStringList{u" A"_s} << u"Dirs:  Nadie"_s << true;
}

void PruebaDocumento::eleccionDeCarteles()
{
    QFETCH(QString, propiedades);
    QFETCH(QStringList, clics);
    QFETCH(QString, resultado);
    QFETCH(bool, modificado);

    const auto registro = RegistroDeCarteles::DeRegistros({u"R560, A, 1"_s, u"R560, B, 2"_s});
    const QString ruta = m_carpeta->filePath(u"d.txt"_s);
    QVERIFY(!EscribirDocumento(ruta, u"X"_s, propiedades));
    Documento documento;
    QVERIFY(!documento.Abrir(ruta, registro));
    for (const QString &clic : clics) {
        if (clic == u"*"_s)
            documento.ElegirTodos();
        else
            documento.AlternarCartel(clic);
    }
    QCOMPARE(PropiedadesDesdeDestinos(documento.Destinos(), {u" A"_s, u" B"_s}), resultado);
    QCOMPARE(documento.Modificado(), modificado);
}

// Opened, changed and saved as a window does it: the file keeps the names
// the registry lacks, and a failed save changes nothing.
void PruebaDocumento::documentoAbiertoYGuardado()
{
    const auto registro = RegistroDeCarteles::DeRegistros({u"R560, A, 1"_s, u"R560, B, 2"_s});
    const QString ruta = m_carpeta->filePath(u"d.txt"_s);
    QVERIFY(!EscribirDocumento(ruta, u"hola"_s, u"Dirs:  Nadie; B"_s));
    Documento documento;
    QVERIFY(!documento.Abrir(ruta, registro));
    QVERIFY(documento.Nombrado());
    QVERIFY(!documento.Modificado());
    documento.PonerTexto(u"chau"_s);
    QVERIFY(documento.Modificado());

    QVERIFY(documento.Guardar(m_carpeta->filePath(u"no/existe.txt"_s), registro));
    QCOMPARE(documento.Ruta(), ruta);
    QVERIFY(documento.Modificado());

    QVERIFY(!documento.Guardar(ruta, registro));
    QVERIFY(!documento.Modificado());
    QCOMPARE(LeerBytes(ruta), QByteArray("PROPIEDADES:\r\nDirs:  B; Nadie\r\nTEXTO:\r\nchau\r\n"));
}

// Kept by a window, the words are read and put there, once: opening or
// moving them is no change, a key or a PonerTexto() one change.
void PruebaDocumento::textoGuardadoEnUnAlmacen()
{
    const QString ruta = m_carpeta->filePath(u"a.txt"_s);
    QVERIFY(!EscribirDocumento(ruta, u"hola\r\nmundo"_s, u"Global"_s));
    Documento documento;
    documento.PonerTexto(u"previo"_s);
    documento.PonerModificado(false);
    AlmacenDePrueba almacen(documento);
    documento.GuardarTextoEn(&almacen);
    QCOMPARE(almacen.texto, u"previo"_s);
    QVERIFY(!documento.Modificado());

    almacen.texto += u"!"_s; // a key
    documento.TextoEditado();
    QCOMPARE(documento.Texto(), u"previo!"_s);
    QVERIFY(documento.Modificado());

    QVERIFY(!documento.Abrir(ruta, {}));
    QCOMPARE(almacen.texto, u"hola\r\nmundo"_s);
    QVERIFY(!documento.Modificado());

    QSignalSpy cambios(&documento, &Documento::TextoCambiado);
    documento.PonerTexto(u"chau"_s);
    QCOMPARE(cambios.count(), 1);
    QCOMPARE(almacen.texto, u"chau"_s);
    QVERIFY(documento.Modificado());
    QVERIFY(!documento.Guardar(ruta, {}));
    QCOMPARE(LeerBytes(ruta), QByteArray("PROPIEDADES:\r\nGlobal\r\nTEXTO:\r\nchau\r\n"));

    // Taken back, the document holds the words again.
    documento.GuardarTextoEn(nullptr);
    almacen.texto.clear();
    QCOMPARE(documento.Texto(), u"chau"_s);
}

QTEST_GUILESS_MAIN(PruebaDocumento)
#include "prueba_documento.moc"
