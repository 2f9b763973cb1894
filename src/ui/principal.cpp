#include "principal.h"

#include "avisoalpie.h"
#include "descripciondemenus.h"
#include "filtrosdearchivo.h"
#include "config/configuracion.h"
#include "config/direcciondered.h"
#include "config/registrodecarteles.h"
#include "configred.h"
#include "configserie.h"
#include "dentrodelarea.h"
#include "documents/destinosdeenvio.h"
#include "documents/documento.h"
#include "encoding/codificador.h"
#include "encoding/saltosdelinea.h"
#include "dialogodeenvio.h"
#include "editordetexto.h"
#include "ventanadeprogramacion.h"
#include "link/lineadecarteles.h"
#include "link/plandeenvio.h"
#include "sending/planearenvio.h"
#include "link/transmisor.h"
#include "medidas.h"
#include "platform/cuadrodemensaje.h"
#include "platform/dialogodearchivo.h"
#include "platform/firmadearchivo.h"
#include "platform/vigilantedearchivo.h"
#include "platform/lectortexto.h"
#include "platform/puertodelinea.h"
#include "schedule/ejecutordeprogramacion.h"
#include "schedule/serviciodeenvios.h"

#include "vistaprevia.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDockWidget>
#include <QLabel>
#include <QStatusBar>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStringListModel>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <utility>

using namespace Qt::StringLiterals;

Principal::Principal(PuertoSerie *puerto, QWidget *parent)
    : QMainWindow(parent), m_servicio(new ServicioDeEnvios(puerto ? puerto : new PuertoDeLinea, this)),
      m_area(new QMdiArea(this))
{
    setObjectName(u"Principal"_s);
    setWindowTitle(u"BREVALUX - Edición y envío de mensajes"_s);
    setCentralWidget(m_area);
    resize(TamanoEnTwips(*this, 11520, 8640));

    connect(m_area, &QMdiArea::subWindowActivated, this, &Principal::ActualizarMenus);

    CrearMenus();
    PrepararVentana();
    CrearLineaDeEstado();
    CrearVistaPrevia();
    // cartel-enviar planned from the file as it is now: the window takes it
    // too before it sends or logs anything more of another process's.
    m_servicio->PonerAntesDeServir([this] { RevisarConfiguracion(); });
    // What the process that holds the port answered for a send of ours.
    connect(m_servicio, &ServicioDeEnvios::Entregado, this, [this](const ResultadoDeEnvio &resultado) {
        statusBar()->showMessage(TextoDeEntrega(resultado.tramasEntregadas, resultado.tramasTotales), 10000);
    });
    // Shown, the first paint brings the rest of the start-up (paintEvent);
    // never shown, the first turn of the event loop does; shown but never
    // painted (minimised at start), a second later.
    QTimer::singleShot(0, this, [this] {
        QTimer::singleShot(isVisible() ? std::chrono::seconds(1) : std::chrono::seconds(0), this,
                           &Principal::CompletarArranque);
    });
}

Principal::~Principal()
{
    // The open texts' windows go with the area, after this window's members:
    // their going is no change of the active text to follow.
    disconnect(m_area, nullptr, this, nullptr);
}

PuertoSerie &Principal::Puerto() const
{
    return m_servicio->Puerto();
}

LineaDeCarteles &Principal::Linea() const
{
    return m_servicio->Linea();
}

ConfigSerie *Principal::configSerie() const
{
    return m_configSerie;
}

ConfigRed &Principal::configRed()
{
    if (!m_configRed) {
        m_configRed = new ConfigRed(this);
        m_configRed->PonerRegistro(m_carteles);
        connect(m_configRed, &ConfigRed::Confirmado, this, [this] {
            AplicarRegistro(RegistroDeCarteles::DeRegistros(m_configRed->Registro()));
            GuardarConfiguracion();
        });
        MostrarAvisosDeConfiguracion();
    }
    return *m_configRed;
}

DialogoDeEnvio &Principal::dialogEnvio()
{
    if (!m_dialogEnvio)
        m_dialogEnvio = new DialogoDeEnvio(*m_servicio, this);
    return *m_dialogEnvio;
}

VistaPrevia &Principal::vistaPrevia()
{
    if (!m_vistaPrevia) {
        m_vistaPrevia = new VistaPrevia(&muelleVistaPrevia());
        m_muelleVistaPrevia->setWidget(m_vistaPrevia);
        // Read once the typing stops, from whichever text is active then: a
        // key only restarts the preview's wait.
        m_vistaPrevia->LeerTextoCon([this] {
            const EditorDeTexto *activo = EditorActivo();
            return activo ? activo->documento().Texto() : QString();
        });
        m_vistaPrevia->TextoCambiado();
    }
    return *m_vistaPrevia;
}

void Principal::CompletarArranque()
{
    if (m_arrancado)
        return;
    m_arrancado = true;
    if (!m_destinosAlDia)
        CargarDestinos();
    m_programacion = new EjecutorDeProgramacion(*m_servicio, RutaDeProgramacion,
                                                [this] { return RegistroLeido{m_carteles, {}}; }, {},
                                                QTimeZone::systemTimeZone(), this);
    const auto resumir = [this] { m_estadoProgramacion->setText(m_programacion->Resumen()); };
    connect(m_programacion, &EjecutorDeProgramacion::Cambiado, m_estadoProgramacion, resumir);
    // After the registry is in: the state goes out once, for the signs it
    // names. Nothing it finds wrong is a box: the status line and its
    // window say it.
    m_programacion->Cargar();
    resumir();
    ActualizarEstado();
    // Another process serving the folder is no fault; a folder nobody can
    // serve leaves cartel-enviar to find the port in use, so it is said.
    if (!m_servicio->Servir(QDir::currentPath()) && !m_servicio->ErrorAlServir().isEmpty())
        CuadroDeMensaje::Avisar(this, m_servicio->ErrorAlServir());
    Q_EMIT Arrancado();
}

