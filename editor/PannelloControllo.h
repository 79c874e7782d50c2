// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The checker's findings for the folder open in the editor, below its lists: a summary line and
// every finding, problems and notes; a click on one that names a word leads to that word.

#include "editor/CartellaParole.h"

#include <QWidget>

#include <utility>
#include <vector>

class QLabel;
class QListWidget;

class PannelloControllo : public QWidget
{
    Q_OBJECT
public:
    explicit PannelloControllo(QWidget *genitore = nullptr);

    // The findings for the saved files of `cartella` (none: empty); `salvata` false adds that the
    // latest changes are not checked yet.
    void controlla(const CartellaParole *cartella, bool salvata);
    // The list and word a finding's row leads to, or {0, -1}.
    std::pair<int, int> dovePorta(int riga) const;

    QListWidget *problemi = nullptr;
    QLabel *riepilogo = nullptr;

private:
    std::vector<std::pair<int, int>> dovePortano; // finding row -> (list, word index), or (0, -1)
};
