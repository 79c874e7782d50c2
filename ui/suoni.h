// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <memory>

// The largest sound file the game plays: 4 MiB, some 24 seconds of CD-quality WAV and 10 seconds
// even at 48 kHz in 32-bit stereo, where the game's own sounds last about one second. A player
// holds a sound whole in memory, so a bigger file is treated like a missing one: silent, and
// never read.
inline constexpr qint64 massimoByteSuono = 4 * 1024 * 1024;

// Whether the game would try to play the file: a regular file, after links, of at most
// massimoByteSuono bytes. Only the file's size is looked at, never its contents.
bool suonoGiocabile(const QString &percorso);

// A word's voice, recorded by the teacher: "voci", the word as the game holds it, ".wav", found as
// the word's picture is (percorsi::fileParola). Empty when the word cannot be a file name.
QString percorsoVoce(const QString &cartellaDati, QStringView parola);

// Plays a WAV file by path: starts at once, returns at once, and a new sound takes the place of
// one still playing. A missing or unplayable file, or a machine without sound, is simply silent.
class Riproduttore
{
public:
    virtual ~Riproduttore() = default;
    virtual void suona(const QString &percorso) = 0;
    // As suona(), but a file that turns out not to play leaves the sound playing alone: a voice is
    // the teacher's own file, and one that cannot be played changes nothing the child hears.
    virtual void suonaSeGiocabile(const QString &percorso) = 0;
};

// Plays through the desktop's sound server (PulseAudio, or PipeWire's PulseAudio service), on a
// thread of its own: suona() only hands the path over, so a server that is slow, stuck or gone
// never holds up the windows. Every sound after a failure tries the server afresh, so sound
// comes back once a server or a device is there again.
//
// It writes nothing: the server is looked for where it already is (never by creating a runtime
// folder), no server is ever started, and where the user has no cookie file none is made; a
// server of the same user lets its user in by the socket's credentials.
class RiproduttorePulse final : public Riproduttore
{
public:
    RiproduttorePulse();
    ~RiproduttorePulse() override;
    void suona(const QString &percorso) override;
    void suonaSeGiocabile(const QString &percorso) override;

    struct Motore;

private:
    std::unique_ptr<Motore> motore; // made at the first sound: the first window needs no sound
};
