// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A game window on fake platform services and a data folder of its own, for tests that play.

#include "finte.h"
#include "game/lettere.h"
#include "ui/caselle.h"
#include "ui/pulsanti.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTest>

#include <memory>

struct Gioco {
    PiattaformaFinta f;
    std::unique_ptr<lettere> w;

    // Lists of one word each unless given; every word gets a picture.
    Gioco()
    {
        f.lista(3, {"ape"});
        f.lista(4, {"cane"});
        f.lista(5, {"gatto"});
        f.lista(6, {"chiave"});
    }

    lettere &carica()
    {
        w = std::make_unique<lettere>(f.piattaforma);
        f.piattaforma.protetto([this] { w->Form_Load(); });
        return *w;
    }

    // Shown and active, for tests that follow the keyboard focus.
    lettere &caricaEMostra()
    {
        carica();
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("game window did not become active");
        return *w;
    }

    // The key whose caption is the letter, in either case.
    Pulsante *tasto(QChar lettera) const
    {
        for (Pulsante *b : w->batticco) {
            if (b->text().compare(QString(lettera), Qt::CaseInsensitive) == 0)
                return b;
        }
        return nullptr;
    }

    void clicca(QChar lettera) const { QTest::mouseClick(tasto(lettera), Qt::LeftButton); }

    void scegli(QAction *voce) const { voce->trigger(); }

    QStringList etichette() const
    {
        QStringList t;
        for (QLabel *l : w->Label1)
            t << l->text();
        return t;
    }

    // Labels 0..n-1 shown and the rest hidden (as seen inside the window, shown or not).
    int etichetteMostrate() const
    {
        int n = 0;
        for (QLabel *l : w->Label1)
            n += l->isHidden() ? 0 : 1;
        return n;
    }

    int caselleMostrate() const
    {
        int n = 0;
        for (CasellaTesto *t : w->Text1)
            n += t->isHidden() ? 0 : 1;
        return n;
    }

    // The yes face lies in front: while it is not hidden it is the face that shows.
    bool facciaNo() const { return w->ComandoIconaSi->isHidden() && !w->ComandoIconaNo->isHidden(); }
    bool facciaSi() const { return !w->ComandoIconaSi->isHidden(); }
};
