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
    , m_puerto(puertoSerie)
    , m_pausa(new QTimer(this))
    , m_sondeo(new QTimer(this))
{
    m_pausa->setObjectName(u"Pausa"_s);
    m_pausa->setSingleShot(true);
    // A coarse timer may fire a little early, and the pause is a minimum.
    m_pausa->setTimerType(Qt::PreciseTimer);
    m_pausa->setInterval(100ms);
    connect(m_pausa, &QTimer::timeout, this, &Transmisor::Reanudar);

    m_sondeo->setObjectName(u"Sondeo"_s);
    m_sondeo->setInterval(IntervaloDeSondeo);
    connect(m_sondeo, &QTimer::timeout, this, [this] {
        VigilarAvance();
        Avanzar();
    });

    connect(&m_puerto, &PuertoSerie::BytesEntregados, this, &Transmisor::Avanzar);
    connect(&m_puerto, &PuertoSerie::Falla, this, &Transmisor::AtenderFalla);
}

bool Transmisor::Mandar(const QByteArray &nueva)
{
    if (Ocupado()) {
        m_cola.append(nueva);
        m_tramasEnCola += FinesDeTrama(nueva).size();
        AvisarTrama();
        return true;
    }
    // A new run: its frames are counted from the first.
    m_tramasHechas = 0;
    if (Empezar(nueva))
        return true;
    if (!Ocupado())
        Q_EMIT Desocupado();
    return false;
}

bool Transmisor::Ocupado() const
{
    return m_estado != Estado::Libre || !m_cola.isEmpty();
}

void Transmisor::PonerIntervaloDePausa(std::chrono::milliseconds intervalo)
{
    m_pausa->setInterval(intervalo);
}

void Transmisor::PonerPlazoSinAvance(std::chrono::milliseconds plazo)
{
    m_plazoSinAvance = plazo;
}

std::chrono::milliseconds Transmisor::IntervaloDePausa() const
{
    return m_pausa->intervalAsDuration();
}

// Called with the engine idle. Emits Fallo itself when the port will not open.
bool Transmisor::Empezar(const QByteArray &nueva)
{
    if (!m_puerto.Abrir()) {
        // Its frames are not in the count (a queued string's left it with the
        // queue), and the figure is told before the failure, which a receiver
        // may keep on screen for a while.
        AvisarTrama();
        Q_EMIT Fallo(m_puerto.DescripcionError());
        return false;
    }
    ++m_turno;
    const quint64 miTurno = m_turno;
    m_cadena = nueva;
    m_posicion = 0;
    m_finesDeTrama = FinesDeTrama(m_cadena);
    m_yaSalidos = 0;
    m_estado = m_cadena.isEmpty() ? Estado::VaciandoFin : Estado::Escribiendo;
    ReiniciarVigilancia();
    m_sondeo->start();

    Q_EMIT Comenzada(m_cadena.size());
    if (m_turno != miTurno)
        return true;
    if (m_cadena.isEmpty()) {
        Q_EMIT Escrita();
        if (m_turno != miTurno)
            return true;
    }
    Avanzar();
    return true;
}

