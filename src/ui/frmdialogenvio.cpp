#include "frmdialogenvio.h"

#include "link/trama.h"
#include "fuentes.h"
#include "medidas.h"
#include "platform/cuadrodemensaje.h"
#include "schedule/serviciodeenvios.h"

#include <QLabel>
#include <QProgressBar>

using namespace Qt::StringLiterals;

frmDialogEnvio::frmDialogEnvio(ServicioDeEnvios &servicio, QWidget *parent)
    : QDialog(parent),
      m_enviando(new QLabel(u"Enviando..."_s, this)),
      m_barraDeAvance(new QProgressBar(this)),
      m_PorcComp(new QLabel(u"0% Completado"_s, this))
{
    setObjectName(u"frmDialogEnvio"_s);
    setWindowTitle(u"Enviando"_s);
    setFont(FuenteDeDialogos());
    setModal(false);
    m_enviando->setObjectName(u"Enviando"_s);
    m_barraDeAvance->setObjectName(u"BarraDeAvance"_s);
    m_PorcComp->setObjectName(u"PorcComp"_s);

    m_barraDeAvance->setRange(0, 100);
    m_barraDeAvance->setValue(0);
    m_barraDeAvance->setTextVisible(false);
    m_PorcComp->setAlignment(Qt::AlignCenter);

    setFixedSize(TamanoEnTwips(*this, 4680, 1335));
    m_enviando->setGeometry(RectanguloEnTwips(*this, 120, 120, 4440, 255));
    m_barraDeAvance->setGeometry(RectanguloEnTwips(*this, 120, 480, 4440, 300));
    m_PorcComp->setGeometry(RectanguloEnTwips(*this, 120, 900, 4440, 255));
    AgrandarDondeNoCabe(*this);

    connect(&servicio, &ServicioDeEnvios::Comenzada, this, &frmDialogEnvio::Comenzada);
    connect(&servicio, &ServicioDeEnvios::Avance, this, &frmDialogEnvio::Avance);
    connect(&servicio, &ServicioDeEnvios::Escrita, this, &frmDialogEnvio::Escrita);
    connect(&servicio, &ServicioDeEnvios::Fallo, this, &frmDialogEnvio::Fallo);
}

void frmDialogEnvio::Comenzada(qint64 total)
{
    // The label keeps the previous figure until the first byte is written.
    m_barraDeAvance->setValue(0);
    m_barraDeAvance->setMaximum(static_cast<int>(qMax<qint64>(total, 1)));
}

void frmDialogEnvio::Avance(qint64 entregados, qint64 total)
{
    m_barraDeAvance->setValue(static_cast<int>(entregados));
    m_PorcComp->setText(TextoDePorcentaje(entregados, total));
}

void frmDialogEnvio::Escrita()
{
    hide();
}

void frmDialogEnvio::Fallo(const QString &descripcion)
{
    hide();
    // Reported without waiting: the transmitter has already dropped what it
    // could not send, and the rest of the program goes on.
    CuadroDeMensaje::Avisar(parentWidget(), descripcion, QMessageBox::Warning);
}
