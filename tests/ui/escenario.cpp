#include "link/lineadecarteles.h"
#include "escenario.h"

#include "apoyo/puertofalso.h"
#include "platform/cuadrodemensaje.h"
#include "platform/dialogodearchivo.h"
#include "ui/dialogodeenvio.h"
#include "ui/editordetexto.h"
#include "ui/principal.h"
#include "link/transmisor.h"

#include <QFile>
#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

Escenario::Escenario() : m_anterior(QDir::currentPath())
{
    QDir::setCurrent(m_carpeta.path());
    CuadroDeMensaje::ResponderCon({});
    CuadroDeMensaje::OlvidarMostrados();
    DialogoDeArchivo::ResponderCon({});
    DialogoDeArchivo::OlvidarPedidos();
}

Escenario::~Escenario()
{
    m_principal.reset();
    QDir::setCurrent(m_anterior);
}

void Escenario::EscribirConfiguracion(const QStringList &lineas) const
{
    QFile archivo(Ruta(u"carteles.ini"_s));
    if (!archivo.open(QIODevice::WriteOnly))
        return;
    for (const QString &linea : lineas)
        archivo.write(linea.toLatin1() + "\r\n");
}

QString Escenario::EscribirArchivo(const QString &nombre, const QByteArray &bytes) const
{
    QFile archivo(Ruta(nombre));
    if (!archivo.open(QIODevice::WriteOnly) || archivo.write(bytes) != bytes.size())
        return {};
    return archivo.fileName();
}

QByteArray Escenario::LeerArchivo(const QString &nombre) const
{
    QFile archivo(Ruta(nombre));
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
}

Principal &Escenario::Iniciar()
{
    m_puertoFalso = new PuertoFalso;
    return Iniciar(m_puertoFalso);
}

Principal &Escenario::Iniciar(PuertoSerie *puerto)
{
    m_principal = std::make_unique<Principal>(puerto);
    // Tests wait for bytes, not for the pauses between frames.
    m_principal->Linea().Emisor().PonerIntervaloDePausa(std::chrono::milliseconds(5));
    return *m_principal;
}

EditorDeTexto &Escenario::NuevoTexto()
{
    m_principal->NuevoTexto();
    return *m_principal->EditorActivo();
}

EditorDeTexto &Escenario::NuevoTexto(const QString &texto)
{
    EditorDeTexto &editor = NuevoTexto();
    editor.Texto().setPlainText(texto);
    return editor;
}