void Principal::paintEvent(QPaintEvent *evento)
{
    QMainWindow::paintEvent(evento);
    // Queued: it runs once this paint is on the screen. A paint before the
    // window is exposed reaches no screen.
    const QWindow *ventana = windowHandle();
    if (!m_arranquePedido && ventana && ventana->isExposed()) {
        m_arranquePedido = true;
        QMetaObject::invokeMethod(this, &Principal::CompletarArranque, Qt::QueuedConnection);
    }
}

EjecutorDeProgramacion &Principal::Ejecutor()
{
    CompletarArranque();
    return *m_programacion;
}

void Principal::PrepararVentana()
{
    Configuracion configuracion;
    configuracion.puerto = Puerto().Numero();
    configuracion.ajustes = Puerto().Ajustes();
    m_vigilanteDeConfiguracion = new VigilanteDeArchivo(RutaDeConfiguracion, TamanoMaximoDeConfiguracion, this);
    std::optional<QByteArray> leidos;
    const auto error = CargarConfiguracion(configuracion, RutaDeConfiguracion, &leidos);
    // The bytes just read stand for the file: reading it again to know it
    // would only lengthen the start.
    m_vigilanteDeConfiguracion->Conocer(leidos ? FirmaDeArchivo::DeBytes(*leidos)
                                               : m_vigilanteDeConfiguracion->Actual());
    connect(m_vigilanteDeConfiguracion, &VigilanteDeArchivo::PosibleCambio, this, &Principal::RevisarConfiguracion);
    // The message promises the factory values: use them, not whatever the
    // serial control happened to hold.
    if (error)
        AplicarValoresDeFabrica(configuracion);
    Puerto().PonerNumero(configuracion.puerto);
    Puerto().PonerAjustes(configuracion.ajustes);
    PonerLineaDeRed(configuracion.red);
    m_carteles = configuracion.carteles;
    if (error) {
        CuadroDeMensaje::Avisar(this, u"No se pudo leer la configuración "_s + error->Texto() +
                                          u"\n\nSe usan los valores de fábrica."_s);
        m_configuracionSinLeer = error;
        MostrarAvisosDeConfiguracion();
    }
    // Said once, before any text is sent where the operator did not mean.
    QStringList problemas = configuracion.carteles.Problemas();
    if (const QString aviso = AvisoDePuertoNoEntendido(configuracion); !aviso.isEmpty())
        problemas.prepend(aviso);
    if (!problemas.isEmpty())
        CuadroDeMensaje::Advertir(this, problemas.join(u"\n\n"_s));

    ActualizarDestinos();
}

void Principal::CrearLineaDeEstado()
{
    m_estadoTexto = new QLabel(this);
    m_estadoTexto->setObjectName(u"EstadoTexto"_s);
    m_estadoEnvio = new QLabel(this);
    m_estadoEnvio->setObjectName(u"EstadoEnvio"_s);
    m_estadoPuerto = new QLabel(this);
    m_estadoPuerto->setObjectName(u"EstadoPuerto"_s);
    statusBar()->addWidget(m_estadoTexto, 1);
    m_estadoProgramacion = new QLabel(this);
    m_estadoProgramacion->setObjectName(u"EstadoProgramacion"_s);
    statusBar()->addPermanentWidget(m_estadoProgramacion);
    statusBar()->addPermanentWidget(m_estadoEnvio);
    statusBar()->addPermanentWidget(m_estadoPuerto);
    connect(&Linea().Emisor(), &Transmisor::TramaEnCurso, this, [this](int trama, int de) {
        m_estadoEnvio->setText(de > 0 ? u"Enviando trama %1 de %2"_s.arg(trama).arg(de) : QString());
    });
    m_estadoPendiente = new QTimer(this);
    m_estadoPendiente->setSingleShot(true);
    m_estadoPendiente->setInterval(0);
    connect(m_estadoPendiente, &QTimer::timeout, this, &Principal::ActualizarEstado);
    // Its words come with the rest of the start-up: the first paint shows
    // the line empty, and draws no glyphs it does not need yet.
    connect(m_area, &QMdiArea::subWindowActivated, this, &Principal::ActualizarEstado);
}

void Principal::CrearVistaPrevia()
{
    // The menu item and the dock's own close box show and hide the same
    // dock; the item's check mark follows whichever did it.
    QAction *accion = m_barra.acciones.value(Orden::VistaPrevia);
    accion->setCheckable(true);
    connect(accion, &QAction::toggled, this, [this](bool visible) {
        if (visible || m_muelleVistaPrevia)
            muelleVistaPrevia().setVisible(visible);
    });
    connect(m_area, &QMdiArea::subWindowActivated, this, &Principal::MostrarEnVistaPrevia);
}

QDockWidget &Principal::muelleVistaPrevia()
{
    if (m_muelleVistaPrevia)
        return *m_muelleVistaPrevia;
    m_muelleVistaPrevia = new QDockWidget(u"Vista Previa"_s, this);
    m_muelleVistaPrevia->setObjectName(u"muelleVistaPrevia"_s);
    m_muelleVistaPrevia->hide();
    addDockWidget(Qt::BottomDockWidgetArea, m_muelleVistaPrevia);
    QAction *accion = m_barra.acciones.value(Orden::VistaPrevia);
    connect(m_muelleVistaPrevia, &QDockWidget::visibilityChanged, accion, [this, accion](bool visible) {
        if (visible)
            vistaPrevia();
        accion->setChecked(!m_muelleVistaPrevia->isHidden());
    });
    return *m_muelleVistaPrevia;
}

