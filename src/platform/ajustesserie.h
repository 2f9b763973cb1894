#pragma once

#include <QString>

#include <optional>

// The line settings of the serial control as one string,
// "speed,parity,databits,stopbits" ("9600,N,8,1"), taken apart and checked.
// Only settings that a serial port can actually be given pass, so a string
// refused here is refused before any port is touched.
struct AjustesSerie
{
    enum class Paridad { Ninguna, Par, Impar, Marca, Espacio };
    enum class BitsDeParada { Uno, UnoYMedio, Dos };

    qint32 velocidad = 9600;
    Paridad paridad = Paridad::Ninguna;
    int bitsDeDatos = 8;
    BitsDeParada bitsDeParada = BitsDeParada::Uno;

    // Exactly the ASCII forms: ASCII spaces around each field are allowed
    // (no tabs, no other blanks), the parity letter is one of N, E, O, M, S
    // in either ASCII case, digits are ASCII digits.
    // On refusal returns nothing and, when `error` is given, writes there a
    // description that names the refused value.
    static std::optional<AjustesSerie> Interpretar(const QString &texto, QString *error = nullptr);

    // Written back in the canonical form: "9600,N,8,1", "2400,E,7,1.5".
    QString Texto() const;

    // The speeds accepted, ascending.
    static const QList<qint32> &VelocidadesAdmitidas();

    friend bool operator==(const AjustesSerie &, const AjustesSerie &) = default;
};
