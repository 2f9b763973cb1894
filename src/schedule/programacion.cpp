#include "schedule/programacion.h"

#include "platform/escritortexto.h"
#include "platform/lectortexto.h"

#include <QByteArrayList>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

constexpr QLatin1StringView Dias[] = {QLatin1StringView("lu"), QLatin1StringView("ma"), QLatin1StringView("mi"),
                                      QLatin1StringView("ju"), QLatin1StringView("vi"), QLatin1StringView("sa"),
                                      QLatin1StringView("do")};

const QString CampoVersion = u"version"_s;
const QString CampoEntradas = u"entradas"_s;
const QString CampoArchivo = u"archivo"_s;
const QString CampoDias = u"dias"_s;
const QString CampoDesde = u"desde"_s;
const QString CampoHasta = u"hasta"_s;
const QString CampoDesdeFecha = u"desde_fecha"_s;
const QString CampoHastaFecha = u"hasta_fecha"_s;
const QString CampoActiva = u"activa"_s;

const QString FormatoDeHora = u"HH:mm"_s;

// Qt words its JSON errors in English; the operator who edits the file reads
// Spanish.
QString MotivoDeJson(QJsonParseError::ParseError error)
{
    switch (error) {
    case QJsonParseError::NoError:
        break;
    case QJsonParseError::UnterminatedObject:
        return u"falta cerrar un objeto con «}»"_s;
    case QJsonParseError::MissingNameSeparator:
        return u"falta «:» después del nombre de un campo"_s;
    case QJsonParseError::UnterminatedArray:
        return u"falta cerrar una lista con «]»"_s;
    case QJsonParseError::MissingValueSeparator:
        return u"falta una coma entre dos valores"_s;
    case QJsonParseError::IllegalValue:
        return u"hay un valor que no es válido (¿faltan comillas?)"_s;
    case QJsonParseError::TerminationByNumber:
        return u"el archivo termina en medio de un número"_s;
    case QJsonParseError::IllegalNumber:
        return u"hay un número mal escrito"_s;
    case QJsonParseError::IllegalEscapeSequence:
        return u"hay una secuencia «\\» que no es válida"_s;
    case QJsonParseError::IllegalUTF8String:
        return u"hay bytes que no son UTF-8"_s;
    case QJsonParseError::UnterminatedString:
        return u"falta cerrar un texto con comillas"_s;
    case QJsonParseError::MissingObject:
        return u"falta un campo después de una coma (¿una coma de más?)"_s;
    case QJsonParseError::DeepNesting:
        return u"hay demasiados niveles anidados"_s;
    case QJsonParseError::DocumentTooLarge:
        return u"el documento es demasiado grande"_s;
    case QJsonParseError::GarbageAtEnd:
        return u"sobra texto después del final"_s;
    }
    return u"no es JSON válido"_s;
}

// Line and column, from 1, of the byte at `posicion`; the column counts
// characters, as an editor shows them.
QString Posicion(const QByteArray &bytes, qsizetype posicion)
{
    const QByteArray antes = bytes.left(posicion);
    const qsizetype inicioDeLinea = antes.lastIndexOf('\n') + 1;
    const qsizetype linea = antes.count('\n') + 1;
    const qsizetype columna = QString::fromUtf8(antes.mid(inicioDeLinea)).size() + 1;
    return u"línea %1, columna %2"_s.arg(linea).arg(columna);
}

bool LeerHora(const QJsonValue &valor, QTime &hora)
{
    const QString texto = valor.toString();
    if (!valor.isString() || texto.size() != 5)
        return false;
    hora = QTime::fromString(texto, FormatoDeHora);
    return hora.isValid();
}

bool LeerFecha(const QJsonValue &valor, QDate &fecha)
{
    const QString texto = valor.toString();
    if (!valor.isString() || texto.size() != 10)
        return false;
    fecha = QDate::fromString(texto, Qt::ISODate);
    return fecha.isValid();
}

