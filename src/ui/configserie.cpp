#include "configserie.h"

#include "config/velocidades.h"
#include "fuentes.h"
#include "grupodeopciones.h"
#include "medidas.h"
#include "platform/cuadrodemensaje.h"
#include "platform/mapeodepuertos.h"
#include "platform/puertoserie.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace {
// Selecting a button from code must run its handler just as a click does;
// toggled() only fires on a change, so an already selected button is
// handled here directly.
void Seleccionar(QRadioButton *boton, const std::function<void()> &manejador)
{
    if (boton->isChecked())
        manejador();
    else
        boton->setChecked(true);
}

// The speed is the number before the first comma of the settings: leading
// blanks skipped, then the digits that follow; no digits read as 0, which
// selects no speed button.
int LeerVelocidad(const QString &ajustes)
{
    const QString campo = ajustes.section(u',', 0, 0).trimmed();
    qsizetype fin = 0;
    while (fin < campo.size() && campo.at(fin).isDigit())
        ++fin;
    return campo.left(fin).toInt();
}
} // namespace

ConfigSerie::ConfigSerie(const LineaElegida &actual, QWidget *parent) : QDialog(parent), m_inicial(actual)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(u"Interfase Serie"_s);
    setFont(FuenteDeDialogos());
    // The network line goes below the serial controls, which keep their places.
    setFixedSize(TamanoEnTwips(*this, 4110, 1965));

    m_puerto = new QGroupBox(u"Puerto"_s, this);
    m_puerto->setObjectName(u"Puerto"_s);
    m_puerto->setGeometry(RectanguloEnTwips(*this, 0, 0, 2655, 975));

    // The port buttons belong to the dialog, not to the frame they lie
    // over, so that the six of them form one group of their own; created
    // after the frame so they stay above it.
    auto *grupoDePuertos = new QButtonGroup(this);
    grupoDePuertos->setExclusive(true);
    for (int i = 0; i < static_cast<int>(m_puertos.size()); ++i) {
        auto *boton = new QRadioButton(u"Com%1"_s.arg(i + 1), this);
        boton->setObjectName(u"puerto%1"_s.arg(i));
        boton->setGeometry(RectanguloEnTwips(*this, 120 + (i / 2) * 840, i % 2 == 0 ? 240 : 600, 735, 255));
        grupoDePuertos->addButton(boton, i);
        connect(boton, &QRadioButton::toggled, this, [this, i](bool marcado) {
            if (marcado)
                ElegirPuerto(i);
        });
        m_puertos[static_cast<std::size_t>(i)] = boton;
    }

    m_velocidad = new QGroupBox(u"Velocidad"_s, this);
    m_velocidad->setObjectName(u"Velocidad"_s);
    // One button per speed, 360 twips apart; the frame holds two of them.
    const auto &velocidades = VelocidadesOfrecidas();
    m_velocidad->setGeometry(RectanguloEnTwips(*this, 2760, 0, 1335,
                                             std::max<int>(975, 255 + 360 * static_cast<int>(velocidades.size()))));
    for (int i = 0; i < static_cast<int>(velocidades.size()); ++i) {
        auto *boton = new QRadioButton(u"%1 b.p.s."_s.arg(velocidades.at(i)), m_velocidad);
        boton->setObjectName(u"velocidad%1"_s.arg(i));
        boton->setGeometry(RectanguloEnTwips(*this, 120, 240 + 360 * i, 1095, 255));
        connect(boton, &QRadioButton::toggled, this, [this, i](bool marcado) {
            if (marcado)
                ElegirVelocidad(i);
        });
        m_velocidades.append(boton);
    }

    m_red = new QRadioButton(u"Red"_s, this);
    m_red->setObjectName(u"Red"_s);
    m_red->setGeometry(RectanguloEnTwips(*this, 120, 1590, 735, 255));
    m_red->setToolTip(u"Un servidor de puerto serie en la red: su equipo y su puerto TCP"_s);
    grupoDePuertos->addButton(m_red, static_cast<int>(m_puertos.size()));
    connect(m_red, &QRadioButton::toggled, this, [this](bool marcado) {
        m_redElegida = marcado;
        if (marcado)
            m_puertoElegido = 0;
    });
    m_direccion = new QLineEdit(this);
    m_direccion->setObjectName(u"Direccion"_s);
    m_direccion->setGeometry(RectanguloEnTwips(*this, 960, 1560, 3030, 315));
    m_direccion->setPlaceholderText(u"192.168.1.50:4001"_s);
    m_direccion->setToolTip(u"EQUIPO:PUERTO del servidor de puerto serie; la velocidad de su línea la fija el servidor"_s);
    // Typing an address is choosing the network.
    connect(m_direccion, &QLineEdit::textEdited, m_red, [this] { m_red->setChecked(true); });
    m_direccion->setAccessibleName(u"Dirección del servidor en la red"_s);

    m_aceptar = new QPushButton(u"O.K."_s, this);
    m_aceptar->setObjectName(u"Aceptar"_s);
    m_aceptar->setGeometry(RectanguloEnTwips(*this, 600, 1080, 1215, 375));
    connect(m_aceptar, &QPushButton::clicked, this, &ConfigSerie::Aceptar);

    m_cancelar = new QPushButton(u"Cancelar"_s, this);
    m_cancelar->setObjectName(u"Cancelar"_s);
    m_cancelar->setGeometry(RectanguloEnTwips(*this, 2280, 1080, 1215, 375));
    connect(m_cancelar, &QPushButton::clicked, this, &ConfigSerie::close);
    AgrandarDondeNoCabe(*this);

    QList<QAbstractButton *> puertos(m_puertos.cbegin(), m_puertos.cend());
    puertos.append(m_red);
    UnaParadaEnElMarcado(puertos);
    UnaParadaEnElMarcado({m_velocidades.cbegin(), m_velocidades.cend()});
    for (QRadioButton *boton : std::as_const(m_velocidades))
        boton->setAccessibleName(boton->text().replace(u"b.p.s."_s, u"bits por segundo"_s));
    // "O.K." read out is two letters and two stops.
    m_aceptar->setAccessibleName(u"Aceptar"_s);

    PonerValoresIniciales();
}

