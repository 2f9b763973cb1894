#include "controles.h"
#include "platform/cuadrodemensaje.h"
#include "ui/cartelnuevo.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QStringListModel>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList Elegidos(const QListWidget *lista)
{
    QStringList textos;
    for (const QListWidgetItem *elemento : lista->selectedItems())
        textos.append(elemento->text());
    return textos;
}

} // namespace

class PruebaCartelNuevo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void EstadoInicial();
    void Agregar_data();
    void Agregar();
    void SiempreHayUnoElegido_data();
    void SiempreHayUnoElegido();
    void Descartar_data();
    void Descartar();

private:
    // The records the dialog handed on, in order.
    QStringList m_agregados;
    QStringListModel m_registro{QStringList{u"R560, Kiosco, 3"_s}};
    QPointer<CartelNuevo> m_dialogo;
};

void PruebaCartelNuevo::initTestCase()
{
    CuadroDeMensaje::ResponderCon();
}

void PruebaCartelNuevo::init()
{
    m_agregados.clear();
    m_dialogo = new CartelNuevo(&m_registro);
    connect(m_dialogo, &QDialog::accepted, this, [this] { m_agregados.append(m_dialogo->Nuevo()); });
    m_dialogo->show();
}

void PruebaCartelNuevo::cleanup()
{
    delete m_dialogo;
    CuadroDeMensaje::OlvidarMostrados();
    QVERIFY(NingunaVentanaAbierta());
}

void PruebaCartelNuevo::EstadoInicial()
{
    QCOMPARE(m_dialogo->windowTitle(), u"Datos de un cartel nuevo"_s);
    auto *nombre = Control<QLineEdit>(m_dialogo, u"Nombre"_s);
    QVERIFY(nombre->text().isEmpty());
    QVERIFY(QTest::qWaitForWindowActive(m_dialogo));
    QCOMPARE(QApplication::focusWidget(), nombre);

    auto *modelo = Control<QListWidget>(m_dialogo, u"Modelo"_s);
    QCOMPARE(modelo->count(), 1);
    QCOMPARE(Elegidos(modelo), QStringList{u"R560"_s});

    auto *direccion = Control<QListWidget>(m_dialogo, u"Direccion"_s);
    QStringList direcciones{u"Desconocida"_s};
    for (int i = 1; i <= 36; ++i)
        direcciones.append(QString::number(i));
    QCOMPARE(direccion->model()->rowCount(), direcciones.size());
    for (int i = 0; i < direcciones.size(); ++i)
        QCOMPARE(direccion->item(i)->text(), direcciones.at(i));
    QCOMPARE(Elegidos(direccion), QStringList{u"Desconocida"_s});
}

void PruebaCartelNuevo::Agregar_data()
{
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<int>("filaDeDireccion");
    QTest::addColumn<QString>("agregado");
    QTest::addColumn<QString>("motivo"); // in the one message shown; empty: none

    QTest::newRow("Sala en 5") << u"Sala"_s << 5 << u"R560, Sala, 5"_s << QString();
    QTest::newRow("ultima direccion") << u"Patio"_s << 36 << u"R560, Patio, 36"_s << QString();
    QTest::newRow("un blanco") << u" "_s << 0 << u"R560,  , Desconocida"_s << QString();
    QTest::newRow("blancos sin recortar") << u"  Hall  "_s << 2 << u"R560,   Hall  , 2"_s << QString();
    QTest::newRow("letras del cartel") << u"Señora ¿Año?"_s << 1 << u"R560, Señora ¿Año?, 1"_s << QString();
    QTest::newRow("nombre vacio") << QString() << 5 << QString() << QString();
    QTest::newRow("nombre con coma") << u"Sala, 2"_s << 5 << QString() << u"coma"_s;
    QTest::newRow("solo una coma") << u","_s << 0 << QString() << u"coma"_s;
    QTest::newRow("salto de linea") << u"Sala\nPatio"_s << 5 << QString() << u"saltos de línea"_s;
    QTest::newRow("retorno") << u"Sala\r"_s << 5 << QString() << u"saltos de línea"_s;
    QTest::newRow("tabulacion") << u"Sa\tla"_s << 5 << QString() << u"control"_s;
    QTest::newRow("separador de linea") << u"Sala\u2028"_s << 5 << QString() << u"saltos de línea"_s;
    QTest::newRow("fuera de la pagina") << u"Sala Ω"_s << 5 << QString() << u"Ω"_s;
    QTest::newRow("punto y coma") << u"Norte;Sur"_s << 5 << QString() << u"\";\""_s;
    QTest::newRow("nombre de otro cartel") << u" Kiosco "_s << 5 << QString() << u"Ya hay un cartel"_s;
}

