#include "platform/escritortexto.h"

#include "platform/clasedearchivo.h"
#include "platform/lectortexto.h"

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
    DescartarTemporal();
    if (m_enElLugar.isOpen())
        m_enElLugar.close();
    m_noRepresentables.clear();
    m_puntosNoRepresentables.clear();
    m_salida.clear();
    m_fallo.reset();
    m_tamano = 0;
    m_abierto = false;
    m_modo = Modo::Atomico;
    m_codificador.emplace(PaginaDeCodigos);
}

std::optional<ErrorDeArchivo> EscritorTexto::Abrir(const QString &ruta)
{
    Reiniciar();
    const QString absoluta = QFileInfo(ruta).absoluteFilePath();
    m_rutaNativa = QDir::toNativeSeparators(absoluta);
    if (!m_codificador->isValid())
        return Error(u"El sistema no tiene la página de códigos Windows-1252."_s);
    if (auto motivo = MotivoSiNoEsArchivoComun(absoluta))
        return Error(*motivo + u" No se reemplaza."_s);

    m_archivo.setFileName(absoluta);
    // Unbuffered, with our own blocks: QSaveFile's buffer takes a short write
    // (a full disk) as success and would commit a truncated file.
    if (m_archivo.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        m_abierto = true;
        return std::nullopt;
    }
    const QString motivo = m_archivo.errorString();
    // No temporary file could be made. When that is because the folder is
    // closed to us, an existing regular file that opens for writing without
    // being truncated can still be replaced in place; nothing touches it
    // before Confirmar(). Any other cause (no room for a new file, say) is
    // reported instead: writing over the old file then could leave it damaged.
    const QFileInfo archivo(absoluta);
    if (archivo.isFile() && !QFileInfo(archivo.absolutePath()).isWritable()) {
        m_enElLugar.setFileName(absoluta);
        if (m_enElLugar.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
            m_modo = Modo::EnElLugar;
            m_abierto = true;
            return std::nullopt;
        }
    }
    return Error(motivo);
}

void EscritorTexto::AbrirEnMemoria(const QString &nombre)
{
    Reiniciar();
    m_rutaNativa = nombre;
    m_modo = Modo::EnMemoria;
    m_abierto = m_codificador->isValid();
}

void EscritorTexto::LimitarTamano(qint64 maximo)
{
    m_tamanoMaximo = maximo;
}

void EscritorTexto::EscribirLinea(const QString &linea)
{
    if (!m_abierto)
        return;
    QByteArray bytes = m_codificador->encode(linea);
    // Unrepresentable characters come out as the substitute 0x1A. The error
    // flag stays up once raised, so after a first bad line every later one is
    // checked on its own, and so is a line with a real 0x1A in it.
    if (m_codificador->hasError() || bytes.contains('\x1A')) {
        RecorrerCaracteres(CaracteresNoRepresentables(linea), [this](const QString &caracter, char32_t punto) {
            if (!m_puntosNoRepresentables.contains(punto)) {
                m_puntosNoRepresentables.insert(punto);
                m_noRepresentables += caracter;
            }
        });
    }
    // Once a line is refused nothing more is written: the write will fail.
    if (!m_noRepresentables.isEmpty() || m_fallo)
        return;
    m_tamano += bytes.size() + 2;
    if (m_tamanoMaximo >= 0 && m_tamano > m_tamanoMaximo) {
        m_fallo = u"Guardado, el archivo pasaría de %1 y el programa no podría volver a abrirlo. No se guardó nada."_s.arg(
            LectorTexto::DescribirTamano(m_tamanoMaximo));
        return;
    }
    m_salida += bytes;
    m_salida += "\r\n";
    if (m_modo == Modo::Atomico && m_salida.size() >= TamanoDeBloque)
        Vaciar();
}

void EscritorTexto::EscribirBytes(const QByteArray &bytes)
{
    if (!m_abierto || !m_noRepresentables.isEmpty() || m_fallo)
        return;
    m_salida += bytes;
    if (m_modo == Modo::Atomico && m_salida.size() >= TamanoDeBloque)
        Vaciar();
}

qsizetype EscritorTexto::EscribirSalida(QFileDevice &archivo)
{
    qsizetype escritos = 0;
    while (!m_fallo && escritos < m_salida.size()) {
        // A short count means the system stopped part-way; writing the rest
        // again brings out its reason.
        const qint64 n = archivo.write(m_salida.constData() + escritos, m_salida.size() - escritos);
        if (n > 0)
            escritos += n;
        else if (archivo.error() != QFileDevice::NoError)
            m_fallo = archivo.errorString();
        else
            m_fallo = u"No se pudo escribir el archivo completo."_s;
    }
    return escritos;
}

void EscritorTexto::Vaciar()
{
    EscribirSalida(m_archivo);
    m_salida.clear();
}

void EscritorTexto::EscribirEnElLugar()
{
    const qsizetype escritos = EscribirSalida(m_enElLugar);
    // What is left of a longer old file goes.
    if (!m_fallo && !m_enElLugar.resize(escritos))
        m_fallo = m_enElLugar.errorString();
    m_enElLugar.close();
}

void EscritorTexto::DescartarTemporal()
{
    if (m_archivo.isOpen()) {
        m_archivo.cancelWriting();
        m_archivo.commit();
    }
}

std::optional<ErrorDeArchivo> EscritorTexto::Confirmar()
{
    if (!m_abierto)
        return Error(u"El archivo no se abrió para escribir."_s);
    m_abierto = false;
    if (!m_noRepresentables.isEmpty()) {
        DescartarTemporal();
        m_enElLugar.close();
        m_salida.clear();
        return Error(u"Hay caracteres que no se pueden guardar: "_s
                     + DescribirCaracteres(m_noRepresentables));
    }
    if (m_modo == Modo::EnMemoria) {
        if (m_fallo) {
            m_salida.clear();
            return Error(*m_fallo);
        }
        return std::nullopt;
    }
    if (m_modo == Modo::EnElLugar) {
        EscribirEnElLugar();
        if (m_fallo)
            return Error(*m_fallo);
        return std::nullopt;
    }
    Vaciar();
    if (m_fallo) {
        DescartarTemporal();
        return Error(*m_fallo);
    }
    if (!m_archivo.commit())
        return Error(m_archivo.errorString());
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
    return ErrorDeArchivo{m_rutaNativa, motivo};
}
