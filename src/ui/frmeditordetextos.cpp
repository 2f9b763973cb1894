#include "frmeditordetextos.h"

#include "descripciondemenus.h"
#include "filtrosdearchivo.h"
#include "config/registrodecartel.h"
#include "documents/destinosdeenvio.h"
#include "documents/documento.h"
#include "documents/marcasdedestino.h"
#include "documents/propiedades.h"
#include "encoding/codificador.h"
#include "encoding/saltosdelinea.h"
#include "frmdialogenvio.h"
#include "medidas.h"
#include "resaltadordeetiquetas.h"
#include "platform/cuadrodemensaje.h"
#include "platform/dialogodearchivo.h"
#include "platform/portapapeles.h"

#include <QCloseEvent>
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

// The text box's own form of a text, with nothing turned into something
// else: toPlainText() would make a no-break space a blank, so a document
// opened and saved unchanged, or sent, would not be what the operator sees.
// Only what the box draws as a line break is one: the paragraph separator
// between its blocks, and the line separator Shift+Enter types.
QString TextoCrudo(QString texto)
{
    texto.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    texto.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return texto;
}
} // namespace

frmEditorDeTextos::frmEditorDeTextos(QStringListModel &registro, frmDialogEnvio &dialogoEnvio,
                                     const QHash<Orden, QAction *> &compartidas, QWidget *parent)
    : QWidget(parent), m_registro(registro), m_dialogoEnvio(dialogoEnvio), m_Texto(new QPlainTextEdit(this))
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

QString frmEditorDeTextos::TextoCrLf() const
{
    return SaltosCrLf(TextoCrudo(m_Texto->document()->toRawText()));
}

void frmEditorDeTextos::PonerTexto(const QString &textoCrLf)
{
    AjustarCorteDeLineas(textoCrLf);
    m_Texto->setPlainText(SaltosLf(textoCrLf));
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
    m_modificado = true;
    Q_EMIT EstadoCambiado();
}

void frmEditorDeTextos::InsertarEtiqueta(const QString &etiqueta)
{
    m_Texto->insertPlainText(etiqueta);
    m_Texto->setFocus();
    m_modificado = true;
}

void frmEditorDeTextos::mnuCopiar_Click()
{
    Portapapeles::Limpiar();
    Portapapeles::PonerTexto(TextoCrudo(m_Texto->textCursor().selectedText()));
}

void frmEditorDeTextos::mnuCortar_Click()
{
    Portapapeles::Limpiar();
    QTextCursor cursor = m_Texto->textCursor();
    Portapapeles::PonerTexto(TextoCrudo(cursor.selectedText()));
    cursor.removeSelectedText();
    m_Texto->setTextCursor(cursor);
}

void frmEditorDeTextos::mnuPegar_Click()
{
    m_Texto->insertPlainText(Portapapeles::TomarTexto());
    m_modificado = true;
}

bool frmEditorDeTextos::Escribir(const QString &ruta)
{
    const auto error = EscribirDocumento(ruta, TextoCrLf(), PropiedadesDesdeMenu());
    if (error) {
        CuadroDeMensaje::Advertir(this, u"No se pudo guardar el texto en "_s + error->Texto());
        return false;
    }
    m_modificado = false;
    return true;
}

bool frmEditorDeTextos::mnuGuardar_Click()
{
    if (!m_nombrado)
        return mnuGuardarComo_Click();
    return Escribir(Caption());
}

bool frmEditorDeTextos::mnuGuardarComo_Click()
{
    DialogoDeArchivo::Pedido pedido;
    pedido.titulo = u"Guardar el Texto"_s;
    pedido.filtros = FiltrosDeArchivo();
    pedido.filtroElegido = 1;
    pedido.extension = u"txt"_s;
    if (m_nombrado)
        pedido.nombre = Caption();
    const QString ruta = DialogoDeArchivo::Guardar(this, pedido);
    if (ruta.isEmpty())
        return false;
    // The name changes only once the file holds the text, so a failed write
    // leaves the document as it was.
    if (!Escribir(ruta))
        return false;
    PonerCaption(ruta);
    m_nombrado = true;
    return true;
}

