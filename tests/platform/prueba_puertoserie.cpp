#include "link/lineadecarteles.h"
#include "apoyo/pseudoterminal.h"
#include "platform/ajustesserie.h"
#include "platform/mapeodepuertos.h"
#include "platform/puertoserieqt.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <grp.h>
#include <memory>
#include <set>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Makes ./comN in the working directory a link to a new pseudo-terminal.
bool Enlazar(PseudoTerminal &linea, int numero)
{
    if (linea.Valida() && linea.CrearEnlace(QDir::current(), numero))
        return true;
    qWarning("No hay pseudo-terminal para com%d: %s", numero, qPrintable(linea.Error()));
    return false;
}

// What a port with this number says when it cannot be opened; a marker that
// no check expects when it opens after all.
QString FalloAlAbrir(int numero)
{
    PuertoSerieQt puerto;
    if (!puerto.PonerNumero(numero))
        return u"<número rechazado>"_s;
    if (puerto.Abrir() || puerto.Abierto())
        return u"<se abrió>"_s;
    return puerto.DescripcionError();
}

QString RutaLocal(const QString &nombre)
{
    return QDir::current().filePath(nombre);
}

QSerialPort *Serie(PuertoSerieQt &puerto)
{
    return puerto.findChild<QSerialPort *>(u"serie"_s);
}

const QString MarcaDeDetalle = u"\n\nDetalle del sistema: "_s;

// What the operator reads first: the message without its system detail.
QString SinDetalle(const QString &mensaje)
{
    const qsizetype corte = mensaje.indexOf(MarcaDeDetalle);
    return corte < 0 ? mensaje : mensaje.left(corte);
}

// The system's text must be there, but only as the detail line.
void ComprobarDetalle(const QString &mensaje, const QString &delSistema)
{
    QVERIFY(!delSistema.isEmpty());
    QVERIFY2(mensaje.endsWith(MarcaDeDetalle + delSistema), qPrintable(mensaje));
    QVERIFY2(!SinDetalle(mensaje).contains(delSistema), qPrintable(mensaje));
}

enum class Falla { NoEsTerminal, EnUso, Perdido, PerdidoConConsejo };

} // namespace

Q_DECLARE_METATYPE(Falla)

class PruebaPuertoSerie : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void ajustes_data();
    void ajustes();
    void numeroDePuerto_data();
    void numeroDePuerto();
    void ajustesRechazadosDejanLosAnteriores();

    void mapeoPrefiereElEnlaceDeLaCarpetaDeTrabajo();
    void mapeoSinEnlaceUsaTtyS_data();
    void mapeoSinEnlaceUsaTtyS();
    void enlaceRotoNoExisteYNombraElDestino();

    void abreLaPseudoTerminalYEscribe();
    void dispositivoInexistenteNombraLaRuta();
    void puertoInservibleSeRechaza();
    void puertoEnUsoPorOtroPrograma();
    void sinPermisoNombraElDispositivoYSuGrupo();
    void textoSinPermiso_data();
    void textoSinPermiso();
    void cambioDeNumeroSeAplicaAlReabrir();
    void cambioDeVelocidadSeAplicaEnElActo();
    void perderElDispositivoCierraYAvisaUnaVez();

    void textoDeErrorParaCadaCodigo();
    void mensajesEnCastellanoConDetalle_data();
    void mensajesEnCastellanoConDetalle();

    void mismoDispositivoNoSeReabre();
    void desconexionEnReposoReabre_data();
    void desconexionEnReposoReabre();
    void enlaceANuevoDispositivoConElViejoPresente();
    void dispositivoColgadoSeReabre();

private:
    QTemporaryDir m_carpeta;
    QString m_carpetaAnterior;
};

void PruebaPuertoSerie::init()
{
    QVERIFY(m_carpeta.isValid());
    m_carpetaAnterior = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_carpeta.path()));
    // Leftovers of an earlier case would change the mapping.
    for (int numero = 1; numero <= 6; ++numero)
        ::unlink(QFile::encodeName(RutaLocal(u"com%1"_s.arg(numero))).constData());
}

