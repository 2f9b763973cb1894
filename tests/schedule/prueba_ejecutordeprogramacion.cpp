#include "schedule/ejecutordeprogramacion.h"

#include "apoyo/puertofalso.h"
#include "documents/documento.h"
#include "encoding/codificador.h"
#include "link/lineadecarteles.h"
#include "schedule/serviciodeenvios.h"
#include "link/trama.h"
#include "link/transmisor.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The runner on an in-memory port, with a clock the test moves by hand.
class PruebaEjecutorDeProgramacion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void alArrancarEnviaElEstadoUnaVez();
    void unCambioSaleASuHora();
    void unaFallaSeReintentaAlMinuto();
    void unCambioDeRegistroReenvia();
    void unArchivoIlegibleNoSeSobrescribe();
    void unArchivoDanadoDejaLaUltimaBuena();
    void soloRecibenTramaLosQueCambian();
    void unaProgramacionPorCarpeta();
    void unDocumentoSeLeeDeNuevoSoloSiCambio();

private:
    void Iniciar(const QString &hora, const QList<EntradaDeProgramacion> &entradas);
    void Mover(const QString &hora);

    std::unique_ptr<QTemporaryDir> m_carpeta;
    QString m_anterior;
    PuertoFalso *m_puerto = nullptr;
    std::unique_ptr<ServicioDeEnvios> m_servicio;
    std::unique_ptr<EjecutorDeProgramacion> m_ejecutor;
    QDateTime m_ahora;
    QStringList m_registro;
    std::optional<ErrorDeArchivo> m_registroIlegible;
};

namespace {

const QTimeZone Utc = QTimeZone::utc();

QByteArray Trama(const QString &texto, quint8 direccion)
{
    return ArmarTrama(CodificarTexto(texto), direccion);
}

EntradaDeProgramacion Entrada(const QString &archivo, const QString &desde = u"00:00"_s, const QString &hasta = {})
{
    EntradaDeProgramacion entrada;
    entrada.archivo = archivo;
    entrada.desde = QTime::fromString(desde, u"HH:mm"_s);
    if (!hasta.isEmpty())
        entrada.hasta = QTime::fromString(hasta, u"HH:mm"_s);
    return entrada;
}

QByteArray Registro()
{
    QFile archivo(RutaDelRegistroDeEnvios);
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
}

} // namespace

void PruebaEjecutorDeProgramacion::init()
{
    m_carpeta = std::make_unique<QTemporaryDir>();
    m_anterior = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_carpeta->path()));
    QVERIFY(!EscribirDocumento(u"base.txt"_s, u"Base"_s, u"Global"_s));
    QVERIFY(!EscribirDocumento(u"ofertas.txt"_s, u"Ofertas"_s, u"Dirs: Hall"_s));
    m_puerto = new PuertoFalso;
    m_servicio = std::make_unique<ServicioDeEnvios>(m_puerto);
    // A case may change the sign list: each starts from the same one.
    m_registro = {u"cartel R560, Hall, 5"_s, u"cartel R560, Caja, 7"_s};
    m_registroIlegible.reset();
}

void PruebaEjecutorDeProgramacion::cleanup()
{
    m_ejecutor.reset();
    m_servicio.reset();
    QDir::setCurrent(m_anterior);
    m_carpeta.reset();
}

void PruebaEjecutorDeProgramacion::Iniciar(const QString &hora, const QList<EntradaDeProgramacion> &entradas)
{
    m_ahora = QDateTime(QDate(2026, 12, 9), QTime::fromString(hora, u"HH:mm"_s), Utc);
    QVERIFY(!EscribirProgramacion(RutaDeProgramacion, Programacion{entradas}));
    m_ejecutor = std::make_unique<EjecutorDeProgramacion>(
        *m_servicio, RutaDeProgramacion, [this] { return RegistroLeido{RegistroDeCarteles::DeRegistros(m_registro), m_registroIlegible}; },
        [this] { return m_ahora; }, Utc);
    QVERIFY(!m_ejecutor->Cargar());
}

