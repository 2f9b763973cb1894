#include "apoyo/archivosdeprueba.h"
#include "apoyo/limitedeescritura.h"
#include "platform/escritortexto.h"
#include "platform/lectortexto.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

#include <functional>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// The block the reader takes from the file at a time; lines around it check
// that a CR LF split between two blocks still ends one line.
constexpr qsizetype Bloque = 64 * 1024;

QString Nativa(const QString &ruta)
{
    return QDir::toNativeSeparators(QFileInfo(ruta).absoluteFilePath());
}

// True for an error about `ruta` that gives a reason; otherwise says what came.
bool ErrorSobre(const std::optional<ErrorDeArchivo> &error, const QString &ruta)
{
    if (error && error->ruta == Nativa(ruta) && !error->motivo.isEmpty())
        return true;
    qWarning("Se esperaba un error con motivo sobre %s; vino: %s", qPrintable(Nativa(ruta)),
             error ? qPrintable(error->Texto()) : "ninguno");
    return false;
}

QStringList LeerTodo(const QString &ruta, std::optional<ErrorDeArchivo> *error = nullptr)
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

#ifdef Q_OS_UNIX
// Reads `ruta` both ways in a child that leads a session of its own, with no
// controlling terminal; whether what it read stayed no terminal of its.
bool LeidoSinTomarTerminal(const QString &ruta)
{
    const pid_t hijo = fork();
    if (hijo == 0) {
        setsid();
        QByteArray bytes;
        LectorTexto::LeerArchivo(ruta, 1000, bytes);
        LectorTexto().Abrir(ruta);
        // Only a process with a controlling terminal can open /dev/tty.
        _exit(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC) >= 0 ? 1 : 0);
    }
    int estado = 0;
    return hijo > 0 && waitpid(hijo, &estado, 0) == hijo && WIFEXITED(estado) && WEXITSTATUS(estado) == 0;
}
#endif

} // namespace

class PruebaArchivoTexto : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void leeLineas_data();
    void leeLineas();
    void noPierdeNingunByte();
    void decodificaComoWindows1252_data();
    void decodificaComoWindows1252();
    void abrirRespetaElMaximo_data();
    void abrirRespetaElMaximo();
    void limitaTambienLoQueNoDiceSuTamano();
    void informaErrorDeLectura();
    void informaArchivoQueNoSeAbre_data();
    void informaArchivoQueNoSeAbre();
    void rutaRelativaSeTomaAlAbrir();

    void escribeCrLfEnWindows1252();
    void caracteresNoRepresentables_data();
    void caracteresNoRepresentables();
    void describeCaracteres_data();
    void describeCaracteres();
    void escrituraFallidaDejaElArchivoAnterior_data();
    void escrituraFallidaDejaElArchivoAnterior();
    void carpetaCerradaEscribeEnElLugar_data();
    void carpetaCerradaEscribeEnElLugar();
    void enElLugarNoTocaNadaSiFalla();
    void enMemoria();
    void leeBytesComoArchivo_data();
    void leeBytesComoArchivo();
    void leerArchivoSoloComunes_data();
    void leerArchivoSoloComunes();
    void escribirSoloComunes_data();
    void escribirSoloComunes();

private:
    std::unique_ptr<QTemporaryDir> m_carpeta;
};

void PruebaArchivoTexto::init()
{
    m_carpeta = std::make_unique<QTemporaryDir>();
    QVERIFY(m_carpeta->isValid());
}

