#include "grupodeopciones.h"

#include <QAbstractButton>

#include <algorithm>

void UnaParadaEnElMarcado(const QList<QAbstractButton *> &botones)
{
    if (botones.isEmpty())
        return;
    const auto ajustar = [botones] {
        const bool alguno = std::any_of(botones.cbegin(), botones.cend(),
                                        [](const QAbstractButton *boton) { return boton->isChecked(); });
        // With none checked the first one stands for the group.
        for (QAbstractButton *boton : botones) {
            const bool parada = alguno ? boton->isChecked() : boton == botones.first();
            boton->setFocusPolicy(parada ? Qt::StrongFocus : Qt::ClickFocus);
        }
    };
    for (QAbstractButton *boton : botones)
        QObject::connect(boton, &QAbstractButton::toggled, boton, ajustar);
    ajustar();
}
