#pragma once

#include <QObject>

#include <initializer_list>
#include <vector>

class QSocketNotifier;

// Turns POSIX signals into a Qt signal on the event loop. The handler only
// writes the signal number into a socket pair; everything else happens
// outside it.
class AvisadorDeSenales : public QObject
{
    Q_OBJECT

public:
    explicit AvisadorDeSenales(QObject *parent = nullptr);
    ~AvisadorDeSenales() override;

    // One instance per process: the handler writes to a single socket pair.
    bool Instalar(std::initializer_list<int> senales);

Q_SIGNALS:
    void Recibida(int senal);

private:
    void Leer();

    QSocketNotifier *m_notificador = nullptr;
    std::vector<int> m_instaladas;
};
