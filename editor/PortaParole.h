// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Bringing another copy's words into the folder a window shows: the other copy read, her choice
// asked where a word differs, and the one step that brings what comes.

#include "editor/Comandi.h"
#include "editor/Domande.h"

#include <QUndoCommand>

#include <memory>

namespace unione
{

struct Arrivo {
    std::unique_ptr<QUndoCommand> passo; // none: nothing comes (she was told why) or she closed the question
    QString notizia; // what came, for the window's notice
    QString fuori; // the words that stay out and why, to tell her; empty when none
};

// Reads `altra` (never writing it), asks `domande` which picture or voice to keep where both copies
// have a different one, and returns the step that brings the rest into `vista`'s folder.
Arrivo chiediArrivo(Domande &domande, VistaParole &vista, const QString &altra);

} // namespace unione