void PruebaArchivoTexto::leeLineas_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lineas");

    const QByteArray largo(Bloque - 1, 'x');
    const QString largoTexto = QString::fromLatin1(largo);
    QTest::newRow("vacío") << QByteArray() << QStringList();
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("última sin fin") << QByteArray("a\r\nb") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("CR solo") << QByteArray("a\rb\r") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("LF CR son dos fines") << QByteArray("a\n\rb") << QStringList{u"a"_s, u""_s, u"b"_s};
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QStringList{u"a"_s, u""_s, u"b"_s};
    QTest::newRow("línea vacía sola") << QByteArray("\r\n") << QStringList{u""_s};
    QTest::newRow("líneas vacías") << QByteArray("\r\n\r\n\n") << QStringList{u""_s, u""_s, u""_s};
    QTest::newRow("CR LF partido entre bloques") << largo + "\r\ny" << QStringList{largoTexto, u"y"_s};
    QTest::newRow("CR al final del bloque, luego texto") << largo + "\ry" << QStringList{largoTexto, u"y"_s};
    QTest::newRow("CR último byte del archivo tras un bloque") << largo + "\r" << QStringList{largoTexto};
    QTest::newRow("CR LF justo tras el bloque")
        << largo + "x\r\ny" << QStringList{largoTexto + u"x"_s, u"y"_s};
    QTest::newRow("línea de muchos bloques")
        << QByteArray(1024 * 1024, 'm') + "\r\nfin" << QStringList{QString(1024 * 1024, u'm'), u"fin"_s};
    // Also catches a reader whose cost per line grows with what it has read.
    QTest::newRow("un millón de líneas") << QByteArray("l\r\n").repeated(1000 * 1000)
                                         << QStringList(1000 * 1000, u"l"_s);
    QTest::newRow("NUL dentro de la línea") << QByteArray("a\0b\r\n", 5) << QStringList{u"a"_s + QChar(0) + u"b"_s};
    // The five bytes the code page leaves undefined come through as the
    // control characters of the same number.
    QTest::newRow("Windows-1252") << QByteArray("A\xF1o \x80\r\n\x81\x8D\x8F\x90\x9D")
                                  << QStringList{u"Año €"_s, u"\u0081\u008D\u008F\u0090\u009D"_s};
}

void PruebaArchivoTexto::leeLineas()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lineas);
    const QString ruta = m_carpeta->filePath(u"lineas.txt"_s);
    QVERIFY(EscribirBytes(ruta, bytes));
    LectorTexto lector;
    QVERIFY(!lector.Abrir(ruta));
    QStringList leidas;
    QString linea;
    while (!lector.AlFinal()) {
        QVERIFY(!lector.LeerLinea(linea));
        leidas.append(linea);
    }
    QCOMPARE(leidas, lineas);
    // Past the end: an error, and the line is left as it was.
    linea = u"sin tocar"_s;
    QVERIFY(lector.LeerLinea(linea));
    QCOMPARE(linea, u"sin tocar"_s);
}

void PruebaArchivoTexto::noPierdeNingunByte()
{
    // Every byte value, line ends among them, several times over.
    QByteArray binario;
    for (int vuelta = 0; vuelta < 64; ++vuelta)
        for (int b = 0; b < 256; ++b)
            binario.append(char(b));
    const QString ruta = m_carpeta->filePath(u"binario.txt"_s);
    QVERIFY(EscribirBytes(ruta, binario));
    std::optional<ErrorDeArchivo> error;
    const QStringList lineas = LeerTodo(ruta, &error);
    QVERIFY(!error);
    // Each round has one LF and one CR, which end lines; the bytes after the
    // last CR make one more line.
    QCOMPARE(lineas.join(QString()).size(), binario.size() - 2 * 64);
    QCOMPARE(lineas.size(), 2 * 64 + 1);
}

void PruebaArchivoTexto::decodificaComoWindows1252_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray todos;
    QByteArray sinLosPropios;
    for (int b = 0; b < 256; ++b) {
        if (b == '\r' || b == '\n')
            continue;
        todos.append(char(b));
        if (b < 0x80 || b > 0x9F)
            sinLosPropios.append(char(b));
    }
    QTest::newRow("sin 0x80-0x9F") << sinLosPropios;
    QTest::newRow("todos") << todos;
    // The ends of the range where the two differ, each alone in Latin-1.
    QTest::newRow("0x80") << QByteArray("precio \x80 10 \xF1");
    QTest::newRow("0x9F") << QByteArray("\xE1 \x9F");
}

void PruebaArchivoTexto::decodificaComoWindows1252()
{
    QFETCH(QByteArray, bytes);
    LectorTexto lector;
    QVERIFY(!lector.AbrirBytes(bytes));
    QString linea;
    QVERIFY(!lector.LeerLinea(linea));
    QCOMPARE(linea, QStringDecoder("windows-1252").decode(bytes));
}

