#pragma once

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A fresh working directory for a whole program under measurement: it
// becomes the current directory (where ./carteles.ini and ./comN are looked
// for) and message boxes answer on their own, so nothing waits for a person.
// The previous directory is restored at the end.
class CarpetaDeMedicion
{
public:
    CarpetaDeMedicion();
    ~CarpetaDeMedicion();
    CarpetaDeMedicion(const CarpetaDeMedicion &) = delete;
    CarpetaDeMedicion &operator=(const CarpetaDeMedicion &) = delete;

    bool Valida() const { return m_carpeta.isValid(); }
    QDir Dir() const { return QDir(m_carpeta.path()); }
    QString Ruta(const QString &nombre) const { return m_carpeta.filePath(nombre); }

    // ./carteles.ini with CR LF line ends.
    bool EscribirConfiguracion(const QStringList &lineas) const;

private:
    QTemporaryDir m_carpeta;
    QString m_anterior;
};
