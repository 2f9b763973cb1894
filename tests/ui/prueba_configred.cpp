#include "controles.h"
#include "platform/cuadrodemensaje.h"
#include "ui/cartelnuevo.h"
#include "ui/configred.h"

#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPointer>
#include <QStringListModel>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QStringList tresCarteles{u"R560, Uno, 1"_s, u"R560, Dos, 2"_s, u"R560, Tres, Desconocida"_s};

} // namespace

class PruebaConfigRed : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void Quitar_data();
    void Quitar();
    void Confirmar_data();
    void Confirmar();
    void CierreAlTerminar();
    void AgregarReusaElDialogo();

private:
    QStringList Contenido() const { return m_configRed->Registro(); }
    int FilaElegida() const
    {
        const QModelIndexList elegidas =
            Control<QListView>(m_configRed, u"Carteles"_s)->selectionModel()->selectedRows();
        return elegidas.isEmpty() ? -1 : elegidas.first().row();
    }

    ConfigRed *m_configRed = nullptr;
    // Turns null if the list were destroyed instead of hidden.
    QPointer<ConfigRed> m_vigilado;
    // What the main window is asked for, in order.
    QStringList m_pedidos;
};

void PruebaConfigRed::initTestCase()
{
    CuadroDeMensaje::ResponderCon();
}

void PruebaConfigRed::init()
{
    m_pedidos.clear();
    m_configRed = new ConfigRed;
    m_vigilado = m_configRed;
    m_configRed->PonerRegistro(RegistroDeCarteles::DeRegistros(tresCarteles));
    connect(m_configRed, &ConfigRed::Confirmado, this, [this] { m_pedidos.append(u"confirmado"_s); });
    m_configRed->show();
}

void PruebaConfigRed::cleanup()
{
    delete m_vigilado;
    m_configRed = nullptr;
    QVERIFY(NingunaVentanaAbierta());
    QVERIFY(CuadroDeMensaje::Mostrados().isEmpty());
}

void PruebaConfigRed::Quitar_data()
{
    QTest::addColumn<int>("fila");
    QTest::addColumn<QStringList>("quedan");
    QTest::addColumn<QStringList>("pedidosEsperados");

    // The list is handed back even when nothing went: a sign just added is
    // in it, and the file written next must hold it.
    QTest::newRow("sin eleccion") << -1 << tresCarteles << QStringList{u"confirmado"_s};
    QTest::newRow("el primero") << 0 << QStringList{tresCarteles.at(1), tresCarteles.at(2)}
                                << QStringList{u"confirmado"_s};
    QTest::newRow("el ultimo") << 2 << QStringList{tresCarteles.at(0), tresCarteles.at(1)}
                               << QStringList{u"confirmado"_s};
}

// Quitar always hands the list back and saves it.
void PruebaConfigRed::Quitar()
{
    QFETCH(int, fila);
    QFETCH(QStringList, quedan);
    QFETCH(QStringList, pedidosEsperados);

    if (fila >= 0)
        ElegirFila(Control<QListView>(m_configRed, u"Carteles"_s), fila);
    QCOMPARE(FilaElegida(), fila);
    Pulsar(m_configRed, u"Quitar"_s);

    QCOMPARE(Contenido(), quedan);
    QCOMPARE(m_pedidos, pedidosEsperados);
    QVERIFY(m_configRed->isVisible());

    // Nothing stays selected, so a second Quitar removes nothing, and saves.
    QCOMPARE(FilaElegida(), -1);
    m_pedidos.clear();
    Pulsar(m_configRed, u"Quitar"_s);
    QCOMPARE(Contenido(), quedan);
    QCOMPARE(m_pedidos, (QStringList{u"confirmado"_s}));
}

void PruebaConfigRed::Confirmar_data()
{
    QTest::addColumn<QString>("manera");
    QTest::newRow("O.K.") << u"Aceptar"_s;
    QTest::newRow("casilla de cierre") << u"#cerrar"_s;
    QTest::newRow("Escape") << u"#escape"_s;
}

// O.K. and every way of closing hide the list, rebuild the menus and then
// save; the list survives with its contents and selection.
void PruebaConfigRed::Confirmar()
{
    QFETCH(QString, manera);

    ElegirFila(Control<QListView>(m_configRed, u"Carteles"_s), 1);
    if (manera == u"#cerrar"_s)
        QVERIFY(!m_configRed->close());
    else if (manera == u"#escape"_s)
        QTest::keyClick(m_configRed, Qt::Key_Escape);
    else
        Pulsar(m_configRed, manera);

    QVERIFY(!m_configRed->isVisible());
    QCOMPARE(m_pedidos, (QStringList{u"confirmado"_s}));
    QTest::qWait(0);
    QVERIFY(!m_vigilado.isNull());

    m_configRed->show();
    QCOMPARE(Contenido(), tresCarteles);
    QCOMPARE(FilaElegida(), 1);
}

// At shutdown the main window lets the close go through: no confirmation,
// no save.
void PruebaConfigRed::CierreAlTerminar()
{
    m_configRed->PermitirCierre();
    QVERIFY(m_configRed->close());
    QVERIFY(!m_configRed->isVisible());
    QVERIFY(m_pedidos.isEmpty());
}

// A second Agregar brings back the open dialog with what was typed; once it
// is closed, the next one starts empty. What it adds goes to the bottom of
// the list, and the file and the menus wait for O.K.
void PruebaConfigRed::AgregarReusaElDialogo()
{
    Pulsar(m_configRed, u"Agregar"_s);
    const QList<CartelNuevo *> abiertos = m_configRed->findChildren<CartelNuevo *>();
    QCOMPARE(abiertos.size(), 1);
    QPointer<CartelNuevo> primero = abiertos.first();
    QVERIFY(primero->isVisible());
    QTest::keyClicks(Control<QLineEdit>(primero, u"Nombre"_s), u"Sa"_s);

    Pulsar(m_configRed, u"Agregar"_s);
    QCOMPARE(m_configRed->findChildren<CartelNuevo *>(), QList<CartelNuevo *>{primero.data()});
    QCOMPARE(Control<QLineEdit>(primero, u"Nombre"_s)->text(), u"Sa"_s);

    Pulsar(primero, u"Cancelar"_s);
    QTRY_VERIFY(primero.isNull());
    Pulsar(m_configRed, u"Agregar"_s);
    const QList<CartelNuevo *> nuevos = m_configRed->findChildren<CartelNuevo *>();
    QCOMPARE(nuevos.size(), 1);
    QPointer<CartelNuevo> segundo = nuevos.first();
    QVERIFY(Control<QLineEdit>(segundo, u"Nombre"_s)->text().isEmpty());

    QTest::keyClicks(Control<QLineEdit>(segundo, u"Nombre"_s), u"Sala"_s);
    Control<QListWidget>(segundo, u"Direccion"_s)->setCurrentRow(5);
    Pulsar(segundo, u"Aceptar"_s);
    QTRY_VERIFY(segundo.isNull());
    QCOMPARE(Contenido(), tresCarteles + QStringList{u"R560, Sala, 5"_s});
    QVERIFY(m_pedidos.isEmpty());
}

QTEST_MAIN(PruebaConfigRed)
#include "prueba_configred.moc"
