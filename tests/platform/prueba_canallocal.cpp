#include "platform/canallocal.h"
#include "platform/servidorlocal.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// A server in a folder of its own, and one connection through it.
struct Conexion
{
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(u"s"_s);
    ServidorLocal servidor;
    std::unique_ptr<CanalLocal> cliente;
    // The server's end, once accepted.
    CanalLocal *delServidor = nullptr;

    bool Conectar()
    {
        QSignalSpy nueva(&servidor, &ServidorLocal::NuevaConexion);
        cliente.reset(CanalLocal::Conectar(ruta));
        if (!cliente || !nueva.wait(5000))
            return false;
        delServidor = nueva.at(0).at(0).value<CanalLocal *>();
        return true;
    }
};
} // namespace

class PruebaCanalLocal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void soloParaEsteUsuarioYReemplazaLoQueHabia();
    void loQueLlegoAntesDelCierreSeLee();
    void loQueNoCabeDeUnaVezSaleEnSuTurno();
};

void PruebaCanalLocal::soloParaEsteUsuarioYReemplazaLoQueHabia()
{
    Conexion conexion;
    // What a process that died left there.
    QFile viejo(conexion.ruta);
    QVERIFY(viejo.open(QIODevice::WriteOnly));
    viejo.close();

    QVERIFY2(conexion.servidor.Escuchar(conexion.ruta), qPrintable(conexion.servidor.Error()));
    struct stat estado{};
    QCOMPARE(::stat(QFile::encodeName(conexion.ruta).constData(), &estado), 0);
    QVERIFY(S_ISSOCK(estado.st_mode));
    QCOMPARE(estado.st_mode & 0777, 0600u);
    QVERIFY(conexion.Conectar());
    QCOMPARE(conexion.cliente->UsuarioDelOtroLado(), ::geteuid());
}

void PruebaCanalLocal::loQueLlegoAntesDelCierreSeLee()
{
    Conexion conexion;
    QVERIFY(conexion.servidor.Escuchar(conexion.ruta));
    QVERIFY(conexion.Conectar());
    QSignalSpy cerrado(conexion.delServidor, &CanalLocal::Cerrado);

    conexion.delServidor->Escribir("hola");
    conexion.delServidor->CerrarAlTerminar();
    QCOMPARE(cerrado.count(), 1);
    // The client has no event loop to wait in: it waits on the socket.
    CanalLocal &cliente = *conexion.cliente;
    QVERIFY(cliente.EsperarLegible(5000));
    QCOMPARE(cliente.Leer(100), QByteArray("hola"));
    QVERIFY(!cliente.EsperarLegible(5000));
    QVERIFY(!cliente.Abierto());
}

void PruebaCanalLocal::loQueNoCabeDeUnaVezSaleEnSuTurno()
{
    Conexion conexion;
    QVERIFY(conexion.servidor.Escuchar(conexion.ruta));
    QVERIFY(conexion.Conectar());

    // Far more than a socket's buffer: most of it waits for the other end.
    QByteArray mucho(4 * 1024 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < mucho.size(); ++i)
        mucho[i] = char(i % 251);
    conexion.delServidor->Escribir(mucho.first(mucho.size() / 2));
    conexion.delServidor->Escribir(mucho.sliced(mucho.size() / 2));
    conexion.delServidor->CerrarAlTerminar();
    CanalLocal *cliente = conexion.cliente.get();
    QByteArray recibido;
    connect(cliente, &CanalLocal::Legible, this, [&] { recibido += cliente->Leer(1 << 20); });
    QSignalSpy cerrado(cliente, &CanalLocal::Cerrado);
    QVERIFY(cerrado.wait(10000));
    QCOMPARE(recibido.size(), mucho.size());
    QVERIFY(recibido == mucho);
}

QTEST_GUILESS_MAIN(PruebaCanalLocal)
#include "prueba_canallocal.moc"
