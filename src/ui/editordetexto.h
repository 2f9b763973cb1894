#pragma once

#include <QWidget>

#include <functional>

class CajaDeTexto;
class Documento;
struct PlanDeEnvio;
class QMdiSubWindow;
class QPlainTextEdit;
class RegistroDeCarteles;

// The window of one message document, made when the text is created or
// opened and deleted when it is closed: its text box keeps the document's
// words, its effect buttons and commands change it. The menus that act on
// it are the main window's, enabled while this window is the active one.
class EditorDeTexto : public QWidget
{
    Q_OBJECT

public:
    // `registro` is the sign registry.
    explicit EditorDeTexto(const RegistroDeCarteles &registro, QWidget *parent = nullptr);

    Documento &documento() const { return *m_documento; }

    QPlainTextEdit &Texto() const;

    // The document's file, or for a new text the name given here.
    QString Caption() const;
    void PonerTituloSinNombre(const QString &titulo);

    // Whether another window shows the file at a path; Guardar Como asks
    // before writing over such a file.
    using AbiertoEnOtra = std::function<bool(const QString &ruta)>;
    void PonerAbiertoEnOtra(AbiertoEnOtra abiertoEnOtra) { m_abiertoEnOtra = std::move(abiertoEnOtra); }

    // The main window's subwindow that holds it.
    QMdiSubWindow *Subventana() const;

Q_SIGNALS:
    // To be brought to the front and made the active window.
    void PedidoActivar(EditorDeTexto *editor);
    // Closed: its window goes, and is deleted.
    void Cerrado(EditorDeTexto *editor);
    // The text or its destinations changed.
    void EstadoCambiado();
    // Send-now was chosen: the registry is to be brought up to date before
    // the plan is made from it.
    void AntesDeEnviar();
    // Send-now: what to write, already checked; the main window shows the
    // send dialog and hands it to the line.
    void PedidoEnvio(const PlanDeEnvio &plan);

public Q_SLOTS:
    void Cortar();
    void Copiar();
    void Pegar();
    // False when the document was not saved (dialog cancelled, write failed).
    bool Guardar();
    bool GuardarComo();
    // Asks about unsaved changes, then closes the window. False when it
    // stays open: the user wanted the changes saved and they were not.
    bool Cerrar();
    void EnviarAhora();
    void ConsultarLongitud();
    // The sign at position `indice` of the registry is chosen or left.
    void CambiarDestino(int indice);
    void ElegirGlobal();

    QSize sizeHint() const override;

protected:
    void closeEvent(QCloseEvent *evento) override;
    void resizeEvent(QResizeEvent *evento) override;

private:
    void CrearBotonesDeEfecto();
    void InsertarEtiqueta(const QString &etiqueta);
    bool Escribir(const QString &ruta);
    // False when writing to `ruta` would lose what another program or window
    // put there and the operator did not want that.
    bool PuedeEscribirEn(const QString &ruta);
    // The save question; false when the window is to stay.
    bool PreguntarAntesDeCerrar();
    void MostrarTitulo();

    const RegistroDeCarteles &m_registro;
    Documento *m_documento;
    CajaDeTexto *m_caja;
    AbiertoEnOtra m_abiertoEnOtra;
    QString m_tituloSinNombre;
};
