// The program at a large installation: 36 signs and 50 documents open. Every
// change of the sign list rebuilds the destination menu (ActualizarDestinos)
// while they are open, and the largest document the program accepts (1 MiB)
// must still open without a long wait.

#include "carpetademedicion.h"

#include "documents/documento.h"
#include "ui/configred.h"
#include "ui/editordetexto.h"
#include "ui/principal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QStringListModel>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int carteles = 36;
constexpr int editores = 50;
constexpr int vueltasDestinos = 20;
constexpr int vueltasApertura = 5;
constexpr double objetivoDestinosMs = 20.0;
constexpr double objetivoAperturaMs = 300.0;

double Mediana(QList<double> valores)
{
    std::sort(valores.begin(), valores.end());
    const qsizetype n = valores.size();
    return n % 2 ? valores.at(n / 2) : (valores.at(n / 2 - 1) + valores.at(n / 2)) / 2.0;
}

QString RegistroDeCartel(int numero)
{
    return u"R560, Cartel del andén %1, %1"_s.arg(numero);
}

// Lets the windows lay out and paint what the last command changed.
void Asentar()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// A document file of exactly TamanoMaximoDeDocumento bytes: properties naming
// three signs, then lines of text with tags and substitutes.
bool EscribirDocumentoMaximo(const QString &ruta)
{
    const QString propiedades = u"Dirs: Cartel del andén 1;Cartel del andén 2;Cartel del andén 36"_s;
    const qsizetype marcos = QByteArrayView("PROPIEDADES:\r\n").size() + propiedades.size() + 2
                             + QByteArrayView("TEXTO:\r\n").size() + 2;
    const qsizetype largo = TamanoMaximoDeDocumento - marcos;
    const QString linea = u"[titila]Próxima salida del andén nº 3[no titila] ¿desean café? [izq]Señores\r\n"_s;
    QString texto;
    texto.reserve(largo);
    while (texto.size() + linea.size() <= largo)
        texto += linea;
    texto += QString(largo - texto.size(), u'x');
    if (EscribirDocumento(ruta, texto, propiedades))
        return false;
    return QFileInfo(ruta).size() == TamanoMaximoDeDocumento;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacion(argc, argv);
    const char *medicionDestinos =
        "ActualizarDestinos con 50 editores y 36 carteles, tras quitar o volver a poner el primer cartel (mediana de 20; máxima)";
    const char *medicionApertura =
        "AbrirTexto de un documento de 1 MiB con 50 editores y 36 carteles, hasta que la ventana se asienta "
        "(mediana de 5; máxima)";

    CarpetaDeMedicion carpeta;
    QStringList configuracion{u"interfase com1,9600,N,8,1"_s};
    QStringList registro;
    for (int i = 1; i <= carteles; ++i) {
        configuracion.append(u"cartel "_s + RegistroDeCartel(i));
        registro.append(RegistroDeCartel(i));
    }
    if (!carpeta.Valida() || !carpeta.EscribirConfiguracion(configuracion)) {
        std::printf("| %s | error: sin carpeta de trabajo | < %.0f ms | no |\n", medicionDestinos, objetivoDestinosMs);
        return 1;
    }

    Principal principal;
    principal.show();
    for (int i = 0; i < editores; ++i)
        principal.NuevoTexto();
    Asentar();
    if (principal.configRed().Registro().size() != carteles || principal.Editores().size() != editores) {
        std::fprintf(stderr, "medir_escala: %lld carteles, %d editores\n", static_cast<long long>(principal.configRed().Registro().size()),
                     static_cast<int>(principal.Editores().size()));
        return 1;
    }

    // As the connected-signs dialog does: the registry changes, then the
    // destination menu follows. The first sign is removed and put back in
    // turn, the costliest change: every item changes its name, and one item
    // is deleted or made.
    QList<double> destinos;
    QElapsedTimer reloj;
    for (int i = 0; i < vueltasDestinos; ++i) {
        QStringList cambiado = registro;
        if (i % 2 == 0)
            cambiado.removeFirst();
        const RegistroDeCarteles nuevo = RegistroDeCarteles::DeRegistros(cambiado);
        reloj.start();
        principal.AplicarRegistro(nuevo);
        destinos.append(static_cast<double>(reloj.nsecsElapsed()) / 1e6);
        const QStringList titulos = principal.TitulosDeDestino();
        if (titulos.size() != cambiado.size() || !cambiado.first().contains(titulos.first().trimmed())) {
            std::printf("| %s | error: los menús no siguieron al registro | < %.0f ms | no |\n", medicionDestinos,
                        objetivoDestinosMs);
            return 1;
        }
        Asentar();
    }
    principal.AplicarRegistro(RegistroDeCarteles::DeRegistros(registro));

    QList<double> aperturas;
    for (int i = 0; i < vueltasApertura; ++i) {
        const QString ruta = carpeta.Ruta(u"grande%1.txt"_s.arg(i));
        if (!EscribirDocumentoMaximo(ruta)) {
            std::printf("| %s | error: no se pudo escribir el documento | < %.0f ms | no |\n", medicionApertura,
                        objetivoAperturaMs);
            return 1;
        }
        Asentar();
        reloj.start();
        principal.AbrirTexto(ruta);
        Asentar();
        aperturas.append(static_cast<double>(reloj.nsecsElapsed()) / 1e6);

        EditorDeTexto *abierto = nullptr;
        for (EditorDeTexto *editor : principal.Editores()) {
            if (editor->Caption() == ruta)
                abierto = editor;
        }
        if (!abierto || abierto->Texto().document()->characterCount() < TamanoMaximoDeDocumento / 2) {
            std::printf("| %s | error: el documento no se abrió | < %.0f ms | no |\n", medicionApertura,
                        objetivoAperturaMs);
            return 1;
        }
        abierto->documento().PonerModificado(false);
        abierto->Cerrar();
        Asentar();
    }

    const double destinosMediana = Mediana(destinos);
    const double destinosMaxima = *std::max_element(destinos.cbegin(), destinos.cend());
    const double aperturaMediana = Mediana(aperturas);
    const double aperturaMaxima = *std::max_element(aperturas.cbegin(), aperturas.cend());
    std::printf("| %s | %.2f ms; %.2f ms | < %.0f ms | %s |\n", medicionDestinos, destinosMediana, destinosMaxima,
                objetivoDestinosMs, destinosMaxima < objetivoDestinosMs ? "sí" : "no");
    std::printf("| %s | %.0f ms; %.0f ms | < %.0f ms | %s |\n", medicionApertura, aperturaMediana, aperturaMaxima,
                objetivoAperturaMs, aperturaMaxima < objetivoAperturaMs ? "sí" : "no");
    return 0;
}