void PruebaPuertoSerie::cleanup()
{
    QDir::setCurrent(m_carpetaAnterior);
}

void PruebaPuertoSerie::ajustes_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("valido");
    // Canonical form when accepted; the value the refusal must name otherwise.
    QTest::addColumn<QString>("esperado");

    QTest::newRow("9600 sin paridad") << u"9600,N,8,1"_s << true << u"9600,N,8,1"_s;
    QTest::newRow("2400 sin paridad") << u"2400,N,8,1"_s << true << u"2400,N,8,1"_s;
    QTest::newRow("minúscula") << u"9600,n,8,1"_s << true << u"9600,N,8,1"_s;
    QTest::newRow("par 7 2") << u"19200,e,7,2"_s << true << u"19200,E,7,2"_s;
    QTest::newRow("impar") << u"1200,O,8,1"_s << true << u"1200,O,8,1"_s;
    QTest::newRow("marca") << u"300,M,8,1"_s << true << u"300,M,8,1"_s;
    QTest::newRow("espacio") << u"110,s,6,1"_s << true << u"110,S,6,1"_s;
    QTest::newRow("uno y medio") << u"4800,N,5,1.5"_s << true << u"4800,N,5,1.5"_s;
    QTest::newRow("blancos") << u" 9600 , N , 8 , 1 "_s << true << u"9600,N,8,1"_s;
    QTest::newRow("115200") << u"115200,N,8,1"_s << true << u"115200,N,8,1"_s;

    QTest::newRow("velocidad rara") << u"9601,N,8,1"_s << false << u"9601"_s;
    QTest::newRow("velocidad con signo") << u"+9600,N,8,1"_s << false << u"+9600"_s;
    QTest::newRow("velocidad vacía") << u",N,8,1"_s << false << u"velocidad"_s;
    QTest::newRow("paridad X") << u"9600,X,8,1"_s << false << u"X"_s;
    QTest::newRow("paridad larga") << u"9600,NN,8,1"_s << false << u"NN"_s;
    QTest::newRow("4 bits") << u"9600,N,4,1"_s << false << u"4"_s;
    QTest::newRow("9 bits") << u"9600,N,9,1"_s << false << u"9"_s;
    QTest::newRow("parada 3") << u"9600,N,8,3"_s << false << u"3"_s;
    QTest::newRow("parada 1,5") << u"9600,N,8,1,5"_s << false << u"9600,N,8,1,5"_s;
    QTest::newRow("tres campos") << u"9600,N,8"_s << false << u"9600,N,8"_s;
    QTest::newRow("vacío") << QString() << false << u"cuatro valores"_s;
}

void PruebaPuertoSerie::ajustes()
{
    QFETCH(QString, texto);
    QFETCH(bool, valido);
    QFETCH(QString, esperado);

    QString error;
    const std::optional<AjustesSerie> ajustes = AjustesSerie::Interpretar(texto, &error);
    QCOMPARE(ajustes.has_value(), valido);
    if (valido) {
        QCOMPARE(ajustes->Texto(), esperado);
        QVERIFY(error.isEmpty());
    } else {
        QVERIFY2(error.contains(esperado), qPrintable(error));
    }
}

void PruebaPuertoSerie::numeroDePuerto_data()
{
    QTest::addColumn<int>("numero");
    QTest::addColumn<bool>("valido");
    QTest::newRow("0") << 0 << false;
    QTest::newRow("1") << 1 << true;
    QTest::newRow("6") << 6 << true;
    QTest::newRow("7") << 7 << false;
    QTest::newRow("-1") << -1 << false;
}

void PruebaPuertoSerie::numeroDePuerto()
{
    QFETCH(int, numero);
    QFETCH(bool, valido);

    PuertoSerieQt puerto;
    QCOMPARE(puerto.Numero(), 1);
    QVERIFY(puerto.PonerNumero(3));
    QCOMPARE(puerto.PonerNumero(numero), valido);
    QCOMPARE(puerto.Numero(), valido ? numero : 3);
    if (!valido)
        QVERIFY2(puerto.DescripcionError().contains(QString::number(numero)), qPrintable(puerto.DescripcionError()));
}