// Reads one entry, or says what is wrong with it (without the entry number).
std::optional<QString> LeerEntrada(const QJsonValue &valor, EntradaDeProgramacion &entrada)
{
    if (!valor.isObject())
        return u"no es un objeto «{…}»"_s;
    const QJsonObject objeto = valor.toObject();
    static const QSet<QString> conocidos{CampoArchivo,    CampoDias,       CampoDesde, CampoHasta,
                                         CampoDesdeFecha, CampoHastaFecha, CampoActiva};
    for (auto it = objeto.begin(); it != objeto.end(); ++it) {
        if (!conocidos.contains(it.key()))
            return u"el campo «%1» no es conocido"_s.arg(it.key());
    }

    const QJsonValue archivo = objeto.value(CampoArchivo);
    if (!archivo.isString() || archivo.toString().trimmed().isEmpty())
        return u"falta \"archivo\", el nombre del texto guardado"_s;
    entrada.archivo = archivo.toString();

    // An empty list is every day, as no day ticked is in the window.
    if (const QJsonValue dias = objeto.value(CampoDias); objeto.contains(CampoDias) && !dias.isNull()) {
        if (!dias.isArray())
            return u"\"dias\" no es una lista de días como [\"lu\", \"ma\"] ([] vale todos los días)"_s;
        for (const QJsonValue &dia : dias.toArray()) {
            const qsizetype indice = std::find(std::begin(Dias), std::end(Dias), dia.toString()) - std::begin(Dias);
            if (!dia.isString() || indice >= 7)
                return u"\"dias\" tiene %1, que no es lu, ma, mi, ju, vi, sa ni do"_s.arg(
                    QString::fromUtf8(QJsonDocument(QJsonArray{dia}).toJson(QJsonDocument::Compact)).mid(1).chopped(1));
            entrada.dias |= static_cast<quint8>(1u << indice);
        }
        if (entrada.dias == 0x7F)
            entrada.dias = 0;
    }

    // null is the field's default, as the file is written: every key shows.
    const auto presente = [&objeto](const QString &campo) {
        return objeto.contains(campo) && !objeto.value(campo).isNull();
    };
    if (presente(CampoDesde) && !LeerHora(objeto.value(CampoDesde), entrada.desde))
        return u"\"desde\" no es una hora HH:MM"_s;
    if (presente(CampoHasta)) {
        QTime hasta;
        if (!LeerHora(objeto.value(CampoHasta), hasta))
            return u"\"hasta\" no es una hora HH:MM"_s;
        entrada.hasta = hasta;
    }
    if (presente(CampoDesdeFecha)) {
        QDate fecha;
        if (!LeerFecha(objeto.value(CampoDesdeFecha), fecha))
            return u"\"desde_fecha\" no es una fecha AAAA-MM-DD"_s;
        entrada.desdeFecha = fecha;
    }
    if (presente(CampoHastaFecha)) {
        QDate fecha;
        if (!LeerFecha(objeto.value(CampoHastaFecha), fecha))
            return u"\"hasta_fecha\" no es una fecha AAAA-MM-DD"_s;
        entrada.hastaFecha = fecha;
    }
    // Such an entry could never run; more likely the two dates were swapped.
    if (entrada.desdeFecha && entrada.hastaFecha && *entrada.hastaFecha < *entrada.desdeFecha)
        return u"\"hasta_fecha\" es anterior a \"desde_fecha\""_s;
    if (presente(CampoActiva)) {
        if (!objeto.value(CampoActiva).isBool())
            return u"\"activa\" no es true ni false"_s;
        entrada.activa = objeto.value(CampoActiva).toBool();
    }
    return std::nullopt;
}

std::optional<QString> LeerJson(const QByteArray &bytes, Programacion &programacion)
{
    QByteArray sinMarca = bytes;
    // A BOM, as some Windows editors put in front of UTF-8.
    if (sinMarca.startsWith("\xEF\xBB\xBF"))
        sinMarca.remove(0, 3);
    QJsonParseError error;
    const QJsonDocument documento = QJsonDocument::fromJson(sinMarca, &error);
    if (error.error != QJsonParseError::NoError)
        return Posicion(sinMarca, error.offset) + u": "_s + MotivoDeJson(error.error);
    if (!documento.isObject())
        return u"el archivo no es un objeto «{…}» con \"version\" y \"entradas\""_s;

    const QJsonObject raiz = documento.object();
    for (auto it = raiz.begin(); it != raiz.end(); ++it) {
        if (it.key() != CampoVersion && it.key() != CampoEntradas)
            return u"el campo «%1» no es conocido"_s.arg(it.key());
    }
    const QJsonValue version = raiz.value(CampoVersion);
    if (version.isUndefined())
        return u"falta \"version\" (este programa lee la versión %1)"_s.arg(VersionDeProgramacion);
    if (!version.isDouble())
        return u"\"version\" no es un número (este programa lee la versión %1)"_s.arg(VersionDeProgramacion);
    if (version.toDouble() != VersionDeProgramacion)
        return u"versión %1 no es la que este programa lee (%2)"_s.arg(version.toDouble()).arg(VersionDeProgramacion);

    const QJsonValue entradas = raiz.value(CampoEntradas);
    if (!entradas.isUndefined() && !entradas.isArray())
        return u"\"entradas\" no es una lista «[…]»"_s;
    const QJsonArray lista = entradas.toArray();
    programacion.entradas.reserve(lista.size());
    for (qsizetype i = 0; i < lista.size(); ++i) {
        EntradaDeProgramacion entrada;
        if (auto motivo = LeerEntrada(lista.at(i), entrada))
            return u"entrada %1: "_s.arg(i + 1) + *motivo;
        programacion.entradas.append(entrada);
    }
    return std::nullopt;
}

