// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The editor's undoable steps. Each one keeps the companion files (picture, voice) of the words it
// touches as they were before it, so undoing it restores them at the next save however many saves
// came between: the old picture lives as long as the step does in the undo history.

#include "editor/CartellaParole.h"

#include <QUndoCommand>

class FinestraParole;

using Compagni = std::array<Contenuto, compagni.size()>;

// Adds a word (with its new picture) or takes one out (with its companions, unless another list
// still holds the word).
class ComandoParola : public QUndoCommand
{
public:
    ComandoParola(FinestraParole &f, bool aggiunta, int lettere, int indice, QString parola,
        QByteArray immagine, QUndoCommand *genitore = nullptr);
    void redo() override;
    void undo() override;

private:
    void metti();
    void leva();

    FinestraParole &f;
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
        FinestraParole &f, Compagno c, QString parola, Contenuto nuovo, QUndoCommand *genitore = nullptr);
    void redo() override;
    void undo() override;

private:
    void imposta(const Contenuto &contenuto);

    FinestraParole &f;
    Compagno c;
    QString parola;
    Contenuto nuovo;
    Contenuto prima;
};

// A word's new spelling; its picture and voice follow it to the new name.
class ComandoRinomina : public QUndoCommand
{
public:
    ComandoRinomina(FinestraParole &f, int lettere, int indice, QString nuova);
    void redo() override;
    void undo() override;

private:
    FinestraParole &f;
    int lettere;
    int indice;
    QString vecchia;
    QString nuova;
    Compagni primaVecchia;
    Compagni primaNuova;
};