void PruebaEjecutorDeProgramacion::Mover(const QString &hora)
{
    m_ahora.setTime(QTime::fromString(hora, u"HH:mm"_s));
    m_ejecutor->Revisar();
}

void PruebaEjecutorDeProgramacion::alArrancarEnviaElEstadoUnaVez()
{
    // Started at 07:40: what is due now goes out once, not the 07:00 change too.
    Iniciar(u"07:40"_s, {Entrada(u"base.txt"_s), Entrada(u"ofertas.txt"_s, u"07:00"_s, u"11:00"_s)});
    QTRY_COMPARE(m_puerto->Escrito(), Trama(u"Base"_s, 7) + Trama(u"Ofertas"_s, 5));
    QTRY_VERIFY(Registro().count("\tenviado\n") == 2);
    Mover(u"07:41"_s);
    QCOMPARE(m_puerto->Escrituras().size(), 2);
    QCOMPARE(m_ejecutor->ProximoDespertar(), QDateTime(QDate(2026, 12, 9), QTime(11, 0), Utc));
    const QList<CartelAhora> ahora = m_ejecutor->Ahora();
    QCOMPARE(ahora.at(0).archivo, u"ofertas.txt"_s);
    QCOMPARE(ahora.at(0).archivoProximo, u"base.txt"_s);
    QCOMPARE(ahora.at(1).proximo, QDateTime());
}

void PruebaEjecutorDeProgramacion::unCambioSaleASuHora()
{
    // Every sign gets the same text: one frame to all; then only Hall's changes.
    Iniciar(u"06:00"_s, {Entrada(u"base.txt"_s), Entrada(u"ofertas.txt"_s, u"07:00"_s, u"11:00"_s)});
    QTRY_COMPARE(m_puerto->Escrito(), Trama(u"Base"_s, 0));
    QTRY_VERIFY(Registro().contains("Global\tbase.txt\t"));
    m_puerto->OlvidarEscrito();
    Mover(u"07:00"_s);
    QTRY_COMPARE(m_puerto->Escrito(), Trama(u"Ofertas"_s, 5));
    m_puerto->OlvidarEscrito();
    // Hall goes back to what Caja still shows: only Hall hears it, so that
    // Caja does not start its text again.
    Mover(u"11:00"_s);
    QTRY_COMPARE(m_puerto->Escrito(), Trama(u"Base"_s, 5));
    QTRY_VERIFY(Registro().contains("\tHall\tbase.txt\t"));
}

void PruebaEjecutorDeProgramacion::unaFallaSeReintentaAlMinuto()
{
    m_puerto->FallarAlAbrir(u"El puerto está ocupado"_s);
    Iniciar(u"08:00"_s, {Entrada(u"base.txt"_s), Entrada(u"falta.txt"_s, u"08:00"_s, u"09:00"_s)});
    QVERIFY(Registro().contains("falta.txt\t0\tNo se pudo leer el documento"));
    QVERIFY(Registro().contains("El puerto está ocupado"));
    QVERIFY(m_ejecutor->Resumen().startsWith(u"Programación: falló base.txt a las 08:00"_s));
    QVERIFY(m_ejecutor->Ahora().at(0).pendiente);
    QVERIFY(m_puerto->Escrito().isEmpty());

    m_puerto->FallarAlAbrir(QString());
    Mover(u"08:01"_s);
    QTRY_COMPARE(m_puerto->Escrito(), Trama(u"Base"_s, 0));
    QTRY_VERIFY(Registro().contains("\tenviado\n"));
    QVERIFY(m_ejecutor->Resumen().startsWith(u"Programación: 2 carteles; próximo cambio 09:00"_s));
}

void PruebaEjecutorDeProgramacion::unCambioDeRegistroReenvia()
{
    Iniciar(u"12:00"_s, {Entrada(u"base.txt"_s)});
    QTRY_VERIFY(!m_servicio->Linea().Emisor().Ocupado());
    m_puerto->OlvidarEscrito();
    m_registro.append(u"cartel R560, Patio, 12"_s);
    m_ejecutor->RegistroCambiado();
    // The signs already showing it are left alone.
    QTRY_COMPARE(m_puerto->Escrito(), Trama(u"Base"_s, 12));
    QTRY_VERIFY(!m_servicio->Linea().Emisor().Ocupado());
    // A sign given another address shows what nobody knows.
    m_puerto->OlvidarEscrito();
    m_registro[1] = u"cartel R560, Caja, 8"_s;
    m_ejecutor->RegistroCambiado();
    QTRY_COMPARE(m_puerto->Escrito(), Trama(u"Base"_s, 8));
}

