// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

class QKeyEvent;

// A held key is one stroke, whatever the windowing system sends while it is down: the presses that
// auto-repeat adds reach the widgets marked as repeats (a letter box still receives their
// characters; a button is pressed once), a held Enter presses nothing more, and the key is released
// once. Installed on the application, it sees each key event once, at its window.
//
// A key held while a window opens or closes on its press is one stroke too: its repeats in the next
// window press nothing there.
//
// On X11 the server is asked for detectable auto-repeat, so that a held key sends no release until
// it is let go. A server that refuses sends a release before each repeated press, and Qt marks it
// as a repeat only when the press has already arrived: there each release is held back for a
// moment, and dropped when the same key's press follows at the same instant.
class TastiTenuti final : public QObject
{
    Q_OBJECT
public:
    enum class Rilasci {
        veri, // each release is a key let go, or is marked as a repeat
        dubbi, // a release may be auto-repeat's, followed at once by a press
    };

    // ritardo and passo: the keyboard's auto-repeat delay and interval, in ms.
    explicit TastiTenuti(Rilasci rilasci, quint64 ritardo = ritardoPredefinito,
        quint64 passo = passoPredefinito, QObject *genitore = nullptr);
    ~TastiTenuti() override;

    // Asks the X server for detectable auto-repeat when there is one, and installs a filter that
    // trusts the releases only if the server agreed. Returns the filter, owned by the application.
    static TastiTenuti *installa();

    // How long a release is held back when releases are in doubt.
    static constexpr int attesaRilascio = 40; // ms
    // The X server's own auto-repeat delay, used where the real one cannot be asked.
    static constexpr quint64 ritardoPredefinito = 660; // ms
    static constexpr quint64 passoPredefinito = 40; // ms

protected:
    bool eventFilter(QObject *oggetto, QEvent *evento) override;

private:
    bool pressione(QObject *finestra, QKeyEvent *evento);
    bool rilascio(QObject *finestra, QKeyEvent *evento);
    void consegnaSospeso();
    void controllaSpostati();
    void invia(QObject *finestra, QKeyEvent *evento);

    Rilasci rilasci;
    quint64 ritardoRipetizione;
    quint64 passoRipetizione;
    struct Tasto {
        quint64 premuto; // time of the last press
        bool spostato; // the focus went to another window since
        bool verificabile; // and the keyboard can tell whether the key is still down
    };
    QHash<quint32, Tasto> giu; // keys down
    QPointer<QObject> destinatarioSospeso;
    std::unique_ptr<QKeyEvent> sospeso;
    QTimer timer;
    QTimer tenuti; // looks up the keys held across a change of window
    const QEvent *inviato = nullptr;
};
