// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class QSoundEffect;

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
