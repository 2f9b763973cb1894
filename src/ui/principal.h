#pragma once

#include "descripciondemenus.h"
#include "config/registrodecarteles.h"
#include "platform/errordearchivo.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QPointer>

#include <optional>

class ConfigRed;
class EjecutorDeProgramacion;
class QMdiSubWindow;
class ConfigSerie;
struct LineaElegida;
class DialogoDeEnvio;
class EditorDeTexto;
class LineaDeCarteles;
class PuertoSerie;
class QTimer;
struct PlanDeEnvio;
class QAction;
class QDockWidget;
class VistaPrevia;
class QMdiArea;
class QLabel;
class QMenu;
class ServicioDeEnvios;
class VigilanteDeArchivo;
struct Configuracion;

// The frame of the application: holds the editor windows, owns the line to
// the signs and the send dialog, and keeps the sign registry, which the
// connected-signs dialog shows.
class Principal : public QMainWindow
{
    Q_OBJECT

public:
    // Without a port of its own it uses the computer's serial ports; tests
    // hand it one.
    explicit Principal(PuertoSerie *puerto = nullptr, QWidget *parent = nullptr);
    ~Principal() override;

    ServicioDeEnvios &Servicio() const { return *m_servicio; }
    LineaDeCarteles &Linea() const;
    PuertoSerie &Puerto() const;
    // Both made the first time they are needed: nothing of them is on the
    // screen at start-up, and the first paint need not wait for them.
    DialogoDeEnvio &dialogEnvio();
    ConfigRed &configRed();
    ConfigSerie *configSerie() const;
    // "Vista Previa": the dock at the bottom that plays the active text.
    // Both made the first time they are asked for or shown.
    QDockWidget &muelleVistaPrevia();
    VistaPrevia &vistaPrevia();

    // The open texts' windows, by the number each took when it was made.
    QList<EditorDeTexto *> Editores() const;
    // The text window the menus act on; none while another window (the
    // timetable's) is active or no text is open.
    EditorDeTexto *EditorActivo() const;

    // The open window, other than `excepto`, whose document is the file at
    // `ruta` however the path spells it; the highest number when several.
    EditorDeTexto *VentanaDelArchivo(const QString &ruta, const EditorDeTexto *excepto = nullptr) const;
    void AbrirTexto(const QString &ruta);
    void ActualizarDestinos();
    // The sign registry from now on, as "Carteles Conectados" confirmed it:
    // the destination menu follows it.
    void AplicarRegistro(const RegistroDeCarteles &registro);
    // Rewrites ./carteles.ini from the serial settings and the registry; a
    // failure is shown here and reported as false. A file that was there but
    // could not be read at start-up is replaced only when the operator says
    // so (the question's default keeps it); once replaced, saves go ahead.
    bool GuardarConfiguracion();
    // ./carteles.ini changed since the program read or wrote it (edited by
    // hand while it runs): the port and the registry take the file, so the
    // window sends as cartel-enviar reads it. The dialogs show it too unless
    // they hold edits of the operator's; then their next write asks first.
    void RevisarConfiguracion();

    void ActivarEditor(EditorDeTexto *editor);
    // The menus' states, captions and marks follow the active window.
    void ActualizarMenus();
    // An item of the menu bar by its name ("mnuGuardar").
    QAction *Accion(const QString &nombre) const;
    // The destination menu as it stands for the active text.
    bool DestinosVisibles() const;
    bool GlobalMarcado() const;
    QList<bool> MarcasDeDestino() const;
    QStringList TitulosDeDestino();
    // The open windows, listed below `propios` in a "Ventana" menu.
    void LlenarMenuVentana(QMenu *menu, const QList<QAction *> &propios);
    // Qt::Horizontal side by side ("Arreglar Verticalmente"), Qt::Vertical
    // one above the other.
    void Arreglar(Qt::Orientation orientacion);
    // The status line: the active text's encoded length and destinations,
    // the port and speed, and the frame being sent.
    void ActualizarEstado();
    QString TextoDeEstado() const;

    // Shows the send dialog and hands the plan to the send service: this
    // window's line, or the process that holds the folder's port. The send
    // log gets its line, with `carteles` and `archivo` as given.
    void Enviar(const PlanDeEnvio &plan, const QStringList &carteles = {}, const QString &archivo = {});

    // The timetable that runs while the program is open.
    EjecutorDeProgramacion &Ejecutor();
    // "Programación de Envíos": opens its one window, or brings it forward.
    void AbrirProgramacion();
    // Its window, while open.
    QMdiSubWindow *SubventanaDeProgramacion() const;

