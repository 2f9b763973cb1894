#include "apoyo/archivosdeprueba.h"
#include "config/configuracion.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QString Unico = u"R560, Un Cartel, Desconocida"_s;

} // namespace

class PruebaConfiguracion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void leeLineas_data();
    void leeLineas();
    void leeLineasDeRed_data();
    void leeLineasDeRed();
    void sinArchivoTomaLosValoresDeFabrica();
    void archivoQueNoSeLeeNoCambiaNada_data();
    void archivoQueNoSeLeeNoCambiaNada();
    void justoElTamanoMaximo();
    void deBytesComoDeArchivo();
    void guardaBytesExactos_data();
    void guardaBytesExactos();
    void rutaRelativaSigueAlDirectorioActual();
    void escrituraFallidaDejaElArchivoAnterior();
    void aguantaEntradaHostil();

private:
    std::unique_ptr<QTemporaryDir> m_carpeta;
    QString m_directorioAnterior;
};

void PruebaConfiguracion::init()
{
    m_carpeta = std::make_unique<QTemporaryDir>();
    QVERIFY(m_carpeta->isValid());
    m_directorioAnterior = QDir::currentPath();
}

void PruebaConfiguracion::cleanup()
{
    QDir::setCurrent(m_directorioAnterior);
}

void PruebaConfiguracion::leeLineas_data()
{
    QTest::addColumn<QByteArray>("contenido");
    QTest::addColumn<int>("puerto");
    QTest::addColumn<QString>("ajustes");
    QTest::addColumn<QStringList>("carteles");

    const QString a9600 = u"9600,N,8,1"_s;
    const QString a2400 = u"2400,N,8,1"_s;

    // Starting from the serial control's initial values: port 1, 9600.
    QTest::newRow("vacío") << QByteArray() << 1 << a9600 << QStringList();
    QTest::newRow("solo líneas vacías") << QByteArray("\r\n\r\n") << 1 << a9600 << QStringList();
    QTest::newRow("como lo escribe el programa")
        << QByteArray("interfase com2,2400,N,8,1\r\ncartel R560, Un Cartel, Desconocida\r\ncartel R560, Otro, 12\r\n")
        << 2 << a2400 << QStringList{Unico, u"R560, Otro, 12"_s};
    QTest::newRow("com3 9600") << QByteArray("interfase com3,9600,N,8,1") << 3 << a9600 << QStringList();
    QTest::newRow("blanco en vez de coma") << QByteArray("interfase com3 2400") << 3 << a2400 << QStringList();
    QTest::newRow("velocidad desconocida") << QByteArray("interfase com2,4800,N,8,1") << 2 << a9600 << QStringList();
    QTest::newRow("puerto fuera de rango") << QByteArray("interfase com7,2400,N,8,1") << 1 << a2400 << QStringList();
    QTest::newRow("com0") << QByteArray("interfase com0,2400") << 1 << a2400 << QStringList();
    QTest::newRow("paridad y bits no se leen") << QByteArray("interfase com2,9600,E,7,2") << 2 << a9600 << QStringList();
    QTest::newRow("COM en mayúsculas") << QByteArray("interfase COM4,2400") << 1 << a2400 << QStringList();
    QTest::newRow("velocidad cortada") << QByteArray("interfase com4,240") << 4 << a9600 << QStringList();
    QTest::newRow("velocidad con más cifras") << QByteArray("interfase com4,24000") << 4 << a2400 << QStringList();
    QTest::newRow("columna 10 sin mirar") << QByteArray("interfaseXcom5;2400") << 5 << a2400 << QStringList();
    QTest::newRow("interfase sola") << QByteArray("interfase") << 1 << a9600 << QStringList();
    QTest::newRow("INTERFASE ignorada") << QByteArray("INTERFASE com3,2400,N,8,1") << 1 << a9600 << QStringList();
    QTest::newRow("Cartel ignorada") << QByteArray("Cartel R560, X, 1") << 1 << a9600 << QStringList();
    QTest::newRow("blanco delante ignorado") << QByteArray(" cartel R560, X, 1") << 1 << a9600 << QStringList();
    QTest::newRow("séptimo carácter sin mirar") << QByteArray("carteles varios") << 1 << a9600 << QStringList{u"s varios"_s};
    QTest::newRow("cartel y blanco") << QByteArray("cartel ") << 1 << a9600 << QStringList{QString()};
    QTest::newRow("cartel solo") << QByteArray("cartel\r\n") << 1 << a9600 << QStringList{QString()};
    QTest::newRow("la última interfase gana")
        << QByteArray("interfase com3,2400\r\ninterfase com5,9600\r\n") << 5 << a9600 << QStringList();
    QTest::newRow("campo a campo")
        << QByteArray("interfase com3,2400\r\ninterfase com9,4800\r\ninterfase com4,xxxx\r\n") << 4 << a2400
        << QStringList();
    QTest::newRow("carteles en orden, interfase en medio")
        << QByteArray("cartel A, a, 1\r\ninterfase com6,2400\r\ncartel B, b, 2\n")
        << 6 << a2400 << QStringList{u"A, a, 1"_s, u"B, b, 2"_s};
    QTest::newRow("Windows-1252") << QByteArray("cartel R560, Se\xF1" "al \x80, 3\r\n") << 1 << a9600
                                  << QStringList{u"R560, Señal €, 3"_s};
}

