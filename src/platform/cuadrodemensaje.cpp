#include "cuadrodemensaje.h"

#include "platform/cajasinescape.h"

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
