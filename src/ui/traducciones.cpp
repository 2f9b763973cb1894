#include "traducciones.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool InstalarTraduccionesDeQt(QObject &duenio)
{
    auto *traduccion = new QTranslator(&duenio);
    if (!traduccion->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traduccion;
        return false;
    }
    return QCoreApplication::installTranslator(traduccion);
}
