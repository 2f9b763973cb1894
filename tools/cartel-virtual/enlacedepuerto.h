#pragma once

#include <QString>

// The name a program opens as its serial port ("com2" in the current
// directory), as a symbolic link to the pseudo-terminal's slave. Only a link
// left behind by an earlier run, pointing at a /dev/pts entry that is gone,
// is ever replaced; anything else of that name is refused and left alone.
class EnlaceDePuerto
{
public:
    EnlaceDePuerto(const QString &nombre, const QString &destino);
    ~EnlaceDePuerto();
    EnlaceDePuerto(const EnlaceDePuerto &) = delete;
    EnlaceDePuerto &operator=(const EnlaceDePuerto &) = delete;

    bool Crear();
    // Removes the link, but only while it still points at this run's slave.
    void Quitar();

    QString Error() const { return m_error; }

private:
    QString m_nombre;
    QString m_destino;
    QString m_error;
    bool m_creado = false;
};