void ConfigSerie::PonerValoresIniciales()
{
    ActualizarDescripcionesDePuertos();

    const int numero = m_inicial.numero;
    if (numero >= 1 && numero <= static_cast<int>(m_puertos.size()))
        Seleccionar(m_puertos[static_cast<std::size_t>(numero - 1)], [this, numero] { ElegirPuerto(numero - 1); });

    const int i = static_cast<int>(VelocidadesOfrecidas().indexOf(LeerVelocidad(m_inicial.ajustes)));
    if (i >= 0)
        Seleccionar(m_velocidades.at(i), [this, i] { ElegirVelocidad(i); });

    // A network line is shown chosen, with its port still marked beneath
    // for when the operator goes back to it.
    if (!m_inicial.red.isEmpty()) {
        m_direccion->setText(m_inicial.red);
        m_red->setChecked(true);
    }
}

void ConfigSerie::ElegirPuerto(int indice)
{
    m_puertoElegido = indice + 1;
}

void ConfigSerie::ElegirVelocidad(int indice)
{
    m_velocidadElegida = QString::number(VelocidadesOfrecidas().value(indice));
}

LineaElegida ConfigSerie::Eleccion() const
{
    LineaElegida eleccion;
    eleccion.ajustes = m_velocidadElegida + u",N,8,1"_s;
    if (m_redElegida) {
        // "tcp:" as in carteles.ini is taken too.
        eleccion.red = m_direccion->text().trimmed();
        if (eleccion.red.startsWith(u"tcp:"_s))
            eleccion.red = eleccion.red.mid(4);
    } else {
        eleccion.numero = m_puertoElegido;
    }
    return eleccion;
}

void ConfigSerie::Aceptar()
{
    Q_EMIT Elegida();
}

void ConfigSerie::Responder(const QStringList &rechazos)
{
    // Modal like any refusal: the next one is shown once the user has read
    // this one. After a refusal the choice stays selected so the user can
    // correct it and try again, or give up with Cancelar.
    for (const QString &rechazo : rechazos)
        CuadroDeMensaje::Advertir(this, rechazo);
    if (rechazos.isEmpty())
        accept();
}

void ConfigSerie::ActualizarDescripcionesDePuertos()
{
    // Which device each ComN stands for depends on the working directory
    // and on what is plugged in, so it is looked up again at each opening.
    for (int i = 0; i < static_cast<int>(m_puertos.size()); ++i)
        m_puertos[static_cast<std::size_t>(i)]->setToolTip(DescribirUbicacion(i + 1));
}
