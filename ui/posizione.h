// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the program's windows open, and how they keep their designed size on any desktop.

#include <QMargins>
#include <QRect>

class QScreen;
class QWidget;

namespace posizione
{

// The screen a new window opens on: the one under the pointer, else the primary one.
QScreen *schermoAttuale();

// The client rectangle of a window of client size `dimensione` framed by `cornice`, whose frame is
// centred on `centro` and, where it fits, lies whole inside `spazio`.
QRect centrata(QSize dimensione, QMargins cornice, QPoint centro, QRect spazio);

// Places a window not yet shown in the middle of the screen it opens on.
void centraSulloSchermo(QWidget *finestra);

// Places a window not yet shown over the middle of `sopra`, a window on the screen, within sopra's
// screen: framed as sopra is, since one window manager frames both.
void centraSopra(QWidget *finestra, const QWidget *sopra);

// A window of fixed size offers no maximise button, and a request to maximise it or fill the screen
// (a window manager's key, a double click on the title) is turned back at once: the design is never
// left half-drawn in a larger frame.
void soloDimensioneFissa(QWidget *finestra);

} // namespace posizione
