#include "frmdialogenvio.h"

#include "link/trama.h"
#include "link/transmisor.h"
#include "fuentes.h"
#include "medidas.h"
#include "platform/cuadrodemensaje.h"

#include <QLabel>
#include <QProgressBar>

using namespace Qt::StringLiterals;

frmDialogEnvio::frmDialogEnvio(PuertoSerie &MSComm1, QWidget *parent)
    : QDialog(parent),
      m_transmisor(new Transmisor(MSComm1, this)),
      m_Label(new QLabel(u"Enviando..."_s, this)),
      m_ProgressBar1(new QProgressBar(this)),
      m_PorcComp(new QLabel(u"0% Completado"_s, this))
{
    setObjectName(u"frmDialogEnvio"_s);
    setWindowTitle(u"Enviando"_s);
    setFont(FuenteDeDialogos());
    setModal(false);
    m_Label->setObjectName(u"Label"_s);
    m_ProgressBar1->setObjectName(u"ProgressBar1"_s);
    m_PorcComp->setObjectName(u"PorcComp"_s);

    m_ProgressBar1->setRange(0, 100);
    m_ProgressBar1->setValue(0);
    m_ProgressBar1->setTextVisible(false);
    m_PorcComp->setAlignment(Qt::AlignCenter);

    setFixedSize(TamanoEnTwips(*this, 4680, 1335));
    m_Label->setGeometry(RectanguloEnTwips(*this, 120, 120, 4440, 255));
    m_ProgressBar1->setGeometry(RectanguloEnTwips(*this, 120, 480, 4440, 300));
    m_PorcComp->setGeometry(RectanguloEnTwips(*this, 120, 900, 4440, 255));
    AgrandarDondeNoCabe(*this);

    connect(m_transmisor, &Transmisor::Comenzada, this, &frmDialogEnvio::Comenzada);
    connect(m_transmisor, &Transmisor::Avance, this, &frmDialogEnvio::Avance);
    connect(m_transmisor, &Transmisor::Escrita, this, &frmDialogEnvio::Escrita);
    connect(m_transmisor, &Transmisor::Desocupado, this, &frmDialogEnvio::Terminada);
    connect(m_transmisor, &Transmisor::Fallo, this, &frmDialogEnvio::Fallo);
}

void frmDialogEnvio::MandarTexto(const QByteArray &Texto, quint8 Destino)
{
    MandarCadena(ArmarTrama(Texto, Destino));
}

void frmDialogEnvio::MandarMensajeDeDirecciones()
{
    MandarCadena(ArmarMensajeDeDirecciones());
}

void frmDialogEnvio::MandarCadena(const QByteArray &cadena)
{
    // Counted before it is handed on: an idle line starts on it at once. A
    // refusal has already reset the count through Fallo().
    m_porComenzar.append(cadena);
    m_tramasTotales += static_cast<int>(Transmisor::ContarTramas(cadena));
    const bool enCurso = m_transmisor->Ocupado();
    m_transmisor->Mandar(cadena);
    // Queued behind another: the count grows while that one goes on.
    if (enCurso && m_tramasTotales > 0)
        Q_EMIT TramaEnCurso(m_tramaEnCurso, m_tramasTotales);
}

void frmDialogEnvio::AvanzarUnPaso()
{
    m_ProgressBar1->setValue(qMin(m_ProgressBar1->value() + 1, m_ProgressBar1->maximum()));
}

void frmDialogEnvio::Comenzada(qint64 total)
{
    m_enCurso = m_porComenzar.isEmpty() ? QByteArray() : m_porComenzar.takeFirst();
    m_tramasDelEnCurso = static_cast<int>(Transmisor::ContarTramas(m_enCurso));
    // The label keeps the previous figure until the first byte is written.
    m_ProgressBar1->setValue(0);
    m_ProgressBar1->setMaximum(static_cast<int>(qMax<qint64>(total, 1)));
}

void frmDialogEnvio::Avance(qint64 entregados, qint64 total)
{
    m_ProgressBar1->setValue(static_cast<int>(entregados));
    m_PorcComp->setText(TextoDePorcentaje(entregados, total));
    const int restantes = static_cast<int>(Transmisor::ContarTramas(m_enCurso, entregados));
    m_tramaEnCurso = qMin(m_tramasHechas + m_tramasDelEnCurso - restantes + 1, m_tramasTotales);
    Q_EMIT TramaEnCurso(m_tramaEnCurso, m_tramasTotales);
}

void frmDialogEnvio::Escrita()
{
    m_tramasHechas += m_tramasDelEnCurso;
    m_tramasDelEnCurso = 0;
    m_enCurso.clear();
    hide();
}

void frmDialogEnvio::Terminada()
{
    m_porComenzar.clear();
    m_enCurso.clear();
    m_tramasDelEnCurso = m_tramasHechas = m_tramasTotales = m_tramaEnCurso = 0;
    Q_EMIT TramaEnCurso(0, 0);
}

void frmDialogEnvio::Fallo(const QString &descripcion)
{
    hide();
    Terminada();
    // Reported without waiting: the transmitter has already dropped what it
    // could not send, and the rest of the program goes on.
    CuadroDeMensaje::Avisar(parentWidget(), descripcion, QMessageBox::Warning);
}
