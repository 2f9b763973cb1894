// What the preview costs: a 160-column sign animated at 30 frames a second,
// as a share of one core; and a keystroke on the longest text with the
// preview docked and following the text, plus the one rebuild the preview
// makes once the typing stops.

#include "carpetademedicion.h"
#include "documents/documento.h"

#include "display/cartelsimulado.h"
#include "encoding/codificador.h"
#include "ui/frmeditordetextos.h"
#include "ui/matrizdepuntos.h"
#include "ui/principal.h"
#include "ui/vistaprevia.h"

#include <QApplication>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {

constexpr double objetivoCpu = 3.0;
constexpr double objetivoTeclaMs = 8.0;
constexpr int segundos = 5;
constexpr int pulsaciones = 40;

double CpuDelProcesoS()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void Asentar()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

QString TextoMezclado(qsizetype largo)
{
    const QString linea = u"[titila]Próxima salida: andén nº 3[no titila] ¿Señores? Á€° [izq]ok\n"_s;
    QString texto;
    while (texto.size() + linea.size() <= largo)
        texto += linea;
    texto += QString(largo - texto.size(), u'x');
    return texto;
}

// Counts the frames actually painted.
class ContadorDePintadas : public QObject
{
public:
    int pintadas = 0;

protected:
    bool eventFilter(QObject *, QEvent *evento) override
    {
        if (evento->type() == QEvent::Paint)
            ++pintadas;
        return false;
    }
};

bool MedirAnimacion()
{
    MatrizDePuntos matriz;
    matriz.PonerColumnas(160);
    matriz.resize(160 * 8, 7 * 8);
    ContadorDePintadas contador;
    matriz.installEventFilter(&contador);
    matriz.show();
    // Always moving and never blinking off: the worst case, a frame to draw
    // at every tick.
    matriz.PonerMensaje(CodificarTexto(u"[izq][v2]"_s + QString(400, u'H')));
    Asentar();

    const double cpuAntes = CpuDelProcesoS();
    QElapsedTimer reloj;
    reloj.start();
    QTimer::singleShot(segundos * 1000, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    const double pared = static_cast<double>(reloj.elapsed()) / 1000.0;
    const double porcentaje = 100.0 * (CpuDelProcesoS() - cpuAntes) / pared;
    const bool cumple = porcentaje <= objetivoCpu && contador.pintadas >= segundos * 25;
    std::printf("| cartel de 160 columnas animado a 30 cuadros por segundo, offscreen, puntos de 8 px "
                "(CPU del proceso en %d s; cuadros pintados) | %.2f %% de un núcleo; %d cuadros | ≤ %.0f %% | %s |\n",
                segundos, porcentaje, contador.pintadas, objetivoCpu, cumple ? "sí" : "no");
    return cumple;
}

bool MedirTeclas()
{
    CarpetaDeMedicion carpeta;
    Principal principal;
    principal.resize(1000, 700);
    principal.show();
    principal.muelleVistaPrevia().show();
    principal.mnuNuevoTexto_Click();
    frmEditorDeTextos *nuevo = principal.editor(1);
    if (!nuevo)
        return false;
    frmEditorDeTextos &editor = *nuevo;
    VistaPrevia *vista = &principal.vistaPrevia();
    // Counted with CR LF, as the sender counts it: a longer text is not sent,
    // so the preview shows nothing of it.
    QString texto = TextoMezclado(LongitudMaximaDeTexto - pulsaciones - 100);
    texto.chop(texto.count(u'\n'));
    editor.Texto().setPlainText(texto);
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
    std::sort(tiempos.begin(), tiempos.end());
    const double maxima = tiempos.constLast();

    // What the preview does once the typing stops, on the same text.
    QList<double> rehechas;
    const QString textoCrLf = editor.documento().Texto();
    for (int i = 0; i < 11; ++i) {
        reloj.start();
        const CartelSimulado cartel(CodificarTexto(textoCrLf), 160);
        if (cartel.Ciclo() <= 0)
            return false;
        rehechas.append(static_cast<double>(reloj.nsecsElapsed()) / 1e6);
    }
    std::sort(rehechas.begin(), rehechas.end());
    const double rehecha = rehechas.at(rehechas.size() / 2);
    const bool llego = vista->Matriz().Mensaje().isEmpty()
        ? QTest::qWaitFor([vista] { return !vista->Matriz().Mensaje().isEmpty(); }, 2000)
        : true;

    std::printf("| Una tecla al final de un texto de 32766 caracteres mezclados (contando CR LF), con la vista previa abierta "
                "(mediana de %d; máxima) | %.2f ms; %.2f ms | < %.0f ms | %s |\n",
                pulsaciones, tiempos.at(tiempos.size() / 2), maxima, objetivoTeclaMs,
                maxima < objetivoTeclaMs && llego ? "sí" : "no");
    std::printf("| la vista previa rehace su cartel de 160 columnas para ese texto, 150 ms después de la última "
                "tecla (codificar y trazar; mediana de 11) | %.2f ms | < %.0f ms | %s |\n",
                rehecha, 50.0, rehecha < 50.0 ? "sí" : "no");
    return maxima < objetivoTeclaMs && llego && rehecha < 50.0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacion(argc, argv);
    const bool animacion = MedirAnimacion();
    const bool teclas = MedirTeclas();
    return animacion && teclas ? 0 : 1;
}
