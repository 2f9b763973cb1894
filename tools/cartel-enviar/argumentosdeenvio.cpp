#include "argumentosdeenvio.h"

#include "codigodesalida.h"

#include "config/direcciondered.h"
#include "config/velocidades.h"

using namespace Qt::StringLiterals;

namespace {

// "2400 o 9600", from the speeds the program offers.
QString Velocidades()
{
    QStringList velocidades;
    for (int velocidad : VelocidadesOfrecidas())
        velocidades.append(QString::number(velocidad));
    const QString ultima = velocidades.takeLast();
    return velocidades.isEmpty() ? ultima : velocidades.join(u", "_s) + u" o "_s + ultima;
}

bool Fallar(QString *error, const QString &motivo)
{
    if (error)
        *error = motivo;
    return false;
}

// Walks the arguments once; each option that takes a value takes it here.
class Lector
{
public:
    Lector(const QStringList &argumentos, ArgumentosDeEnvio &resultado)
        : m_argumentos(argumentos), m_resultado(resultado)
    {
    }

    bool Leer(QString *error)
    {
        bool soloArchivos = false;
        for (m_i = 0; m_i < m_argumentos.size(); ++m_i) {
            const QString &argumento = m_argumentos.at(m_i);
            if (soloArchivos || argumento == u"-"_s || !argumento.startsWith(u'-')) {
                if (!m_resultado.archivo.isEmpty())
                    return Fallar(error, u"Se dio más de un archivo: «%1» y «%2»."_s.arg(m_resultado.archivo,
                                                                                       argumento));
                if (argumento.isEmpty())
                    return Fallar(error, u"El nombre del archivo está vacío."_s);
                m_resultado.archivo = argumento;
                continue;
            }
            if (argumento == u"--"_s) {
                soloArchivos = true;
                continue;
            }
            if (!LeerOpcion(argumento, error))
                return false;
        }
        return true;
    }

private:
    bool LeerOpcion(const QString &argumento, QString *error)
    {
        const qsizetype igual = argumento.indexOf(u'=');
        const QString opcion = igual < 0 ? argumento : argumento.left(igual);
        std::optional<QString> valorEnLinea;
        if (igual >= 0)
            valorEnLinea = argumento.mid(igual + 1);

        auto sinValor = [&](bool &bandera) {
            if (valorEnLinea)
                return Fallar(error, u"%1 no lleva valor."_s.arg(opcion));
            if (bandera)
                return Fallar(error, u"%1 se dio dos veces."_s.arg(opcion));
            bandera = true;
            return true;
        };

        if (opcion == u"--global"_s)
            return sinValor(m_resultado.global);
        if (opcion == u"--direcciones"_s)
            return sinValor(m_direcciones);
        if (opcion == u"--longitud"_s)
            return sinValor(m_longitud);

        if (opcion == u"--programacion"_s) {
            if (m_programacion)
                return Fallar(error, u"--programacion se dio dos veces."_s);
            m_programacion = true;
            // Its file is optional: a next argument that is an option is not it.
            if (!valorEnLinea && m_i + 1 < m_argumentos.size() && !m_argumentos.at(m_i + 1).startsWith(u'-'))
                valorEnLinea = m_argumentos.at(++m_i);
            if (valorEnLinea && valorEnLinea->isEmpty())
                return Fallar(error, u"--programacion necesita el nombre de un archivo."_s);
            m_resultado.programacion = valorEnLinea.value_or(QString());
            return true;
        }

        QString valor;
        if (opcion == u"--texto"_s || opcion == u"--a"_s || opcion == u"--puerto"_s ||
            opcion == u"--velocidad"_s || opcion == u"--que-muestra"_s) {
            if (valorEnLinea) {
                valor = *valorEnLinea;
            } else if (m_i + 1 < m_argumentos.size()) {
                valor = m_argumentos.at(++m_i);
            } else {
                return Fallar(error, u"Falta el valor de %1."_s.arg(opcion));
            }
        } else {
            return Fallar(error, u"Opción desconocida: %1."_s.arg(argumento));
        }

        if (opcion == u"--texto"_s) {
            if (m_resultado.texto)
                return Fallar(error, u"--texto se dio dos veces."_s);
            m_resultado.texto = valor;
        } else if (opcion == u"--que-muestra"_s) {
            if (m_queMuestra)
                return Fallar(error, u"--que-muestra se dio dos veces."_s);
            m_queMuestra = true;
            // Exactly as the help shows it: a script that gets it wrong hears so.
            m_resultado.fecha = QDate::fromString(valor.left(10), Qt::ISODate);
            m_resultado.hora = QTime::fromString(valor.mid(11), u"HH:mm"_s);
            if (valor.size() != 16 || valor.at(10) != u' ' || !m_resultado.fecha.isValid() ||
                !m_resultado.hora.isValid())
                return Fallar(error, u"--que-muestra lleva una fecha y una hora como «2026-12-24 19:30», no «%1»."_s
                                         .arg(valor));
        } else if (opcion == u"--a"_s) {
            if (valor.trimmed().isEmpty())
                return Fallar(error, u"--a necesita el nombre de un cartel."_s);
            m_resultado.nombres.append(valor);
        } else if (opcion == u"--puerto"_s) {
            if (m_resultado.puerto || !m_resultado.red.isEmpty())
                return Fallar(error, u"--puerto se dio dos veces."_s);
            if (InterpretarDireccionDeRed(valor)) {
                m_resultado.red = valor.mid(PrefijoDeRed.size());
                return true;
            }
            bool numero = false;
            const int puerto = valor.toInt(&numero);
            if (!numero || puerto < PuertoMinimo || puerto > PuertoMaximo)
                return Fallar(error, u"--puerto va de %1 a %2, o es tcp:EQUIPO:PUERTO, no «%3»."_s.arg(PuertoMinimo)
                                         .arg(PuertoMaximo).arg(valor));
            m_resultado.puerto = puerto;
        } else {
            if (m_resultado.velocidad)
                return Fallar(error, u"--velocidad se dio dos veces."_s);
            bool numero = false;
            const int velocidad = valor.toInt(&numero);
            if (!numero || !VelocidadesOfrecidas().contains(velocidad))
                return Fallar(error, u"--velocidad es %1, no «%2»."_s.arg(Velocidades(), valor));
            m_resultado.velocidad = velocidad;
        }
        return true;
    }

public:
    bool Direcciones() const { return m_direcciones; }
    bool Longitud() const { return m_longitud; }
    bool QueMuestra() const { return m_queMuestra; }
    bool Programacion() const { return m_programacion; }

private:
    const QStringList &m_argumentos;
    ArgumentosDeEnvio &m_resultado;
    qsizetype m_i = 0;
    bool m_direcciones = false;
    bool m_longitud = false;
    bool m_queMuestra = false;
    bool m_programacion = false;
};

} // namespace