void PruebaEjecutorDeProgramacion::unArchivoIlegibleNoSeSobrescribe()
{
    const QByteArray ajeno = "{\"version\": 2, \"entradas\": []}";
    QFile archivo(RutaDeProgramacion);
    QVERIFY(archivo.open(QIODevice::WriteOnly) && archivo.write(ajeno) == ajeno.size());
    archivo.close();
    EjecutorDeProgramacion ejecutor(*m_servicio, RutaDeProgramacion, [this] { return RegistroLeido{RegistroDeCarteles::DeRegistros(m_registro), {}}; });
    const auto error = ejecutor.Cargar();
    QVERIFY(error);
    QVERIFY2(error->motivo.contains(u"versión"_s), qPrintable(error->motivo));
    QVERIFY(ejecutor.programacion().entradas.isEmpty());
    QVERIFY(ejecutor.PonerProgramacion(Programacion{{Entrada(u"base.txt"_s)}}));
    QVERIFY(archivo.open(QIODevice::ReadOnly));
    QCOMPARE(archivo.readAll(), ajeno);
    QVERIFY(m_puerto->Escrito().isEmpty());
}

// A damaged timetable or sign list is said once, the last good one stays in
// force, and once mended it is taken again.
void PruebaEjecutorDeProgramacion::unArchivoDanadoDejaLaUltimaBuena()
{
    Iniciar(u"06:00"_s, {Entrada(u"base.txt"_s), Entrada(u"ofertas.txt"_s, u"07:00"_s, u"11:00"_s)});
    QTRY_VERIFY(!m_puerto->Escrito().isEmpty() && !m_servicio->Linea().Emisor().Ocupado());
    m_puerto->OlvidarEscrito();
    QSignalSpy anotados(m_ejecutor.get(), &EjecutorDeProgramacion::Anotado);
    const auto minuto = [this](const QString &hora) {
        m_ahora.setTime(QTime::fromString(hora, u"HH:mm"_s));
        m_ejecutor->PasoUnMinuto();
    };
    const auto escribir = [](const QByteArray &bytes) {
        QFile archivo(RutaDeProgramacion);
        return archivo.open(QIODevice::WriteOnly) && archivo.write(bytes) == bytes.size();
    };

    const QByteArray buena = ProgramacionEnBytes(m_ejecutor->programacion());
    QVERIFY(escribir(R"({"version": 1, "entradas": [{"archivo": "base.txt", "desde": "25:00"}]})"));
    minuto(u"06:58"_s);
    minuto(u"06:59"_s);
    QCOMPARE(anotados.size(), 1);
    QVERIFY2(anotados.at(0).at(0).toString().contains(u"entrada 1: \"desde\" no es una hora"_s),
             qPrintable(anotados.at(0).at(0).toString()));
    QCOMPARE(Registro().count("Sigue en vigor la última que se leyó bien"), 1);
    QVERIFY(m_ejecutor->Resumen().contains(u"sigue la última que se leyó bien"_s));
    QVERIFY(m_ejecutor->PonerProgramacion(Programacion{{Entrada(u"base.txt"_s)}}));

    minuto(u"07:00"_s);
    QTRY_COMPARE(m_puerto->Escrito(), Trama(u"Ofertas"_s, 5));
    QTRY_VERIFY(!m_servicio->Linea().Emisor().Ocupado());
    m_puerto->OlvidarEscrito();
    // Mended as it was: nothing changes, nothing is sent.
    QVERIFY(escribir(buena));
    minuto(u"07:01"_s);
    QVERIFY(!m_ejecutor->ErrorDeLectura());

    anotados.clear();
    m_registroIlegible = ErrorDeArchivo{u"carteles.ini"_s, u"no es un archivo común"_s};
    m_ejecutor->Revisar();
    m_ejecutor->Revisar();
    QCOMPARE(anotados.size(), 1);
    QVERIFY(anotados.at(0).at(0).toString().contains(u"carteles.ini"_s));
    QVERIFY(m_ejecutor->Resumen().contains(u"lista de carteles"_s));
    QTest::qWait(20);
    QVERIFY(m_puerto->Escrito().isEmpty());
    m_registroIlegible.reset();
    m_ejecutor->Revisar();
    QVERIFY(!m_ejecutor->Resumen().contains(u"lista de carteles"_s));
}

