// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
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
    void paintEvent(QPaintEvent *evento) override;
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
    void paintEvent(QPaintEvent *evento) override;
};

// A picture that answers a click (or a touch, which Qt turns into one): a press and a release of the
// left button inside it. It never takes the keyboard focus, so a letter box keeps every key.
class ImmagineCliccabile : public QLabel
{
    Q_OBJECT
public:
    explicit ImmagineCliccabile(QWidget *genitore = nullptr);

signals:
    void cliccata();

protected:
    void mousePressEvent(QMouseEvent *evento) override;
    void mouseReleaseEvent(QMouseEvent *evento) override;

private:
    bool premuta = false;
};