void PruebaPuertoSerie::ajustesRechazadosDejanLosAnteriores()
{
    PuertoSerieQt puerto;
    QCOMPARE(puerto.Ajustes(), u"9600,N,8,1"_s);
    QVERIFY(!puerto.Abierto());
    QVERIFY(puerto.PonerAjustes(u"2400,n,8,1"_s));
    QCOMPARE(puerto.Ajustes(), u"2400,N,8,1"_s);
    QVERIFY(!puerto.PonerAjustes(u"2400,N,8"_s));
    QCOMPARE(puerto.Ajustes(), u"2400,N,8,1"_s);
    QVERIFY(!puerto.DescripcionError().isEmpty());
}

void PruebaPuertoSerie::mapeoPrefiereElEnlaceDeLaCarpetaDeTrabajo()
{
    PseudoTerminal linea;
    QVERIFY(Enlazar(linea, 1));
    const UbicacionDePuerto ubicacion = UbicarPuerto(1);
    QCOMPARE(ubicacion.ruta, RutaLocal(u"com1"_s));
    QCOMPARE(ubicacion.destino, linea.RutaEsclavo());
    QVERIFY(ubicacion.existe);
    QVERIFY(ubicacion.porEnlace);
    QCOMPARE(DescribirUbicacion(1), u"Com1: %1 -> %2"_s.arg(ubicacion.ruta, linea.RutaEsclavo()));

    // The working directory decides, at each call.
    QTemporaryDir otra;
    QVERIFY(QDir::setCurrent(otra.path()));
    QCOMPARE(UbicarPuerto(1).ruta, u"/dev/ttyS0"_s);
    QVERIFY(!UbicarPuerto(1).porEnlace);
}

void PruebaPuertoSerie::mapeoSinEnlaceUsaTtyS_data()
{
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("ruta");
    QTest::newRow("1") << 1 << u"/dev/ttyS0"_s;
    QTest::newRow("3") << 3 << u"/dev/ttyS2"_s;
    QTest::newRow("6") << 6 << u"/dev/ttyS5"_s;
}

void PruebaPuertoSerie::mapeoSinEnlaceUsaTtyS()
{
    QFETCH(int, numero);
    QFETCH(QString, ruta);
    const UbicacionDePuerto ubicacion = UbicarPuerto(numero);
    QCOMPARE(ubicacion.ruta, ruta);
    QVERIFY(!ubicacion.porEnlace);
    QVERIFY(ubicacion.destino.isEmpty());
    QCOMPARE(ubicacion.existe, QFileInfo::exists(ruta));
    const QString descripcion = DescribirUbicacion(numero);
    QCOMPARE(descripcion.endsWith(u" (no existe)"_s), !ubicacion.existe);
    QVERIFY(descripcion.startsWith(u"Com%1: %2"_s.arg(numero).arg(ruta)));
}

void PruebaPuertoSerie::enlaceRotoNoExisteYNombraElDestino()
{
    QVERIFY(PseudoTerminal::CrearEnlaceRoto(QDir::current(), 2));
    const UbicacionDePuerto ubicacion = UbicarPuerto(2);
    QVERIFY(ubicacion.porEnlace);
    QVERIFY(!ubicacion.existe);
    QCOMPARE(ubicacion.ruta, RutaLocal(u"com2"_s));
    QVERIFY(DescribirUbicacion(2).endsWith(u" (no existe)"_s));

    const QString error = FalloAlAbrir(2);
    QVERIFY2(error.contains(ubicacion.destino) && error.contains(u"no existe"_s), qPrintable(error));
}

