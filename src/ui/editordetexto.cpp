#include "editordetexto.h"

#include "cajadetexto.h"
#include "descripciondemenus.h"
#include "filtrosdearchivo.h"
#include "config/registrodecarteles.h"
#include "documents/destinosdeenvio.h"
#include "documents/documento.h"
#include "documents/propiedades.h"
#include "encoding/codificador.h"
#include "encoding/saltosdelinea.h"
#include "link/plandeenvio.h"
#include "sending/planearenvio.h"
#include "medidas.h"
#include "resaltadordeetiquetas.h"
#include "platform/cuadrodemensaje.h"
#include "platform/dialogodearchivo.h"
#include "platform/firmadearchivo.h"
#include "platform/portapapeles.h"

#include <QCloseEvent>
#include <QDir>
#include <QResizeEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStringListModel>
#include <QTextDocument>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
struct BotonDeEfecto
{
    const char *nombre;
    const char *titulo;
    const char *etiqueta;
};

// Top to bottom, which is also the tab order after the text box.
constexpr BotonDeEfecto BotonesDeEfecto[] = {
    {"EfeTitila", "TITILA", "[titila]"},
    {"EfeNoTitila", "NO TITILA", "[no titila]"},
    {"EfeNormal", "NORMAL", "[normal]"},
    {"EfeExp", "EXPANDIDA", "[exp]"},
    {"EfeVel0", "VELOCIDAD 0", "[v0]"},
    {"EfeVel1", "VELOCIDAD 1", "[v1]"},
    {"EfeVel2", "VELOCIDAD 2", "[v2]"},
    {"EfePausa", "PAUSA", "[pausa]"},
    {"EfeCentra", "CENTRA", "[centra]"},
    {"EfeBaja", "BAJA", "[baja]"},
    {"EfeSube", "SUBE", "[sube]"},
    {"EfeCorreIzq", "CORRE IZQ.", "[izq]"},
    {"EfeEspacioSeg", "ESPACIO SEG.", "[esp seg]"},
};

QString Latin1(const char *texto)
{
    return QString::fromLatin1(texto);
}

} // namespace

EditorDeTexto::EditorDeTexto(const RegistroDeCarteles &registro, const QHash<Orden, QAction *> &compartidas,
                                     QWidget *parent)
    : QWidget(parent), m_registro(registro), m_documento(new Documento(this)), m_caja(new CajaDeTexto(this))
{
    setObjectName(u"EditorDeTexto"_s);
    setWindowTitle(u"Sin título"_s);
    // The buttons keep their places; the text box takes whatever room the
    // window is given, so arranged windows stay usable.
    setMinimumSize(TamanoEnTwips(*this, 2880, 3330));
    resize(sizeHint());

    m_caja->setObjectName(u"Texto"_s);
    m_caja->setGeometry(RectanguloEnTwips(*this, 1320, 120, 5055, 3135));
    m_caja->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont fuente(u"MS Sans Serif"_s);
    fuente.setStyleHint(QFont::SansSerif);
    fuente.setPointSizeF(9.75);
    m_caja->setFont(fuente);
    new ResaltadorDeEtiquetas(*m_caja);
    connect(m_caja, &QPlainTextEdit::textChanged, this, &EditorDeTexto::TextoCambiado);

    CrearBotonesDeEfecto();
    CrearMenus(compartidas);

    connect(m_documento, &Documento::TextoCambiado, this, &EditorDeTexto::MostrarTexto);
    connect(m_documento, &Documento::DestinosCambiados, this, &EditorDeTexto::MostrarDestinos);
    connect(m_documento, &Documento::EstadoCambiado, this, &EditorDeTexto::MostrarTitulo);
    MostrarTitulo();
}

QString EditorDeTexto::Caption() const
{
    return m_documento->Nombrado() ? m_documento->Ruta() : m_tituloSinNombre;
}

void EditorDeTexto::PonerTituloSinNombre(const QString &titulo)
{
    m_tituloSinNombre = titulo;
    MostrarTitulo();
}

