#include "argumentosdeenvio.h"
#include "avanceenconsola.h"
#include "codigodesalida.h"
#include "decisiondeenvio.h"
#include "documentopedido.h"
#include "envioporservidor.h"

#include "config/configuracion.h"
#include "documents/documento.h"
#include "config/registrodecarteles.h"
#include "config/velocidades.h"
#include "encoding/codificador.h"
#include "encoding/saltosdelinea.h"
#include "link/lineadecarteles.h"
#include "link/plandeenvio.h"
#include "link/transmisor.h"
#include "config/lineaconfigurada.h"
#include "platform/puertodelinea.h"
#include "schedule/alcancesdeprogramacion.h"
#include "schedule/ejecutordeprogramacion.h"
#include "schedule/estadodecarteles.h"
#include "schedule/serviciodeenvios.h"
#include "schedule/programacion.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <functional>
#include <optional>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include "platform/avisadordesenales.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// A person watching gets a bar redrawn in place; a log gets whole lines.
bool ErroresEnUnaTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

// One line per sign, in registry order: its name without the blanks around
// it, and the file the timetable has it show, as the timetable writes it.
QString LineasDeQueMuestra(const RegistroDeCarteles &registro, const Programacion &programacion,
                           const QList<qsizetype> &estado)
{
    QString lineas;
    for (qsizetype i = 0; i < registro.Cantidad(); ++i) {
        const qsizetype entrada = estado.value(i, SinEntrada);
        lineas += registro.En(i).NombreRecortado() + u": "_s
                  + (entrada == SinEntrada ? u"(nada)"_s : programacion.entradas.at(entrada).archivo) + u'\n';
    }
    return lineas;
}

using Decir = std::function<void(const QString &)>;

// The one reading of ./carteles.ini for every action: nothing, with the
// reason said, when it cannot be read; the caller then exits with
// ArchivoIlegible. An unreadable file is not replaced by the factory values
// here: nobody would see the warning, and the signs would be others.
std::optional<Configuracion> LeerConfiguracion(const Decir &decir)
{
    Configuracion configuracion;
    if (const auto fallo = CargarConfiguracion(configuracion)) {
        decir(u"No se pudo leer la configuración %1: %2"_s.arg(fallo->ruta, fallo->motivo));
        return std::nullopt;
    }
    return configuracion;
}

QString RutaPedida(const ArgumentosDeEnvio &argumentos)
{
    return argumentos.programacion.isEmpty() ? QString(RutaDeProgramacion) : argumentos.programacion;
}

#ifndef Q_OS_WIN
// The sign list as the runner has it at each look: one edited while it runs
// is taken; one that cannot be read keeps the last good one, as the port
// does, and the runner says why.
EjecutorDeProgramacion::LectorDeRegistro RegistroVigilado(Configuracion configuracion)
{
    QDateTime leida = QFileInfo(RutaDeConfiguracion).lastModified();
    std::optional<ErrorDeArchivo> ilegible;
    return [configuracion, leida, ilegible]() mutable {
        const QDateTime ahora = QFileInfo(RutaDeConfiguracion).lastModified();
        if (ahora != leida) {
            leida = ahora;
            Configuracion nueva;
            ilegible = CargarConfiguracion(nueva);
            if (!ilegible)
                configuracion.carteles = nueva.carteles;
        }
        return RegistroLeido{configuracion.carteles, ilegible};
    };
}

// The runner's line, configured; nothing, with the port's refusal said,
// when the file's line cannot be set.
PuertoDeLinea *PuertoDelEjecutor(const Configuracion &configuracion, const Decir &decir)
{
    auto *puerto = new PuertoDeLinea;
    // Nobody is there to run it again: the timetable tries at the next minute.
    puerto->PonerConsejoTrasPerdida(u"Revise que el adaptador serie esté conectado; el envío se reintenta al minuto."_s);
    if (!ConfigurarLinea(*puerto, configuracion)) {
        decir(puerto->DescripcionError());
        delete puerto;
        return nullptr;
    }
    return puerto;
}
#endif

