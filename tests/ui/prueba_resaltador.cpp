#include "ui/cajadetexto.h"
#include "ui/resaltadordeetiquetas.h"

#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>

using namespace Qt::StringLiterals;

namespace {
// One letter per character of the first block: 'e' drawn as a tag, 'p'
// underlined as lost, '.' plain.
QString Marcas(const QPlainTextEdit &texto)
{
    const QTextBlock bloque = texto.document()->firstBlock();
    QString marcas(bloque.length() - 1, u'.');
    for (const QTextLayout::FormatRange &rango : bloque.layout()->formats()) {
        const QChar letra = rango.format.fontWeight() == QFont::Bold ? u'e'
                            : rango.format.underlineStyle() == QTextCharFormat::WaveUnderline ? u'p'
                                                                                               : u'?';
        for (int i = rango.start; i < rango.start + rango.length; ++i)
            marcas[i] = letra;
    }
    return marcas;
}
} // namespace

class PruebaResaltador : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void marcas_data();
    void marcas();
    void soloDibuja();
    void pistaSobreUnPerdido();
    void perdidoSinAnchoSeVe_data();
    void perdidoSinAnchoSeVe();
};

void PruebaResaltador::marcas_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("marcas");

    QTest::newRow("dos etiquetas") << u"[titila]HOLA[no titila]"_s << u"eeeeeeee....eeeeeeeeeee"_s;
    QTest::newRow("todas") << u"[normal][exp][v0][v1][v2][pausa][centra][sube][baja][izq][esp seg]"_s
                           << QString(66, u'e');
    // Spelled otherwise, it is text the sign shows as it stands.
    QTest::newRow("mayúscula") << u"[Titila]"_s << u"........"_s;
    QTest::newRow("dos blancos") << u"[no  titila]"_s << u"............"_s;
    QTest::newRow("cortada al final") << u"abc[sub"_s << u"......."_s;
    QTest::newRow("corchete antes") << u"[[v0]"_s << u".eeee"_s;
    QTest::newRow("sustitutos") << u"áéíóúñÑº¿¡"_s << u".........."_s;
    QTest::newRow("perdidos") << u"Á°€Ω\u00A0ü"_s << u"pppppp"_s;
    QTest::newRow("mezcla") << u"Ñandú [sube]ÁRBOL"_s << u"......eeeeeep...."_s;
    // A character dropped between brackets leaves text, not a tag.
    QTest::newRow("perdido en una etiqueta") << u"[\u0080exp]"_s << u".p...."_s;
    // Shift+Enter: a line break on the sign, nothing lost.
    QTest::newRow("salto con mayúsculas") << u"AB\u2028CD"_s << u"....."_s;
}

void PruebaResaltador::marcas()
{
    QFETCH(QString, texto);
    QFETCH(QString, marcas);

    QPlainTextEdit caja;
    new ResaltadorDeEtiquetas(caja);
    caja.setPlainText(texto);
    QCOMPARE(Marcas(caja), marcas);
}

// Marking changes no text and no undo step, and once created it reports no
// change of its own later: an editor would take that for the operator's.
void PruebaResaltador::soloDibuja()
{
    QPlainTextEdit caja;
    caja.setPlainText(u"[titila]Ω"_s);
    caja.document()->setModified(false);
    const int pasos = caja.document()->availableUndoSteps();
    new ResaltadorDeEtiquetas(caja);
    int cambios = 0;
    connect(&caja, &QPlainTextEdit::textChanged, this, [&cambios] { ++cambios; });
    QTest::qWait(20);
    QCOMPARE(Marcas(caja), u"eeeeeeeep"_s);
    QCOMPARE(cambios, 0);
    QVERIFY(!caja.document()->isModified());
    QCOMPARE(caja.document()->availableUndoSteps(), pasos);
    QCOMPARE(caja.document()->toRawText(), u"[titila]Ω"_s);
}

void PruebaResaltador::pistaSobreUnPerdido()
{
    QPlainTextEdit caja;
    new ResaltadorDeEtiquetas(caja);
    caja.setPlainText(u"ABΩCD"_s);
    caja.resize(300, 100);
    caja.show();
    QVERIFY(QTest::qWaitForWindowExposed(&caja));

    auto medio = [&caja](int posicion) {
        QTextCursor a(caja.document());
        a.setPosition(posicion);
        QTextCursor b(caja.document());
        b.setPosition(posicion + 1);
        const QRect izquierda = caja.cursorRect(a);
        return QPoint((izquierda.left() + caja.cursorRect(b).left()) / 2, izquierda.center().y());
    };
    QHelpEvent sobreOmega(QEvent::ToolTip, medio(2), caja.viewport()->mapToGlobal(medio(2)));
    QApplication::sendEvent(caja.viewport(), &sobreOmega);
    QTRY_COMPARE(QToolTip::text(), ResaltadorDeEtiquetas::DescribirPerdido(u'Ω'));
    QVERIFY(QToolTip::text().contains(u"U+03A9"_s));

    QHelpEvent sobreB(QEvent::ToolTip, medio(1), caja.viewport()->mapToGlobal(medio(1)));
    QApplication::sendEvent(caja.viewport(), &sobreB);
    QTRY_VERIFY(QToolTip::text().isEmpty());
}

void PruebaResaltador::perdidoSinAnchoSeVe_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("marca");
    QTest::newRow("sin nada invisible") << u"ab"_s << false;
    QTest::newRow("guion suave") << u"a\u00ADb"_s << true;
    QTest::newRow("espacio de ancho cero") << u"a\u200Bb"_s << true;
    QTest::newRow("marca de orden de bytes") << u"a\uFEFFb"_s << true;
}

// A lost character that takes no room still shows where it is.
void PruebaResaltador::perdidoSinAnchoSeVe()
{
    QFETCH(QString, texto);
    QFETCH(bool, marca);
    CajaDeTexto caja;
    caja.resize(200, 60);
    caja.setPlainText(texto);
    caja.show();
    QVERIFY(QTest::qWaitForWindowExposed(&caja));
    const QImage imagen = caja.viewport()->grab().toImage();
    bool rojo = false;
    for (int y = 0; y < imagen.height() && !rojo; ++y) {
        for (int x = 0; x < imagen.width() && !rojo; ++x)
            rojo = imagen.pixelColor(x, y) == QColor(220, 0, 0);
    }
    QCOMPARE(rojo, marca);
}

QTEST_MAIN(PruebaResaltador)
#include "prueba_resaltador.moc"
