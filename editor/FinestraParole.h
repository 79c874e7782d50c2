// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The editor's main window: the four lists of a Batticco folder as grids of picture and word, the
// checker's findings below them, and the commands that add, change and remove words, save, try the
// game and make the teacher's own copy. Names follow the game's Italian vocabulary.

#include "editor/CartellaParole.h"
#include "editor/Comandi.h"
#include "editor/Domande.h"
#include "ui/registratore.h"
#include "ui/suoni.h"

#include <QHash>
#include <QIcon>
#include <QMainWindow>
#include <QTimer>
#include <QUndoStack>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class ListeParole;
class PannelloControllo;
class Presenza;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabWidget;

class FinestraParole : public QMainWindow, private VistaParole
{
    Q_OBJECT
public:
    // `installato` is the installed game's folder (the source of copies; shown but never written),
    // `editor` this program's path for the copy's menu entry.
    FinestraParole(
        Domande &domande, const QString &installato, const QString &editor, QWidget *genitore = nullptr);
    ~FinestraParole() override;

    // Opens a folder; false (and says why) when its lists cannot be read.
    bool apri(const QString &cartella);
    // The folder open, empty when none; whether it may be changed here.
    QString cartella() const;
    bool modificabile() const { return scrivibile; }

    // The operations behind the commands, callable without their dialogs.
    void aggiungi(int lettere, const QString &parola, const QImage &immagine);
    void cambiaImmagine(const QString &parola, const QImage &immagine);
    // A new picture or voice for the word (bytes as they will be saved), or none: undoable.
    void cambiaCompagno(Compagno c, const QString &parola, const Contenuto &nuovo);
    // The word's new spelling, by the rules for a new word; false (and says why) when refused.
    bool rinomina(int lettere, int indice, const QString &nuova);
    void cambiaVoce(
        const QString &parola, const QByteArray &wav); // a WAV the game plays; empty takes it away
    // The computer's voice for every word that has none; how many got one.
    int vociDelComputer();
    bool togli(int lettere, int indice); // asks first; false when she says no
    bool salva(); // false when something could not be saved (and she was told)
    bool faiCopiaIn(const QString &destinazione); // copy, menu entry, then opens the copy
    bool aggiornaCopia(); // the installed program replaces the copy's
    // Brings the words of another copy (her stick's) into the folder open, as one step to undo:
    // new words with their pictures and voices, a picture or voice a word here lacks, and, when she
    // says so, the other copy's where both have one. False when nothing came.
    bool portaParole(const QString &altra);
    // From another copy open here: her own copy of this computer (made when there is none) is opened
    // and this one's words brought into it.
    bool portaNellaMiaCopia();
    bool provaGioco();
    // The checker's findings for the saved folder: the check runs on a thread of its own and its
    // findings show when it ends, unless the folder was opened or saved again meanwhile.
    void controlla();
    // Whether the checker or the icons still have work under way; attendiLavoro() finishes it now.
    bool lavoroInCorso() const;
    void attendiLavoro();
    // The boundary around each command, menu entry, button and click: an error that escapes one is
    // told in a message box and the window stays, with what she has not saved. Qt's event loop
    // carries no exception, and ending the program would lose her work.
    void protetto(const std::function<void()> &gestore);
    void vaiAlProblema(int riga); // selects the word a finding names

    // The list of the tab in front, and the index of the word selected in it (-1 for none).
    int listaCorrente() const;
    int parolaSelezionata() const;
    const CartellaParole *dati() const { return modello.get(); }

    QTabWidget *schede = nullptr;
    std::array<QListWidget *, CartellaParole::numeroListe> griglie {};
    QListWidget *problemi = nullptr;
    QLabel *riepilogo = nullptr;
    QFrame *avviso = nullptr;
    QLabel *testoAvviso = nullptr;
    QPushButton *bottoneAvviso = nullptr;
    QPushButton *bottoneAggiorna = nullptr;
    QPushButton *bottonePorta = nullptr;

    QAction *mnuApri = nullptr;
    QAction *mnuCopia = nullptr;
    QAction *mnuAggiornaCopia = nullptr;
    QAction *mnuPorta = nullptr;
    QAction *mnuSalva = nullptr;
    QAction *mnuProva = nullptr;
    QAction *mnuControlla = nullptr;
    QAction *mnuEsci = nullptr;
    QAction *mnuAnnulla = nullptr;
    QAction *mnuRifai = nullptr;
    QAction *mnuAggiungi = nullptr;
    QAction *mnuCambia = nullptr;
    QAction *mnuTogli = nullptr;
    QAction *mnuRinomina = nullptr;
    QMenu *menuParola = nullptr; // a word's own menu, on a right click
    QAction *mnuVoce = nullptr;
    QAction *mnuVociComputer = nullptr;
    QAction *mnuInformazioni = nullptr;

    QUndoStack pila;
    // While a step of many words runs: the lists it asked to show, and the word it asked to select.
    struct Rimandati {
        std::array<bool, CartellaParole::numeroListe> liste {};
        std::optional<std::pair<int, int>> selezione;
    };
    std::optional<Rimandati> rimandati;

protected:
    void closeEvent(QCloseEvent *e) override;
    // Back in the window, pictures and voices another program changed meanwhile show as they are.
    void changeEvent(QEvent *e) override;

private:
    void costruisciAvviso(QWidget *centro);
    void costruisciMenu();
    void costruisciBarra(); // the toolbar, short names for the menus' commands
    void dialogoAggiungi();
    void dialogoCambia();
    void dialogoTogli();
    void dialogoRinomina();
    void menuDellaParola(QListWidget *griglia, QPoint punto);
    void dialogoVoce();
    QByteArray registraVoce(const QString &parola); // the dialog; empty when she made none
    void dialogoApri();
    void dialogoCopia();
    void dialogoPorta();
    bool altraCopia() const; // whether the folder open is a copy of the game other than her own
    QString daCopiare() const; // the folder "Fai la mia copia" copies
    void informazioni();
    bool confermaSalvataggio(); // asks about what saving would overwrite or rewrite
    bool giocoAperto(); // whether a game started here is still running
    void controllaGiochi(); // once the games have closed, removes the files that waited for them
    bool puoiLasciare(); // asks about unsaved changes; true when the folder may be left
    // What the undo steps reach (VistaParole).
    CartellaParole &parole() override { return *modello; }
    void dimenticaIcona(const QString &parola) override;
    void mostraLista(int lettere) override;
    void mostraListe();
    void aggiornaTitoli();
    void aggiornaAzioni();
    void aggiornaAvviso();
    QString avvisiCartella(); // what the open folder's lists and the other programs on it need said
    bool haListe() const; // whether the folder open has any list file
    void seleziona(int lettere, int indice) override;
    void rimanda(bool rimanda) override;
    QString problemaRinomina(int lettere, int indice, const QString &nuova) const;

    Domande &domande;
    QString installato;
    QString editor;
    QString lanciatoreLavagna() const;
    std::unique_ptr<CartellaParole> modello;
    bool scrivibile = false;
    ListeParole *liste = nullptr;
    // The microphone, and the player that plays a voice back: reached only when she records or listens.
    std::unique_ptr<Registratore> registratore = std::make_unique<RegistratorePulse>();
    std::unique_ptr<Riproduttore> riproduttore = std::make_unique<RiproduttorePulse>();
    PannelloControllo *pannello = nullptr;
    QString notizia; // a line shown above the lists once, e.g. after a copy
    std::unique_ptr<Presenza> presenza;
    std::vector<qint64> giochi; // the games started from here, by process id
    QTimer attesaGioco;
};
