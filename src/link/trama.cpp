#include "link/trama.h"

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

QByteArray ArmarTrama(const QByteArray &mensaje, quint8 destino)
{
    QByteArray trama;
    trama.reserve(mensaje.size() + CampoFijoDeTrama.size() + 3);
    if (destino == 0) {
        trama.append(static_cast<char>(ByteTramaATodos));
    } else {
        trama.append(static_cast<char>(ByteTramaADireccion));
        trama.append(static_cast<char>(destino));
    }
    trama.append(CampoFijoDeTrama.data(), CampoFijoDeTrama.size());
    trama.append(mensaje);
    trama.append(static_cast<char>(ByteFinDeTrama));
    return trama;
}

bool EsCadenaDeTramas(QByteArrayView cadena)
{
    const auto byte = [&cadena](qsizetype i) { return static_cast<quint8>(cadena.at(i)); };
    qsizetype i = 0;
    do {
        if (i >= cadena.size())
            return false;
        if (byte(i) == ByteTramaADireccion)
            i += 2;
        else if (byte(i) == ByteTramaATodos)
            i += 1;
        else
            return false;
        if (cadena.size() - i < CampoFijoDeTrama.size()
            || cadena.sliced(i, CampoFijoDeTrama.size()) != QByteArrayView(CampoFijoDeTrama.data(), CampoFijoDeTrama.size()))
            return false;
        i += CampoFijoDeTrama.size();
        while (i < cadena.size() && byte(i) < LimiteDeByteDeMensaje)
            ++i;
        if (i >= cadena.size() || byte(i) != ByteFinDeTrama)
            return false;
        ++i;
    } while (i < cadena.size());
    return true;
}

QByteArray ArmarMensajeDeDirecciones()
{
    QByteArray cadena;
    for (int direccion = PrimeraDireccionMostrada; direccion <= UltimaDireccionMostrada; ++direccion) {
        // ArmarTrama() would give address 0 the header for every sign.
        cadena.append(static_cast<char>(ByteTramaADireccion));
        cadena.append(static_cast<char>(direccion));
        cadena.append(CampoFijoDeTrama.data(), CampoFijoDeTrama.size());
        cadena.append(' ');
        cadena.append(QByteArray::number(direccion));
        cadena.append(static_cast<char>(ByteFinDeTrama));
    }
    return cadena;
}

QString TextoDePorcentaje(qint64 valor, qint64 maximo)
{
    const QString sufijo = u"% Completado"_s;
    if (maximo <= 0)
        return sufijo;
    // More than delivered can never be written, nor less than nothing; held
    // inside that range the quotient stays within 0 to 100 and its rounding
    // within an integer, whatever counts come in.
    valor = std::clamp<qint64>(valor, 0, maximo);
    // The bar's value and maximum are single precision, and so is the
    // quotient, before it is rounded.
    const float porcentaje = static_cast<float>(valor) * 100.0f / static_cast<float>(maximo);
    const auto redondeado = static_cast<qint64>(std::floor(static_cast<double>(porcentaje) + 0.5));
    if (redondeado == 0)
        return sufijo;
    return QString::number(redondeado) + sufijo;
}
