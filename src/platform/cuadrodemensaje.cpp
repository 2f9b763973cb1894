#include "cuadrodemensaje.h"

#include "platform/cajasinescape.h"

#include <QGridLayout>
#include <QSpacerItem>
#include <QWidget>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
struct EstadoDePrueba
{
    bool activo = false;
    QList<QMessageBox::StandardButton> respuestas;
    QList<CuadroDeMensaje::Mostrado> mostrados;
};

EstadoDePrueba &Estado()
{
    static EstadoDePrueba estado;
    return estado;
}

// A message box sizes itself to its text and buttons only, and a window
// manager then cuts a longer title ("Cons… itud"). Room for the title as
// title bars draw it (bold, often larger) and for the bar's own icon and
// buttons, each about two lines high.
void DarAnchoAlTitulo(QMessageBox &caja, const QString &titulo)
{
    auto *rejilla = qobject_cast<QGridLayout *>(caja.layout());
    if (!rejilla)
        return;
    QFont negrita = caja.font();
    negrita.setBold(true);
    const QFontMetrics medidas(negrita);
    const int ancho = medidas.horizontalAdvance(titulo) + 4 * 2 * medidas.height();
    rejilla->addItem(new QSpacerItem(ancho, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), rejilla->rowCount(), 0, 1,
                     rejilla->columnCount());
}
} // namespace

QString CuadroDeMensaje::TituloPorDefecto()
{
    return u"brevalux"_s;
}

bool CuadroDeMensaje::Registrar(const Mostrado &mostrado)
{
    auto &estado = Estado();
    if (!estado.activo)
        return false;
    estado.mostrados.append(mostrado);
    return true;
}

QMessageBox::StandardButton CuadroDeMensaje::Preguntar(QWidget *padre, const QString &texto, const QString &titulo,
                                                       QMessageBox::Icon icono, QMessageBox::StandardButtons botones,
                                                       QMessageBox::StandardButton porDefecto)
{
    if (Registrar({texto, titulo, icono, botones})) {
        auto &respuestas = Estado().respuestas;
        return respuestas.isEmpty() ? porDefecto : respuestas.takeFirst();
    }
    std::unique_ptr<QMessageBox> caja(CrearCaja(padre, texto, titulo, icono, botones, porDefecto));
    const int respuesta = caja->exec();
    return static_cast<QMessageBox::StandardButton>(respuesta);
}

QMessageBox *CuadroDeMensaje::CrearCaja(QWidget *padre, const QString &texto, const QString &titulo,
                                        QMessageBox::Icon icono, QMessageBox::StandardButtons botones,
                                        QMessageBox::StandardButton porDefecto)
{
    // Where No is the default it is also the safe answer, and Escape may
    // give it.
    QMessageBox *caja = botones == (QMessageBox::Yes | QMessageBox::No) && porDefecto != QMessageBox::No
                            ? new CajaSinEscape(icono, titulo, texto, botones, padre)
                            : new QMessageBox(icono, titulo, texto, botones, padre);
    caja->setDefaultButton(porDefecto);
    DarAnchoAlTitulo(*caja, titulo);
    return caja;
}

void CuadroDeMensaje::Advertir(QWidget *padre, const QString &texto)
{
    Preguntar(padre, texto, TituloPorDefecto(), QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok);
}

void CuadroDeMensaje::Avisar(QWidget *padre, const QString &texto, QMessageBox::Icon icono, const QString &titulo)
{
    if (Registrar({texto, titulo, icono, QMessageBox::Ok}))
        return;
    auto *caja = new QMessageBox(icono, titulo, texto, QMessageBox::Ok, padre);
    DarAnchoAlTitulo(*caja, titulo);
    caja->setAttribute(Qt::WA_DeleteOnClose);
    caja->setModal(false);
    caja->show();
}

void CuadroDeMensaje::ResponderCon(const QList<QMessageBox::StandardButton> &respuestas)
{
    auto &estado = Estado();
    estado.activo = true;
    estado.respuestas = respuestas;
}

QList<CuadroDeMensaje::Mostrado> CuadroDeMensaje::Mostrados()
{
    return Estado().mostrados;
}

void CuadroDeMensaje::OlvidarMostrados()
{
    Estado().mostrados.clear();
}
