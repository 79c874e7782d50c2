// SPDX-License-Identifier: GPL-3.0-or-later
// A word's voice in the editor: trimming, loudness and the WAV the game reads, on known signals; the
// computer's voice with espeak-ng and without it; the recording dialog over a scripted microphone;
// and the window saving, removing and bringing back a voice as it does a picture.

#include "editor/DialogoParola.h"
#include "editor/DialogoVoce.h"
#include "editor/FinestraParole.h"
#include "editor/Voce.h"
#include "editor/VoceComputer.h"
#include "ui/wav.h"

#include "domande_finte.h"
#include "finte.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <random>

using Campioni = std::vector<float>;
Q_DECLARE_METATYPE(Campioni)

namespace
{

constexpr int hz = 44100;

// A signal from pieces: {seconds, RMS dBFS of a 300 Hz tone; below -100 digital silence}, over a
// noise floor at `rumore` dBFS.
Campioni segnale(std::initializer_list<std::pair<double, double>> pezzi, double rumore = -70)
{
    std::mt19937 caso(7);
    std::normal_distribution<float> gauss(0, float(std::pow(10.0, rumore / 20.0)));
    Campioni c;
    for (const auto &[secondi, db] : pezzi) {
        const double ampiezza = db < -100 ? 0 : std::sqrt(2.0) * std::pow(10.0, db / 20.0);
        for (int i = 0; i < int(secondi * hz); ++i)
            c.push_back(
                float(ampiezza * std::sin(2 * M_PI * 300 * i / hz)) + (rumore < -100 ? 0 : gauss(caso)));
    }
    return c;
}

// The samples back from a WAV, through the game's own reader.
Campioni riletti(const QByteArray &file, int *frequenza = nullptr)
{
    const wav::Lettura l = wav::leggi(file);
    if (!l.valida() || l.suono.campione != wav::Campione::s16 || l.suono.canali != 1)
        return {};
    if (frequenza)
        *frequenza = l.suono.frequenza;
    return voce::campioniDi(l.suono);
}

class RegistratoreFinto final : public Registratore
{
public:
    Campioni registrazione;
    Stato dopoFerma = Stato::finita;
    QString messaggio;
    Stato s = Stato::fermo;
    int avvii = 0;

    void avvia() override { s = Stato::registra, ++avvii; }
    void ferma() override { s = dopoFerma; }
    Stato stato() const override { return s; }
    float livello() const override { return s == Stato::registra ? 0.5f : 0.0f; }
    Campioni campioni() const override { return registrazione; }
    QString errore() const override { return messaggio; }
};

} // namespace

class TestVoce : public QObject
{
    Q_OBJECT

private slots:
    void preparazione_data()
    {
        QTest::addColumn<Campioni>("registrata");
        QTest::addColumn<double>("tolto"); // seconds expected off the start; -1: no voice found
        QTest::addColumn<double>("durata"); // of the voice kept, margins included
        const double margini = voce::margineInizio + voce::margineFine;
        QTest::newRow("silence, a tone, silence: the tone and its margins stay")
            << segnale({{0.5, -200}, {0.6, -30}, {0.8, -200}}) << 0.5 - voce::margineInizio << 0.6 + margini;
        QTest::newRow("digital silence around: the same") << segnale({{0.3, -200}, {0.4, -20}, {0.3, -200}},
            -200) << 0.3 - voce::margineInizio << 0.4 + margini;
        QTest::newRow("a click before the word is not the word")
            << segnale({{0.3, -200}, {0.01, -10}, {0.3, -200}, {0.5, -25}, {0.4, -200}})
            << 0.61 - voce::margineInizio << 0.5 + margini;
        QTest::newRow("a soft syllable after a pause stays with the word")
            << segnale({{0.4, -200}, {0.3, -20}, {0.15, -200}, {0.2, -45}, {0.5, -200}})
            << 0.4 - voce::margineInizio << 0.65 + margini;
        QTest::newRow("a quiet microphone is brought up") << segnale({{0.5, -200}, {0.5, -50}, {0.5, -200}},
            -80) << 0.5 - voce::margineInizio << 0.5 + margini;
        QTest::newRow("a loud one, brought down")
            << segnale({{0.2, -200}, {0.7, -3}, {0.2, -200}}) << 0.2 - voce::margineInizio << 0.7 + margini;
        QTest::newRow("no pause at the start: nothing to trim there")
            << segnale({{0.5, -20}, {0.5, -200}}) << 0.0 << 0.5 + voce::margineFine;
        QTest::newRow("noise only: no voice") << segnale({{2.0, -200}}, -40) << -1.0 << 0.0;
        QTest::newRow("digital silence: no voice") << segnale({{2.0, -200}}, -200) << -1.0 << 0.0;
        QTest::newRow("shorter than a syllable: no voice") << Campioni(100, 0.5f) << -1.0 << 0.0;
    }