void PruebaPuertoSerie::abreLaPseudoTerminalYEscribe()
{
    PseudoTerminal linea;
    QVERIFY(Enlazar(linea, 2));
    PuertoSerieQt puerto;
    QVERIFY(puerto.PonerNumero(2));
    QVERIFY(!puerto.Escribir("x"));
    QVERIFY2(puerto.Abrir(), qPrintable(puerto.DescripcionError()));
    QVERIFY(puerto.Abierto());
    QCOMPARE(puerto.RutaAbierta(), RutaLocal(u"com2"_s));
    QCOMPARE(linea.VelocidadDeLinea(), 9600);

    QByteArray bytes;
    for (int valor = 0; valor < 256; ++valor)
        bytes.append(static_cast<char>(valor));
    QSignalSpy entregados(&puerto, &PuertoSerie::BytesEntregados);
    QVERIFY(puerto.Escribir(bytes));
    QVERIFY(linea.EsperarBytes(bytes.size(), 5000));
    QCOMPARE(linea.Recibido(), bytes);
    QTRY_COMPARE(puerto.Pendientes(), 0);
    qint64 suma = 0;
    for (const QList<QVariant> &senal : entregados)
        suma += senal.at(0).toLongLong();
    QCOMPARE(suma, bytes.size());

    // Opening again with the same number changes nothing.
    QVERIFY(puerto.Abrir());
    puerto.Cerrar();
    QVERIFY(!puerto.Abierto());
    QCOMPARE(puerto.Pendientes(), 0);
}

void PruebaPuertoSerie::dispositivoInexistenteNombraLaRuta()
{
    int numero = 2;
    while (numero <= 6 && QFileInfo::exists(u"/dev/ttyS%1"_s.arg(numero - 1)))
        ++numero;
    if (numero > 6)
        QSKIP("every /dev/ttyS1..5 exists on this machine");
    const QString error = FalloAlAbrir(numero);
    QVERIFY2(error.contains(u"/dev/ttyS%1"_s.arg(numero - 1)) && error.contains(u"com%1"_s.arg(numero)),
             qPrintable(error));
}

void PruebaPuertoSerie::puertoInservibleSeRechaza()
{
    QVERIFY(PseudoTerminal::CrearPuertoInservible(QDir::current(), 4));
    const QString error = FalloAlAbrir(4);
    QVERIFY2(error.contains(RutaLocal(u"com4"_s)) && error.contains(u"Com4"_s), qPrintable(error));
}

void PruebaPuertoSerie::puertoEnUsoPorOtroPrograma()
{
    PseudoTerminal linea;
    QVERIFY(Enlazar(linea, 1));
    PuertoSerieQt primero;
    QVERIFY2(primero.Abrir(), qPrintable(primero.DescripcionError()));
    PuertoSerieQt segundo;
    QVERIFY(!segundo.Abrir());
    const QString error = segundo.DescripcionError();
    QVERIFY2(error.contains(u"en uso por otro programa"_s) && !error.contains(u"dialout"_s), qPrintable(error));

    primero.Cerrar();
    QVERIFY2(segundo.Abrir(), qPrintable(segundo.DescripcionError()));
}

void PruebaPuertoSerie::sinPermisoNombraElDispositivoYSuGrupo()
{
    if (::geteuid() == 0)
        QSKIP("file permissions do not stop root; textoSinPermiso covers the text");
    PseudoTerminal linea;
    QVERIFY(Enlazar(linea, 1));
    QVERIFY(QFile::setPermissions(linea.RutaEsclavo(), QFileDevice::ReadOwner));
    const QString grupo = QFileInfo(linea.RutaEsclavo()).group();
    QVERIFY(!grupo.isEmpty());
    const QString error = FalloAlAbrir(1);
    QVERIFY2(error.startsWith(u"No hay permiso para abrir el puerto Com1"_s), qPrintable(error));
    QVERIFY2(error.contains(u"el dispositivo %1 pertenece"_s.arg(linea.RutaEsclavo()))
                 && error.contains(u"grupo %1"_s.arg(grupo)),
             qPrintable(error));
    // The device is this user's own: no group would help.
    QVERIFY2(!error.contains(u"adduser"_s), qPrintable(error));
    QVERIFY2(grupo == u"dialout"_s || !error.contains(u"dialout"_s), qPrintable(error));
}