std::optional<ArgumentosDeEnvio> InterpretarArgumentos(const QStringList &argumentos, QString *error)
{
    for (const QString &argumento : argumentos) {
        if (argumento == u"--"_s)
            break;
        if (argumento == u"--help"_s || argumento == u"-h"_s) {
            ArgumentosDeEnvio ayuda;
            ayuda.accion = ArgumentosDeEnvio::Accion::Ayuda;
            return ayuda;
        }
    }

    ArgumentosDeEnvio resultado;
    Lector lector(argumentos, resultado);
    if (!lector.Leer(error))
        return std::nullopt;

    const bool hayTexto = resultado.texto.has_value() || !resultado.archivo.isEmpty();
    const bool hayDestinos = resultado.global || !resultado.nombres.isEmpty();
    if (resultado.texto && !resultado.archivo.isEmpty()) {
        Fallar(error, u"Se dio un archivo y --texto: elija uno de los dos."_s);
        return std::nullopt;
    }
    if (resultado.global && !resultado.nombres.isEmpty()) {
        Fallar(error, u"--global y --a se excluyen: Global ya llega a todos los carteles."_s);
        return std::nullopt;
    }
    if (lector.QueMuestra()) {
        if (lector.Direcciones() || lector.Longitud() || hayTexto || hayDestinos || resultado.puerto || !resultado.red.isEmpty() ||
            resultado.velocidad) {
            Fallar(error, u"--que-muestra va solo, o con --programacion: no envía nada."_s);
            return std::nullopt;
        }
        resultado.accion = ArgumentosDeEnvio::Accion::QueMuestra;
        return resultado;
    }
    if (lector.Programacion()) {
        if (lector.Direcciones() || lector.Longitud() || hayTexto || hayDestinos || resultado.puerto || !resultado.red.isEmpty() ||
            resultado.velocidad) {
            Fallar(error, u"--programacion va solo, con su archivo: ejecuta la programación hasta que se lo "
                          u"detenga, o con --que-muestra dice qué mostraría."_s);
            return std::nullopt;
        }
        resultado.accion = ArgumentosDeEnvio::Accion::Programacion;
        return resultado;
    }
    if (lector.Direcciones()) {
        if (lector.Longitud() || hayTexto || hayDestinos) {
            Fallar(error, u"--direcciones va solo, o con --puerto y --velocidad: muestra en cada cartel su "
                          u"dirección y no envía ningún texto."_s);
            return std::nullopt;
        }
        resultado.accion = ArgumentosDeEnvio::Accion::Direcciones;
        return resultado;
    }
    if (!hayTexto) {
        Fallar(error, u"Falta qué enviar: un archivo, --texto o --direcciones."_s);
        return std::nullopt;
    }
    if (lector.Longitud()) {
        if (hayDestinos || resultado.puerto || !resultado.red.isEmpty() || resultado.velocidad) {
            Fallar(error, u"--longitud no envía nada: no lleva --a, --global, --puerto ni --velocidad."_s);
            return std::nullopt;
        }
        resultado.accion = ArgumentosDeEnvio::Accion::Longitud;
    }
    return resultado;
}

