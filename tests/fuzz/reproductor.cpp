// Replays a committed corpus through a fuzz target, so that every build
// checks again each input a campaign once kept: directories are read file by
// file, in name order.

#include "comun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

bool Reproducir(const QString &ruta)
{
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "No se pudo leer %s\n", qPrintable(ruta));
        return false;
    }
    const QByteArray bytes = archivo.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                           static_cast<std::size_t>(bytes.size()));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    int entradas = 0;
    for (int i = 1; i < argc; ++i) {
        const QString ruta = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(ruta).isDir()) {
            const QDir carpeta(ruta);
            for (const QString &nombre : carpeta.entryList(QDir::Files, QDir::Name)) {
                if (!Reproducir(carpeta.filePath(nombre)))
                    return 1;
                ++entradas;
            }
        } else {
            if (!Reproducir(ruta))
                return 1;
            ++entradas;
        }
    }
    std::printf("%d entradas reproducidas\n", entradas);
    // A corpus that went missing must not pass for one that holds.
    return entradas > 0 ? 0 : 1;
}
