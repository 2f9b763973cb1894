#include "controles.h"

#include <QApplication>
#include <QStringList>
#include <QTest>

using namespace Qt::StringLiterals;

bool NingunaVentanaAbierta()
{
    if (QTest::qWaitFor([] { return QApplication::topLevelWidgets().isEmpty(); }))
        return true;
    QStringList quedan;
    for (const QWidget *ventana : QApplication::topLevelWidgets())
        quedan.append(QString::fromLatin1(ventana->metaObject()->className()) + u" «"_s + ventana->windowTitle()
                      + u'»');
    qWarning("Quedan ventanas abiertas: %s", qPrintable(quedan.join(u", "_s)));
    return false;
}