    // What the first paint does not need: the destination menu, the
    // timetable and its start (its sends), serving cartel-enviar. Comes by
    // itself right after the first paint, or with the first use of the
    // timetable; once only.
    void CompletarArranque();

Q_SIGNALS:
    // CompletarArranque() is done.
    void Arrancado();

public Q_SLOTS:
    void NuevoTexto();
    void CargarTexto();
    void Salir();
    // The end asked from outside (a logout, `systemctl stop`): the
    // timetable's lock is given back before any question about unsaved
    // texts, which nobody may be there to answer.
    void Terminar();
    void ConfigurarInterfase();
    void ConfigurarCarteles();
    void VerDirecciones();

protected:
    void closeEvent(QCloseEvent *evento) override;
    void paintEvent(QPaintEvent *evento) override;

private:
    void PrepararVentana();
    void CrearMenus();
    void CrearLineaDeEstado();
    void CrearVistaPrevia();
    // The preview follows the active text, or shows nothing without one.
    void MostrarEnVistaPrevia();
    // A window for a new or opened text, numbered with the lowest number
    // no open text holds; shown (ActivarEditor) once it holds its document.
    EditorDeTexto *CrearEditor();
    int NumeroLibre() const;
    void QuitarEditor(EditorDeTexto *editor);
    // The command on the active text, when there is one.
    template <typename Comando>
    void EnActivo(Comando comando);
    // The destination menu: one item per registered sign, rebuilt when the
    // registry changes, marked from the active text.
    void CargarDestinos();
    QAction *AgregarDestino(int indice);
    void AgruparDestinos(qsizetype cantidad);
    void MostrarDestinos();
    // The notice of the configuration dialogs while ./carteles.ini is one
    // that could not be read; none once it is replaced.
    void MostrarAvisosDeConfiguracion();
    // "Carteles Conectados" holds a list the operator has not confirmed, or
    // a new sign is being typed.
    bool ListaPendiente() const;
    // Puts `leida` in force; "Carteles Conectados" shows it too unless it
    // holds the operator's edits, or always when `tambienDialogos`.
    void AplicarConfiguracion(const Configuracion &leida, bool tambienDialogos);
    // Reads ./carteles.ini and puts it in force (AplicarConfiguracion); false
    // when it could not be read.
    bool TomarConfiguracion(bool tambienDialogos);
    // The line is the server at `red` from now on; empty: the Com port.
    void PonerLineaDeRed(const QString &red);
    // Puts the line "Interfase Serie" chose in force; the description of
    // each refusal, none when all was taken.
    QStringList AplicarLinea(const LineaElegida &eleccion);

    ServicioDeEnvios *m_servicio;
    QMdiArea *m_area;
    // The sign registry, one record per row; "Carteles Conectados" shows it.
    RegistroDeCarteles m_carteles;
    MenusConstruidos m_barra;
    ConfigRed *m_configRed = nullptr;
    DialogoDeEnvio *m_dialogEnvio = nullptr;
    QPointer<ConfigSerie> m_configSerie;
    QMap<int, EditorDeTexto *> m_editores;
    QMenu *m_menuDeDestinos = nullptr;
    QAction *m_accionGlobal = nullptr;
    QList<QAction *> m_accionesDeDestino;
    static constexpr qsizetype DestinosPorGrupo = 40;
    QList<QMenu *> m_gruposDeDestinos; // empty while the signs fit one menu
    // The items follow the registry; built after the first paint, or when
    // first needed.
    bool m_destinosAlDia = false;
    QLabel *m_estadoTexto = nullptr;
    QLabel *m_estadoPuerto = nullptr;
    QLabel *m_estadoEnvio = nullptr;
    QLabel *m_estadoProgramacion = nullptr;
    EjecutorDeProgramacion *m_programacion = nullptr;
    QPointer<QMdiSubWindow> m_subventanaProgramacion;
    // Changes of the active text come one per key: the status line follows
    // them once the keys stop coming in the same turn of the event loop.
    QTimer *m_estadoPendiente = nullptr;
    QDockWidget *m_muelleVistaPrevia = nullptr;
    VistaPrevia *m_vistaPrevia = nullptr;
    // Why ./carteles.ini could not be read at start-up, until it is
    // replaced; a missing file is no failure.
    std::optional<ErrorDeArchivo> m_configuracionSinLeer;
    // ./carteles.ini as the program last read or wrote it.
    VigilanteDeArchivo *m_vigilanteDeConfiguracion = nullptr;
    // The dialogs hold the operator's edits made before a hand edit of the
    // file that is now in force: their next write asks before replacing it.
    bool m_configuracionCambiadaBajoLosDialogos = false;
    bool m_escribiendoConfiguracion = false;
    // The serial device server the line goes to ("192.168.1.50:4001", as
    // carteles.ini has it); empty for a Com line.
    QString m_red;
    bool m_terminando = false;
    bool m_arranquePedido = false;
    bool m_arrancado = false;
};
