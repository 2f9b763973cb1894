#include "controles.h"

#include <QAbstractButton>
#include <QAbstractItemView>
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

void Pulsar(QWidget *ventana, const QString &nombre)
{
    QTest::mouseClick(Control<QAbstractButton>(ventana, nombre), Qt::LeftButton);
}

void ElegirFila(QAbstractItemView *lista, int fila)
{
    const QModelIndex indice = lista->model()->index(fila, 0);
    lista->scrollTo(indice);
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, lista->visualRect(indice).center());
}
