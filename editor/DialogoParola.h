// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The dialog that adds a word with its picture, or gives a word a new picture: the word with its
// live check, the photo (from a file or dropped on the dialog) and the square frame placed on it.

#include "editor/Riquadro.h"

#include <QDialog>
#include <QImage>

#include <functional>

class Inquadratura;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

class DialogoParola : public QDialog
{
    Q_OBJECT
public:
    // `controllo` says what is wrong with a word, empty when it is fine. With `parolaFissa` the word
    // is given (a new picture for it) and only the picture is chosen.
    DialogoParola(int lettere, std::function<QString(const QString &)> controllo, const QString &parolaFissa,
        QWidget *genitore = nullptr);

    QString parola() const;
    QImage immagine() const; // the framed square, as the game's picture
    bool caricaFoto(const QString &percorso); // false (and says why in the dialog) when it cannot
    // Shows "Registra la voce…", which gets the word's voice from `registra` (empty when none was made).
    void offriVoce(std::function<QByteArray(const QString &parola)> registra);
    QByteArray voce() const { return registrata; }

    QLineEdit *campoParola = nullptr;
    QLabel *esitoParola = nullptr;
    QLineEdit *campoFile = nullptr;
    QPushButton *sfoglia = nullptr;
    Inquadratura *inquadratura = nullptr;
    QSlider *zoom = nullptr;
    QPushButton *centra = nullptr;
    QLabel *esitoFoto = nullptr;
    QLabel *anteprima = nullptr;
    QPushButton *bottoneVoce = nullptr;
    QLabel *esitoVoce = nullptr;
    QPushButton *conferma = nullptr;
    QPushButton *annulla = nullptr;

protected:
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dropEvent(QDropEvent *e) override;

private:
    void aggiorna();

    std::function<QString(const QString &)> controllo;
    bool fissa;
    std::function<QByteArray(const QString &)> registraVoce;
    QByteArray registrata;
    riquadro::Foto aperta; // the photo in the frame, without its pixels (the frame holds them)
};
