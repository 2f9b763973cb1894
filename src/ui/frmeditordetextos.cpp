#include "frmeditordetextos.h"

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

frmEditorDeTextos::frmEditorDeTextos(const RegistroDeCarteles &registro, const QHash<Orden, QAction *> &compartidas,
                                     QWidget *parent)
    : QWidget(parent), m_registro(registro), m_documento(new Documento(this)), m_Texto(new CajaDeTexto(this))
{
    setObjectName(u"frmEditorDeTextos"_s);
    setWindowTitle(u"Sin título"_s);
    // The buttons keep their places; the text box takes whatever room the
    // window is given, so arranged windows stay usable.
    setMinimumSize(TamanoEnTwips(*this, 2880, 3330));
    resize(sizeHint());

    m_Texto->setObjectName(u"Texto"_s);
    m_Texto->setGeometry(RectanguloEnTwips(*this, 1320, 120, 5055, 3135));
    m_Texto->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_Texto->setTabChangesFocus(false);
    QFont fuente(u"MS Sans Serif"_s);
    fuente.setStyleHint(QFont::SansSerif);
    fuente.setPointSizeF(9.75);
    m_Texto->setFont(fuente);
    new ResaltadorDeEtiquetas(*m_Texto);
    connect(m_Texto, &QPlainTextEdit::textChanged, this, &frmEditorDeTextos::Texto_Change);

    CrearBotonesDeEfecto();
    CrearMenus(compartidas);

    connect(m_documento, &Documento::TextoCambiado, this, &frmEditorDeTextos::MostrarTexto);
    connect(m_documento, &Documento::DestinosCambiados, this, &frmEditorDeTextos::MostrarDestinos);
    connect(m_documento, &Documento::EstadoCambiado, this, &frmEditorDeTextos::MostrarTitulo);
    MostrarTitulo();
}

QString frmEditorDeTextos::Caption() const
{
    return m_documento->Nombrado() ? m_documento->Ruta() : m_tituloSinNombre;
}

void frmEditorDeTextos::PonerTituloSinNombre(const QString &titulo)
{
    m_tituloSinNombre = titulo;
    MostrarTitulo();
}

void frmEditorDeTextos::MostrarTitulo()
{
    // "[*]" is where Qt marks a modified document; a "[*]" in the path
    // itself is doubled so that it shows as written.
    QString titulo = Caption();
    titulo.replace(u"[*]"_s, u"[*][*]"_s);
    setWindowTitle(titulo + u"[*]"_s);
    setWindowModified(m_documento->Modificado());
}

void frmEditorDeTextos::MostrarTexto()
{
    if (m_sincronizando)
        return;
    m_sincronizando = true;
    // Whatever the box holds now or is about to hold, it is never laid out
    // between words while it may hold a word too long for that.
    m_Texto->setWordWrapMode(QTextOption::WrapAnywhere);
    m_Texto->setPlainText(SaltosLf(m_documento->Texto()));
    AjustarCorteDeLineas(m_documento->Texto());
    // The box lays a whole line out again on every key: past what can be
    // sent, a line takes it longer than a key may (half a second for a
    // line of 1 MiB), and no such text can go to a sign as it stands. It is
    // shown to be read, saved elsewhere or sent to be refused, not typed in.
    m_Texto->setReadOnly(LargoDeLineaMasLarga(m_documento->Texto()) > LongitudMaximaDeTexto);
    m_sincronizando = false;
    Q_EMIT EstadoCambiado();
}

void frmEditorDeTextos::MostrarDestinos()
{
    const DestinosDeTexto &destinos = m_documento->Destinos();
    // With one sign or none there is nothing to choose, unless the text
    // names signs that are not there or has a destination line that was not
    // understood: it is sent nowhere, and the operator must be able to
    // choose again.
    const bool porElegir = !destinos.global || !destinos.sinLeer.isEmpty();
    m_mnuPropDestinos->menuAction()->setVisible(m_registro.Cantidad() > 1 || porElegir);
    m_mnuPropGlobal->setChecked(destinos.global);
    for (QAction *item : std::as_const(m_mnuPropDestino))
        item->setChecked(CartelElegido(destinos, item->text()));
    Q_EMIT EstadoCambiado();
}

