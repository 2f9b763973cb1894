#include "link/decodificador.h"

#include "encoding/etiquetas.h"

using namespace Qt::StringLiterals;

namespace {

struct NombresDelMotivo
{
    QStringView clave;
    QStringView descripcion;
};

// Both names of a motive side by side, so that a new motive gets both at once.
NombresDelMotivo Nombres(MotivoDeAnomalia motivo)
{
    switch (motivo) {
    case MotivoDeAnomalia::Ruido:
        return {u"ruido", u"bytes fuera de trama (se esperaba la cabecera 201 o 202)"};
    case MotivoDeAnomalia::SinCampoFijo:
        return {u"sin_campo_fijo", u"trama sin \"222222 \" tras la cabecera"};
    case MotivoDeAnomalia::Interrumpida:
        return {u"interrumpida", u"trama cortada por otra cabecera antes del fin (200)"};
    case MotivoDeAnomalia::SinFin:
        return {u"sin_fin", u"trama sin fin (200): la línea calló o la trama es demasiado larga"};
    }
    return {};
}

} // namespace

QString DecodificarMensaje(const QByteArray &mensaje)
{
    QString texto;
    texto.reserve(mensaje.size());
    for (const char c : mensaje) {
        const auto b = static_cast<quint8>(c);
        if (b == '[') {
            // Doubled, so that a single "[" always opens a code: the text
            // "[exp]" and the effect code for it must not look alike.
            texto.append(u"[["_s);
        } else if (b >= 0x20 && b <= 0x7E) {
            texto.append(QLatin1Char(static_cast<char>(b)));
        } else if (const auto etiqueta = EtiquetaDelCodigo(b)) {
            texto.append(*etiqueta);
        } else if (const auto letra = CaracterDelCodigo(b)) {
            texto.append(QChar(*letra));
        } else {
            texto.append(u"[0x"_s);
            texto.append(QString::number(b, 16).toUpper().rightJustified(2, u'0'));
            texto.append(u']');
        }
    }
    return texto;
}

QString ClaveDelMotivo(MotivoDeAnomalia motivo)
{
    return Nombres(motivo).clave.toString();
}

QString DescripcionDelMotivo(MotivoDeAnomalia motivo)
{
    return Nombres(motivo).descripcion.toString();
}
