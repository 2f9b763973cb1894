#include "platform/dialogodearchivo.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
// The names the dialog lists for the folder it shows.
QStringList Listados(QFileDialog &dialogo)
{
    auto *lista = dialogo.findChild<QAbstractItemView *>(u"listView"_s);
    if (!lista)
        return {};
    QStringList nombres;
    const QModelIndex raiz = lista->rootIndex();
    for (int fila = 0; fila < lista->model()->rowCount(raiz); ++fila)
        nombres.append(lista->model()->index(fila, 0, raiz).data().toString());
    nombres.sort();
    return nombres;
}
} // namespace

class PruebaDialogoDeArchivo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void filtrosMuestranLoQueDicen_data();
    void filtrosMuestranLoQueDicen();
};

void PruebaDialogoDeArchivo::filtrosMuestranLoQueDicen_data()
{
    QTest::addColumn<int>("filtro");
    QTest::addColumn<QStringList>("listados");

    QTest::newRow("todos los archivos") << 0 << QStringList{u"LEAME"_s, u"aviso.txt"_s, u"foto.png"_s};
    QTest::newRow("archivos de texto") << 1 << QStringList{u"aviso.txt"_s};
}

void PruebaDialogoDeArchivo::filtrosMuestranLoQueDicen()
{
    QFETCH(int, filtro);
    QFETCH(QStringList, listados);

    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    for (const QString &nombre : {u"LEAME"_s, u"aviso.txt"_s, u"foto.png"_s}) {
        QFile archivo(carpeta.filePath(nombre));
        QVERIFY(archivo.open(QIODevice::WriteOnly));
    }

    DialogoDeArchivo::Pedido pedido;
    pedido.titulo = u"Abrir Un Texto"_s;
    const QStringList titulos = {u"Todos los archivos (*.*)"_s, u"Archivos de texto (*.txt)"_s};
    pedido.filtros = titulos;
    pedido.filtroElegido = filtro;
    std::unique_ptr<QFileDialog> dialogo(DialogoDeArchivo::CrearDialogo(nullptr, pedido, false));
    dialogo->setOption(QFileDialog::DontUseNativeDialog);
    dialogo->setDirectory(carpeta.path());
    dialogo->show();

    // What the operator reads is the caption exactly.
    auto *tipos = dialogo->findChild<QComboBox *>(u"fileTypeCombo"_s);
    QVERIFY(tipos);
    QStringList mostrados;
    for (int i = 0; i < tipos->count(); ++i)
        mostrados.append(tipos->itemText(i));
    QCOMPARE(mostrados, titulos);
    QCOMPARE(tipos->currentText(), titulos.at(filtro));

    QTRY_COMPARE(Listados(*dialogo), listados);
}

QTEST_MAIN(PruebaDialogoDeArchivo)
#include "prueba_dialogodearchivo.moc"
