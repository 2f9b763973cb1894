// Typing at the end of the longest text a sign accepts, with the editor
// marking tags and lost characters and the status line counting bytes, and
// at the end of the largest documents the program opens: how long one
// keystroke holds the user interface thread.

#include "documents/documento.h"
#include "carpetademedicion.h"
#include "textosdemedicion.h"

#include "encoding/codificador.h"
#include "ui/editordetexto.h"
#include "ui/principal.h"

#include <QApplication>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextEdit>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
constexpr int pulsaciones = 40;
constexpr double objetivoMs = 8.0;
constexpr double objetivoDocumentoGrandeMs = 50.0;


// Types `pulsaciones` keys at the end of `texto` in a new editor and prints
// the row; true when every key took less than `objetivoMs`.
bool Medir(Principal &principal, const char *medicion, const QString &texto, double objetivo)
{
    principal.NuevoTexto();
    EditorDeTexto *nuevo = principal.editor(1);
    if (!nuevo)
        return false;
    EditorDeTexto &editor = *nuevo;
    // As opening a file puts it in the box, with the box's wrapping chosen
    // for it.
    editor.documento().PonerTexto(texto);
    editor.Texto().moveCursor(QTextCursor::End);
    Asentar();

    QList<double> tiempos;
    QElapsedTimer reloj;
    for (int i = 0; i < pulsaciones; ++i) {
        QKeyEvent pulsar(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, u"a"_s);
        QKeyEvent soltar(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, u"a"_s);
        reloj.start();
        QApplication::sendEvent(&editor.Texto(), &pulsar);
        QApplication::sendEvent(&editor.Texto(), &soltar);
        Asentar();
        tiempos.append(static_cast<double>(reloj.nsecsElapsed()) / 1e6);
    }
    const bool llegaron = editor.documento().Texto().endsWith(QString(pulsaciones, u'a'));
    editor.documento().PonerModificado(false);
    editor.Cerrar();
    if (!llegaron) {
        std::printf("| %s | error: las teclas no llegaron al texto | < %.0f ms | no |\n", medicion, objetivo);
        return false;
    }
    std::sort(tiempos.begin(), tiempos.end());
    const double mediana = tiempos.at(tiempos.size() / 2);
    const double maxima = tiempos.constLast();
    std::printf("| %s | %.2f ms; %.2f ms | < %.0f ms | %s |\n", medicion, mediana, maxima, objetivo,
                maxima < objetivo ? "sí" : "no");
    return maxima < objetivo;
}
} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacion(argc, argv);

    CarpetaDeMedicion carpeta;
    Principal principal;
    principal.resize(1000, 700);
    principal.show();
    // One short of the longest, so the last keystroke still fits.
    bool cumple = Medir(principal,
                        "Una tecla al final de un texto de 32766 caracteres mezclados, con las marcas y la línea de "
                        "estado (mediana de 40; máxima)",
                        TextoMezclado(LongitudMaximaDeTexto - pulsaciones - 100), objetivoMs);
    // The largest files the program opens: far too long to send, typed in
    // only to cut them down.
    const qsizetype mib = 1024 * 1024 - 100;
    // Longer lines open only to be read: the text box would lay each out
    // again on every key.
    QString largas;
    while (largas.size() + LongitudMaximaDeTexto + 1 <= mib)
        largas += QString(LongitudMaximaDeTexto, u'x') + u'\n';
    largas += QString(mib - largas.size(), u'x');
    cumple = Medir(principal,
                   "Una tecla al final de un documento de 1 MiB en líneas de 32766 caracteres (mediana de 40; máxima)",
                   largas, objetivoDocumentoGrandeMs) && cumple;
    cumple = Medir(principal, "Una tecla al final de un documento de 1 MiB en líneas de 70 (mediana de 40; máxima)",
                   TextoMezclado(mib), objetivoDocumentoGrandeMs) && cumple;
    // With the preview following the text: a key only restarts its wait.
    principal.muelleVistaPrevia().show();
    QString conSaltosCrLf = TextoMezclado(LongitudMaximaDeTexto - pulsaciones - 100);
    conSaltosCrLf.chop(conSaltosCrLf.count(u'\n'));
    cumple = Medir(principal,
                   "Una tecla al final de un texto de 32766 caracteres mezclados (contando CR LF), con la vista "
                   "previa abierta (mediana de 40; máxima)",
                   conSaltosCrLf, objetivoMs) && cumple;
    return cumple ? 0 : 1;
}
