#include "argumentosdeenvio.h"
#include "codigodesalida.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Accion = ArgumentosDeEnvio::Accion;
Q_DECLARE_METATYPE(ArgumentosDeEnvio)

namespace {

ArgumentosDeEnvio Archivo(const QString &archivo)
{
    ArgumentosDeEnvio argumentos;
    argumentos.archivo = archivo;
    return argumentos;
}

ArgumentosDeEnvio Texto(const QString &texto)
{
    ArgumentosDeEnvio argumentos;
    argumentos.texto = texto;
    return argumentos;
}

ArgumentosDeEnvio ConAccion(ArgumentosDeEnvio argumentos, Accion accion)
{
    argumentos.accion = accion;
    return argumentos;
}

} // namespace

class PruebaArgumentosDeEnvio : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void validos_data();
    void validos();
    void invalidos_data();
    void invalidos();
    void laAyudaNombraCadaEstadoDeSalida();
};

void PruebaArgumentosDeEnvio::validos_data()
{
    QTest::addColumn<QStringList>("linea");
    QTest::addColumn<ArgumentosDeEnvio>("esperado");

    QTest::newRow("archivo") << QStringList{u"hoy.txt"_s} << Archivo(u"hoy.txt"_s);
    QTest::newRow("texto") << QStringList{u"--texto"_s, u"Abierto"_s} << Texto(u"Abierto"_s);
    QTest::newRow("texto con =") << QStringList{u"--texto=A=B"_s} << Texto(u"A=B"_s);
    QTest::newRow("texto vacío") << QStringList{u"--texto"_s, QString()} << Texto(QString());
    QTest::newRow("texto que empieza con guion")
        << QStringList{u"--texto"_s, u"--a"_s} << Texto(u"--a"_s);

    ArgumentosDeEnvio dosNombres = Archivo(u"hoy.txt"_s);
    dosNombres.nombres = {u"Hall"_s, u"Andén 2"_s};
    QTest::newRow("--a repetido, en orden")
        << QStringList{u"--a"_s, u"Hall"_s, u"hoy.txt"_s, u"--a=Andén 2"_s} << dosNombres;

    ArgumentosDeEnvio global = Texto(u"x"_s);
    global.global = true;
    QTest::newRow("--global") << QStringList{u"--global"_s, u"--texto"_s, u"x"_s} << global;

    ArgumentosDeEnvio puerto = Archivo(u"hoy.txt"_s);
    puerto.puerto = 6;
    puerto.velocidad = 2400;
    QTest::newRow("--puerto y --velocidad")
        << QStringList{u"--puerto"_s, u"6"_s, u"--velocidad=2400"_s, u"hoy.txt"_s} << puerto;

    QTest::newRow("--direcciones") << QStringList{u"--direcciones"_s}
                                   << ConAccion(ArgumentosDeEnvio(), Accion::Direcciones);
    ArgumentosDeEnvio direcciones = ConAccion(ArgumentosDeEnvio(), Accion::Direcciones);
    direcciones.puerto = 1;
    direcciones.velocidad = 9600;
    ArgumentosDeEnvio porRed = Archivo(u"hoy.txt"_s);
    porRed.red = u"[fe80::1]:4001"_s;
    QTest::newRow("--puerto tcp") << QStringList{u"--puerto=tcp:[fe80::1]:4001"_s, u"hoy.txt"_s} << porRed;
    QTest::newRow("--direcciones con puerto y velocidad")
        << QStringList{u"--velocidad"_s, u"9600"_s, u"--direcciones"_s, u"--puerto=1"_s} << direcciones;

    QTest::newRow("--longitud de un archivo")
        << QStringList{u"--longitud"_s, u"hoy.txt"_s} << ConAccion(Archivo(u"hoy.txt"_s), Accion::Longitud);
    QTest::newRow("--longitud de un texto") << QStringList{u"--texto"_s, u"HOLA"_s, u"--longitud"_s}
                                            << ConAccion(Texto(u"HOLA"_s), Accion::Longitud);

    QTest::newRow("-- antes de un archivo con guion") << QStringList{u"--"_s, u"--raro.txt"_s}
                                                      << Archivo(u"--raro.txt"_s);
    QTest::newRow("- es un archivo") << QStringList{u"-"_s} << Archivo(u"-"_s);

    ArgumentosDeEnvio queMuestra = ConAccion(ArgumentosDeEnvio(), Accion::QueMuestra);
    queMuestra.fecha = QDate(2026, 12, 24);
    queMuestra.hora = QTime(19, 30);
    queMuestra.programacion = u"otra.json"_s;
    QTest::newRow("--que-muestra con --programacion")
        << QStringList{u"--que-muestra"_s, u"2026-12-24 19:30"_s, u"--programacion=otra.json"_s} << queMuestra;

    ArgumentosDeEnvio programacion = ConAccion(ArgumentosDeEnvio(), Accion::Programacion);
    QTest::newRow("--programacion sola") << QStringList{u"--programacion"_s} << programacion;
    programacion.programacion = u"otra.json"_s;
    QTest::newRow("--programacion con su archivo") << QStringList{u"--programacion"_s, u"otra.json"_s}
                                                   << programacion;

    QTest::newRow("--help") << QStringList{u"--help"_s} << ConAccion(ArgumentosDeEnvio(), Accion::Ayuda);
    QTest::newRow("-h gana a un error") << QStringList{u"--desconocida"_s, u"-h"_s}
                                        << ConAccion(ArgumentosDeEnvio(), Accion::Ayuda);
    QTest::newRow("--help tras -- es un archivo") << QStringList{u"--"_s, u"--help"_s} << Archivo(u"--help"_s);
}

