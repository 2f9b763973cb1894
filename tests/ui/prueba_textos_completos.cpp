#include "controles.h"
#include "escenario.h"
#include "ui/cartelnuevo.h"
#include "ui/configred.h"
#include "ui/configserie.h"
#include "ui/dialogodeenvio.h"
#include "ui/editordetexto.h"
#include "ui/fuentes.h"
#include "ui/medidas.h"
#include "ui/principal.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// The caption as drawn: "&" marks an access key and takes no room.
QString Dibujado(QString texto)
{
    texto.replace(u"&&"_s, u"\x01"_s);
    texto.remove(u'&');
    texto.replace(u'\x01', u'&');
    return texto;
}

QString Nombre(const QWidget *control)
{
    return control->objectName().isEmpty() ? QString::fromLatin1(control->metaObject()->className())
                                           : control->objectName();
}

// Every caption of `ventana` that its control does not hold whole, as
// "control: needs WxH, has WxH"; measured with the control's own font, the
// way the style draws it.
QStringList Recortados(QWidget *ventana)
{
    QStringList recortados;
    const auto faltaLugar = [&recortados](const QWidget *control, const QString &texto, QSize necesita) {
        const QSize tiene = control->contentsRect().size();
        if (necesita.width() > tiene.width() || necesita.height() > tiene.height())
            recortados.append(u"%1 «%2»: necesita %3x%4, tiene %5x%6"_s.arg(Nombre(control), texto)
                                  .arg(necesita.width())
                                  .arg(necesita.height())
                                  .arg(tiene.width())
                                  .arg(tiene.height()));
    };

    const auto controles = ventana->findChildren<QWidget *>();
    for (QWidget *control : controles) {
        if (!control->isVisibleTo(ventana))
            continue;
        const QFontMetrics medidas(control->font());
        const QStyle *estilo = control->style();
        if (auto *opcion = qobject_cast<QRadioButton *>(control)) {
            const QString texto = Dibujado(opcion->text());
            const int indicador = estilo->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, control);
            const int separacion = estilo->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, control);
            const int alto = estilo->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, control);
            faltaLugar(control, texto,
                       {indicador + separacion + medidas.horizontalAdvance(texto), qMax(alto, medidas.height())});
        } else if (auto *casilla = qobject_cast<QCheckBox *>(control)) {
            const QString texto = Dibujado(casilla->text());
            const int indicador = estilo->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, control);
            const int separacion = estilo->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, control);
            const int alto = estilo->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, control);
            faltaLugar(control, texto,
                       {indicador + separacion + medidas.horizontalAdvance(texto), qMax(alto, medidas.height())});
        } else if (auto *boton = qobject_cast<QPushButton *>(control)) {
            const QString texto = Dibujado(boton->text());
            const int marco = estilo->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, control);
            faltaLugar(control, texto, {medidas.horizontalAdvance(texto) + 2 * marco, medidas.height()});
        } else if (auto *etiqueta = qobject_cast<QLabel *>(control)) {
            if (!etiqueta->text().isEmpty())
                faltaLugar(control, etiqueta->text(), medidas.size(0, etiqueta->text()));
        } else if (auto *marco = qobject_cast<QGroupBox *>(control)) {
            const QString titulo = Dibujado(marco->title());
            faltaLugar(control, titulo, {medidas.horizontalAdvance(titulo) + 2 * medidas.averageCharWidth(),
                                         medidas.height()});
            // What lies over the frame stays inside the line the style
            // draws for it, clear of the title.
            QStyleOptionGroupBox opciones;
            opciones.initFrom(marco);
            opciones.text = marco->title();
            opciones.lineWidth = 1;
            opciones.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            const QRect linea = estilo->subControlRect(QStyle::CC_GroupBox, &opciones, QStyle::SC_GroupBoxFrame, marco)
                                    .translated(marco->mapTo(ventana, QPoint(0, 0)));
            for (QWidget *otro : controles) {
                if (otro == marco || !otro->isVisibleTo(ventana) || !qobject_cast<QAbstractButton *>(otro))
                    continue;
                const QRect rectangulo(otro->mapTo(ventana, QPoint(0, 0)), otro->size());
                if (linea.contains(rectangulo.center()) && !linea.adjusted(1, 1, -1, -1).contains(rectangulo))
                    recortados.append(u"%1 pisa el marco de %2"_s.arg(Nombre(otro), Nombre(marco)));
            }
        } else if (auto *lista = qobject_cast<QAbstractItemView *>(control)) {
            if (lista->horizontalScrollBar()->maximum() > 0)
                recortados.append(u"%1 necesita una barra horizontal"_s.arg(Nombre(control)));
        }
    }
    return recortados;
}

bool Mostrada(QWidget *ventana)
{
    ventana->show();
    return QTest::qWaitForWindowExposed(ventana);
}
} // namespace

class PruebaTextosCompletos : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QVERIFY(NingunaVentanaAbierta()); }
    void ventanas_data();
    void ventanas();
};

void PruebaTextosCompletos::ventanas_data()
{
    QTest::addColumn<QString>("ventana");
    for (const char *nombre : {"editor", "envio", "interfase", "carteles", "cartel nuevo"})
        QTest::newRow(nombre) << QString::fromLatin1(nombre);
}

void PruebaTextosCompletos::ventanas()
{
    QFETCH(QString, ventana);

    Escenario escenario;
    escenario.EscribirConfiguracion({u"interfase com2,2400,N,8,1"_s, u"cartel R560, Un Cartel, Desconocida"_s,
                                     u"cartel R560, Sala de espera, 36"_s});
    Principal &principal = escenario.Iniciar();
    principal.show();

    QWidget *revisada = nullptr;
    if (ventana == u"editor"_s) {
        revisada = &escenario.NuevoTexto();
    } else if (ventana == u"envio"_s) {
        DialogoDeEnvio &envio = principal.dialogEnvio();
        // The widest the percentage ever reads.
        Control<QLabel>(&envio, u"Porcentaje"_s)->setText(u"100% Completado"_s);
        revisada = &envio;
    } else if (ventana == u"interfase"_s) {
        principal.ConfigurarInterfase();
        revisada = principal.configSerie();
    } else if (ventana == u"carteles"_s) {
        principal.ConfigurarCarteles();
        revisada = &principal.configRed();
    } else {
        principal.ConfigurarCarteles();
        principal.configRed().Agregar();
        revisada = principal.configRed().findChild<CartelNuevo *>();
    }
    QVERIFY(revisada);
    QVERIFY(Mostrada(revisada->window()));

    const QStringList recortados = Recortados(revisada);
    QVERIFY2(recortados.isEmpty(), qPrintable(recortados.join(u"\n"_s)));

    // With the face the project installs, the dialog keeps the size it was
    // laid out with (a speed button grows two pixels, inside its frame):
    // the serial controls' 1485 twips and the network line's row below them.
    if (ventana == u"interfase"_s
        && QFontInfo(FuenteDeDialogos()).family() == FuenteDeDialogos().families().constFirst()) {
        QCOMPARE(revisada->size(), TamanoEnTwips(*revisada, 4110, 1965));
        QCOMPARE(Control<QWidget>(revisada, u"puerto0"_s)->size(), TamanoEnTwips(*revisada, 735, 255));
    }

    if (auto *configSerie = principal.configSerie())
        configSerie->close();
    principal.hide();
}

QTEST_MAIN(PruebaTextosCompletos)
#include "prueba_textos_completos.moc"
