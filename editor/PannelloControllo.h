// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The checker's findings for the folder open in the editor, below its lists: a summary line and
// every finding, problems and notes; a click on one that names a word leads to that word. The
// checker runs on a thread of its own, one check at a time; only the findings of the latest check
// asked for are shown, when it ends.

#include "editor/CartellaParole.h"
#include "game/VerificaDati.h"

#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

class QLabel;
class QListWidget;

class PannelloControllo : public QWidget
{
    Q_OBJECT
public:
    explicit PannelloControllo(QWidget *genitore = nullptr);
    ~PannelloControllo() override; // waits for a check under way: it reads the folder's files

    // Checks the saved files of `cartella` (none: empty) and shows the findings when the check
    // ends; `salvata` false adds that the latest changes are not checked yet. The findings of
    // another folder go at once; those of the same folder stay until the new ones replace them.
    // `cartella` must outlive the check or be replaced by a later call.
    void controlla(const CartellaParole *cartella, bool salvata);
    // Whether a check is under way; attendi() waits for it and shows its findings.
    bool inCorso() const { return lavoro != nullptr; }
    void attendi();
    // The list and word a finding's row leads to, or {0, -1}.
    std::pair<int, int> dovePorta(int riga) const;

    QListWidget *problemi = nullptr;
    QLabel *riepilogo = nullptr;

private:
    struct Lavoro; // a check on its thread
    void avvia(); // starts the check asked for last
    void finito(int numero); // check `numero` ended: its findings when still wanted, else the next one
    void mostra(const verifica::Esito &esito);

    std::vector<std::pair<int, int>> dovePortano; // finding row -> (list, word index), or (0, -1)
    const CartellaParole *cartella = nullptr; // of the check asked for last
    QString mostrata; // the folder whose findings are shown
    bool salvata = true;
    int richiesta = 0; // numbers the checks asked for
    std::unique_ptr<Lavoro> lavoro; // the check under way, if any
};
