#include "platform/mapeodepuertos.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <QSerialPortInfo>

#include <algorithm>
#endif

using namespace Qt::Literals::StringLiterals;

UbicacionDePuerto UbicarPuerto(int numero)
{
    UbicacionDePuerto ubicacion;

    // QFileInfo::exists() follows links, so a link whose device was unplugged
    // would look absent; the entry itself still decides which path is used.
    const QFileInfo entrada(QDir::current(), u"com%1"_s.arg(numero));
    if (entrada.exists() || entrada.isSymLink()) {
        ubicacion.ruta = QDir::toNativeSeparators(entrada.absoluteFilePath());
        ubicacion.porEnlace = true;
        if (entrada.isSymLink())
            ubicacion.destino = QDir::toNativeSeparators(entrada.symLinkTarget());
        ubicacion.existe = entrada.exists();
        if (ubicacion.existe)
            ubicacion.dispositivo = QDir::toNativeSeparators(entrada.canonicalFilePath());
        return ubicacion;
    }

#ifdef Q_OS_WIN
    ubicacion.ruta = u"COM%1"_s.arg(numero);
    const auto puertos = QSerialPortInfo::availablePorts();
    ubicacion.existe = std::any_of(puertos.cbegin(), puertos.cend(), [&](const QSerialPortInfo &info) {
        return info.portName().compare(ubicacion.ruta, Qt::CaseInsensitive) == 0;
    });
    if (ubicacion.existe)
        ubicacion.dispositivo = ubicacion.ruta;
#else
    ubicacion.ruta = u"/dev/ttyS%1"_s.arg(numero - 1);
    const QFileInfo dispositivo(ubicacion.ruta);
    ubicacion.existe = dispositivo.exists();
    if (ubicacion.existe)
        ubicacion.dispositivo = dispositivo.canonicalFilePath();
#endif
    return ubicacion;
}

QString DescribirUbicacion(int numero)
{
    const UbicacionDePuerto ubicacion = UbicarPuerto(numero);
    QString texto = u"Com%1: %2"_s.arg(QString::number(numero), ubicacion.ruta);
    if (!ubicacion.destino.isEmpty())
        texto += u" -> "_s + ubicacion.destino;
    if (!ubicacion.existe)
        texto += u" (no existe)"_s;
    return texto;
}
