// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Registra la voce": the teacher says the word into the microphone (Registra, Ferma, a level
// meter meanwhile), or has the computer say it, hears it back (Ascolta) and keeps it (OK) or drops
// it (Annulla). What is kept is already trimmed and levelled, a WAV the game plays as it is.

#include <QDialog>
#include <QTemporaryDir>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class Registratore;
class Riproduttore;

class DialogoVoce : public QDialog
{
    Q_OBJECT
public:
    // `attuale` is the word's voice so far (empty when none), heard with Ascolta until a new one is made.
    DialogoVoce(const QString &parola, const QByteArray &attuale, Registratore &registratore,
        Riproduttore &riproduttore, QWidget *genitore = nullptr);
    ~DialogoVoce() override;

    // The new voice, empty when none was made.
    QByteArray voce() const { return nuova; }

    void registra();
    void ferma();
    void ascolta();
    void voceDelComputer();

    QPushButton *bottoneRegistra = nullptr;
    QPushButton *bottoneFerma = nullptr;
    QProgressBar *livello = nullptr;
    QLabel *esito = nullptr;
    QPushButton *bottoneAscolta = nullptr;
    QLineEdit *pronuncia = nullptr;
    QPushButton *bottoneComputer = nullptr;
    QPushButton *conferma = nullptr;
    QPushButton *annulla = nullptr;

private:
    void controllaRegistrazione();
    void tieni(const QByteArray &wav, const QString &come);
    void aggiorna();

    QString parola;
    QByteArray attuale;
    QByteArray nuova;
    Registratore &registratore;
    Riproduttore &riproduttore;
    QTimer *orologio = nullptr;
    bool registrando = false;
    QTemporaryDir ascolti; // the voices heard with Ascolta: the game's player plays files
    int ascoltate = 0;
};