void PruebaArchivoTexto::abrirRespetaElMaximo_data()
{
    QTest::addColumn<qsizetype>("tamano");
    QTest::addColumn<bool>("aceptado");
    QTest::newRow("justo el máximo") << qsizetype(1000) << true;
    QTest::newRow("un byte de más") << qsizetype(1001) << false;
}

void PruebaArchivoTexto::abrirRespetaElMaximo()
{
    QFETCH(qsizetype, tamano);
    QFETCH(bool, aceptado);
    const QString ruta = m_carpeta->filePath(u"grande.txt"_s);
    QVERIFY(EscribirBytes(ruta, QByteArray(tamano, 'x')));
    LectorTexto lector;
    const auto error = lector.Abrir(ruta, 1000);
    if (aceptado)
        QVERIFY(!error);
    else
        QVERIFY(ErrorSobre(error, ruta));
}

void PruebaArchivoTexto::limitaTambienLoQueNoDiceSuTamano()
{
    // Files under /proc report size 0 and are only known to be too large by
    // reading them.
    const QString ruta = u"/proc/self/maps"_s;
    if (!QFileInfo::exists(ruta))
        QSKIP("No hay /proc en este sistema");
    LectorTexto lector;
    QVERIFY(ErrorSobre(lector.Abrir(ruta, 10), ruta));
    QVERIFY(lector.AlFinal());
}

void PruebaArchivoTexto::informaErrorDeLectura()
{
    // /proc/self/mem opens, but reading at offset 0 fails (nothing is mapped
    // there): the reader reports it, naming the file, and has no line to give.
    const QString ruta = u"/proc/self/mem"_s;
    if (!QFileInfo::exists(ruta))
        QSKIP("No hay /proc en este sistema");
    LectorTexto lector;
    QVERIFY(ErrorSobre(lector.Abrir(ruta), ruta));
    QVERIFY(lector.AlFinal());
    QString linea = u"sin tocar"_s;
    QVERIFY(lector.LeerLinea(linea));
    QCOMPARE(linea, u"sin tocar"_s);
}

void PruebaArchivoTexto::informaArchivoQueNoSeAbre_data()
{
    QTest::addColumn<bool>("esCarpeta");
    QTest::newRow("no existe") << false;
    QTest::newRow("es una carpeta") << true;
}

void PruebaArchivoTexto::informaArchivoQueNoSeAbre()
{
    QFETCH(bool, esCarpeta);
    const QString ruta = m_carpeta->filePath(u"no-se-abre.txt"_s);
    if (esCarpeta)
        QVERIFY(QDir().mkdir(ruta));
    QCOMPARE(LectorTexto::Existe(ruta), esCarpeta);
    LectorTexto lector;
    QVERIFY(ErrorSobre(lector.Abrir(ruta), ruta));
    QVERIFY(lector.AlFinal());
}

void PruebaArchivoTexto::rutaRelativaSeTomaAlAbrir()
{
    const QString anterior = QDir::currentPath();
    const QDir base(m_carpeta->path());
    QVERIFY(base.mkdir(u"a"_s) && base.mkdir(u"b"_s));
    QVERIFY(EscribirBytes(base.filePath(u"a/x.txt"_s), "de a\r\n"));
    QVERIFY(EscribirBytes(base.filePath(u"b/x.txt"_s), "de b\r\n"));

    QVERIFY(QDir::setCurrent(base.filePath(u"a"_s)));
    const QStringList deA = LeerTodo(u"./x.txt"_s);
    QVERIFY(QDir::setCurrent(base.filePath(u"b"_s)));
    const QStringList deB = LeerTodo(u"./x.txt"_s);
    EscritorTexto escritor;
    const auto error = escritor.Abrir(u"./y.txt"_s);
    QVERIFY(QDir::setCurrent(base.filePath(u"a"_s)));
    if (!error) {
        escritor.EscribirLinea(u"y"_s);
        QVERIFY(!escritor.Confirmar());
    }
    QVERIFY(QDir::setCurrent(anterior));

    QVERIFY(!error);
    QCOMPARE(deA, QStringList{u"de a"_s});
    QCOMPARE(deB, QStringList{u"de b"_s});
    // Opened while in b: lands in b, even though the commit ran from a.
    QVERIFY(QFileInfo::exists(base.filePath(u"b/y.txt"_s)));
    QVERIFY(!QFileInfo::exists(base.filePath(u"a/y.txt"_s)));
}