void PruebaEjecutorDeProgramacion::soloRecibenTramaLosQueCambian()
{
    // A second entry of the same file changes nothing.
    QVERIFY(!EscribirDocumento(u"todos.txt"_s, u"Base"_s, u"Dirs: Hall;Caja"_s));
    Iniciar(u"06:00"_s, {Entrada(u"base.txt"_s), Entrada(u"base.txt"_s, u"07:00"_s, u"08:00"_s)});
    QTRY_VERIFY(!m_puerto->Escrito().isEmpty() && !m_servicio->Linea().Emisor().Ocupado());
    m_puerto->OlvidarEscrito();
    Mover(u"07:00"_s);
    QTest::qWait(20);
    QVERIFY(m_puerto->Escrito().isEmpty());
    // An edit that changes one sign sends to it alone; one that changes
    // every sign to one text, one frame to all.
    QVERIFY(!m_ejecutor->PonerProgramacion(Programacion{{Entrada(u"base.txt"_s), Entrada(u"ofertas.txt"_s)}}));
    QTRY_COMPARE(m_puerto->Escrito(), Trama(u"Ofertas"_s, 5));
    QTRY_VERIFY(!m_servicio->Linea().Emisor().Ocupado());
    m_puerto->OlvidarEscrito();
    QVERIFY(!m_ejecutor->PonerProgramacion(
        Programacion{{Entrada(u"base.txt"_s), Entrada(u"ofertas.txt"_s), Entrada(u"todos.txt"_s)}}));
    QTRY_COMPARE(m_puerto->Escrito(), Trama(u"Base"_s, 0));
}

void PruebaEjecutorDeProgramacion::unaProgramacionPorCarpeta()
{
    Iniciar(u"12:00"_s, {Entrada(u"base.txt"_s)});
    QVERIFY(!EscribirProgramacion(u"otra.json"_s, Programacion{{Entrada(u"ofertas.txt"_s)}}));
    EjecutorDeProgramacion otra(*m_servicio, u"otra.json"_s, [this] { return RegistroLeido{RegistroDeCarteles::DeRegistros(m_registro), {}}; });
    QVERIFY(!otra.Cargar());
    QVERIFY2(otra.Impedimento().startsWith(u"Una sola programación por carpeta"_s), qPrintable(otra.Impedimento()));
}

void PruebaEjecutorDeProgramacion::unDocumentoSeLeeDeNuevoSoloSiCambio()
{
    DocumentosLeidos documentos;
    QCOMPARE(documentos.Leer(u"base.txt"_s).texto, u"Base"_s);
    // Same size and time: the copy already read stands.
    const QDateTime antes = QFileInfo(u"base.txt"_s).lastModified();
    QVERIFY(!EscribirDocumento(u"base.txt"_s, u"Otro"_s, u"Global"_s));
    QFile archivo(u"base.txt"_s);
    QVERIFY(archivo.open(QIODevice::ReadWrite) && archivo.setFileTime(antes, QFileDevice::FileModificationTime));
    archivo.close();
    QCOMPARE(documentos.Leer(u"base.txt"_s).texto, u"Base"_s);
    QVERIFY(archivo.open(QIODevice::ReadWrite) &&
            archivo.setFileTime(antes.addSecs(1), QFileDevice::FileModificationTime));
    archivo.close();
    QCOMPARE(documentos.Leer(u"base.txt"_s).texto, u"Otro"_s);
}

QTEST_GUILESS_MAIN(PruebaEjecutorDeProgramacion)
#include "prueba_ejecutordeprogramacion.moc"
