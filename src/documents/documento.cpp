#include "documents/documento.h"

#include "platform/escritortexto.h"
#include "platform/lectortexto.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString MarcaPropiedades = u"PROPIEDADES:"_s;
const QString MarcaTexto = u"TEXTO:"_s;

// Lines of `texto` split at CR LF, LF or a lone CR, as a reading would find
// them once written.
QStringList PartirEnLineas(const QString &texto)
{
    QStringList lineas;
    qsizetype inicio = 0;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lineas.append(texto.mid(inicio, i - inicio));
        if (c == u'\r' && i + 1 < texto.size() && texto.at(i + 1) == u'\n')
            ++i;
        inicio = i + 1;
    }
    lineas.append(texto.mid(inicio));
    return lineas;
}

QString RutaNativa(const QString &ruta)
{
    return QDir::toNativeSeparators(QFileInfo(ruta).absoluteFilePath());
}

std::optional<ErrorDeArchivo> LeerDeLector(LectorTexto &lector, TextoLeido &leidoDelArchivo)
{
    QString leido;
    QString leidas;
    QString linea;
    qsizetype fuera = 0;
    if (!lector.AlFinal()) {
        if (auto error = lector.LeerLinea(linea))
            return error;
        if (linea == MarcaPropiedades) {
            // Non-empty lines up to "TEXTO:" are joined with nothing between.
            QStringList enElBloque;
            while (!lector.AlFinal() && linea != MarcaTexto) {
                if (auto error = lector.LeerLinea(linea))
                    return error;
                if (linea != MarcaTexto)
                    enElBloque.append(linea);
            }
            if (linea == MarcaTexto) {
                for (const QString &propiedad : std::as_const(enElBloque))
                    leidas += propiedad;
            } else {
                // Without "TEXTO:" the block has no end: its first non-empty
                // line is the destination line the file was written with, and
                // the lines after it are neither destinations nor text. Glued
                // to the destinations they would change the text's signs on
                // the next save; they are left out, and counted for the
                // warning that says a save drops them.
                const auto primera = std::find_if(enElBloque.cbegin(), enElBloque.cend(),
                                                  [](const QString &propiedad) { return !propiedad.isEmpty(); });
                if (primera != enElBloque.cend())
                    leidas = *primera;
                fuera = primera == enElBloque.cend() ? enElBloque.size() : enElBloque.cend() - primera - 1;
            }
            if (!lector.AlFinal()) {
                if (auto error = lector.LeerLinea(leido))
                    return error;
            }
        } else if (linea == MarcaTexto) {
            if (!lector.AlFinal()) {
                if (auto error = lector.LeerLinea(leido))
                    return error;
            }
        } else {
            leido = linea;
        }
        // From here every line is text, markers included.
        while (!lector.AlFinal()) {
            if (auto error = lector.LeerLinea(linea))
                return error;
            leido += u"\r\n"_s + linea;
        }
    }

    leidoDelArchivo.texto = leido;
    leidoDelArchivo.propiedades = leidas.isEmpty() ? u"Global\r\n"_s : leidas;
    leidoDelArchivo.lineasFueraDelTexto = fuera;
    return std::nullopt;
}

} // namespace

std::optional<ErrorDeArchivo> LeerDocumento(const QString &ruta, TextoLeido &leido)
{
    LectorTexto lector;
    if (auto error = lector.Abrir(ruta, TamanoMaximoDeDocumento))
        return error;
    return LeerDeLector(lector, leido);
}

QString TextoDeLineasFueraDelTexto(const QString &archivo, qsizetype lineas)
{
    return u"El archivo %1 tiene la línea \"PROPIEDADES:\" pero no la línea \"TEXTO:\".\n\n"
           "Se tomó como destinos la primera línea tras \"PROPIEDADES:\"; las %2 líneas que la siguen no "
           "son destinos ni texto, y el texto quedó vacío."_s.arg(archivo)
        .arg(lineas);
}

std::optional<ErrorDeArchivo> LeerDocumentoDeBytes(const QByteArray &bytes, TextoLeido &leido, const QString &nombre)
{
    LectorTexto lector;
    if (auto error = lector.AbrirBytes(bytes, nombre))
        return error;
    return LeerDeLector(lector, leido);
}

namespace {

// What the file cannot hold, or would read back as something else, refused
// before anything is written.
std::optional<ErrorDeArchivo> Comprobar(const QString &nombre, const QString &texto, const QString &propiedades)
{
    const auto rechazar = [&nombre](const QString &motivo) { return ErrorDeArchivo{nombre, motivo}; };
    const QString malosDelTexto = EscritorTexto::CaracteresNoRepresentables(texto);
    if (!malosDelTexto.isEmpty())
        return rechazar(u"El texto tiene caracteres que no se pueden guardar: "_s
                        + EscritorTexto::DescribirCaracteres(malosDelTexto));
    const QString malosDePropiedades = EscritorTexto::CaracteresNoRepresentables(propiedades);
    if (!malosDePropiedades.isEmpty())
        return rechazar(u"Los nombres de los destinos tienen caracteres que no se pueden guardar: "_s
                        + EscritorTexto::DescribirCaracteres(malosDePropiedades));
    for (const QString &linea : PartirEnLineas(propiedades)) {
        // "TEXTO:" there would end the properties early and turn the text's
        // first lines around; "PROPIEDADES:" is refused alike, as a marker
        // never belongs inside the block.
        if (linea == MarcaTexto || linea == MarcaPropiedades)
            return rechazar(u"Los destinos del texto se leen como la marca «"_s + linea
                            + u"» del archivo y el texto no se leería como se guardó. "
                              u"Elija de nuevo los destinos en el menú Destinos antes de guardar."_s);
    }
    return std::nullopt;
}

void EscribirLineas(EscritorTexto &escritor, const QString &texto, const QString &propiedades)
{
    // A save grows a file that was read (LF becomes CR LF, the markers are
    // added): what "Abrir" would then refuse is not written at all.
    escritor.LimitarTamano(TamanoMaximoDeDocumento);
    escritor.EscribirLinea(MarcaPropiedades);
    for (const QString &linea : PartirEnLineas(propiedades))
        escritor.EscribirLinea(linea);
    escritor.EscribirLinea(MarcaTexto);
    for (const QString &linea : PartirEnLineas(texto))
        escritor.EscribirLinea(linea);
}

} // namespace

