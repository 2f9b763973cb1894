#include "schedule/ejecutordeprogramacion.h"

#include "apoyo/puertofalso.h"
#include "documents/documento.h"
#include "encoding/codificador.h"
#include "link/lineadecarteles.h"
#include "link/trama.h"
#include "link/transmisor.h"

#include <QFile>
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

private:
    void Iniciar(const QString &hora, const QList<EntradaDeProgramacion> &entradas);
    void Mover(const QString &hora);

    std::unique_ptr<QTemporaryDir> m_carpeta;
    QString m_anterior;
    PuertoFalso *m_puerto = nullptr;
    std::unique_ptr<LineaDeCarteles> m_linea;
    std::unique_ptr<EjecutorDeProgramacion> m_ejecutor;
    QDateTime m_ahora;
    QStringList m_registro;
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
    m_linea = std::make_unique<LineaDeCarteles>(m_puerto);
    // A case may change the sign list: each starts from the same one.
    m_registro = {u"cartel R560, Hall, 5"_s, u"cartel R560, Caja, 7"_s};
}

void PruebaEjecutorDeProgramacion::cleanup()
{
    m_ejecutor.reset();
    m_linea.reset();
    QDir::setCurrent(m_anterior);
    m_carpeta.reset();
}

void PruebaEjecutorDeProgramacion::Iniciar(const QString &hora, const QList<EntradaDeProgramacion> &entradas)
{
    m_ahora = QDateTime(QDate(2026, 12, 9), QTime::fromString(hora, u"HH:mm"_s), Utc);
    QVERIFY(!EscribirProgramacion(RutaDeProgramacion, Programacion{entradas}));
    m_ejecutor = std::make_unique<EjecutorDeProgramacion>(
        *m_linea, RutaDeProgramacion, [this] { return m_registro; }, [this] { return m_ahora; }, Utc);
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
    // Every sign wants the base text again: one frame to all.
    Mover(u"11:00"_s);
    QTRY_COMPARE(m_puerto->Escrito(), Trama(u"Base"_s, 0));
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
    QTRY_VERIFY(!m_linea->Emisor().Ocupado());
    m_puerto->OlvidarEscrito();
    m_registro.append(u"cartel R560, Patio, 12"_s);
    m_ejecutor->RegistroCambiado();
    QTRY_COMPARE(m_puerto->Escrito(), Trama(u"Base"_s, 0));
}

void PruebaEjecutorDeProgramacion::unArchivoIlegibleNoSeSobrescribe()
{
    const QByteArray ajeno = "{\"version\": 2, \"entradas\": []}";
    QFile archivo(RutaDeProgramacion);
    QVERIFY(archivo.open(QIODevice::WriteOnly) && archivo.write(ajeno) == ajeno.size());
    archivo.close();
    EjecutorDeProgramacion ejecutor(*m_linea, RutaDeProgramacion, [this] { return m_registro; });
    const auto error = ejecutor.Cargar();
    QVERIFY(error);
    QVERIFY2(error->motivo.contains(u"versión"_s), qPrintable(error->motivo));
    QVERIFY(ejecutor.programacion().entradas.isEmpty());
    QVERIFY(ejecutor.PonerProgramacion(Programacion{{Entrada(u"base.txt"_s)}}));
    QVERIFY(archivo.open(QIODevice::ReadOnly));
    QCOMPARE(archivo.readAll(), ajeno);
    QVERIFY(m_puerto->Escrito().isEmpty());
}

QTEST_GUILESS_MAIN(PruebaEjecutorDeProgramacion)
#include "prueba_ejecutordeprogramacion.moc"
