#include "schedule/alcancesdeprogramacion.h"

#include "documents/destinosdeenvio.h"
#include "schedule/documentosleidos.h"

#include <QHash>

using namespace Qt::StringLiterals;

QList<AlcanceDeTexto> AlcancesDeProgramacion(const Programacion &programacion, const RegistroDeCarteles &registro,
                                             DocumentosLeidos &documentos, QStringList &problemas)
{
    // Base texts and their exceptions often name the same file.
    QHash<QString, AlcanceDeTexto> leidos;
    QList<AlcanceDeTexto> alcances;
    alcances.reserve(programacion.entradas.size());
    for (const EntradaDeProgramacion &entrada : programacion.entradas) {
        auto it = leidos.constFind(entrada.archivo);
        if (it == leidos.cend()) {
            const DocumentoLeido &documento = documentos.Leer(entrada.archivo);
            AlcanceDeTexto alcance;
            if (documento.error)
                problemas.append(documento.error->ruta + u": "_s + documento.error->motivo);
            else
                alcance = AlcanceDeDestinos(DestinosDeEnvioDe(documento.Destinos(registro), registro), registro);
            it = leidos.insert(entrada.archivo, alcance);
        }
        alcances.append(*it);
    }
    return alcances;
}