    void preparazione()
    {
        QFETCH(Campioni, registrata);
        QFETCH(double, tolto);
        QFETCH(double, durata);
        const voce::Risultato r = voce::prepara(registrata, hz);
        if (tolto < 0) {
            QVERIFY(r.wav.isEmpty());
            QVERIFY(r.errore.contains(QStringLiteral("Non ho sentito")));
            return;
        }
        QVERIFY2(r.errore.isEmpty(), qPrintable(r.errore));
        int frequenza = 0;
        const Campioni v = riletti(r.wav, &frequenza);
        QCOMPARE(frequenza, hz);
        QVERIFY2(
            std::abs(r.secondiTolti[0] - tolto) <= 0.015, qPrintable(QString::number(r.secondiTolti[0])));
        const double secondi = double(v.size()) / hz;
        QVERIFY2(std::abs(secondi - durata) <= 0.025, qPrintable(QString::number(secondi)));
        QVERIFY2(std::abs(r.secondiTolti[0] + secondi + r.secondiTolti[1] - double(registrata.size()) / hz)
                < 0.001,
            "what was kept and what was trimmed make the recording");
        QVERIFY2(
            std::abs(voce::rmsDb(v) - voce::livelloRms) <= 0.5, qPrintable(QString::number(voce::rmsDb(v))));
        QVERIFY2(voce::piccoDb(v) <= voce::picco + 0.01, qPrintable(QString::number(voce::piccoDb(v))));
        // The new edges fade in and out: no click where the cut is.
        QVERIFY(std::abs(v.front()) < 0.01f && std::abs(v.back()) < 0.01f);
    }

    void livelloConPicchi_data()
    {
        QTest::addColumn<double>("crestaDb"); // how far the peaks stand over the RMS
        QTest::newRow("a plain tone: no limiting") << 3.0;
        QTest::newRow("a voice's usual peaks") << 15.0;
        QTest::newRow("clicks far over the voice") << 30.0;
    }

    // Peaks that would pass the ceiling at the target loudness are limited, not clipped, and the
    // loudness still reaches its target.
    void livelloConPicchi()
    {
        QFETCH(double, crestaDb);
        Campioni c = segnale({{1.0, -30}}, -200);
        const float spigolo = float(std::pow(10.0, (-30 + crestaDb) / 20.0));
        for (std::size_t i = 2000; i + 10 < c.size(); i += 4410)
            for (int k = 0; k < 10; ++k)
                c[i + k] = (k % 2 ? -1 : 1) * spigolo;
        const Campioni v = voce::livella(c, hz);
        QVERIFY2(
            std::abs(voce::rmsDb(v) - voce::livelloRms) <= 0.5, qPrintable(QString::number(voce::rmsDb(v))));
        QVERIFY(voce::piccoDb(v) <= voce::picco + 0.01);
        const Campioni r = riletti(voce::codifica(v, hz));
        QCOMPARE(r.size(), v.size());
        QVERIFY(std::abs(voce::rmsDb(r) - voce::rmsDb(v)) < 0.05);
    }

    void codifica()
    {
        const QByteArray b = voce::codifica({0.0f, 1.0f, -1.0f, 2.0f, 0.5f}, 22050);
        QCOMPARE(b.size(), 44 + 10);
        const wav::Lettura l = wav::leggi(b);
        QVERIFY(l.valida());
        QCOMPARE(l.suono.frequenza, 22050);
        QCOMPARE(l.suono.canali, 1);
        QCOMPARE(l.suono.campione, wav::Campione::s16);
        // Full scale both ways, and beyond it clamped, never wrapped round.
        QCOMPARE(l.suono.dati.toHex(), QByteArray("0000ff7f0180ff7f0040"));
    }