void PruebaArchivoTexto::escribeCrLfEnWindows1252()
{
    const QString ruta = m_carpeta->filePath(u"escrito.txt"_s);
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

void PruebaArchivoTexto::escrituraFallidaDejaElArchivoAnterior_data()
{
    // Every row starts from a folder with "anterior.txt", a file "archivo"
    // and an empty folder "carpeta", and must leave exactly that behind.
    QTest::addColumn<QString>("destino");
    QTest::addColumn<QStringList>("lineas");
    QTest::addColumn<int>("limite");   // bytes the process may write; 0: no limit
    QTest::addColumn<bool>("confirmar");
    QTest::addColumn<QString>("finDelMotivo");

    QTest::newRow("caracteres no representables, cada uno una vez")
        << u"anterior.txt"_s << QStringList{u"bien"_s, u"mal Ω"_s, u"peor Ж Ω"_s} << 0 << true << u"Ω Ж"_s;
    QTest::newRow("caracteres no representables, archivo nuevo")
        << u"nuevo.txt"_s << QStringList{u"mal Ω"_s} << 0 << true << u"Ω"_s;
    // Paths that even root cannot write a file to.
    QTest::newRow("la carpeta es un archivo") << u"archivo/hijo.txt"_s << QStringList{u"algo"_s} << 0 << true
                                              << QString();
    QTest::newRow("en su lugar hay una carpeta") << u"carpeta"_s << QStringList{u"algo"_s} << 0 << true << QString();
    // The system stops part-way through a write and reports it only as a
    // short count: while writing, at the confirmation, by a single byte.
    QTest::newRow("disco lleno, muchas líneas cortas")
        << u"anterior.txt"_s << QStringList(1000, u"una línea que no va a caber entera"_s) << 4096 << true << QString();
    QTest::newRow("disco lleno, una línea larga")
        << u"anterior.txt"_s << QStringList{QString(8192, u'x')} << 4096 << true << QString();
    QTest::newRow("disco lleno, un byte de más")
        << u"anterior.txt"_s << QStringList{QString(4095, u'x')} << 4096 << true << QString();
    QTest::newRow("sin confirmar") << u"anterior.txt"_s << QStringList{u"a medias"_s} << 0 << false << QString();
}

void PruebaArchivoTexto::escrituraFallidaDejaElArchivoAnterior()
{
    QFETCH(QString, destino);
    QFETCH(QStringList, lineas);
    QFETCH(int, limite);
    QFETCH(bool, confirmar);
    QFETCH(QString, finDelMotivo);
    const QDir base(m_carpeta->path());
    QVERIFY(EscribirBytes(base.filePath(u"anterior.txt"_s), "anterior\r\n"));
    QVERIFY(EscribirBytes(base.filePath(u"archivo"_s), "contenido"));
    QVERIFY(base.mkdir(u"carpeta"_s));
    const QString ruta = base.filePath(destino);

    if (limite > 0 && !LimiteDeEscritura::Disponible())
        QSKIP("Sin límite de tamaño de archivo en este sistema");
    std::optional<ErrorDeArchivo> error;
    {
        const LimiteDeEscritura limitada(limite);
        EscritorTexto escritor;
        error = escritor.Abrir(ruta);
        if (!error) {
            for (const QString &linea : lineas)
                escritor.EscribirLinea(linea);
            if (confirmar)
                error = escritor.Confirmar();
        }
    }
    if (confirmar) {
        QVERIFY(ErrorSobre(error, ruta));
        QVERIFY2(error->motivo.endsWith(finDelMotivo), qPrintable(error->motivo));
    }
    QCOMPARE(LeerBytes(base.filePath(u"anterior.txt"_s)), QByteArray("anterior\r\n"));
    QCOMPARE(LeerBytes(base.filePath(u"archivo"_s)), QByteArray("contenido"));
    QVERIFY(QFileInfo(base.filePath(u"carpeta"_s)).isDir());
    QCOMPARE(base.entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{u"anterior.txt"_s, u"archivo"_s, u"carpeta"_s}));
}