void PruebaPuertoSerie::textoSinPermiso_data()
{
    QTest::addColumn<bool>("deOtro"); // owned by nobody rather than by this user
    QTest::addColumn<QString>("grupo"); // empty: this process's own group
    QTest::addColumn<int>("permisos");
    QTest::addColumn<bool>("aconsejaElGrupo");

    // The owner's bits decide for the owner, whatever the group may do.
    QTest::newRow("el dueño es este usuario") << false << QString() << 0060 << false;
    // Only root may give a device away, or to any group.
    if (::geteuid() != 0)
        return;
    QTest::newRow("grupo con escritura") << true << u"dialout"_s << 0660 << true;
    QTest::newRow("grupo que solo escribe") << true << u"tty"_s << 0620 << true;
    QTest::newRow("solo el dueño") << true << u"dialout"_s << 0600 << false;
    QTest::newRow("grupo de root") << true << u"root"_s << 0660 << false;
}

void PruebaPuertoSerie::textoSinPermiso()
{
    QFETCH(bool, deOtro);
    QFETCH(QString, grupo);
    QFETCH(int, permisos);
    QFETCH(bool, aconsejaElGrupo);

    PseudoTerminal linea;
    QVERIFY(Enlazar(linea, 1));
    const QByteArray ruta = QFile::encodeName(linea.RutaEsclavo());
    gid_t idDeGrupo = ::getegid();
    if (!grupo.isEmpty()) {
        const group *entrada = ::getgrnam(grupo.toLocal8Bit().constData());
        if (!entrada)
            QSKIP("this machine has no such group");
        idDeGrupo = entrada->gr_gid;
    }
    const uid_t dueno = deOtro ? static_cast<uid_t>(65534) : ::geteuid();
    QCOMPARE(::chown(ruta.constData(), dueno, idDeGrupo), 0);
    QCOMPARE(::chmod(ruta.constData(), static_cast<mode_t>(permisos)), 0);
    const QString nombreDeGrupo = QFileInfo(linea.RutaEsclavo()).group();

    const QString texto = PuertoSerieQt::TextoSinPermiso(1, RutaLocal(u"com1"_s), linea.RutaEsclavo());
    // The device behind the link, not only the link, and its group.
    QVERIFY2(texto.contains(u"el dispositivo %1 pertenece"_s.arg(linea.RutaEsclavo())), qPrintable(texto));
    QVERIFY2(texto.contains(u"grupo %1"_s.arg(nombreDeGrupo)), qPrintable(texto));
    QVERIFY2(texto.contains(u"sudo adduser $USER %1"_s.arg(nombreDeGrupo)) == aconsejaElGrupo, qPrintable(texto));
    QVERIFY2(texto.contains(u"adduser"_s) == aconsejaElGrupo, qPrintable(texto));
    QVERIFY2(nombreDeGrupo == u"dialout"_s || !texto.contains(u"dialout"_s), qPrintable(texto));
}

void PruebaPuertoSerie::cambioDeNumeroSeAplicaAlReabrir()
{
    PseudoTerminal uno;
    PseudoTerminal dos;
    QVERIFY(Enlazar(uno, 1) && Enlazar(dos, 5));
    PuertoSerieQt puerto;
    QVERIFY2(puerto.Abrir(), qPrintable(puerto.DescripcionError()));
    QVERIFY(puerto.PonerNumero(5));
    QVERIFY(puerto.Abierto());
    QVERIFY(puerto.Escribir("a"));
    QVERIFY(uno.EsperarBytes(1, 5000));

    QVERIFY2(puerto.Abrir(), qPrintable(puerto.DescripcionError()));
    QCOMPARE(puerto.RutaAbierta(), RutaLocal(u"com5"_s));
    QVERIFY(puerto.Escribir("b"));
    QVERIFY(dos.EsperarBytes(1, 5000));
    QCOMPARE(uno.Recibido(), "a");
    QCOMPARE(dos.Recibido(), "b");
}

void PruebaPuertoSerie::cambioDeVelocidadSeAplicaEnElActo()
{
    PseudoTerminal linea;
    QVERIFY(Enlazar(linea, 1));
    PuertoSerieQt puerto;
    QVERIFY(puerto.PonerAjustes(u"2400,N,8,1"_s));
    QVERIFY2(puerto.Abrir(), qPrintable(puerto.DescripcionError()));
    QCOMPARE(linea.VelocidadDeLinea(), 2400);
    QVERIFY2(puerto.PonerAjustes(u"9600,N,8,1"_s), qPrintable(puerto.DescripcionError()));
    QCOMPARE(linea.VelocidadDeLinea(), 9600);
    QCOMPARE(puerto.Ajustes(), u"9600,N,8,1"_s);
}

