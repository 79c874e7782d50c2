// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>

#include "ui/twips.h"

#include <span>

class QAction;
class QMenuBar;

namespace menu
{

// One row of a menu design, in the order the entries appear. An entry followed by deeper entries
// opens a submenu; any other entry is a command.
struct Voce {
    int livello; // 1 on the menu bar, 2 and 3 in submenus
    const char *nome;
    const char *testo;
    bool spuntata;
};

// The menus are drawn at a fixed size, as the windows' other fonts are, in the desktop's family: the
// classic menu font of 9 points on a 96-dpi screen. At the desktop's own size (often 10 or 11 points)
// the captions' trailing blanks would push the last entries off a bar as wide as the game window.
inline constexpr int pixelCarattere = twips::punti96InPixel(9);

// Builds the menu tree on the bar and returns every entry's action by name (each action also
// carries its name as objectName). Command entries show a check mark only when a handler sets one:
// choosing an entry never changes its own mark, as Qt's checkable actions otherwise would. Unchecked
// entries show no empty box, and the bar and its menus take the classic colours and the fixed size.
QHash<QString, QAction *> costruisci(QMenuBar *barra, std::span<const Voce> voci);

} // namespace menu
