// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The folder a teacher edits: its four word lists and each word's companion files (its picture and,
// when she records one, its voice), held in memory until she saves. Saving writes each changed file
// whole or not at all (QSaveFile), in the list's own encoding and line ends, and never outside the
// folder. Lists are read by the game's own reader, within the game's limits.

#include "game/ScritturaLista.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

// The files that belong to a word and follow it wherever it goes: removal, undo, renaming, copying.
enum class Compagno { immagine, voce };
inline constexpr std::array<Compagno, 2> compagni {Compagno::immagine, Compagno::voce};

// What one companion file is, or is to be after the next save.
struct Contenuto {
    bool presente = false; // a file with these bytes; false: no file
    QByteArray byte;
    bool leggibile = true; // false: a file is there that could not be read, and it is left as it is
    bool operator==(const Contenuto &) const = default;
};

struct ListaInCartella {
    int lettere = 0;
    bool esiste = false;
    listaparole::Formato formato;
    std::vector<QString> parole;
    std::vector<int> righe; // line of each word as last read or saved; 0 for words added since
    bool modificata = false;
    QString errore; // the game's message when it refuses the file; the list is then left untouched
    int rigaTagliata = 0; // line of the first word past the game's limit, 0 when none
    QStringList perdite; // lines whose text a rewrite drops (text after a closing quote)
    QByteArray impronta; // hash of the bytes as read, to notice another program's changes
};

class CartellaParole
{
public:
    // Reads the lists of the folder with the game's reader and limits. A list the game refuses is
    // kept with its message in `errore` and never written.
    explicit CartellaParole(const QString &cartella);

    const QString &percorso() const { return cartella; }
    static constexpr int primaLunghezza = 3;
    static constexpr int numeroListe = 4;
    // Longer than any file name, however many blanks lead it: such a "word" names no file.
    static constexpr qsizetype lunghissima = 4 * 255;
    const ListaInCartella &lista(int lettere) const { return liste.at(lettere - primaLunghezza); }

    // Why this word cannot go into the list of `lettere` letters, in plain Italian; empty when it can.
    // Words are compared without regard to case, as the game shows them in either.
    QString problemaParolaNuova(int lettere, const QString &parola) const;
    // The same without the list's limit on words: a word renamed takes no new place.
    QString problemaNome(int lettere, const QString &parola) const;

    // The list of `lettere` and the position holding the word (any case), or {0, -1}.
    std::pair<int, int> trova(const QString &parola) const;

    void inserisci(int lettere, int indice, const QString &parola);
    void togli(int lettere, int indice);
    void rinomina(int lettere, int indice, const QString &parola);

    // A companion file as the game finds it for the word (leading blanks dropped, any letter case,
    // either Unicode form), a regular file inside the folder; empty when there is none.
    QString file(Compagno c, const QString &parola) const;
    // What the companion is now: the one waiting to be saved, else the file's bytes.
    Contenuto contenuto(Compagno c, const QString &parola) const;
    // What the companion is to be after the next save. No file for a word that some list still
    // reaches is never deleted; bytes for a word no list holds are never written.
    void imposta(Compagno c, const QString &parola, const Contenuto &contenuto);
    // Back to what the file on disk is, dropping what was waiting.
    void dimentica(Compagno c, const QString &parola);
    // Whether the word will have the companion after the next save.
    bool ha(Compagno c, const QString &parola) const;
    // Whether the word's companion is held here until the next save (new, changed or taken away)
    // rather than being the file on disk.
    bool inSospeso(Compagno c, const QString &parola) const
    {
        return attese[std::size_t(c)].contains(chiave(parola));
    }
    // The bytes waiting to be saved for the word; empty when none.
    QByteArray inAttesa(Compagno c, const QString &parola) const;

    // The picture file a word has now in the folder, empty when none.
    QString fileImmagine(const QString &parola) const { return file(Compagno::immagine, parola); }
    // The picture to show for a word: the one waiting to be saved, else the file's.
    QImage immagine(const QString &parola, QSize misura) const;
    // A picture (JPEG bytes) waiting to be saved for the word; empty bytes take it back.
    void impostaImmagine(const QString &parola, const QByteArray &jpeg);
    QByteArray immagineInAttesa(const QString &parola) const { return inAttesa(Compagno::immagine, parola); }

    // The word's voice, `voci/<parola>.wav`, found like its picture.
    QString fileVoce(const QString &parola) const { return file(Compagno::voce, parola); }
    // A voice (WAV bytes) waiting to be saved for the word; empty bytes take it back.
    void impostaVoce(const QString &parola, const QByteArray &wav);
    QByteArray voceInAttesa(const QString &parola) const { return inAttesa(Compagno::voce, parola); }
    bool haVoce(const QString &parola) const { return ha(Compagno::voce, parola); }

    // The lists whose file changed on disk since it was read (another editor, a text editor), by name.
    QStringList cambiateSuDisco() const;
    // What saving would rewrite beyond the words: the text a changed list loses, one line each.
    QStringList riscritture() const;

    // Writes the companions waiting, the changed lists, then removes the companions no list of
    // the folder (as written now on disk, or as held here) reaches any more. With `cancella`
    // false the removals wait for a later save or cancellaInAttesa(): the game or another editor
    // may still show those words. Throws Errore; what was saved before the error stays saved,
    // and nothing is ever half written.
    void salva(bool cancella = true);
    // The removals a save left waiting; returns how many companion files it removed.
    int cancellaInAttesa();
    // The words whose companion files wait to be removed.
    QStringList daCancellare() const;

    // How many times the folder's words use this one (any case, in any list).
    int usi(const QString &parola) const;
    // How many words of the lists reach the same files as this one by the game's lookup (any
    // case, either Unicode form, leading blanks dropped).
    int raggiunta(const QString &parola) const;

    // The folder's path of a file named relative to it, refused (Errore) when it would lead outside.
    QString dentro(const QString &relativo) const;

private:
    // The key of a word's companions: what the game's lookup makes of it, in one form and case.
    static QString chiave(const QString &parola);
    void leggi(ListaInCartella &l);
    void scriviFile(const QString &percorso, const QByteArray &byte);
    // The words added since the lists were read follow the word rule, or nothing is saved (Errore).
    void controllaParoleNuove() const;
    // Where the companion's bytes go on saving (Errore when nowhere), empty when its file already
    // holds them.
    QString destinazione(Compagno c, const QString &k, const QByteArray &byte);
    QSet<QString> raggiunti(Compagno c) const; // canonical paths of the companions any list reaches
    bool usata(const QString &k) const; // whether a list holds a word of this key

    QString cartella;
    std::array<ListaInCartella, numeroListe> liste;
    // What each companion is to be after the next save, by key; a word absent here keeps its file.
    std::array<QHash<QString, Contenuto>, compagni.size()> attese;
    std::array<QSet<QString>, compagni.size()> apposta; // keys whose file she took away herself
};
