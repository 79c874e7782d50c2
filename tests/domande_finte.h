// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The editor's questions answered without a dialog: every question yes, a closing window not saved,
// and the notices kept for the test to read.

#include "editor/Domande.h"

#include <QStringList>

class DomandeFinte final : public Domande
{
public:
    QStringList avvisi;
    bool chiedi(const QString &, const QString &, const QString &) override { return true; }
    Salvataggio chiediSalvataggio(const QString &) override { return Salvataggio::nonSalvare; }
    void avvisa(const QString &, const QString &testo) override { avvisi << testo; }
    int scelta = 0; // the answer every choice gets
    QStringList scelte; // the texts of the choices asked
    int scegli(const QString &, const QString &testo, const QStringList &) override
    {
        scelte << testo;
        return scelta;
    }
};
