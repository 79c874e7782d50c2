// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The platform services for the benchmarks: the real random sequence, sounds that go nowhere,
// message boxes answered at once, an exit that only remembers its status, and a data folder of its
// own. Nothing here records what happened: a benchmark runs for millions of events.

#include "ui/casuale.h"
#include "ui/errori.h"
#include "ui/messaggi.h"
#include "ui/piattaforma.h"
#include "ui/suoni.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <stdexcept>

class RiproduttoreMuto final : public Riproduttore
{
public:
    void suona(const QString &) override { }
    void suonaSeGiocabile(const QString &) override { }
};

class MessaggiSubito final : public Messaggi
{
public:
    int mostra(const QString &, int, const QString &) override { return risposta::ok; }
};

class UscitaRicordata final : public Uscita
{
public:
    int stato = -1; // -1: the program has not ended
    void termina(int s) override
    {
        if (stato < 0)
            stato = s;
    }
};

struct PiattaformaBanco {
    GeneratoreOrologio casuale;
    RiproduttoreMuto riproduttore;
    MessaggiSubito messaggi;
    UscitaRicordata uscita;
    QTemporaryDir cartella;
    Piattaforma piattaforma {casuale, riproduttore, messaggi, uscita, cartella.path()};

    QString percorso(const QString &relativo) const { return cartella.path() + u'/' + relativo; }

    void scrivi(const QString &relativo, const QByteArray &contenuto) const
    {
        const QString p = percorso(relativo);
        QDir().mkpath(p.section(u'/', 0, -2));
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(contenuto) != contenuto.size())
            throw std::runtime_error("cannot write a benchmark file");
    }
};
