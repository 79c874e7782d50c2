// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The whiteboard launcher's measures: how large the game may be drawn on the screen it opens on.
// The game is scaled whole by Qt's own factor; these functions only find the factor.

#include "ui/menu.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <span>

namespace lavagna
{

// A window manager's frame around a window's client area, in pixels.
struct Cornice {
    int sinistra = 0;
    int sopra = 0;
    int destra = 0;
    int sotto = 0;
};

// What the launcher learns of the screen, in the screen's own pixels.
struct Schermo {
    QString nome;
    QRect spazio; // the screen less its panels
    double rapporto = 1.0; // device pixels per Qt pixel before any factor of ours
    Cornice cornice; // drawn by the window manager, not scaled
    Cornice corniceScalata; // drawn by the program itself (Wayland), in Qt pixels, scaled with it
    bool corniceMisurata = false;
};

// The largest factor, in hundredths and rounded down, at which a window of `finestra` Qt pixels,
// drawn that much larger with its frames, lies whole inside `schermo.spazio`. Never below a half.
double fattore(QSize finestra, const Schermo &schermo);

// The size of a window that holds a fixed `area` under a menu bar built from `voci`, as the game
// window is: built, never shown.
QSize dimensioneFinestra(QSize area, std::span<const menu::Voce> voci);

// Measures the screen the game opens on (posizione::schermoAttuale), and the window manager's frame where the
// window manager can say.
Schermo misura(QSize finestra);

} // namespace lavagna
