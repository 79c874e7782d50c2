// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The four lists of the folder open in the editor, one tab each, every word a picture with its name
// below (a small speaker when it has a voice, a question mark when it has no picture). It shows the
// folder's words and keeps their icons; what she does with them is the window's. The words show at
// once; their pictures are decoded afterwards, a few milliseconds at a time between the window's
// events, the list in front first, so that a folder of hundreds of pictures never freezes it.

#include "editor/CartellaParole.h"

#include <QHash>
#include <QIcon>
#include <QTabWidget>
#include <QTimer>

#include <array>

#include <sys/stat.h>

class QElapsedTimer;
class QListWidget;
class QListWidgetItem;

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
    void dimenticaIcona(const QString &parola) { icone.remove(chiave(parola)); }
    void dimenticaIcone() { icone.clear(); }
    // The icons whose picture or voice another program changed, added or took away since they were
    // made are forgotten: true when there were any (the lists are then to be shown again).
    bool dimenticaCambiate();
    // Whether some word shown still waits for its picture; completaIcone() decodes them all now.
    bool iconeInAttesa() const;
    void completaIcone();

    // The list of the tab in front, and the index of the word selected in it (-1 for none).
    int listaCorrente() const;
    int parolaSelezionata() const;

    std::array<QListWidget *, CartellaParole::numeroListe> griglie {};

private:
    // A companion as it was when the icon was made: held until the save, a file on disk (its path,
    // and the file as it was, percorsi::stessoFile), or none.
    struct Origine {
        bool sospeso = false;
        QString file;
        struct stat stato = {};
    };
    Origine origine(Compagno c, const QString &parola) const;
    // The companion as it is now is still `prima`.
    static bool comePrima(const Origine &prima, const Origine &ora);
    // What a word's item shows beside its name, kept by word (any case) until forgotten.
    struct Figura {
        QIcon icona;
        bool manca = false; // no picture
        bool voce = false;
        QString parola;
        std::array<Origine, compagni.size()> origini;
    };
    static QString chiave(const QString &parola);
    const Figura &figura(const QString &parola); // looked up and decoded now when not yet kept
    static void mostra(QListWidgetItem *voce, const Figura &f, const QString &mostrata);
    // The icons of the words still waiting, for about `budget` milliseconds (0: all of them).
    void avanza(int budget);
    // The same in one list; false when the time ran out first.
    bool avanzaLista(int indice, int budget, const QElapsedTimer &tempo);

    const CartellaParole *cartella = nullptr;
    QHash<QString, Figura> icone;
    // In each list, the first row that may still wait for its icon.
    std::array<int, CartellaParole::numeroListe> prossima {};
    QTimer lavoro; // the next few icons, between the window's events
};
