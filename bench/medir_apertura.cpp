// The worst files the program accepts: documents of the largest size in the
// three shapes that cost the text box most, and configurations of growing
// size up to the largest accepted, whose sign list the destination menu
// follows. Every one must be ready in under a second, and
// the configuration's cost must grow with its size, not faster.

#include "carpetademedicion.h"

#include "config/configuracion.h"
#include "documents/documento.h"
#include "ui/configred.h"
#include "ui/editordetexto.h"
#include "ui/principal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr double objetivoMs = 1000.0;

void Asentar()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// `largo` bytes made of `pieza` repeated, cut to size.
QByteArray Repetir(const QByteArray &pieza, qint64 largo)
{
    QByteArray bytes;
    bytes.reserve(largo);
    while (bytes.size() < largo)
        bytes += pieza;
    bytes.truncate(largo);
    return bytes;
}

bool Escribir(const QString &ruta, const QByteArray &bytes)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::WriteOnly) && archivo.write(bytes) == bytes.size();
}

double Fila(const char *medicion, double ms, const char *extra = "")
{
    std::printf("| %s | %.0f ms%s | < %.0f ms | %s |\n", medicion, ms, extra, objetivoMs,
                ms < objetivoMs ? "sí" : "no");
    return ms;
}

// From an empty window to the document laid out and painted.
bool MedirDocumento(CarpetaDeMedicion &carpeta, Principal &principal, const char *medicion, const QByteArray &bytes)
{
    const QString ruta = carpeta.Ruta(QString::fromUtf8(medicion).left(20) + u".txt"_s);
    if (!Escribir(ruta, bytes)) {
        std::printf("| %s | error: no se pudo escribir | < %.0f ms | no |\n", medicion, objetivoMs);
        return false;
    }
    Asentar();
    QElapsedTimer reloj;
    reloj.start();
    principal.AbrirTexto(ruta);
    Asentar();
    const double ms = static_cast<double>(reloj.nsecsElapsed()) / 1e6;
    EditorDeTexto *editor = principal.EditorActivo();
    if (!editor || editor->Texto().document()->characterCount() < bytes.size() / 2) {
        std::printf("| %s | error: no se abrió | < %.0f ms | no |\n", medicion, objetivoMs);
        return false;
    }
    Fila(medicion, ms);
    editor->documento().PonerModificado(false);
    editor->Cerrar();
    Asentar();
    return ms < objetivoMs;
}

// From nothing to the main window shown with the sign list loaded and every
// destination menu built, for a configuration of `lineas` signs.
double MedirArranque(int lineas, bool &bien)
{
    CarpetaDeMedicion carpeta;
    QStringList configuracion{u"interfase com1,9600,N,8,1"_s};
    for (int i = 1; i <= lineas; ++i)
        configuracion.append(u"cartel R560, Cartel del andén %1, %2"_s.arg(i).arg(i % 37));
    carpeta.EscribirConfiguracion(configuracion);
    QElapsedTimer reloj;
    reloj.start();
    auto principal = std::make_unique<Principal>();
    principal->show();
    principal->NuevoTexto();
    Asentar();
    const double ms = static_cast<double>(reloj.nsecsElapsed()) / 1e6;
    bien = principal->configRed().Registro().size() == lineas
           && principal->TitulosDeDestino().size() == lineas;
    principal.reset();
    Asentar();
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacion(argc, argv);

    bool todoBien = true;
    {
        CarpetaDeMedicion carpeta;
        Principal principal;
        principal.show();
        Asentar();
        const qint64 largo = TamanoMaximoDeDocumento;
        todoBien &= MedirDocumento(carpeta, principal, "AbrirTexto de 1 MiB: una sola palabra",
                                   Repetir("x", largo));
        todoBien &= MedirDocumento(carpeta, principal, "AbrirTexto de 1 MiB: una sola línea de palabras",
                                   Repetir("[titila]Señores pasajeros ", largo));
        todoBien &= MedirDocumento(carpeta, principal, "AbrirTexto de 1 MiB: líneas cortas",
                                   Repetir("Andén 3\r\n", largo));
    }

    // Sign lines of about 40 bytes: the largest accepted file holds some
    // 26,000 of them. Each step doubles the count; a cost that grows with
    // the size roughly doubles with it.
    const int pasos[] = {6500, 13000, 26000};
    double anterior = 0;
    QString crecimiento;
    for (int lineas : pasos) {
        bool bien = false;
        const double ms = MedirArranque(lineas, bien);
        if (!bien) {
            std::printf("| arranque con %d carteles | error: la lista no se cargó entera | < %.0f ms | no |\n", lineas,
                        objetivoMs);
            return 1;
        }
        if (anterior > 0)
            crecimiento += u" ×%1"_s.arg(ms / anterior, 0, 'f', 1);
        anterior = ms;
        const QByteArray fila = u"Arranque hasta la ventana pintada, con %1 carteles en ./carteles.ini"_s.arg(lineas).toUtf8();
        const QByteArray extra = lineas == pasos[std::size(pasos) - 1]
                                     ? (u" (al duplicar:"_s + crecimiento + u")"_s).toUtf8()
                                     : QByteArray();
        todoBien &= Fila(fila.constData(), ms, extra.constData()) < objetivoMs;
    }
    return todoBien ? 0 : 1;
}
