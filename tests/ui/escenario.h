#pragma once

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class Principal;
class PuertoFalso;
class EditorDeTexto;

// A whole program in a temporary working directory: the message boxes and
// file dialogs answer from the test, the serial port is in memory unless the
// test hands a real one, and ./carteles.ini is whatever the test writes.
class Escenario
{
public:
    Escenario();
    ~Escenario();

    bool Valido() const { return m_carpeta.isValid(); }
    QDir Carpeta() const { return QDir(m_carpeta.path()); }
    QString Ruta(const QString &nombre) const { return m_carpeta.filePath(nombre); }

    // Writes ./carteles.ini with CR LF line ends before the program starts.
    void EscribirConfiguracion(const QStringList &lineas) const;
    QByteArray LeerArchivo(const QString &nombre) const;
    // Writes a file of the working directory byte for byte; its path, or an
    // empty string when it could not be written.
    QString EscribirArchivo(const QString &nombre, const QByteArray &bytes) const;

    // Starts the program; without a port, with a PuertoFalso.
    Principal &Iniciar();
    Principal &Iniciar(class PuertoSerie *puerto);
    Principal &principal() const { return *m_principal; }
    PuertoFalso &puerto() const { return *m_puertoFalso; }

    // A new untitled document, shown and active; the second holding `texto`,
    // as if pasted in.
    EditorDeTexto &NuevoTexto();
    EditorDeTexto &NuevoTexto(const QString &texto);

private:
    QTemporaryDir m_carpeta;
    QString m_anterior;
    std::unique_ptr<Principal> m_principal;
    PuertoFalso *m_puertoFalso = nullptr;
};
