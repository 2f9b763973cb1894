#include "apoyo/puertofalso.h"
#include "controles.h"
#include "documents/documento.h"
#include "encoding/codificador.h"
#include "escenario.h"
#include "link/trama.h"
#include "ui/editordeentrada.h"
#include "ui/ventanadeprogramacion.h"
#include "ui/modeloprogramacion.h"
#include "ui/principal.h"

#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

// "Programación de Envíos" as the operator uses it: an entry added through
// the window is in the file at once, goes out and shows under "Ahora".
class PruebaFrmProgramacion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QVERIFY(NingunaVentanaAbierta()); }
    void unaEntradaAgregadaSeGuardaYSeMuestra();
};

void PruebaFrmProgramacion::unaEntradaAgregadaSeGuardaYSeMuestra()
{
    Escenario escenario;
    QVERIFY(escenario.Valido());
    escenario.EscribirConfiguracion({u"interfase com2,2400,N,8,1"_s, u"cartel R560, Hall, 5"_s,
                                     u"cartel R560, Caja, 7"_s});
    QVERIFY(!EscribirDocumento(escenario.Ruta(u"base.txt"_s), u"Abierto"_s, u"Global"_s));
    Principal &principal = escenario.Iniciar();
    principal.show();
    const QList<QAction *> menusPrincipales = principal.menuBar()->actions();
    escenario.NuevoTexto();
    QVERIFY(principal.menuBar()->actions() != menusPrincipales);
    principal.AbrirProgramacion();
    QMdiSubWindow *subventana = principal.SubventanaDeProgramacion();
    QVERIFY(subventana);
    auto *ventana = qobject_cast<VentanaDeProgramacion *>(subventana->widget());
    QVERIFY(ventana);
    // It has no menus of its own: the main window's show, not the editor's.
    QCOMPARE(principal.menuBar()->actions(), menusPrincipales);

    Pulsar(ventana, u"agregar"_s);
    auto *editor = ventana->findChild<EditorDeEntrada *>(u"EditorDeEntrada"_s);
    QVERIFY(editor);
    Control<QLineEdit>(editor, u"archivo"_s)->setText(u"base.txt"_s);
    Pulsar(editor, u"aceptar"_s);

    QVERIFY(escenario.LeerArchivo(u"programacion.json"_s).contains("\"archivo\": \"base.txt\""));
    QCOMPARE(ventana->Tabla().model()->rowCount(), 1);
    QCOMPARE(ventana->Tabla().model()->index(0, 6).data().toString(), u"Global"_s);
    QTRY_COMPARE(escenario.puerto().Escrito(), ArmarTrama(CodificarTexto(u"Abierto"_s), 0));
    auto *ahora = Control<QTreeWidget>(ventana, u"arbolAhora"_s);
    QCOMPARE(ahora->topLevelItemCount(), 2);
    QCOMPARE(ahora->topLevelItem(1)->text(0), u"Caja"_s);
    QTRY_COMPARE(ahora->topLevelItem(1)->text(1), u"base.txt"_s);
    QVERIFY2(principal.TextoDeEstado().contains(u"Programación: 2 carteles"_s), qPrintable(principal.TextoDeEstado()));
    // A range open at one end still reads whole.
    EntradaDeProgramacion conFecha = ventana->Modelo().Entrada(0);
    conFecha.desdeFecha = QDate(2026, 12, 1);
    QVERIFY(!ventana->Modelo().Reemplazar(0, conFecha));
    QCOMPARE(ventana->Tabla().model()->index(0, ModeloProgramacion::ColFechas).data().toString(),
             u"desde 2026-12-01"_s);
    QVERIFY(principal.close());
}

QTEST_MAIN(PruebaFrmProgramacion)
#include "prueba_ventanadeprogramacion.moc"
