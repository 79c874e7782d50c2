// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/casuale.h"
#include "ui/errori.h"
#include "ui/messaggi.h"
#include "ui/suoni.h"

#include <QString>

// The platform services the windows are built on, passed in rather than reached through globals,
// so that tests can script the random draws, answer message boxes and hear which sounds played.
struct Piattaforma {
    GeneratoreCasuale &casuale;
    Riproduttore &riproduttore;
    Messaggi &messaggi;
    Uscita &uscita;
    QString cartellaDati; // the folder that holds the program, with no separator at its end

    template <typename Gestore>
    void protetto(Gestore &&gestore)
    {
        ::protetto(messaggi, uscita, std::forward<Gestore>(gestore));
    }
};