void PruebaArgumentosDeEnvio::validos()
{
    QFETCH(QStringList, linea);
    QFETCH(ArgumentosDeEnvio, esperado);

    QString error;
    const std::optional<ArgumentosDeEnvio> argumentos = InterpretarArgumentos(linea, &error);
    QVERIFY2(argumentos.has_value(), qPrintable(error));
    QCOMPARE(static_cast<int>(argumentos->accion), static_cast<int>(esperado.accion));
    QCOMPARE(argumentos->archivo, esperado.archivo);
    QCOMPARE(argumentos->texto, esperado.texto);
    QCOMPARE(argumentos->nombres, esperado.nombres);
    QCOMPARE(argumentos->global, esperado.global);
    QCOMPARE(argumentos->puerto, esperado.puerto);
    QCOMPARE(argumentos->velocidad, esperado.velocidad);
    QCOMPARE(argumentos->fecha, esperado.fecha);
    QCOMPARE(argumentos->hora, esperado.hora);
    QCOMPARE(argumentos->programacion, esperado.programacion);
    QVERIFY(*argumentos == esperado);
}

void PruebaArgumentosDeEnvio::invalidos_data()
{
    QTest::addColumn<QStringList>("linea");
    QTest::addColumn<QString>("enElMensaje");

    QTest::newRow("nada") << QStringList() << u"Falta qué enviar"_s;
    QTest::newRow("solo destinos") << QStringList{u"--a"_s, u"Hall"_s} << u"Falta qué enviar"_s;
    QTest::newRow("dos archivos") << QStringList{u"a.txt"_s, u"b.txt"_s} << u"«b.txt»"_s;
    QTest::newRow("archivo y texto") << QStringList{u"a.txt"_s, u"--texto"_s, u"x"_s} << u"--texto"_s;
    QTest::newRow("texto dos veces") << QStringList{u"--texto"_s, u"x"_s, u"--texto=y"_s} << u"dos veces"_s;
    QTest::newRow("--texto sin valor") << QStringList{u"--texto"_s} << u"Falta el valor de --texto"_s;
    QTest::newRow("--a sin valor") << QStringList{u"a.txt"_s, u"--a"_s} << u"Falta el valor de --a"_s;
    QTest::newRow("--a vacío") << QStringList{u"a.txt"_s, u"--a="_s} << u"nombre de un cartel"_s;
    QTest::newRow("--a en blanco") << QStringList{u"a.txt"_s, u"--a"_s, u"  "_s} << u"nombre de un cartel"_s;
    QTest::newRow("--a y --global") << QStringList{u"a.txt"_s, u"--a"_s, u"Hall"_s, u"--global"_s}
                                    << u"se excluyen"_s;
    QTest::newRow("--global con valor") << QStringList{u"a.txt"_s, u"--global=si"_s} << u"no lleva valor"_s;
    QTest::newRow("--global dos veces") << QStringList{u"a.txt"_s, u"--global"_s, u"--global"_s}
                                        << u"dos veces"_s;
    QTest::newRow("puerto 0") << QStringList{u"a.txt"_s, u"--puerto"_s, u"0"_s} << u"«0»"_s;
    QTest::newRow("puerto 7") << QStringList{u"a.txt"_s, u"--puerto=7"_s} << u"«7»"_s;
    QTest::newRow("puerto com1") << QStringList{u"a.txt"_s, u"--puerto"_s, u"com1"_s} << u"«com1»"_s;
    QTest::newRow("puerto tcp sin puerto TCP") << QStringList{u"a.txt"_s, u"--puerto"_s, u"tcp:equipo"_s}
                                               << u"«tcp:equipo»"_s;
    QTest::newRow("puerto tcp y com") << QStringList{u"a.txt"_s, u"--puerto=tcp:a:1"_s, u"--puerto=2"_s}
                                      << u"dos veces"_s;
    QTest::newRow("puerto dos veces") << QStringList{u"a.txt"_s, u"--puerto=1"_s, u"--puerto=2"_s}
                                      << u"dos veces"_s;
    QTest::newRow("velocidad 4800") << QStringList{u"a.txt"_s, u"--velocidad"_s, u"4800"_s} << u"«4800»"_s;
    QTest::newRow("velocidad con ajustes") << QStringList{u"a.txt"_s, u"--velocidad=9600,N,8,1"_s}
                                           << u"«9600,N,8,1»"_s;
    QTest::newRow("opción desconocida") << QStringList{u"a.txt"_s, u"--ahora"_s} << u"--ahora"_s;
    QTest::newRow("opción corta desconocida") << QStringList{u"-a"_s, u"Hall"_s} << u"-a"_s;
    QTest::newRow("--direcciones con texto") << QStringList{u"--direcciones"_s, u"--texto"_s, u"x"_s}
                                             << u"--direcciones"_s;
    QTest::newRow("--direcciones con archivo") << QStringList{u"--direcciones"_s, u"a.txt"_s}
                                               << u"--direcciones"_s;
    QTest::newRow("--direcciones con --a") << QStringList{u"--direcciones"_s, u"--a"_s, u"Hall"_s}
                                           << u"--direcciones"_s;
    QTest::newRow("--direcciones con --longitud") << QStringList{u"--direcciones"_s, u"--longitud"_s}
                                                  << u"--direcciones"_s;
    QTest::newRow("--que-muestra sin hora") << QStringList{u"--que-muestra"_s, u"2026-12-24"_s}
                                            << u"«2026-12-24»"_s;
    QTest::newRow("--que-muestra con un archivo") << QStringList{u"--que-muestra=2026-12-24 19:30"_s, u"a.txt"_s}
                                                  << u"--que-muestra va solo"_s;
    QTest::newRow("--programacion con un documento") << QStringList{u"a.txt"_s, u"--programacion"_s, u"p.json"_s}
                                                     << u"--programacion va solo"_s;
    QTest::newRow("--longitud sin texto") << QStringList{u"--longitud"_s} << u"Falta qué enviar"_s;
    QTest::newRow("--longitud con destinos") << QStringList{u"--longitud"_s, u"a.txt"_s, u"--global"_s}
                                             << u"--longitud"_s;
    QTest::newRow("--longitud con puerto") << QStringList{u"--longitud"_s, u"a.txt"_s, u"--puerto=2"_s}
                                           << u"--longitud"_s;
}

