#pragma once

#include "platform/firmadearchivo.h"

#include <QObject>
#include <QString>

class QFileSystemWatcher;

// Keeps an eye on one file that other programs may edit while this one runs
// (by hand, in an editor that writes a new file and renames it over the old
// one). Says when it may have changed, and tells whether it really did since
// the program last read or wrote it. The signal is only a hint, coming some
// time after the change: whoever uses the file asks Cambiado() first anyway.
class VigilanteDeArchivo : public QObject
{
    Q_OBJECT

public:
    // `ruta` relative or absolute, read no further than `tamanoMaximo` bytes.
    VigilanteDeArchivo(const QString &ruta, qint64 tamanoMaximo, QObject *parent = nullptr);

    const QString &Ruta() const { return m_ruta; }
    // The file as the program last read or wrote it.
    void Conocer(const FirmaDeArchivo &firma) { m_conocida = firma; }
    const FirmaDeArchivo &Conocida() const { return m_conocida; }
    FirmaDeArchivo Actual() const;
    // The file now differs from Conocida(): changed, removed or created.
    bool Cambiado() const { return Actual() != m_conocida; }

Q_SIGNALS:
    void PosibleCambio();

private:
    void Vigilar();

    QString m_ruta;
    qint64 m_tamanoMaximo;
    FirmaDeArchivo m_conocida;
    QFileSystemWatcher *m_vigilante;
};
