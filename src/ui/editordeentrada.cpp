#include "editordeentrada.h"

#include "filtrosdearchivo.h"
#include "platform/dialogodearchivo.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

using namespace Qt::StringLiterals;

EditorDeEntrada::EditorDeEntrada(const EntradaDeProgramacion &entrada, QWidget *parent)
    : QDialog(parent), m_archivo(new QLineEdit(entrada.archivo, this)), m_desde(new QTimeEdit(entrada.desde, this)),
      m_conHasta(new QCheckBox(u"hasta"_s, this)), m_hasta(new QTimeEdit(entrada.hasta.value_or(QTime(0, 0)), this)),
      m_conFechas(new QCheckBox(u"solo del"_s, this)),
      m_desdeFecha(new QDateEdit(entrada.desdeFecha.value_or(QDate::currentDate()), this)),
      m_hastaFecha(new QDateEdit(entrada.hastaFecha.value_or(QDate::currentDate()), this)),
      m_activa(new QCheckBox(u"Activa"_s, this))
{
    setObjectName(u"EditorDeEntrada"_s);
    setWindowTitle(entrada.archivo.isEmpty() ? u"Agregar Una Entrada"_s : u"Editar La Entrada"_s);
    m_archivo->setObjectName(u"archivo"_s);
    m_desde->setObjectName(u"horaDesde"_s);
    m_hasta->setObjectName(u"horaHasta"_s);
    m_conHasta->setObjectName(u"conHasta"_s);
    m_conFechas->setObjectName(u"conFechas"_s);
    m_activa->setObjectName(u"activa"_s);
    for (QTimeEdit *hora : {m_desde, m_hasta})
        hora->setDisplayFormat(u"HH:mm"_s);
    for (QDateEdit *fecha : {m_desdeFecha, m_hastaFecha}) {
        fecha->setDisplayFormat(u"yyyy-MM-dd"_s);
        fecha->setCalendarPopup(true);
    }

    auto *elegir = new QPushButton(u"&Elegir..."_s, this);
    connect(elegir, &QPushButton::clicked, this, &EditorDeEntrada::ElegirArchivo);
    auto *filaArchivo = new QHBoxLayout;
    filaArchivo->addWidget(m_archivo, 1);
    filaArchivo->addWidget(elegir);

    // None marked is every day, as in the file.
    auto *filaDias = new QHBoxLayout;
    for (int dia = 1; dia <= 7; ++dia) {
        auto *casilla = new QCheckBox(NombreDeDia(dia), this);
        casilla->setObjectName(u"dia%1"_s.arg(dia));
        casilla->setChecked(entrada.dias & (1 << (dia - 1)));
        filaDias->addWidget(casilla);
        m_dias.append(casilla);
    }

    m_conHasta->setChecked(entrada.hasta.has_value());
    m_hasta->setEnabled(entrada.hasta.has_value());
    connect(m_conHasta, &QCheckBox::toggled, m_hasta, &QWidget::setEnabled);
    auto *filaHoras = new QHBoxLayout;
    filaHoras->addWidget(m_desde);
    filaHoras->addWidget(m_conHasta);
    filaHoras->addWidget(m_hasta);
    filaHoras->addStretch();

    const bool conFechas = entrada.desdeFecha || entrada.hastaFecha;
    m_conFechas->setChecked(conFechas);
    auto *filaFechas = new QHBoxLayout;
    filaFechas->addWidget(m_conFechas);
    filaFechas->addWidget(m_desdeFecha);
    filaFechas->addWidget(m_hastaFecha);
    filaFechas->addStretch();
    for (QDateEdit *fecha : {m_desdeFecha, m_hastaFecha}) {
        fecha->setEnabled(conFechas);
        connect(m_conFechas, &QCheckBox::toggled, fecha, &QWidget::setEnabled);
    }
    m_activa->setChecked(entrada.activa);

    auto *botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_aceptar = botones->button(QDialogButtonBox::Ok);
    m_aceptar->setObjectName(u"aceptar"_s);
    m_aceptar->setText(u"Aceptar"_s);
    botones->button(QDialogButtonBox::Cancel)->setText(u"Cancelar"_s);
    connect(botones, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_archivo, &QLineEdit::textChanged, this, &EditorDeEntrada::ActualizarAceptar);

    // A row of several fields gets no buddy from the form: each label is
    // tied here to the field it names, and the fields behind a check box
    // are named after it, for a screen reader to say.
    const auto etiqueta = [this](const QString &texto, QWidget *campo) {
        auto *rotulo = new QLabel(texto, this);
        rotulo->setBuddy(campo);
        return rotulo;
    };
    m_desde->setAccessibleName(u"Desde"_s);
    m_hasta->setAccessibleName(u"Hasta"_s);
    m_desdeFecha->setAccessibleName(u"Primera fecha"_s);
    m_hastaFecha->setAccessibleName(u"Última fecha"_s);
    auto *formulario = new QFormLayout(this);
    formulario->addRow(etiqueta(u"Texto:"_s, m_archivo), filaArchivo);
    formulario->addRow(etiqueta(u"Días en que empieza:"_s, m_dias.constFirst()), filaDias);
    formulario->addRow(etiqueta(u"Desde:"_s, m_desde), filaHoras);
    formulario->addRow(etiqueta(u"Fechas:"_s, m_conFechas), filaFechas);
    formulario->addRow(QString(), m_activa);
    formulario->addRow(botones);
    ActualizarAceptar();
}

void EditorDeEntrada::ElegirArchivo()
{
    DialogoDeArchivo::Pedido pedido = PedidoDeTexto(u"Elegir El Texto"_s);
    const QString ruta = DialogoDeArchivo::Abrir(this, pedido);
    if (ruta.isEmpty())
        return;
    // A text in the working folder is named as the file would name it by
    // hand, so that the folder can move with its timetable.
    const QString relativa = QDir::current().relativeFilePath(ruta);
    m_archivo->setText(relativa.startsWith(u".."_s) ? ruta : relativa);
}

void EditorDeEntrada::ActualizarAceptar()
{
    m_aceptar->setEnabled(!m_archivo->text().trimmed().isEmpty());
}

EntradaDeProgramacion EditorDeEntrada::Entrada() const
{
    EntradaDeProgramacion entrada;
    entrada.archivo = m_archivo->text().trimmed();
    for (int i = 0; i < m_dias.size(); ++i) {
        if (m_dias.at(i)->isChecked())
            entrada.dias |= static_cast<quint8>(1 << i);
    }
    if (entrada.dias == 0x7f)
        entrada.dias = 0;
    entrada.desde = m_desde->time();
    if (m_conHasta->isChecked())
        entrada.hasta = m_hasta->time();
    if (m_conFechas->isChecked()) {
        entrada.desdeFecha = m_desdeFecha->date();
        entrada.hastaFecha = m_hastaFecha->date();
    }
    entrada.activa = m_activa->isChecked();
    return entrada;
}
