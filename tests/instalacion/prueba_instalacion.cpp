#include "link/trama.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Where GNUInstallDirs puts each kind of file, below the prefix.
const QString CarpetaBin = QString::fromUtf8(CARPETA_BIN);
const QString CarpetaDatos = QString::fromUtf8(CARPETA_DATOS);
const QString CarpetaMan = QString::fromUtf8(CARPETA_MAN);

} // namespace

// The project as `cmake --install` leaves it in a prefix of its own: every
// file where the desktop and man look for it, the installed program started
// as a terminal and as the menu start it, and the installed tools at work.
class PruebaInstalacion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void archivoInstalado_data();
    void archivoInstalado();
    void iconoEnCadaTamanio_data();
    void iconoEnCadaTamanio();
    void paginaDeManual_data();
    void paginaDeManual();
    void entradaDelMenuNombraLoInstalado();
    void arranqueDelPrograma_data();
    void arranqueDelPrograma();
    void cartelVirtualDecodifica_data();
    void cartelVirtualDecodifica();
#ifdef CON_CARTEL_ENVIAR
    void cartelEnviarLlegaAlCartelVirtual();
#endif

private:
    QString Instalado(const QString &relativa) const { return m_prefijo.filePath(relativa); }
    QString Programa(const QString &nombre) const { return Instalado(CarpetaBin + u"/"_s + nombre); }
    QString EntradaDelMenu() const
    {
        return Instalado(CarpetaDatos + u"/applications/brevalux.desktop"_s);
    }

    QTemporaryDir m_prefijo;
};

namespace {

constexpr int Plazo = 20000;
const QString TituloPrincipal = u"BREVALUX - Edición y envío de mensajes"_s;

QProcessEnvironment EntornoDelPrograma(const QString &casa, const QString &bin)
{
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    entorno.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    entorno.insert(u"QT_PLUGIN_PATH"_s, QString::fromUtf8(RUTA_COMPLEMENTOS));
    entorno.insert(u"QT_QPA_GENERIC_PLUGINS"_s, u"ganchodeinstalacion"_s);
    entorno.insert(u"HOME"_s, casa);
    entorno.insert(u"PATH"_s, bin + u':' + entorno.value(u"PATH"_s, u"/usr/bin:/bin"_s));
    return entorno;
}

// An Exec value split into arguments as a desktop launcher does: blanks
// separate them, double quotes group them, and inside quotes a backslash
// takes the next character as it is.
QStringList DividirExec(const QString &linea)
{
    QStringList argumentos;
    QString actual;
    bool enArgumento = false;
    bool entreComillas = false;
    for (qsizetype i = 0; i < linea.size(); ++i) {
        const QChar c = linea.at(i);
        if (entreComillas) {
            if (c == u'\\' && i + 1 < linea.size())
                actual += linea.at(++i);
            else if (c == u'"')
                entreComillas = false;
            else
                actual += c;
        } else if (c == u' ') {
            if (enArgumento)
                argumentos.append(actual);
            actual.clear();
            enArgumento = false;
        } else {
            enArgumento = true;
            if (c == u'"')
                entreComillas = true;
            else
                actual += c;
        }
    }
    if (enArgumento)
        argumentos.append(actual);
    return argumentos;
}

// The value of `clave` in the [Desktop Entry] group, or a null string.
QString ValorDeLaEntrada(const QString &ruta, const QString &clave)
{
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool enElGrupo = false;
    for (const QByteArray &crudo : archivo.readAll().split('\n')) {
        const QString linea = QString::fromUtf8(crudo).trimmed();
        if (linea.startsWith(u'['))
            enElGrupo = linea == u"[Desktop Entry]"_s;
        else if (enElGrupo && linea.startsWith(clave + u'='))
            return linea.mid(clave.size() + 1);
    }
    return {};
}

// Runs a program that loads the report plugin, and reads its "clave=valor"
// lines. Empty when it did not report in time (it is then killed).
QHash<QString, QString> CorrerConInforme(QProcess &proceso, QString *error)
{
    proceso.start();
    if (!proceso.waitForFinished(Plazo)) {
        proceso.kill();
        proceso.waitForFinished();
        *error = u"no terminó: "_s + QString::fromLocal8Bit(proceso.readAllStandardError());
        return {};
    }
    QHash<QString, QString> informe;
    for (const QByteArray &linea : proceso.readAllStandardOutput().split('\n')) {
        const qsizetype igual = linea.indexOf('=');
        if (igual > 0)
            informe.insert(QString::fromUtf8(linea.left(igual)), QString::fromUtf8(linea.mid(igual + 1)));
    }
    if (proceso.exitStatus() != QProcess::NormalExit || proceso.exitCode() != 0 || informe.isEmpty())
        *error = u"código %1, error: %2"_s.arg(QString::number(proceso.exitCode()),
                                                QString::fromLocal8Bit(proceso.readAllStandardError()));
    return informe;
}

// Starts the installed virtual sign in `carpeta` with --json and waits for
// its link.
bool IniciarCartel(QProcess &cartel, const QString &programa, const QDir &carpeta, int puerto)
{
    cartel.setProgram(programa);
    cartel.setArguments({u"--json"_s, u"--puerto"_s, QString::number(puerto)});
    cartel.setWorkingDirectory(carpeta.path());
    cartel.start();
    const QString enlace = carpeta.filePath(u"com%1"_s.arg(puerto));
    return cartel.waitForStarted(Plazo) &&
           QTest::qWaitFor([&] { return QFileInfo(enlace).isSymLink() || cartel.state() == QProcess::NotRunning; },
                           Plazo) &&
           QFileInfo(enlace).isSymLink();
}

QList<QJsonObject> TramasEn(const QByteArray &salida)
{
    QList<QJsonObject> tramas;
    for (const QByteArray &linea : salida.split('\n')) {
        const QJsonObject objeto = QJsonDocument::fromJson(linea).object();
        if (objeto.value(u"tipo"_s).toString() == u"trama"_s)
            tramas.append(objeto);
    }
    return tramas;
}

// Waits until the sign has printed `cantidad` frames (or the time is up),
// ends it and returns every frame it printed, so that one too many shows.
QList<QJsonObject> TerminarCartel(QProcess &cartel, qsizetype cantidad)
{
    QByteArray salida;
    // The count is the caller's to check, with whatever came in by then.
    static_cast<void>(QTest::qWaitFor(
        [&] {
            salida += cartel.readAllStandardOutput();
            return TramasEn(salida).size() >= cantidad;
        },
        Plazo));
    cartel.terminate();
    if (!cartel.waitForFinished(Plazo)) {
        cartel.kill();
        cartel.waitForFinished();
    }
    salida += cartel.readAllStandardOutput();
    return TramasEn(salida);
}

QString Destino(const QJsonObject &trama)
{
    const QJsonValue destino = trama.value(u"destino"_s);
    return destino.isString() ? destino.toString() : QString::number(destino.toInt());
}

} // namespace