bool frmEditorDeTextos::mnuCerrar_Click()
{
    if (m_modificado && m_visible) {
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
    m_Texto->clear();
    AjustarCorteDeLineas(QString());
    // The next document in this window starts from all signs, not from the
    // marks of the one just closed.
    mnuPropGlobal_Click();
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
    const QString texto = TextoCrLf();
    if (TextoDemasiadoLargo(texto)) {
        CuadroDeMensaje::Advertir(this, u"El texto tiene %1 caracteres y un cartel admite como máximo %2.\n"
                                    "No se envió nada."_s
                         .arg(texto.size())
                         .arg(LongitudMaximaDeTexto));
        return;
    }

    const DestinosDeEnvio destinos = DestinosDesdeMarcas(DestinosVisibles(), GlobalMarcado(), MarcasDeDestino(),
                                                         TitulosDeDestino(),
                                                         m_registro.stringList());
    if (!destinos.omitidos.isEmpty())
        CuadroDeMensaje::Avisar(this, u"No se envió a estos destinos, que no tienen un cartel con una "
                                                     "dirección de 0 a 255:\n"_s +
                                          destinos.omitidos.join(QLatin1Char('\n')));
    if (destinos.SinDestinos())
        // A progress dialog left open with nothing to send would read as a
        // transmission under way.
        CuadroDeMensaje::Avisar(this, u"El texto no tiene destinos marcados: no se envió nada. "
                                                     "Elija \"Global\" o algún cartel en Editar → Destinos."_s);
    if (destinos.NadaQueEnviar())
        return;

    frmDialogEnvio &dialogo = m_dialogoEnvio;
    dialogo.show();
    dialogo.repaint();
    const QByteArray mensaje = CodificarTexto(texto);
    for (quint8 direccion : destinos.direcciones)
        dialogo.MandarTexto(mensaje, direccion);
}

void frmEditorDeTextos::mnuConsultarLongi_Click()
{
    CuadroDeMensaje::Preguntar(this, TextoDeLongitud(CodificarTexto(TextoCrLf()).size()),
                               u"Consultar Longitud"_s, QMessageBox::Information, QMessageBox::Ok,
                               QMessageBox::Ok);
}

void frmEditorDeTextos::CargarDestinos()
{
    const QStringList registro = m_registro.stringList();
    const auto n = registro.size();
    // The separator belongs to the Editar menu's own items; it stays hidden.
    m_mnuPropDestinos->menuAction()->setVisible(n > 1);

    QStringList anteriores;
    anteriores.reserve(m_mnuPropDestino.size());
    for (const QAction *item : std::as_const(m_mnuPropDestino))
        anteriores.append(item->data().toString());
    const QList<bool> marcas = MarcasTrasCambioDeRegistro(anteriores, MarcasDeDestino(), registro);

    AgruparDestinos(n);
    while (m_mnuPropDestino.size() < n)
        AgregarDestino(static_cast<int>(m_mnuPropDestino.size()));
    while (m_mnuPropDestino.size() > n)
        delete m_mnuPropDestino.takeLast();
    for (qsizetype i = 0; i < n; ++i) {
        QAction *item = m_mnuPropDestino.at(i);
        item->setText(NombreDeCartel(registro.at(i)));
        item->setData(registro.at(i));
        item->setChecked(marcas.at(i));
    }
    Q_EMIT EstadoCambiado();
}

void frmEditorDeTextos::mnuPropDestino_Click(int Index)
{
    if (Index < 0 || Index >= m_mnuPropDestino.size())
        return;
    QAction *item = m_mnuPropDestino.at(Index);
    item->setChecked(!item->isChecked());
    m_mnuPropGlobal->setChecked(!MarcasDeDestino().contains(true));
    m_modificado = true;
    Q_EMIT EstadoCambiado();
}

void frmEditorDeTextos::mnuPropGlobal_Click()
{
    if (m_mnuPropGlobal->isChecked())
        return;
    for (QAction *item : std::as_const(m_mnuPropDestino))
        item->setChecked(false);
    m_mnuPropGlobal->setChecked(true);
    Q_EMIT EstadoCambiado();
}

QString frmEditorDeTextos::PropiedadesDesdeMenu() const
{
    return PropiedadesDesdeMarcas(GlobalMarcado(), TitulosDeDestino(), MarcasDeDestino());
}

void frmEditorDeTextos::PonerMarcasDesdePropiedades(const QString &propiedades)
{
    bool global = GlobalMarcado();
    QList<bool> marcas = MarcasDeDestino();
    MarcasDesdePropiedades(propiedades, TitulosDeDestino(), global, marcas);
    m_mnuPropGlobal->setChecked(global);
    for (int i = 0; i < m_mnuPropDestino.size(); ++i)
        m_mnuPropDestino.at(i)->setChecked(marcas.value(i));
    Q_EMIT EstadoCambiado();
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

QString frmEditorDeTextos::DescribirDestinos() const
{
    if (!DestinosVisibles() || GlobalMarcado())
        return u"Global"_s;
    QStringList nombres;
    for (const QAction *item : m_mnuPropDestino) {
        if (item->isChecked())
            nombres.append(item->text().trimmed());
    }
    return nombres.isEmpty() ? u"sin destino"_s : nombres.join(u", "_s);
}
