#include "schedule/ejecutordeprogramacion.h"

#include "schedule/serviciodeenvios.h"

#include "config/registrodecarteles.h"
#include "documents/destinosdeenvio.h"
#include "link/plandeenvio.h"
#include "sending/planearenvio.h"
#include "link/transmisor.h"
#include "schedule/alcancesdeprogramacion.h"
#include "schedule/estadodecarteles.h"

#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <utility>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// A timer never waits longer than this: far changes are reached in steps,
// each one recomputed from the clock as it is then.
constexpr qint64 EsperaMaxima = 24LL * 60 * 60 * 1000;

// How far Ahora() looks for each sign's next change.
constexpr int CambiosMirados = 64;

qint64 Bytes(const PlanDeEnvio &plan)
{
    qint64 bytes = 0;
    for (const QByteArray &cadena : plan.cadenas)
        bytes += cadena.size();
    return bytes;
}

QString Nombre(const RegistroDeCarteles &registro, qsizetype posicion)
{
    return registro.En(posicion).NombreRecortado();
}

QString Hora(const QDateTime &instante, const QDateTime &ahora)
{
    return instante.date() == ahora.date() ? instante.toString(u"HH:mm"_s)
                                           : instante.toString(u"dd/MM HH:mm"_s);
}

} // namespace

EjecutorDeProgramacion::EjecutorDeProgramacion(ServicioDeEnvios &servicio, const QString &ruta,
                                               LectorDeRegistro registro, Reloj reloj, const QTimeZone &zona,
                                               QObject *parent)
    : QObject(parent), m_servicio(servicio), m_ruta(ruta), m_registro(std::move(registro)), m_reloj(std::move(reloj)),
      // The folder's line and signs are one: so is its timetable, whatever
      // file it is read from.
      m_zona(zona), m_cerrojo(std::make_unique<QLockFile>(QString(RutaDeProgramacion) + u".lock"_s)),
      m_cambio(new QTimer(this)), m_minuto(new QTimer(this))
{
    // The holder runs for days: its lock is stale only when its process is gone.
    m_cerrojo->setStaleLockTime(0);
    m_cambio->setSingleShot(true);
    m_cambio->setTimerType(Qt::PreciseTimer);
    connect(m_cambio, &QTimer::timeout, this, &EjecutorDeProgramacion::Revisar);
    m_minuto->setInterval(60s);
    m_minuto->setTimerType(Qt::VeryCoarseTimer);
    connect(m_minuto, &QTimer::timeout, this, &EjecutorDeProgramacion::PasoUnMinuto);
    connect(&m_servicio, &ServicioDeEnvios::Anotado, this, &EjecutorDeProgramacion::AlAnotar);
}

EjecutorDeProgramacion::~EjecutorDeProgramacion() = default;

QDateTime EjecutorDeProgramacion::Instante() const
{
    return m_reloj ? m_reloj() : QDateTime::currentDateTime().toTimeZone(m_zona);
}

std::optional<ErrorDeArchivo> EjecutorDeProgramacion::Cargar()
{
    m_corriendo = m_cerrojo->isLocked() || m_cerrojo->tryLock(0);
    m_detenida = false;
    m_impedimento.clear();
    if (!m_corriendo) {
        qint64 pid = 0;
        QString equipo;
        QString programa;
        m_impedimento = m_cerrojo->getLockInfo(&pid, &equipo, &programa)
                            ? u"Una sola programación por carpeta: la de esta carpeta ya la ejecuta %1 "
                              u"(proceso %2 en %3)."_s.arg(programa.isEmpty() ? u"otro programa"_s : programa)
                                  .arg(pid)
                                  .arg(equipo)
                            : u"Una sola programación por carpeta: la de esta carpeta ya la ejecuta otro "
                              u"programa (%1)."_s.arg(m_cerrojo->fileName());
    }
    m_programacion = {};
    m_huboLectura = false;
    m_errorDeLectura = LeerProgramacion(m_ruta, m_programacion);
    if (m_errorDeLectura)
        m_programacion = {};
    else
        m_huboLectura = true;
    const QFileInfo archivo(m_ruta);
    m_modificacionLeida = archivo.lastModified();
    m_tamanoLeido = archivo.exists() ? archivo.size() : -1;
    m_minuto->start();
    // Another process may have sent anything meanwhile.
    m_mostrado.clear();
    m_ultimoFallo.clear();
    Revisar();
    return m_errorDeLectura;
}

void EjecutorDeProgramacion::Detener()
{
    m_minuto->stop();
    m_cambio->stop();
    m_proximoCambio = {};
    if (m_corriendo)
        m_cerrojo->unlock();
    m_corriendo = false;
    m_detenida = true;
    Q_EMIT Cambiado();
}