namespace {

// Runs `hacer` as a user without privileges and returns its result: as root,
// in a child process that gives up root first (permissions do not stop
// root); otherwise right here. -1 when root cannot be given up.
int SinPrivilegios(const std::function<int()> &hacer)
{
#ifdef Q_OS_UNIX
    if (geteuid() != 0)
        return hacer();
    const pid_t hijo = fork();
    if (hijo < 0)
        return -1;
    if (hijo == 0) {
        // nobody, nogroup
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
            _exit(100);
        _exit(hacer());
    }
    int estado = 0;
    if (waitpid(hijo, &estado, 0) != hijo || !WIFEXITED(estado) || WEXITSTATUS(estado) == 100)
        return -1;
    return WEXITSTATUS(estado);
#else
    return hacer();
#endif
}

// A folder nobody may write, holding `nombre` with `contenido`, which anyone
// may write: no temporary file can be made beside it, but the file itself
// can be written.
QString ArchivoEnCarpetaCerrada(const QTemporaryDir &carpeta, const QByteArray &contenido)
{
    const QDir base(carpeta.path());
    if (!base.mkdir(u"cerrada"_s))
        return QString();
    const QString ruta = base.filePath(u"cerrada/doc.txt"_s);
    const auto todos = QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther;
    const auto entrar = QFile::ExeOwner | QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther;
    const auto escribir = QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;
    if (!EscribirBytes(ruta, contenido) || !QFile::setPermissions(ruta, todos | escribir)
        || !QFile::setPermissions(base.filePath(u"cerrada"_s), todos | entrar)
        || !QFile::setPermissions(carpeta.path(), todos | entrar | QFile::WriteOwner | QFile::WriteUser))
        return QString();
    return ruta;
}

enum Resultado { Bien = 0, NoAbrio, OtroModo, NoConfirmo, ConfirmoSinDeber, MotivoEquivocado };

} // namespace

void PruebaArchivoTexto::carpetaCerradaEscribeEnElLugar_data()
{
    QTest::addColumn<QByteArray>("anterior");
    QTest::addColumn<QStringList>("lineas");
    QTest::addColumn<QByteArray>("esperado");
    QTest::newRow("más corto que el anterior")
        << QByteArray("anterior, bastante más largo que lo nuevo\r\n") << QStringList{u"año"_s}
        << QByteArray("a\xF1o\r\n");
    QTest::newRow("más largo que el anterior") << QByteArray("x") << QStringList{u"uno"_s, u"dos"_s}
                                                << QByteArray("uno\r\ndos\r\n");
    QTest::newRow("nada") << QByteArray("algo") << QStringList() << QByteArray();
}

