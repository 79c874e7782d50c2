// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pulsanti.h"

#include "ui/colori.h"
#include "ui/risorse.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOption>
#include <QStylePainter>

#include <vector>

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

// The style keeps every button frame it draws in the pixmap cache, under a key made of the
// button's state, size and palette; but every widget's palette is a copy of its own, with a key of
// its own, even when its colours are the same. The 26 keys of the keyboard, each drawn plain,
// focused, pressed and under the mouse, would keep a hundred identical frames. Buttons of the same
// colours are drawn with one palette and share them; what they draw does not change.
QPalette tavolozzaCondivisa(const QPalette &tavolozza)
{
    static std::vector<QPalette> viste;
    for (QPalette vista : viste) {
        // Equal colours; the group a disabled or inactive button is drawn in is its own.
        if (vista == tavolozza) {
            vista.setCurrentColorGroup(tavolozza.currentColorGroup());
            return vista;
        }
    }
    // A program that paints its buttons in ever new colours keeps its own palettes beyond these.
    constexpr std::size_t massimo = 8;
    if (viste.size() < massimo)
        viste.push_back(tavolozza);
    return tavolozza;
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

void Pulsante::paintEvent(QPaintEvent *)
{
    // QPushButton's own painting, with the shared palette.
    QStylePainter pittore(this);
    QStyleOptionButton opzione;
    initStyleOption(&opzione);
    opzione.palette = tavolozzaCondivisa(opzione.palette);
    pittore.drawControl(QStyle::CE_PushButton, opzione);
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

void PulsanteGrafico::paintEvent(QPaintEvent *)
{
    // QToolButton's own painting, with the shared palette.
    QStylePainter pittore(this);
    QStyleOptionToolButton opzione;
    initStyleOption(&opzione);
    opzione.palette = tavolozzaCondivisa(opzione.palette);
    pittore.drawComplexControl(QStyle::CC_ToolButton, opzione);
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
