// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The four lists of the folder open in the editor, one tab each, every word a picture with its name
// below (a small speaker when it has a voice, a question mark when it has no picture). It shows the
// folder's words and keeps their icons; what she does with them is the window's.

#include "editor/CartellaParole.h"

#include <QHash>
#include <QIcon>
#include <QTabWidget>

#include <array>

class QListWidget;

class ListeParole : public QTabWidget
{
    Q_OBJECT
public:
    explicit ListeParole(QWidget *genitore = nullptr);

    // The folder to show (none: empty lists), from the next mostraLista on; its icons are made afresh.
    void imposta(const CartellaParole *cartella);
    // The words of one list again, the word in front staying in front.
    void mostraLista(int lettere);
    void mostraListe();
    // The tab of each list: its length and how many words, or that the game cannot read it.
    void aggiornaTitoli();
    void seleziona(int lettere, int indice);
    // A word's picture or voice changed: its icon is made again when next shown; or every icon.
    void dimenticaIcona(const QString &parola) { icone.remove(parola.toLower()); }
    void dimenticaIcone() { icone.clear(); }

    // The list of the tab in front, and the index of the word selected in it (-1 for none).
    int listaCorrente() const;
    int parolaSelezionata() const;

    std::array<QListWidget *, CartellaParole::numeroListe> griglie {};

private:
    QIcon icona(const QString &parola);

    const CartellaParole *cartella = nullptr;
    QHash<QString, QIcon> icone;
};