QString RutaNativa(const QString &ruta)
{
    return QDir::toNativeSeparators(QFileInfo(ruta).absoluteFilePath());
}

} // namespace

QLatin1StringView NombreDeDia(int dia)
{
    return dia >= 1 && dia <= 7 ? Dias[dia - 1] : QLatin1StringView();
}

std::optional<ErrorDeArchivo> LeerProgramacion(const QString &ruta, Programacion &programacion)
{
    programacion = Programacion();
    if (!LectorTexto::Existe(ruta))
        return std::nullopt;
    QByteArray bytes;
    if (auto error = LectorTexto::LeerArchivo(ruta, TamanoMaximoDeProgramacion, bytes))
        return error;
    return LeerProgramacionDeBytes(bytes, programacion, RutaNativa(ruta));
}

std::optional<ErrorDeArchivo> LeerProgramacionDeBytes(const QByteArray &bytes, Programacion &programacion,
                                                      const QString &nombre)
{
    programacion = Programacion();
    if (auto motivo = LeerJson(bytes, programacion)) {
        programacion = Programacion();
        return ErrorDeArchivo{nombre, *motivo};
    }
    return std::nullopt;
}

namespace {

QByteArray Json(const QString &texto)
{
    // A one-element array is the simplest way to have Qt quote a string.
    const QByteArray lista = QJsonDocument(QJsonArray{texto}).toJson(QJsonDocument::Compact);
    return lista.mid(1, lista.size() - 2);
}

QByteArray JsonONulo(bool hay, const QString &texto)
{
    return hay ? Json(texto) : QByteArray("null");
}

} // namespace

QByteArray ProgramacionEnBytes(const Programacion &programacion)
{
    // Written by hand rather than through QJsonObject, which sorts its keys:
    // a person editing the file finds every field, in the order the manual
    // gives them.
    QByteArray bytes = "{\n    \"version\": " + QByteArray::number(VersionDeProgramacion) + ",\n    \"entradas\": [";
    for (qsizetype i = 0; i < programacion.entradas.size(); ++i) {
        const EntradaDeProgramacion &entrada = programacion.entradas.at(i);
        QByteArrayList dias;
        for (int dia = 1; dia <= 7; ++dia) {
            if (entrada.dias == 0 || (entrada.dias & (1u << (dia - 1))))
                dias.append(Json(NombreDeDia(dia)));
        }
        bytes += i == 0 ? "\n" : ",\n";
        bytes += "        {\n";
        bytes += "            \"archivo\": " + Json(entrada.archivo) + ",\n";
        bytes += "            \"dias\": [" + dias.join(", ") + "],\n";
        bytes += "            \"desde\": " + Json(entrada.desde.toString(FormatoDeHora)) + ",\n";
        bytes += "            \"hasta\": " +
                 JsonONulo(entrada.hasta.has_value(), entrada.hasta.value_or(QTime()).toString(FormatoDeHora)) + ",\n";
        bytes += "            \"desde_fecha\": " +
                 JsonONulo(entrada.desdeFecha.has_value(), entrada.desdeFecha.value_or(QDate()).toString(Qt::ISODate)) +
                 ",\n";
        bytes += "            \"hasta_fecha\": " +
                 JsonONulo(entrada.hastaFecha.has_value(), entrada.hastaFecha.value_or(QDate()).toString(Qt::ISODate)) +
                 ",\n";
        bytes += "            \"activa\": " + QByteArray(entrada.activa ? "true" : "false") + "\n";
        bytes += "        }";
    }
    bytes += programacion.entradas.isEmpty() ? "]\n}\n" : "\n    ]\n}\n";
    return bytes;
}

std::optional<ErrorDeArchivo> EscribirProgramacion(const QString &ruta, const Programacion &programacion)
{
    // What would not read back (no file named, dates swapped, seconds that
    // HH:MM drops) is refused here rather than found broken at the next start.
    const QByteArray bytes = ProgramacionEnBytes(programacion);
    Programacion releida;
    if (auto motivo = LeerJson(bytes, releida))
        return ErrorDeArchivo{RutaNativa(ruta), u"No se guardó: "_s + *motivo};
    // Every day ticked one by one reads back as every day.
    Programacion comparada = programacion;
    for (EntradaDeProgramacion &entrada : comparada.entradas) {
        if (entrada.dias == 0x7F)
            entrada.dias = 0;
    }
    if (releida != comparada)
        return ErrorDeArchivo{RutaNativa(ruta), u"No se guardó: hay una hora con segundos o un día de la "
                                                 u"semana que no existe; el archivo guarda HH:MM y lu a do."_s};

    EscritorTexto escritor;
    if (auto error = escritor.Abrir(ruta))
        return error;
    escritor.EscribirBytes(bytes);
    return escritor.Confirmar();
}
