#pragma once

class QObject;

// Qt's own Spanish texts, so standard buttons read "Sí", "No", "Aceptar",
// "Cancelar" whatever the desktop's language: the whole interface is
// Spanish. False when the translations are not installed.
bool InstalarTraduccionesDeQt(QObject &duenio);
