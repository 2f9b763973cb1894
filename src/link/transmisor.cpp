#include "link/transmisor.h"

#include "link/trama.h"

#include <QScopedValueRollback>
#include <QTimer>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

namespace {

// How often the port is looked at while bytes wait to leave it: often enough
// that MarcaDePendientes bytes at 9600 bit/s never run dry in between.
constexpr auto IntervaloDeSondeo = 10ms;

} // namespace

Transmisor::Transmisor(PuertoSerie &puertoSerie, QObject *parent)
    : QObject(parent)
    , puerto(puertoSerie)
    , timer1(new QTimer(this))
    , sondeo(new QTimer(this))
{
    timer1->setObjectName(u"Timer1"_s);
    timer1->setSingleShot(true);
    // A coarse timer may fire a little early, and the pause is a minimum.
    timer1->setTimerType(Qt::PreciseTimer);
    timer1->setInterval(100ms);
    connect(timer1, &QTimer::timeout, this, &Transmisor::Reanudar);

    sondeo->setObjectName(u"Sondeo"_s);
    sondeo->setInterval(IntervaloDeSondeo);
    connect(sondeo, &QTimer::timeout, this, [this] {
        VigilarAvance();
        Avanzar();
    });

    connect(&puerto, &PuertoSerie::BytesEntregados, this, &Transmisor::Avanzar);
    connect(&puerto, &PuertoSerie::Falla, this, &Transmisor::AtenderFalla);
}

bool Transmisor::Mandar(const QByteArray &nueva)
{
    if (Ocupado()) {
        cola.append(nueva);
        return true;
    }
    if (Empezar(nueva))
        return true;
    if (!Ocupado())
        Q_EMIT Desocupado();
    return false;
}

bool Transmisor::Ocupado() const
{
    return estado != Estado::Libre || !cola.isEmpty();
}

void Transmisor::PonerIntervaloDePausa(std::chrono::milliseconds intervalo)
{
    timer1->setInterval(intervalo);
}

void Transmisor::PonerPlazoSinAvance(std::chrono::milliseconds plazo)
{
    plazoSinAvance = plazo;
}

std::chrono::milliseconds Transmisor::IntervaloDePausa() const
{
    return timer1->intervalAsDuration();
}

// Called with the engine idle. Emits Fallo itself when the port will not open.
bool Transmisor::Empezar(const QByteArray &nueva)
{
    if (!puerto.Abrir()) {
        Q_EMIT Fallo(puerto.DescripcionError());
        return false;
    }
    ++turno;
    const quint64 miTurno = turno;
    cadena = nueva;
    posicion = 0;
    yaSalidos = 0;
    estado = cadena.isEmpty() ? Estado::VaciandoFin : Estado::Escribiendo;
    escritosAlPuerto = 0;
    ReiniciarVigilancia();
    sondeo->start();

    Q_EMIT Comenzada(cadena.size());
    if (turno != miTurno)
        return true;
    if (cadena.isEmpty()) {
        Q_EMIT Escrita();
        if (turno != miTurno)
            return true;
    }
    Avanzar();
    return true;
}

void Transmisor::Avanzar()
{
    // A receiver of Avance or Escrita that spins an event loop must not
    // start a second writer over the first.
    if (avanzando)
        return;
    const QScopedValueRollback guardia(avanzando, true);

    for (;;) {
        switch (estado) {
        case Estado::Libre:
        case Estado::EnPausa:
            return;
        case Estado::Escribiendo:
            if (!EscribirTandas())
                return;
            break;
        case Estado::VaciandoPausa:
            if (puerto.Pendientes() > 0)
                return;
            // Only now: the pause runs from the moment the last byte left.
            estado = Estado::EnPausa;
            yaSalidos = posicion;
            timer1->start();
            return;
        case Estado::VaciandoFin:
            if (puerto.Pendientes() > 0)
                return;
            // May start the next string in the queue, which this loop then
            // goes on writing.
            TerminarCadena();
            break;
        }
    }
}

// Writes as much as the port has room for, up to the next pause point or the
// end. True when the state moved on and should be looked at again.
bool Transmisor::EscribirTandas()
{
    while (estado == Estado::Escribiendo) {
        const qint64 lugar = MarcaDePendientes - puerto.Pendientes();
        if (lugar <= 0)
            return false;

        const qsizetype ultimo = cadena.size() - 1;
        const qsizetype finDeTrama = cadena.indexOf(static_cast<char>(ByteFinDeTrama), posicion);
        const qsizetype hasta = (finDeTrama < 0 || finDeTrama == ultimo) ? cadena.size() : finDeTrama + 1;
        const qsizetype cantidad = std::min({hasta - posicion, static_cast<qsizetype>(lugar), TamanoDeTanda});

        if (!puerto.Escribir(cadena.mid(posicion, cantidad))) {
            Fallar(puerto.DescripcionError(), true);
            return false;
        }
        posicion += cantidad;
        escritosAlPuerto += cantidad;

        const bool terminada = posicion == cadena.size();
        if (terminada)
            estado = Estado::VaciandoFin;
        else if (posicion == hasta)
            estado = Estado::VaciandoPausa;

        const quint64 miTurno = turno;
        Q_EMIT Avance(posicion, cadena.size());
        if (turno != miTurno)
            return false;
        if (terminada) {
            Q_EMIT Escrita();
            if (turno != miTurno)
                return false;
        }
    }
    return true;
}