QPlainTextEdit &frmEditorDeTextos::Texto() const
{
    return *m_Texto;
}

QMdiSubWindow *frmEditorDeTextos::Subventana() const
{
    return m_subventana;
}

bool frmEditorDeTextos::EstaVisible() const
{
    return m_visible;
}

QSize frmEditorDeTextos::sizeHint() const
{
    return TamanoEnTwips(*this, 6480, 3330);
}

void frmEditorDeTextos::resizeEvent(QResizeEvent *evento)
{
    QWidget::resizeEvent(evento);
    const QRect inicial = RectanguloEnTwips(*this, 1320, 120, 5055, 3135);
    const int margenDerecho = TwipsAPixelesX(*this, 6480 - 1320 - 5055);
    const int margenInferior = TwipsAPixelesY(*this, 3330 - 120 - 3135);
    m_Texto->setGeometry(inicial.left(), inicial.top(), qMax(1, width() - inicial.left() - margenDerecho),
                         qMax(1, height() - inicial.top() - margenInferior));
}

void frmEditorDeTextos::CrearBotonesDeEfecto()
{
    QFont fuente(u"Small Fonts"_s);
    fuente.setStyleHint(QFont::SansSerif);
    fuente.setPointSizeF(6.75);

    QWidget *anterior = m_Texto;
    int arriba = 120;
    for (const auto &efecto : BotonesDeEfecto) {
        auto *boton = new QPushButton(Latin1(efecto.titulo), this);
        boton->setObjectName(Latin1(efecto.nombre));
        boton->setFont(fuente);
        boton->setGeometry(RectanguloEnTwips(*this, 120, arriba, 1095, 195));
        boton->setFocusPolicy(Qt::TabFocus);
        const QString etiqueta = Latin1(efecto.etiqueta);
        connect(boton, &QPushButton::clicked, this, [this, etiqueta] { InsertarEtiqueta(etiqueta); });
        setTabOrder(anterior, boton);
        anterior = boton;
        arriba += 240;
    }
}

QAction *frmEditorDeTextos::Accion(const QString &nombre) const
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

void frmEditorDeTextos::CrearMenus(const QHash<Orden, QAction *> &compartidas)
{
    const MenusConstruidos menus = ConstruirMenus(*this, true, compartidas);
    m_menus = menus.barra;
    const auto al = [this, &menus](Orden orden, auto manejador) {
        connect(menus.acciones.value(orden), &QAction::triggered, this, manejador);
    };
    al(Orden::Cerrar, [this] { mnuCerrar_Click(); });
    al(Orden::Guardar, [this] { mnuGuardar_Click(); });
    al(Orden::GuardarComo, [this] { mnuGuardarComo_Click(); });
    al(Orden::EnviarAhora, [this] { mnuEnviarAhora_Click(); });
    al(Orden::Cortar, [this] { mnuCortar_Click(); });
    al(Orden::Copiar, [this] { mnuCopiar_Click(); });
    al(Orden::Pegar, [this] { mnuPegar_Click(); });
    al(Orden::ConsultarLongitud, [this] { mnuConsultarLongi_Click(); });
    al(Orden::ArreglarVerticalmente, [this] { Q_EMIT PedidoArreglar(Qt::Horizontal); });
    al(Orden::ArreglarHorizontalmente, [this] { Q_EMIT PedidoArreglar(Qt::Vertical); });

    QMenu *ventana = menus.submenus.value(u"mnuVentana"_s);
    const QList<QAction *> propios = ventana->actions();
    connect(ventana, &QMenu::aboutToShow, this, [this, ventana, propios] { Q_EMIT PedidoMenuVentana(ventana, propios); });

    m_mnuPropDestinos = menus.submenus.value(u"mnuPropDestinos"_s);
    m_mnuPropGlobal = menus.acciones.value(Orden::Global);
    m_mnuPropGlobal->setCheckable(true);
    m_mnuPropGlobal->setChecked(true);
    // Qt toggles a checkable item before reporting the click; the handlers
    // decide the marks themselves, from the state the user saw.
    connect(m_mnuPropGlobal, &QAction::triggered, this, [this](bool marcado) {
        m_mnuPropGlobal->setChecked(!marcado);
        mnuPropGlobal_Click();
    });
    AgregarDestino(0)->setText(u"Primer Cartel"_s);
}

