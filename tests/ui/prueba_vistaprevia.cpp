#include "encoding/codificador.h"
#include "ui/matrizdepuntos.h"
#include "ui/vistaprevia.h"

#include <QComboBox>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class PruebaVistaPrevia : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void TecleaMiraElijeYSeOculta();

private:
    QTemporaryDir m_ajustes;
};

void PruebaVistaPrevia::initTestCase()
{
    QVERIFY(m_ajustes.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_ajustes.path());
}

void PruebaVistaPrevia::TecleaMiraElijeYSeOculta()
{
    VistaPrevia vista;
    vista.resize(700, 120);
    vista.show();
    QVERIFY(QTest::qWaitForWindowExposed(&vista));
    MatrizDePuntos &matriz = vista.Matriz();
    QVERIFY(matriz.Animando());

    // A burst of keystrokes is encoded once, the last text, soon after.
    vista.PonerTexto(u"[centra]HO"_s);
    vista.PonerTexto(u"[centra]HOLA ñ"_s);
    QVERIFY(matriz.Mensaje().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(matriz.Mensaje(), CodificarTexto(u"[centra]HOLA ñ"_s), 1000);

    const QRgb ambar = ColoresDeCartel[0].encendido;
    const QImage vistaDelCartel = matriz.grab().toImage().convertToFormat(QImage::Format_RGB32);
    qsizetype encendidos = 0;
    for (int y = 0; y < vistaDelCartel.height(); ++y) {
        for (int x = 0; x < vistaDelCartel.width(); ++x)
            encendidos += vistaDelCartel.pixel(x, y) == ambar;
    }
    QVERIFY(encendidos > 0);

    auto *ancho = vista.findChild<QComboBox *>(u"anchoDeLaVista"_s);
    auto *color = vista.findChild<QComboBox *>(u"colorDeLaVista"_s);
    QVERIFY(ancho && color);
    ancho->setCurrentIndex(ancho->findData(32));
    color->setCurrentIndex(color->findText(u"verde"_s));
    QCOMPARE(matriz.Columnas(), 32);
    {
        VistaPrevia otra;
        QCOMPARE(otra.Matriz().Columnas(), 32);
        QCOMPARE(otra.findChild<QComboBox *>(u"colorDeLaVista"_s)->currentText(), u"verde"_s);
    }

    vista.hide();
    QVERIFY(!matriz.Animando());
    vista.show();
    QVERIFY(matriz.Animando());
    vista.showMinimized();
    QTRY_VERIFY(!matriz.Animando());
}

QTEST_MAIN(PruebaVistaPrevia)
#include "prueba_vistaprevia.moc"
