#include "platform/cuadrodemensaje.h"

#include <QAbstractButton>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class PruebaCuadroDeMensaje : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void soloLosBotonesResponden_data();
    void soloLosBotonesResponden();
    void cabeElTitulo();
};

void PruebaCuadroDeMensaje::soloLosBotonesResponden_data()
{
    QTest::addColumn<QMessageBox::StandardButtons>("botones");
    QTest::addColumn<QMessageBox::StandardButton>("porDefecto");
    QTest::addColumn<bool>("escapeResponde");
    QTest::addColumn<QMessageBox::StandardButton>("respuestaDeEscape");

    // Where No throws a text away, only a click on a button may answer.
    QTest::newRow("sí o no") << QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No) << QMessageBox::Yes
                             << false << QMessageBox::NoButton;
    // Where No keeps things as they are, Escape may say it.
    QTest::newRow("sí o no, por defecto no")
        << QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No) << QMessageBox::No << true
        << QMessageBox::No;
    QTest::newRow("aceptar o cancelar")
        << QMessageBox::StandardButtons(QMessageBox::Ok | QMessageBox::Cancel) << QMessageBox::Ok << true
        << QMessageBox::Cancel;
    QTest::newRow("solo aceptar") << QMessageBox::StandardButtons(QMessageBox::Ok) << QMessageBox::Ok << true
                                  << QMessageBox::Ok;
}

void PruebaCuadroDeMensaje::soloLosBotonesResponden()
{
    QFETCH(QMessageBox::StandardButtons, botones);
    QFETCH(QMessageBox::StandardButton, porDefecto);
    QFETCH(bool, escapeResponde);
    QFETCH(QMessageBox::StandardButton, respuestaDeEscape);

    std::unique_ptr<QMessageBox> caja(CuadroDeMensaje::CrearCaja(
        nullptr, u"¿Desea guardar los cambios en Texto sin título: 1 antes de salir?"_s, u"Guardar Cambios"_s,
        QMessageBox::NoIcon, botones, porDefecto));
    caja->show();
    QVERIFY(QTest::qWaitForWindowExposed(caja.get()));

    QTest::keyClick(caja.get(), Qt::Key_Escape);
    if (escapeResponde) {
        QTRY_VERIFY(!caja->isVisible());
        QCOMPARE(caja->standardButton(caja->clickedButton()), respuestaDeEscape);
        return;
    }
    QTest::qWait(10);
    QVERIFY(caja->isVisible());
    QVERIFY(!caja->clickedButton());

    // The window manager's close button.
    QVERIFY(!caja->close());
    QVERIFY(caja->isVisible());

    QTest::mouseClick(caja->button(QMessageBox::No), Qt::LeftButton);
    QTRY_VERIFY(!caja->isVisible());
    QCOMPARE(caja->standardButton(caja->clickedButton()), QMessageBox::No);
}

// A window manager cuts a title that does not fit beside its buttons
// ("Cons… itud"): the box is at least as wide as its title in bold, with
// room for three title-bar buttons of a line's height each.
void PruebaCuadroDeMensaje::cabeElTitulo()
{
    const QString titulo = u"Mostrar las Direcciones"_s;
    std::unique_ptr<QMessageBox> caja(CuadroDeMensaje::CrearCaja(nullptr, u"Longitud: 0 bytes"_s, titulo,
                                                                 QMessageBox::Information, QMessageBox::Ok,
                                                                 QMessageBox::Ok));
    caja->show();
    QVERIFY(QTest::qWaitForWindowExposed(caja.get()));
    QFont negrita = caja->font();
    negrita.setBold(true);
    const QFontMetrics medidas(negrita);
    const int necesario = medidas.horizontalAdvance(titulo) + 3 * 2 * medidas.height();
    QVERIFY2(caja->width() >= necesario, qPrintable(u"%1 < %2"_s.arg(caja->width()).arg(necesario)));
}

QTEST_MAIN(PruebaCuadroDeMensaje)
#include "prueba_cuadrodemensaje.moc"
