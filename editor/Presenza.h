// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which other editors have the same folder open. Each open folder holds a lock file of its own,
// named after the folder, in the user's runtime folder: nothing is written into the game's folder,
// and a lock whose editor has gone (a crash, a power cut) no longer counts.

#include <QString>

#include <memory>

class QLockFile;

class Presenza
{
public:
    explicit Presenza(const QString &cartella);
    ~Presenza();
    Presenza(const Presenza &) = delete;
    Presenza &operator=(const Presenza &) = delete;

    // The other editors that have the folder open now.
    int altri() const;

private:
    QString posto; // the folder of the locks for this game folder
    QString mio;
    std::unique_ptr<QLockFile> blocco;
};
