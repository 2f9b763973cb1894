#include "documents/marcasdedestino.h"

#include "config/registrodecartel.h"

#include <QHash>

namespace {
// The positions of each key in the new list, first to last, and how many of
// them earlier records have taken: every search is then linear in total.
class Reclamos
{
public:
    void Agregar(const QString &clave, qsizetype posicion) { m_posiciones[clave].append(posicion); }

    // The first position with this key that nobody has taken yet, or -1.
    qsizetype Tomar(const QString &clave, const QList<bool> &tomadas)
    {
        const auto it = m_posiciones.find(clave);
        if (it == m_posiciones.end())
            return -1;
        qsizetype &siguiente = m_siguiente[clave];
        while (siguiente < it->size() && tomadas.at(it->at(siguiente)))
            ++siguiente;
        return siguiente < it->size() ? it->at(siguiente++) : -1;
    }

private:
    QHash<QString, QList<qsizetype>> m_posiciones;
    QHash<QString, qsizetype> m_siguiente;
};
} // namespace

QList<bool> MarcasTrasCambioDeRegistro(const QStringList &anteriores, const QList<bool> &marcas,
                                       const QStringList &nuevos)
{
    QList<bool> resultado(nuevos.size(), false);
    QList<bool> tomadas(nuevos.size(), false);
    Reclamos porRegistro;
    Reclamos porNombre;
    for (qsizetype i = 0; i < nuevos.size(); ++i) {
        porRegistro.Agregar(nuevos.at(i), i);
        porNombre.Agregar(NombreDeCartel(nuevos.at(i)), i);
    }

    const qsizetype items = std::min(anteriores.size(), marcas.size());
    QList<qsizetype> sinLugar;
    for (qsizetype i = 0; i < items; ++i) {
        const qsizetype lugar = porRegistro.Tomar(anteriores.at(i), tomadas);
        if (lugar >= 0) {
            tomadas[lugar] = true;
            resultado[lugar] = marcas.at(i);
        } else if (marcas.at(i)) {
            sinLugar.append(i);
        }
    }
    for (qsizetype i : std::as_const(sinLugar)) {
        const qsizetype lugar = porNombre.Tomar(NombreDeCartel(anteriores.at(i)), tomadas);
        if (lugar >= 0) {
            tomadas[lugar] = true;
            resultado[lugar] = true;
        }
    }
    return resultado;
}
