#include "avanceenconsola.h"

#include "link/trama.h"
#include "link/transmisor.h"

#include <QIODevice>

using namespace Qt::StringLiterals;

namespace {

constexpr int AnchoDeBarra = 30;

} // namespace

AvanceEnConsola::AvanceEnConsola(const QList<QByteArray> &cadenas, QIODevice &salida, bool terminal,
                                 QObject *parent)
    : QObject(parent), m_cadenas(cadenas), m_salida(salida), m_terminal(terminal)
{
    // Frames as the transmitter counts them, so the console and a
    // cancellation never disagree.
    for (qsizetype c = 0; c < m_cadenas.size(); ++c) {
        const QByteArray &cadena = m_cadenas.at(c);
        m_bytesTotales += cadena.size();
        qsizetype inicio = 0;
        for (const qsizetype fin : Transmisor::FinesDeTrama(cadena)) {
            m_tramas.append({c, inicio, fin});
            inicio = fin + 1;
        }
    }
}

void AvanceEnConsola::Comenzada(qint64 total)
{
    Q_UNUSED(total);
    if (m_cadena >= 0)
        m_bytesDeCadenasAnteriores += m_cadenas.value(m_cadena).size();
    ++m_cadena;
    m_entregados = 0;
    if (m_terminal)
        DibujarBarra();
}

void AvanceEnConsola::Avance(qint64 entregados, qint64 total)
{
    Q_UNUSED(total);
    m_entregados = entregados;
    while (m_tramasEntregadas < m_tramas.size()) {
        const Trama &trama = m_tramas.at(m_tramasEntregadas);
        if (trama.cadena > m_cadena || (trama.cadena == m_cadena && trama.fin >= entregados))
            break;
        ++m_tramasEntregadas;
        if (!m_terminal)
            EscribirLinea(m_tramasEntregadas - 1);
    }
    if (m_terminal)
        DibujarBarra();
}

void AvanceEnConsola::Terminar()
{
    if (m_terminal && m_barraDibujada) {
        m_salida.write("\n");
        m_barraDibujada = false;
    }
}

void AvanceEnConsola::EscribirLinea(qsizetype indice)
{
    const Trama &trama = m_tramas.at(indice);
    const QByteArray &cadena = m_cadenas.at(trama.cadena);
    const auto cabecera = static_cast<quint8>(cadena.at(trama.inicio));
    QString destino;
    if (cabecera == ByteTramaATodos)
        destino = u"todos los carteles"_s;
    else if (cabecera == ByteTramaADireccion && trama.inicio + 1 < cadena.size())
        destino = u"dirección %1"_s.arg(static_cast<quint8>(cadena.at(trama.inicio + 1)));
    else
        destino = u"?"_s;
    const QString linea = u"Trama %1 de %2: %3, %4 bytes\n"_s.arg(indice + 1)
                              .arg(m_tramas.size())
                              .arg(destino)
                              .arg(trama.fin - trama.inicio + 1);
    m_salida.write(linea.toUtf8());
}

void AvanceEnConsola::DibujarBarra()
{
    const qint64 hechos = m_bytesDeCadenasAnteriores + m_entregados;
    const qint64 llenos = m_bytesTotales > 0 ? hechos * AnchoDeBarra / m_bytesTotales : AnchoDeBarra;
    const qint64 porciento = m_bytesTotales > 0 ? hechos * 100 / m_bytesTotales : 100;
    const QString barra = u"\r["_s + QString(llenos, u'#') + QString(AnchoDeBarra - llenos, u'.') +
                          u"] %1%, trama %2 de %3 "_s.arg(porciento, 3)
                              .arg(std::min(m_tramasEntregadas + 1, m_tramas.size()))
                              .arg(m_tramas.size());
    m_salida.write(barra.toUtf8());
    m_barraDibujada = true;
}
