// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/posizione.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace posizione
{

namespace
{

// A frame not yet drawn: a title bar and thin borders as most window managers draw them, in the
// screen's own pixels (the window manager does not scale its frame with the program).
constexpr QMargins corniceProbabile {2, 22, 2, 2};

constexpr Qt::WindowStates ingrandita = Qt::WindowMaximized | Qt::WindowFullScreen;

class DimensioneFissa final : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *oggetto, QEvent *evento) override
    {
        if (evento->type() == QEvent::WindowStateChange) {
            auto *w = static_cast<QWidget *>(oggetto);
            if (w->windowState() & ingrandita) {
                // Turned back once the window manager's own change has been taken in.
                QTimer::singleShot(0, w, [w] { w->setWindowState(w->windowState() & ~ingrandita); });
            }
        }
        return QObject::eventFilter(oggetto, evento);
    }
};

QSize dimensione(QWidget *finestra)
{
    if (QLayout *l = finestra->layout())
        l->activate();
    return finestra->size().expandedTo(finestra->sizeHint()).boundedTo(finestra->maximumSize());
}

} // namespace

QScreen *schermoAttuale()
{
    if (QScreen *s = QGuiApplication::screenAt(QCursor::pos()))
        return s;
    return QGuiApplication::primaryScreen();
}

QRect centrata(QSize d, QMargins c, QPoint centro, QRect spazio)
{
    const QSize esterna = d.grownBy(c);
    QRect cornice(QPoint(centro.x() - esterna.width() / 2, centro.y() - esterna.height() / 2), esterna);
    // A pixel's room at each edge where there is one: sizes scaled by a factor are rounded, and a
    // frame that ends on the screen's last row could round to one past it.
    if (esterna.width() + 2 <= spazio.width())
        spazio.adjust(1, 0, -1, 0);
    if (esterna.height() + 2 <= spazio.height())
        spazio.adjust(0, 1, 0, -1);
    // Inside the screen where it fits; a window larger than the screen keeps its top-left corner on it.
    if (cornice.right() > spazio.right())
        cornice.moveRight(spazio.right());
    if (cornice.bottom() > spazio.bottom())
        cornice.moveBottom(spazio.bottom());
    if (cornice.left() < spazio.left())
        cornice.moveLeft(spazio.left());
    if (cornice.top() < spazio.top())
        cornice.moveTop(spazio.top());
    return cornice.marginsRemoved(c);
}

void centraSulloSchermo(QWidget *finestra)
{
    QScreen *schermo = schermoAttuale();
    if (!schermo)
        return;
    const QRect spazio = schermo->availableGeometry();
    const qreal r = finestra->devicePixelRatioF();
    const QMargins cornice(qRound(corniceProbabile.left() / r), qRound(corniceProbabile.top() / r),
        qRound(corniceProbabile.right() / r), qRound(corniceProbabile.bottom() / r));
    finestra->setGeometry(centrata(dimensione(finestra), cornice, spazio.center(), spazio));
}

void centraSopra(QWidget *finestra, const QWidget *sopra)
{
    QScreen *schermo = sopra->screen();
    if (!schermo)
        return;
    const QRect esterna = sopra->frameGeometry();
    const QRect interna = sopra->geometry();
    const QMargins cornice(interna.left() - esterna.left(), interna.top() - esterna.top(),
        esterna.right() - interna.right(), esterna.bottom() - interna.bottom());
    finestra->setGeometry(
        centrata(dimensione(finestra), cornice, esterna.center(), schermo->availableGeometry()));
}

void soloDimensioneFissa(QWidget *finestra)
{
    finestra->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    finestra->installEventFilter(new DimensioneFissa(finestra));
}

} // namespace posizione