void Principal::MostrarEnVistaPrevia()
{
    if (m_vistaPrevia)
        m_vistaPrevia->TextoCambiado();
}

void Principal::ActualizarEstado()
{
    const EditorDeTexto *activo = EditorActivo();
    if (!activo) {
        m_estadoTexto->clear();
    } else {
        const Documento &documento = activo->documento();
        const QString &texto = documento.Texto();
        // What "Consultar Longitud" would say, and what send-now refuses.
        const QString longitud =
            TextoDemasiadoLargo(texto)
                ? u"Demasiado largo: %1 caracteres, el máximo es %2"_s.arg(texto.size()).arg(LongitudMaximaDeTexto)
                : TextoDeLongitud(CodificarTexto(texto).size());
        m_estadoTexto->setText(longitud + u"   Destinos: "_s +
                               DescribirDestinos(documento.Destinos(), m_carteles));
    }
    const QString velocidad = Puerto().Ajustes().section(QLatin1Char(','), 0, 0);
    const QString linea = m_red.isEmpty() ? u"Com%1"_s.arg(Puerto().Numero()) : m_red;
    m_estadoPuerto->setText(u"%1, %2 b.p.s."_s.arg(linea, velocidad));
}

QString Principal::TextoDeEstado() const
{
    QStringList partes;
    for (const QLabel *parte : {m_estadoTexto, m_estadoProgramacion, m_estadoEnvio, m_estadoPuerto}) {
        if (!parte->text().isEmpty())
            partes.append(parte->text());
    }
    return partes.join(u" | "_s);
}

void Principal::CrearMenus()
{
    m_barra = ConstruirMenus(*this);
    for (QMenu *menu : std::as_const(m_barra.barra))
        menuBar()->addMenu(menu);
    const auto al = [this](Orden orden, auto manejador) {
        connect(m_barra.acciones.value(orden), &QAction::triggered, this, manejador);
    };
    al(Orden::NuevoTexto, &Principal::NuevoTexto);
    al(Orden::AbrirTexto, &Principal::CargarTexto);
    al(Orden::Salir, &Principal::Salir);
    al(Orden::VerDirecciones, &Principal::VerDirecciones);
    al(Orden::InterfaseSerie, &Principal::ConfigurarInterfase);
    al(Orden::CartelesConectados, &Principal::ConfigurarCarteles);
    al(Orden::ProgramacionDeEnvios, &Principal::AbrirProgramacion);
    // The text's own commands act on the active text; without one they are
    // disabled, and arranging is shown but does nothing.
    al(Orden::Cerrar, [this] { EnActivo(&EditorDeTexto::Cerrar); });
    al(Orden::Guardar, [this] { EnActivo(&EditorDeTexto::Guardar); });
    al(Orden::GuardarComo, [this] { EnActivo(&EditorDeTexto::GuardarComo); });
    al(Orden::EnviarAhora, [this] { EnActivo(&EditorDeTexto::EnviarAhora); });
    al(Orden::Cortar, [this] { EnActivo(&EditorDeTexto::Cortar); });
    al(Orden::Copiar, [this] { EnActivo(&EditorDeTexto::Copiar); });
    al(Orden::Pegar, [this] { EnActivo(&EditorDeTexto::Pegar); });
    al(Orden::ConsultarLongitud, [this] { EnActivo(&EditorDeTexto::ConsultarLongitud); });
    // With no text open, the main window's own bar arranges nothing; with
    // texts open it arranges them and the timetable's window, whichever of
    // them is active.
    al(Orden::ArreglarVerticalmente, [this] {
        if (!m_editores.isEmpty())
            Arreglar(Qt::Horizontal);
    });
    al(Orden::ArreglarHorizontalmente, [this] {
        if (!m_editores.isEmpty())
            Arreglar(Qt::Vertical);
    });

    QMenu *ventana = m_barra.submenus.value(u"mnuVentana"_s);
    const QList<QAction *> propios = ventana->actions();
    connect(ventana, &QMenu::aboutToShow, this, [this, ventana, propios] { LlenarMenuVentana(ventana, propios); });

    m_menuDeDestinos = m_barra.submenus.value(u"mnuPropDestinos"_s);
    m_accionGlobal = m_barra.acciones.value(Orden::Global);
    m_accionGlobal->setCheckable(true);
    m_accionGlobal->setChecked(true);
    // Qt toggles a checkable item before reporting the click; the handlers
    // decide the marks themselves, from the state the user saw.
    connect(m_accionGlobal, &QAction::triggered, this, [this](bool marcado) {
        m_accionGlobal->setChecked(!marcado);
        EnActivo(&EditorDeTexto::ElegirGlobal);
    });
    AplicarEstados(m_barra, false);
}

template <typename Comando>
void Principal::EnActivo(Comando comando)
{
    if (EditorDeTexto *activo = EditorActivo())
        (activo->*comando)();
}

QAction *Principal::Accion(const QString &nombre) const
{
    if (QAction *item = m_barra.items.value(nombre))
        return item;
    // The signs' items of the destination menu.
    for (QAction *item : m_accionesDeDestino) {
        if (item->objectName() == nombre)
            return item;
    }
    return nullptr;
}

