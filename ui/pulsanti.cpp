// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pulsanti.h"

#include <QKeyEvent>

namespace {

bool eInvio(const QKeyEvent *evento)
{
    return evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter;
}

} // namespace

void Pulsante::keyPressEvent(QKeyEvent *evento)
{
    if (eInvio(evento)) {
        if (!evento->isAutoRepeat())
            click();
        evento->accept();
        return;
    }
    QPushButton::keyPressEvent(evento);
}

PulsanteGrafico::PulsanteGrafico(QWidget *genitore) : QToolButton(genitore)
{
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setFocusPolicy(Qt::StrongFocus);
    setIconSize(QSize(32, 32));
}

void PulsanteGrafico::keyPressEvent(QKeyEvent *evento)
{
    if (eInvio(evento)) {
        if (!evento->isAutoRepeat())
            click();
        evento->accept();
        return;
    }
    QToolButton::keyPressEvent(evento);
}