void EjecutorDeProgramacion::PasoUnMinuto()
{
    if (!m_corriendo) {
        // The other process may have ended since.
        if (m_cerrojo->tryLock(0))
            Cargar();
        return;
    }
    RevisarArchivo();
    Revisar();
}

void EjecutorDeProgramacion::RevisarArchivo()
{
    // A hand edit of the file is taken as the operator's change.
    const QFileInfo archivo(m_ruta);
    if (archivo.lastModified() != m_modificacionLeida || (archivo.exists() ? archivo.size() : -1) != m_tamanoLeido)
        Releer();
}

void EjecutorDeProgramacion::Releer()
{
    const QFileInfo archivo(m_ruta);
    m_modificacionLeida = archivo.lastModified();
    m_tamanoLeido = archivo.exists() ? archivo.size() : -1;
    Programacion leida;
    if (const auto error = LeerProgramacion(m_ruta, leida)) {
        const bool nuevo = !m_errorDeLectura || m_errorDeLectura->motivo != error->motivo;
        m_errorDeLectura = error;
        // A file half saved by an editor, or mistyped, would otherwise stop
        // every sign's changes until someone mends it.
        if (m_huboLectura && nuevo)
            AnotarProblema(error->ruta, u"No se pudo leer la programación: %1. Sigue en vigor la última que se "
                                        u"leyó bien."_s.arg(error->motivo));
        return;
    }
    if (m_errorDeLectura && m_huboLectura)
        AnotarProblema(m_ruta, u"La programación se volvió a leer bien y está en vigor."_s);
    m_errorDeLectura.reset();
    m_huboLectura = true;
    m_programacion = leida;
    m_ultimoFallo.clear();
}

std::optional<ErrorDeArchivo> EjecutorDeProgramacion::PonerProgramacion(const Programacion &programacion)
{
    if (m_errorDeLectura)
        return ErrorDeArchivo{m_errorDeLectura->ruta,
                              u"El archivo no se pudo leer y no se reemplaza: corríjalo a mano (%1)."_s.arg(
                                  m_errorDeLectura->motivo)};
    if (const auto error = EscribirProgramacion(m_ruta, programacion))
        return error;
    m_programacion = programacion;
    m_huboLectura = true;
    const QFileInfo archivo(m_ruta);
    m_modificacionLeida = archivo.lastModified();
    m_tamanoLeido = archivo.size();
    m_ultimoFallo.clear();
    // Only the signs whose text the edit changes get a frame.
    Revisar();
    return std::nullopt;
}

void EjecutorDeProgramacion::RegistroCambiado()
{
    Revisar();
}

RegistroLeido EjecutorDeProgramacion::LeerRegistro()
{
    RegistroLeido leido = m_registro();
    const QString problema = leido.error ? leido.error->Texto() : QString();
    if (problema != m_problemaDeRegistro) {
        m_problemaDeRegistro = problema;
        if (leido.error)
            AnotarProblema(leido.error->ruta, u"No se pudo leer la lista de carteles: %1. Siguen los carteles que "
                                              u"se leyeron bien."_s.arg(leido.error->motivo));
    }
    return leido;
}

