#pragma once

#include "descripciondemenus.h"

#include "config/registrodecarteles.h"

#include <QHash>
#include <QList>
#include <QWidget>

#include <functional>

class CajaDeTexto;
class Documento;
struct PlanDeEnvio;
class QAction;
class QMenu;
class QMdiSubWindow;
class QPlainTextEdit;
class QPushButton;

// The window of one message document: its text box, effect buttons and
// destination menu show the document it holds, and its commands change it.
// Windows are never destroyed while the program runs: a closed document's
// window is hidden, its document emptied and its slot reused.
class EditorDeTexto : public QWidget
{
    Q_OBJECT

public:
    // `registro` is the sign registry; the commands in `compartidas` are the
    // main window's own items, shown as they are in this window's menus.
    EditorDeTexto(const RegistroDeCarteles &registro, const QHash<Orden, QAction *> &compartidas,
                      QWidget *parent = nullptr);

    Documento &documento() const { return *m_documento; }

    QPlainTextEdit &Texto() const;

    // The document's file, or for a new text the name given here.
    QString Caption() const;
    void PonerTituloSinNombre(const QString &titulo);

    // The menus this window puts in the main window's menu bar while active.
    const QList<QMenu *> &Menus() const { return m_menus; }
    QAction *Accion(const QString &nombre) const;

    // Whether another window shows the file at a path; Guardar Como asks
    // before writing over such a file.
    using AbiertoEnOtra = std::function<bool(const QString &ruta)>;
    void PonerAbiertoEnOtra(AbiertoEnOtra abiertoEnOtra) { m_abiertoEnOtra = std::move(abiertoEnOtra); }

    // Placed in the main window by it; visibility is the subwindow's.
    void PonerSubventana(QMdiSubWindow *subventana) { m_subventana = subventana; }
    QMdiSubWindow *Subventana() const;
    bool EstaVisible() const;
    void Mostrar();
    void Ocultar();

    // The destination menu: rebuilt from the registry, its marks showing the
    // document's choice.
    void CargarDestinos();
    bool DestinosVisibles() const;
    bool GlobalMarcado() const;
    QList<bool> MarcasDeDestino() const;
    QStringList TitulosDeDestino() const;

Q_SIGNALS:
    // To be brought to the front and made the active window.
    void PedidoActivar(EditorDeTexto *editor);
    // Hidden: another window's menus take over.
    void Oculto();
    // The text or its destinations changed.
    void EstadoCambiado();
    // Send-now was chosen: the registry is to be brought up to date before
    // the plan is made from it.
    void AntesDeEnviar();
    // Send-now: what to write, already checked; the main window shows the
    // send dialog and hands it to the line.
    void PedidoEnvio(const PlanDeEnvio &plan);
    // "Arreglar": Qt::Horizontal side by side, Qt::Vertical one above the other.
    void PedidoArreglar(Qt::Orientation orientacion);
    // The "Ventana" menu is about to show: the open windows go below `propios`.
    void PedidoMenuVentana(QMenu *menu, const QList<QAction *> &propios);

public Q_SLOTS:
    void TextoCambiado();
    void Cortar();
    void Copiar();
    void Pegar();
    // False when the document was not saved (dialog cancelled, write failed).
    bool Guardar();
    bool GuardarComo();
    // False when the window stays open: the user wanted the changes saved
    // and they were not.
    bool Cerrar();
    void EnviarAhora();
    void ConsultarLongitud();
    void CambiarDestino(int Index);
    void ElegirGlobal();

    QSize sizeHint() const override;

protected:
    void closeEvent(QCloseEvent *evento) override;
    void resizeEvent(QResizeEvent *evento) override;

private:
    void CrearBotonesDeEfecto();
    void CrearMenus(const QHash<Orden, QAction *> &compartidas);
    QAction *AgregarDestino(int indice);
    void AgruparDestinos(qsizetype cantidad);
    void InsertarEtiqueta(const QString &etiqueta);
    void AjustarCorteDeLineas(const QString &texto);
    bool Escribir(const QString &ruta);
    // False when writing to `ruta` would lose what another program or window
    // put there and the operator did not want that.
    bool PuedeEscribirEn(const QString &ruta);
    void MostrarTexto();
    void MostrarDestinos();
    void MostrarTitulo();

    const RegistroDeCarteles &m_registro;
    Documento *m_documento;
    CajaDeTexto *m_caja;
    QMdiSubWindow *m_subventana = nullptr;
    AbiertoEnOtra m_abiertoEnOtra;
    bool m_visible = false;
    QString m_tituloSinNombre;
    // Set while the box and the document are brought into step, so that
    // neither takes the other's change for a new one.
    bool m_sincronizando = false;

    QList<QMenu *> m_menus;
    QMenu *m_menuDeDestinos = nullptr;
    QAction *m_accionGlobal = nullptr;
    QList<QAction *> m_accionesDeDestino;
    static constexpr qsizetype DestinosPorGrupo = 40;
    QList<QMenu *> m_gruposDeDestinos; // empty while the signs fit one menu
};
