#include "schedule/alcancesdeprogramacion.h"

#include "documents/destinosdeenvio.h"
#include "documents/documento.h"

#include <QHash>

using namespace Qt::StringLiterals;

QList<AlcanceDeTexto> AlcancesDeProgramacion(const Programacion &programacion, const QStringList &registro,
                                             QStringList &problemas)
{
    // Base texts and their exceptions often name the same file.
    QHash<QString, AlcanceDeTexto> leidos;
    QList<AlcanceDeTexto> alcances;
    alcances.reserve(programacion.entradas.size());
    for (const EntradaDeProgramacion &entrada : programacion.entradas) {
        auto it = leidos.constFind(entrada.archivo);
        if (it == leidos.cend()) {
            QString texto;
            QString propiedades;
            AlcanceDeTexto alcance;
            if (const auto error = LeerDocumento(entrada.archivo, texto, propiedades))
                problemas.append(error->ruta + u": "_s + error->motivo);
            else
                alcance = AlcanceDeDestinos(DestinosDesdePropiedades(propiedades, registro), registro);
            it = leidos.insert(entrada.archivo, alcance);
        }
        alcances.append(*it);
    }
    return alcances;
}