// Runs the timetable at `ruta` with no window until SIGTERM or SIGINT. Each
// send is a line of the send log and of standard error.
int EjecutarProgramacion(const QString &ruta, const Decir &decir)
{
#ifdef Q_OS_WIN
    Q_UNUSED(ruta);
    decir(u"--programacion sin --que-muestra necesita las señales de un sistema POSIX."_s);
    return Numero(CodigoDeSalida::ArgumentosInvalidos);
#else
    const std::optional<Configuracion> configuracion = LeerConfiguracion(decir);
    if (!configuracion)
        return Numero(CodigoDeSalida::ArchivoIlegible);
    if (const QString aviso = AvisoDePuertoNoEntendido(*configuracion); !aviso.isEmpty())
        decir(u"Aviso: "_s + aviso);
    PuertoDeLinea *puerto = PuertoDelEjecutor(*configuracion, decir);
    if (!puerto)
        return Numero(CodigoDeSalida::FallaDeLinea);
    ServicioDeEnvios servicio(puerto);
    AvisadorDeSenales senales;
    if (!senales.Instalar({SIGINT, SIGTERM})) {
        decir(u"No se pudieron atender SIGINT y SIGTERM."_s);
        return Numero(CodigoDeSalida::FallaDeLinea);
    }
    QObject::connect(&senales, &AvisadorDeSenales::Recibida, qApp, &QCoreApplication::quit);

    EjecutorDeProgramacion ejecutor(servicio, ruta, RegistroVigilado(*configuracion));
    QObject::connect(&ejecutor, &EjecutorDeProgramacion::Anotado, &ejecutor, decir);
    if (const auto fallo = ejecutor.Cargar()) {
        decir(u"No se pudo leer la programación %1: %2"_s.arg(fallo->ruta, fallo->motivo));
        return Numero(CodigoDeSalida::ArchivoIlegible);
    }
    if (!ejecutor.Impedimento().isEmpty()) {
        decir(ejecutor.Impedimento());
        return Numero(CodigoDeSalida::FallaDeLinea);
    }
    // While it holds the folder's port, a cartel-enviar run there, or the
    // program's window, hands its frames over rather than find the port in use.
    if (!servicio.Servir(QDir::currentPath()) && !servicio.ErrorAlServir().isEmpty())
        decir(servicio.ErrorAlServir());
    const qsizetype entradas = ejecutor.programacion().entradas.size();
    decir(u"Programación %1: %2, por %3 (%4). SIGTERM o Ctrl+C la detienen."_s.arg(ruta)
              .arg(entradas == 1 ? u"1 entrada"_s : u"%1 entradas"_s.arg(entradas))
              .arg(NombreDeLinea(*configuracion))
              .arg(configuracion->ajustes));
    QCoreApplication::exec();
    decir(u"Programación detenida."_s);
    return Numero(CodigoDeSalida::Exito);
#endif
}

// --que-muestra: what each sign shows at the instant asked, on standard output.
int MostrarQueMuestra(const ArgumentosDeEnvio &argumentos, const Decir &decir, QFile &salida)
{
    const std::optional<Configuracion> configuracion = LeerConfiguracion(decir);
    if (!configuracion)
        return Numero(CodigoDeSalida::ArchivoIlegible);
    Programacion programacion;
    if (const auto fallo = LeerProgramacion(RutaPedida(argumentos), programacion)) {
        decir(u"No se pudo leer la programación %1: %2"_s.arg(fallo->ruta, fallo->motivo));
        return Numero(CodigoDeSalida::ArchivoIlegible);
    }
    QStringList problemas;
    DocumentosLeidos documentos;
    const QList<AlcanceDeTexto> alcances =
        AlcancesDeProgramacion(programacion, configuracion->carteles, documentos, problemas);
    for (const QString &problema : problemas)
        decir(u"Aviso: no se pudo leer el documento %1; no llega a ningún cartel."_s.arg(problema));
    const QTimeZone zona = QTimeZone::systemTimeZone();
    const QList<qsizetype> estado =
        EstadoDeCarteles(programacion, alcances, configuracion->carteles.Cantidad(),
                         InstanteDeHoraLocal(argumentos.fecha, argumentos.hora, zona), zona);
    salida.write(LineasDeQueMuestra(configuracion->carteles, programacion, estado).toUtf8());
    return Numero(CodigoDeSalida::Exito);
}