    // The synthesiser found with only `programma` on PATH.
    static vocecomputer::Sintetizzatore soloCon(const QString &programma, const QString &vociFestival)
    {
        QTemporaryDir cartella;
        const QString vero = QStandardPaths::findExecutable(programma);
        if (!vero.isEmpty())
            QFile::link(vero, cartella.filePath(programma));
        const QByteArray percorso = qgetenv("PATH");
        qputenv("PATH", cartella.path().toLocal8Bit());
        vocecomputer::Sintetizzatore s = vocecomputer::sintetizzatore(vociFestival);
        qputenv("PATH", percorso);
        if (!s.programma.isEmpty())
            s.programma = vero;
        return s;
    }

    void voceDelComputer_data()
    {
        QTest::addColumn<QString>("programma");
        QTest::addColumn<QString>("testo");
        for (const char *p : {"espeak-ng", "text2wave"}) {
            QTest::addRow("%s: a word", p) << p << QStringLiteral("cane");
            QTest::addRow("%s: a pronunciation hint with its accent", p) << p << QStringLiteral("àncora");
            QTest::addRow("%s: a hint that looks like an option is still text", p)
                << p << QStringLiteral("-v casa");
        }
    }

    void voceDelComputer()
    {
        QFETCH(QString, programma);
        QFETCH(QString, testo);
        const vocecomputer::Sintetizzatore s
            = soloCon(programma, QStringLiteral("/usr/share/festival/voices/italian"));
        QVERIFY2(!s.programma.isEmpty(),
            qPrintable(programma + QStringLiteral(" is installed for the tests (tools/install-deps.sh)")));
        QElapsedTimer t;
        t.start();
        const voce::Risultato r = vocecomputer::voce(testo, s);
        qInfo("computer voice of %s: %lld ms", qPrintable(testo), t.elapsed());
        QVERIFY2(r.errore.isEmpty(), qPrintable(r.errore));
        int frequenza = 0;
        const Campioni v = riletti(r.wav, &frequenza);
        QVERIFY(frequenza > 0);
        const double secondi = double(v.size()) / frequenza;
        // Slow, yet one word: espeak's own rate says "cane" in under half a second.
        QVERIFY2(secondi > 0.5 && secondi < 2.5, qPrintable(QString::number(secondi)));
        QVERIFY(std::abs(voce::rmsDb(v) - voce::livelloRms) <= 0.5);
        QVERIFY(voce::piccoDb(v) <= voce::picco + 0.01);
    }

    // No synthesiser, or festival without an Italian voice: a clear message, no voice.
    void senzaSintetizzatore()
    {
        QTemporaryDir senzaVoci;
        for (const vocecomputer::Sintetizzatore &s : {soloCon(QStringLiteral("nessuno"), senzaVoci.path()),
                 soloCon(QStringLiteral("text2wave"), senzaVoci.path())}) {
            QVERIFY(s.programma.isEmpty());
            const voce::Risultato r = vocecomputer::voce(QStringLiteral("cane"), s);
            QVERIFY(r.wav.isEmpty());
            QVERIFY2(r.errore.contains(QStringLiteral("non è installata"))
                    && r.errore.contains(QStringLiteral("espeak-ng")),
                qPrintable(r.errore));
        }
    }

