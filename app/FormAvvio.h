// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "feedback/ModuloColoriSuoni.h"

#include <QPointer>
#include <QWidget>

class PulsanteGrafico;
class QLabel;
class lettere;
struct Piattaforma;

// The start window: the program's name in very large letters and the "Avvio" button, on a colour
// drawn from the palette every run.
class FormAvvio : public QWidget
{
    Q_OBJECT
public:
    explicit FormAvvio(Piattaforma &piattaforma, QWidget *genitore = nullptr);

    void Form_Load();
    void Command1_Click();

    QLabel *Label1 = nullptr;
    PulsanteGrafico *Command1 = nullptr;

    // The game window once "Avvio" has made it.
    QPointer<lettere> gioco;

protected:
    void paintEvent(QPaintEvent *evento) override;

private:
    void preparaGioco(int passo);

    Piattaforma &p;
    ModuloColoriSuoni moduloColoriSuoni;
    bool dipinta = false;
};
