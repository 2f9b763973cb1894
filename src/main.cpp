#include "ui/principal.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication aplicacion(argc, argv);
    QApplication::setApplicationName(QStringLiteral("brevalux"));

    // Standard buttons read "Sí", "No", "Aceptar", "Cancelar" whatever the
    // desktop's language: the whole interface is Spanish.
    QTranslator traduccionQt;
    if (traduccionQt.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traduccionQt);

    Principal principal;
    principal.show();
    return QApplication::exec();
}
