#include "link/protocolodeenvios.h"

#include "platform/canallocal.h"
#include "platform/carpetadesockets.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype TamanoDeLongitud = 4;

// QDataStream's own list reading reserves whatever count the peer claims;
// this one believes no count the message could not hold.
bool LeerCadenas(QDataStream &flujo, qint64 restantes, QList<QByteArray> &cadenas)
{
    quint32 cantidad = 0;
    flujo >> cantidad;
    if (flujo.status() != QDataStream::Ok || cantidad > restantes / TamanoDeLongitud)
        return false;
    cadenas.clear();
    cadenas.reserve(cantidad);
    for (quint32 i = 0; i < cantidad && flujo.status() == QDataStream::Ok; ++i) {
        QByteArray cadena;
        flujo >> cadena;
        cadenas.append(cadena);
    }
    return flujo.status() == QDataStream::Ok;
}

bool LeerTextos(QDataStream &flujo, qint64 restantes, QStringList &textos)
{
    quint32 cantidad = 0;
    flujo >> cantidad;
    if (flujo.status() != QDataStream::Ok || cantidad > restantes / TamanoDeLongitud)
        return false;
    textos.clear();
    textos.reserve(cantidad);
    for (quint32 i = 0; i < cantidad && flujo.status() == QDataStream::Ok; ++i) {
        QString texto;
        flujo >> texto;
        textos.append(texto);
    }
    return flujo.status() == QDataStream::Ok;
}

} // namespace

QString TextoDeEntrega(qint64 tramasEntregadas, qint64 tramasTotales)
{
    return u"Enviado por el programa que tiene el puerto: %1 de %2 tramas"_s.arg(tramasEntregadas).arg(tramasTotales);
}

MensajeDeEnvios MensajeDePedido(const QList<QByteArray> &cadenas, const QStringList &carteles, const QString &archivo)
{
    MensajeDeEnvios pedido;
    pedido.tipo = MensajeDeEnvios::Tipo::Pedido;
    pedido.cadenas = cadenas;
    pedido.carteles = carteles;
    pedido.archivo = archivo;
    return pedido;
}

QByteArray CodificarMensaje(const MensajeDeEnvios &mensaje)
{
    QByteArray bytes(TamanoDeLongitud, '\0');
    QDataStream flujo(&bytes, QIODevice::WriteOnly | QIODevice::Append);
    flujo.setVersion(QDataStream::Qt_6_0);
    flujo << static_cast<quint8>(mensaje.tipo);
    switch (mensaje.tipo) {
    case MensajeDeEnvios::Tipo::Saludo:
        flujo << mensaje.version << static_cast<qint32>(mensaje.puerto) << mensaje.ajustes << mensaje.linea;
        break;
    case MensajeDeEnvios::Tipo::Pedido:
        flujo << mensaje.version << static_cast<quint32>(mensaje.cadenas.size());
        for (const QByteArray &cadena : mensaje.cadenas)
            flujo << cadena;
        flujo << mensaje.carteles << mensaje.archivo;
        break;
    case MensajeDeEnvios::Tipo::Comenzada:
        flujo << mensaje.total;
        break;
    case MensajeDeEnvios::Tipo::Avance:
        flujo << mensaje.entregados << mensaje.total;
        break;
    case MensajeDeEnvios::Tipo::Resultado:
        flujo << mensaje.resultado.exito << mensaje.resultado.fallo << mensaje.resultado.tramasEntregadas
              << mensaje.resultado.tramasTotales;
        break;
    }
    qToBigEndian(static_cast<quint32>(bytes.size() - TamanoDeLongitud), bytes.data());
    return bytes;
}

