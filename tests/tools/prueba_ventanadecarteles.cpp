#include "ventanadecarteles.h"

#include "encoding/codificador.h"
#include "ui/matrizdepuntos.h"

#include <QLabel>
#include <QTest>

using namespace Qt::StringLiterals;

class PruebaVentanaDeCarteles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void UnCartelPorDireccionYTodos();
};

void PruebaVentanaDeCarteles::UnCartelPorDireccionYTodos()
{
    VentanaDeCarteles ventana(u"com2"_s, 32, ColoresDeCartel[1].encendido);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana));
    QCOMPARE(ventana.windowTitle(), u"Cartel virtual"_s);

    const QByteArray aTres = CodificarTexto(u"[centra]Tres"_s);
    const QByteArray aTodos = CodificarTexto(u"[izq]¡Todos!"_s);
    ventana.MostrarMensaje(false, 12, CodificarTexto(u"Doce"_s));
    ventana.MostrarMensaje(false, 3, aTres);
    QVERIFY(ventana.Matriz(-1) == nullptr);
    QCOMPARE(ventana.Matriz(3)->Mensaje(), aTres);
    QCOMPARE(ventana.Matriz(3)->Columnas(), 32);
    QTRY_VERIFY(ventana.Matriz(3)->Animando());

    ventana.MostrarMensaje(true, 0, aTodos);
    for (const int direccion : {-1, 3, 12})
        QCOMPARE(ventana.Matriz(direccion)->Mensaje(), aTodos);

    // Captions in address order, "Todos" first, each above its sign.
    QTRY_VERIFY(ventana.Matriz(-1)->isVisible());
    QList<QLabel *> visibles = ventana.findChildren<QLabel *>();
    visibles.removeIf([](const QLabel *rotulo) { return !rotulo->isVisible(); });
    auto altura = [&ventana](const QWidget *w) { return w->mapTo(&ventana, QPoint()).y(); };
    std::sort(visibles.begin(), visibles.end(),
              [&altura](const QLabel *a, const QLabel *b) { return altura(a) < altura(b); });
    QStringList rotulos;
    for (const QLabel *rotulo : visibles)
        rotulos.append(rotulo->text());
    QCOMPARE(rotulos, (QStringList{u"Todos"_s, u"Cartel 3"_s, u"Cartel 12"_s}));
    QVERIFY(altura(ventana.Matriz(-1)) < altura(visibles.at(1)));
    QVERIFY(altura(visibles.at(1)) < altura(ventana.Matriz(3)));
}

QTEST_MAIN(PruebaVentanaDeCarteles)
#include "prueba_ventanadecarteles.moc"
