#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

// A pseudo-terminal in raw mode whose slave side plays the serial port. The
// slave stays open here as well, so a program that opens and closes the port
// again and again never hangs the line up.
class TerminalVirtual : public QObject
{
    Q_OBJECT

public:
    explicit TerminalVirtual(QObject *parent = nullptr);
    ~TerminalVirtual() override;

    bool Abrir();
    QString NombreDelEsclavo() const { return m_nombreDelEsclavo; }
    QString Error() const { return m_error; }

Q_SIGNALS:
    void BytesRecibidos(const QByteArray &bytes);
    // The terminal cannot be read any more.
    void Cerrada();

private:
    void Leer();
    void Cerrar();

    int m_maestro = -1;
    int m_esclavo = -1;
    QString m_nombreDelEsclavo;
    QString m_error;
    QSocketNotifier *m_notificador = nullptr;
};
