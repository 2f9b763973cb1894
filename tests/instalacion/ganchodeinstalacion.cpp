// A Qt generic plugin that the installed-layout test asks the installed
// program to load (QT_PLUGIN_PATH and QT_QPA_GENERIC_PLUGINS, Qt's own
// mechanism), so that the program is checked exactly as installed, with no
// hook of its own. Qt creates it while the application object is being
// built, before main() goes on to load translations and show the window.

#include "informedearranque.h"

#include <QCoreApplication>
#include <QGenericPlugin>

class GanchoDeInstalacion : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "ganchodeinstalacion.json")

public:
    QObject *create(const QString &clave, const QString &) override
    {
        if (clave.compare(QLatin1StringView("ganchodeinstalacion"), Qt::CaseInsensitive) != 0)
            return nullptr;
        // Qt keeps the object for the life of the application and deletes it.
        auto *informe = new InformeDeArranque;
        QCoreApplication::instance()->installEventFilter(informe);
        return informe;
    }
};

#include "ganchodeinstalacion.moc"
