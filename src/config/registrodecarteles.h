#pragma once

#include "config/cartel.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The connected signs in registry order, positions from 0: position i is
// destination item i of every editor. Each sign is read once, when it is
// added; the lookups below only look at what was read.
class RegistroDeCarteles
{
public:
    RegistroDeCarteles() = default;
    explicit RegistroDeCarteles(QList<Cartel> carteles) : m_carteles(std::move(carteles)) {}
    // `lineas`: the records as the file or the list box holds them.
    static RegistroDeCarteles DeRegistros(const QStringList &lineas);

    void Agregar(const Cartel &cartel) { m_carteles.append(cartel); }

    qsizetype Cantidad() const { return m_carteles.size(); }
    bool Vacio() const { return m_carteles.isEmpty(); }
    const Cartel &En(qsizetype posicion) const { return m_carteles.at(posicion); }
    const Cartel &Primero() const { return m_carteles.first(); }
    QList<Cartel>::const_iterator begin() const { return m_carteles.cbegin(); }
    QList<Cartel>::const_iterator end() const { return m_carteles.cend(); }

    // Each sign's record as it was read or built.
    QStringList Registros() const;
    // Each sign's name as Cartel::Nombre() reads it, leading blank kept.
    QStringList Titulos() const;

    // The first sign whose name is `nombre` but for the blanks around either;
    // none when no sign has it.
    std::optional<qsizetype> PosicionDeNombre(const QString &nombre) const;
    bool TieneNombre(const QString &nombre) const { return PosicionDeNombre(nombre).has_value(); }

    // Names (trimmed) that more than one sign has, in registry order.
    QStringList NombresRepetidos() const;

    // What a hand-edited registry holds that would send texts where nobody
    // meant: an address that is neither a number nor "Desconocida" (the
    // message says where such a sign's texts go: to the number its address
    // starts with, or else to every sign), and names several signs share (a
    // text for that name goes to none of them). At most one message per
    // kind, for the operator: a single line or name in full, several as a
    // list of the first ProblemasNombrados and "y 99.990 más.". Linear in
    // the registry.
    QStringList Problemas() const;

    friend bool operator==(const RegistroDeCarteles &, const RegistroDeCarteles &) = default;

private:
    QList<Cartel> m_carteles;
};

// Lines, or names, of one kind of problem that RegistroDeCarteles::Problemas()
// names; the rest it only counts.
inline constexpr qsizetype ProblemasNombrados = 10;