    // Without a synthesiser the window and the dialog say what to install, and nothing changes.
    void senzaSintetizzatoreNellaFinestra()
    {
        QTemporaryDir temp;
        QFile lista(temp.filePath(QStringLiteral("lista4.txt")));
        QVERIFY(lista.open(QIODevice::WriteOnly));
        lista.write("cane\n");
        lista.close();
        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(temp.path()));
        RegistratoreFinto microfono;
        RiproduttoreFinto altoparlante;
        DialogoVoce d(QStringLiteral("cane"), QByteArray(), microfono, altoparlante);
        QTemporaryDir vuota;
        const QByteArray percorso = qgetenv("PATH");
        qputenv("PATH", vuota.path().toLocal8Bit());
        const int fatte = f.vociDelComputer();
        QTest::mouseClick(d.bottoneComputer, Qt::LeftButton);
        qputenv("PATH", percorso);
        QCOMPARE(fatte, 0);
        QCOMPARE(f.pila.count(), 0);
        QVERIFY(!f.dati()->haVoce(QStringLiteral("cane")));
        QCOMPARE(domande.avvisi.size(), 1);
        for (const QString &detto : {domande.avvisi.first(), d.esito->text()})
            QVERIFY2(detto.contains(QStringLiteral("non è installata"))
                    && detto.contains(QStringLiteral("espeak-ng")),
                qPrintable(detto));
        QVERIFY(d.voce().isEmpty() && !d.conferma->isEnabled());
    }

    // No server where the user named one: the recorder says so, at once, and records nothing.
    void senzaServer()
    {
        const QByteArray prima = qgetenv("PULSE_SERVER");
        qputenv("PULSE_SERVER", "unix:/nonexistent/batticco/native");
        RegistratorePulse r;
        r.avvia();
        QTRY_COMPARE_WITH_TIMEOUT(r.stato(), Registratore::Stato::errore, 5000);
        QVERIFY(r.errore().contains(QStringLiteral("server dei suoni")));
        QVERIFY(r.campioni().empty());
        r.ferma();
        QCOMPARE(r.stato(), Registratore::Stato::errore);
        prima.isNull() ? qunsetenv("PULSE_SERVER") : qputenv("PULSE_SERVER", prima);
    }

    // Registra, Ferma, and the voice is heard at once; OK keeps it. A recording with no voice, and a
    // microphone that is not there, say so and keep nothing.
    void dialogo()
    {
        RegistratoreFinto microfono;
        RiproduttoreFinto altoparlante;
        microfono.registrazione = segnale({{0.5, -200}, {0.5, -30}, {0.5, -200}});
        DialogoVoce d(QStringLiteral("cane"), QByteArray(), microfono, altoparlante);
        QVERIFY(!d.conferma->isEnabled());
        QVERIFY(!d.bottoneAscolta->isEnabled());
        QTest::mouseClick(d.bottoneRegistra, Qt::LeftButton);
        QCOMPARE(microfono.avvii, 1);
        QVERIFY(!d.bottoneRegistra->isEnabled() && d.bottoneFerma->isEnabled() && !d.conferma->isEnabled());
        QTRY_VERIFY(d.livello->value() > 80); // a peak of 0.5 is -6 dBFS
        QTest::mouseClick(d.bottoneFerma, Qt::LeftButton);
        QVERIFY(d.bottoneRegistra->isEnabled() && !d.bottoneFerma->isEnabled());
        QCOMPARE(d.livello->value(), 0);
        QVERIFY2(d.esito->text().startsWith(QStringLiteral("Registrata")), qPrintable(d.esito->text()));
        QCOMPARE(altoparlante.suonati.size(), 1);
        QFile sentito(altoparlante.suonati.first());
        QVERIFY(sentito.open(QIODevice::ReadOnly));
        QCOMPARE(sentito.readAll(), d.voce());
        QVERIFY(d.conferma->isEnabled());
        QTest::mouseClick(d.bottoneAscolta, Qt::LeftButton);
        QCOMPARE(altoparlante.suonati.size(), 2);

        // A second try without a voice keeps the first one.
        const QByteArray prima = d.voce();
        microfono.registrazione = segnale({{1.5, -200}});
        QTest::mouseClick(d.bottoneRegistra, Qt::LeftButton);
        QTest::mouseClick(d.bottoneFerma, Qt::LeftButton);
        QVERIFY(d.esito->text().startsWith(QStringLiteral("Non ho sentito")));
        QCOMPARE(d.voce(), prima);

        microfono.dopoFerma = Registratore::Stato::errore;
        microfono.messaggio = QStringLiteral("Non trovo un microfono.");
        QTest::mouseClick(d.bottoneRegistra, Qt::LeftButton);
        QTest::mouseClick(d.bottoneFerma, Qt::LeftButton);
        QCOMPARE(d.esito->text(), microfono.messaggio);

        // The computer's voice says the hint, not the word.
        d.pronuncia->setText(QStringLiteral("càne"));
        QTest::mouseClick(d.bottoneComputer, Qt::LeftButton);
        QVERIFY2(d.esito->text().contains(QStringLiteral("«càne»")), qPrintable(d.esito->text()));
        QVERIFY(d.voce() != prima && !d.voce().isEmpty());
    }

    // Adding a word offers its voice, for the word as typed; a voice made for another word is dropped.
    void voceDellaParolaNuova()
    {
        DialogoParola d(
            4, [](const QString &p) { return p.size() == 4 ? QString() : QStringLiteral("no"); }, QString());
        QStringList chieste;
        d.offriVoce([&](const QString &p) {
            chieste << p;
            return QByteArray("RIFF");
        });
        d.campoParola->setText(QStringLiteral("fa"));
        QVERIFY(!d.bottoneVoce->isEnabled());
        d.campoParola->setText(QStringLiteral("Faro"));
        QTest::mouseClick(d.bottoneVoce, Qt::LeftButton);
        QCOMPARE(chieste, QStringList {QStringLiteral("faro")});
        QCOMPARE(d.voce(), QByteArray("RIFF"));
        d.campoParola->setText(QStringLiteral("fari"));
        QVERIFY(d.voce().isEmpty());
    }

    // A voice is saved whole into voci/, removed with its word at the next save and brought back by
    // undoing the removal; the grid says which words have one.
    void finestra()
    {
        QTemporaryDir temp;
        const QString cartella = temp.path();
        QFile lista(cartella + QStringLiteral("/lista4.txt"));
        QVERIFY(lista.open(QIODevice::WriteOnly));
        lista.write("cane\nlupo\n");
        lista.close();
        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        QListWidget *g = f.griglie[1];
        QCOMPARE(g->item(0)->data(Qt::AccessibleTextRole).toString(), QStringLiteral("cane, senza immagine"));

        const QByteArray wav = voce::prepara(segnale({{0.2, -200}, {0.5, -30}, {0.2, -200}}), hz).wav;
        f.cambiaVoce(QStringLiteral("cane"), wav);
        QCOMPARE(g->item(0)->data(Qt::AccessibleTextRole).toString(),
            QStringLiteral("cane, senza immagine, con la voce"));
        QVERIFY(g->item(0)->toolTip().contains(QStringLiteral("ha la voce")));
        QVERIFY(f.salva());
        const QString file = cartella + QStringLiteral("/voci/cane.wav");
        QFile salvata(file);
        QVERIFY(salvata.open(QIODevice::ReadOnly));
        QCOMPARE(salvata.readAll(), wav);
        salvata.close();
        QVERIFY(f.dati()->haVoce(QStringLiteral("CANE")));

        QVERIFY(f.togli(4, 0));
        QVERIFY(QFile::exists(file)); // not before the save
        QVERIFY(f.salva());
        QVERIFY(!QFile::exists(file));
        f.pila.undo();
        QVERIFY(f.salva());
        QVERIFY(salvata.open(QIODevice::ReadOnly));
        QCOMPARE(salvata.readAll(), wav);
        salvata.close();

        // Undoing a new voice takes it back before it is ever saved.
        f.cambiaVoce(QStringLiteral("lupo"), wav);
        f.pila.undo();
        QVERIFY(f.salva());
        QVERIFY(!QFile::exists(cartella + QStringLiteral("/voci/lupo.wav")));

        // The computer's voice for lupo alone, as cane has one; one step to undo.
        QCOMPARE(f.vociDelComputer(), 1);
        QVERIFY(f.dati()->haVoce(QStringLiteral("lupo")));
        QVERIFY(f.salva());
        QVERIFY(wav::leggi([&] {
            QFile l(cartella + QStringLiteral("/voci/lupo.wav"));
            return l.open(QIODevice::ReadOnly) ? l.readAll() : QByteArray();
        }())
                    .valida());
        QCOMPARE(f.vociDelComputer(), 0);
        QCOMPARE(domande.avvisi.last(), QStringLiteral("Ogni parola ha già la sua voce."));
    }
};

QTEST_MAIN(TestVoce)
#include "tst_voce.moc"
