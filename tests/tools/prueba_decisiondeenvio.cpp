#include "decisiondeenvio.h"

#include "link/trama.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Direcciones = QList<quint8>;

namespace {

const QStringList Tres{u"R560, Hall, 5"_s, u"R560, Andén 2, Desconocida"_s, u"R560, Patio, 12"_s};

// The frame written out by hand, apart from the code under test.
QByteArray TramaEsperada(const QByteArray &mensaje, quint8 direccion)
{
    QByteArray trama = direccion == 0 ? QByteArray("\xC9") : QByteArray("\xCA") + char(direccion);
    return trama + "222222 " + mensaje + "\xC8";
}

ArgumentosDeEnvio Interpretar(const QStringList &linea)
{
    QString error;
    const std::optional<ArgumentosDeEnvio> argumentos = InterpretarArgumentos(linea, &error);
    if (!argumentos)
        qFatal("línea de prueba inválida: %s", qPrintable(error));
    return *argumentos;
}

} // namespace

class PruebaDecisionDeEnvio : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void plan_data();
    void plan();
    void direccionesNoDependenDelRegistro();
    void textoDemasiadoLargoNoSeEnvia();
};

void PruebaDecisionDeEnvio::plan_data()
{
    QTest::addColumn<QStringList>("linea");
    QTest::addColumn<QString>("textoDelDocumento");
    QTest::addColumn<QString>("propiedades");
    QTest::addColumn<QStringList>("registro");
    QTest::addColumn<int>("codigo");
    QTest::addColumn<QByteArray>("mensaje");
    QTest::addColumn<Direcciones>("direcciones");
    QTest::addColumn<QStringList>("enAvisos");
    QTest::addColumn<QString>("enMotivo");

    const QStringList archivo{u"hoy.txt"_s};
    const int exito = Numero(CodigoDeSalida::Exito);
    const int desconocidos = Numero(CodigoDeSalida::CartelesDesconocidos);
    const int nada = Numero(CodigoDeSalida::NadaQueEnviar);

    QTest::newRow("documento Global") << archivo << u"HOLA"_s << u"Global\r\n"_s << Tres << exito
                                      << QByteArray("HOLA") << Direcciones{0} << QStringList() << QString();
    QTest::newRow("documento a dos, en orden del registro")
        << archivo << u"A\r\nB"_s << u"Dirs:  Patio; Hall"_s << Tres << exito << QByteArray("A  B")
        << Direcciones{5, 12} << QStringList() << QString();
    QTest::newRow("documento a un cartel Desconocida: a todos")
        << archivo << u"HOLA"_s << u"Dirs:  Andén 2"_s << Tres << exito << QByteArray("HOLA") << Direcciones{0}
        << QStringList() << QString();
    QTest::newRow("documento con un nombre que ya no está: aviso")
        << archivo << u"HOLA"_s << u"Dirs:  Hall; Kiosco"_s << Tres << exito << QByteArray("HOLA")
        << Direcciones{5} << QStringList{u"«Kiosco»"_s} << QString();
    QTest::newRow("documento a un cartel cuyo nombre lleva ;: sin aviso")
        << archivo << u"HOLA"_s << u"Dirs:  Planta 1;Hall"_s
        << QStringList{u"R560, Planta 1;Hall, 5"_s, u"R560, Patio, 12"_s} << exito << QByteArray("HOLA")
        << Direcciones{5} << QStringList() << QString();
    QTest::newRow("nombre con ; y uno que ya no está: solo ese en el aviso")
        << archivo << u"HOLA"_s << u"Dirs:  Planta 1;Hall; Kiosco"_s
        << QStringList{u"R560, Planta 1;Hall, 5"_s, u"R560, Patio, 12"_s} << exito << QByteArray("HOLA")
        << Direcciones{5} << QStringList{u"carteles «Kiosco» de este texto"_s} << QString();
    QTest::newRow("documento sin ningún nombre conocido")
        << archivo << u"HOLA"_s << u"Dirs:  Kiosco; Bar"_s << Tres << desconocidos << QByteArray()
        << Direcciones() << QStringList() << u"«Kiosco», «Bar»"_s;
    QTest::newRow("documento con Dirs: solo") << archivo << u"HOLA"_s << u"Dirs: "_s << Tres << nada
                                              << QByteArray() << Direcciones() << QStringList()
                                              << u"no tiene destinos"_s;
    QTest::newRow("documento sin configuración de carteles: nada")
        << archivo << u"HOLA"_s << u"Dirs:  Hall"_s << QStringList() << desconocidos << QByteArray()
        << Direcciones() << QStringList() << u"no tiene carteles"_s;
    // A destination line that is almost right was read as every sign.
    QTest::newRow("DIRS: en mayúsculas: nada")
        << archivo << u"HOLA"_s << u"DIRS:  Hall"_s << Tres << desconocidos << QByteArray() << Direcciones()
        << QStringList() << u"«DIRS:  Hall»"_s;
    QTest::newRow("línea que no se entiende, con --a: a ese")
        << QStringList{u"hoy.txt"_s, u"--a"_s, u"Patio"_s} << u"HOLA"_s << u"Dirs:Hall"_s << Tres << exito
        << QByteArray("HOLA") << Direcciones{12} << QStringList() << QString();
    QTest::newRow("--global reemplaza los destinos del documento")
        << QStringList{u"hoy.txt"_s, u"--global"_s} << u"HOLA"_s << u"Dirs:  Hall"_s << Tres << exito
        << QByteArray("HOLA") << Direcciones{0} << QStringList() << QString();
    QTest::newRow("--a reemplaza los destinos del documento")
        << QStringList{u"hoy.txt"_s, u"--a"_s, u"Patio"_s} << u"HOLA"_s << u"Dirs:  Hall"_s << Tres << exito
        << QByteArray("HOLA") << Direcciones{12} << QStringList() << QString();

    QTest::newRow("--texto sin destinos: a todos")
        << QStringList{u"--texto"_s, u"HOLA"_s} << QString() << QString() << Tres << exito << QByteArray("HOLA")
        << Direcciones{0} << QStringList() << QString();
    QTest::newRow("--texto con LF sueltos: CR LF como en el editor")
        << QStringList{u"--texto"_s, u"A\nB\rC"_s} << QString() << QString() << Tres << exito
        << QByteArray("A  B  C") << Direcciones{0} << QStringList() << QString();
    QTest::newRow("--texto con separadores de línea: saltos, como en el editor")
        << QStringList{u"--texto"_s, u"A\u2028B\u2029C"_s} << QString() << QString() << Tres << exito
        << QByteArray("A  B  C") << Direcciones{0} << QStringList() << QString();
    QTest::newRow("--texto vacío: la trama sola")
        << QStringList{u"--texto"_s, QString()} << QString() << QString() << Tres << exito << QByteArray()
        << Direcciones{0} << QStringList() << QString();
    QTest::newRow("--a en orden del registro, no de la línea")
        << QStringList{u"--texto"_s, u"HOLA"_s, u"--a"_s, u"Patio"_s, u"--a"_s, u"Hall"_s} << QString()
        << QString() << Tres << exito << QByteArray("HOLA") << Direcciones{5, 12} << QStringList() << QString();
    QTest::newRow("--a sin blancos alrededor")
        << QStringList{u"--texto"_s, u"HOLA"_s, u"--a"_s, u" Andén 2 "_s} << QString() << QString() << Tres
        << exito << QByteArray("HOLA") << Direcciones{0} << QStringList() << QString();
    QTest::newRow("--a repetido cuenta una vez")
        << QStringList{u"--texto"_s, u"HOLA"_s, u"--a"_s, u"Hall"_s, u"--a"_s, u"Hall"_s} << QString()
        << QString() << Tres << exito << QByteArray("HOLA") << Direcciones{5} << QStringList() << QString();
    QTest::newRow("--a con nombre compartido: ninguno")
        << QStringList{u"--texto"_s, u"HOLA"_s, u"--a"_s, u"Hall"_s} << QString() << QString()
        << QStringList{u"R560, Hall, 3"_s, u"R560, Patio, 4"_s, u"R560, Hall, 9"_s} << nada << QByteArray()
        << Direcciones() << QStringList() << u"Varios carteles se llaman «Hall»"_s;
    QTest::newRow("documento a un nombre que es la cola de otro: solo ese")
        << archivo << u"HOLA"_s << u"Dirs:  Puerta Norte"_s
        << QStringList{u"R560, Norte, 5"_s, u"R560, Puerta Norte, 6"_s} << exito << QByteArray("HOLA")
        << Direcciones{6} << QStringList() << QString();
    QTest::newRow("--a distingue mayúsculas")
        << QStringList{u"--texto"_s, u"HOLA"_s, u"--a"_s, u"hall"_s} << QString() << QString() << Tres
        << desconocidos << QByteArray() << Direcciones() << QStringList() << u"«hall»"_s;
    QTest::newRow("--a desconocido: nada, aunque otro sí esté")
        << QStringList{u"--texto"_s, u"HOLA"_s, u"--a"_s, u"Hall"_s, u"--a"_s, u"Kiosco"_s, u"--a"_s, u"Bar"_s}
        << QString() << QString() << Tres << desconocidos << QByteArray() << Direcciones() << QStringList()
        << u"«Kiosco», «Bar»"_s;
    QTest::newRow("--a desconocido nombra los conocidos")
        << QStringList{u"--texto"_s, u"HOLA"_s, u"--a"_s, u"Kiosco"_s} << QString() << QString() << Tres
        << desconocidos << QByteArray() << Direcciones() << QStringList() << u"«Hall», «Andén 2», «Patio»"_s;
    QTest::newRow("--a con un solo cartel registrado: a todos, como el programa")
        << QStringList{u"--texto"_s, u"HOLA"_s, u"--a"_s, u"Hall"_s} << QString() << QString()
        << QStringList{u"R560, Hall, 5"_s} << exito << QByteArray("HOLA") << Direcciones{0} << QStringList()
        << QString();
    QTest::newRow("dirección fuera de rango: aviso, y los demás sí")
        << QStringList{u"--texto"_s, u"HOLA"_s, u"--a"_s, u"Hall"_s, u"--a"_s, u"Patio"_s} << QString()
        << QString() << QStringList{u"R560, Hall, 256"_s, u"R560, Patio, 200"_s} << exito << QByteArray("HOLA")
        << Direcciones{200} << QStringList{u"«R560, Hall, 256»"_s} << QString();
    QTest::newRow("ninguna dirección válida: nada")
        << QStringList{u"--texto"_s, u"HOLA"_s, u"--a"_s, u"Hall"_s} << QString() << QString()
        << QStringList{u"R560, Hall, 256"_s, u"R560, Patio, 4"_s} << nada << QByteArray() << Direcciones()
        << QStringList() << u"«R560, Hall, 256» No se envió nada"_s;
}

