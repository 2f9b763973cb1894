// Linked beside the program's own main.cpp in brevalux_con_gancho, never in
// brevalux. As soon as the application object exists it starts watching for
// the main window; once that window has been exposed and its first paint
// done, it prints one line, "<CLOCK_MONOTONIC in ns> <VmHWM in kB>", and
// ends the program the ordinary way.

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {

bool EsLaVentanaPrincipal(const QObject *objeto)
{
    const auto *ventana = qobject_cast<const QWindow *>(objeto);
    if (!ventana)
        return false;
    const QList<QWidget *> arriba = QApplication::topLevelWidgets();
    for (const QWidget *widget : arriba) {
        if (widget->objectName() == QLatin1StringView("Principal") && widget->windowHandle() == ventana)
            return true;
    }
    return false;
}

long long PicoResidenteKb()
{
    QFile estado(u"/proc/self/status"_s);
    if (!estado.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &linea : estado.readAll().split('\n')) {
        if (linea.startsWith("VmHWM:"))
            return linea.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

void Informar()
{
    timespec ahora{};
    clock_gettime(CLOCK_MONOTONIC, &ahora);
    const long long ns = static_cast<long long>(ahora.tv_sec) * 1000000000LL + ahora.tv_nsec;
    std::printf("%lld %lld\n", ns, PicoResidenteKb());
    std::fflush(stdout);
    QCoreApplication::exit(0);
}

class Vigia : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override
    {
        if (!m_informado && evento->type() == QEvent::Expose && EsLaVentanaPrincipal(objeto)) {
            m_informado = true;
            // The expose is handled (and the window painted) after this
            // filter returns; the report waits for that.
            QTimer::singleShot(0, this, &Informar);
        }
        return false;
    }

private:
    bool m_informado = false;
};

void Instalar()
{
    QCoreApplication::instance()->installEventFilter(new Vigia(QCoreApplication::instance()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(Instalar)
