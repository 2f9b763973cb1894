#include "encoding/codificador.h"

#include "encoding/etiquetas.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr quint8 sinCodigo = 0xFF;

// What each character below U+0100 becomes outside a tag; sinCodigo drops it.
// Every character at or above U+0100 is dropped too.
constexpr std::array<quint8, 256> TablaDeCaracteres()
{
    std::array<quint8, 256> tabla{};
    for (int c = 0; c < 256; ++c)
        tabla[static_cast<std::size_t>(c)] = c < 0x80 ? static_cast<quint8>(c) : sinCodigo;
    for (const Sustitucion &s : Sustituciones())
        tabla[s.caracter] = s.codigo;
    return tabla;
}

constexpr std::array<quint8, 256> tablaDeCaracteres = TablaDeCaracteres();

// The code of the tag that starts at 'inicio', or -1. Only called on a "[".
int CodigoDeEtiqueta(const char16_t *inicio, qsizetype restantes, qsizetype &largo)
{
    for (const EtiquetaDeEfecto &e : EtiquetasDeEfecto()) {
        const qsizetype n = e.etiqueta.size();
        if (n > restantes)
            continue;
        const char *t = e.etiqueta.data();
        qsizetype k = 1; // the "[" is already known to match
        while (k < n && inicio[k] == static_cast<unsigned char>(t[k]))
            ++k;
        if (k == n) {
            largo = n;
            return e.codigo;
        }
    }
    return -1;
}

} // namespace

qsizetype LargoDeEtiqueta(QStringView texto, qsizetype posicion)
{
    if (posicion < 0 || posicion >= texto.size() || texto.at(posicion) != u'[')
        return 0;
    qsizetype largo = 0;
    return CodigoDeEtiqueta(texto.utf16() + posicion, texto.size() - posicion, largo) >= 0 ? largo : 0;
}

bool LlegaAlCartel(char16_t caracter)
{
    return caracter < 256 && tablaDeCaracteres[caracter] != sinCodigo;
}

QByteArray CodificarTexto(const QString &texto)
{
    const qsizetype n = texto.size();
    QByteArray resultado;
    if (n == 0)
        return resultado;

    // Written through a raw pointer into a buffer sized for the worst case
    // (one byte per character), then cut to what was written.
    resultado.resize(n);
    char *salida = resultado.data();
    qsizetype escritos = 0;
    const char16_t *d = QStringView(texto).utf16();

    qsizetype p = 0;
    while (p < n) {
        const char16_t c = d[p];
        if (c == u'[') {
            qsizetype largo = 0;
            const int codigo = CodigoDeEtiqueta(d + p, n - p, largo);
            if (codigo >= 0) {
                salida[escritos++] = static_cast<char>(codigo);
                p += largo;
                continue;
            }
            // Not a tag: the bracket is text and what follows is read as text.
            salida[escritos++] = '[';
            ++p;
            continue;
        }
        if (c < 256) {
            const quint8 b = tablaDeCaracteres[c];
            if (b != sinCodigo)
                salida[escritos++] = static_cast<char>(b);
        }
        ++p;
    }
    resultado.truncate(escritos);
    return resultado;
}

bool TextoDemasiadoLargo(const QString &texto)
{
    const qsizetype n = texto.size();
    // Cheap answers first: a text never shrinks when its breaks become CR LF,
    // and at most doubles.
    if (n > LongitudMaximaDeTexto)
        return true;
    if (2 * n <= LongitudMaximaDeTexto)
        return false;

    const char16_t *d = QStringView(texto).utf16();
    qsizetype largo = n;
    for (qsizetype i = 0; i < n; ++i) {
        if (d[i] == u'\n' && (i == 0 || d[i - 1] != u'\r'))
            ++largo; // a lone LF gains its CR
        else if (d[i] == u'\r' && (i + 1 == n || d[i + 1] != u'\n'))
            ++largo; // a lone CR gains its LF
    }
    return largo > LongitudMaximaDeTexto;
}

QString TextoDeLongitud(qsizetype bytes)
{
    return u"Longitud: %1 bytes"_s.arg(bytes);
}
