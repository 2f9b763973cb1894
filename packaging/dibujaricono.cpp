// Paints the program's icon, as its windows show it, into PNG files for the
// hicolor theme: dibujar_icono CARPETA LADO... writes CARPETA/LxL/brevalux.png
// for each side L. Exits 1 when a side is not one the program draws or a
// file cannot be written.

#include "ui/icono.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QGuiApplication aplicacion(argc, argv);
    const QStringList argumentos = QCoreApplication::arguments();
    if (argumentos.size() < 3) {
        std::fputs("uso: dibujar_icono CARPETA LADO...\n", stderr);
        return 2;
    }
    const QIcon icono = IconoDeLaAplicacion();
    const QList<QSize> dibujados = icono.availableSizes();
    const QDir carpeta(argumentos.at(1));
    for (const QString &texto : argumentos.mid(2)) {
        const int lado = texto.toInt();
        // A side the program does not draw would be a scaled copy, blurred:
        // better to fail the build than to ship it.
        if (!dibujados.contains(QSize(lado, lado))) {
            std::fprintf(stderr, "dibujar_icono: el programa no dibuja el icono en %d px\n", lado);
            return 1;
        }
        const QString subcarpeta = u"%1x%1"_s.arg(lado);
        const QString ruta = carpeta.filePath(subcarpeta + u"/brevalux.png"_s);
        const QImage imagen = icono.pixmap(QSize(lado, lado)).toImage();
        if (!carpeta.mkpath(subcarpeta) || imagen.size() != QSize(lado, lado) || !imagen.save(ruta, "PNG")) {
            std::fprintf(stderr, "dibujar_icono: no se pudo escribir %s\n", qPrintable(ruta));
            return 1;
        }
    }
    return 0;
}