std::optional<ErrorDeArchivo> EscribirDocumento(const QString &ruta, const QString &texto,
                                                const QString &propiedades)
{
    // Checked before the file is opened, so a refused save touches nothing.
    if (auto error = Comprobar(RutaNativa(ruta), texto, propiedades))
        return error;
    EscritorTexto escritor;
    if (auto error = escritor.Abrir(ruta))
        return error;
    EscribirLineas(escritor, texto, propiedades);
    return escritor.Confirmar();
}

std::optional<ErrorDeArchivo> EscribirDocumentoEnBytes(const QString &texto, const QString &propiedades,
                                                       QByteArray &bytes)
{
    if (auto error = Comprobar(QString(), texto, propiedades))
        return error;
    EscritorTexto escritor;
    escritor.AbrirEnMemoria();
    EscribirLineas(escritor, texto, propiedades);
    if (auto error = escritor.Confirmar())
        return error;
    bytes = escritor.Escrito();
    return std::nullopt;
}

Documento::Documento(QObject *parent) : QObject(parent) {}

void Documento::PonerTexto(const QString &textoCrLf)
{
    AsignarTexto(textoCrLf);
    // A store reports its own change, as it does a key.
    if (!m_almacen)
        TextoEditado();
}

void Documento::TextoEditado()
{
    Q_EMIT TextoCambiado();
    PonerModificado(true);
}

void Documento::AsignarTexto(const QString &textoCrLf)
{
    if (m_almacen)
        m_almacen->PonerTextoCrLf(textoCrLf);
    else
        m_texto = textoCrLf;
}

void Documento::GuardarTextoEn(AlmacenDeTexto *almacen)
{
    const QString texto = Texto();
    m_almacen = almacen;
    m_texto.clear();
    const bool modificado = m_modificado;
    AsignarTexto(texto);
    // Moving the words is no change of them.
    PonerModificado(modificado);
}

void Documento::PonerModificado(bool modificado)
{
    if (m_modificado == modificado)
        return;
    m_modificado = modificado;
    Q_EMIT EstadoCambiado();
}

void Documento::AlternarCartel(const QString &titulo)
{
    if (m_destinos.global) {
        m_destinos = DestinosDeTexto();
        m_destinos.global = false;
    }
    const auto elegido = std::find_if(m_destinos.nombres.begin(), m_destinos.nombres.end(),
                                      [&titulo](const QString &nombre) { return MismoNombre(nombre, titulo); });
    if (elegido != m_destinos.nombres.end())
        m_destinos.nombres.erase(elegido);
    else
        m_destinos.nombres.append(titulo);
    m_destinos.global = m_destinos.nombres.isEmpty();
    Q_EMIT DestinosCambiados();
    PonerModificado(true);
}

void Documento::ElegirTodos()
{
    if (m_destinos.global && m_destinos.sinLeer.isEmpty())
        return;
    m_destinos = DestinosDeTexto();
    Q_EMIT DestinosCambiados();
    PonerModificado(true);
}

bool Documento::CambiadoEnDisco() const
{
    return Nombrado() && FirmaDeArchivo::Tomar(m_ruta, TamanoMaximoDeDocumento) != m_firma;
}

bool Documento::ArchivoPresente() const
{
    return Nombrado() && FirmaDeArchivo::Tomar(m_ruta, TamanoMaximoDeDocumento).Existe();
}

void Documento::Reemplazar(const Documento &otro)
{
    AsignarTexto(otro.Texto());
    m_ruta = otro.m_ruta;
    m_firma = otro.m_firma;
    m_destinos = otro.m_destinos;
    m_modificado = otro.m_modificado;
    Q_EMIT TextoCambiado();
    Q_EMIT DestinosCambiados();
    Q_EMIT EstadoCambiado();
}

std::optional<ErrorDeArchivo> Documento::Abrir(const QString &ruta, const RegistroDeCarteles &registro,
                                               qsizetype *lineasFueraDelTexto)
{
    TextoLeido leido;
    if (auto error = LeerDocumento(ruta, leido))
        return error;
    if (lineasFueraDelTexto)
        *lineasFueraDelTexto = leido.lineasFueraDelTexto;
    AsignarTexto(leido.texto);
    m_ruta = ruta;
    // Taken right after the read: what a later save must find unchanged.
    m_firma = FirmaDeArchivo::Tomar(ruta, TamanoMaximoDeDocumento);
    m_destinos = leido.Destinos(registro);
    m_modificado = false;
    Q_EMIT TextoCambiado();
    Q_EMIT DestinosCambiados();
    Q_EMIT EstadoCambiado();
    return std::nullopt;
}

std::optional<ErrorDeArchivo> Documento::Guardar(const QString &ruta, const RegistroDeCarteles &registro)
{
    if (auto error = EscribirDocumento(ruta, Texto(), PropiedadesDesdeDestinos(m_destinos, registro.Titulos())))
        return error;
    m_ruta = ruta;
    m_firma = FirmaDeArchivo::Tomar(ruta, TamanoMaximoDeDocumento);
    m_modificado = false;
    Q_EMIT EstadoCambiado();
    return std::nullopt;
}