void PruebaPuertoSerie::perderElDispositivoCierraYAvisaUnaVez()
{
    PseudoTerminal linea;
    QVERIFY(Enlazar(linea, 1));
    PuertoSerieQt puerto;
    QSignalSpy fallas(&puerto, &PuertoSerie::Falla);
    QVERIFY2(puerto.Abrir(), qPrintable(puerto.DescripcionError()));
    linea.CerrarMaestro();
    QVERIFY(puerto.Escribir("hola"));
    QTRY_COMPARE(fallas.size(), 1);
    QVERIFY(!puerto.Abierto());
    const QString descripcion = fallas.at(0).at(0).toString();
    QCOMPARE(puerto.DescripcionError(), descripcion);
    QVERIFY2(descripcion.contains(RutaLocal(u"com1"_s)), qPrintable(descripcion));
    // Once: a port left open would keep failing.
    QTest::qWait(100);
    QCOMPARE(fallas.size(), 1);
    QVERIFY(!puerto.Escribir("x"));
    QCOMPARE(puerto.DescripcionError(), descripcion);

    // Replugged: the next opening starts afresh.
    PseudoTerminal nueva;
    QVERIFY(Enlazar(nueva, 1));
    QVERIFY2(puerto.Abrir(), qPrintable(puerto.DescripcionError()));
    QVERIFY(puerto.Escribir("otra vez"));
    QVERIFY(nueva.EsperarBytes(8, 5000));
    QCOMPARE(nueva.Recibido(), "otra vez");
}

void PruebaPuertoSerie::textoDeErrorParaCadaCodigo()
{
    const QList<QSerialPort::SerialPortError> codigos{
        QSerialPort::NoError,       QSerialPort::DeviceNotFoundError, QSerialPort::PermissionError,
        QSerialPort::OpenError,     QSerialPort::NotOpenError,        QSerialPort::WriteError,
        QSerialPort::ReadError,     QSerialPort::ResourceError,       QSerialPort::UnsupportedOperationError,
        QSerialPort::TimeoutError,  QSerialPort::UnknownError};
    std::set<QString> vistos;
    for (const QSerialPort::SerialPortError codigo : codigos) {
        const QString texto = PuertoSerieQt::TextoDeError(codigo);
        // A clause that follows a colon: lower case, no full stop of its own.
        QVERIFY2(!texto.isEmpty() && texto.front().isLower() && !texto.endsWith(u'.'), qPrintable(texto));
        QVERIFY2(vistos.insert(texto).second, qPrintable(texto));
    }
    // A code this program has never heard of still gets words of its own.
    // 15 is the largest value the enumeration can hold (its codes are 0 to
    // 10); anything beyond would be undefined behaviour of the test itself.
    const QString desconocido = PuertoSerieQt::TextoDeError(static_cast<QSerialPort::SerialPortError>(15));
    QCOMPARE(desconocido, PuertoSerieQt::TextoDeError(QSerialPort::UnknownError));

    QCOMPARE(PuertoSerieQt::ConDetalle(u"Texto."_s, {}), u"Texto."_s);
    QCOMPARE(PuertoSerieQt::ConDetalle(u"Texto."_s, u"Input/output error"_s),
             u"Texto.\n\nDetalle del sistema: Input/output error"_s);
}

void PruebaPuertoSerie::mensajesEnCastellanoConDetalle_data()
{
    QTest::addColumn<Falla>("falla");
    QTest::addColumn<QString>("comienzo");
    QTest::newRow("no es una terminal") << Falla::NoEsTerminal << u"No se puede abrir el puerto Com1"_s;
    QTest::newRow("en uso") << Falla::EnUso << u"No se puede abrir el puerto Com1"_s;
    QTest::newRow("dispositivo perdido") << Falla::Perdido << u"Se perdió la comunicación con el puerto Com1"_s;
    QTest::newRow("dispositivo perdido, con otro consejo") << Falla::PerdidoConConsejo
                                                           << u"Se perdió la comunicación con el puerto Com1"_s;
}

