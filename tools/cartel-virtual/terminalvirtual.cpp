#include "terminalvirtual.h"

#include "platform/pseudoterminalcruda.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString DescripcionDeErrno(const QString &que)
{
    return que + u": "_s + QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

TerminalVirtual::TerminalVirtual(QObject *parent)
    : QObject(parent)
{
}

TerminalVirtual::~TerminalVirtual()
{
    Cerrar();
}

bool TerminalVirtual::Abrir()
{
    const auto terminal = AbrirPseudoTerminalCruda(&error);
    if (!terminal)
        return false;
    maestro = terminal->maestro;
    esclavo = terminal->esclavo;
    nombreDelEsclavo = terminal->rutaEsclavo;
    fcntl(maestro, F_SETFL, fcntl(maestro, F_GETFL) | O_NONBLOCK);

    notificador = new QSocketNotifier(maestro, QSocketNotifier::Read, this);
    connect(notificador, &QSocketNotifier::activated, this, &TerminalVirtual::Leer);
    return true;
}

void TerminalVirtual::Leer()
{
    QByteArray recibido;
    char bloque[4096];
    for (;;) {
        const ssize_t n = read(maestro, bloque, sizeof bloque);
        if (n > 0) {
            recibido.append(bloque, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // End of file or a real error: nothing more will come.
        if (!recibido.isEmpty())
            Q_EMIT BytesRecibidos(recibido);
        error = n == 0 ? u"fin de la terminal"_s : DescripcionDeErrno(u"read"_s);
        notificador->setEnabled(false);
        Q_EMIT Cerrada();
        return;
    }
    if (!recibido.isEmpty())
        Q_EMIT BytesRecibidos(recibido);
}

void TerminalVirtual::Cerrar()
{
    if (notificador)
        notificador->setEnabled(false);
    if (maestro >= 0)
        close(maestro);
    if (esclavo >= 0)
        close(esclavo);
    maestro = esclavo = -1;
}