void Principal::CargarDestinos()
{
    m_destinosAlDia = true;
    const auto n = m_carteles.Cantidad();
    AgruparDestinos(n);
    while (m_accionesDeDestino.size() < n)
        AgregarDestino(static_cast<int>(m_accionesDeDestino.size()));
    while (m_accionesDeDestino.size() > n)
        delete m_accionesDeDestino.takeLast();
    for (qsizetype i = 0; i < n; ++i)
        m_accionesDeDestino.at(i)->setText(m_carteles.En(i).Nombre());
    // The marks follow the signs by name, wherever the registry put them.
    MostrarDestinos();
}

QAction *Principal::AgregarDestino(int indice)
{
    QMenu *menu = m_menuDeDestinos;
    if (!m_gruposDeDestinos.isEmpty())
        menu = m_gruposDeDestinos.at(indice / DestinosPorGrupo);
    QAction *accion = menu->addAction(QString());
    accion->setObjectName(u"mnuPropDestino%1"_s.arg(indice));
    accion->setCheckable(true);
    connect(accion, &QAction::triggered, this, [this, accion, indice](bool marcado) {
        accion->setChecked(!marcado);
        if (EditorDeTexto *activo = EditorActivo())
            activo->CambiarDestino(indice);
    });
    m_accionesDeDestino.append(accion);
    return accion;
}

void Principal::AgruparDestinos(qsizetype cantidad)
{
    // A menu taller than the screen cannot be used, and a menu checks every
    // item it holds each time one is added: past one screenful the signs go
    // in submenus of their own, so building them costs what the list is long.
    const qsizetype grupos = cantidad > DestinosPorGrupo ? (cantidad + DestinosPorGrupo - 1) / DestinosPorGrupo : 0;
    if (grupos == m_gruposDeDestinos.size() && (grupos == 0 || m_accionesDeDestino.size() == cantidad))
        return;
    qDeleteAll(m_accionesDeDestino);
    m_accionesDeDestino.clear();
    qDeleteAll(m_gruposDeDestinos);
    m_gruposDeDestinos.clear();
    for (qsizetype g = 0; g < grupos; ++g) {
        const qsizetype desde = g * DestinosPorGrupo + 1;
        const qsizetype hasta = std::min(cantidad, desde + DestinosPorGrupo - 1);
        m_gruposDeDestinos.append(m_menuDeDestinos->addMenu(u"Carteles %1 a %2"_s.arg(desde).arg(hasta)));
    }
}

void Principal::MostrarDestinos()
{
    const EditorDeTexto *activo = EditorActivo();
    if (!activo)
        return;
    if (!m_destinosAlDia)
        CargarDestinos();
    const DestinosDeTexto &destinos = activo->documento().Destinos();
    // With one sign or none there is nothing to choose, unless the text
    // names signs that are not there or has a destination line that was not
    // understood: it is sent nowhere, and the operator must be able to
    // choose again.
    const bool porElegir = !destinos.global || !destinos.sinLeer.isEmpty();
    m_barra.items.value(u"mnuPropDestinos"_s)->setVisible(m_carteles.Cantidad() > 1 || porElegir);
    m_accionGlobal->setChecked(destinos.global);
    for (QAction *item : std::as_const(m_accionesDeDestino))
        item->setChecked(CartelElegido(destinos, item->text()));
}

bool Principal::DestinosVisibles() const
{
    return m_barra.items.value(u"mnuPropDestinos"_s)->isVisible();
}

bool Principal::GlobalMarcado() const
{
    return m_accionGlobal->isChecked();
}

QList<bool> Principal::MarcasDeDestino() const
{
    QList<bool> marcas;
    marcas.reserve(m_accionesDeDestino.size());
    for (const QAction *item : m_accionesDeDestino)
        marcas.append(item->isChecked());
    return marcas;
}

QStringList Principal::TitulosDeDestino()
{
    if (!m_destinosAlDia)
        CargarDestinos();
    QStringList titulos;
    titulos.reserve(m_accionesDeDestino.size());
    for (const QAction *item : std::as_const(m_accionesDeDestino))
        titulos.append(item->text());
    return titulos;
}

int Principal::NumeroLibre() const
{
    // A closed text's number is the next new one's: the lowest free.
    int numero = 1;
    while (m_editores.contains(numero))
        ++numero;
    return numero;
}

EditorDeTexto *Principal::CrearEditor()
{
    if (!m_destinosAlDia)
        CargarDestinos();
    auto *editor = new EditorDeTexto(m_carteles);
    auto *subventana = m_area->addSubWindow(editor);
    subventana->setAttribute(Qt::WA_DeleteOnClose);
    m_editores.insert(NumeroLibre(), editor);
    connect(editor, &QWidget::windowTitleChanged, subventana, &QWidget::setWindowTitle);
    connect(editor, &EditorDeTexto::PedidoActivar, this, &Principal::ActivarEditor);
    connect(editor, &EditorDeTexto::Cerrado, this, &Principal::QuitarEditor);
    connect(editor, &EditorDeTexto::EstadoCambiado, this, [this, editor] {
        if (editor == EditorActivo())
            m_estadoPendiente->start();
    });
    connect(&editor->documento(), &Documento::DestinosCambiados, this, [this, editor] {
        if (editor == EditorActivo())
            MostrarDestinos();
    });
    connect(editor, &EditorDeTexto::AntesDeEnviar, this, &Principal::RevisarConfiguracion);
    connect(editor, &EditorDeTexto::PedidoEnvio, this, [this, editor](const PlanDeEnvio &plan) {
        const Documento &documento = editor->documento();
        Enviar(plan, PartesDeDestinos(documento.Destinos(), m_carteles), documento.Ruta());
    });
    connect(&editor->documento(), &Documento::TextoCambiado, this, [this, editor] {
        if (m_vistaPrevia && editor == EditorActivo())
            m_vistaPrevia->TextoCambiado();
    });
    editor->PonerAbiertoEnOtra(
        [this, editor](const QString &ruta) { return VentanaDelArchivo(ruta, editor) != nullptr; });
    return editor;
}

