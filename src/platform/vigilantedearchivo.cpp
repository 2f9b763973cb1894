#include "platform/vigilantedearchivo.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

VigilanteDeArchivo::VigilanteDeArchivo(const QString &ruta, qint64 tamanoMaximo, QObject *parent)
    : QObject(parent), m_ruta(QFileInfo(ruta).absoluteFilePath()), m_tamanoMaximo(tamanoMaximo),
      m_vigilante(new QFileSystemWatcher(this))
{
    // The folder too: a file replaced by a rename, or made anew, is no
    // longer the one being watched.
    m_vigilante->addPath(QFileInfo(m_ruta).absolutePath());
    Vigilar();
    connect(m_vigilante, &QFileSystemWatcher::fileChanged, this, [this] {
        Vigilar();
        Q_EMIT PosibleCambio();
    });
    connect(m_vigilante, &QFileSystemWatcher::directoryChanged, this, [this] {
        Vigilar();
        Q_EMIT PosibleCambio();
    });
}

FirmaDeArchivo VigilanteDeArchivo::Actual() const
{
    return FirmaDeArchivo::Tomar(m_ruta, m_tamanoMaximo);
}

void VigilanteDeArchivo::Vigilar()
{
    if (QFileInfo::exists(m_ruta) && !m_vigilante->files().contains(m_ruta))
        m_vigilante->addPath(m_ruta);
}