void PruebaArgumentosDeEnvio::invalidos()
{
    QFETCH(QStringList, linea);
    QFETCH(QString, enElMensaje);

    QString error;
    const std::optional<ArgumentosDeEnvio> argumentos = InterpretarArgumentos(linea, &error);
    QVERIFY(!argumentos.has_value());
    QVERIFY2(error.contains(enElMensaje), qPrintable(error));
}

void PruebaArgumentosDeEnvio::laAyudaNombraCadaEstadoDeSalida()
{
    const QString ayuda = TextoDeAyuda();
    const QList<CodigoDeSalida> codigos{CodigoDeSalida::Exito,
                                        CodigoDeSalida::ArgumentosInvalidos,
                                        CodigoDeSalida::ArchivoIlegible,
                                        CodigoDeSalida::CartelesDesconocidos,
                                        CodigoDeSalida::FallaDeLinea,
                                        CodigoDeSalida::NadaQueEnviar};
    for (CodigoDeSalida codigo : codigos)
        QVERIFY2(ayuda.contains(u"\n  %1  "_s.arg(Numero(codigo))), qPrintable(QString::number(Numero(codigo))));
    for (const QString &opcion : {u"--texto"_s, u"--a NOMBRE"_s, u"--global"_s, u"--direcciones"_s, u"--longitud"_s,
                                  u"--puerto N"_s, u"--velocidad"_s, u"--que-muestra"_s, u"--programacion"_s})
        QVERIFY2(ayuda.contains(opcion), qPrintable(opcion));
    QVERIFY(ayuda.contains(u"ComN (1 a 6)"_s));
    QVERIFY(!ayuda.contains(u'%'));
}

QTEST_GUILESS_MAIN(PruebaArgumentosDeEnvio)
#include "prueba_argumentosdeenvio.moc"
