#include "traducciones.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

bool InstalarTraduccionesDeQt(QObject &duenio)
{
    auto *traduccion = new QTranslator(&duenio);
    if (!traduccion->load(QLocale(QLocale::Spanish), u"qtbase"_s, u"_"_s,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traduccion;
        return false;
    }
    return QCoreApplication::installTranslator(traduccion);
}
