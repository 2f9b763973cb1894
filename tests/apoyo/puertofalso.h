#pragma once

#include "platform/puertoserie.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A serial port in memory, for tests of whatever talks to a PuertoSerie. It
// keeps every byte written and its queue of pending bytes either empties by
// itself (the default) or only when the test says so.
//
// Like the real port: the number must be 1 to 6 and the settings must pass
// AjustesSerie (they are kept in canonical form); Abrir() opens, reopens after
// a number change or a change of device, and otherwise does nothing; a
// failure while open closes the port before Falla() is emitted.
//
//     PuertoFalso puerto;
//     puerto.PonerVaciadoManual(true);   // bytes stay pending...
//     ... puerto.Vaciar(10);             // ...until ten of them leave
//     puerto.FallarAlAbrir(u"No existe"_s);
//     puerto.ProvocarFalla(u"Se desconectó"_s);   // as if unplugged
class PuertoFalso : public PuertoSerie
{
    Q_OBJECT

public:
    explicit PuertoFalso(QObject *parent = nullptr);

    int Numero() const override;
    bool PonerNumero(int numero) override;
    QString Ajustes() const override;
    bool PonerAjustes(const QString &ajustes) override;
    bool Abrir() override;
    bool Abierto() const override;
    void Cerrar() override;
    qint64 Pendientes() const override;
    bool Escribir(const QByteArray &bytes) override;
    QString DescripcionError() const override;

    // --- What the test controls.

    // false (default): written bytes leave at once and Pendientes() stays 0.
    // true: they stay pending until Vaciar()/VaciarTodo().
    void PonerVaciadoManual(bool manual);
    // Up to `cantidad` pending bytes leave; emits BytesEntregados.
    void Vaciar(qint64 cantidad);
    void VaciarTodo();
    // Every Abrir() fails with this description from now on; an empty text
    // lets it open again.
    void FallarAlAbrir(const QString &descripcion);
    // The next Escribir() only is refused with this description (the port
    // stays open, as the real one when it refuses bytes).
    void FallarAlEscribir(const QString &descripcion);
    // A lost device: closes the port, drops what was pending and emits Falla.
    void ProvocarFalla(const QString &descripcion);
    // The device behind the port's name changed while it stayed open, with
    // nothing said (unplugged and replugged, or relinked while idle): the
    // next Abrir() closes the port and opens it again.
    void CambiarDispositivo();

    // --- What the test looks at.

    QByteArray Escrito() const;            // every byte written, in order
    QList<QByteArray> Escrituras() const;  // one entry per accepted Escribir()
    void OlvidarEscrito();                 // clears both and MaximoPendiente()
    int IntentosDeAbrir() const;           // Abrir() calls, failed ones too
    int Aperturas() const;                 // times it actually went open
    int Cierres() const;                   // Cerrar() calls on an open port
                                           // (ProvocarFalla() not counted)
    qint64 MaximoPendiente() const;        // highest Pendientes() after a write

private:
    int m_numero = 1;
    int m_numeroAbierto = 0;
    QString m_ajustes;
    bool m_abierto = false;
    bool m_dispositivoCambiado = false;
    bool m_vaciadoManual = false;
    qint64 m_pendientes = 0;
    qint64 m_maximoPendiente = 0;
    QString m_falloAlAbrir;
    QString m_falloAlEscribir;
    QString m_error;
    QByteArray m_escrito;
    QList<QByteArray> m_escrituras;
    int m_intentosDeAbrir = 0;
    int m_aperturas = 0;
    int m_cierres = 0;
};
