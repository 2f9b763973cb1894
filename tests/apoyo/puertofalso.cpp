#include "apoyo/puertofalso.h"

#include "platform/ajustesserie.h"

using namespace Qt::Literals::StringLiterals;

PuertoFalso::PuertoFalso(QObject *parent)
    : PuertoSerie(parent)
    , ajustes(u"9600,N,8,1"_s)
{
}

int PuertoFalso::Numero() const
{
    return numero;
}

bool PuertoFalso::PonerNumero(int nuevo)
{
    if (nuevo < 1 || nuevo > 6) {
        error = u"El puerto %1 no es válido; se admiten los puertos 1 a 6."_s.arg(nuevo);
        return false;
    }
    numero = nuevo;
    return true;
}

QString PuertoFalso::Ajustes() const
{
    return ajustes;
}

bool PuertoFalso::PonerAjustes(const QString &texto)
{
    const std::optional<AjustesSerie> interpretados = AjustesSerie::Interpretar(texto, &error);
    if (!interpretados)
        return false;
    ajustes = interpretados->Texto();
    return true;
}

bool PuertoFalso::Abrir()
{
    ++intentosDeAbrir;
    if (abierto && numeroAbierto == numero && !dispositivoCambiado)
        return true;
    if (abierto)
        Cerrar();
    dispositivoCambiado = false;
    if (!falloAlAbrir.isEmpty()) {
        error = falloAlAbrir;
        return false;
    }
    abierto = true;
    numeroAbierto = numero;
    ++aperturas;
    return true;
}

bool PuertoFalso::Abierto() const
{
    return abierto;
}

void PuertoFalso::Cerrar()
{
    if (abierto)
        ++cierres;
    abierto = false;
    numeroAbierto = 0;
    pendientes = 0;
}

qint64 PuertoFalso::Pendientes() const
{
    return pendientes;
}

bool PuertoFalso::Escribir(const QByteArray &bytes)
{
    if (!abierto) {
        error = u"El puerto Com%1 no está abierto."_s.arg(numero);
        return false;
    }
    if (!falloAlEscribir.isEmpty()) {
        error = falloAlEscribir;
        falloAlEscribir.clear();
        return false;
    }
    escrito.append(bytes);
    escrituras.append(bytes);
    if (vaciadoManual) {
        pendientes += bytes.size();
        maximoPendiente = std::max(maximoPendiente, pendientes);
    }
    return true;
}

QString PuertoFalso::DescripcionError() const
{
    return error;
}

void PuertoFalso::PonerVaciadoManual(bool manual)
{
    vaciadoManual = manual;
    if (!manual)
        pendientes = 0;
}

void PuertoFalso::Vaciar(qint64 cantidad)
{
    const qint64 salen = std::min(cantidad, pendientes);
    if (salen <= 0)
        return;
    pendientes -= salen;
    Q_EMIT BytesEntregados(salen);
}

void PuertoFalso::VaciarTodo()
{
    Vaciar(pendientes);
}

void PuertoFalso::FallarAlAbrir(const QString &descripcion)
{
    falloAlAbrir = descripcion;
}

void PuertoFalso::FallarAlEscribir(const QString &descripcion)
{
    falloAlEscribir = descripcion;
}

void PuertoFalso::ProvocarFalla(const QString &descripcion)
{
    abierto = false;
    numeroAbierto = 0;
    pendientes = 0;
    error = descripcion;
    Q_EMIT Falla(descripcion);
}

void PuertoFalso::CambiarDispositivo()
{
    dispositivoCambiado = true;
}

QByteArray PuertoFalso::Escrito() const
{
    return escrito;
}

QList<QByteArray> PuertoFalso::Escrituras() const
{
    return escrituras;
}

void PuertoFalso::OlvidarEscrito()
{
    escrito.clear();
    escrituras.clear();
    maximoPendiente = 0;
}

int PuertoFalso::IntentosDeAbrir() const
{
    return intentosDeAbrir;
}

int PuertoFalso::Aperturas() const
{
    return aperturas;
}

int PuertoFalso::Cierres() const
{
    return cierres;
}

qint64 PuertoFalso::MaximoPendiente() const
{
    return maximoPendiente;
}