void Principal::QuitarEditor(EditorDeTexto *editor)
{
    const int numero = m_editores.key(editor, 0);
    if (numero == 0)
        return;
    m_editores.remove(numero);
    // Another text, or none, is what the menus and the status line show now.
    ActualizarMenus();
    ActualizarEstado();
    MostrarEnVistaPrevia();
}

void Principal::NuevoTexto()
{
    EditorDeTexto *editor = CrearEditor();
    editor->PonerTituloSinNombre(u"Texto sin título: %1"_s.arg(m_editores.key(editor)));
    ActivarEditor(editor);
}

void Principal::CargarTexto()
{
    DialogoDeArchivo::Pedido pedido = PedidoDeTexto(u"Abrir Un Texto"_s);
    const QString ruta = DialogoDeArchivo::Abrir(this, pedido);
    if (!ruta.isEmpty())
        AbrirTexto(ruta);
}

EditorDeTexto *Principal::VentanaDelArchivo(const QString &ruta, const EditorDeTexto *excepto) const
{
    // A file is one document: "//carpeta/texto.txt", a link to it and its
    // own path all name the same one, and two windows on it would each
    // save over the other. All are looked at: when several match, the last
    // one counts.
    EditorDeTexto *encontrado = nullptr;
    for (EditorDeTexto *editor : Editores()) {
        if (editor != excepto && editor->documento().Nombrado() && MismoArchivo(editor->documento().Ruta(), ruta))
            encontrado = editor;
    }
    return encontrado;
}

void Principal::AbrirTexto(const QString &ruta)
{
    if (EditorDeTexto *yaAbierto = VentanaDelArchivo(ruta)) {
        ActivarEditor(yaAbierto);
        return;
    }

    // Read before taking a window: a file that cannot be read must not
    // become an empty document under its name, which a save would then
    // overwrite.
    const RegistroDeCarteles &registro = m_carteles;
    Documento leido;
    qsizetype lineasFueraDelTexto = 0;
    if (const auto error = leido.Abrir(ruta, registro, &lineasFueraDelTexto)) {
        CuadroDeMensaje::Advertir(this, u"No se pudo abrir "_s + error->Texto());
        return;
    }

    EditorDeTexto *editor = CrearEditor();
    editor->documento().Reemplazar(leido);
    ActivarEditor(editor);

    // Kept with the text and written back, but never sent to: the operator
    // must know before counting on them.
    // However few signs are registered: with one, such a text is not sent
    // either.
    const QStringList desconocidos = NombresDesconocidos(leido.Destinos(), registro);
    if (!desconocidos.isEmpty()) {
        QStringList nombres;
        for (const QString &nombre : desconocidos)
            nombres.append(nombre.trimmed());
        CuadroDeMensaje::Avisar(this, u"Los carteles %1 de este texto no están en Carteles Conectados."_s.arg(
                                          Citados(nombres)));
    }

    // Read as every sign but not sent as such: nobody chose it.
    if (!leido.Destinos().sinLeer.isEmpty())
        CuadroDeMensaje::Avisar(this, u"La línea de destinos «%1» de este texto no se entiende: se espera \"Global\" o "
                                      "\"Dirs: \" y los nombres de los carteles. Se muestra como Global, pero no se "
                                      "envía hasta que elija sus destinos en Editar → Destinos; si lo guarda sin "
                                      "elegirlos, esa línea se conserva."_s
                                          .arg(leido.Destinos().sinLeer));

    if (editor->Texto().isReadOnly())
        CuadroDeMensaje::Avisar(this, u"El archivo %1 tiene una línea de %2 caracteres, más de los %3 que el programa "
                                    "envía: se abre solo para leer. Para enviarlo, acórtelo con otro editor."_s
                                          .arg(QDir::toNativeSeparators(ruta))
                                          .arg(LargoDeLineaMasLarga(leido.Texto()))
                                          .arg(LongitudMaximaDeTexto));

    // The file is opened as it reads; the operator must know, before a
    // save rewrites it, that those lines are not in the text box.
    if (lineasFueraDelTexto > 0)
        CuadroDeMensaje::Advertir(this, TextoDeLineasFueraDelTexto(QDir::toNativeSeparators(ruta), lineasFueraDelTexto) +
                                            u" Si lo guarda, esas líneas no se escriben y se pierden."_s);
}

void Principal::ActualizarDestinos()
{
    // Before the items are first built there is nothing to follow.
    if (m_destinosAlDia)
        CargarDestinos();
    // The status line names the destinations as the registry now has them.
    if (m_estadoPendiente && EditorActivo())
        m_estadoPendiente->start();
    if (m_programacion)
        m_programacion->RegistroCambiado();
}

void Principal::AplicarRegistro(const RegistroDeCarteles &registro)
{
    m_carteles = registro;
    if (m_configRed && m_configRed->Registro() != registro.Registros())
        m_configRed->PonerRegistro(registro);
    ActualizarDestinos();
}