LecturaDeMensaje LeerMensaje(QByteArray &bufer, MensajeDeEnvios &mensaje)
{
    if (bufer.size() < TamanoDeLongitud)
        return LecturaDeMensaje::Incompleta;
    const quint32 longitud = qFromBigEndian<quint32>(bufer.constData());
    if (longitud == 0 || longitud > TamanoMaximoDeMensaje)
        return LecturaDeMensaje::Invalida;
    if (bufer.size() - TamanoDeLongitud < qsizetype(longitud))
        return LecturaDeMensaje::Incompleta;
    const QByteArray cuerpo = bufer.mid(TamanoDeLongitud, longitud);
    bufer.remove(0, TamanoDeLongitud + longitud);

    QDataStream flujo(cuerpo);
    flujo.setVersion(QDataStream::Qt_6_0);
    quint8 tipo = 0;
    flujo >> tipo;
    mensaje = MensajeDeEnvios();
    mensaje.tipo = static_cast<MensajeDeEnvios::Tipo>(tipo);
    switch (mensaje.tipo) {
    case MensajeDeEnvios::Tipo::Saludo: {
        qint32 puerto = 0;
        flujo >> mensaje.version >> puerto >> mensaje.ajustes >> mensaje.linea;
        mensaje.puerto = puerto;
        break;
    }
    case MensajeDeEnvios::Tipo::Pedido:
        flujo >> mensaje.version;
        if (!LeerCadenas(flujo, longitud, mensaje.cadenas) || !LeerTextos(flujo, longitud, mensaje.carteles))
            return LecturaDeMensaje::Invalida;
        flujo >> mensaje.archivo;
        break;
    case MensajeDeEnvios::Tipo::Comenzada:
        flujo >> mensaje.total;
        break;
    case MensajeDeEnvios::Tipo::Avance:
        flujo >> mensaje.entregados >> mensaje.total;
        break;
    case MensajeDeEnvios::Tipo::Resultado:
        flujo >> mensaje.resultado.exito >> mensaje.resultado.fallo >> mensaje.resultado.tramasEntregadas
            >> mensaje.resultado.tramasTotales;
        break;
    default:
        return LecturaDeMensaje::Invalida;
    }
    return flujo.status() == QDataStream::Ok && flujo.atEnd() ? LecturaDeMensaje::Leido
                                                              : LecturaDeMensaje::Invalida;
}

QString NombreDelServidorDeEnvios(const QString &carpeta)
{
    const QFileInfo informacion(carpeta);
    const QString canonica = informacion.canonicalFilePath();
    const QString ruta = canonica.isEmpty() ? informacion.absoluteFilePath() : canonica;
#ifdef Q_OS_UNIX
    const QString usuario = QString::number(::getuid());
#else
    const QString usuario = qEnvironmentVariable("USERNAME");
#endif
    const QByteArray huella = QCryptographicHash::hash((usuario + u'\n' + ruta).toUtf8(), QCryptographicHash::Sha1);
    return u"brevalux-%1-%2"_s.arg(usuario, QString::fromLatin1(huella.toHex().left(16)));
}

std::optional<QString> RutaDelServidorDeEnvios(const QString &carpeta, QString *error)
{
    const std::optional<QString> sockets = CarpetaDeSockets(error);
    if (!sockets)
        return std::nullopt;
    return *sockets + u'/' + NombreDelServidorDeEnvios(carpeta);
}

CanalLocal *ConectarConElServidorDeEnvios(const QString &carpeta, QObject *padre, bool *lleno)
{
    if (lleno)
        *lleno = false;
    // With no private folder, nobody of this user's can be serving it.
    const std::optional<QString> ruta = RutaDelServidorDeEnvios(carpeta);
    if (!ruta)
        return nullptr;
    // A local connection is taken at once unless the server's queue is full,
    // which CanalLocal waits out for a bounded while, if it may wait.
    CanalLocal *canal = lleno ? CanalLocal::ConectarSinEsperar(*ruta, *lleno, padre)
                              : CanalLocal::Conectar(*ruta, nullptr, padre);
#ifdef Q_OS_UNIX
    if (canal && canal->UsuarioDelOtroLado() != ::geteuid()) {
        canal->Abortar();
        delete canal;
        return nullptr;
    }
#endif
    return canal;
}
