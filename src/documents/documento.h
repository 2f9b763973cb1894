#pragma once

#include "config/registrodecarteles.h"
#include "documents/almacendetexto.h"
#include "documents/propiedades.h"
#include "documents/textoleido.h"
#include "platform/errordearchivo.h"
#include "platform/firmadearchivo.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <optional>

// A sign text is at most 32,766 characters, one byte each on disk; a file far
// beyond that is no document and is refused rather than loaded into an editor.
inline constexpr qint64 TamanoMaximoDeDocumento = 1024 * 1024;

// Reads the text file at `ruta` into `leido`. A file without markers is all
// text. A file that never reaches "TEXTO:" has an empty text and, as its
// properties, the first non-empty line after "PROPIEDADES:" alone; the lines
// after that one are counted in `lineasFueraDelTexto`.
// A file that cannot be opened or read in full, is not a regular file, or is
// larger than TamanoMaximoDeDocumento, returns an error and leaves `leido`
// untouched.
std::optional<ErrorDeArchivo> LeerDocumento(const QString &ruta, TextoLeido &leido);

// What the operator is told of a file read with `lineas` lines after
// "PROPIEDADES:" and no "TEXTO:" (TextoLeido::lineasFueraDelTexto).
QString TextoDeLineasFueraDelTexto(const QString &archivo, qsizetype lineas);

// The same reading of a file's bytes already in memory; `nombre` stands for
// the path in errors.
std::optional<ErrorDeArchivo> LeerDocumentoDeBytes(const QByteArray &bytes, TextoLeido &leido,
                                                   const QString &nombre = QString());

// Replaces the file at `ruta` with "PROPIEDADES:", the properties line,
// "TEXTO:", the text and a final CR LF, in Windows-1252 with CR LF line ends
// (a lone CR or LF in the text is written as CR LF). The old file stays whole
// on any failure. A text or properties line with characters Windows-1252
// cannot hold writes nothing and returns an error that names them. So does a
// properties line equal to "TEXTO:" or "PROPIEDADES:", which would read back
// as a marker: the save is refused, the file left as it was, and the error's
// reason tells the operator to choose the destinations again. A file that
// would pass TamanoMaximoDeDocumento, which LeerDocumento() refuses, is not
// written either; nor is a path that holds no regular file (a FIFO, a
// device, a link to one).
std::optional<ErrorDeArchivo> EscribirDocumento(const QString &ruta, const QString &texto,
                                                const QString &propiedades);

// The bytes EscribirDocumento() would write, or the same refusal.
std::optional<ErrorDeArchivo> EscribirDocumentoEnBytes(const QString &texto, const QString &propiedades,
                                                       QByteArray &bytes);

// One text as the whole program shares it: its words as the file keeps them
// (CR LF line breaks), its file (none for a new text), the signs it goes to,
// and whether it changed since it was last opened or saved. Windows show it
// and change it through these calls; senders read it with no window open.
// A window that edits the words keeps them (GuardarTextoEn): the document then
// reads them from there, and holds no copy of its own.
class Documento : public QObject
{
    Q_OBJECT

public:
    explicit Documento(QObject *parent = nullptr);

    QString Texto() const { return m_almacen ? m_almacen->TextoCrLf() : m_texto; }
    // A change of the words is a change of the document.
    void PonerTexto(const QString &textoCrLf);
    // From now on the words are kept in `almacen`, which takes those the
    // document holds; it must outlive the document or be taken back with
    // nullptr.
    void GuardarTextoEn(AlmacenDeTexto *almacen);
    // The words changed in the store (a key in the window).
    void TextoEditado();

    // The file it was opened from or last saved to; empty for a new text.
    const QString &Ruta() const { return m_ruta; }
    bool Nombrado() const { return !m_ruta.isEmpty(); }
    // Its file no longer holds what was opened from it or last saved to it:
    // another program changed or removed it. False for a new text.
    bool CambiadoEnDisco() const;
    // Its file is still there.
    bool ArchivoPresente() const;

    bool Modificado() const { return m_modificado; }
    void PonerModificado(bool modificado);

    const DestinosDeTexto &Destinos() const { return m_destinos; }
    // Choosing or leaving one sign changes the document; when no sign is
    // left chosen, the text goes to every sign again.
    void AlternarCartel(const QString &titulo);
    // Every sign, as for a new text. Like any other change of destinations,
    // it changes the document. On a text whose destination line was not
    // understood it is the operator's choice of every sign, and the line is
    // forgotten.
    void ElegirTodos();

    // Takes the other's text, file, destinations and flag.
    void Reemplazar(const Documento &otro);

    // Reads the file; on failure the document stays as it was. `registro`
    // is the sign registry the destinations are read against.
    std::optional<ErrorDeArchivo> Abrir(const QString &ruta, const RegistroDeCarteles &registro,
                                        qsizetype *lineasFueraDelTexto = nullptr);
    // Writes the text and its destinations (the registry's names first, in
    // its order) to `ruta`; on success that is the document's file and it is
    // unchanged. On failure nothing about the document changes.
    std::optional<ErrorDeArchivo> Guardar(const QString &ruta, const RegistroDeCarteles &registro);

Q_SIGNALS:
    void TextoCambiado();
    void DestinosCambiados();
    // The file or the modified flag.
    void EstadoCambiado();

private:
    // The words wherever they are kept, without marking the document.
    void AsignarTexto(const QString &textoCrLf);

    QString m_texto; // empty while a store keeps them
    AlmacenDeTexto *m_almacen = nullptr;
    QString m_ruta;
    DestinosDeTexto m_destinos;
    bool m_modificado = false;
    // The file as this document last read or wrote it.
    FirmaDeArchivo m_firma;
};