bool Principal::GuardarConfiguracion()
{
    m_escribiendoConfiguracion = true;
    const auto fin = qScopeGuard([this] { m_escribiendoConfiguracion = false; });
    // Edited by hand since the program read it: writing now would lose those
    // edits, so the operator chooses, and the default keeps the file.
    const bool cambiado = m_vigilanteDeConfiguracion->Cambiado();
    // Only a file has edits to lose; anything else there fails the write
    // with its own message.
    const bool presente = QFileInfo(RutaDeConfiguracion).isFile();
    if (presente && (cambiado || m_configuracionCambiadaBajoLosDialogos)) {
        const auto respuesta = CuadroDeMensaje::Preguntar(
            this,
            u"./carteles.ini cambió fuera del programa desde que se leyó (se editó a mano o lo cambió otro "
            u"programa). Si lo reemplaza, esos cambios se pierden.\n\n"
            u"¿Reemplazarlo con esta configuración? Si elige No, el programa toma el archivo como está."_s,
            u"Configuración"_s, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (respuesta != QMessageBox::Yes) {
            if (TomarConfiguracion(true)) {
                m_configuracionCambiadaBajoLosDialogos = false;
                MostrarAvisosDeConfiguracion();
            }
            return false;
        }
    } else if (m_configuracionSinLeer && presente) {
        // The values in memory are the factory ones, not what that file
        // holds: writing them would lose it, and the operator may yet mend
        // it. A file removed since then has nothing to lose.
        const auto respuesta = CuadroDeMensaje::Preguntar(
            this,
            u"No se pudo leer ./carteles.ini al arrancar (%1) y el programa usa los valores de fábrica. "
            u"Si lo reemplaza, lo que ese archivo tenía se pierde.\n\n"
            u"¿Reemplazarlo con esta configuración?"_s.arg(m_configuracionSinLeer->motivo),
            u"Configuración"_s, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (respuesta != QMessageBox::Yes)
            return false;
    }
    // The list as "Carteles Conectados" holds it is the registry: what the
    // file gets, and what the window sends from, as cartel-enviar will.
    if (m_configRed && m_configRed->Registro() != m_carteles.Registros()) {
        m_carteles = RegistroDeCarteles::DeRegistros(m_configRed->Registro());
        ActualizarDestinos();
    }
    Configuracion configuracion;
    configuracion.puerto = Puerto().Numero();
    configuracion.ajustes = Puerto().Ajustes();
    configuracion.red = m_red;
    configuracion.carteles = m_carteles;
    if (const auto error = ::GuardarConfiguracion(configuracion)) {
        CuadroDeMensaje::Advertir(this, u"No se pudo guardar la configuración en "_s + error->Texto());
        return false;
    }
    m_vigilanteDeConfiguracion->Conocer(m_vigilanteDeConfiguracion->Actual());
    const bool avisado = m_configuracionSinLeer || m_configuracionCambiadaBajoLosDialogos;
    m_configuracionCambiadaBajoLosDialogos = false;
    m_configuracionSinLeer.reset();
    if (avisado)
        MostrarAvisosDeConfiguracion();
    return true;
}

bool Principal::ListaPendiente() const
{
    return m_configRed && (m_configRed->AgregandoCartel() ||
                           m_configRed->Registro() != m_carteles.Registros());
}

void Principal::RevisarConfiguracion()
{
    // A question of the write is open: its answer decides.
    if (m_escribiendoConfiguracion || !m_vigilanteDeConfiguracion->Cambiado())
        return;
    // Removed: nothing to take; the registry stays and the next write makes
    // the file again.
    if (!m_vigilanteDeConfiguracion->Actual().Existe()) {
        m_vigilanteDeConfiguracion->Conocer(FirmaDeArchivo());
        return;
    }
    // "Interfase Serie" open writes what it shows when it closes.
    const bool pendientes = m_configSerie || ListaPendiente();
    if (TomarConfiguracion(false) && pendientes) {
        m_configuracionCambiadaBajoLosDialogos = true;
        MostrarAvisosDeConfiguracion();
    }
}

bool Principal::TomarConfiguracion(bool tambienDialogos)
{
    // Unreadable now (half written, say): what is in force stays, and a
    // write asks first, as the file still differs from what was read.
    QByteArray bytes;
    if (LectorTexto::LeerArchivo(RutaDeConfiguracion, TamanoMaximoDeConfiguracion, bytes))
        return false;
    Configuracion leida;
    leida.puerto = Puerto().Numero();
    leida.ajustes = Puerto().Ajustes();
    const QString nombre = QDir::toNativeSeparators(QFileInfo(RutaDeConfiguracion).absoluteFilePath());
    if (CargarConfiguracionDeBytes(leida, bytes, nombre))
        return false;
    m_vigilanteDeConfiguracion->Conocer(FirmaDeArchivo::DeBytes(bytes));
    if (m_configuracionSinLeer) {
        m_configuracionSinLeer.reset();
        MostrarAvisosDeConfiguracion();
    }
    AplicarConfiguracion(leida, tambienDialogos);
    return true;
}

void Principal::AplicarConfiguracion(const Configuracion &leida, bool tambienDialogos)
{
    // A line to a serial device server follows the file like a Com port.
    if (leida.red != m_red)
        PonerLineaDeRed(leida.red);
    // An open port is not touched when the file names what it already uses.
    if (leida.puerto != Puerto().Numero() || leida.ajustes != Puerto().Ajustes()) {
        const QStringList rechazos = AplicarAjustesDeLinea(Puerto(), leida.puerto, leida.ajustes);
        if (!rechazos.isEmpty())
            CuadroDeMensaje::Avisar(this, rechazos.join(u'\n'));
    }
    // Asked before the registry changes: the list is the operator's while it
    // differs from the registry.
    const bool listaPropia = !tambienDialogos && ListaPendiente();
    m_carteles = leida.carteles;
    if (m_configRed && !listaPropia)
        m_configRed->PonerRegistro(leida.carteles);
    ActualizarDestinos();
    ActualizarEstado();
    const QStringList problemas = leida.carteles.Problemas();
    if (!problemas.isEmpty())
        CuadroDeMensaje::Avisar(this, problemas.join(u"\n\n"_s));
}

void Principal::PonerLineaDeRed(const QString &red)
{
    m_red = red;
    // A port made elsewhere (a test's) knows no network; the line is still
    // kept, and written back, as the file has it.
    if (auto *linea = qobject_cast<PuertoDeLinea *>(&Puerto())) {
        const auto direccion = InterpretarDireccionDeRed(QString(PrefijoDeRed + red));
        linea->PonerRed(direccion ? direccion->anfitrion : QString(), direccion ? direccion->puerto : 0);
    }
}

void Principal::MostrarAvisosDeConfiguracion()
{
    QString aviso;
    if (m_configuracionSinLeer)
        aviso = u"No se pudo leer ./carteles.ini al arrancar: se usan los valores de fábrica "
                u"y el archivo no se reemplaza sin preguntar."_s;
    else if (m_configuracionCambiadaBajoLosDialogos)
        aviso = u"./carteles.ini cambió fuera del programa mientras había cambios sin confirmar aquí: el "
                u"programa ya envía según el archivo, y pregunta antes de reemplazarlo."_s;
    if (m_configRed)
        AvisoAlPie::Mostrar(*m_configRed, aviso);
    if (m_configSerie)
        AvisoAlPie::Mostrar(*m_configSerie, aviso);
}

void Principal::Salir()
{
    close();
}

void Principal::Terminar()
{
    if (std::exchange(m_terminando, true))
        return;
    if (m_programacion)
        m_programacion->Detener();
    if (close()) {
        // Whatever other window is still up goes too.
        QCoreApplication::quit();
        return;
    }
    // The operator chose to stay: the timetable runs again, unless another
    // process took it meanwhile.
    m_terminando = false;
    if (m_programacion)
        m_programacion->Cargar();
}

void Principal::closeEvent(QCloseEvent *evento)
{
    for (EditorDeTexto *editor : Editores()) {
        // A text the user wanted saved but that could not be: stay.
        if (!editor->Cerrar()) {
            evento->ignore();
            return;
        }
    }
    if (m_configRed) {
        m_configRed->PermitirCierre();
        m_configRed->close();
    }
    if (m_configSerie)
        m_configSerie->hide();
    if (m_dialogEnvio)
        m_dialogEnvio->hide();
    evento->accept();
}

void Principal::ConfigurarInterfase()
{
    if (!m_configSerie) {
        m_configSerie = new ConfigSerie({Puerto().Numero(), m_red, Puerto().Ajustes()}, this);
        connect(m_configSerie, &ConfigSerie::Elegida, this, [this] {
            m_configSerie->Responder(AplicarLinea(m_configSerie->Eleccion()));
        });
        // Every way of closing rewrites the file, applied or not.
        connect(m_configSerie, &QDialog::finished, this, &Principal::GuardarConfiguracion);
        connect(m_configSerie, &QDialog::finished, this, &Principal::ActualizarEstado);
        MostrarAvisosDeConfiguracion();
    }
    m_configSerie->show();
    m_configSerie->raise();
    m_configSerie->activateWindow();
}

QStringList Principal::AplicarLinea(const LineaElegida &eleccion)
{
    if (eleccion.red.isEmpty()) {
        const QStringList rechazos = AplicarAjustesDeLinea(Puerto(), eleccion.numero, eleccion.ajustes);
        if (rechazos.isEmpty())
            PonerLineaDeRed({});
        return rechazos;
    }
    if (!InterpretarDireccionDeRed(QString(PrefijoDeRed + eleccion.red))) {
        return QStringList{u"«%1» no es la dirección de un servidor de puerto serie: escriba su equipo y "
                           u"su puerto TCP, como 192.168.1.50:4001, pi-cartel.local:2000 o "
                           u"[fe80::1]:4001."_s.arg(eleccion.red)};
    }
    const QStringList rechazos = AplicarAjustesDeLinea(Puerto(), Puerto().Numero(), eleccion.ajustes);
    if (rechazos.isEmpty())
        PonerLineaDeRed(eleccion.red);
    return rechazos;
}

void Principal::ConfigurarCarteles()
{
    ConfigRed &red = configRed();
    red.show();
    red.raise();
    red.activateWindow();
}

void Principal::VerDirecciones()
{
    const QString aviso = m_carteles.Cantidad() == 1
                              ? u"Esta operación vaciará la memoria del cartel."_s
                              : u"Esta operación vaciará la memoria de los carteles."_s;
    const auto respuesta = CuadroDeMensaje::Preguntar(
        this, aviso + u"\r\n¿Realmente desea continuar?"_s, u"Mostrar las Direcciones"_s,
        QMessageBox::NoIcon, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
    if (respuesta != QMessageBox::Ok)
        return;
    Enviar(PlanearMensajeDeDirecciones(), {u"direcciones 0 a 100"_s});
}

void Principal::Enviar(const PlanDeEnvio &plan, const QStringList &carteles, const QString &archivo)
{
    DialogoDeEnvio &dialogo = dialogEnvio();
    dialogo.show();
    dialogo.repaint();
    // Whether this window serves the folder is settled with the rest of the
    // start-up.
    CompletarArranque();
    m_servicio->EnviarDelOperador(plan, carteles, archivo);
}

void Principal::AbrirProgramacion()
{
    if (!m_subventanaProgramacion) {
        auto *ventana = new VentanaDeProgramacion(Ejecutor());
        m_subventanaProgramacion = m_area->addSubWindow(ventana);
        m_subventanaProgramacion->setAttribute(Qt::WA_DeleteOnClose);
        m_subventanaProgramacion->resize(TamanoEnTwips(*this, 9600, 6000));
    }
    m_subventanaProgramacion->show();
    PonerDentroDelArea(*m_subventanaProgramacion);
    m_area->setActiveSubWindow(m_subventanaProgramacion);
    m_subventanaProgramacion->raise();
}

QMdiSubWindow *Principal::SubventanaDeProgramacion() const
{
    return m_subventanaProgramacion;
}

EditorDeTexto *Principal::EditorActivo() const
{
    QMdiSubWindow *actual = m_area->currentSubWindow();
    if (!actual)
        return nullptr;
    auto *editor = qobject_cast<EditorDeTexto *>(actual->widget());
    // One that is closing is no longer listed.
    return editor && m_editores.key(editor, 0) != 0 ? editor : nullptr;
}

void Principal::ActivarEditor(EditorDeTexto *editor)
{
    if (QMdiSubWindow *subventana = editor->Subventana()) {
        subventana->show();
        m_area->setActiveSubWindow(subventana);
        subventana->raise();
    }
    editor->Texto().setFocus();
    ActualizarMenus();
    ActualizarEstado();
}

void Principal::ActualizarMenus()
{
    EditorDeTexto *activo = EditorActivo();
    // The timetable's window has no menus of its own: the main ones show.
    const QMdiSubWindow *programacion = m_subventanaProgramacion;
    const bool programacionActiva =
        programacion && m_area->currentSubWindow() == programacion && programacion->isVisible();
    if (!activo && !programacionActiva) {
        // The active one was just closed: the most recently used open text
        // takes over, as the user would expect.
        const auto recientes = m_area->subWindowList(QMdiArea::ActivationHistoryOrder);
        for (auto it = recientes.crbegin(); it != recientes.crend(); ++it) {
            auto *editor = qobject_cast<EditorDeTexto *>((*it)->widget());
            if (editor && m_editores.key(editor, 0) != 0) {
                m_area->setActiveSubWindow(*it);
                activo = editor;
                break;
            }
        }
    }
    AplicarEstados(m_barra, activo != nullptr);
    MostrarDestinos();
}

void Principal::LlenarMenuVentana(QMenu *menu, const QList<QAction *> &propios)
{
    const auto acciones = menu->actions();
    for (QAction *accion : acciones) {
        if (!propios.contains(accion)) {
            menu->removeAction(accion);
            delete accion;
        }
    }
    const EditorDeTexto *activo = EditorActivo();
    bool primero = true;
    int numero = 1;
    for (EditorDeTexto *editor : Editores()) {        if (primero) {
            menu->addSeparator();
            primero = false;
        }
        const QString titulo = numero < 10 ? u"&%1 %2"_s.arg(numero).arg(editor->Caption())
                                           : u"%1 %2"_s.arg(numero).arg(editor->Caption());
        QAction *accion = menu->addAction(titulo);
        accion->setCheckable(true);
        accion->setChecked(editor == activo);
        connect(accion, &QAction::triggered, this, [this, editor] { ActivarEditor(editor); });
        ++numero;
    }
    if (m_subventanaProgramacion) {
        if (primero)
            menu->addSeparator();
        const QString titulo = numero < 10 ? u"&%1 %2"_s.arg(numero).arg(m_subventanaProgramacion->windowTitle())
                                           : u"%1 %2"_s.arg(numero).arg(m_subventanaProgramacion->windowTitle());
        QAction *accion = menu->addAction(titulo);
        accion->setCheckable(true);
        accion->setChecked(m_area->currentSubWindow() == m_subventanaProgramacion);
        connect(accion, &QAction::triggered, this, &Principal::AbrirProgramacion);
    }
}

void Principal::Arreglar(Qt::Orientation orientacion)
{
    // A minimized window stays where the operator put it.
    QList<QMdiSubWindow *> ventanas;
    for (EditorDeTexto *editor : Editores()) {
        if (editor->Subventana() && !editor->Subventana()->isMinimized())
            ventanas.append(editor->Subventana());
    }
    // The timetable's window takes its share like any text.
    if (QMdiSubWindow *programacion = m_subventanaProgramacion;
        programacion && programacion->isVisible() && !programacion->isMinimized())
        ventanas.append(programacion);
    if (ventanas.isEmpty())
        return;
    const QRect area = m_area->viewport()->rect();
    const int n = static_cast<int>(ventanas.size());
    const bool lado = orientacion == Qt::Horizontal;
    const int paso = (lado ? area.width() : area.height()) / n;
    for (int i = 0; i < n; ++i) {
        ventanas.at(i)->showNormal();
        ventanas.at(i)->setGeometry(lado ? QRect(i * paso, 0, paso, area.height())
                                         : QRect(0, i * paso, area.width(), paso));
    }
}

QList<EditorDeTexto *> Principal::Editores() const
{
    return m_editores.values();
}