void PruebaConfiguracion::leeLineas()
{
    QFETCH(QByteArray, contenido);
    QFETCH(int, puerto);
    QFETCH(QString, ajustes);
    QFETCH(QStringList, carteles);

    const QString ruta = m_carpeta->filePath(u"carteles.ini"_s);
    QVERIFY(EscribirBytes(ruta, contenido));
    Configuracion configuracion;
    QVERIFY(!CargarConfiguracion(configuracion, ruta));
    QCOMPARE(configuracion.puerto, puerto);
    QCOMPARE(configuracion.ajustes, ajustes);
    QCOMPARE(configuracion.carteles.Registros(), carteles);
}

void PruebaConfiguracion::leeLineasDeRed_data()
{
    QTest::addColumn<QByteArray>("contenido");
    QTest::addColumn<int>("puerto");
    QTest::addColumn<QString>("ajustes");
    QTest::addColumn<QString>("red");
    QTest::addColumn<QString>("noEntendido");
    const auto fila = [](const char *nombre, const char *contenido, int puerto, int velocidad, const QString &red,
                         const QString &noEntendido) {
        QTest::newRow(nombre) << QByteArray(contenido) << puerto << u"%1,N,8,1"_s.arg(velocidad) << red << noEntendido;
    };
    const QString nada;

    fila("IPv4", "interfase tcp:192.168.1.50:4001,2400,N,8,1", 1, 2400, u"192.168.1.50:4001"_s, nada);
    fila("nombre de equipo, blanco", "interfase tcp:pi-cartel.local:2000 2400", 1, 2400, u"pi-cartel.local:2000"_s, nada);
    fila("IPv6", "interfase tcp:[fe80::1]:4001,2400", 1, 2400, u"[fe80::1]:4001"_s, nada);
    fila("puerto 65535, sin velocidad", "interfase tcp:a:65535", 1, 9600, u"a:65535"_s, nada);
    fila("una com después gana", "interfase tcp:a:1,2400\r\ninterfase com3,9600", 3, 9600, nada, nada);
    fila("una buena después calla", "interfase COM3,2400\r\ninterfase com2,2400", 2, 2400, nada, nada);
    // Not understood: port and speed are read from their columns as ever
    // (a tcp form finds neither), and the port is named.
    fila("sin puerto TCP", "interfase tcp:equipo,2400", 1, 9600, nada, u"tcp:equipo"_s);
    fila("puerto TCP 65536", "interfase tcp:equipo:65536", 1, 9600, nada, u"tcp:equipo:65536"_s);
    fila("IPv4 imposible", "interfase tcp:192.168.1.500:4001", 1, 9600, nada, u"tcp:192.168.1.500:4001"_s);
    fila("IPv6 sin corchetes", "interfase tcp:fe80::1:4001", 1, 9600, nada, u"tcp:fe80::1:4001"_s);
    fila("COM en mayúsculas", "interfase COM4,2400", 1, 2400, nada, u"COM4"_s);
    // Columns 11 to 14 give Com1, as they always did; the name is not Com1.
    fila("com10", "interfase com10,2400", 1, 9600, nada, u"com10"_s);
    fila("sin puerto", "interfase ,2400", 1, 9600, nada, u""_s);
}