QAction *frmEditorDeTextos::AgregarDestino(int indice)
{
    QMenu *menu = m_mnuPropDestinos;
    if (!m_gruposDeDestinos.isEmpty())
        menu = m_gruposDeDestinos.at(indice / DestinosPorGrupo);
    QAction *accion = menu->addAction(QString());
    accion->setObjectName(u"mnuPropDestino%1"_s.arg(indice));
    accion->setCheckable(true);
    connect(accion, &QAction::triggered, this, [this, accion, indice](bool marcado) {
        accion->setChecked(!marcado);
        mnuPropDestino_Click(indice);
    });
    m_mnuPropDestino.append(accion);
    return accion;
}

void frmEditorDeTextos::AgruparDestinos(qsizetype cantidad)
{
    // A menu taller than the screen cannot be used, and a menu checks every
    // item it holds each time one is added: past one screenful the signs go
    // in submenus of their own, so building them costs what the list is long.
    const qsizetype grupos = cantidad > DestinosPorGrupo ? (cantidad + DestinosPorGrupo - 1) / DestinosPorGrupo : 0;
    if (grupos == m_gruposDeDestinos.size() && (grupos == 0 || m_mnuPropDestino.size() == cantidad))
        return;
    qDeleteAll(m_mnuPropDestino);
    m_mnuPropDestino.clear();
    qDeleteAll(m_gruposDeDestinos);
    m_gruposDeDestinos.clear();
    for (qsizetype g = 0; g < grupos; ++g) {
        const qsizetype desde = g * DestinosPorGrupo + 1;
        const qsizetype hasta = std::min(cantidad, desde + DestinosPorGrupo - 1);
        m_gruposDeDestinos.append(m_mnuPropDestinos->addMenu(u"Carteles %1 a %2"_s.arg(desde).arg(hasta)));
    }
}

