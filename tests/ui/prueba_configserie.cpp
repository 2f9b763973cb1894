#include "apoyo/puertofalso.h"
#include "controles.h"
#include "platform/cuadrodemensaje.h"
#include "ui/configserie.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The in-memory port, made to refuse chosen port numbers and settings as
// well, each refusal with its own description, and to remember what it was
// asked to take.
class PuertoDePrueba : public PuertoFalso
{
public:
    QSet<int> numerosRechazados;
    QSet<QString> ajustesRechazados;
    QList<int> numerosPedidos;
    QStringList ajustesPedidos;

    bool PonerNumero(int n) override
    {
        numerosPedidos.append(n);
        if (numerosRechazados.contains(n)) {
            m_error = u"No se puede usar el puerto %1"_s.arg(n);
            return false;
        }
        m_error.clear();
        return PuertoFalso::PonerNumero(n);
    }
    bool PonerAjustes(const QString &a) override
    {
        ajustesPedidos.append(a);
        if (ajustesRechazados.contains(a)) {
            m_error = u"Ajustes no válidos: "_s + a;
            return false;
        }
        m_error.clear();
        return PuertoFalso::PonerAjustes(a);
    }
    QString DescripcionError() const override { return m_error.isEmpty() ? PuertoFalso::DescripcionError() : m_error; }

private:
    QString m_error;
};

QRadioButton *Boton(QWidget *ventana, const QString &nombre)
{
    return Control<QRadioButton>(ventana, nombre);
}

QStringList Marcados(QWidget *ventana, const QString &prefijo, int cantidad)
{
    QStringList marcados;
    for (int i = 0; i < cantidad; ++i) {
        const QString nombre = prefijo + QString::number(i);
        if (Boton(ventana, nombre)->isChecked())
            marcados.append(nombre);
    }
    return marcados;
}

} // namespace

class PruebaConfigSerie : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void Apertura_data();
    void Apertura();
    void Aplicar_data();
    void Aplicar();
    void Rechazos_data();
    void Rechazos();
    void VelocidadDesconocida();
    void DescripcionDePuertos();
    void Teclado();

private:
    PuertoDePrueba *m_puerto = nullptr;
    QPointer<ConfigSerie> m_dialogo;
    ConfigSerie *Abrir(int numero, const QString &ajustes);
};

void PruebaConfigSerie::initTestCase()
{
    CuadroDeMensaje::ResponderCon();
}

ConfigSerie *PruebaConfigSerie::Abrir(int numero, const QString &ajustes)
{
    m_puerto = new PuertoDePrueba;
    if (!m_puerto->PuertoFalso::PonerNumero(numero) || !m_puerto->PuertoFalso::PonerAjustes(ajustes))
        qFatal("el puerto de prueba no admite %d y %s", numero, qPrintable(ajustes));
    m_dialogo = new ConfigSerie({numero, {}, ajustes});
    // Applied as the main window applies a choice to its line.
    connect(m_dialogo, &ConfigSerie::Elegida, m_dialogo, [this] {
        const LineaElegida eleccion = m_dialogo->Eleccion();
        m_dialogo->Responder(AplicarAjustesDeLinea(*m_puerto, eleccion.numero, eleccion.ajustes));
    });
    m_dialogo->show();
    return m_dialogo;
}

void PruebaConfigSerie::cleanup()
{
    delete m_dialogo;
    delete m_puerto;
    m_puerto = nullptr;
    CuadroDeMensaje::OlvidarMostrados();
    QVERIFY(NingunaVentanaAbierta());
}

void PruebaConfigSerie::Apertura_data()
{
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("ajustes");
    QTest::addColumn<QStringList>("puertoMarcado");
    QTest::addColumn<QStringList>("velocidadMarcada");

    QTest::newRow("com2 a 2400") << 2 << u"2400,N,8,1"_s << QStringList{u"puerto1"_s} << QStringList{u"velocidad0"_s};
    QTest::newRow("com6 a 9600") << 6 << u"9600,N,8,1"_s << QStringList{u"puerto5"_s} << QStringList{u"velocidad1"_s};
    QTest::newRow("com1, otra velocidad") << 1 << u"4800,N,8,1"_s << QStringList{u"puerto0"_s} << QStringList{};
    QTest::newRow("com4 a 2400, otros bits") << 4 << u"2400,E,7,2"_s << QStringList{u"puerto3"_s}
                                             << QStringList{u"velocidad0"_s};
}

