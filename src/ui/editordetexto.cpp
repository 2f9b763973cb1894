#include "editordetexto.h"

#include "cajadetexto.h"
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
#include <QPlainTextEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStringListModel>

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

EditorDeTexto::EditorDeTexto(const RegistroDeCarteles &registro, QWidget *parent)
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
    // The box keeps the document's words; every change there, typed or put
    // by the program, is one of the document.
    m_documento->GuardarTextoEn(m_caja);
    connect(m_caja, &QPlainTextEdit::textChanged, m_documento, &Documento::TextoEditado);

    CrearBotonesDeEfecto();

    connect(m_documento, &Documento::TextoCambiado, this, &EditorDeTexto::EstadoCambiado);
    connect(m_documento, &Documento::DestinosCambiados, this, &EditorDeTexto::EstadoCambiado);
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

QPlainTextEdit &EditorDeTexto::Texto() const
{
    return *m_caja;
}

QMdiSubWindow *EditorDeTexto::Subventana() const
{
    return qobject_cast<QMdiSubWindow *>(parentWidget());
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
    // The subwindow asks this window first (closeEvent), then goes with it.
    QWidget *ventana = Subventana();
    return ventana ? ventana->close() : close();
}

bool EditorDeTexto::PreguntarAntesDeCerrar()
{
    if (m_documento->Modificado()) {
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
    return true;
}

void EditorDeTexto::closeEvent(QCloseEvent *evento)
{
    if (!PreguntarAntesDeCerrar()) {
        evento->ignore();
        return;
    }
    evento->accept();
    Q_EMIT Cerrado(this);
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

void EditorDeTexto::CambiarDestino(int indice)
{
    if (indice < 0 || indice >= m_registro.Cantidad())
        return;
    m_documento->AlternarCartel(m_registro.En(indice).Nombre());
}

void EditorDeTexto::ElegirGlobal()
{
    m_documento->ElegirTodos();
}
