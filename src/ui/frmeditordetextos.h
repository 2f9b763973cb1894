#pragma once

#include "descripciondemenus.h"

#include <QHash>
#include <QList>
#include <QWidget>

class frmDialogEnvio;
class QAction;
class QMenu;
class QMdiSubWindow;
class QPlainTextEdit;
class QPushButton;
class QStringListModel;

// One message document: its text box, effect buttons, flags and the
// destination menu. Windows are never destroyed while the program runs: a
// closed document's window is hidden and emptied and its slot reused.
class frmEditorDeTextos : public QWidget
{
    Q_OBJECT

public:
    // `registro` is the sign registry, `dialogoEnvio` the one send dialog;
    // the commands in `compartidas` are the main window's own items, shown
    // as they are in this window's menus.
    frmEditorDeTextos(QStringListModel &registro, frmDialogEnvio &dialogoEnvio,
                      const QHash<Orden, QAction *> &compartidas, QWidget *parent = nullptr);

    // Whether the text has a file of its own, and whether it changed since
    // it was last loaded or saved.
    bool Nombrado() const { return m_nombrado; }
    void PonerNombrado(bool nombrado) { m_nombrado = nombrado; }
    bool Modificado() const { return m_modificado; }
    void PonerModificado(bool modificado) { m_modificado = modificado; }

    QPlainTextEdit &Texto() const;
    // The text as the system counts it, with CR LF line breaks.
    QString TextoCrLf() const;
    void PonerTexto(const QString &textoCrLf);

    QString Caption() const { return windowTitle(); }
    void PonerCaption(const QString &caption) { setWindowTitle(caption); }

    // The menus this window puts in the main window's menu bar while active.
    const QList<QMenu *> &Menus() const { return m_menus; }
    QAction *Accion(const QString &nombre) const;

    // Placed in the main window by it; visibility is the subwindow's.
    void PonerSubventana(QMdiSubWindow *subventana) { m_subventana = subventana; }
    QMdiSubWindow *Subventana() const;
    bool EstaVisible() const;
    void Mostrar();
    void Ocultar();

    // Destinations.
    void CargarDestinos();
    QString PropiedadesDesdeMenu() const;
    void PonerMarcasDesdePropiedades(const QString &propiedades);
    bool DestinosVisibles() const;
    bool GlobalMarcado() const;
    QList<bool> MarcasDeDestino() const;
    QStringList TitulosDeDestino() const;
    // Where a send-now would go, in words: "Global", the names of the marked
    // signs, or "sin destino".
    QString DescribirDestinos() const;

Q_SIGNALS:
    // To be brought to the front and made the active window.
    void PedidoActivar(frmEditorDeTextos *editor);
    // Hidden: another window's menus take over.
    void Oculto();
    // The text or the destination marks changed.
    void EstadoCambiado();
    // "Arreglar": Qt::Horizontal side by side, Qt::Vertical one above the other.
    void PedidoArreglar(Qt::Orientation orientacion);
    // The "Ventana" menu is about to show: the open windows go below `propios`.
    void PedidoMenuVentana(QMenu *menu, const QList<QAction *> &propios);

public Q_SLOTS:
    void Texto_Change();
    void mnuCortar_Click();
    void mnuCopiar_Click();
    void mnuPegar_Click();
    // False when the document was not saved (dialog cancelled, write failed).
    bool mnuGuardar_Click();
    bool mnuGuardarComo_Click();
    // False when the window stays open: the user wanted the changes saved
    // and they were not.
    bool mnuCerrar_Click();
    void mnuEnviarAhora_Click();
    void mnuConsultarLongi_Click();
    void mnuPropDestino_Click(int Index);
    void mnuPropGlobal_Click();

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

    QStringListModel &m_registro;
    frmDialogEnvio &m_dialogoEnvio;
    QPlainTextEdit *m_Texto;
    QMdiSubWindow *m_subventana = nullptr;
    bool m_visible = false;
    bool m_nombrado = false;
    bool m_modificado = false;

    QList<QMenu *> m_menus;
    QMenu *m_mnuPropDestinos = nullptr;
    QAction *m_mnuPropGlobal = nullptr;
    QList<QAction *> m_mnuPropDestino;
    static constexpr qsizetype DestinosPorGrupo = 40;
    QList<QMenu *> m_gruposDeDestinos; // empty while the signs fit one menu
};