void Transmisor::Avanzar()
{
    // A receiver of Avance or Escrita that spins an event loop must not
    // start a second writer over the first.
    if (m_avanzando)
        return;
    const QScopedValueRollback guardia(m_avanzando, true);

    for (;;) {
        switch (m_estado) {
        case Estado::Libre:
        case Estado::EnPausa:
            return;
        case Estado::Escribiendo:
            if (!EscribirTandas())
                return;
            break;
        case Estado::VaciandoPausa:
            if (m_puerto.Pendientes() > 0)
                return;
            // Only now: the pause runs from the moment the last byte left.
            m_estado = Estado::EnPausa;
            m_yaSalidos = m_posicion;
            m_pausa->start();
            {
                const quint64 miTurno = m_turno;
                AvisarTrama();
                if (m_turno == miTurno && m_estado == Estado::EnPausa)
                    Q_EMIT PausaComenzada(m_pausa->interval());
            }
            return;
        case Estado::VaciandoFin:
            if (m_puerto.Pendientes() > 0)
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
    while (m_estado == Estado::Escribiendo) {
        const qint64 lugar = MarcaDePendientes - m_puerto.Pendientes();
        if (lugar <= 0)
            return false;

        const qsizetype ultimo = m_cadena.size() - 1;
        const qsizetype finDeTrama = m_cadena.indexOf(static_cast<char>(ByteFinDeTrama), m_posicion);
        const qsizetype hasta = (finDeTrama < 0 || finDeTrama == ultimo) ? m_cadena.size() : finDeTrama + 1;
        const qsizetype cantidad = std::min({hasta - m_posicion, static_cast<qsizetype>(lugar), TamanoDeTanda});

        if (!m_puerto.Escribir(m_cadena.mid(m_posicion, cantidad))) {
            Fallar(m_puerto.DescripcionError(), true);
            return false;
        }
        m_posicion += cantidad;

        const bool terminada = m_posicion == m_cadena.size();
        if (terminada)
            m_estado = Estado::VaciandoFin;
        else if (m_posicion == hasta)
            m_estado = Estado::VaciandoPausa;

        const quint64 miTurno = m_turno;
        Q_EMIT Avance(m_posicion, m_cadena.size());
        if (m_turno != miTurno)
            return false;
        AvisarTrama();
        if (m_turno != miTurno)
            return false;
        if (terminada) {
            Q_EMIT Escrita();
            if (m_turno != miTurno)
                return false;
        }
    }
    return true;
}

void Transmisor::TerminarCadena()
{
    m_estado = Estado::Libre;
    m_tramasHechas += m_finesDeTrama.size();
    m_finesDeTrama.clear();
    m_cadena.clear();
    m_posicion = 0;
    const quint64 miTurno = m_turno;
    Q_EMIT CadenaTerminada();
    // A receiver that started a run of its own has taken over the engine.
    if (m_turno != miTurno)
        return;
    while (!m_cola.isEmpty()) {
        const QByteArray siguiente = m_cola.takeFirst();
        m_tramasEnCola -= FinesDeTrama(siguiente).size();
        if (Empezar(siguiente))
            return;
        // Its Fallo has been emitted; the next one in the queue tries again.
        if (m_estado != Estado::Libre)
            return;
    }
    m_sondeo->stop();
    Q_EMIT Desocupado();
    // After Desocupado, so that nobody is told idle once a receiver has
    // started the next run; then the figures are that run's.
    AvisarTrama();
}

void Transmisor::Reanudar()
{
    if (m_estado != Estado::EnPausa)
        return;
    m_estado = Estado::Escribiendo;
    ReiniciarVigilancia();
    Avanzar();
}

void Transmisor::ReiniciarVigilancia()
{
    m_desdeElUltimoAvance.start();
    m_salidosVistos = m_posicion - m_puerto.Pendientes();
}

// A port that holds bytes and lets none of them out for the whole time
// allowed is taken as a dead line.
void Transmisor::VigilarAvance()
{
    if (m_estado == Estado::Libre || m_estado == Estado::EnPausa)
        return;
    const qint64 pendientes = m_puerto.Pendientes();
    // Watched only while a string is under way, whose bytes written so far
    // are m_posicion.
    const qint64 salidos = m_posicion - pendientes;
    if (pendientes == 0 || salidos > m_salidosVistos) {
        m_desdeElUltimoAvance.start();
        m_salidosVistos = salidos;
        return;
    }
    if (m_desdeElUltimoAvance.elapsed() >= m_plazoSinAvance.count())
        Fallar(TextoDeLineaDetenida(pendientes), true);
}

QString Transmisor::TextoDeLineaDetenida(qint64 pendientes) const
{
    const qint64 milisegundos = m_plazoSinAvance.count();
    const QString plazo = milisegundos % 1000 == 0 ? u"%1 s"_s.arg(milisegundos / 1000)
                                                   : u"%1 ms"_s.arg(milisegundos);
    return u"El puerto %1 no transmite: hace %2 que %3 bytes esperan salir y no sale ninguno. "
           u"Revise el adaptador serie y su cable."_s.arg(m_puerto.Nombre(), plazo, QString::number(pendientes));
}

QList<qsizetype> Transmisor::FinesDeTrama(const QByteArray &cadena)
{
    QList<qsizetype> fines;
    qsizetype inicio = 0;
    while (inicio < cadena.size()) {
        const bool conDireccion = static_cast<quint8>(cadena.at(inicio)) == ByteTramaADireccion;
        qsizetype fin = cadena.indexOf(static_cast<char>(ByteFinDeTrama), inicio + (conDireccion ? 2 : 0));
        if (fin < 0)
            fin = cadena.size() - 1;
        fines.append(fin);
        inicio = fin + 1;
    }
    return fines;
}

// Called before anything is dropped. A frame counts as gone only once the
// port has drained it: bytes still queued die with a lost device.
QString Transmisor::TextoDeCancelacion() const
{
    // The whole send, as the operator started it: the strings already gone
    // count too, so three signs read "de sus 3" whichever frame was lost.
    const qsizetype total = m_tramasHechas + m_finesDeTrama.size() + m_tramasEnCola;
    const qsizetype sinSalir =
        m_finesDeTrama.cend() - std::lower_bound(m_finesDeTrama.cbegin(), m_finesDeTrama.cend(), m_yaSalidos)
        + m_tramasEnCola;
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
    // Between the port's own account and its system detail, if it has one;
    // otherwise after everything the port said.
    const qsizetype corte = descripcion.indexOf(PuertoSerie::MarcaDeDetalle);
    const QString cancelacion = u"\n\n"_s + TextoDeCancelacion();
    const QString completa = corte < 0 ? QString(descripcion + cancelacion)
                                       : QString(descripcion.left(corte) + cancelacion + descripcion.mid(corte));
    ++m_turno;
    m_cola.clear();
    m_tramasEnCola = 0;
    m_cadena.clear();
    m_finesDeTrama.clear();
    m_tramasHechas = 0;
    m_posicion = 0;
    m_estado = Estado::Libre;
    m_pausa->stop();
    m_sondeo->stop();
    if (cerrarPuerto)
        m_puerto.Cerrar();
    // Cleared before the failure is told, which a receiver may keep on screen.
    AvisarTrama();
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

void Transmisor::AvisarTrama()
{
    int trama = 0;
    int de = 0;
    if (Ocupado()) {
        de = static_cast<int>(m_tramasHechas + m_finesDeTrama.size() + m_tramasEnCola);
        // Frames of this string that have left the line. One handed whole to
        // the port is still going out, and the operator is told so.
        const qsizetype salidas =
            std::lower_bound(m_finesDeTrama.cbegin(), m_finesDeTrama.cend(), m_yaSalidos) - m_finesDeTrama.cbegin();
        trama = static_cast<int>(std::min<qsizetype>(m_tramasHechas + salidas + 1, de));
    }
    if (trama == m_tramaAvisada && de == m_deAvisado)
        return;
    m_tramaAvisada = trama;
    m_deAvisado = de;
    Q_EMIT TramaEnCurso(trama, de);
}
