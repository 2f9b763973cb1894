// What a local client or server may send over the socket of a working
// folder: the messages as LeerMensaje() takes them off a buffer.
//
// The input is a buffer as it might arrive. Messages are taken off it until
// one is incomplete or invalid. An incomplete one leaves the buffer as it
// was; each message read went off the front whole, holds no more than it was
// sent in, and, encoded again, reads back the same.

#include "comun.h"

#include "link/protocolodeenvios.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t tamano)
{
    QByteArray bufer = Bytes(datos, tamano);
    for (;;) {
        const QByteArray antes = bufer;
        MensajeDeEnvios mensaje;
        const LecturaDeMensaje lectura = LeerMensaje(bufer, mensaje);
        if (lectura == LecturaDeMensaje::Incompleta) {
            Exigir(bufer == antes, "un mensaje incompleto no se saca");
            return 0;
        }
        if (lectura == LecturaDeMensaje::Invalida)
            return 0;
        const qsizetype leidos = antes.size() - bufer.size();
        Exigir(leidos > 4 && leidos <= TamanoMaximoDeMensaje + 4, "un mensaje dentro del límite");
        Exigir(antes.endsWith(bufer), "el mensaje sale entero del frente");
        qsizetype contenido = mensaje.ajustes.size() + mensaje.resultado.fallo.size() + mensaje.archivo.size();
        for (const QString &cartel : mensaje.carteles)
            contenido += cartel.size();
        for (const QByteArray &cadena : mensaje.cadenas)
            contenido += cadena.size();
        Exigir(contenido <= leidos, "nada más de lo que llegó");

        QByteArray otraVez = CodificarMensaje(mensaje);
        MensajeDeEnvios releido;
        Exigir(LeerMensaje(otraVez, releido) == LecturaDeMensaje::Leido && otraVez.isEmpty(),
               "lo codificado se lee entero");
        Exigir(CodificarMensaje(releido) == CodificarMensaje(mensaje), "y dice lo mismo");
    }
}
