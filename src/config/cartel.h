#pragma once

#include <QString>

// One connected sign, read once from its record "modelo, nombre, direccion".
// The record is kept as it came, so that a file is written back byte for
// byte; its fields are read at commas, not at ", ", so the name keeps the
// blank that follows the first comma and a comma typed inside a name moves
// the field boundaries.
class Cartel
{
public:
    Cartel() = default;
    // `registro` as the file holds it after "cartel ".
    explicit Cartel(const QString &registro);
    // "modelo, nombre, direccion", the fields as given.
    static Cartel Armar(const QString &modelo, const QString &nombre, const QString &direccion);

    // The record as read or built.
    const QString &Registro() const { return m_registro; }
    // The text before the first comma; the whole record when there is none.
    const QString &Modelo() const { return m_modelo; }
    // The text strictly between the first and the second comma, not trimmed
    // (" Un Cartel"). A hand-edited record with fewer fields still gets a
    // name: with one comma, everything after it; with none, the whole record.
    const QString &Nombre() const { return m_nombre; }
    // The name without the blanks around it, as texts and messages use it.
    QString NombreRecortado() const { return m_nombre.trimmed(); }
    // The number at the start of the text after the second comma, leading
    // blanks skipped: " 12" gives 12, " Desconocida" 0 (all signs). No second
    // comma, no digits there, or a sign before them give 0. A digit string
    // too long for qint64 gives its maximum, so callers need only check the
    // byte range.
    qint64 Direccion() const { return m_direccion; }
    // The text after the second comma, trimmed, is a number or "Desconocida";
    // anything else was written by hand and may send where nobody meant.
    bool DireccionValida() const { return m_direccionValida; }

    friend bool operator==(const Cartel &a, const Cartel &b) { return a.m_registro == b.m_registro; }

private:
    QString m_registro;
    QString m_modelo;
    QString m_nombre;
    qint64 m_direccion = 0;
    bool m_direccionValida = false;
};