// Opening shows the serial control's values and nothing else.
void PruebaConfigSerie::Apertura()
{
    QFETCH(int, numero);
    QFETCH(QString, ajustes);
    QFETCH(QStringList, puertoMarcado);
    QFETCH(QStringList, velocidadMarcada);

    ConfigSerie *d = Abrir(numero, ajustes);
    QCOMPARE(d->windowTitle(), u"Interfase Serie"_s);
    QCOMPARE(Marcados(d, u"puerto"_s, 6), puertoMarcado);
    QCOMPARE(Marcados(d, u"velocidad"_s, 2), velocidadMarcada);
    // Opening applies nothing.
    QVERIFY(m_puerto->numerosPedidos.isEmpty());
    QVERIFY(m_puerto->ajustesPedidos.isEmpty());
}

void PruebaConfigSerie::Aplicar_data()
{
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("ajustes");
    QTest::addColumn<QStringList>("clics");
    QTest::addColumn<QList<int>>("numerosPedidos");
    QTest::addColumn<QStringList>("ajustesPedidos");

    const QString a2400 = u"2400,N,8,1"_s;
    QTest::newRow("O.K. enseguida") << 2 << a2400 << QStringList{u"Aceptar"_s} << QList<int>{} << QStringList{a2400};
    QTest::newRow("com6 y 9600") << 2 << a2400 << QStringList{u"puerto5"_s, u"velocidad1"_s, u"Aceptar"_s}
                                 << QList<int>{6} << QStringList{u"9600,N,8,1"_s};
    QTest::newRow("vuelta al puerto de antes")
        << 4 << u"9600,N,8,1"_s << QStringList{u"puerto0"_s, u"puerto3"_s, u"velocidad0"_s, u"Aceptar"_s}
        << QList<int>{} << QStringList{a2400};
    QTest::newRow("Cancelar tras cambiar") << 2 << a2400
                                           << QStringList{u"puerto5"_s, u"velocidad1"_s, u"Cancelar"_s}
                                           << QList<int>{} << QStringList{};
    QTest::newRow("casilla de cierre") << 2 << a2400 << QStringList{u"puerto5"_s, u"velocidad1"_s, u"#cerrar"_s}
                                       << QList<int>{} << QStringList{};
    QTest::newRow("Escape") << 2 << a2400 << QStringList{u"puerto3"_s, u"#escape"_s} << QList<int>{}
                            << QStringList{};
}

// Every way of closing asks for exactly one save; only O.K. applies.
void PruebaConfigSerie::Aplicar()
{
    QFETCH(int, numero);
    QFETCH(QString, ajustes);
    QFETCH(QStringList, clics);
    QFETCH(QList<int>, numerosPedidos);
    QFETCH(QStringList, ajustesPedidos);

    ConfigSerie *d = Abrir(numero, ajustes);
    QSignalSpy guardados(d, &QDialog::finished);
    for (const QString &clic : clics) {
        if (clic == u"#cerrar"_s)
            d->close();
        else if (clic == u"#escape"_s)
            QTest::keyClick(d, Qt::Key_Escape);
        else
            Pulsar(d, clic);
    }

    QCOMPARE(m_puerto->numerosPedidos, numerosPedidos);
    QCOMPARE(m_puerto->ajustesPedidos, ajustesPedidos);
    // The port takes whatever it is asked.
    QCOMPARE(m_puerto->Numero(), numerosPedidos.isEmpty() ? numero : numerosPedidos.last());
    QCOMPARE(m_puerto->Ajustes(), ajustesPedidos.isEmpty() ? ajustes : ajustesPedidos.last());
    QVERIFY(CuadroDeMensaje::Mostrados().isEmpty());
    QCOMPARE(guardados.count(), 1);
    // Closed and gone: the next opening starts from the serial control again.
    QTRY_VERIFY(m_dialogo.isNull());
    QCOMPARE(guardados.count(), 1);
}

