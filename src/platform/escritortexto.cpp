#include "platform/escritortexto.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype TamanoDeBloque = 64 * 1024;
constexpr const char *PaginaDeCodigos = "windows-1252";

// A character fits when it encodes without complaint and decodes back to
// itself: a substitute or a best-fit stand-in would not survive a reading.
bool Representable(const QString &caracter)
{
    QStringEncoder codificador(PaginaDeCodigos);
    const QByteArray bytes = codificador.encode(caracter);
    if (codificador.hasError())
        return false;
    QStringDecoder decodificador(PaginaDeCodigos);
    return QString(decodificador.decode(bytes)) == caracter;
}

// Calls `hacer` with each character of `texto` (a surrogate pair as one, a
// broken surrogate on its own) and its code point.
template<typename Funcion>
void RecorrerCaracteres(const QString &texto, Funcion hacer)
{
    for (qsizetype i = 0; i < texto.size();) {
        const bool par = texto.at(i).isHighSurrogate() && i + 1 < texto.size()
                         && texto.at(i + 1).isLowSurrogate();
        const qsizetype largo = par ? 2 : 1;
        const char32_t punto = par ? QChar::surrogateToUcs4(texto.at(i), texto.at(i + 1))
                                   : char32_t(texto.at(i).unicode());
        hacer(texto.mid(i, largo), punto);
        i += largo;
    }
}

} // namespace

void EscritorTexto::Reiniciar()
{
    if (archivo.isOpen()) {
        archivo.cancelWriting();
        archivo.commit();
    }
    if (enElLugar.isOpen())
        enElLugar.close();
    noRepresentables.clear();
    puntosNoRepresentables.clear();
    salida.clear();
    fallo.reset();
    abierto = false;
    modo = Modo::Atomico;
    codificador.emplace(PaginaDeCodigos);
}

std::optional<ErrorDeArchivo> EscritorTexto::Abrir(const QString &ruta)
{
    Reiniciar();
    const QString absoluta = QFileInfo(ruta).absoluteFilePath();
    rutaNativa = QDir::toNativeSeparators(absoluta);
    if (!codificador->isValid())
        return Error(u"El sistema no tiene la página de códigos Windows-1252."_s);

    archivo.setFileName(absoluta);
    // Unbuffered, with our own blocks: QSaveFile's buffer takes a short write
    // (a full disk) as success and would commit a truncated file.
    if (archivo.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        abierto = true;
        return std::nullopt;
    }
    const QString motivo = archivo.errorString();
    // No temporary file could be made. An existing regular file that opens
    // for writing without being truncated can still be replaced in place;
    // nothing touches it before Confirmar().
    if (QFileInfo(absoluta).isFile()) {
        enElLugar.setFileName(absoluta);
        if (enElLugar.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
            modo = Modo::EnElLugar;
            abierto = true;
            return std::nullopt;
        }
    }
    return Error(motivo);
}

void EscritorTexto::AbrirEnMemoria(const QString &nombre)
{
    Reiniciar();
    rutaNativa = nombre;
    modo = Modo::EnMemoria;
    abierto = codificador->isValid();
}

void EscritorTexto::EscribirLinea(const QString &linea)
{
    if (!abierto)
        return;
    QByteArray bytes = codificador->encode(linea);
    // Unrepresentable characters come out as the substitute 0x1A. The error
    // flag stays up once raised, so after a first bad line every later one is
    // checked on its own, and so is a line with a real 0x1A in it.
    if (codificador->hasError() || bytes.contains('\x1A')) {
        RecorrerCaracteres(CaracteresNoRepresentables(linea), [this](const QString &caracter, char32_t punto) {
            if (!puntosNoRepresentables.contains(punto)) {
                puntosNoRepresentables.insert(punto);
                noRepresentables += caracter;
            }
        });
    }
    // Once a line is refused nothing more is written: the write will fail.
    if (!noRepresentables.isEmpty() || fallo)
        return;
    salida += bytes;
    salida += "\r\n";
    if (modo == Modo::Atomico && salida.size() >= TamanoDeBloque)
        Vaciar();
}

void EscritorTexto::Vaciar()
{
    qsizetype escritos = 0;
    while (!fallo && escritos < salida.size()) {
        // A short count means the system stopped part-way; writing the rest
        // again brings out its reason.
        const qint64 n = archivo.write(salida.constData() + escritos, salida.size() - escritos);
        if (n > 0)
            escritos += n;
        else if (archivo.error() != QFileDevice::NoError)
            fallo = archivo.errorString();
        else
            fallo = u"No se pudo escribir el archivo completo."_s;
    }
    salida.clear();
}

void EscritorTexto::EscribirEnElLugar()
{
    qsizetype escritos = 0;
    while (!fallo && escritos < salida.size()) {
        const qint64 n = enElLugar.write(salida.constData() + escritos, salida.size() - escritos);
        if (n > 0)
            escritos += n;
        else if (enElLugar.error() != QFileDevice::NoError)
            fallo = enElLugar.errorString();
        else
            fallo = u"No se pudo escribir el archivo completo."_s;
    }
    // What is left of a longer old file goes.
    if (!fallo && !enElLugar.resize(escritos))
        fallo = enElLugar.errorString();
    enElLugar.close();
}

std::optional<ErrorDeArchivo> EscritorTexto::Confirmar()
{
    if (!abierto)
        return Error(u"El archivo no se abrió para escribir."_s);
    abierto = false;
    if (!noRepresentables.isEmpty()) {
        if (modo == Modo::Atomico) {
            archivo.cancelWriting();
            archivo.commit();
        }
        enElLugar.close();
        salida.clear();
        return Error(u"Hay caracteres que no se pueden guardar: "_s
                     + DescribirCaracteres(noRepresentables));
    }
    if (modo == Modo::EnMemoria)
        return std::nullopt;
    if (modo == Modo::EnElLugar) {
        EscribirEnElLugar();
        if (fallo)
            return Error(*fallo);
        return std::nullopt;
    }
    Vaciar();
    if (fallo) {
        archivo.cancelWriting();
        archivo.commit();
        return Error(*fallo);
    }
    if (!archivo.commit())
        return Error(archivo.errorString());
    return std::nullopt;
}

QString EscritorTexto::CaracteresNoRepresentables(const QString &texto)
{
    if (Representable(texto))
        return QString();

    QString resultado;
    QSet<char32_t> vistos;
    RecorrerCaracteres(texto, [&](const QString &caracter, char32_t punto) {
        if (vistos.contains(punto))
            return;
        vistos.insert(punto);
        if (!Representable(caracter))
            resultado += caracter;
    });
    return resultado;
}

QString EscritorTexto::DescribirCaracteres(const QString &caracteres)
{
    QStringList partes;
    RecorrerCaracteres(caracteres, [&](const QString &caracter, char32_t punto) {
        const auto categoria = QChar::category(punto);
        if (QChar::isPrint(punto) && !QChar::isSurrogate(punto) && categoria != QChar::Separator_Line
            && categoria != QChar::Separator_Paragraph)
            partes.append(caracter);
        else
            partes.append(u"U+"_s + QString::number(punto, 16).toUpper().rightJustified(4, u'0'));
    });
    return partes.join(u' ');
}

ErrorDeArchivo EscritorTexto::Error(const QString &motivo) const
{
    return ErrorDeArchivo{rutaNativa, motivo};
}
