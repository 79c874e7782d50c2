// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/caselle.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace tastiVirtuali
{

int daTastoQt(int k)
{
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return 65 + (k - Qt::Key_A);
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return 48 + (k - Qt::Key_0);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return 112 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return invio;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return blocMaiuscole;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Meta:
        return 91;
    case Qt::Key_NumLock:
        return 144;
    case Qt::Key_ScrollLock:
        return 145;
    default:
        return 0;
    }
}

int statoMaiuscole(Qt::KeyboardModifiers m)
{
    return (m.testFlag(Qt::ShiftModifier) ? 1 : 0) | (m.testFlag(Qt::ControlModifier) ? 2 : 0)
        | (m.testFlag(Qt::AltModifier) ? 4 : 0);
}

} // namespace tastiVirtuali

CasellaTesto::CasellaTesto(QWidget *genitore)
    : QLineEdit(genitore)
{
    setFrame(false);
    setAlignment(Qt::AlignCenter);
    setTextMargins(1, 1, 1, 1);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    // A box already filled is disabled, and its right letter stays easy to read: dark grey on the
    // disabled box's light grey, more than 4.5 to 1, where the usual greyed text is 1.6 to 1.
    QPalette tavolozza = palette();
    tavolozza.setColor(QPalette::Disabled, QPalette::Text, QColor(0x60, 0x60, 0x60));
    setPalette(tavolozza);
}

namespace
{

// Keys that put the clipboard's text in a box: Ctrl+V, Shift+Insert and their kin.
bool incolla(QKeyEvent *evento)
{
    return evento->matches(QKeySequence::Paste)
        || (evento->key() == Qt::Key_Insert && evento->modifiers().testFlag(Qt::ShiftModifier));
}

} // namespace

void CasellaTesto::keyPressEvent(QKeyEvent *evento)
{
    if (incolla(evento)) {
        evento->accept();
        return;
    }
    const QString testo = evento->text();
    if (allaPressione && testo.size() == 1) {
        qint16 carattere = qint16(testo.at(0).unicode());
        allaPressione(carattere);
        if (carattere != qint16(testo.at(0).unicode())) {
            QKeyEvent cambiato(evento->type(), evento->key(), evento->modifiers(), evento->nativeScanCode(),
                evento->nativeVirtualKey(), evento->nativeModifiers(), QString(QChar(char16_t(carattere))),
                evento->isAutoRepeat(), evento->count());
            QLineEdit::keyPressEvent(&cambiato);
            evento->setAccepted(cambiato.isAccepted());
            return;
        }
    }
    QLineEdit::keyPressEvent(evento);
}

void CasellaTesto::keyReleaseEvent(QKeyEvent *evento)
{
    if (evento->isAutoRepeat() || !alRilascio) {
        QLineEdit::keyReleaseEvent(evento);
        return;
    }
    alRilascio(tastiVirtuali::daTastoQt(evento->key()), tastiVirtuali::statoMaiuscole(evento->modifiers()));
}

// The middle button pastes the X11 selection: in a letter box it does nothing.
void CasellaTesto::mousePressEvent(QMouseEvent *evento)
{
    if (evento->button() == Qt::MiddleButton) {
        evento->accept();
        return;
    }
    QLineEdit::mousePressEvent(evento);
}

void CasellaTesto::mouseReleaseEvent(QMouseEvent *evento)
{
    if (evento->button() == Qt::MiddleButton) {
        evento->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(evento);
}

void CasellaTesto::paintEvent(QPaintEvent *evento)
{
    QLineEdit::paintEvent(evento);
    // The same thin border as the letter labels' frame, which a label draws in its text colour.
    QPainter pittore(this);
    pittore.setPen(palette().color(QPalette::Active, QPalette::ButtonText));
    pittore.drawRect(rect().adjusted(0, 0, -1, -1));
}

void comeCasella(QLabel *etichetta)
{
    etichetta->setFrameStyle(QFrame::Box | QFrame::Plain);
    etichetta->setLineWidth(1);
    etichetta->setAlignment(Qt::AlignCenter);
}