void PruebaArchivoTexto::carpetaCerradaEscribeEnElLugar()
{
    QFETCH(QByteArray, anterior);
    QFETCH(QStringList, lineas);
    QFETCH(QByteArray, esperado);
    const QString ruta = ArchivoEnCarpetaCerrada(*m_carpeta, anterior);
    QVERIFY(!ruta.isEmpty());

    const int resultado = SinPrivilegios([&] {
        EscritorTexto escritor;
        if (escritor.Abrir(ruta))
            return NoAbrio;
        if (escritor.ModoDeEscritura() != EscritorTexto::Modo::EnElLugar)
            return OtroModo;
        for (const QString &linea : lineas)
            escritor.EscribirLinea(linea);
        // Nothing reaches the file before the confirmation.
        if (LeerBytes(ruta) != anterior)
            return ConfirmoSinDeber;
        return escritor.Confirmar() ? NoConfirmo : Bien;
    });
    if (resultado < 0)
        QSKIP("No se pudo dejar de ser root para probar los permisos");
    QCOMPARE(resultado, int(Bien));
    QCOMPARE(LeerBytes(ruta), esperado);
    QCOMPARE(QDir(QFileInfo(ruta).path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{u"doc.txt"_s});
}

void PruebaArchivoTexto::enElLugarNoTocaNadaSiFalla()
{
    const QString ruta = ArchivoEnCarpetaCerrada(*m_carpeta, "anterior\r\n");
    QVERIFY(!ruta.isEmpty());
    const QString nuevo = QFileInfo(ruta).dir().filePath(u"nuevo.txt"_s);

    const int resultado = SinPrivilegios([&] {
        {
            EscritorTexto escritor;
            if (escritor.Abrir(ruta))
                return NoAbrio;
            escritor.EscribirLinea(u"bien"_s);
            escritor.EscribirLinea(u"mal Ω"_s);
            const auto error = escritor.Confirmar();
            if (!error)
                return ConfirmoSinDeber;
            if (!error->motivo.endsWith(u"Ω"_s))
                return MotivoEquivocado;
        }
        {
            // Dropped without confirming.
            EscritorTexto escritor;
            if (escritor.Abrir(ruta))
                return NoAbrio;
            escritor.EscribirLinea(u"a medias"_s);
        }
        // A new file there cannot be made at all: nothing to write over.
        EscritorTexto escritor;
        return escritor.Abrir(nuevo) ? Bien : ConfirmoSinDeber;
    });
    if (resultado < 0)
        QSKIP("No se pudo dejar de ser root para probar los permisos");
    QCOMPARE(resultado, int(Bien));
    QCOMPARE(LeerBytes(ruta), QByteArray("anterior\r\n"));
    QVERIFY(!QFileInfo::exists(nuevo));
}

void PruebaArchivoTexto::enMemoria()
{
    EscritorTexto escritor;
    escritor.AbrirEnMemoria(u"memoria"_s);
    QCOMPARE(escritor.ModoDeEscritura(), EscritorTexto::Modo::EnMemoria);
    escritor.EscribirLinea(u"Año €"_s);
    escritor.EscribirLinea(QString());
    QVERIFY(!escritor.Confirmar());
    QCOMPARE(escritor.Escrito(), QByteArray("A\xF1o \x80\r\n\r\n"));

    escritor.AbrirEnMemoria(u"memoria"_s);
    escritor.EscribirLinea(u"Ω"_s);
    const auto error = escritor.Confirmar();
    QVERIFY(error);
    QCOMPARE(error->ruta, u"memoria"_s);
    QVERIFY(error->motivo.endsWith(u"Ω"_s));
}

void PruebaArchivoTexto::leeBytesComoArchivo_data()
{
    leeLineas_data();
}

void PruebaArchivoTexto::leeBytesComoArchivo()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lineas);
    LectorTexto lector;
    QVERIFY(!lector.AbrirBytes(bytes, u"memoria"_s));
    QStringList leidas;
    QString linea;
    while (!lector.AlFinal()) {
        QVERIFY(!lector.LeerLinea(linea));
        leidas.append(linea);
    }
    QCOMPARE(leidas, lineas);
    const auto pasado = lector.LeerLinea(linea);
    QVERIFY(pasado);
    QCOMPARE(pasado->ruta, u"memoria"_s);
}

void PruebaArchivoTexto::leerArchivoSoloComunes_data()
{
    // What lies at the path: a number of bytes for a file, "carpeta", "fifo",
    // or an absolute path of the system.
    QTest::addColumn<QString>("que");
    QTest::addColumn<bool>("aceptado");
    QTest::newRow("justo el máximo") << u"1000"_s << true;
    QTest::newRow("un byte de más") << u"1001"_s << false;
    QTest::newRow("vacío") << u"0"_s << true;
    QTest::newRow("carpeta") << u"carpeta"_s << false;
    QTest::newRow("FIFO") << u"fifo"_s << false;
    QTest::newRow("dispositivo") << u"/dev/zero"_s << false;
    // A link to a terminal nobody controls, read by a session leader with no
    // terminal (a runner started by systemd): refused, and not made its own.
    QTest::newRow("terminal, en una sesión sin terminal") << u"terminal"_s << false;
    // Size 0 on disk, more when read.
    QTest::newRow("sin tamaño conocido") << u"/proc/self/maps"_s << false;
}

