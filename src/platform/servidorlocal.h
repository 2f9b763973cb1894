#pragma once

#include <QObject>
#include <QString>

class CanalLocal;
class QSocketNotifier;

// Listens on a Unix-domain socket that only this user can connect to, and
// hands each connection over as a CanalLocal. The socket file goes with it.
// Every connection is taken: when the process runs out of descriptors the
// rest wait in the system's queue, and are taken once some are free.
class ServidorLocal : public QObject
{
    Q_OBJECT

public:
    explicit ServidorLocal(QObject *parent = nullptr);
    ~ServidorLocal() override;

    // Replaces whatever file is at `ruta` (the caller makes sure no live
    // server is there). False, with Error(), when the socket could not be
    // made.
    bool Escuchar(const QString &ruta);
    QString Error() const { return m_error; }

Q_SIGNALS:
    // A new connection; the server is its parent until someone else takes it.
    void NuevaConexion(CanalLocal *canal);

private:
    // How long accepting rests when no descriptor is left.
    static constexpr int EsperaSinDescriptores = 100; // ms

    void Aceptar();

    int m_descriptor = -1;
    QSocketNotifier *m_aviso = nullptr;
    QString m_ruta;
    QString m_error;
};
