#include "platform/puertoserieqt.h"

#include "platform/mapeodepuertos.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int PrimerPuerto = 1;
constexpr int UltimoPuerto = 6;

QString TextoDeDispositivo(int numero, const QString &ruta)
{
    return u"Com%1 (%2)"_s.arg(QString::number(numero), ruta);
}

} // namespace

PuertoSerieQt::PuertoSerieQt(QObject *parent)
    : PuertoSerie(parent)
    , serie(new QSerialPort(this))
{
    serie->setObjectName(u"serie"_s);
    ajustes = ajustesInterpretados.Texto();
    AplicarAjustes(ajustesInterpretados);
    connect(serie, &QSerialPort::errorOccurred, this, &PuertoSerieQt::AtenderError);
    connect(serie, &QSerialPort::bytesWritten, this, &PuertoSerie::BytesEntregados);
}

PuertoSerieQt::~PuertoSerieQt()
{
    // Closed here, while this object is still whole, rather than by the child's
    // destructor.
    serie->close();
}

int PuertoSerieQt::Numero() const
{
    return numero;
}

bool PuertoSerieQt::PonerNumero(int nuevo)
{
    if (nuevo < PrimerPuerto || nuevo > UltimoPuerto) {
        error = u"El puerto %1 no es válido; se admiten los puertos %2 a %3."_s.arg(
            QString::number(nuevo), QString::number(PrimerPuerto), QString::number(UltimoPuerto));
        return false;
    }
    numero = nuevo;
    return true;
}

QString PuertoSerieQt::Ajustes() const
{
    return ajustes;
}

bool PuertoSerieQt::PonerAjustes(const QString &texto)
{
    QString motivo;
    const std::optional<AjustesSerie> nuevos = AjustesSerie::Interpretar(texto, &motivo);
    if (!nuevos) {
        error = motivo;
        return false;
    }
#ifndef Q_OS_WIN
    // Termios has no 1.5 stop bits of its own: a UART makes them out of "two"
    // with 5 data bits only.
    if (nuevos->bitsDeParada == AjustesSerie::BitsDeParada::UnoYMedio && nuevos->bitsDeDatos != 5) {
        error = u"Los ajustes «%1» no son válidos: este sistema admite 1.5 bits de parada "
                u"solo con 5 bits de datos."_s.arg(texto);
        return false;
    }
#endif
    if (!AplicarAjustes(*nuevos)) {
        error = u"El puerto %1 no admite los ajustes «%2»: %3."_s.arg(
            TextoDeDispositivo(numero, rutaAbierta), texto, serie->errorString());
        AplicarAjustes(ajustesInterpretados);
        return false;
    }
    ajustesInterpretados = *nuevos;
    ajustes = nuevos->Texto();
    return true;
}

bool PuertoSerieQt::AplicarAjustes(const AjustesSerie &nuevos)
{
    QSerialPort::Parity paridad = QSerialPort::NoParity;
    switch (nuevos.paridad) {
    case AjustesSerie::Paridad::Ninguna: paridad = QSerialPort::NoParity; break;
    case AjustesSerie::Paridad::Par: paridad = QSerialPort::EvenParity; break;
    case AjustesSerie::Paridad::Impar: paridad = QSerialPort::OddParity; break;
    case AjustesSerie::Paridad::Marca: paridad = QSerialPort::MarkParity; break;
    case AjustesSerie::Paridad::Espacio: paridad = QSerialPort::SpaceParity; break;
    }
    QSerialPort::StopBits parada = QSerialPort::OneStop;
    switch (nuevos.bitsDeParada) {
    case AjustesSerie::BitsDeParada::Uno: parada = QSerialPort::OneStop; break;
#ifdef Q_OS_WIN
    case AjustesSerie::BitsDeParada::UnoYMedio: parada = QSerialPort::OneAndHalfStop; break;
#else
    case AjustesSerie::BitsDeParada::UnoYMedio: parada = QSerialPort::TwoStop; break;
#endif
    case AjustesSerie::BitsDeParada::Dos: parada = QSerialPort::TwoStop; break;
    }
    // Each setter only records the value while the port is closed; an open
    // port takes it at once.
    return serie->setBaudRate(nuevos.velocidad)
        && serie->setDataBits(static_cast<QSerialPort::DataBits>(nuevos.bitsDeDatos))
        && serie->setParity(paridad) && serie->setStopBits(parada)
        && serie->setFlowControl(QSerialPort::NoFlowControl);
}

bool PuertoSerieQt::Abrir()
{
    if (serie->isOpen()) {
        if (numeroAbierto == numero)
            return true;
        Cerrar();
    }

    const UbicacionDePuerto ubicacion = UbicarPuerto(numero);
    if (!ubicacion.existe) {
        if (ubicacion.porEnlace) {
            error = u"No se puede abrir el puerto Com%1: el enlace %2 apunta a %3, que no existe. "
                    u"Conecte el adaptador serie o corrija el enlace."_s.arg(
                        QString::number(numero), ubicacion.ruta, ubicacion.destino);
        } else {
            error = u"No se puede abrir el puerto Com%1: no existe el dispositivo %2. Para usar "
                    u"otro dispositivo, cree en la carpeta de trabajo (%3) un enlace llamado com%1 "
                    u"que apunte a él."_s.arg(QString::number(numero), ubicacion.ruta,
                                              QDir::toNativeSeparators(QDir::currentPath()));
        }
        return false;
    }

    serie->setPortName(ubicacion.ruta);
    if (!AplicarAjustes(ajustesInterpretados) || !serie->open(QIODevice::WriteOnly)) {
        error = DescribirFallaAlAbrir(ubicacion.ruta);
        if (serie->isOpen())
            serie->close();
        return false;
    }
    numeroAbierto = numero;
    rutaAbierta = ubicacion.ruta;
    cerradoPorFalla = false;
    return true;
}

