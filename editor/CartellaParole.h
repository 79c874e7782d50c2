// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The folder a teacher edits: its four word lists and the pictures she adds, replaces or frees, held
// in memory until she saves. Saving writes each changed file whole or not at all (QSaveFile), in the
// list's own encoding and line ends, and never outside the folder.

#include "game/ScritturaLista.h"

#include <QHash>
#include <QImage>
#include <QSet>
#include <QString>

#include <array>
#include <functional>
#include <vector>

struct ListaInCartella {
    int lettere = 0;
    bool esiste = false;
    listaparole::Formato formato;
    std::vector<QString> parole;
    std::vector<int> righe; // line of each word as last read or saved; 0 for words added since
    bool modificata = false;
};

class CartellaParole
{
public:
    // Reads the lists of the folder. Throws Errore when a list exists but cannot be read.
    explicit CartellaParole(const QString &cartella);

    const QString &percorso() const { return cartella; }
    static constexpr int primaLunghezza = 3;
    static constexpr int numeroListe = 4;
    const ListaInCartella &lista(int lettere) const { return liste.at(lettere - primaLunghezza); }

    // Why this word cannot go into the list of `lettere` letters, in plain Italian; empty when it can.
    // Words are compared without regard to case, as the game shows them in either.
    QString problemaParolaNuova(int lettere, const QString &parola) const;

    // The list of `lettere` and the position holding the word (any case), or {0, -1}.
    std::pair<int, int> trova(const QString &parola) const;

    void inserisci(int lettere, int indice, const QString &parola);
    // `liberaImmagine`: the word's picture goes at the next save if no list uses the word by then.
    void togli(int lettere, int indice, bool liberaImmagine = true);

    // The picture file a word has now in the folder (any letter case), empty when none.
    QString fileImmagine(const QString &parola) const;
    // The picture to show for a word: the one waiting to be saved, else the file's.
    QImage immagine(const QString &parola, QSize misura) const;
    // A picture (JPEG bytes) waiting to be saved for the word; empty bytes take it back.
    void impostaImmagine(const QString &parola, const QByteArray &jpeg);
    QByteArray immagineInAttesa(const QString &parola) const { return nuove.value(chiave(parola)); }

    // The word's voice, voci/<parola>.wav, handled as its picture is: the file it has now (any
    // letter case, empty when none), a WAV waiting to be saved (empty bytes take it back).
    QString fileVoce(const QString &parola) const;
    void impostaVoce(const QString &parola, const QByteArray &wav);
    QByteArray voceInAttesa(const QString &parola) const { return nuoveVoci.value(chiave(parola)); }
    bool haVoce(const QString &parola) const;

    // Writes the changed lists, the waiting pictures of words still in a list, and removes the
    // picture of every word taken out that no list uses any more. Throws Errore; what was saved
    // before the error stays saved, and nothing is ever half written.
    void salva();

    // How many times the folder's words use this one (any case, in any list).
    int usi(const QString &parola) const;

    // The folder's path of a file named relative to it, refused (Errore) when it would lead outside.
    QString dentro(const QString &relativo) const;

private:
    static QString chiave(const QString &parola) { return parola.toLower(); }
    // The words added since the lists were read follow the word rule, or nothing is saved (Errore).
    void controllaParoleNuove() const;
    void leggi(ListaInCartella &l);
    void scriviFile(const QString &percorso, const QByteArray &byte);
    void salvaFile(QHash<QString, QByteArray> &attesa, const QString &sottocartella, const QString &estensione,
        const std::function<QString(const QString &)> &esistente);
    void cestina(const QString &file, QHash<QString, QByteArray> &cestino, const QString &parola);

    QString cartella;
    std::array<ListaInCartella, numeroListe> liste;
    QHash<QString, QByteArray> nuove; // key: word in lower case
    // The pictures a save removed, kept so that undoing the removal brings the picture back too.
    QHash<QString, QByteArray> cestino;
    QHash<QString, QByteArray> nuoveVoci, cestinoVoci; // as nuove and cestino, for voices
    QSet<QString> tolte; // words taken out since the last save, in lower case
};
