#pragma once

#include "platform/errordearchivo.h"

#include <QByteArray>
#include <QFile>
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
// A folder the user cannot write allows no temporary file beside the old one,
// although the old file itself may be writable. Then, and only for a file that
// already exists, the lines are gathered in memory and Confirmar() writes them
// over the old file in place: a failure part-way through can then leave it
// damaged, but refusing to save a file the user may write would be worse.
//
// A character the code page cannot hold would be stored as a substitute and
// come back as something else; such a line fails the whole write instead.
// Callers that want to name the offending text check it beforehand with
// CaracteresNoRepresentables().
//
// Only a regular file is replaced (a link to one writes that file, as
// always). A FIFO, a device or a socket at the path, or at the end of a
// link, is refused by Abrir(): replacing it would make the node a file.
class EscritorTexto
{
public:
    EscritorTexto() = default;
    EscritorTexto(const EscritorTexto &) = delete;
    EscritorTexto &operator=(const EscritorTexto &) = delete;

    enum class Modo {
        Atomico,   // through a temporary file beside the old one
        EnElLugar, // over the old file, when no temporary file can be made
        EnMemoria, // no file: the bytes stay in Escrito()
    };

    // A relative `ruta` is taken from the current directory at this call.
    std::optional<ErrorDeArchivo> Abrir(const QString &ruta);

    // The same lines, kept in memory instead of a file; `nombre` stands for
    // the path in errors. Escrito() has them after a successful Confirmar().
    void AbrirEnMemoria(const QString &nombre = QString());
    const QByteArray &Escrito() const { return m_salida; }

    // How the file opened by the last Abrir() is being written.
    Modo ModoDeEscritura() const { return m_modo; }

    // The file may hold at most `maximo` bytes, the most its reader takes:
    // past that Confirmar() fails and nothing is written, so nothing is
    // saved that the program would then refuse to open. Holds for every
    // later Abrir().
    void LimitarTamano(qint64 maximo);

    // Writes `linea` as it is (a line end inside it is written too) and CR LF.
    // Failures are kept and returned by Confirmar().
    void EscribirLinea(const QString &linea);

    // Writes `bytes` as they are: no code page, no line end. For a file of
    // another format kept with the same care, such as the UTF-8 timetable.
    void EscribirBytes(const QByteArray &bytes);

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
    // Hands `m_salida` to `archivo`, all of it or a failure kept in
    // `m_fallo`; returns how many bytes it took.
    qsizetype EscribirSalida(QFileDevice &archivo);
    // Empties `m_salida` into the temporary file.
    void Vaciar();
    // Writes `m_salida` over the old file and cuts it to that length.
    void EscribirEnElLugar();
    // Drops the temporary file, if one is open; the old file stays.
    void DescartarTemporal();
    void Reiniciar();
    ErrorDeArchivo Error(const QString &motivo) const;

    QSaveFile m_archivo;
    QFile m_enElLugar;
    Modo m_modo = Modo::Atomico;
    // Built in place: an ICU-backed encoder that is moved stops reporting errors.
    std::optional<QStringEncoder> m_codificador;
    QString m_rutaNativa;
    QString m_noRepresentables;           // in order of appearance
    QSet<char32_t> m_puntosNoRepresentables;
    QByteArray m_salida;                  // encoded lines not yet handed to the file
    std::optional<QString> m_fallo;       // the first write failure
    qint64 m_tamanoMaximo = -1;           // -1: no limit
    qint64 m_tamano = 0;                  // bytes of every line so far
    bool m_abierto = false;
};
