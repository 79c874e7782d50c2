// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Stand-ins for the platform services: scripted random draws, message boxes answered without a
// modal loop, sounds recorded by path, and an exit that only remembers its status.

#include "ui/casuale.h"
#include "ui/errori.h"
#include "ui/messaggi.h"
#include "ui/piattaforma.h"
#include "ui/suoni.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>
#include <QtEndian>

#include <deque>
#include <stdexcept>

class GeneratoreScriptato final : public GeneratoreCasuale
{
public:
    std::deque<double> valori;
    int estratti = 0;
    double predefinito = 0.0; // drawn once the script has run out

    double prossimo() override
    {
        ++estratti;
        if (valori.empty())
            return predefinito;
        const double r = valori.front();
        valori.pop_front();
        return r;
    }
};

// A WAV file as the sound's bytes: a RIFF header, a format chunk of 16 bytes and a data chunk
// (by default four bytes of silence, two 16-bit mono frames at 8 kHz).
inline QByteArray wavDiProva(quint16 codifica = 1, quint16 canali = 1, quint16 bit = 16,
    const QByteArray &dati = QByteArray(4, '\0'), quint32 frequenza = 8000)
{
    QByteArray b;
    auto u32 = [&b](quint32 v) { b.append(reinterpret_cast<const char *>(&(v = qToLittleEndian(v))), 4); };
    auto u16 = [&b](quint16 v) { b.append(reinterpret_cast<const char *>(&(v = qToLittleEndian(v))), 2); };
    const quint16 fotogramma = quint16(canali * (bit / 8));
    b += "RIFF";
    u32(quint32(36 + dati.size()));
    b += "WAVEfmt ";
    u32(16);
    u16(codifica);
    u16(canali);
    u32(frequenza);
    u32(frequenza * fotogramma);
    u16(fotogramma);
    u16(bit);
    b += "data";
    u32(quint32(dati.size()));
    return b + dati;
}

class RiproduttoreFinto final : public Riproduttore
{
public:
    QStringList suonati;
    void suona(const QString &percorso) override { suonati << percorso; }
    void suonaSeGiocabile(const QString &percorso) override { suonati << percorso; }
    // The file names only, without the folder: "si1.wav", "no.wav".
    QStringList nomi() const
    {
        QStringList n;
        for (const QString &s : suonati)
            n << QDir::fromNativeSeparators(s).section(u'/', -1);
        return n;
    }
};

class MessaggiFinti final : public Messaggi
{
public:
    struct Mostrato {
        QString testo;
        int stile;
        QString titolo;
    };
    std::vector<Mostrato> mostrati;
    int risposta = risposta::ok;

    int mostra(const QString &testo, int stile, const QString &titolo) override
    {
        mostrati.push_back({testo, stile, titolo.isEmpty() ? titoloApplicazione : titolo});
        return risposta;
    }
};

class UscitaFinta final : public Uscita
{
public:
    int stato = -1; // -1: the program has not ended
    void termina(int s) override
    {
        if (stato < 0)
            stato = s;
    }
};

// All the fakes together, with a data folder of its own.
struct PiattaformaFinta {
    GeneratoreScriptato casuale;
    RiproduttoreFinto riproduttore;
    MessaggiFinti messaggi;
    UscitaFinta uscita;
    QTemporaryDir cartella;
    Piattaforma piattaforma {casuale, riproduttore, messaggi, uscita, cartella.path()};

    QString percorso(const QString &relativo) const { return cartella.path() + u'/' + relativo; }

    void scrivi(const QString &relativo, const QByteArray &contenuto) const
    {
        const QString p = percorso(relativo);
        QDir().mkpath(p.section(u'/', 0, -2));
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(contenuto) != contenuto.size())
            throw std::runtime_error("cannot write test file");
    }

    // A small JPEG in one colour, so a test can tell which picture is shown.
    void immagine(const QString &nomeFile, QColor colore = Qt::red, QSize dimensione = QSize(48, 48)) const
    {
        QDir().mkpath(percorso(QStringLiteral("jpg")));
        QImage img(dimensione, QImage::Format_RGB32);
        img.fill(colore);
        if (!img.save(percorso(QStringLiteral("jpg/") + nomeFile), "JPEG"))
            throw std::runtime_error("cannot write test picture");
    }

    // A list file and a picture for each of its words.
    void lista(int lettere, const QStringList &parole) const
    {
        scrivi(QStringLiteral("lista%1.txt").arg(lettere), parole.join(u'\n').toUtf8() + '\n');
        for (const QString &p : parole)
            immagine(p.toLower() + QStringLiteral(".jpg"));
    }
};
