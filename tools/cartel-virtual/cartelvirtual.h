#pragma once

#include "link/separadordetramas.h"

#include <QObject>
#include <QString>

#include <map>
#include <optional>

class QTextStream;
class QTimer;

// What a sign would make of the bytes on the line: one line per frame (time,
// pause since the previous frame, destination, size, the message as tagged
// text) and one per anomaly, as plain text or as one JSON object per line.
// Remembers the last text each address was given.
class CartelVirtual : public QObject
{
    Q_OBJECT

public:
    CartelVirtual(QTextStream &salida, bool json, QObject *parent = nullptr);

    void Recibir(const QByteArray &bytes);
    // Gives up a frame the line left half sent; also run by a timer.
    void Vigilar();
    // The last text per address, and the last one sent to all signs.
    void MostrarTabla();

Q_SIGNALS:
    // Each frame's message as it came, for whoever plays it on a sign.
    void MensajeRecibido(bool aTodos, int direccion, const QByteArray &mensaje);
    // Each line as it is printed.
    void LineaEscrita(const QString &linea);

private:
    void Mostrar(const std::vector<SucesoDeLinea> &sucesos);
    void MostrarTrama(const TramaRecibida &trama);
    void MostrarAnomalia(const AnomaliaDeLinea &anomalia);
    void Escribir(const QString &linea);

    QTextStream &m_salida;
    bool m_json;
    SeparadorDeTramas m_separador;
    QTimer *m_vigia = nullptr;
    std::optional<qint64> m_finDeLaAnterior;
    std::optional<QString> m_textoATodos;
    std::map<int, QString> m_textoPorDireccion;
};