// The text to send or measure, and its document's destination line: from
// --texto, the document named, or standard input. False, with the reason
// said, when the document cannot be read.
bool LeerTextoPedido(const ArgumentosDeEnvio &argumentos, bool entradaLegible, TextoLeido &leido, const Decir &decir)
{
    if (argumentos.texto) {
        leido.texto = *argumentos.texto;
        return true;
    }
    if (argumentos.archivo.isEmpty())
        return true;
    QFile entrada;
    // By its descriptor, so that an unreadable input fails the read rather
    // than looking empty; one that is closed or open for writing only is left
    // unopened, which the reading reports as such.
    if (EsLaEntradaEstandar(argumentos.archivo) && entradaLegible)
        entrada.open(fileno(stdin), QIODevice::ReadOnly);
    if (const auto fallo = LeerDocumentoPedido(argumentos.archivo, entrada, leido)) {
        decir(u"No se pudo leer el documento %1: %2"_s.arg(fallo->ruta, fallo->motivo));
        return false;
    }
    return true;
}

// The line this run sends on: the file's, or the one the command line
// names, at the speed asked. Nothing, with the reason said, when the file
// cannot be read or names a line that is not understood.
std::optional<Configuracion> LineaDelEnvio(const ArgumentosDeEnvio &argumentos, const Decir &decir)
{
    std::optional<Configuracion> configuracion = LeerConfiguracion(decir);
    if (!configuracion)
        return std::nullopt;
    // A line named here replaces the file's, understood or not.
    if (argumentos.puerto || !argumentos.red.isEmpty()) {
        configuracion->puerto = argumentos.puerto.value_or(configuracion->puerto);
        configuracion->red = argumentos.red;
        configuracion->puertoNoEntendido = QString();
    }
    // Sending on a line the operator never named, and saying it went well,
    // is worse than not sending.
    if (const QString aviso = AvisoDePuertoNoEntendido(*configuracion); !aviso.isEmpty()) {
        decir(aviso + u" No se envió nada: corrija ./carteles.ini o nombre la línea con --puerto."_s);
        return std::nullopt;
    }
    if (argumentos.velocidad)
        configuracion->ajustes = AjustesDeVelocidad(*argumentos.velocidad);
    return configuracion;
}

// Sends the plan on a port opened here, when no process of this folder
// holds it, through the same line the program sends by: each string is
// tried, and the plan ends at its first failure. The console follows it.
// False when the line failed (said).
bool EnviarPorElPuerto(const PlanDeEnvio &plan, const Configuracion &configuracion, QFile &errores,
                       const Decir &decir, qint64 &entregadas, qint64 &totales)
{
    auto *puerto = new PuertoDeLinea;
    LineaDeCarteles linea(puerto);
    // Nothing here sends again: the operator runs the command again.
    puerto->PonerConsejoTrasPerdida(u"Revise que el adaptador serie esté conectado y vuelva a ejecutar la orden."_s);
    if (!ConfigurarLinea(*puerto, configuracion)) {
        decir(puerto->DescripcionError());
        return false;
    }
    AvanceEnConsola avance(plan.cadenas, errores, ErroresEnUnaTerminal());
    QObject::connect(&linea.Emisor(), &Transmisor::Comenzada, &avance, &AvanceEnConsola::Comenzada);
    QObject::connect(&linea.Emisor(), &Transmisor::Avance, &avance, &AvanceEnConsola::Avance);
    QEventLoop bucle;
    std::optional<QString> fallo;
    const quint64 numero = linea.ProximoPlan();
    QObject::connect(&linea, &LineaDeCarteles::PlanTerminado, &bucle, [&](quint64 terminado, const QString &descripcion) {
        if (terminado != numero)
            return;
        fallo = descripcion;
        bucle.quit();
    });
    linea.Enviar(plan);
    if (!fallo)
        bucle.exec();
    avance.Terminar();
    if (!fallo->isEmpty())
        decir(*fallo);
    entregadas = avance.TramasEntregadas();
    totales = avance.TramasTotales();
    return fallo->isEmpty();
}

