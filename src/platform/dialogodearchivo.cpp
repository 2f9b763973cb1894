#include "dialogodearchivo.h"

#include <QFileDialog>
#include <QRegularExpression>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
struct EstadoDePrueba
{
    bool activo = false;
    QStringList rutas;
    QList<DialogoDeArchivo::Pedido> pedidos;
};

// The patterns in a caption's last parentheses: "Texto (*.txt)" gives "*.txt".
const QRegularExpression &PatronesDeFiltro()
{
    static const QRegularExpression patrones(u"\\(([^()]*)\\)\\s*$"_s);
    return patrones;
}

EstadoDePrueba &Estado()
{
    static EstadoDePrueba estado;
    return estado;
}
} // namespace

QString DialogoDeArchivo::Abrir(QWidget *padre, const Pedido &pedido)
{
    return Mostrar(padre, pedido, false);
}

QString DialogoDeArchivo::Guardar(QWidget *padre, const Pedido &pedido)
{
    return Mostrar(padre, pedido, true);
}

QString DialogoDeArchivo::Mostrar(QWidget *padre, const Pedido &pedido, bool guardar)
{
    auto &estado = Estado();
    if (estado.activo) {
        estado.pedidos.append(pedido);
        return estado.rutas.isEmpty() ? QString() : estado.rutas.takeFirst();
    }

    std::unique_ptr<QFileDialog> dialogo(CrearDialogo(padre, pedido, guardar));
    if (dialogo->exec() != QDialog::Accepted || dialogo->selectedFiles().isEmpty())
        return {};
    return dialogo->selectedFiles().constFirst();
}

QFileDialog *DialogoDeArchivo::CrearDialogo(QWidget *padre, const Pedido &pedido, bool guardar)
{
    auto *dialogo = new QFileDialog(padre, pedido.titulo);
    // The dialog takes a filter's patterns from its last parentheses and,
    // with the details hidden, shows what stands before them: the caption
    // as given, over patterns of our own.
    QStringList filtros;
    for (const QString &titulo : pedido.filtros) {
        const auto coincidencia = PatronesDeFiltro().match(titulo);
        QString patrones = coincidencia.hasMatch() ? coincidencia.captured(1) : u"*"_s;
        patrones.replace(u"*.*"_s, u"*"_s);
        filtros.append(titulo + u" ("_s + patrones + u')');
    }
    dialogo->setOption(QFileDialog::HideNameFilterDetails);
    dialogo->setNameFilters(filtros);
    if (pedido.filtroElegido >= 0 && pedido.filtroElegido < filtros.size())
        dialogo->selectNameFilter(filtros.at(pedido.filtroElegido));
    dialogo->setDefaultSuffix(pedido.extension);
    if (guardar) {
        dialogo->setAcceptMode(QFileDialog::AcceptSave);
        dialogo->setFileMode(QFileDialog::AnyFile);
        dialogo->setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialogo->setAcceptMode(QFileDialog::AcceptOpen);
        dialogo->setFileMode(QFileDialog::ExistingFile);
    }
    if (!pedido.nombre.isEmpty())
        dialogo->selectFile(pedido.nombre);
    return dialogo;
}

void DialogoDeArchivo::ResponderCon(const QStringList &rutas)
{
    auto &estado = Estado();
    estado.activo = true;
    estado.rutas = rutas;
}

QList<DialogoDeArchivo::Pedido> DialogoDeArchivo::Pedidos()
{
    return Estado().pedidos;
}

void DialogoDeArchivo::OlvidarPedidos()
{
    Estado().pedidos.clear();
}