void PruebaConfigSerie::Rechazos_data()
{
    QTest::addColumn<QList<int>>("numerosRechazados");
    QTest::addColumn<QStringList>("ajustesRechazados");
    QTest::addColumn<int>("numeroFinal");
    QTest::addColumn<QString>("ajustesFinales");
    QTest::addColumn<QStringList>("mensajes");

    QTest::newRow("puerto rechazado, velocidad aceptada")
        << QList<int>{5} << QStringList{} << 2 << u"9600,N,8,1"_s
        << QStringList{u"No se puede usar el puerto 5"_s};
    QTest::newRow("puerto aceptado, velocidad rechazada")
        << QList<int>{} << QStringList{u"9600,N,8,1"_s} << 5 << u"2400,N,8,1"_s
        << QStringList{u"Ajustes no válidos: 9600,N,8,1"_s};
    QTest::newRow("ambos rechazados")
        << QList<int>{5} << QStringList{u"9600,N,8,1"_s} << 2 << u"2400,N,8,1"_s
        << QStringList{u"No se puede usar el puerto 5"_s, u"Ajustes no válidos: 9600,N,8,1"_s};
}

// A refusal is reported once, in the serial control's words, and the dialog
// stays open with the choice still selected so it can be corrected.
void PruebaConfigSerie::Rechazos()
{
    QFETCH(QList<int>, numerosRechazados);
    QFETCH(QStringList, ajustesRechazados);
    QFETCH(int, numeroFinal);
    QFETCH(QString, ajustesFinales);
    QFETCH(QStringList, mensajes);

    ConfigSerie *d = Abrir(2, u"2400,N,8,1"_s);
    m_puerto->numerosRechazados = QSet<int>(numerosRechazados.cbegin(), numerosRechazados.cend());
    m_puerto->ajustesRechazados = QSet<QString>(ajustesRechazados.cbegin(), ajustesRechazados.cend());
    QSignalSpy guardados(d, &QDialog::finished);

    Pulsar(d, u"puerto4"_s);
    Pulsar(d, u"velocidad1"_s);
    Pulsar(d, u"Aceptar"_s);

    QCOMPARE(m_puerto->Numero(), numeroFinal);
    QCOMPARE(m_puerto->Ajustes(), ajustesFinales);
    const auto mostrados = CuadroDeMensaje::Mostrados();
    QStringList textos;
    for (const auto &m : mostrados) {
        textos.append(m.texto);
        QCOMPARE(m.icono, QMessageBox::Warning);
        QCOMPARE(m.titulo, CuadroDeMensaje::TituloPorDefecto());
        QCOMPARE(m.botones, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    QCOMPARE(textos, mensajes);
    QCOMPARE(guardados.count(), 0);
    QTest::qWait(0);
    QVERIFY(!m_dialogo.isNull());
    QVERIFY(d->isVisible());
    QCOMPARE(Marcados(d, u"puerto"_s, 6), QStringList{u"puerto4"_s});
    QCOMPARE(Marcados(d, u"velocidad"_s, 2), QStringList{u"velocidad1"_s});

    // A second try with acceptable values goes through and closes.
    CuadroDeMensaje::OlvidarMostrados();
    Pulsar(d, u"puerto2"_s);
    Pulsar(d, u"velocidad0"_s);
    Pulsar(d, u"Aceptar"_s);
    QCOMPARE(m_puerto->Numero(), 3);
    QCOMPARE(m_puerto->Ajustes(), u"2400,N,8,1"_s);
    QVERIFY(CuadroDeMensaje::Mostrados().isEmpty());
    QCOMPARE(guardados.count(), 1);
    QTRY_VERIFY(m_dialogo.isNull());
}

// Opened at a speed it does not offer, the dialog has no speed to apply:
// O.K. at once is refused by the port itself, which keeps its settings.
void PruebaConfigSerie::VelocidadDesconocida()
{
    ConfigSerie *d = Abrir(3, u"4800,N,8,1"_s);
    QSignalSpy guardados(d, &QDialog::finished);
    Pulsar(d, u"Aceptar"_s);

    QCOMPARE(m_puerto->ajustesPedidos, QStringList{u",N,8,1"_s});
    QCOMPARE(m_puerto->Ajustes(), u"4800,N,8,1"_s);
    QCOMPARE(m_puerto->Numero(), 3);
    const auto mostrados = CuadroDeMensaje::Mostrados();
    QCOMPARE(mostrados.size(), 1);
    QVERIFY(!mostrados.first().texto.isEmpty());
    QCOMPARE(mostrados.first().texto, m_puerto->DescripcionError());
    QCOMPARE(guardados.count(), 0);
    QTest::qWait(0);
    QVERIFY(d->isVisible());

    Pulsar(d, u"velocidad1"_s);
    Pulsar(d, u"Aceptar"_s);
    QCOMPARE(m_puerto->Ajustes(), u"9600,N,8,1"_s);
    QCOMPARE(CuadroDeMensaje::Mostrados().size(), 1);
    QCOMPARE(guardados.count(), 1);
    QTRY_VERIFY(m_dialogo.isNull());
}

// Each port button tells which device it stands for on this computer, as
// found when the dialog (re)loads: a comN link in the working directory wins.
void PruebaConfigSerie::DescripcionDePuertos()
{
    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    const QString anterior = QDir::currentPath();
    QVERIFY(QDir::setCurrent(carpeta.path()));
    const auto volver = qScopeGuard([&] { QDir::setCurrent(anterior); });

    QVERIFY(QFile::link(u"/dev/null"_s, u"com3"_s));
    QVERIFY(QFile::link(carpeta.filePath(u"desenchufado"_s), u"com4"_s));

    ConfigSerie *d = Abrir(1, u"9600,N,8,1"_s);
    const QString com3 = Boton(d, u"puerto2"_s)->toolTip();
    QVERIFY2(com3.contains(u"/dev/null"_s) && !com3.contains(u"no existe"_s), qPrintable(com3));
    const QString com4 = Boton(d, u"puerto3"_s)->toolTip();
    QVERIFY2(com4.contains(u"desenchufado"_s) && com4.contains(u"no existe"_s), qPrintable(com4));
    QVERIFY(Boton(d, u"puerto0"_s)->toolTip().startsWith(u"Com1"_s));

    QVERIFY(QFile::remove(u"com3"_s));
    d->PonerValoresIniciales();
    QVERIFY(!Boton(d, u"puerto2"_s)->toolTip().contains(u"/dev/null"_s));
}

// Tab comes to the chosen port and goes on to the chosen speed, Backtab
// back to it; an arrow chooses another port, and Tab comes to that one.
void PruebaConfigSerie::Teclado()
{
    ConfigSerie *d = Abrir(2, u"9600,N,8,1"_s);
    d->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d));
    const auto tabDesde = [](QWidget *desde, Qt::Key tecla) {
        desde->setFocus(tecla == Qt::Key_Tab ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        QTest::keyClick(desde, tecla);
        return QApplication::focusWidget();
    };
    QWidget *cancelar = Control<QWidget>(d, u"Cancelar"_s);
    QWidget *primero = tabDesde(cancelar, Qt::Key_Tab);
    QVERIFY(primero);
    QCOMPARE(primero->objectName(), u"puerto1"_s);
    QCOMPARE(tabDesde(primero, Qt::Key_Tab)->objectName(), u"velocidad1"_s);
    QCOMPARE(tabDesde(Control<QWidget>(d, u"Direccion"_s), Qt::Key_Backtab)->objectName(), u"velocidad1"_s);

    primero->setFocus(Qt::TabFocusReason);
    QTest::keyClick(primero, Qt::Key_Right);
    QVERIFY(Boton(d, u"puerto3"_s)->isChecked());
    QCOMPARE(tabDesde(cancelar, Qt::Key_Tab)->objectName(), u"puerto3"_s);
}

QTEST_MAIN(PruebaConfigSerie)
#include "prueba_configserie.moc"
