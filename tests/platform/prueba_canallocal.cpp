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

class PruebaCanalLocal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void soloParaEsteUsuarioYReemplazaLoQueHabia();
    void loQueLlegoAntesDelCierreSeLee();
    void loQueNoCabeDeUnaVezSaleEnSuTurno();

private:
    // A connection through `servidor`: the client's end, and the server's
    // once accepted.
    static std::pair<std::unique_ptr<CanalLocal>, CanalLocal *> Conectar(ServidorLocal &servidor, const QString &ruta);
};

std::pair<std::unique_ptr<CanalLocal>, CanalLocal *> PruebaCanalLocal::Conectar(ServidorLocal &servidor,
                                                                               const QString &ruta)
{
    QSignalSpy nueva(&servidor, &ServidorLocal::NuevaConexion);
    std::unique_ptr<CanalLocal> cliente{CanalLocal::Conectar(ruta)};
    if (!cliente || !nueva.wait(5000))
        return {};
    return {std::move(cliente), nueva.at(0).at(0).value<CanalLocal *>()};
}

void PruebaCanalLocal::soloParaEsteUsuarioYReemplazaLoQueHabia()
{
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(u"s"_s);
    // What a process that died left there.
    QFile viejo(ruta);
    QVERIFY(viejo.open(QIODevice::WriteOnly));
    viejo.close();

    ServidorLocal servidor;
    QVERIFY2(servidor.Escuchar(ruta), qPrintable(servidor.Error()));
    struct stat estado{};
    QCOMPARE(::stat(QFile::encodeName(ruta).constData(), &estado), 0);
    QVERIFY(S_ISSOCK(estado.st_mode));
    QCOMPARE(estado.st_mode & 0777, 0600u);

    auto [cliente, delServidor] = Conectar(servidor, ruta);
    QVERIFY(delServidor);
    QCOMPARE(cliente->UsuarioDelOtroLado(), ::geteuid());
}

void PruebaCanalLocal::loQueLlegoAntesDelCierreSeLee()
{
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(u"s"_s);
    ServidorLocal servidor;
    QVERIFY(servidor.Escuchar(ruta));
    auto [cliente, delServidor] = Conectar(servidor, ruta);
    QVERIFY(delServidor);
    QSignalSpy cerrado(delServidor, &CanalLocal::Cerrado);

    delServidor->Escribir("hola");
    delServidor->CerrarAlTerminar();
    QCOMPARE(cerrado.count(), 1);
    // The client has no event loop to wait in: it waits on the socket.
    QVERIFY(cliente->EsperarLegible(5000));
    QCOMPARE(cliente->Leer(100), QByteArray("hola"));
    QVERIFY(!cliente->EsperarLegible(5000));
    QVERIFY(!cliente->Abierto());
}

void PruebaCanalLocal::loQueNoCabeDeUnaVezSaleEnSuTurno()
{
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(u"s"_s);
    ServidorLocal servidor;
    QVERIFY(servidor.Escuchar(ruta));
    auto [cliente, delServidor] = Conectar(servidor, ruta);
    QVERIFY(delServidor);

    // Far more than a socket's buffer: most of it waits for the other end.
    QByteArray mucho(4 * 1024 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < mucho.size(); ++i)
        mucho[i] = char(i % 251);
    delServidor->Escribir(mucho.first(mucho.size() / 2));
    delServidor->Escribir(mucho.sliced(mucho.size() / 2));
    delServidor->CerrarAlTerminar();
    QByteArray recibido;
    connect(cliente.get(), &CanalLocal::Legible, this, [&] { recibido += cliente->Leer(1 << 20); });
    QSignalSpy cerrado(cliente.get(), &CanalLocal::Cerrado);
    QVERIFY(cerrado.wait(10000));
    QCOMPARE(recibido.size(), mucho.size());
    QVERIFY(recibido == mucho);
}

QTEST_GUILESS_MAIN(PruebaCanalLocal)
#include "prueba_canallocal.moc"