void PruebaInstalacion::initTestCase()
{
    QVERIFY(m_prefijo.isValid());
    QProcess instalar;
    instalar.setProcessChannelMode(QProcess::MergedChannels);
    instalar.start(QString::fromUtf8(RUTA_CMAKE),
                   {u"--install"_s, QString::fromUtf8(RUTA_CONSTRUCCION), u"--prefix"_s, m_prefijo.path()});
    QVERIFY(instalar.waitForFinished(Plazo * 2));
    QVERIFY2(instalar.exitStatus() == QProcess::NormalExit && instalar.exitCode() == 0,
             instalar.readAll().constData());
}

void PruebaInstalacion::archivoInstalado_data()
{
    QTest::addColumn<QString>("ruta");
    QTest::addColumn<bool>("ejecutable");

    QTest::newRow("programa") << QString(CarpetaBin + u"/brevalux"_s) << true;
    QTest::newRow("cartel virtual") << QString(CarpetaBin + u"/cartel-virtual"_s) << true;
#ifdef CON_CARTEL_ENVIAR
    QTest::newRow("cartel-enviar") << QString(CarpetaBin + u"/cartel-enviar"_s) << true;
#endif
    QTest::newRow("entrada del menú") << QString(CarpetaDatos + u"/applications/brevalux.desktop"_s) << false;
    QTest::newRow("metadatos AppStream") << QString(CarpetaDatos + u"/metainfo/org.example.brevalux.metainfo.xml"_s)
                                         << false;
    QTest::newRow("icono escalable") << QString(CarpetaDatos + u"/icons/hicolor/scalable/apps/brevalux.svg"_s)
                                     << false;
    // Where systemd looks for the units of a user's services.
    QTest::newRow("unidad de la programación") << u"lib/systemd/user/cartel-programacion@.service"_s << false;
    QTest::newRow("derechos") << QString(CarpetaDatos + u"/doc/brevalux/copyright"_s) << false;
    QTest::newRow("cambios") << QString(CarpetaDatos + u"/doc/brevalux/changelog.gz"_s) << false;
}

void PruebaInstalacion::archivoInstalado()
{
    QFETCH(QString, ruta);
    QFETCH(bool, ejecutable);

    const QFileInfo archivo(Instalado(ruta));
    QVERIFY2(archivo.isFile(), qPrintable(archivo.filePath()));
    QVERIFY(archivo.size() > 0);
    QCOMPARE(archivo.isExecutable(), ejecutable);
    // Everyone may read what a package installs.
    QVERIFY(archivo.permissions().testFlag(QFileDevice::ReadOther));
}

