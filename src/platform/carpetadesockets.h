#pragma once

#include <QString>

#include <optional>

// Where this user's local sockets live: a folder nobody else can enter, so
// that no other user can take a socket's name first or listen in its place.
//
// $XDG_RUNTIME_DIR when it is set and is a folder of this user's closed to
// everyone else (as the session manager makes it); otherwise
// "<temporary folder>/brevalux-<user number>", made with mode 0700 when it
// is missing, and closed again if this user's own folder was left open.
// Nothing, with `error` saying why in the operator's words, when that folder
// cannot be made or belongs to someone else, or is not a folder (a link, a
// file): then no socket of this user's can be served there.
std::optional<QString> CarpetaDeSockets(QString *error = nullptr);
