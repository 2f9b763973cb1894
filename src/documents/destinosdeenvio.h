#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Which frames a send-now makes: one per address, in this order (0 is every
// sign), and the marked destinations that get none.
struct DestinosDeEnvio
{
    QList<quint8> direcciones;
    // A marked sign whose address is not 0 to 255 is named by its whole
    // record; a marked item with no record behind it, by its caption trimmed.
    QStringList omitidos;

    bool NadaQueEnviar() const { return direcciones.isEmpty(); }
    // Neither Global nor any sign is marked: nothing to send, and nothing was
    // left out either.
    bool SinDestinos() const { return direcciones.isEmpty() && omitidos.isEmpty(); }

    friend bool operator==(const DestinosDeEnvio &, const DestinosDeEnvio &) = default;
};

// The destination items of an editor as they stand: `destinosVisibles` says
// whether the submenu is shown (the registry had two signs or more at its
// last build), `marcas` and `titulos` are item i's check mark and caption,
// `registro` the sign records, record i behind item i.
//
// A hidden submenu or a marked Global sends once, to every sign. Otherwise
// each marked item, in item order, sends to the address its record holds
// after the second comma; "Desconocida" is 0, every sign, so that sign still
// gets its copy.
DestinosDeEnvio DestinosDesdeMarcas(bool destinosVisibles, bool global, const QList<bool> &marcas,
                                    const QStringList &titulos, const QStringList &registro);

// The captions of the destination items the registry gives: each record's
// name as NombreDeCartel reads it, leading blank kept, in registry order.
QStringList TitulosDeRegistro(const QStringList &registro);

// Where a stored document goes once opened in a window that carried no mark
// of its own: the items are the registry's names, Global stays marked unless
// the properties hold "Dirs: ", and the names match as on opening. A document
// sent without a window then reaches exactly the signs it would reach from
// one.
DestinosDeEnvio DestinosDesdePropiedades(const QString &propiedades, const QStringList &registro);