void PruebaInstalacion::iconoEnCadaTamanio_data()
{
    QTest::addColumn<int>("lado");
    for (const QByteArray &lado : QByteArray(LADOS_DEL_ICONO).split(','))
        QTest::newRow(lado.constData()) << lado.toInt();
}

void PruebaInstalacion::iconoEnCadaTamanio()
{
    QFETCH(int, lado);

    const QString ruta = Instalado(u"%1/icons/hicolor/%2x%2/apps/brevalux.png"_s.arg(CarpetaDatos)
                                       .arg(lado));
    const QImage imagen(ruta);
    QVERIFY2(!imagen.isNull(), qPrintable(ruta));
    QCOMPARE(imagen.size(), QSize(lado, lado));
    // The sign on a transparent ground: the corners are clear, the middle is not.
    QCOMPARE(imagen.pixelColor(0, 0).alpha(), 0);
    QVERIFY(imagen.pixelColor(lado / 2, lado / 2).alpha() > 0);
}

void PruebaInstalacion::paginaDeManual_data()
{
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QStringList>("fragmentos");

    const QStringList comunes = {u"dialout"_s, u"carteles.ini"_s, u"/dev/ttyS<N\\-1>"_s, u".SH \"ESTADO DE SALIDA\""_s};
    QTest::newRow("brevalux") << u"brevalux"_s
                              << comunes + QStringList{u".TH BREVALUX 1"_s, u"~/Carteles"_s,
                                                        u"interfase tcp:"_s};
    QTest::newRow("cartel-virtual") << u"cartel-virtual"_s
                                    << QStringList{u".TH CARTEL\\-VIRTUAL 1"_s, u".SH \"ESTADO DE SALIDA\""_s};
#ifdef CON_CARTEL_ENVIAR
    QTest::newRow("cartel-enviar") << u"cartel-enviar"_s
                                   << comunes + QStringList{u".TH CARTEL\\-ENVIAR 1"_s,
                                                            u"\\-\\-puerto tcp:192.0.2.10:4001"_s,
                                                            u".BR cartel\\-programacion@.service"_s};
#endif
}

void PruebaInstalacion::paginaDeManual()
{
    QFETCH(QString, nombre);
    QFETCH(QStringList, fragmentos);

    const QString ruta = Instalado(CarpetaMan + u"/man1/"_s + nombre + u".1.gz"_s);
    QVERIFY2(QFileInfo(ruta).isFile(), qPrintable(ruta));
    QProcess gzip;
    gzip.start(u"gzip"_s, {u"-dc"_s, ruta});
    QVERIFY(gzip.waitForFinished(Plazo));
    QCOMPARE(gzip.exitCode(), 0);
    const QString pagina = QString::fromUtf8(gzip.readAllStandardOutput());
    for (const QString &fragmento : fragmentos)
        QVERIFY2(pagina.contains(fragmento), qPrintable(fragmento));
}

void PruebaInstalacion::entradaDelMenuNombraLoInstalado()
{
    const QString icono = ValorDeLaEntrada(EntradaDelMenu(), u"Icon"_s);
    QVERIFY(QFileInfo::exists(
        Instalado(CarpetaDatos + u"/icons/hicolor/scalable/apps/"_s + icono + u".svg"_s)));
    const QString programa = ValorDeLaEntrada(EntradaDelMenu(), u"TryExec"_s);
    QVERIFY(!programa.isEmpty());
    QVERIFY(QFileInfo(Programa(programa)).isExecutable());
}

void PruebaInstalacion::arranqueDelPrograma_data()
{
    QTest::addColumn<bool>("desdeElMenu");
    QTest::addColumn<bool>("carpetaExistente");

    QTest::newRow("desde una terminal") << false << false;
    QTest::newRow("desde el menú, la primera vez") << true << false;
    QTest::newRow("desde el menú, con ~/Carteles") << true << true;
}