void frmEditorDeTextos::AjustarCorteDeLineas(const QString &texto)
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
    m_Texto->setWordWrapMode(largas ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void frmEditorDeTextos::Mostrar()
{
    m_visible = true;
    Q_EMIT PedidoActivar(this);
    m_Texto->setFocus();
}

void frmEditorDeTextos::Ocultar()
{
    m_visible = false;
    if (m_subventana)
        m_subventana->hide();
    Q_EMIT Oculto();
}

void frmEditorDeTextos::Texto_Change()
{
    if (m_sincronizando)
        return;
    // Every change of the box is one of the document, which keeps the text
    // as files and senders count it.
    m_sincronizando = true;
    m_documento->PonerTexto(SaltosCrLf(CajaDeTexto::Crudo(m_Texto->document()->toRawText())));
    m_sincronizando = false;
    Q_EMIT EstadoCambiado();
}

void frmEditorDeTextos::InsertarEtiqueta(const QString &etiqueta)
{
    m_Texto->insertPlainText(etiqueta);
    m_Texto->setFocus();
    m_documento->PonerModificado(true);
}

void frmEditorDeTextos::mnuCopiar_Click()
{
    Portapapeles::Limpiar();
    Portapapeles::PonerTexto(CajaDeTexto::Crudo(m_Texto->textCursor().selectedText()));
}

void frmEditorDeTextos::mnuCortar_Click()
{
    Portapapeles::Limpiar();
    QTextCursor cursor = m_Texto->textCursor();
    Portapapeles::PonerTexto(CajaDeTexto::Crudo(cursor.selectedText()));
    cursor.removeSelectedText();
    m_Texto->setTextCursor(cursor);
}

void frmEditorDeTextos::mnuPegar_Click()
{
    m_Texto->insertPlainText(Portapapeles::TomarTexto());
    m_documento->PonerModificado(true);
}

bool frmEditorDeTextos::PuedeEscribirEn(const QString &ruta)
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

bool frmEditorDeTextos::Escribir(const QString &ruta)
{
    if (!PuedeEscribirEn(ruta))
        return false;
    if (const auto error = m_documento->Guardar(ruta, m_registro)) {
        CuadroDeMensaje::Advertir(this, u"No se pudo guardar el texto en "_s + error->Texto());
        return false;
    }
    return true;
}

bool frmEditorDeTextos::mnuGuardar_Click()
{
    if (!m_documento->Nombrado())
        return mnuGuardarComo_Click();
    return Escribir(m_documento->Ruta());
}

bool frmEditorDeTextos::mnuGuardarComo_Click()
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

bool frmEditorDeTextos::mnuCerrar_Click()
{
    if (m_documento->Modificado() && m_visible) {
        Q_EMIT PedidoActivar(this);
        const auto respuesta = CuadroDeMensaje::Preguntar(
            this, u"¿Desea guardar los cambios en "_s + Caption() + u" antes de salir?"_s,
            u"Guardar Cambios"_s, QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No,
            QMessageBox::Yes);
        // The user asked for the text to be kept: closing without it would
        // throw it away.
        if (respuesta == QMessageBox::Yes && !mnuGuardar_Click())
            return false;
    }
    Ocultar();
    // The next document in this window starts empty and for all signs, not
    // from what the one just closed held.
    m_documento->Vaciar();
    return true;
}

void frmEditorDeTextos::closeEvent(QCloseEvent *evento)
{
    // The window stays loaded and only hides: its slot is reused.
    evento->ignore();
    mnuCerrar_Click();
}

void frmEditorDeTextos::mnuEnviarAhora_Click()
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

void frmEditorDeTextos::mnuConsultarLongi_Click()
{
    CuadroDeMensaje::Preguntar(this, TextoDeLongitud(CodificarTexto(m_documento->Texto()).size()),
                               u"Consultar Longitud"_s, QMessageBox::Information, QMessageBox::Ok,
                               QMessageBox::Ok);
}

void frmEditorDeTextos::CargarDestinos()
{
    const auto n = m_registro.Cantidad();
    // The separator belongs to the Editar menu's own items; it stays hidden.
    // The submenu's visibility is MostrarDestinos' business.

    AgruparDestinos(n);
    while (m_mnuPropDestino.size() < n)
        AgregarDestino(static_cast<int>(m_mnuPropDestino.size()));
    while (m_mnuPropDestino.size() > n)
        delete m_mnuPropDestino.takeLast();
    for (qsizetype i = 0; i < n; ++i)
        m_mnuPropDestino.at(i)->setText(m_registro.En(i).Nombre());
    // The marks follow the signs by name, wherever the registry put them.
    MostrarDestinos();
}

void frmEditorDeTextos::mnuPropDestino_Click(int Index)
{
    if (Index < 0 || Index >= m_mnuPropDestino.size())
        return;
    m_documento->AlternarCartel(m_mnuPropDestino.at(Index)->text());
}

void frmEditorDeTextos::mnuPropGlobal_Click()
{
    m_documento->ElegirTodos();
}

bool frmEditorDeTextos::DestinosVisibles() const
{
    return m_mnuPropDestinos->menuAction()->isVisible();
}

bool frmEditorDeTextos::GlobalMarcado() const
{
    return m_mnuPropGlobal->isChecked();
}

QList<bool> frmEditorDeTextos::MarcasDeDestino() const
{
    QList<bool> marcas;
    marcas.reserve(m_mnuPropDestino.size());
    for (const QAction *item : m_mnuPropDestino)
        marcas.append(item->isChecked());
    return marcas;
}

QStringList frmEditorDeTextos::TitulosDeDestino() const
{
    QStringList titulos;
    titulos.reserve(m_mnuPropDestino.size());
    for (const QAction *item : m_mnuPropDestino)
        titulos.append(item->text());
    return titulos;
}
