#include "platform/canallocal.h"

#include <QFile>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

CanalLocal::CanalLocal(int descriptor, QObject *parent)
    : QObject(parent), m_descriptor(descriptor),
      m_lectura(new QSocketNotifier(static_cast<qintptr>(descriptor), QSocketNotifier::Read, this)),
      m_escritura(new QSocketNotifier(static_cast<qintptr>(descriptor), QSocketNotifier::Write, this))
{
    m_escritura->setEnabled(false);
    connect(m_lectura, &QSocketNotifier::activated, this, &CanalLocal::AlPoderLeer);
    connect(m_escritura, &QSocketNotifier::activated, this, &CanalLocal::AlPoderEscribir);
}

CanalLocal::~CanalLocal()
{
    if (m_descriptor < 0)
        return;
    // The notifiers go after this body: none may watch a closed descriptor.
    m_lectura->setEnabled(false);
    m_escritura->setEnabled(false);
    ::close(m_descriptor);
}

int CanalLocal::Enchufar(const QString &ruta, bool esperar)
{
    const QByteArray nombre = QFile::encodeName(ruta);
    sockaddr_un direccion{};
    direccion.sun_family = AF_UNIX;
    if (nombre.size() >= static_cast<qsizetype>(sizeof direccion.sun_path)) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(direccion.sun_path, nombre.constData(), static_cast<size_t>(nombre.size()));
    // Waiting, a while: a server with many clients waiting to be taken has a
    // full queue, and a client that gave up at once would find the port in
    // use instead.
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | (esperar ? 0 : SOCK_NONBLOCK), 0);
    const timeval espera{EsperaDeConexion / 1000, (EsperaDeConexion % 1000) * 1000};
    int conectado = -1;
    if (descriptor >= 0 && (!esperar || ::setsockopt(descriptor, SOL_SOCKET, SO_SNDTIMEO, &espera, sizeof espera) == 0)) {
        do {
            conectado = ::connect(descriptor, reinterpret_cast<const sockaddr *>(&direccion), sizeof direccion);
        } while (conectado != 0 && errno == EINTR);
    }
    if (conectado != 0 || ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) | O_NONBLOCK) != 0) {
        const int motivo = errno;
        if (descriptor >= 0)
            ::close(descriptor);
        errno = motivo;
        return -1;
    }
    return descriptor;
}

CanalLocal *CanalLocal::Conectar(const QString &ruta, QString *error, QObject *parent)
{
    const int descriptor = Enchufar(ruta, true);
    if (descriptor < 0) {
        if (error)
            *error = errno == ENAMETOOLONG ? u"El nombre del socket es demasiado largo: %1"_s.arg(ruta)
                                           : QString::fromLocal8Bit(std::strerror(errno));
        return nullptr;
    }
    return new CanalLocal(descriptor, parent);
}

CanalLocal *CanalLocal::ConectarSinEsperar(const QString &ruta, bool &lleno, QObject *parent)
{
    const int descriptor = Enchufar(ruta, false);
    // A Unix socket's connect does not go on in the background: it is taken
    // at once, or refused with EAGAIN while the queue is full.
    lleno = descriptor < 0 && errno == EAGAIN;
    return descriptor < 0 ? nullptr : new CanalLocal(descriptor, parent);
}

uid_t CanalLocal::UsuarioDelOtroLado() const
{
    ucred credencial{};
    socklen_t largo = sizeof credencial;
    if (m_descriptor < 0 || ::getsockopt(m_descriptor, SOL_SOCKET, SO_PEERCRED, &credencial, &largo) != 0)
        return static_cast<uid_t>(-1);
    return credencial.uid;
}

QByteArray CanalLocal::Leer(qint64 maximo)
{
    const QByteArray datos = m_entrada.first(std::clamp<qint64>(maximo, 0, m_entrada.size()));
    m_entrada.remove(0, datos.size());
    return datos;
}

bool CanalLocal::Recoger()
{
    char pieza[64 * 1024];
    const ssize_t leidos = ::recv(m_descriptor, pieza, sizeof pieza, MSG_DONTWAIT);
    if (leidos > 0) {
        m_entrada.append(pieza, leidos);
        return true;
    }
    return leidos < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
}

void CanalLocal::Escribir(const QByteArray &datos)
{
    if (m_descriptor < 0)
        return;
    m_salida += datos;
    if (!Vaciar())
        Cerrar();
    else
        m_escritura->setEnabled(!m_salida.isEmpty());
}

void CanalLocal::CerrarAlTerminar()
{
    m_cerrarAlTerminar = true;
    if (m_salida.isEmpty())
        Cerrar();
}

void CanalLocal::Abortar()
{
    Cerrar();
}

bool CanalLocal::Vaciar()
{
    while (!m_salida.isEmpty()) {
        // MSG_NOSIGNAL: a client that went must not end this process.
        const ssize_t escritos = ::send(m_descriptor, m_salida.constData(), static_cast<size_t>(m_salida.size()),
                                        MSG_DONTWAIT | MSG_NOSIGNAL);
        if (escritos < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        m_salida.remove(0, escritos);
    }
    return true;
}

void CanalLocal::AlPoderLeer()
{
    const qsizetype antes = m_entrada.size();
    const bool sigue = Recoger();
    if (m_entrada.size() > antes)
        Q_EMIT Legible();
    if (!sigue)
        Cerrar();
}

void CanalLocal::AlPoderEscribir()
{
    if (!Vaciar()) {
        Cerrar();
        return;
    }
    if (m_salida.isEmpty()) {
        m_escritura->setEnabled(false);
        if (m_cerrarAlTerminar)
            Cerrar();
    }
}

bool CanalLocal::EsperarLegible(int milisegundos)
{
    for (;;) {
        if (!m_entrada.isEmpty())
            return true;
        if (m_descriptor < 0)
            return false;
        pollfd espera{m_descriptor, static_cast<short>(POLLIN | (m_salida.isEmpty() ? 0 : POLLOUT)), 0};
        const int listos = ::poll(&espera, 1, milisegundos);
        if (listos < 0 && errno == EINTR)
            continue;
        if (listos <= 0)
            return false;
        if ((espera.revents & POLLOUT) && !Vaciar()) {
            Cerrar();
            return false;
        }
        if ((espera.revents & (POLLIN | POLLHUP | POLLERR)) && !Recoger())
            Cerrar();
    }
}

void CanalLocal::Cerrar()
{
    if (m_descriptor < 0)
        return;
    m_lectura->setEnabled(false);
    m_escritura->setEnabled(false);
    ::close(m_descriptor);
    m_descriptor = -1;
    m_salida.clear();
    Q_EMIT Cerrado();
}
