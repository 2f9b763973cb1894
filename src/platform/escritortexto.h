#pragma once

#include "platform/errordearchivo.h"

#include <QSaveFile>
#include <QSet>
#include <QString>
#include <QStringEncoder>

#include <optional>

// Writes a text file line by line in Windows-1252, each line followed by
// CR LF. The file is replaced as a whole: lines go to a temporary file that
// Confirmar() puts in place of the old one, so a failed or interrupted write
// leaves the previous file as it was.
//
// A character the code page cannot hold would be stored as a substitute and
// come back as something else; such a line fails the whole write instead.
// Callers that want to name the offending text check it beforehand with
// CaracteresNoRepresentables().
class EscritorTexto
{
public:
    EscritorTexto() = default;
    EscritorTexto(const EscritorTexto &) = delete;
    EscritorTexto &operator=(const EscritorTexto &) = delete;

    // A relative `ruta` is taken from the current directory at this call.
    std::optional<ErrorDeArchivo> Abrir(const QString &ruta);

    // Writes `linea` as it is (a line end inside it is written too) and CR LF.
    // Failures are kept and returned by Confirmar().
    void EscribirLinea(const QString &linea);

    // Puts the written lines in place of the file, or on any failure discards
    // them and leaves the file untouched. Dropping the writer without calling
    // it discards them as well.
    std::optional<ErrorDeArchivo> Confirmar();

    // The characters of `texto` that Windows-1252 cannot hold, each distinct
    // one once, in order of first appearance; empty when all fit.
    static QString CaracteresNoRepresentables(const QString &texto);

    // `caracteres` as a list for a message: separated by blanks, a character
    // that cannot be shown (a control or a broken surrogate) as "U+XXXX".
    static QString DescribirCaracteres(const QString &caracteres);

private:
    // Hands `salida` to the file, all of it or a failure kept in `fallo`.
    void Vaciar();
    ErrorDeArchivo Error(const QString &motivo) const;

    QSaveFile archivo;
    // Built in place: an ICU-backed encoder that is moved stops reporting errors.
    std::optional<QStringEncoder> codificador;
    QString rutaNativa;
    QString noRepresentables;           // in order of appearance
    QSet<char32_t> puntosNoRepresentables;
    QByteArray salida;                  // encoded lines not yet handed to the file
    std::optional<QString> fallo;       // the first write failure
    bool abierto = false;
};