void PruebaDecisionDeEnvio::plan()
{
    QFETCH(QStringList, linea);
    QFETCH(QString, textoDelDocumento);
    QFETCH(QString, propiedades);
    QFETCH(QStringList, registro);
    QFETCH(int, codigo);
    QFETCH(QByteArray, mensaje);
    QFETCH(Direcciones, direcciones);
    QFETCH(QStringList, enAvisos);
    QFETCH(QString, enMotivo);

    const ArgumentosDeEnvio argumentos = Interpretar(linea);
    const QString texto = argumentos.texto ? *argumentos.texto : textoDelDocumento;
    const DecisionDeEnvio decision = DecidirEnvio(argumentos, texto, propiedades, RegistroDeCarteles::DeRegistros(registro));
    const PlanDeEnvio &plan = decision.plan;

    QCOMPARE(Numero(decision.codigo), codigo);
    QVERIFY2(decision.motivo.contains(enMotivo), qPrintable(decision.motivo));
    QCOMPARE(decision.motivo.isEmpty(), codigo == Numero(CodigoDeSalida::Exito));
    QList<QByteArray> esperadas;
    for (quint8 direccion : std::as_const(direcciones))
        esperadas.append(TramaEsperada(mensaje, direccion));
    QCOMPARE(plan.cadenas, esperadas);
    QCOMPARE(plan.avisos.size(), enAvisos.size());
    for (qsizetype i = 0; i < enAvisos.size(); ++i)
        QVERIFY2(plan.avisos.at(i).contains(enAvisos.at(i)), qPrintable(plan.avisos.at(i)));
}

