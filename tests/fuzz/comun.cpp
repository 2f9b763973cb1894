#include "comun.h"

#include <QList>

#include <cstdio>
#include <cstdlib>

void Exigir(bool cumple, const char *propiedad)
{
    if (cumple)
        return;
    std::fprintf(stderr, "Propiedad incumplida: %s\n", propiedad);
    std::fflush(stderr);
    std::abort();
}

void Exigir(bool cumple, const char *propiedad, const QString &detalle)
{
    if (cumple)
        return;
    std::fprintf(stderr, "Propiedad incumplida: %s\n%s\n", propiedad, detalle.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

QByteArray Bytes(const std::uint8_t *datos, std::size_t tamano)
{
    return QByteArray(reinterpret_cast<const char *>(datos), static_cast<qsizetype>(tamano));
}

QString TextoUtf16(const std::uint8_t *datos, std::size_t tamano)
{
    QString texto(static_cast<qsizetype>(tamano / 2), Qt::Uninitialized);
    for (std::size_t i = 0; i + 1 < tamano; i += 2)
        texto[static_cast<qsizetype>(i / 2)] = QChar(static_cast<char16_t>(datos[i] | (datos[i + 1] << 8)));
    return texto;
}

QString TextoUtf8(const std::uint8_t *datos, std::size_t tamano)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(datos), static_cast<qsizetype>(tamano));
}

QString DesdeWindows1252(const QByteArray &bytes)
{
    static constexpr char16_t alto[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QString texto(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(bytes.at(i));
        texto[i] = QChar(b >= 0x80 && b < 0xA0 ? alto[b - 0x80] : char16_t(b));
    }
    return texto;
}

QList<QByteArray> PartirLineas(const QByteArray &bytes)
{
    QList<QByteArray> lineas;
    QByteArray actual;
    bool abierta = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '\r' || c == '\n') {
            lineas.append(actual);
            actual.clear();
            abierta = false;
            if (c == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
                ++i;
        } else {
            actual.append(c);
            abierta = true;
        }
    }
    if (abierta)
        lineas.append(actual);
    return lineas;
}
