#include "encoding/saltosdelinea.h"

#include <algorithm>

QString SaltosCrLf(const QString &textoDelEditor)
{
    const qsizetype n = textoDelEditor.size();
    const char16_t *d = QStringView(textoDelEditor).utf16();
    QString resultado;
    resultado.reserve(n + n / 8);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = d[i];
        if (c == u'\r') {
            resultado.append(u"\r\n");
            if (i + 1 < n && d[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            resultado.append(u"\r\n");
        } else {
            resultado.append(QChar(c));
        }
    }
    return resultado;
}

QString SaltosLf(const QString &texto)
{
    const qsizetype n = texto.size();
    const char16_t *d = QStringView(texto).utf16();
    QString resultado;
    resultado.reserve(n);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = d[i];
        if (c == u'\r') {
            resultado.append(QChar(u'\n'));
            if (i + 1 < n && d[i + 1] == u'\n')
                ++i;
        } else {
            resultado.append(QChar(c));
        }
    }
    return resultado;
}

qsizetype LargoDeLineaMasLarga(const QString &texto)
{
    qsizetype mayor = 0;
    qsizetype actual = 0;
    for (const QChar c : texto) {
        if (c == u'\r' || c == u'\n') {
            actual = 0;
            continue;
        }
        mayor = std::max(mayor, ++actual);
    }
    return mayor;
}