void PruebaInstalacion::arranqueDelPrograma()
{
    QFETCH(bool, desdeElMenu);
    QFETCH(bool, carpetaExistente);

    QTemporaryDir lugar;
    QVERIFY(lugar.isValid());
    const QDir raiz(lugar.path());
    QVERIFY(raiz.mkpath(u"casa"_s) && raiz.mkpath(u"terminal"_s));
    const QString casa = raiz.filePath(u"casa"_s);
    const QString terminal = raiz.filePath(u"terminal"_s);
    const QString carteles = QDir(casa).filePath(u"Carteles"_s);
    if (carpetaExistente) {
        QVERIFY(QDir(casa).mkpath(u"Carteles"_s));
        QFile configuracion(QDir(carteles).filePath(u"carteles.ini"_s));
        QVERIFY(configuracion.open(QIODevice::WriteOnly));
        configuracion.write("interfase com3,9600,N,8,1\r\n");
    }

    QProcess proceso;
    proceso.setProcessEnvironment(EntornoDelPrograma(casa, Instalado(CarpetaBin)));
    proceso.setWorkingDirectory(terminal);
    if (desdeElMenu) {
        const QStringList orden = DividirExec(ValorDeLaEntrada(EntradaDelMenu(), u"Exec"_s));
        QVERIFY(!orden.isEmpty());
        proceso.setProgram(orden.first());
        proceso.setArguments(orden.mid(1));
    } else {
        proceso.setProgram(Programa(u"brevalux"_s));
    }
    QString error;
    const QHash<QString, QString> informe = CorrerConInforme(proceso, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    QCOMPARE(informe.value(u"titulo"_s), TituloPrincipal);
    // Qt's own Spanish texts were found where the installed program looks.
    QCOMPARE(informe.value(u"cancelar"_s), u"Cancelar"_s);
    const QString esperada = desdeElMenu ? carteles : terminal;
    QCOMPARE(QFileInfo(informe.value(u"carpeta"_s)).canonicalFilePath(), QFileInfo(esperada).canonicalFilePath());
    QCOMPARE(QFileInfo(carteles).isDir(), desdeElMenu);
    if (carpetaExistente) {
        QFile configuracion(QDir(carteles).filePath(u"carteles.ini"_s));
        QVERIFY(configuracion.open(QIODevice::ReadOnly));
        QVERIFY(configuracion.readAll().startsWith("interfase com3,9600,N,8,1"));
    }
}

void PruebaInstalacion::cartelVirtualDecodifica_data()
{
    QTest::addColumn<int>("direccion");
    QTest::addColumn<QByteArray>("mensaje");
    QTest::addColumn<QString>("destino");

    QTest::newRow("a todos") << 0 << QByteArray("HOLA") << u"todos"_s;
    QTest::newRow("a la dirección 7") << 7 << QByteArray("ANDEN 3") << u"7"_s;
}

void PruebaInstalacion::cartelVirtualDecodifica()
{
    QFETCH(int, direccion);
    QFETCH(QByteArray, mensaje);
    QFETCH(QString, destino);

    QTemporaryDir lugar;
    QVERIFY(lugar.isValid());
    const QDir carpeta(lugar.path());
    QProcess cartel;
    QVERIFY2(IniciarCartel(cartel, Programa(u"cartel-virtual"_s), carpeta, 3),
             cartel.readAllStandardError().constData());

    // The line as the program's serial layer writes it: raw bytes on the
    // terminal the link points at.
    const QByteArray enlace = QFile::encodeName(carpeta.filePath(u"com3"_s));
    const int linea = ::open(enlace.constData(), O_WRONLY | O_NOCTTY);
    QVERIFY(linea >= 0);
    const QByteArray trama = ArmarTrama(mensaje, static_cast<quint8>(direccion));
    const bool escrita = ::write(linea, trama.constData(), static_cast<size_t>(trama.size())) == trama.size();
    const QList<QJsonObject> tramas = TerminarCartel(cartel, 1);
    ::close(linea);
    QVERIFY(escrita);
    QCOMPARE(tramas.size(), 1);
    QCOMPARE(Destino(tramas.first()), destino);
    QCOMPARE(tramas.first().value(u"texto"_s).toString(), QString::fromLatin1(mensaje));
    QVERIFY(!QFileInfo::exists(carpeta.filePath(u"com3"_s)));
}

#ifdef CON_CARTEL_ENVIAR
void PruebaInstalacion::cartelEnviarLlegaAlCartelVirtual()
{
    QTemporaryDir lugar;
    QVERIFY(lugar.isValid());
    const QDir carpeta(lugar.path());
    QProcess cartel;
    QVERIFY2(IniciarCartel(cartel, Programa(u"cartel-virtual"_s), carpeta, 5),
             cartel.readAllStandardError().constData());

    QProcess enviar;
    enviar.setWorkingDirectory(carpeta.path());
    enviar.start(Programa(u"cartel-enviar"_s), {u"--puerto"_s, u"5"_s, u"--texto"_s, u"[titila]SALIDA"_s});
    QVERIFY(enviar.waitForFinished(Plazo));
    QVERIFY2(enviar.exitCode() == 0, enviar.readAllStandardError().constData());

    const QList<QJsonObject> tramas = TerminarCartel(cartel, 1);
    QCOMPARE(tramas.size(), 1);
    // No carteles.ini: the factory sign, whose unknown address reaches all.
    QCOMPARE(Destino(tramas.first()), u"todos"_s);
    QCOMPARE(tramas.first().value(u"texto"_s).toString(), u"[titila]SALIDA"_s);
}
#endif

QTEST_GUILESS_MAIN(PruebaInstalacion)
#include "prueba_instalacion.moc"