void PruebaConfiguracion::leeLineasDeRed()
{
    QFETCH(QByteArray, contenido);
    QFETCH(int, puerto);
    QFETCH(QString, ajustes);
    QFETCH(QString, red);
    QFETCH(QString, noEntendido);

    Configuracion configuracion;
    QVERIFY(!CargarConfiguracionDeBytes(configuracion, contenido));
    QCOMPARE(configuracion.puerto, puerto);
    QCOMPARE(configuracion.ajustes, ajustes);
    QCOMPARE(configuracion.red, red);
    QCOMPARE(configuracion.puertoNoEntendido, noEntendido);
    QCOMPARE(configuracion.puertoNoEntendido.isNull(), noEntendido.isNull());
    // Named in the warning when there is one; no warning otherwise.
    const QString aviso = AvisoDePuertoNoEntendido(configuracion);
    QCOMPARE(aviso.isEmpty(), noEntendido.isNull());
    QVERIFY2(noEntendido.isNull() || aviso.contains(u"«"_s + noEntendido + u"»"_s), qPrintable(aviso));
    // A network line is written back as it was read.
    QByteArray bytes;
    QVERIFY(!GuardarConfiguracionEnBytes(configuracion, bytes));
    if (!red.isEmpty())
        QCOMPARE(bytes, "interfase tcp:" + red.toLatin1() + ',' + ajustes.toLatin1() + "\r\n");
}

void PruebaConfiguracion::sinArchivoTomaLosValoresDeFabrica()
{
    QVERIFY(QDir::setCurrent(m_carpeta->path()));
    Configuracion configuracion;
    QVERIFY(!CargarConfiguracion(configuracion));
    QCOMPARE(configuracion.puerto, 2);
    QCOMPARE(configuracion.ajustes, u"2400,N,8,1"_s);
    QCOMPARE(configuracion.carteles.Registros(), QStringList{Unico});
    QVERIFY(!QFileInfo::exists(m_carpeta->filePath(u"carteles.ini"_s)));
}

void PruebaConfiguracion::archivoQueNoSeLeeNoCambiaNada_data()
{
    // What lies at the path: "carpeta", "fifo", a number of bytes, or an
    // absolute path of the system.
    QTest::addColumn<QString>("que");
    QTest::addColumn<QString>("enElMotivo");
    QTest::newRow("una carpeta") << u"carpeta"_s << u"carpeta"_s;
    // Opening a FIFO for reading would wait for a writer: refused at once.
    QTest::newRow("una FIFO") << u"fifo"_s << u"FIFO"_s;
    QTest::newRow("un byte de más") << QString::number(TamanoMaximoDeConfiguracion + 1) << u"1 MiB"_s;
    QTest::newRow("muy grande") << QString::number(16 * TamanoMaximoDeConfiguracion) << u"1 MiB"_s;
    QTest::newRow("un dispositivo") << u"/dev/null"_s << u"dispositivo"_s;
    // A regular file whose read fails part-way.
    QTest::newRow("falla al leer") << u"/proc/self/mem"_s << QString();
}

void PruebaConfiguracion::archivoQueNoSeLeeNoCambiaNada()
{
    QFETCH(QString, que);
    QFETCH(QString, enElMotivo);
    QString ruta = m_carpeta->filePath(u"carteles.ini"_s);
    bool esNumero = false;
    const qint64 tamano = que.toLongLong(&esNumero);
    if (que == u"carpeta"_s) {
        QVERIFY(QDir().mkdir(ruta));
    } else if (que == u"fifo"_s) {
#ifdef Q_OS_UNIX
        QCOMPARE(mkfifo(QFile::encodeName(ruta).constData(), 0600), 0);
#else
        QSKIP("Sin FIFO en este sistema");
#endif
    } else if (esNumero) {
        QVERIFY(EscribirBytes(ruta, "interfase com3,9600\r\n" + QByteArray(tamano - 20, 'x')));
    } else {
        ruta = que;
        if (!QFileInfo::exists(ruta))
            QSKIP("Ese archivo no existe en este sistema");
    }

    Configuracion configuracion{4, u"2400,N,8,1"_s, RegistroDeCarteles::DeRegistros({u"A, a, 1"_s})};
    const auto error = CargarConfiguracion(configuracion, ruta);
    QVERIFY(error);
    QCOMPARE(error->ruta, QDir::toNativeSeparators(ruta));
    QVERIFY2(!error->motivo.isEmpty() && error->motivo.contains(enElMotivo), qPrintable(error->motivo));
    QCOMPARE(configuracion.puerto, 4);
    QCOMPARE(configuracion.ajustes, u"2400,N,8,1"_s);
    QCOMPARE(configuracion.carteles.Registros(), QStringList{u"A, a, 1"_s});
}

