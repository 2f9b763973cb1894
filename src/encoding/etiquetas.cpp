#include "encoding/etiquetas.h"

std::optional<QLatin1StringView> EtiquetaDelCodigo(quint8 codigo)
{
    for (const EtiquetaDeEfecto &e : EtiquetasDeEfecto()) {
        if (e.codigo == codigo)
            return e.etiqueta;
    }
    return std::nullopt;
}

std::optional<char16_t> CaracterDelCodigo(quint8 codigo)
{
    for (const Sustitucion &s : Sustituciones()) {
        if (s.codigo == codigo && s.caracter != u'\r' && s.caracter != u'\n')
            return s.caracter;
    }
    return std::nullopt;
}
