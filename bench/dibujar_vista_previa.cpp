// The picture of the preview in docs/: the program's window with a text and
// its preview, one frame every FotogramaMs over exactly one run of the
// message, so that the picture loops without a jump. Writes the frames as
// PNG files into the folder it is given; scripts/imagenes makes the GIF.

#include "carpetademedicion.h"

#include "apoyo/puertofalso.h"
#include "ui/editordetexto.h"
#include "ui/matrizdepuntos.h"
#include "ui/principal.h"
#include "ui/vistaprevia.h"

#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QPlainTextEdit>
#include <QTest>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 FotogramaMs = 50;

} // namespace

int main(int argc, char *argv[])
{
    QApplication aplicacion(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "uso: dibujar_vista_previa CARPETA\n");
        return 2;
    }
    const QDir salida(QString::fromLocal8Bit(argv[1]));
    CarpetaDeMedicion carpeta;
    if (!carpeta.Valida() || !carpeta.EscribirConfiguracion({u"interfase com2,2400,N,8,1"_s,
                                                             u"cartel R560, Un Cartel, Desconocida"_s}))
        return 1;

    Principal principal(new PuertoFalso);
    principal.show();
    if (!QTest::qWaitForWindowExposed(&principal)) {
        std::fprintf(stderr, "la ventana no llegó a mostrarse\n");
        return 1;
    }
    principal.NuevoTexto();
    EditorDeTexto *editor = principal.editor(1);
    editor->Texto().setPlainText(u"[sube]¡Hola![pausa][izq][v2]Andén 3: salida 13:10"_s);
    principal.muelleVistaPrevia().show();
    MatrizDePuntos &matriz = principal.vistaPrevia().Matriz();
    if (!QTest::qWaitFor([&] { return matriz.Ciclo() > 0; }, 5000)) {
        std::fprintf(stderr, "la vista previa no mostró el texto\n");
        return 1;
    }
    QTest::qWait(200);

    const qint64 fotogramas = (matriz.Ciclo() + FotogramaMs - 1) / FotogramaMs;
    for (qint64 i = 0; i < fotogramas; ++i) {
        matriz.MostrarMomento(i * FotogramaMs);
        QCoreApplication::processEvents();
        if (!principal.grab().save(salida.filePath(u"%1.png"_s.arg(i, 4, 10, QLatin1Char('0')))))
            return 1;
    }
    std::printf("%lld fotogramas de %lld ms\n", fotogramas, FotogramaMs);
    return 0;
}
