#include "fuentes.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {
constexpr qreal PuntosDeLosDialogos = 8.0;

// "&" marks an access key and is not drawn; "&&" is one drawn "&".
QString TextoDibujado(QString texto)
{
    texto.replace(u"&&"_s, u"\x01"_s);
    texto.remove(u'&');
    texto.replace(u'\x01', u'&');
    return texto;
}

QSize ConIndicador(const QWidget &control, const QString &texto, QStyle::PixelMetric ancho,
                   QStyle::PixelMetric alto, QStyle::PixelMetric separacion)
{
    const QFontMetrics medidas(control.font());
    const QStyle *estilo = control.style();
    return {estilo->pixelMetric(ancho, nullptr, &control) + estilo->pixelMetric(separacion, nullptr, &control)
                + medidas.horizontalAdvance(TextoDibujado(texto)),
            qMax(estilo->pixelMetric(alto, nullptr, &control), medidas.height())};
}

// The room the caption of `control` needs as the style draws it (a radio
// button's or check box's indicator included), or an invalid size for a
// control that shows no caption.
QSize LugarParaElTexto(const QWidget &control)
{
    const QFontMetrics medidas(control.font());
    if (const auto *opcion = qobject_cast<const QRadioButton *>(&control))
        return ConIndicador(control, opcion->text(), QStyle::PM_ExclusiveIndicatorWidth,
                            QStyle::PM_ExclusiveIndicatorHeight, QStyle::PM_RadioButtonLabelSpacing);
    if (const auto *casilla = qobject_cast<const QCheckBox *>(&control))
        return ConIndicador(control, casilla->text(), QStyle::PM_IndicatorWidth, QStyle::PM_IndicatorHeight,
                            QStyle::PM_CheckBoxLabelSpacing);
    if (const auto *boton = qobject_cast<const QPushButton *>(&control)) {
        const int marco = control.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &control);
        return {medidas.horizontalAdvance(TextoDibujado(boton->text())) + 2 * marco, medidas.height()};
    }
    if (const auto *etiqueta = qobject_cast<const QLabel *>(&control)) {
        if (etiqueta->text().isEmpty())
            return {};
        const QMargins margenes = etiqueta->contentsMargins();
        return medidas.size(0, etiqueta->text()).grownBy(margenes);
    }
    return {};
}
} // namespace

QFont FuenteDeDialogos()
{
    QFont fuente;
    // The first face the machine has wins; the project installs the first.
    fuente.setFamilies({u"DejaVu Sans Condensed"_s, u"Liberation Sans Narrow"_s, u"Nimbus Sans Narrow"_s,
                        u"Arial Narrow"_s});
    fuente.setStyleHint(QFont::SansSerif);
    fuente.setPointSizeF(PuntosDeLosDialogos);
    return fuente;
}

void AgrandarDondeNoCabe(QWidget &ventana)
{
    const auto controles = ventana.findChildren<QWidget *>();
    for (QWidget *control : controles) {
        const QSize necesita = LugarParaElTexto(*control);
        if (!necesita.isValid())
            continue;
        const QSize tiene = control->size();
        if (necesita.width() <= tiene.width() && necesita.height() <= tiene.height())
            continue;
        const QSize nuevo = tiene.expandedTo(necesita);
        control->resize(nuevo);
        // What holds the control grows with it: a frame, then the window.
        for (QWidget *contenedor = control->parentWidget(); contenedor; contenedor = contenedor->parentWidget()) {
            QRect ocupado;
            for (const QWidget *hijo : contenedor->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                ocupado |= hijo->geometry();
            const QSize necesario = contenedor->size().expandedTo({ocupado.right() + 1, ocupado.bottom() + 1});
            if (necesario == contenedor->size())
                break;
            if (contenedor->isWindow())
                contenedor->setFixedSize(necesario);
            else
                contenedor->resize(necesario);
            if (contenedor == &ventana)
                break;
        }
    }
}
