#include "platform/servidorlocal.h"

#include "platform/canallocal.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

ServidorLocal::ServidorLocal(QObject *parent) : QObject(parent) {}

ServidorLocal::~ServidorLocal()
{
    if (m_descriptor < 0)
        return;
    m_aviso->setEnabled(false);
    ::close(m_descriptor);
    ::unlink(QFile::encodeName(m_ruta).constData());
}

bool ServidorLocal::Escuchar(const QString &ruta)
{
    const QByteArray nombre = QFile::encodeName(ruta);
    sockaddr_un direccion{};
    direccion.sun_family = AF_UNIX;
    if (nombre.size() >= static_cast<qsizetype>(sizeof direccion.sun_path)) {
        m_error = u"El nombre del socket es demasiado largo: %1"_s.arg(ruta);
        return false;
    }
    std::memcpy(direccion.sun_path, nombre.constData(), static_cast<size_t>(nombre.size()));
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    ::unlink(nombre.constData());
    const bool enlazado = descriptor >= 0
                          && ::bind(descriptor, reinterpret_cast<const sockaddr *>(&direccion), sizeof direccion) == 0;
    // Nobody can connect before listen(): the file is this user's alone by then.
    if (!enlazado || ::chmod(nombre.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(descriptor, SOMAXCONN) != 0) {
        m_error = u"No se pudo crear el socket %1: %2"_s.arg(ruta, QString::fromLocal8Bit(std::strerror(errno)));
        if (enlazado)
            ::unlink(nombre.constData());
        if (descriptor >= 0)
            ::close(descriptor);
        return false;
    }
    m_descriptor = descriptor;
    m_ruta = ruta;
    m_aviso = new QSocketNotifier(static_cast<qintptr>(descriptor), QSocketNotifier::Read, this);
    connect(m_aviso, &QSocketNotifier::activated, this, &ServidorLocal::Aceptar);
    return true;
}

void ServidorLocal::Aceptar()
{
    for (;;) {
        const int conexion = ::accept4(m_descriptor, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (conexion >= 0) {
            Q_EMIT NuevaConexion(new CanalLocal(conexion, this));
            continue;
        }
        // Out of descriptors: the connection waits in the queue, and the
        // notifier, which would fire again at once, rests until some may
        // have been freed.
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
            m_aviso->setEnabled(false);
            QTimer::singleShot(EsperaSinDescriptores, this, [this] { m_aviso->setEnabled(true); });
        }
        return;
    }
}
