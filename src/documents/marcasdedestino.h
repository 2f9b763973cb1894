#pragma once

#include <QList>
#include <QStringList>

// Destination marks across a change of the sign registry. A mark belongs to
// a sign, not to a place in the list: when a sign is removed the ones after
// it move up, and a mark that stayed in its place would send the text to a
// sign nobody chose for it.
//
// `anteriores` are the registry records the items stood for, `marcas` their
// marks (item i for record i), `nuevos` the registry after the change. Each
// earlier record first claims the same record in the new list, marked or
// not, so an unchanged sign keeps exactly its own mark; a marked record left
// without one then claims a sign of the same name that no earlier record
// claimed (the sign was removed and added again, with another model or
// address). A marked sign that is gone loses its mark. The result has one
// mark per new record.
QList<bool> MarcasTrasCambioDeRegistro(const QStringList &anteriores, const QList<bool> &marcas,
                                       const QStringList &nuevos);