void PruebaPuertoSerie::mensajesEnCastellanoConDetalle()
{
    QFETCH(Falla, falla);
    QFETCH(QString, comienzo);

    PseudoTerminal linea;
    PuertoSerieQt otro;
    PuertoSerieQt puerto;
    QString mensaje;
    switch (falla) {
    case Falla::NoEsTerminal:
        QVERIFY(PseudoTerminal::CrearPuertoInservible(QDir::current(), 1));
        QVERIFY(!puerto.Abrir());
        mensaje = puerto.DescripcionError();
        break;
    case Falla::EnUso:
        QVERIFY(Enlazar(linea, 1));
        QVERIFY2(otro.Abrir(), qPrintable(otro.DescripcionError()));
        QVERIFY(!puerto.Abrir());
        mensaje = puerto.DescripcionError();
        QVERIFY2(mensaje.contains(u"en uso por otro programa"_s), qPrintable(mensaje));
        break;
    case Falla::Perdido:
    case Falla::PerdidoConConsejo: {
        QVERIFY(Enlazar(linea, 1));
        if (falla == Falla::PerdidoConConsejo)
            puerto.PonerConsejoTrasPerdida(u"Vuelva a intentarlo."_s);
        QSignalSpy fallas(&puerto, &PuertoSerie::Falla);
        QVERIFY2(puerto.Abrir(), qPrintable(puerto.DescripcionError()));
        linea.CerrarMaestro();
        QVERIFY(puerto.Escribir("hola"));
        QTRY_COMPARE(fallas.size(), 1);
        mensaje = fallas.first().first().toString();
        QVERIFY2(mensaje.contains(PuertoSerieQt::TextoDeError(QSerialPort::ResourceError)), qPrintable(mensaje));
        QVERIFY2(mensaje.contains(u". Vuelva a intentarlo.\n"_s) == (falla == Falla::PerdidoConConsejo),
                 qPrintable(mensaje));
        break;
    }
    }
    QVERIFY2(mensaje.startsWith(comienzo), qPrintable(mensaje));
    ComprobarDetalle(mensaje, Serie(puerto)->errorString());
}

void PruebaPuertoSerie::mismoDispositivoNoSeReabre()
{
    PseudoTerminal linea;
    QVERIFY(Enlazar(linea, 2));
    PuertoSerieQt puerto;
    QVERIFY(puerto.PonerNumero(2));
    QVERIFY2(puerto.Abrir(), qPrintable(puerto.DescripcionError()));
    QCOMPARE(puerto.DispositivoAbierto(), linea.RutaEsclavo());
    QSignalSpy cierres(Serie(puerto), &QIODevice::aboutToClose);

    // Relinked to the very same device: still the same one.
    QVERIFY(linea.CrearEnlace(QDir::current(), 2));
    for (int vez = 0; vez < 3; ++vez)
        QVERIFY2(puerto.Abrir(), qPrintable(puerto.DescripcionError()));
    QCOMPARE(cierres.size(), 0);
    QVERIFY(puerto.Escribir("sigue"));
    QVERIFY(linea.EsperarBytes(5, 5000));
    QCOMPARE(linea.Recibido(), "sigue");
}

void PruebaPuertoSerie::desconexionEnReposoReabre_data()
{
    QTest::addColumn<bool>("reconectado");
    QTest::newRow("reconectado a otra pseudo-terminal") << true;
    QTest::newRow("sin reconectar") << false;
}

