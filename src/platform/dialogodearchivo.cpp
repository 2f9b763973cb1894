#include "dialogodearchivo.h"

#include <QFileDialog>

namespace {
struct EstadoDePrueba
{
    bool activo = false;
    QStringList rutas;
    QList<DialogoDeArchivo::Pedido> pedidos;
};

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

    QFileDialog dialogo(padre, pedido.titulo);
    dialogo.setNameFilters(pedido.filtros);
    if (pedido.filtroElegido >= 0 && pedido.filtroElegido < pedido.filtros.size())
        dialogo.selectNameFilter(pedido.filtros.at(pedido.filtroElegido));
    dialogo.setDefaultSuffix(pedido.extension);
    if (guardar) {
        dialogo.setAcceptMode(QFileDialog::AcceptSave);
        dialogo.setFileMode(QFileDialog::AnyFile);
        dialogo.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialogo.setAcceptMode(QFileDialog::AcceptOpen);
        dialogo.setFileMode(QFileDialog::ExistingFile);
    }
    if (!pedido.nombre.isEmpty())
        dialogo.selectFile(pedido.nombre);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return {};
    return dialogo.selectedFiles().constFirst();
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