void PruebaArchivoTexto::leerArchivoSoloComunes()
{
    QFETCH(QString, que);
    QFETCH(bool, aceptado);
    QString ruta = m_carpeta->filePath(u"entrada"_s);
    int maestro = -1;
    const auto cerrarMaestro = qScopeGuard([&maestro] {
        if (maestro >= 0)
            ::close(maestro);
    });
    bool esNumero = false;
    const qsizetype tamano = que.toLongLong(&esNumero);
    if (esNumero) {
        QVERIFY(EscribirBytes(ruta, QByteArray(tamano, 'x')));
    } else if (que == u"carpeta"_s) {
        QVERIFY(QDir().mkdir(ruta));
    } else if (que == u"fifo"_s) {
#ifdef Q_OS_UNIX
        QCOMPARE(mkfifo(QFile::encodeName(ruta).constData(), 0600), 0);
#else
        QSKIP("Sin FIFO en este sistema");
#endif
    } else if (que == u"terminal"_s) {
#ifdef Q_OS_UNIX
        maestro = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        QVERIFY(maestro >= 0);
        QVERIFY(grantpt(maestro) == 0 && unlockpt(maestro) == 0);
        QVERIFY(QFile::link(QFile::decodeName(ptsname(maestro)), ruta));
#else
        QSKIP("Sin terminales en este sistema");
#endif
    } else {
        ruta = que;
        if (!QFileInfo::exists(ruta))
            QSKIP("Ese archivo no existe en este sistema");
    }

    QByteArray bytes = "previo";
    const auto error = LectorTexto::LeerArchivo(ruta, 1000, bytes);
    if (aceptado) {
        QVERIFY(!error);
        QCOMPARE(bytes, QByteArray(tamano, 'x'));
    } else {
        QVERIFY(ErrorSobre(error, ruta));
        QCOMPARE(bytes, QByteArray("previo"));
    }
    // The reader line by line refuses the same, without blocking either.
    LectorTexto lector;
    const auto alAbrir = lector.Abrir(ruta);
    QCOMPARE(!alAbrir, esNumero || que.startsWith(u"/proc"_s));
#ifdef Q_OS_UNIX
    if (maestro >= 0)
        QVERIFY(LeidoSinTomarTerminal(ruta));
#endif
}

void PruebaArchivoTexto::escribirSoloComunes_data()
{
    QTest::addColumn<QString>("destino");    // of a link "enlace" in the folder
    QTest::addColumn<QString>("enElMotivo"); // empty: written through the link
    QTest::newRow("FIFO") << u"fifo"_s << u"FIFO"_s;
    // In a folder where nothing else can be made, even by root.
    QTest::newRow("dispositivo") << u"/dev/pts/ptmx"_s << u"dispositivo"_s;
    QTest::newRow("archivo común") << u"comun"_s << QString();
}

void PruebaArchivoTexto::escribirSoloComunes()
{
#ifdef Q_OS_UNIX
    QFETCH(QString, destino);
    QFETCH(QString, enElMotivo);
    const QDir base(m_carpeta->path());
    const QString nodo = base.filePath(destino), ruta = base.filePath(u"enlace"_s);
    QVERIFY(EscribirBytes(base.filePath(u"comun"_s), "anterior\r\n"));
    QCOMPARE(mkfifo(QFile::encodeName(base.filePath(u"fifo"_s)).constData(), 0600), 0);
    if (!QFileInfo::exists(nodo))
        QSKIP("Ese dispositivo no existe en este sistema");
    QVERIFY(QFile::link(nodo, ruta));

    EscritorTexto escritor;
    auto error = escritor.Abrir(ruta);
    if (!error) {
        escritor.EscribirLinea(u"nuevo"_s);
        error = escritor.Confirmar();
    }
    if (enElMotivo.isEmpty()) {
        QVERIFY(!error);
        QCOMPARE(LeerBytes(nodo), QByteArray("nuevo\r\n"));
    } else {
        QVERIFY(ErrorSobre(error, ruta));
        QVERIFY2(error->motivo.contains(enElMotivo), qPrintable(error->motivo));
        QVERIFY(!QFileInfo(nodo).isFile());
    }
    QVERIFY(QFileInfo(ruta).isSymLink());
#else
    QSKIP("Sin FIFO en este sistema");
#endif
}

QTEST_GUILESS_MAIN(PruebaArchivoTexto)
#include "prueba_archivotexto.moc"
