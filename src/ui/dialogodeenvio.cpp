#include "dialogodeenvio.h"

#include "link/trama.h"
#include "fuentes.h"
#include "medidas.h"
#include "platform/cuadrodemensaje.h"
#include "schedule/serviciodeenvios.h"

#include <QLabel>
#include <QProgressBar>

using namespace Qt::StringLiterals;

DialogoDeEnvio::DialogoDeEnvio(ServicioDeEnvios &servicio, QWidget *parent)
    : QDialog(parent),
      m_enviando(new QLabel(u"Enviando..."_s, this)),
      m_barraDeAvance(new QProgressBar(this)),
      m_porcentaje(new QLabel(u"0% Completado"_s, this))
{
    setObjectName(u"DialogoDeEnvio"_s);
    setWindowTitle(u"Enviando"_s);
    setFont(FuenteDeDialogos());
    setModal(false);
    m_enviando->setObjectName(u"Enviando"_s);
    m_barraDeAvance->setObjectName(u"BarraDeAvance"_s);
    m_porcentaje->setObjectName(u"Porcentaje"_s);
    m_barraDeAvance->setAccessibleName(u"Avance del envío"_s);
    m_enviando->setBuddy(m_barraDeAvance);
    m_porcentaje->setBuddy(m_barraDeAvance);

    m_barraDeAvance->setRange(0, 100);
    m_barraDeAvance->setValue(0);
    m_barraDeAvance->setTextVisible(false);
    m_porcentaje->setAlignment(Qt::AlignCenter);

    setFixedSize(TamanoEnTwips(*this, 4680, 1335));
    m_enviando->setGeometry(RectanguloEnTwips(*this, 120, 120, 4440, 255));
    m_barraDeAvance->setGeometry(RectanguloEnTwips(*this, 120, 480, 4440, 300));
    m_porcentaje->setGeometry(RectanguloEnTwips(*this, 120, 900, 4440, 255));
    AgrandarDondeNoCabe(*this);

    connect(&servicio, &ServicioDeEnvios::Comenzada, this, &DialogoDeEnvio::Comenzada);
    connect(&servicio, &ServicioDeEnvios::Avance, this, &DialogoDeEnvio::Avance);
    connect(&servicio, &ServicioDeEnvios::Escrita, this, &DialogoDeEnvio::Escrita);
    connect(&servicio, &ServicioDeEnvios::Fallo, this, &DialogoDeEnvio::Fallo);
}

void DialogoDeEnvio::Comenzada(qint64 total)
{
    // The label keeps the previous figure until the first byte is written.
    m_barraDeAvance->setValue(0);
    m_barraDeAvance->setMaximum(static_cast<int>(qMax<qint64>(total, 1)));
}

void DialogoDeEnvio::Avance(qint64 entregados, qint64 total)
{
    m_barraDeAvance->setValue(static_cast<int>(entregados));
    m_porcentaje->setText(TextoDePorcentaje(entregados, total));
}

void DialogoDeEnvio::Escrita()
{
    hide();
}

void DialogoDeEnvio::Fallo(const QString &descripcion)
{
    hide();
    // Reported without waiting: the transmitter has already dropped what it
    // could not send, and the rest of the program goes on.
    CuadroDeMensaje::Avisar(parentWidget(), descripcion, QMessageBox::Warning);
}