// Sends the plan: through the process of this folder that holds the port
// (the program or a timetable runner), which sends it in turn with its own,
// or on the port itself when none does.
int EnviarPlan(const PlanDeEnvio &plan, const Configuracion &configuracion, QFile &errores, const Decir &decir)
{
    const QString linea = NombreDeLinea(configuracion);
    qint64 entregadas = 0;
    qint64 totales = 0;
    if (const auto servido = EnviarPorElServidor(plan.cadenas, linea, configuracion.ajustes, errores,
                                                 ErroresEnUnaTerminal())) {
        if (!servido->exito) {
            decir(servido->fallo);
            return Numero(CodigoDeSalida::FallaDeLinea);
        }
        entregadas = servido->tramasEntregadas;
        totales = servido->tramasTotales;
    } else if (!EnviarPorElPuerto(plan, configuracion, errores, decir, entregadas, totales)) {
        return Numero(CodigoDeSalida::FallaDeLinea);
    }
    decir(u"Listo: %1 de %2 tramas por %3 (%4)."_s.arg(entregadas).arg(totales).arg(linea, configuracion.ajustes));
    return Numero(CodigoDeSalida::Exito);
}

// Sending, or --longitud: the text, then (for a send) the line, the plan
// and the send.
int EnviarTexto(const ArgumentosDeEnvio &argumentos, bool entradaLegible, QFile &errores, QFile &salida,
                const Decir &decir)
{
    TextoLeido leido;
    if (!LeerTextoPedido(argumentos, entradaLegible, leido, decir))
        return Numero(CodigoDeSalida::ArchivoIlegible);
    if (argumentos.accion == ArgumentosDeEnvio::Accion::Longitud) {
        salida.write((TextoDeLongitud(CodificarTexto(SaltosCrLf(leido.texto)).size()) + u'\n').toUtf8());
        return Numero(CodigoDeSalida::Exito);
    }
    const std::optional<Configuracion> configuracion = LineaDelEnvio(argumentos, decir);
    if (!configuracion)
        return Numero(CodigoDeSalida::ArchivoIlegible);
    const DecisionDeEnvio decision = DecidirEnvio(argumentos, leido.texto, leido.propiedades, configuracion->carteles);
    if (decision.codigo != CodigoDeSalida::Exito) {
        decir(decision.motivo);
        return Numero(decision.codigo);
    }
    for (const QString &aviso : decision.plan.avisos)
        decir(u"Aviso: "_s + aviso);
    return EnviarPlan(decision.plan, *configuracion, errores, decir);
}

bool EntradaLegible()
{
#ifdef Q_OS_WIN
    return true;
#else
    const int modo = fcntl(fileno(stdin), F_GETFL);
    return modo >= 0 && (modo & O_ACCMODE) != O_WRONLY;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    // Before anything opens a descriptor: a closed standard input leaves its
    // number free, and the event loop's own descriptor would take it.
    const bool entradaLegible = EntradaLegible();
    QCoreApplication aplicacion(argc, argv);
    QCoreApplication::setApplicationName(u"cartel-enviar"_s);

    QFile errores;
    QFile salida;
    if (!errores.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        !salida.open(stdout, QIODevice::WriteOnly))
        return Numero(CodigoDeSalida::ArgumentosInvalidos);
    const Decir decir = [&errores](const QString &texto) {
        errores.write((u"cartel-enviar: "_s + texto + u'\n').toUtf8());
    };

    QString error;
    const std::optional<ArgumentosDeEnvio> argumentos =
        InterpretarArgumentos(QCoreApplication::arguments().mid(1), &error);
    if (!argumentos) {
        decir(error + u"\nUse cartel-enviar --help para ver las opciones."_s);
        return Numero(CodigoDeSalida::ArgumentosInvalidos);
    }
    switch (argumentos->accion) {
    case ArgumentosDeEnvio::Accion::Ayuda:
        salida.write(TextoDeAyuda().toUtf8());
        return Numero(CodigoDeSalida::Exito);
    case ArgumentosDeEnvio::Accion::Programacion:
        return EjecutarProgramacion(RutaPedida(*argumentos), decir);
    case ArgumentosDeEnvio::Accion::QueMuestra:
        return MostrarQueMuestra(*argumentos, decir, salida);
    case ArgumentosDeEnvio::Accion::Enviar:
    case ArgumentosDeEnvio::Accion::Direcciones:
    case ArgumentosDeEnvio::Accion::Longitud:
        break;
    }
    return EnviarTexto(*argumentos, entradaLegible, errores, salida, decir);
}
