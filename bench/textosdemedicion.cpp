#include "textosdemedicion.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

void Asentar()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

QString TextoMezclado(qsizetype largo)
{
    const QString linea = u"[titila]Próxima salida: andén nº 3[no titila] ¿Señores? Á€° [izq]ok\n"_s;
    QString texto;
    while (texto.size() + linea.size() <= largo)
        texto += linea;
    texto += QString(largo - texto.size(), u'x');
    return texto;
}
