// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Fai la mia copia del gioco": where the copy goes, ~/Batticco proposed, a folder on a stick chosen
// with "Scegli…". It says what the copy holds: the installed game's words, or those of her copy.

#include <QDialog>

class QLineEdit;

class DialogoCopia : public QDialog
{
    Q_OBJECT
public:
    // `sue`: the folder whose words the copy takes (shown by its path), empty for the installed game.
    explicit DialogoCopia(const QString &sue, QWidget *genitore = nullptr);

    // The folder she chose, absolute (a name alone is in her home folder); empty when none.
    QString cartella() const;

private:
    QLineEdit *campo = nullptr;
};
