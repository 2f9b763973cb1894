#include "platform/puertodelinea.h"

#include "platform/puertored.h"
#include "platform/puertoserieqt.h"

PuertoDeLinea::PuertoDeLinea(QObject *parent)
    : PuertoSerie(parent), m_serie(new PuertoSerieQt(this)), m_red(new PuertoRed(this)), m_ultimo(m_serie)
{
    m_red->PonerAjustes(m_serie->Ajustes());
    // Only the chosen one is ever open, so only it can speak.
    for (PuertoSerie *puerto : {static_cast<PuertoSerie *>(m_serie), static_cast<PuertoSerie *>(m_red)}) {
        connect(puerto, &PuertoSerie::BytesEntregados, this, &PuertoSerie::BytesEntregados);
        connect(puerto, &PuertoSerie::Falla, this, [this, puerto](const QString &descripcion) {
            m_ultimo = puerto;
            Q_EMIT Falla(descripcion);
        });
    }
}

void PuertoDeLinea::PonerRed(const QString &anfitrion, quint16 puerto)
{
    m_deRedPedido = !anfitrion.isEmpty();
    if (m_deRedPedido)
        m_red->PonerDireccion(anfitrion, puerto);
    if (!Elegido().Abierto())
        m_deRed = m_deRedPedido;
}

void PuertoDeLinea::PonerConsejoTrasPerdida(const QString &consejo)
{
    m_serie->PonerConsejoTrasPerdida(consejo);
    m_red->PonerConsejoTrasPerdida(consejo);
}

PuertoSerie &PuertoDeLinea::Elegido() const
{
    if (m_deRed)
        return *m_red;
    return *m_serie;
}

QString PuertoDeLinea::Nombre() const
{
    // The line in force, which the next send takes.
    if (m_deRedPedido)
        return m_red->Nombre();
    return m_serie->Nombre();
}

int PuertoDeLinea::Numero() const
{
    return m_serie->Numero();
}

bool PuertoDeLinea::PonerNumero(int numero)
{
    m_ultimo = m_serie;
    return m_serie->PonerNumero(numero);
}

QString PuertoDeLinea::Ajustes() const
{
    return m_serie->Ajustes();
}

bool PuertoDeLinea::PonerAjustes(const QString &ajustes)
{
    m_ultimo = m_serie;
    if (!m_serie->PonerAjustes(ajustes))
        return false;
    m_red->PonerAjustes(m_serie->Ajustes());
    return true;
}

bool PuertoDeLinea::Abrir()
{
    if (m_deRed != m_deRedPedido) {
        Elegido().Cerrar();
        m_deRed = m_deRedPedido;
    }
    m_ultimo = &Elegido();
    return Elegido().Abrir();
}

bool PuertoDeLinea::Abierto() const
{
    return Elegido().Abierto();
}

void PuertoDeLinea::Cerrar()
{
    Elegido().Cerrar();
}

qint64 PuertoDeLinea::Pendientes() const
{
    return Elegido().Pendientes();
}

bool PuertoDeLinea::Escribir(const QByteArray &bytes)
{
    m_ultimo = &Elegido();
    return Elegido().Escribir(bytes);
}

QString PuertoDeLinea::DescripcionError() const
{
    return m_ultimo->DescripcionError();
}
