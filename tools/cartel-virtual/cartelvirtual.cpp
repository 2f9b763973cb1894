#include "cartelvirtual.h"

#include "link/decodificador.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

qint64 Ahora()
{
    return QDateTime::currentMSecsSinceEpoch();
}

QString Hora(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toString(u"hh:mm:ss.zzz"_s);
}

QString Destino(bool aTodos, int direccion)
{
    return aTodos ? u"todos"_s : u"dirección %1"_s.arg(direccion);
}

QString Compacto(const QJsonObject &objeto)
{
    return QString::fromUtf8(QJsonDocument(objeto).toJson(QJsonDocument::Compact));
}

} // namespace

CartelVirtual::CartelVirtual(QTextStream &salidaDeTexto, bool enJson, QObject *parent)
    : QObject(parent)
    , m_salida(salidaDeTexto)
    , m_json(enJson)
    , m_vigia(new QTimer(this))
{
    m_vigia->setInterval(250);
    connect(m_vigia, &QTimer::timeout, this, &CartelVirtual::Vigilar);
    m_vigia->start();
}

void CartelVirtual::Recibir(const QByteArray &bytes)
{
    Mostrar(m_separador.Alimentar(bytes, Ahora()));
}

void CartelVirtual::Vigilar()
{
    Mostrar(m_separador.Vigilar(Ahora()));
}

void CartelVirtual::Mostrar(const std::vector<SucesoDeLinea> &sucesos)
{
    for (const SucesoDeLinea &suceso : sucesos) {
        if (const auto *trama = std::get_if<TramaRecibida>(&suceso))
            MostrarTrama(*trama);
        else
            MostrarAnomalia(std::get<AnomaliaDeLinea>(suceso));
    }
}

void CartelVirtual::MostrarTrama(const TramaRecibida &trama)
{
    const QString texto = DecodificarMensaje(trama.mensaje);
    std::optional<qint64> pausa;
    if (m_finDeLaAnterior)
        pausa = trama.inicio - *m_finDeLaAnterior;
    m_finDeLaAnterior = trama.fin;

    Q_EMIT MensajeRecibido(trama.aTodos, trama.direccion, trama.mensaje);
    if (trama.aTodos) {
        m_textoATodos = texto;
        for (auto &[direccion, anterior] : m_textoPorDireccion)
            anterior = texto;
    } else {
        m_textoPorDireccion[trama.direccion] = texto;
    }

    if (m_json) {
        QJsonObject o;
        o[u"tipo"_s] = u"trama"_s;
        o[u"hora"_s] = Hora(trama.fin);
        o[u"pausa_ms"_s] = pausa ? QJsonValue(*pausa) : QJsonValue();
        o[u"destino"_s] = trama.aTodos ? QJsonValue(u"todos"_s) : QJsonValue(trama.direccion);
        o[u"bytes"_s] = trama.bytes;
        o[u"texto"_s] = texto;
        o[u"mensaje_hex"_s] = QString::fromLatin1(trama.mensaje.toHex());
        Escribir(Compacto(o));
        return;
    }
    const QString columnaPausa = pausa ? u"%1 ms"_s.arg(*pausa, 6) : u"     - ms"_s;
    Escribir(u"%1  pausa %2  %3  %4 bytes  «%5»"_s.arg(
        Hora(trama.fin), columnaPausa, Destino(trama.aTodos, trama.direccion).leftJustified(13),
        u"%1"_s.arg(trama.bytes, 5), texto));
}

void CartelVirtual::MostrarAnomalia(const AnomaliaDeLinea &anomalia)
{
    const QString bytes = DecodificarMensaje(anomalia.bytes);
    if (m_json) {
        QJsonObject o;
        o[u"tipo"_s] = u"anomalia"_s;
        o[u"hora"_s] = Hora(anomalia.momento);
        o[u"motivo"_s] = ClaveDelMotivo(anomalia.motivo);
        o[u"descripcion"_s] = DescripcionDelMotivo(anomalia.motivo);
        o[u"bytes"_s] = anomalia.bytes.size();
        o[u"texto"_s] = bytes;
        o[u"hex"_s] = QString::fromLatin1(anomalia.bytes.toHex());
        Escribir(Compacto(o));
        return;
    }
    Escribir(u"%1  ANOMALÍA: %2; %3 bytes: «%4»"_s.arg(
        Hora(anomalia.momento), DescripcionDelMotivo(anomalia.motivo),
        QString::number(anomalia.bytes.size()), bytes));
}

void CartelVirtual::MostrarTabla()
{
    if (m_json) {
        QJsonArray filas;
        if (m_textoATodos)
            filas.append(QJsonObject{{u"destino"_s, u"todos"_s}, {u"texto"_s, *m_textoATodos}});
        for (const auto &[direccion, texto] : m_textoPorDireccion)
            filas.append(QJsonObject{{u"destino"_s, direccion}, {u"texto"_s, texto}});
        QJsonObject o;
        o[u"tipo"_s] = u"tabla"_s;
        o[u"hora"_s] = Hora(Ahora());
        o[u"carteles"_s] = filas;
        Escribir(Compacto(o));
        return;
    }
    if (!m_textoATodos && m_textoPorDireccion.empty()) {
        Escribir(u"Últimos textos mostrados: ninguno todavía"_s);
        return;
    }
    Escribir(u"Últimos textos mostrados:"_s);
    if (m_textoATodos)
        Escribir(u"  %1  «%2»"_s.arg(Destino(true, 0).leftJustified(13), *m_textoATodos));
    for (const auto &[direccion, texto] : m_textoPorDireccion)
        Escribir(u"  %1  «%2»"_s.arg(Destino(false, direccion).leftJustified(13), texto));
}

void CartelVirtual::Escribir(const QString &linea)
{
    // Flushed line by line: the reader is often a pipe or a test.
    m_salida << linea << '\n';
    m_salida.flush();
    Q_EMIT LineaEscrita(linea);
}