void PruebaDecisionDeEnvio::direccionesNoDependenDelRegistro()
{
    for (const QStringList &lineas : {QStringList(), Tres}) {
        const DecisionDeEnvio decision =
            DecidirEnvio(Interpretar({u"--direcciones"_s}), QString(), QString(), RegistroDeCarteles::DeRegistros(lineas));
        const PlanDeEnvio &plan = decision.plan;
        QCOMPARE(decision.codigo, CodigoDeSalida::Exito);
        QCOMPARE(plan.cadenas.size(), 1);
        QCOMPARE(plan.cadenas.first().size(), 1304);
        QVERIFY(plan.cadenas.first().startsWith(QByteArray("\xCA\x00" "222222  0\xC8", 12)));
        QVERIFY(plan.cadenas.first().endsWith(QByteArray("\xCA\x64" "222222  100\xC8")));
    }
}

void PruebaDecisionDeEnvio::textoDemasiadoLargoNoSeEnvia()
{
    // 16,383 line breaks are 32,766 characters once each is CR LF: the
    // longest text a sign takes. One character more is refused, whatever
    // breaks the shell gave.
    const QString limite(16383, u'\n');
    const DecisionDeEnvio justo = DecidirEnvio(Interpretar({u"--texto"_s, limite}), limite, QString(), RegistroDeCarteles::DeRegistros(Tres));
    QCOMPARE(justo.codigo, CodigoDeSalida::Exito);
    QCOMPARE(justo.plan.cadenas.size(), 1);

    const QString largo = limite + u'x';
    const DecisionDeEnvio plan = DecidirEnvio(Interpretar({u"--texto"_s, largo}), largo, QString(), RegistroDeCarteles::DeRegistros(Tres));
    QCOMPARE(plan.codigo, CodigoDeSalida::NadaQueEnviar);
    QVERIFY(plan.plan.cadenas.isEmpty());
    QVERIFY2(plan.motivo.contains(u"32767 caracteres"_s), qPrintable(plan.motivo));
}

QTEST_GUILESS_MAIN(PruebaDecisionDeEnvio)
#include "prueba_decisiondeenvio.moc"
