// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "feedback/ModuloColoriSuoni.h"
#include "game/StatoGioco.h"

#include <QMainWindow>

#include <array>

class CasellaTesto;
class ImmagineCliccabile;
class Pulsante;
class PulsanteGrafico;
class QAction;
class QLabel;
struct Piattaforma;

// The game window. Controls, handlers and operations keep the names of the game's design
// (Command1, Label1, batticco, Text1_KeyUp, nuovoTurno...), so a reader can follow each event from
// the menu or the key to the handler that answers it. Handlers are ordinary public methods: the
// window's load calls one of them itself, and tests call them too.
class lettere : public QMainWindow
{
    Q_OBJECT
public:
    explicit lettere(Piattaforma &piattaforma, QWidget *genitore = nullptr);
    ~lettere() override;

    // Event handlers.
    void Form_Load();
    void Command1_Click();
    void SSCommand1_Click();
    void batticco_Click(int indice);
    void Text1_KeyPress(int indice, qint16 &carattere);
    void Text1_KeyUp(int indice, int codiceTasto, int maiuscole);
    void mnu3_Click();
    void mnu4_Click();
    void mnu5_Click();
    void mnu6_Click();
    void mnuAzzera_Click();
    void mnuPc_Click();
    void mnuVideo_Click();
    void mnumaiuscoli_Click();
    void mnuminuscoli_Click();
    void mnuInforma_Click();
    void mnuEsci_Click();
    void Image1_Click();

    // Draws, out of sight, the text of one of the fonts the window's first paint draws (step 0, 1...),
    // so that the window finds it loaded: each face and size costs its first paint 0.3-0.8 ms. For
    // the time before the window exists; false once every step is done.
    static bool preparaCaratteri(int passo);

    // Operations.
    void caricaLista();
    void preparaCaselle();
    void nuovoTurno();

    StatoGioco stato;

    // Controls.
    QWidget *area = nullptr; // the client area below the menu bar
    ImmagineCliccabile *Image1 = nullptr;
    QLabel *ComandoIconaSi = nullptr;
    QLabel *ComandoIconaNo = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *EtichettaEsatti = nullptr;
    QLabel *EtichettaErrati = nullptr;
    PulsanteGrafico *Command1 = nullptr;
    PulsanteGrafico *SSCommand1 = nullptr;
    std::array<CasellaTesto *, 6> Text1 {};
    std::array<QLabel *, 6> Label1 {};
    std::array<Pulsante *, 26> batticco {};

    // Menu entries.
    QAction *mnuAzzera = nullptr;
    QAction *mnu3 = nullptr;
    QAction *mnu4 = nullptr;
    QAction *mnu5 = nullptr;
    QAction *mnu6 = nullptr;
    QAction *mnuVideo = nullptr;
    QAction *mnuPc = nullptr;
    QAction *mnumaiuscoli = nullptr;
    QAction *mnuminuscoli = nullptr;
    QAction *mnuInforma = nullptr;
    QAction *mnuEsci = nullptr;

private:
    void costruisci();
    void costruisciFiguraEConteggi();
    void costruisciCaselle();
    void costruisciTastiera();
    void ordinaTabulazione();
    void collega();
    void scegliLista(QAction *voce, qint16 lunghezza, const QString &nomeLista);
    void cambiaMaiuscole(bool maiuscole);
    void letteraSbagliata();
    void scriviConteggio(QLabel *etichetta, qint16 valore);
    const QString &parolaCorrente() const;
    void mostraImmagine(const QString &parola);
    void rimettiImmagine(QSize dimensione, qreal rapporto);
    void voceDelTurno();
    QString percorsoLista() const;

    template <typename Gestore>
    auto gestore(Gestore g);

    Piattaforma &p;
    ModuloColoriSuoni moduloColoriSuoni;
    bool voceInCoda = false; // the voice of the turn is waiting for the handler to end
    bool turnoNonVisto = false; // the load's first turn, replaced before anyone sees it
    QString immagineMostrata; // the file of the picture shown
};