void EjecutorDeProgramacion::Revisar()
{
    const RegistroDeCarteles registro = LeerRegistro().carteles;
    const QDateTime ahora = Instante();
    // A sign no longer in the list is forgotten; one whose line changed is
    // another sign, that nobody knows what shows.
    QSet<QString> lineas;
    for (const Cartel &cartel : registro)
        lineas.insert(cartel.Registro());
    for (auto it = m_mostrado.begin(); it != m_mostrado.end();)
        it = lineas.contains(it.key()) ? std::next(it) : m_mostrado.erase(it);
    QStringList problemas;
    m_alcances = AlcancesDeProgramacion(m_programacion, registro, m_documentos, problemas);
    m_deseado = EstadoDeCarteles(m_programacion, m_alcances, registro.Cantidad(), ahora, m_zona);
    if (!m_corriendo) {
        m_cambio->stop();
        m_proximoCambio = {};
        Q_EMIT Cambiado();
        return;
    }

    // An entry due now whose document cannot be read reaches no sign, and
    // nobody would know why its text is not up.
    QSet<QString> sinLeer;
    for (qsizetype e = 0; e < m_programacion.entradas.size(); ++e) {
        const EntradaDeProgramacion &entrada = m_programacion.entradas.at(e);
        const AlcanceDeTexto &alcance = m_alcances.at(e);
        if (alcance.todos || !alcance.posiciones.isEmpty() || sinLeer.contains(entrada.archivo) ||
            !EntradaActiva(entrada, ahora, m_zona))
            continue;
        if (const auto &error = m_documentos.Leer(entrada.archivo).error) {
            sinLeer.insert(entrada.archivo);
            Anotar({ahora, {}, entrada.archivo, 0, u"No se pudo leer el documento: "_s + error->motivo}, e);
        }
    }

    // Two entries that name the same file put the same text up: the sign
    // already shows it, and nothing is sent.
    QSet<QString> intentados;
    const auto pendientes = [&] {
        QMap<QString, QList<qsizetype>> faltan;
        for (qsizetype i = 0; i < m_deseado.size(); ++i) {
            const qsizetype e = m_deseado.at(i);
            if (e == SinEntrada)
                continue;
            const QString &archivo = m_programacion.entradas.at(e).archivo;
            const auto mostrado = m_mostrado.constFind(registro.En(i).Registro());
            if ((mostrado == m_mostrado.cend() || *mostrado != archivo) && !intentados.contains(archivo))
                faltan[archivo].append(i);
        }
        return faltan;
    };
    // A frame to address 0 is the only one a sign of unknown address hears,
    // and it lands on every sign: so it goes only when every sign changes to
    // that text, or when such a sign needs it.
    const auto aTodos = [&](const QList<qsizetype> &faltan) {
        if (faltan.size() == registro.Cantidad())
            return true;
        for (qsizetype i : faltan) {
            if (registro.En(i).Direccion() == 0)
                return true;
        }
        return false;
    };
    // A frame to every sign covers the others, so those go first and the
    // signs that want something else are sent theirs after it.
    for (bool primeroATodos : {true, false}) {
        const auto faltan = pendientes();
        for (auto it = faltan.cbegin(); it != faltan.cend(); ++it) {
            const bool todos = aTodos(it.value());
            if (todos != primeroATodos)
                continue;
            intentados.insert(it.key());
            EnviarArchivo(it.key(), m_deseado.at(it.value().first()), it.value(), todos, registro, ahora);
        }
    }
    Programar();
    Q_EMIT Cambiado();
}

void EjecutorDeProgramacion::EnviarArchivo(const QString &archivo, qsizetype entrada, const QList<qsizetype> &faltan,
                                           bool aTodos, const RegistroDeCarteles &registro, const QDateTime &momento)
{
    DestinosDeTexto destinos;
    destinos.global = aTodos;
    QStringList nombres;
    for (qsizetype i : faltan) {
        destinos.nombres.append(registro.En(i).Nombre());
        nombres.append(Nombre(registro, i));
    }
    EnvioAnotado anotado{momento, aTodos ? QStringList{u"Global"_s} : nombres, archivo, 0, QString()};

    // Read at each send (again only if it changed): the operator may have
    // changed the text since.
    const DocumentoLeido &documento = m_documentos.Leer(archivo);
    if (documento.error) {
        anotado.resultado = u"No se pudo leer el documento: "_s + documento.error->motivo;
        Anotar(anotado, entrada);
        return;
    }
    const PlanDeEnvio plan = PlanearEnvio(documento.texto, destinos, registro);
    if (!plan.Enviable()) {
        anotado.resultado = plan.motivo;
        Anotar(anotado, entrada);
        return;
    }
    anotado.bytes = Bytes(plan);
    // Where the frames land: address 0 on every sign, any other address on
    // every sign that has it.
    QStringList alcanzados;
    for (const Cartel &cartel : registro) {
        const qint64 direccion = cartel.Direccion();
        if (plan.direcciones.contains(0) ||
            (direccion > 0 && direccion <= 255 && plan.direcciones.contains(static_cast<quint8>(direccion))))
            alcanzados.append(cartel.Registro());
    }
    for (const QString &cartel : std::as_const(alcanzados))
        m_mostrado.insert(cartel, archivo);
    // Known before the line is touched: a port that will not open fails
    // within the send, and its line is told before EnviarPorLaLinea() returns.
    const quint64 numero = m_servicio.ProximoEnvio();
    m_enCurso.insert(numero, {alcanzados, entrada});
    m_servicio.EnviarPorLaLinea(plan, anotado);
}

void EjecutorDeProgramacion::AlAnotar(quint64 envio, const EnvioAnotado &anotado, const QString &linea)
{
    const EnvioEnCurso hecho = m_enCurso.take(envio);
    // A failure drops whatever was queued: what those signs show is unknown.
    if (anotado.resultado != u"enviado"_s) {
        for (const QString &cartel : hecho.carteles)
            m_mostrado.remove(cartel);
    }
    Informar(anotado, linea, hecho.entrada);
    Q_EMIT Cambiado();
}

