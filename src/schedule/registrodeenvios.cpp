#include "schedule/registrodeenvios.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

QString Campo(QString texto)
{
    for (QChar &c : texto) {
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    }
    return texto;
}

ErrorDeArchivo Error(const QString &ruta, const QString &motivo)
{
    return ErrorDeArchivo{QDir::toNativeSeparators(QFileInfo(ruta).absoluteFilePath()), motivo};
}

} // namespace

QString LineaDeEnvio(const EnvioAnotado &envio)
{
    const QDateTime conDesplazamiento = envio.momento.toOffsetFromUtc(envio.momento.offsetFromUtc());
    return QStringList{conDesplazamiento.toString(Qt::ISODate), Campo(envio.carteles.join(u"; "_s)),
                       Campo(envio.archivo), QString::number(envio.bytes), Campo(envio.resultado)}
        .join(u'\t');
}

std::optional<ErrorDeArchivo> AnotarEnvio(const EnvioAnotado &envio, const QString &ruta)
{
    const QByteArray linea = LineaDeEnvio(envio).toUtf8() + '\n';
    const QFileInfo actual(ruta);
    if (actual.exists() && actual.size() + linea.size() > TamanoMaximoDelRegistroDeEnvios) {
        const QString anterior = ruta + u".1"_s;
        if (QFile::exists(anterior) && !QFile::remove(anterior))
            return Error(anterior, u"No se pudo borrar el registro anterior para dejar lugar al actual."_s);
        QFile registro(ruta);
        if (!registro.rename(anterior))
            return Error(ruta, registro.errorString());
    }
    QFile registro(ruta);
    if (!registro.open(QIODevice::WriteOnly | QIODevice::Append))
        return Error(ruta, registro.errorString());
    if (registro.write(linea) != linea.size() || !registro.flush())
        return Error(ruta, registro.errorString());
    return std::nullopt;
}
