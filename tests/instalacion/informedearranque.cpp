#include "informedearranque.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>

namespace {

QWidget *VentanaPrincipal(const QObject *objeto)
{
    const auto *ventana = qobject_cast<const QWindow *>(objeto);
    if (!ventana)
        return nullptr;
    const QList<QWidget *> arriba = QApplication::topLevelWidgets();
    for (QWidget *widget : arriba) {
        if (widget->objectName() == QLatin1StringView("Principal") && widget->windowHandle() == ventana)
            return widget;
    }
    return nullptr;
}

void Escribir(const char *clave, const QString &valor)
{
    std::printf("%s=%s\n", clave, valor.toUtf8().constData());
}

void Informar(const QWidget *principal)
{
    // A button box as every dialog of the program makes one: its text comes
    // from whatever translations the program installed by now.
    const QDialogButtonBox caja(QDialogButtonBox::Cancel);
    Escribir("carpeta", QDir::currentPath());
    Escribir("titulo", principal->windowTitle());
    Escribir("cancelar", caja.button(QDialogButtonBox::Cancel)->text());
    std::fflush(stdout);
    QCoreApplication::exit(0);
}

} // namespace

bool InformeDeArranque::eventFilter(QObject *objeto, QEvent *evento)
{
    if (!m_informado && evento->type() == QEvent::Expose) {
        if (QWidget *principal = VentanaPrincipal(objeto)) {
            m_informado = true;
            // After the expose has been handled and the window painted.
            QTimer::singleShot(0, principal, [principal] { Informar(principal); });
        }
    }
    return false;
}