QString TextoDeAyuda()
{
    return uR"(Uso: cartel-enviar [opciones] ARCHIVO|-
     cartel-enviar [opciones] --texto "TEXTO"
     cartel-enviar --direcciones [--puerto N|tcp:EQUIPO:PUERTO] [--velocidad V]
     cartel-enviar --que-muestra "AAAA-MM-DD HH:MM" [--programacion ARCHIVO]
     cartel-enviar --programacion [ARCHIVO]

Envía un texto a los carteles sin abrir el programa, con los mismos bytes,
pausas y avisos de falla que "Enviar → Ahora". Lee ./carteles.ini del
directorio actual (puerto, velocidad y carteles) y no lo modifica nunca;
tampoco escribe el documento.

  ARCHIVO             un documento guardado por el programa; va a los
                      destinos escritos en él, buscados por nombre en
                      ./carteles.ini, como al abrirlo en el programa.
                      "-" (o /dev/stdin) lee el documento de la entrada
                      estándar (un archivo llamado "-" se nombra "./-")
  --texto "TEXTO"     envía este texto; sin --a ni --global, a todos
  --a NOMBRE          a este cartel de ./carteles.ini (se puede repetir);
                      reemplaza los destinos del documento
  --global            a todos los carteles (una sola trama)
  --direcciones       cada cartel muestra su dirección (borra su memoria)
  --longitud          escribe la longitud codificada y no envía nada
  --puerto N          usa el puerto ComN (%8 a %9) solo esta vez
  --puerto tcp:EQUIPO:PUERTO
                      usa solo esta vez el servidor de puerto serie de esa
                      dirección de la red (tcp:192.168.1.50:4001,
                      tcp:[fe80::1]:4001); la velocidad de su línea la fija
                      el servidor
  --velocidad V       usa %7 b.p.s. solo esta vez
  --que-muestra "AAAA-MM-DD HH:MM"
                      escribe, por cada cartel de ./carteles.ini, el texto
                      que la programación le hace mostrar a esa hora local
                      («Caja: cierre.txt», o «Caja: (nada)»); no envía
                      nada
  --programacion [ARCHIVO]
                      con --que-muestra, la programación a leer en vez de
                      ./programacion.json. Sola, ejecuta esa programación
                      sin ventana hasta recibir SIGTERM o SIGINT (estado
                      0): envía cada cambio a su hora, reintenta al minuto
                      lo que falló y anota cada envío en ./envios.log y en
                      la salida de errores. Una sola programación por
                      carpeta: si otro la ejecuta, dice quién y termina
                      con el estado 5
  -h, --help          esta ayuda

Con un solo cartel en ./carteles.ini lo que va a ese cartel va a todos, como
en el programa; un documento para otro nombre no se envía. El avance sale por la salida de errores: una barra en una
terminal, si no una línea por trama.

Estado de salida:
  %1  todo se envió
  %2  argumentos inválidos
  %3  no se pudo leer el archivo, ./carteles.ini o la programación
  %4  algún nombre de cartel no está en ./carteles.ini, o la línea de
     destinos del documento no se entiende (no se envió nada)
  %5  falla de la línea: el puerto no abrió, el dispositivo o la conexión
     se perdió o la línea dejó de transmitir (lo que no salió se descartó)
  %6  nada que enviar: texto demasiado largo, sin destinos, o ninguno con
     una dirección de 0 a 255
)"_s.arg(Numero(CodigoDeSalida::Exito))
        .arg(Numero(CodigoDeSalida::ArgumentosInvalidos))
        .arg(Numero(CodigoDeSalida::ArchivoIlegible))
        .arg(Numero(CodigoDeSalida::CartelesDesconocidos))
        .arg(Numero(CodigoDeSalida::FallaDeLinea))
        .arg(Numero(CodigoDeSalida::NadaQueEnviar))
        .arg(Velocidades())
        .arg(PuertoMinimo)
        .arg(PuertoMaximo);
}
