// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class QSoundEffect;

// The largest sound file the game plays: 4 MiB, some 24 seconds of CD-quality WAV and 10 seconds
// even at 48 kHz in 32-bit stereo, where the game's own sounds last about one second. A player
// decodes a sound whole into memory, so a bigger file is treated like a missing one: silent, and
// never read.
inline constexpr qint64 massimoByteSuono = 4 * 1024 * 1024;

// Whether the game would try to play the file: a regular file, after links, of at most
// massimoByteSuono bytes. Only the file's size is looked at, never its contents.
bool suonoGiocabile(const QString &percorso);

// Plays a WAV file by path: starts at once, returns at once, and a new sound takes the place of
// one still playing. A missing or unplayable file, or a machine without sound, is simply silent.
class Riproduttore
{
public:
    virtual ~Riproduttore() = default;
    virtual void suona(const QString &percorso) = 0;
};

class RiproduttoreQt final : public Riproduttore
{
public:
    RiproduttoreQt();
    ~RiproduttoreQt() override;
    void suona(const QString &percorso) override;

private:
    QSoundEffect *effetto(const QString &percorso);

    QObject proprietario;
    QHash<QString, QSoundEffect *> effetti;
    QPointer<QSoundEffect> inCorso;
};
