#include "avisoalpie.h"

#include "medidas.h"

#include <QDialog>

using namespace Qt::StringLiterals;

AvisoAlPie::AvisoAlPie(QDialog &dialogo) : QLabel(&dialogo), m_altoSinAviso(dialogo.height())
{
    setObjectName(u"AvisoAlPie"_s);
    setWordWrap(true);
}

void AvisoAlPie::Mostrar(QDialog &dialogo, const QString &aviso)
{
    auto *etiqueta = dialogo.findChild<AvisoAlPie *>(QString(), Qt::FindDirectChildrenOnly);
    if (!etiqueta) {
        if (aviso.isEmpty())
            return;
        etiqueta = new AvisoAlPie(dialogo);
    }
    if (aviso.isEmpty()) {
        etiqueta->hide();
        dialogo.setFixedSize(dialogo.width(), etiqueta->m_altoSinAviso);
        return;
    }
    const int margen = TwipsAPixelesX(dialogo, 120);
    const int ancho = dialogo.width() - 2 * margen;
    etiqueta->setText(aviso);
    const int alto = etiqueta->heightForWidth(ancho);
    etiqueta->setGeometry(margen, etiqueta->m_altoSinAviso, ancho, alto);
    etiqueta->show();
    dialogo.setFixedSize(dialogo.width(), etiqueta->m_altoSinAviso + alto + margen);
}
