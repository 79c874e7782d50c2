// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>
#include <vector>

// Records a few seconds of the microphone: the desktop sound server's default source, as mono
// samples between -1 and 1. Every call returns at once; the recording runs elsewhere and is looked
// at by polling, so a window asks a few times a second how it goes and what the level is.
class Registratore
{
public:
    enum class Stato {
        fermo, // nothing recorded yet
        apertura, // reaching the server and the microphone
        registra,
        finita, // stopped, or full: campioni() holds the recording
        errore, // nothing could be recorded: errore() says why, in Italian
    };

    static constexpr int frequenza = 44100;
    static constexpr int massimiSecondi = 5;

    virtual ~Registratore() = default;
    // A new recording, in place of the last; it ends by itself after massimiSecondi.
    virtual void avvia() = 0;
    // Ends the recording; what was recorded stays.
    virtual void ferma() = 0;
    virtual Stato stato() const = 0;
    // The loudest sample heard in the last tenth of a second, 0 to 1, for a level meter.
    virtual float livello() const = 0;
    virtual std::vector<float> campioni() const = 0;
    virtual QString errore() const = 0;
};

// Records through the desktop's sound server with its client library, the same way and under the
// same rules as the game's sound player (serverPulse.h): on a thread of its own, nothing written,
// no server started.
class RegistratorePulse final : public Registratore
{
public:
    RegistratorePulse();
    ~RegistratorePulse() override;
    void avvia() override;
    void ferma() override;
    Stato stato() const override;
    float livello() const override;
    std::vector<float> campioni() const override;
    QString errore() const override;

    struct Motore;

private:
    std::unique_ptr<Motore> motore; // made at the first recording
};
