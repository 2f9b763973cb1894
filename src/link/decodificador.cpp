#include "link/decodificador.h"

#include "encoding/etiquetas.h"

using namespace Qt::StringLiterals;

QString DecodificarMensaje(const QByteArray &mensaje)
{
    QString texto;
    texto.reserve(mensaje.size());
    for (const char c : mensaje) {
        const auto b = static_cast<quint8>(c);
        if (b >= 0x20 && b <= 0x7E) {
            texto.append(QLatin1Char(static_cast<char>(b)));
        } else if (const auto etiqueta = EtiquetaDelCodigo(b)) {
            texto.append(*etiqueta);
        } else if (const auto letra = CaracterDelCodigo(b)) {
            texto.append(QChar(*letra));
        } else {
            texto.append(u"<0x"_s);
            texto.append(QString::number(b, 16).toUpper().rightJustified(2, u'0'));
            texto.append(u'>');
        }
    }
    return texto;
}