void EditorDeTexto::MostrarTitulo()
{
    // "[*]" is where Qt marks a modified document; a "[*]" in the path
    // itself is doubled so that it shows as written.
    QString titulo = Caption();
    titulo.replace(u"[*]"_s, u"[*][*]"_s);
    setWindowTitle(titulo + u"[*]"_s);
    setWindowModified(m_documento->Modificado());
}

void EditorDeTexto::MostrarTexto()
{
    if (m_sincronizando)
        return;
    m_sincronizando = true;
    // Whatever the box holds now or is about to hold, it is never laid out
    // between words while it may hold a word too long for that.
    m_caja->setWordWrapMode(QTextOption::WrapAnywhere);
    m_caja->setPlainText(SaltosLf(m_documento->Texto()));
    AjustarCorteDeLineas(m_documento->Texto());
    // The box lays a whole line out again on every key: past what can be
    // sent, a line takes it longer than a key may (half a second for a
    // line of 1 MiB), and no such text can go to a sign as it stands. It is
    // shown to be read, saved elsewhere or sent to be refused, not typed in.
    m_caja->setReadOnly(LargoDeLineaMasLarga(m_documento->Texto()) > LongitudMaximaDeTexto);
    m_sincronizando = false;
    Q_EMIT EstadoCambiado();
}

void EditorDeTexto::MostrarDestinos()
{
    const DestinosDeTexto &destinos = m_documento->Destinos();
    // With one sign or none there is nothing to choose, unless the text
    // names signs that are not there or has a destination line that was not
    // understood: it is sent nowhere, and the operator must be able to
    // choose again.
    const bool porElegir = !destinos.global || !destinos.sinLeer.isEmpty();
    m_menuDeDestinos->menuAction()->setVisible(m_registro.Cantidad() > 1 || porElegir);
    m_accionGlobal->setChecked(destinos.global);
    for (QAction *item : std::as_const(m_accionesDeDestino))
        item->setChecked(CartelElegido(destinos, item->text()));
    Q_EMIT EstadoCambiado();
}

QPlainTextEdit &EditorDeTexto::Texto() const
{
    return *m_caja;
}

QMdiSubWindow *EditorDeTexto::Subventana() const
{
    return m_subventana;
}

bool EditorDeTexto::EstaVisible() const
{
    return m_visible;
}

QSize EditorDeTexto::sizeHint() const
{
    return TamanoEnTwips(*this, 6480, 3330);
}

void EditorDeTexto::resizeEvent(QResizeEvent *evento)
{
    QWidget::resizeEvent(evento);
    const QRect inicial = RectanguloEnTwips(*this, 1320, 120, 5055, 3135);
    const int margenDerecho = TwipsAPixelesX(*this, 6480 - 1320 - 5055);
    const int margenInferior = TwipsAPixelesY(*this, 3330 - 120 - 3135);
    m_caja->setGeometry(inicial.left(), inicial.top(), qMax(1, width() - inicial.left() - margenDerecho),
                         qMax(1, height() - inicial.top() - margenInferior));
}

void EditorDeTexto::CrearBotonesDeEfecto()
{
    QFont fuente(u"Small Fonts"_s);
    fuente.setStyleHint(QFont::SansSerif);
    fuente.setPointSizeF(6.75);

    QWidget *anterior = m_caja;
    int arriba = 120;
    for (const auto &efecto : BotonesDeEfecto) {
        auto *boton = new QPushButton(Latin1(efecto.titulo), this);
        boton->setObjectName(Latin1(efecto.nombre));
        boton->setFont(fuente);
        boton->setGeometry(RectanguloEnTwips(*this, 120, arriba, 1095, 195));
        boton->setFocusPolicy(Qt::TabFocus);
        const QString etiqueta = Latin1(efecto.etiqueta);
        boton->setAccessibleDescription(u"Escribe %1 en el texto"_s.arg(etiqueta));
        connect(boton, &QPushButton::clicked, this, [this, etiqueta] { InsertarEtiqueta(etiqueta); });
        setTabOrder(anterior, boton);
        anterior = boton;
        arriba += 240;
    }
}