void PruebaConfiguracion::justoElTamanoMaximo()
{
    const QString ruta = m_carpeta->filePath(u"carteles.ini"_s);
    const QByteArray comienzo = "interfase com3,9600\r\ncartel ";
    QVERIFY(EscribirBytes(ruta, comienzo + QByteArray(TamanoMaximoDeConfiguracion - comienzo.size(), 'x')));
    Configuracion configuracion;
    QVERIFY(!CargarConfiguracion(configuracion, ruta));
    QCOMPARE(configuracion.puerto, 3);
    QCOMPARE(configuracion.carteles.Cantidad(), 1);
    QCOMPARE(configuracion.carteles.En(0).Registro().size(), TamanoMaximoDeConfiguracion - comienzo.size());
}

void PruebaConfiguracion::deBytesComoDeArchivo()
{
    // The entry for bytes in memory reads what the file function reads, and
    // what the writer writes to memory is what it writes to the file.
    const Configuracion escrita{5, u"2400,N,8,1"_s, RegistroDeCarteles::DeRegistros({Unico, u"R560, Año, 7"_s, QString()})};
    QByteArray enMemoria;
    QVERIFY(!GuardarConfiguracionEnBytes(escrita, enMemoria));
    const QString ruta = m_carpeta->filePath(u"carteles.ini"_s);
    QVERIFY(!GuardarConfiguracion(escrita, ruta));
    QCOMPARE(LeerBytes(ruta), enMemoria);

    Configuracion deArchivo;
    Configuracion deBytes;
    QVERIFY(!CargarConfiguracion(deArchivo, ruta));
    QVERIFY(!CargarConfiguracionDeBytes(deBytes, enMemoria));
    QCOMPARE(deBytes.puerto, 5);
    QCOMPARE(deBytes.ajustes, escrita.ajustes);
    QCOMPARE(deBytes.carteles.Registros(), escrita.carteles.Registros());
    QCOMPARE(deArchivo.puerto, deBytes.puerto);
    QCOMPARE(deArchivo.carteles.Registros(), deBytes.carteles.Registros());

    // A record the code page cannot hold fails in memory as on disk.
    QByteArray sinTocar = "previo";
    const auto error = GuardarConfiguracionEnBytes(Configuracion{1, u"9600,N,8,1"_s, RegistroDeCarteles::DeRegistros({u"Ωmega"_s})}, sinTocar);
    QVERIFY(error);
    QVERIFY(error->motivo.contains(u"Ω"_s));
    QCOMPARE(sinTocar, QByteArray("previo"));
}

void PruebaConfiguracion::guardaBytesExactos_data()
{
    QTest::addColumn<int>("puerto");
    QTest::addColumn<QString>("ajustes");
    QTest::addColumn<QStringList>("carteles");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("registro vacío: solo la interfase")
        << 1 << u"9600,N,8,1"_s << QStringList() << QByteArray("interfase com1,9600,N,8,1\r\n");
    QTest::newRow("dos carteles")
        << 6 << u"2400,N,8,1"_s << QStringList{Unico, u"R560, Año €, 36"_s}
        << QByteArray("interfase com6,2400,N,8,1\r\ncartel R560, Un Cartel, Desconocida\r\n"
                      "cartel R560, A\xF1o \x80, 36\r\n");
    QTest::newRow("ajustes tal como vienen")
        << 3 << u"9600,n,8,1"_s << QStringList{QString()} << QByteArray("interfase com3,9600,n,8,1\r\ncartel \r\n");
}

void PruebaConfiguracion::guardaBytesExactos()
{
    QFETCH(int, puerto);
    QFETCH(QString, ajustes);
    QFETCH(QStringList, carteles);
    QFETCH(QByteArray, bytes);

    const QString ruta = m_carpeta->filePath(u"carteles.ini"_s);
    QVERIFY(EscribirBytes(ruta, "interfase com5,2400\r\ncartel viejo, viejo, 1\r\ncartel otro, otro, 2\r\n"));
    QVERIFY(!GuardarConfiguracion(Configuracion{puerto, ajustes, RegistroDeCarteles::DeRegistros(carteles)}, ruta));
    QCOMPARE(LeerBytes(ruta), bytes);
    // And it reads back as it was.
    Configuracion leida;
    QVERIFY(!CargarConfiguracion(leida, ruta));
    QCOMPARE(leida.puerto, puerto);
    QCOMPARE(leida.carteles.Registros(), carteles);
}

