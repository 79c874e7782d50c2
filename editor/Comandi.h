// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The editor's undoable steps. Each one keeps the companion files (picture, voice) of the words it
// touches as they were before it, so undoing it restores them at the next save however many saves
// came between: the old picture lives as long as the step does in the undo history.

#include "editor/CartellaParole.h"
#include "editor/Unione.h"

#include <QUndoCommand>

using Compagni = std::array<Contenuto, compagni.size()>;

// What a step reaches: the folder's words, and the view that shows them (the editor's window).
class VistaParole
{
public:
    virtual CartellaParole &parole() = 0;
    // The word's picture or voice changed: its icon is made again when next shown.
    virtual void dimenticaIcona(const QString &parola) = 0;
    virtual void mostraLista(int lettere) = 0;
    virtual void seleziona(int lettere, int indice) = 0;
    // Between rimanda(true) and rimanda(false), the lists to show and the word to select are noted,
    // then shown once: a step of many words rebuilds each list once, not once per word.
    virtual void rimanda(bool rimanda) = 0;

protected:
    ~VistaParole() = default;
};

// Adds a word (with its new picture) or takes one out (with its companions, unless another list
// still holds the word).
class ComandoParola : public QUndoCommand
{
public:
    ComandoParola(VistaParole &f, bool aggiunta, int lettere, int indice, QString parola, QByteArray immagine,
        QUndoCommand *genitore = nullptr);
    void redo() override;
    void undo() override;

private:
    void metti();
    void leva();

    VistaParole &f;
    bool aggiunta;
    int lettere;
    int indice;
    QString parola;
    QByteArray immagine;
    Compagni prima;
};

// A new picture or voice for a word, or none.
class ComandoCompagno : public QUndoCommand
{
public:
    ComandoCompagno(
        VistaParole &f, Compagno c, QString parola, Contenuto nuovo, QUndoCommand *genitore = nullptr);
    void redo() override;
    void undo() override;

private:
    void imposta(const Contenuto &contenuto);

    VistaParole &f;
    Compagno c;
    QString parola;
    Contenuto nuovo;
    Contenuto prima;
};

// A word's new spelling; its picture and voice follow it to the new name.
class ComandoRinomina : public QUndoCommand
{
public:
    ComandoRinomina(VistaParole &f, int lettere, int indice, QString nuova);
    void redo() override;
    void undo() override;

private:
    VistaParole &f;
    int lettere;
    int indice;
    QString vecchia;
    QString nuova;
    Compagni primaVecchia;
    Compagni primaNuova;
};

// What another copy brings (new words with their pictures and voices, pictures and voices for words
// here), as one step: `da` names the other copy in the undo action.
class ComandoArrivo : public QUndoCommand
{
public:
    ComandoArrivo(VistaParole &f, const unione::Piano &piano, const QString &da);
    void redo() override;
    void undo() override;

private:
    VistaParole &f;
};