QString PuertoSerieQt::DescribirFallaAlAbrir(const QString &ruta) const
{
    const QString dispositivo = TextoDeDispositivo(numero, ruta);
    switch (serie->error()) {
    case QSerialPort::DeviceNotFoundError:
        return u"No se puede abrir el puerto %1: el dispositivo no existe. Conecte el adaptador "
               u"serie o cree en la carpeta de trabajo un enlace llamado com%2 que apunte al "
               u"dispositivo correcto."_s.arg(dispositivo, QString::number(numero));
    case QSerialPort::PermissionError: {
        // QSerialPort says PermissionError both for a lock file held by
        // another program and for a device the user may not open; only the
        // latter is a matter of file permissions.
        bool sinPermiso = false;
#ifdef Q_OS_UNIX
        sinPermiso = ::access(QFile::encodeName(ruta).constData(), W_OK) != 0 && errno == EACCES;
#endif
        if (sinPermiso) {
            return u"No hay permiso para abrir el puerto %1. El usuario debe pertenecer al grupo "
                   u"dialout (sudo usermod -aG dialout $USER, y volver a iniciar la sesión)."_s.arg(
                       dispositivo);
        }
        return u"No se puede abrir el puerto %1: está en uso por otro programa. Ciérrelo y vuelva "
               u"a intentarlo."_s.arg(dispositivo);
    }
    case QSerialPort::UnsupportedOperationError:
        return u"No se puede abrir el puerto %1 con los ajustes %2: %3. Compruebe que el "
               u"dispositivo es un puerto serie."_s.arg(dispositivo, ajustes, serie->errorString());
    default:
        return u"No se puede abrir el puerto %1: %2."_s.arg(dispositivo, serie->errorString());
    }
}

bool PuertoSerieQt::Abierto() const
{
    return serie->isOpen();
}

void PuertoSerieQt::Cerrar()
{
    cerradoPorFalla = false;
    if (serie->isOpen())
        serie->close();
    numeroAbierto = 0;
    rutaAbierta.clear();
}

qint64 PuertoSerieQt::Pendientes() const
{
    if (!serie->isOpen())
        return 0;
    qint64 pendientes = serie->bytesToWrite();
#ifdef Q_OS_LINUX
    const int descriptor = serie->handle();
    int enElControlador = 0;
    if (::ioctl(descriptor, TIOCOUTQ, &enElControlador) == 0 && enElControlador > 0)
        pendientes += enElControlador;
#ifdef TIOCSERGETLSR
    // TIOCOUTQ says nothing of the character still being shifted out; a pause
    // measured from its "zero" would be short by that character. Only UARTs
    // answer this; other devices are taken at their word.
    unsigned int estadoDeLinea = 0;
    if (enElControlador == 0 && ::ioctl(descriptor, TIOCSERGETLSR, &estadoDeLinea) == 0
        && (estadoDeLinea & TIOCSER_TEMT) == 0) {
        pendientes += 1;
    }
#endif
#endif
    return pendientes;
}

bool PuertoSerieQt::Escribir(const QByteArray &bytes)
{
    if (!serie->isOpen()) {
        // After a failure its description says more than "not open".
        if (!cerradoPorFalla)
            error = u"El puerto Com%1 no está abierto."_s.arg(numero);
        return false;
    }
    if (serie->write(bytes) != bytes.size()) {
        error = u"El puerto %1 no aceptó los datos: %2."_s.arg(
            TextoDeDispositivo(numeroAbierto, rutaAbierta), serie->errorString());
        return false;
    }
    return true;
}

QString PuertoSerieQt::DescripcionError() const
{
    return error;
}

QString PuertoSerieQt::RutaAbierta() const
{
    return rutaAbierta;
}

void PuertoSerieQt::AtenderError(QSerialPort::SerialPortError codigo)
{
    if (codigo != QSerialPort::ResourceError && codigo != QSerialPort::WriteError)
        return;
    if (!serie->isOpen())
        return;
    // Closed at once: left open, a lost device keeps the write notifier firing
    // and the error repeats without end.
    const QString dispositivo = TextoDeDispositivo(numeroAbierto, rutaAbierta);
    const QString motivo = serie->errorString();
    Cerrar();
    cerradoPorFalla = true;
    error = u"Se perdió la comunicación con el puerto %1: %2. Revise que el adaptador serie esté "
            u"conectado; el próximo envío volverá a abrir el puerto."_s.arg(dispositivo, motivo);
    Q_EMIT Falla(error);
}