void PruebaConfiguracion::rutaRelativaSigueAlDirectorioActual()
{
    const QDir raiz(m_carpeta->path());
    QVERIFY(raiz.mkdir(u"a"_s) && raiz.mkdir(u"b"_s));
    QVERIFY(QDir::setCurrent(raiz.filePath(u"a"_s)));
    QVERIFY(!GuardarConfiguracion(Configuracion{3, u"2400,N,8,1"_s, RegistroDeCarteles::DeRegistros({u"A, a, 1"_s})}));
    QVERIFY(QDir::setCurrent(raiz.filePath(u"b"_s)));
    QVERIFY(!GuardarConfiguracion(Configuracion{4, u"9600,N,8,1"_s, RegistroDeCarteles::DeRegistros({u"B, b, 2"_s})}));

    const auto LeerEn = [&](const QString &donde) {
        Configuracion leida;
        if (!QDir::setCurrent(raiz.filePath(donde)) || CargarConfiguracion(leida))
            leida.puerto = -1;
        return leida;
    };
    const Configuracion deA = LeerEn(u"a"_s);
    const Configuracion deB = LeerEn(u"b"_s);
    const Configuracion deRaiz = LeerEn(u"."_s);
    QCOMPARE(deA.puerto, 3);
    QCOMPARE(deA.carteles.Registros(), QStringList{u"A, a, 1"_s});
    QCOMPARE(deB.puerto, 4);
    QCOMPARE(deB.carteles.Registros(), QStringList{u"B, b, 2"_s});
    QCOMPARE(deRaiz.carteles.Registros(), QStringList{Unico}); // no file there
    QVERIFY(!QFileInfo::exists(raiz.filePath(u"carteles.ini"_s)));
}

void PruebaConfiguracion::escrituraFallidaDejaElArchivoAnterior()
{
    // The ways a write fails are the text file's to tell apart; here it is
    // enough that the failure reaches the caller and the old file stays.
    const QDir base(m_carpeta->path());
    const QString ruta = base.filePath(u"carteles.ini"_s);
    const QByteArray anterior("interfase com2,2400,N,8,1\r\ncartel R560, Un Cartel, Desconocida\r\n");
    QVERIFY(EscribirBytes(ruta, anterior));

    const auto error = GuardarConfiguracion(Configuracion{3, u"9600,N,8,1"_s, RegistroDeCarteles::DeRegistros({u"R560, Ωmega, 1"_s})}, ruta);
    QVERIFY(error);
    QCOMPARE(error->ruta, QDir::toNativeSeparators(ruta));
    QVERIFY2(error->motivo.contains(u"Ω"_s), qPrintable(error->motivo));
    // 100,000 lines "cartel ab" with LF open; with CR LF they would not.
    const auto grande = GuardarConfiguracion(Configuracion{3, u"9600,N,8,1"_s, RegistroDeCarteles::DeRegistros(QStringList(100000, u"ab"_s))}, ruta);
    QVERIFY(grande && grande->motivo.contains(u"1 MiB"_s));
    QCOMPARE(LeerBytes(ruta), anterior);
    QCOMPARE(base.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{u"carteles.ini"_s});
}

void PruebaConfiguracion::aguantaEntradaHostil()
{
    const QString ruta = m_carpeta->filePath(u"carteles.ini"_s);

    QByteArray binario;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n')
            binario.append(char(b));
    QVERIFY(EscribirBytes(ruta, binario + "\r\ninterfase com5,2400\r\n" + binario + "\ncartel " + binario));
    Configuracion configuracion;
    QVERIFY(!CargarConfiguracion(configuracion, ruta));
    QCOMPARE(configuracion.puerto, 5);
    QCOMPARE(configuracion.ajustes, u"2400,N,8,1"_s);
    QCOMPARE(configuracion.carteles.Cantidad(), 1);
    QCOMPARE(configuracion.carteles.En(0).Registro().size(), binario.size());

    // A record of half the largest file, and as many lines to ignore as fit
    // in the rest.
    const QByteArray medio(TamanoMaximoDeConfiguracion / 2, 'z');
    const QByteArray final = "interfase com6,2400\r\n";
    const qsizetype ignoradas = (TamanoMaximoDeConfiguracion / 2 - 16 - final.size()) / 6;
    QVERIFY(EscribirBytes(ruta, "cartel " + medio + "\r\n" + QByteArray("cosa\r\n").repeated(ignoradas) + final));
    configuracion = Configuracion{};
    QVERIFY(!CargarConfiguracion(configuracion, ruta));
    QCOMPARE(configuracion.puerto, 6);
    QCOMPARE(configuracion.carteles.Registros(), QStringList{QString::fromLatin1(medio)});
}

QTEST_GUILESS_MAIN(PruebaConfiguracion)
#include "prueba_configuracion.moc"