void PruebaPuertoSerie::desconexionEnReposoReabre()
{
    QFETCH(bool, reconectado);

    auto vieja = std::make_unique<PseudoTerminal>();
    QVERIFY(Enlazar(*vieja, 2));
    PuertoSerieQt puerto;
    QVERIFY(puerto.PonerNumero(2));
    QSignalSpy fallas(&puerto, &PuertoSerie::Falla);
    QVERIFY2(puerto.Abrir(), qPrintable(puerto.DescripcionError()));
    QVERIFY(puerto.Escribir("uno"));
    QVERIFY(vieja->EsperarBytes(3, 5000));
    QTRY_COMPARE(puerto.Pendientes(), 0);

    // Unplugged while idle: nothing is written, so nothing tells the port.
    const QString rutaVieja = vieja->RutaEsclavo();
    vieja->CerrarMaestro();
    QTest::qWait(50);
    QVERIFY(puerto.Abierto());
    PseudoTerminal nueva;
    if (reconectado)
        QVERIFY(Enlazar(nueva, 2));

    QCOMPARE(puerto.Abrir(), reconectado);
    QCOMPARE(fallas.size(), 0);
    if (reconectado) {
        QCOMPARE(puerto.DispositivoAbierto(), nueva.RutaEsclavo());
        QVERIFY(puerto.Escribir("dos"));
        QVERIFY(nueva.EsperarBytes(3, 5000));
        QCOMPARE(nueva.Recibido(), "dos");
        QTest::qWait(50);
        QCOMPARE(fallas.size(), 0);
    } else {
        // Told at once, as a device that is not there, and closed.
        QVERIFY(!puerto.Abierto());
        const QString error = puerto.DescripcionError();
        QVERIFY2(error.contains(rutaVieja) && error.contains(u"no existe"_s), qPrintable(error));
    }
}

void PruebaPuertoSerie::enlaceANuevoDispositivoConElViejoPresente()
{
    PseudoTerminal vieja;
    PseudoTerminal nueva;
    QVERIFY(Enlazar(vieja, 2));
    PuertoSerieQt puerto;
    QVERIFY(puerto.PonerNumero(2));
    QVERIFY2(puerto.Abrir(), qPrintable(puerto.DescripcionError()));
    QVERIFY(puerto.Escribir("a"));
    QVERIFY(vieja.EsperarBytes(1, 5000));

    QVERIFY(nueva.CrearEnlace(QDir::current(), 2));
    QVERIFY2(puerto.Abrir(), qPrintable(puerto.DescripcionError()));
    QCOMPARE(puerto.DispositivoAbierto(), nueva.RutaEsclavo());
    QVERIFY(puerto.Escribir("b"));
    QVERIFY(nueva.EsperarBytes(1, 5000));
    QTest::qWait(50);
    QCOMPARE(vieja.Recibido(), "a");
    QCOMPARE(nueva.Recibido(), "b");

    // The old device was let go: another program may open it now, which a
    // port still holding it would forbid.
    QVERIFY(vieja.CrearEnlace(QDir::current(), 3));
    PuertoSerieQt otro;
    QVERIFY(otro.PonerNumero(3));
    QVERIFY2(otro.Abrir(), qPrintable(otro.DescripcionError()));
}

void PruebaPuertoSerie::dispositivoColgadoSeReabre()
{
    PseudoTerminal linea;
    QVERIFY(Enlazar(linea, 2));
    PuertoSerieQt puerto;
    QVERIFY(puerto.PonerNumero(2));
    QVERIFY2(puerto.Abrir(), qPrintable(puerto.DescripcionError()));
    QSignalSpy cierres(Serie(puerto), &QIODevice::aboutToClose);

    // The same device, still at the same node, but every descriptor opened
    // on it before is hung up, as when an adapter drops off the bus and
    // comes back as the same device.
    const int descriptor = ::open(QFile::encodeName(linea.RutaEsclavo()).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0)
        QSKIP("the device cannot be opened twice here");
    const int colgado = ::ioctl(descriptor, TIOCVHANGUP);
    ::close(descriptor);
    if (colgado != 0)
        QSKIP("hanging up a terminal takes privileges this process lacks");

    QVERIFY2(puerto.Abrir(), qPrintable(puerto.DescripcionError()));
    QCOMPARE(cierres.size(), 1);
    QCOMPARE(puerto.DispositivoAbierto(), linea.RutaEsclavo());
    QVERIFY(puerto.Escribir("otra vez"));
    QVERIFY(linea.EsperarBytes(8, 5000));
    QCOMPARE(linea.Recibido(), "otra vez");
}

QTEST_GUILESS_MAIN(PruebaPuertoSerie)
#include "prueba_puertoserie.moc"
