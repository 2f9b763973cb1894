#include "apoyo/puertofalso.h"

#include "platform/ajustesserie.h"

using namespace Qt::Literals::StringLiterals;

PuertoFalso::PuertoFalso(QObject *parent)
    : PuertoSerie(parent)
    , m_ajustes(u"9600,N,8,1"_s)
{
}

int PuertoFalso::Numero() const
{
    return m_numero;
}

bool PuertoFalso::PonerNumero(int nuevo)
{
    if (nuevo < 1 || nuevo > 6) {
        m_error = u"El puerto %1 no es válido; se admiten los puertos 1 a 6."_s.arg(nuevo);
        return false;
    }
    m_numero = nuevo;
    return true;
}

QString PuertoFalso::Ajustes() const
{
    return m_ajustes;
}

bool PuertoFalso::PonerAjustes(const QString &texto)
{
    const std::optional<AjustesSerie> interpretados = AjustesSerie::Interpretar(texto, &m_error);
    if (!interpretados)
        return false;
    m_ajustes = interpretados->Texto();
    return true;
}

bool PuertoFalso::Abrir()
{
    ++m_intentosDeAbrir;
    if (m_abierto && m_numeroAbierto == m_numero && !m_dispositivoCambiado)
        return true;
    if (m_abierto)
        Cerrar();
    m_dispositivoCambiado = false;
    if (!m_falloAlAbrir.isEmpty()) {
        m_error = m_falloAlAbrir;
        return false;
    }
    m_abierto = true;
    m_numeroAbierto = m_numero;
    ++m_aperturas;
    return true;
}

bool PuertoFalso::Abierto() const
{
    return m_abierto;
}

void PuertoFalso::Cerrar()
{
    if (m_abierto)
        ++m_cierres;
    m_abierto = false;
    m_numeroAbierto = 0;
    m_pendientes = 0;
}

qint64 PuertoFalso::Pendientes() const
{
    return m_pendientes;
}

bool PuertoFalso::Escribir(const QByteArray &bytes)
{
    if (!m_abierto) {
        m_error = u"El puerto Com%1 no está abierto."_s.arg(m_numero);
        return false;
    }
    if (!m_falloAlEscribir.isEmpty()) {
        m_error = m_falloAlEscribir;
        m_falloAlEscribir.clear();
        return false;
    }
    m_escrito.append(bytes);
    m_escrituras.append(bytes);
    if (m_vaciadoManual) {
        m_pendientes += bytes.size();
        m_maximoPendiente = std::max(m_maximoPendiente, m_pendientes);
    }
    return true;
}

QString PuertoFalso::DescripcionError() const
{
    return m_error;
}

void PuertoFalso::PonerVaciadoManual(bool manual)
{
    m_vaciadoManual = manual;
    if (!manual)
        m_pendientes = 0;
}

void PuertoFalso::Vaciar(qint64 cantidad)
{
    const qint64 salen = std::min(cantidad, m_pendientes);
    if (salen <= 0)
        return;
    m_pendientes -= salen;
    Q_EMIT BytesEntregados(salen);
}

void PuertoFalso::VaciarTodo()
{
    Vaciar(m_pendientes);
}

void PuertoFalso::FallarAlAbrir(const QString &descripcion)
{
    m_falloAlAbrir = descripcion;
}

void PuertoFalso::FallarAlEscribir(const QString &descripcion)
{
    m_falloAlEscribir = descripcion;
}

void PuertoFalso::ProvocarFalla(const QString &descripcion)
{
    m_abierto = false;
    m_numeroAbierto = 0;
    m_pendientes = 0;
    m_error = descripcion;
    Q_EMIT Falla(descripcion);
}

void PuertoFalso::CambiarDispositivo()
{
    m_dispositivoCambiado = true;
}

QByteArray PuertoFalso::Escrito() const
{
    return m_escrito;
}

QList<QByteArray> PuertoFalso::Escrituras() const
{
    return m_escrituras;
}

void PuertoFalso::OlvidarEscrito()
{
    m_escrito.clear();
    m_escrituras.clear();
    m_maximoPendiente = 0;
}

int PuertoFalso::IntentosDeAbrir() const
{
    return m_intentosDeAbrir;
}

int PuertoFalso::Aperturas() const
{
    return m_aperturas;
}

int PuertoFalso::Cierres() const
{
    return m_cierres;
}

qint64 PuertoFalso::MaximoPendiente() const
{
    return m_maximoPendiente;
}
