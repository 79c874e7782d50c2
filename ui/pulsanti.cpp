// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pulsanti.h"

#include "ui/colori.h"
#include "ui/risorse.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOption>

namespace
{

// Enter presses the button; a held Enter presses it once. True when the key was Enter.
bool premiConInvio(QAbstractButton *pulsante, QKeyEvent *evento)
{
    if (evento->key() != Qt::Key_Return && evento->key() != Qt::Key_Enter)
        return false;
    if (!evento->isAutoRepeat())
        pulsante->click();
    evento->accept();
    return true;
}

// A style draws a button's outline from the window colour behind it: the random start colour, the
// game's cyan. A button of its own palette draws the plain grey outline of a system button.
void comeDiSistema(QAbstractButton *pulsante)
{
    pulsante->setPalette(colori::tavolozzaClassica());
}

} // namespace

Pulsante::Pulsante(const QString &testo, QWidget *genitore)
    : QPushButton(testo, genitore)
{
    comeDiSistema(this);
}

void Pulsante::keyPressEvent(QKeyEvent *evento)
{
    if (!premiConInvio(this, evento))
        QPushButton::keyPressEvent(evento);
}

PulsanteGrafico::PulsanteGrafico(QWidget *genitore)
    : QToolButton(genitore)
{
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setFocusPolicy(Qt::StrongFocus);
    setIconSize(QSize(32, 32));
    comeDiSistema(this);
}

void PulsanteGrafico::impostaIcona(const QString &risorsa)
{
    // Qt greys a disabled picture from the application's palette, which a dark desktop scheme makes
    // dark; the button's own classic palette gives the usual light grey instead.
    QIcon icona = risorse::icona(risorsa);
    QStyleOption opzione;
    opzione.palette = colori::tavolozzaClassica();
    for (qreal rapporto : {1.0, 2.0}) {
        const QPixmap normale = icona.pixmap(iconSize(), rapporto);
        icona.addPixmap(style()->generatedIconPixmap(QIcon::Disabled, normale, &opzione), QIcon::Disabled);
    }
    setIcon(icona);
}

void PulsanteGrafico::keyPressEvent(QKeyEvent *evento)
{
    if (!premiConInvio(this, evento))
        QToolButton::keyPressEvent(evento);
}

ImmagineCliccabile::ImmagineCliccabile(QWidget *genitore)
    : QLabel(genitore)
{
    setFocusPolicy(Qt::NoFocus);
}

void ImmagineCliccabile::mousePressEvent(QMouseEvent *evento)
{
    premuta = evento->button() == Qt::LeftButton;
    evento->accept();
}

void ImmagineCliccabile::mouseReleaseEvent(QMouseEvent *evento)
{
    const bool clic
        = premuta && evento->button() == Qt::LeftButton && rect().contains(evento->position().toPoint());
    if (evento->button() == Qt::LeftButton)
        premuta = false;
    evento->accept();
    if (clic)
        emit cliccata();
}
