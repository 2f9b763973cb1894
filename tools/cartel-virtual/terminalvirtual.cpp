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
    const auto terminal = AbrirPseudoTerminalCruda(&m_error);
    if (!terminal)
        return false;
    m_maestro = terminal->maestro;
    m_esclavo = terminal->esclavo;
    m_nombreDelEsclavo = terminal->rutaEsclavo;
    fcntl(m_maestro, F_SETFL, fcntl(m_maestro, F_GETFL) | O_NONBLOCK);

    m_notificador = new QSocketNotifier(m_maestro, QSocketNotifier::Read, this);
    connect(m_notificador, &QSocketNotifier::activated, this, &TerminalVirtual::Leer);
    return true;
}

void TerminalVirtual::Leer()
{
    QByteArray recibido;
    char bloque[4096];
    for (;;) {
        const ssize_t n = read(m_maestro, bloque, sizeof bloque);
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
        m_error = n == 0 ? u"fin de la terminal"_s : DescripcionDeErrno(u"read"_s);
        m_notificador->setEnabled(false);
        Q_EMIT Cerrada();
        return;
    }
    if (!recibido.isEmpty())
        Q_EMIT BytesRecibidos(recibido);
}

void TerminalVirtual::Cerrar()
{
    if (m_notificador)
        m_notificador->setEnabled(false);
    if (m_maestro >= 0)
        close(m_maestro);
    if (m_esclavo >= 0)
        close(m_esclavo);
    m_maestro = m_esclavo = -1;
}
