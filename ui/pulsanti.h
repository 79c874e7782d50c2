// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>
#include <QToolButton>

// Push buttons that behave as on the classic desktop: a focused button is pressed by Space and
// also by Enter, which Qt's buttons ignore outside a dialog. A held Enter presses once. They look like
// plain system buttons in the classic light colours, whatever the colour of the window they sit on.

class Pulsante : public QPushButton
{
    Q_OBJECT
public:
    explicit Pulsante(const QString &testo, QWidget *genitore = nullptr);

protected:
    void keyPressEvent(QKeyEvent *evento) override;
};

// A graphical button: its picture centred above its caption.
class PulsanteGrafico : public QToolButton
{
    Q_OBJECT
public:
    explicit PulsanteGrafico(QWidget *genitore = nullptr);

    // The picture above the caption, greyed when the button is disabled as the classic colours grey it.
    void impostaIcona(const QString &risorsa);

protected:
    void keyPressEvent(QKeyEvent *evento) override;
};