QAction *EditorDeTexto::Accion(const QString &nombre) const
{
    // The editor's own items are its children; the shared ones belong to the
    // main window and stand in this window's menus.
    if (QAction *propia = findChild<QAction *>(nombre))
        return propia;
    for (const QMenu *menu : m_menus) {
        for (QAction *accion : menu->actions()) {
            if (accion->objectName() == nombre)
                return accion;
        }
    }
    return nullptr;
}

void EditorDeTexto::CrearMenus(const QHash<Orden, QAction *> &compartidas)
{
    const MenusConstruidos menus = ConstruirMenus(*this, true, compartidas);
    m_menus = menus.barra;
    const auto al = [this, &menus](Orden orden, auto manejador) {
        connect(menus.acciones.value(orden), &QAction::triggered, this, manejador);
    };
    al(Orden::Cerrar, [this] { Cerrar(); });
    al(Orden::Guardar, [this] { Guardar(); });
    al(Orden::GuardarComo, [this] { GuardarComo(); });
    al(Orden::EnviarAhora, [this] { EnviarAhora(); });
    al(Orden::Cortar, [this] { Cortar(); });
    al(Orden::Copiar, [this] { Copiar(); });
    al(Orden::Pegar, [this] { Pegar(); });
    al(Orden::ConsultarLongitud, [this] { ConsultarLongitud(); });
    al(Orden::ArreglarVerticalmente, [this] { Q_EMIT PedidoArreglar(Qt::Horizontal); });
    al(Orden::ArreglarHorizontalmente, [this] { Q_EMIT PedidoArreglar(Qt::Vertical); });

    QMenu *ventana = menus.submenus.value(u"mnuVentana"_s);
    const QList<QAction *> propios = ventana->actions();
    connect(ventana, &QMenu::aboutToShow, this, [this, ventana, propios] { Q_EMIT PedidoMenuVentana(ventana, propios); });

    m_menuDeDestinos = menus.submenus.value(u"mnuPropDestinos"_s);
    m_accionGlobal = menus.acciones.value(Orden::Global);
    m_accionGlobal->setCheckable(true);
    m_accionGlobal->setChecked(true);
    // Qt toggles a checkable item before reporting the click; the handlers
    // decide the marks themselves, from the state the user saw.
    connect(m_accionGlobal, &QAction::triggered, this, [this](bool marcado) {
        m_accionGlobal->setChecked(!marcado);
        ElegirGlobal();
    });
    AgregarDestino(0)->setText(u"Primer Cartel"_s);
}

QAction *EditorDeTexto::AgregarDestino(int indice)
{
    QMenu *menu = m_menuDeDestinos;
    if (!m_gruposDeDestinos.isEmpty())
        menu = m_gruposDeDestinos.at(indice / DestinosPorGrupo);
    QAction *accion = menu->addAction(QString());
    accion->setObjectName(u"mnuPropDestino%1"_s.arg(indice));
    accion->setCheckable(true);
    connect(accion, &QAction::triggered, this, [this, accion, indice](bool marcado) {
        accion->setChecked(!marcado);
        CambiarDestino(indice);
    });
    m_accionesDeDestino.append(accion);
    return accion;
}

void EditorDeTexto::AgruparDestinos(qsizetype cantidad)
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