void Transmisor::TerminarCadena()
{
    estado = Estado::Libre;
    cadena.clear();
    posicion = 0;
    while (!cola.isEmpty()) {
        const QByteArray siguiente = cola.takeFirst();
        if (Empezar(siguiente))
            return;
        // Its Fallo has been emitted; the next one in the queue tries again.
        if (estado != Estado::Libre)
            return;
    }
    sondeo->stop();
    Q_EMIT Desocupado();
}

void Transmisor::Reanudar()
{
    if (estado != Estado::EnPausa)
        return;
    estado = Estado::Escribiendo;
    ReiniciarVigilancia();
    Avanzar();
}

void Transmisor::ReiniciarVigilancia()
{
    desdeElUltimoAvance.start();
    salidosVistos = escritosAlPuerto - puerto.Pendientes();
}

// A port that holds bytes and lets none of them out for the whole time
// allowed is taken as a dead line.
void Transmisor::VigilarAvance()
{
    if (estado == Estado::Libre || estado == Estado::EnPausa)
        return;
    const qint64 pendientes = puerto.Pendientes();
    const qint64 salidos = escritosAlPuerto - pendientes;
    if (pendientes == 0 || salidos > salidosVistos) {
        desdeElUltimoAvance.start();
        salidosVistos = salidos;
        return;
    }
    if (desdeElUltimoAvance.elapsed() >= plazoSinAvance.count())
        Fallar(TextoDeLineaDetenida(pendientes), true);
}

QString Transmisor::TextoDeLineaDetenida(qint64 pendientes) const
{
    const qint64 milisegundos = plazoSinAvance.count();
    const QString plazo = milisegundos % 1000 == 0 ? u"%1 s"_s.arg(milisegundos / 1000)
                                                   : u"%1 ms"_s.arg(milisegundos);
    return u"El puerto Com%1 no transmite: hace %2 que %3 bytes esperan salir y no sale ninguno. "
           u"Revise el adaptador serie y su cable."_s.arg(
               QString::number(puerto.Numero()), plazo, QString::number(pendientes));
}

qsizetype Transmisor::ContarTramas(const QByteArray &cadena, qsizetype desde)
{
    qsizetype tramas = 0;
    qsizetype inicio = 0;
    while (inicio < cadena.size()) {
        const bool conDireccion = static_cast<quint8>(cadena.at(inicio)) == ByteTramaADireccion;
        qsizetype fin = cadena.indexOf(static_cast<char>(ByteFinDeTrama), inicio + (conDireccion ? 2 : 0));
        if (fin < 0)
            fin = cadena.size() - 1;
        if (fin >= desde)
            ++tramas;
        inicio = fin + 1;
    }
    return tramas;
}

// Called before anything is dropped. A frame counts as gone only once the
// port has drained it: bytes still queued die with a lost device.
QString Transmisor::TextoDeCancelacion() const
{
    qsizetype total = ContarTramas(cadena);
    qsizetype sinSalir = ContarTramas(cadena, yaSalidos);
    for (const QByteArray &enCola : cola) {
        const qsizetype tramas = ContarTramas(enCola);
        total += tramas;
        sinSalir += tramas;
    }
    if (total == 0)
        return u"Se canceló la transmisión."_s;
    if (total == 1)
        return u"Se canceló la transmisión: su única trama no salió."_s;
    if (sinSalir == 1)
        return u"Se canceló la transmisión: no salió 1 de sus %1 tramas."_s.arg(total);
    return u"Se canceló la transmisión: no salieron %1 de sus %2 tramas."_s.arg(sinSalir).arg(total);
}

void Transmisor::Fallar(const QString &descripcion, bool cerrarPuerto)
{
    // Between the port's own account and its system detail, if it has one.
    const qsizetype corte = descripcion.indexOf(u"\n\n"_s);
    const QString cancelacion = u"\n\n"_s + TextoDeCancelacion();
    const QString completa = corte < 0 ? QString(descripcion + cancelacion)
                                       : QString(descripcion.left(corte) + cancelacion + descripcion.mid(corte));
    ++turno;
    cola.clear();
    cadena.clear();
    posicion = 0;
    estado = Estado::Libre;
    timer1->stop();
    sondeo->stop();
    if (cerrarPuerto)
        puerto.Cerrar();
    Q_EMIT Fallo(completa);
    if (!Ocupado())
        Q_EMIT Desocupado();
}

void Transmisor::AtenderFalla(const QString &descripcion)
{
    // With nothing under way there is nobody to tell; the port is already
    // closed and the next Mandar() opens it again.
    if (!Ocupado())
        return;
    Fallar(descripcion, false);
}