// O.K. appends the record at the end of the registry and closes; a refused
// name leaves the registry and the dialog as they were.
void PruebaCartelNuevo::Agregar()
{
    QFETCH(QString, nombre);
    QFETCH(int, filaDeDireccion);
    QFETCH(QString, agregado);
    QFETCH(QString, motivo);

    // Pasted: typing cannot put a line break into a one-line field.
    Control<QLineEdit>(m_dialogo, u"Nombre"_s)->setText(nombre);
    ElegirFila(Control<QListWidget>(m_dialogo, u"Direccion"_s), filaDeDireccion);
    Pulsar(m_dialogo, u"Aceptar"_s);

    QCOMPARE(m_agregados, agregado.isEmpty() ? QStringList() : QStringList{agregado});

    const auto mostrados = CuadroDeMensaje::Mostrados();
    QCOMPARE(mostrados.size(), motivo.isEmpty() ? 0 : 1);
    for (const auto &m : mostrados) {
        QVERIFY2(m.texto.contains(motivo), qPrintable(m.texto));
        QCOMPARE(m.icono, QMessageBox::Warning);
        QCOMPARE(m.titulo, CuadroDeMensaje::TituloPorDefecto());
    }

    if (agregado.isEmpty()) {
        QTest::qWait(0);
        QVERIFY(!m_dialogo.isNull());
        QVERIFY(m_dialogo->isVisible());
        QCOMPARE(Control<QLineEdit>(m_dialogo, u"Nombre"_s)->text(), nombre);
    } else {
        QTRY_VERIFY(m_dialogo.isNull());
    }
}

// Ctrl+click on the chosen item must not leave a list without a choice: the
// record would get an empty model or address.
void PruebaCartelNuevo::SiempreHayUnoElegido_data()
{
    QTest::addColumn<QString>("lista");
    QTest::addColumn<int>("fila");
    QTest::addColumn<QString>("agregado");
    QTest::newRow("modelo") << u"Modelo"_s << 0 << u"R560, Sala, Desconocida"_s;
    QTest::newRow("direccion inicial") << u"Direccion"_s << 0 << u"R560, Sala, Desconocida"_s;
    QTest::newRow("direccion elegida") << u"Direccion"_s << 7 << u"R560, Sala, 7"_s;
}

void PruebaCartelNuevo::SiempreHayUnoElegido()
{
    QFETCH(QString, lista);
    QFETCH(int, fila);
    QFETCH(QString, agregado);

    auto *control = Control<QListWidget>(m_dialogo, lista);
    ElegirFila(control, fila);
    const QRect rectangulo = control->visualItemRect(control->item(fila));
    QTest::mouseClick(control->viewport(), Qt::LeftButton, Qt::ControlModifier, rectangulo.center());
    QCOMPARE(Elegidos(control), QStringList{control->item(fila)->text()});

    Control<QLineEdit>(m_dialogo, u"Nombre"_s)->setText(u"Sala"_s);
    Pulsar(m_dialogo, u"Aceptar"_s);
    QCOMPARE(m_agregados, QStringList{agregado});
}

void PruebaCartelNuevo::Descartar_data()
{
    QTest::addColumn<bool>("conCasilla");
    QTest::newRow("Cancelar") << false;
    QTest::newRow("casilla de cierre") << true;
}

void PruebaCartelNuevo::Descartar()
{
    QFETCH(bool, conCasilla);
    QTest::keyClicks(Control<QLineEdit>(m_dialogo, u"Nombre"_s), u"Sala"_s);
    if (conCasilla)
        m_dialogo->close();
    else
        Pulsar(m_dialogo, u"Cancelar"_s);
    QTRY_VERIFY(m_dialogo.isNull());
    QVERIFY(m_agregados.isEmpty());
}

QTEST_MAIN(PruebaCartelNuevo)
#include "prueba_cartelnuevo.moc"