void EditorDeTexto::AjustarCorteDeLineas(const QString &texto)
{
    // Breaking lines between words costs the text box time that grows with
    // the square of a word's length: a file of one 1 MiB word froze the
    // window for over a minute. Such a file is wrapped anywhere instead, at
    // a cost that follows its size; real texts keep their words whole.
    constexpr qsizetype PalabraMasLarga = 2000;
    qsizetype corrida = 0;
    bool largas = false;
    for (const QChar c : texto) {
        corrida = c.isSpace() ? 0 : corrida + 1;
        if (corrida > PalabraMasLarga) {
            largas = true;
            break;
        }
    }
    m_caja->setWordWrapMode(largas ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void EditorDeTexto::Mostrar()
{
    m_visible = true;
    Q_EMIT PedidoActivar(this);
    m_caja->setFocus();
}

void EditorDeTexto::Ocultar()
{
    m_visible = false;
    if (m_subventana)
        m_subventana->hide();
    Q_EMIT Oculto();
}

void EditorDeTexto::TextoCambiado()
{
    if (m_sincronizando)
        return;
    // Every change of the box is one of the document, which keeps the text
    // as files and senders count it.
    m_sincronizando = true;
    m_documento->PonerTexto(SaltosCrLf(CajaDeTexto::Crudo(m_caja->document()->toRawText())));
    m_sincronizando = false;
    Q_EMIT EstadoCambiado();
}

void EditorDeTexto::InsertarEtiqueta(const QString &etiqueta)
{
    m_caja->insertPlainText(etiqueta);
    m_caja->setFocus();
    m_documento->PonerModificado(true);
}

void EditorDeTexto::Copiar()
{
    Portapapeles::Limpiar();
    Portapapeles::PonerTexto(CajaDeTexto::Crudo(m_caja->textCursor().selectedText()));
}

void EditorDeTexto::Cortar()
{
    Portapapeles::Limpiar();
    QTextCursor cursor = m_caja->textCursor();
    Portapapeles::PonerTexto(CajaDeTexto::Crudo(cursor.selectedText()));
    cursor.removeSelectedText();
    m_caja->setTextCursor(cursor);
}

void EditorDeTexto::Pegar()
{
    m_caja->insertPlainText(Portapapeles::TomarTexto());
    m_documento->PonerModificado(true);
}

bool EditorDeTexto::PuedeEscribirEn(const QString &ruta)
{
    const QString nombre = QDir::toNativeSeparators(ruta);
    QString pregunta;
    if (m_documento->Nombrado() && MismoArchivo(ruta, m_documento->Ruta())) {
        if (!m_documento->CambiadoEnDisco())
            return true;
        pregunta = m_documento->ArchivoPresente()
                       ? u"El archivo %1 cambió en el disco desde que se abrió o se guardó aquí: otro programa "
                         u"lo modificó.\n\n¿Reemplazar lo que tiene el disco con el texto de esta ventana?"_s
                       : u"El archivo %1 ya no está en el disco: otro programa lo borró o lo movió.\n\n"
                         u"¿Guardarlo de nuevo con el texto de esta ventana?"_s;
        pregunta = pregunta.arg(nombre);
    } else if (m_abiertoEnOtra && m_abiertoEnOtra(ruta)) {
        pregunta = u"El archivo %1 está abierto en otra ventana. Si lo reemplaza, lo que esa ventana muestra ya no "
                   u"es lo que tiene el archivo.\n\n¿Reemplazarlo con el texto de esta ventana?"_s
                       .arg(nombre);
    } else {
        return true;
    }
    // The default keeps the disk as it is: what is there may be the only
    // copy of someone else's work.
    return CuadroDeMensaje::Preguntar(this, pregunta, u"Guardar el Texto"_s, QMessageBox::Warning,
                                      QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

bool EditorDeTexto::Escribir(const QString &ruta)
{
    if (!PuedeEscribirEn(ruta))
        return false;
    if (const auto error = m_documento->Guardar(ruta, m_registro)) {
        CuadroDeMensaje::Advertir(this, u"No se pudo guardar el texto en "_s + error->Texto());
        return false;
    }
    return true;
}

bool EditorDeTexto::Guardar()
{
    if (!m_documento->Nombrado())
        return GuardarComo();
    return Escribir(m_documento->Ruta());
}

bool EditorDeTexto::GuardarComo()
{
    DialogoDeArchivo::Pedido pedido = PedidoDeTexto(u"Guardar el Texto"_s);
    pedido.extension = u"txt"_s;
    if (m_documento->Nombrado())
        pedido.nombre = m_documento->Ruta();
    const QString ruta = DialogoDeArchivo::Guardar(this, pedido);
    if (ruta.isEmpty())
        return false;
    // The document takes the new name only once the file holds the text,
    // so a failed write leaves it as it was.
    return Escribir(ruta);
}

bool EditorDeTexto::Cerrar()
{
    if (m_documento->Modificado() && m_visible) {
        Q_EMIT PedidoActivar(this);
        const auto respuesta = CuadroDeMensaje::Preguntar(
            this, u"¿Desea guardar los cambios en "_s + Caption() + u" antes de salir?"_s,
            u"Guardar Cambios"_s, QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No,
            QMessageBox::Yes);
        // The user asked for the text to be kept: closing without it would
        // throw it away.
        if (respuesta == QMessageBox::Yes && !Guardar())
            return false;
    }
    Ocultar();
    // The next document in this window starts empty and for all signs, not
    // from what the one just closed held.
    m_documento->Vaciar();
    return true;
}

void EditorDeTexto::closeEvent(QCloseEvent *evento)
{
    // The window stays loaded and only hides: its slot is reused.
    evento->ignore();
    Cerrar();
}

void EditorDeTexto::EnviarAhora()
{
    Q_EMIT AntesDeEnviar();
    const PlanDeEnvio plan = PlanearEnvio(*m_documento, m_registro);
    if (!plan.Enviable()) {
        // A progress dialog left open with nothing to send would read as a
        // transmission under way.
        QString motivo = plan.motivo;
        if (plan.rechazo == PlanDeEnvio::Rechazo::SinDestinos || plan.rechazo == PlanDeEnvio::Rechazo::DestinosSinLeer)
            motivo += u" Elija \"Global\" o algún cartel en Editar → Destinos."_s;
        if (plan.rechazo == PlanDeEnvio::Rechazo::DemasiadoLargo)
            CuadroDeMensaje::Advertir(this, motivo);
        else
            CuadroDeMensaje::Avisar(this, motivo);
        return;
    }
    if (!plan.avisos.isEmpty())
        CuadroDeMensaje::Avisar(this, plan.avisos.join(u'\n'));
    Q_EMIT PedidoEnvio(plan);
}

void EditorDeTexto::ConsultarLongitud()
{
    CuadroDeMensaje::Preguntar(this, TextoDeLongitud(CodificarTexto(m_documento->Texto()).size()),
                               u"Consultar Longitud"_s, QMessageBox::Information, QMessageBox::Ok,
                               QMessageBox::Ok);
}

void EditorDeTexto::CargarDestinos()
{
    const auto n = m_registro.Cantidad();
    // The separator belongs to the Editar menu's own items; it stays hidden.
    // The submenu's visibility is MostrarDestinos' business.

    AgruparDestinos(n);
    while (m_accionesDeDestino.size() < n)
        AgregarDestino(static_cast<int>(m_accionesDeDestino.size()));
    while (m_accionesDeDestino.size() > n)
        delete m_accionesDeDestino.takeLast();
    for (qsizetype i = 0; i < n; ++i)
        m_accionesDeDestino.at(i)->setText(m_registro.En(i).Nombre());
    // The marks follow the signs by name, wherever the registry put them.
    MostrarDestinos();
}

void EditorDeTexto::CambiarDestino(int Index)
{
    if (Index < 0 || Index >= m_accionesDeDestino.size())
        return;
    m_documento->AlternarCartel(m_accionesDeDestino.at(Index)->text());
}

void EditorDeTexto::ElegirGlobal()
{
    m_documento->ElegirTodos();
}

bool EditorDeTexto::DestinosVisibles() const
{
    return m_menuDeDestinos->menuAction()->isVisible();
}

bool EditorDeTexto::GlobalMarcado() const
{
    return m_accionGlobal->isChecked();
}

QList<bool> EditorDeTexto::MarcasDeDestino() const
{
    QList<bool> marcas;
    marcas.reserve(m_accionesDeDestino.size());
    for (const QAction *item : m_accionesDeDestino)
        marcas.append(item->isChecked());
    return marcas;
}

QStringList EditorDeTexto::TitulosDeDestino() const
{
    QStringList titulos;
    titulos.reserve(m_accionesDeDestino.size());
    for (const QAction *item : m_accionesDeDestino)
        titulos.append(item->text());
    return titulos;
}