void EjecutorDeProgramacion::Anotar(const EnvioAnotado &envio, qsizetype entrada)
{
    Informar(envio, m_servicio.Anotar(envio), entrada);
}

void EjecutorDeProgramacion::Informar(const EnvioAnotado &envio, const QString &linea, qsizetype entrada)
{
    const bool enviado = envio.resultado == u"enviado"_s;
    Q_EMIT Anotado(linea);
    if (entrada < 0)
        return;
    if (enviado) {
        m_ultimoFallo.clear();
        return;
    }
    m_ultimoFallo = u"%1 a las %2: %3"_s.arg(envio.archivo, envio.momento.toString(u"HH:mm"_s),
                                             envio.resultado.section(u'\n', 0, 0));
    Q_EMIT Fallo(linea);
}

void EjecutorDeProgramacion::AnotarProblema(const QString &archivo, const QString &motivo)
{
    Q_EMIT Anotado(m_servicio.Anotar(EnvioAnotado{Instante(), {}, archivo, 0, motivo}));
    Q_EMIT Cambiado();
}

void EjecutorDeProgramacion::Programar()
{
    m_cambio->stop();
    m_proximoCambio = {};
    const QDateTime ahora = Instante();
    const auto proximo = ProximoCambio(m_programacion, ahora, m_zona);
    if (!proximo)
        return;
    m_proximoCambio = *proximo;
    const qint64 espera = std::clamp<qint64>(ahora.msecsTo(*proximo), 0, EsperaMaxima);
    m_cambio->start(std::chrono::milliseconds(espera));
}

QString EjecutorDeProgramacion::Resumen() const
{
    if (m_detenida)
        return u"Programación: detenida, el programa termina"_s;
    if (!m_impedimento.isEmpty())
        return u"Programación: la ejecuta otro programa"_s;
    if (SigueLaAnterior())
        return u"Programación: no se pudo leer %1; sigue la última que se leyó bien"_s.arg(m_ruta);
    if (m_errorDeLectura)
        return u"Programación: no se pudo leer %1"_s.arg(m_ruta);
    if (!m_problemaDeRegistro.isEmpty())
        return u"Programación: no se pudo leer la lista de carteles; siguen los que se leyeron bien"_s;
    if (!m_ultimoFallo.isEmpty())
        return u"Programación: falló "_s + m_ultimoFallo;
    if (m_programacion.entradas.isEmpty())
        return QString();
    const qsizetype carteles = m_deseado.size() - m_deseado.count(SinEntrada);
    QString resumen = carteles == 1 ? u"Programación: 1 cartel"_s : u"Programación: %1 carteles"_s.arg(carteles);
    if (m_proximoCambio.isValid())
        resumen += u"; próximo cambio "_s + Hora(m_proximoCambio, Instante());
    return resumen;
}

QList<CartelAhora> EjecutorDeProgramacion::Ahora() const
{
    const RegistroDeCarteles registro = m_registro().carteles;
    const QDateTime ahora = Instante();
    QList<CartelAhora> carteles;
    const auto archivo = [this](qsizetype e) {
        return e == SinEntrada ? QString() : m_programacion.entradas.at(e).archivo;
    };
    for (qsizetype i = 0; i < registro.Cantidad(); ++i) {
        CartelAhora cartel;
        cartel.nombre = Nombre(registro, i);
        const qsizetype e = m_deseado.value(i, SinEntrada);
        cartel.archivo = archivo(e);
        cartel.pendiente = e != SinEntrada && m_mostrado.value(registro.En(i).Registro()) != cartel.archivo;
        carteles.append(cartel);
    }
    if (m_alcances.size() != m_programacion.entradas.size())
        return carteles;
    // Each sign's own next change may lie past several that leave it alone.
    qsizetype sinCambio = carteles.size();
    QDateTime desde = ahora;
    for (int paso = 0; paso < CambiosMirados && sinCambio > 0; ++paso) {
        const auto cambio = ProximoCambio(m_programacion, desde, m_zona);
        if (!cambio)
            break;
        const QList<qsizetype> estado = EstadoDeCarteles(m_programacion, m_alcances, registro.Cantidad(), *cambio, m_zona);
        for (qsizetype i = 0; i < carteles.size(); ++i) {
            CartelAhora &cartel = carteles[i];
            // With no entry due the sign keeps what it shows: no change.
            if (cartel.proximo.isValid() || estado.value(i) == SinEntrada ||
                estado.value(i) == m_deseado.value(i, SinEntrada))
                continue;
            cartel.proximo = *cambio;
            cartel.archivoProximo = archivo(estado.at(i));
            --sinCambio;
        }
        desde = *cambio;
    }
    return carteles;
}
