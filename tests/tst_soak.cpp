// SPDX-License-Identifier: GPL-3.0-or-later
// A hundred thousand random events on the game window (keys on screen and on the keyboard, menu commands,
// "avanti", help), from a fixed seed, with the game's invariants checked after every one.

#include "finte.h"
#include "game/lettere.h"
#include "game/regole.h"
#include "processi.h"
#include "ui/caselle.h"
#include "ui/pulsanti.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTest>

#include <random>

#include <malloc.h>

namespace
{

// The heap the program holds in use, in kB: what a leak makes grow, whatever the allocator keeps.
qint64 heapInUsoKb()
{
    const struct mallinfo2 m = mallinfo2();
    return qint64((m.uordblks + m.hblkhd) / 1024);
}

int spuntate(std::initializer_list<QAction *> gruppo)
{
    int n = 0;
    for (QAction *a : gruppo)
        n += a->isChecked() ? 1 : 0;
    return n;
}

// What one random event did.
struct Passo {
    QString descrizione;
    bool avanti = false; // "avanti" pressed
    bool azzera = false; // the counters reset
    bool saltato = false; // nothing to do: no box to type in, or "avanti" not yet enabled
};

// One event drawn from the sequence: mostly a key, on screen or typed (mostly the expected letter,
// so that words get finished), sometimes a menu command, "avanti" or help.
Passo unEvento(lettere &w, std::mt19937 &caso, const QString &attesa)
{
    QAction *const menu[] = {w.mnuAzzera, w.mnu3, w.mnu4, w.mnu5, w.mnu6, w.mnuVideo, w.mnuPc, w.mnumaiuscoli,
        w.mnuminuscoli, w.mnuInforma, w.mnuEsci};
    Passo p;
    const int tipo = int(caso() % 100);

    if (tipo < 70 && !w.mnuPc->isChecked()) {
        // A key on screen: mostly the expected letter, so that words get finished.
        int i = int(caso() % 26);
        if (caso() % 4 != 0) {
            for (int k = 0; k < 26; ++k) {
                if (w.batticco[std::size_t(k)]->text() == attesa)
                    i = k;
            }
        }
        p.descrizione = QStringLiteral("click on key %1").arg(w.batticco[std::size_t(i)]->text());
        QTest::mouseClick(w.batticco[std::size_t(i)], Qt::LeftButton);
    } else if (tipo < 70) {
        // A key typed into the letter box that has the focus.
        CasellaTesto *casella = nullptr;
        for (CasellaTesto *t : w.Text1) {
            if (t->isEnabled() && !t->isHidden())
                casella = t;
        }
        if (!casella) {
            p.saltato = true;
            return p;
        }
        static const char tasti[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";
        const int scelta = int(caso() % 10);
        if (scelta < 6 && attesa.size() == 1 && casella->text().isEmpty()) {
            p.descrizione = QStringLiteral("expected key ") + attesa;
            QTest::keyClick(casella, attesa.at(0).toLatin1());
        } else if (scelta < 8) {
            p.descrizione = QStringLiteral("backspace");
            QTest::keyClick(casella, Qt::Key_Backspace);
        } else if (scelta == 8) {
            p.descrizione = QStringLiteral("return");
            QTest::keyClick(casella, Qt::Key_Return);
        } else {
            const char c = tasti[caso() % (sizeof tasti - 1)];
            p.descrizione = QStringLiteral("key %1").arg(QLatin1Char(c));
            QTest::keyClick(casella, c);
        }
    } else if (tipo < 78) {
        QAction *a = menu[caso() % std::size(menu)];
        p.descrizione = QStringLiteral("menu ") + a->objectName();
        p.azzera = a == w.mnuAzzera;
        a->trigger();
    } else if (tipo < 96) {
        if (!w.Command1->isEnabled()) {
            p.saltato = true;
            return p;
        }
        p.descrizione = QStringLiteral("avanti");
        p.avanti = true;
        QTest::mouseClick(w.Command1, Qt::LeftButton);
    } else {
        p.descrizione = QStringLiteral("help");
        QTest::mouseClick(w.SSCommand1, Qt::LeftButton);
    }
    return p;
}

// The game's invariants after an event, by name; the first one broken, or none.
QString rotto(const lettere &w, const PiattaformaFinta &f, bool facciaDecisa, const QString &etichettaEsatti)
{
    const StatoGioco &s = w.stato;
    // One letter place per letter of the chosen list, on the keyboard chosen.
    int posti = 0;
    for (int i = 0; i < 6; ++i) {
        posti += w.mnuPc->isChecked() ? !w.Text1[std::size_t(i)]->isHidden()
                                      : !w.Label1[std::size_t(i)]->isHidden();
    }
    const std::pair<const char *, bool> invarianti[] = {
        {"the game goes on", f.uscita.stato == -1},
        {"position within the word", s.posizione >= 0 && s.posizione <= s.lunghezza},
        {"counters not negative", s.esatti >= 0 && s.errati >= 0},
        {"word index within the list", s.indiceParola >= 1 && s.indiceParola <= s.numParole},
        // Both faces stand until a handler first picks one.
        {"one face", !facciaDecisa || w.ComandoIconaSi->isHidden() != w.ComandoIconaNo->isHidden()},
        {"one list ticked", spuntate({w.mnu3, w.mnu4, w.mnu5, w.mnu6}) == 1},
        {"one keyboard ticked", spuntate({w.mnuVideo, w.mnuPc}) == 1},
        {"one letter case ticked", spuntate({w.mnumaiuscoli, w.mnuminuscoli}) == 1},
        // Errati always shows its counter; Esatti shows it as last written by "avanti" or a reset,
        // since help lowers the counter without writing it.
        {"Errati shows its counter", w.EtichettaErrati->text() == u' ' + QString::number(s.errati)},
        {"Esatti as last written", w.EtichettaEsatti->text() == etichettaEsatti},
        {"one letter place per letter", posti == s.lunghezza},
    };
    for (const auto &[nome, vero] : invarianti) {
        if (!vero)
            return QString::fromUtf8(nome);
    }
    return {};
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT
private slots:
    void centomilaEventi();
};

void TestSoak::centomilaEventi()
{
    PiattaformaFinta f;
    f.lista(3, {"ape", "oca", "gru", "re"});
    f.lista(4, {"cane", "lupo", "orso", "topo", "rana"});
    f.lista(5, {"gatto", "tigre", "zebra", "mucca"});
    f.lista(6, {"chiave", "cavallo", "pecora"}); // one word longer than its list, on purpose
    f.messaggi.risposta = risposta::no; // "Vuoi terminare?" is answered No
    f.casuale.valori.clear();
    std::mt19937 caso(20240611u);
    std::uniform_real_distribution<double> uniforme(0.0, 1.0);

    lettere w(f.piattaforma);
    f.piattaforma.protetto([&] { w.Form_Load(); });
    QCOMPARE(f.uscita.stato, -1);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    bool facciaDecisa = false; // both faces stand until a handler first picks one
    QString etichettaEsatti = w.EtichettaEsatti->text();
    qint64 residenteDopoMille = 0, heapDopoMille = 0;
    int parole = 0, erroriTotali = 0;
    std::size_t mostrati = 0;

    for (int evento = 0; evento < 100'000; ++evento) {
        // The fakes log every sound and message; the log is emptied as it goes, so that only the
        // game's own memory is measured. The events the window posts itself (a shown widget's, a
        // deleteLater) are delivered as the program's event loop would, or they pile up here.
        if (evento % 1000 == 0) {
            QCoreApplication::sendPostedEvents();
            mostrati += f.messaggi.mostrati.size();
            f.messaggi.mostrati.clear();
            f.riproduttore.suonati.clear();
        }
        if (evento == 10'000) {
            residenteDopoMille = prova::memoriaKb(QStringLiteral("self"), "VmRSS");
            heapDopoMille = heapInUsoKb();
        }
        // Every draw the game makes comes from the seeded sequence too.
        f.casuale.predefinito = uniforme(caso);
        const qint16 erratiPrima = w.stato.errati;
        const QString attesa
            = regole::letteraAttesa(w.stato.parole[std::size_t(w.stato.indiceParola)], w.stato.posizione);
        const Passo p = unEvento(w, caso, attesa);
        if (p.saltato)
            continue;

        parole += p.avanti ? 1 : 0;
        erroriTotali += w.stato.errati > erratiPrima ? 1 : 0;
        if (p.avanti || p.azzera || w.stato.errati != erratiPrima)
            facciaDecisa = true;
        if (p.avanti || p.azzera)
            etichettaEsatti = regole::testoConteggio(w.stato.esatti);
        const QString guasto = rotto(w, f, facciaDecisa, etichettaEsatti);
        QVERIFY2(guasto.isEmpty(),
            qPrintable(QStringLiteral("event %1 (%2): %3").arg(evento).arg(p.descrizione, guasto)));
    }
    // The run really played: words finished on both keyboards, wrong letters, boxes answered.
    qInfo("%d words finished, %d wrong letters, %d message boxes", parole, erroriTotali, int(mostrati));
    QVERIFY(parole > 3000);
    QVERIFY(erroriTotali > 3000);
    QVERIFY(mostrati > 1000);
    const qint64 residenteFine = prova::memoriaKb(QStringLiteral("self"), "VmRSS");
    const qint64 heapFine = heapInUsoKb();
    qInfo("resident memory: %lld kB after 10,000 events, %lld kB after 100,000; heap in use %lld kB, then "
          "%lld kB",
        residenteDopoMille, residenteFine, heapDopoMille, heapFine);
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer holds freed memory in quarantine, so resident memory grows by design; its
    // LeakSanitizer checks for leaks at exit instead.
    return;
#endif
    // 90,000 events play thousands of words and sounds; the heap in use grows by about 200 kB as
    // Qt's caches fill. A leak of 8 bytes an event would break the first bound; one of 24 the second.
    QVERIFY2(heapFine - heapDopoMille < 512,
        qPrintable(QStringLiteral("the heap in use grew by %1 kB").arg(heapFine - heapDopoMille)));
    QVERIFY2(residenteFine - residenteDopoMille < 2 * 1024,
        qPrintable(QStringLiteral("resident memory grew by %1 kB").arg(residenteFine - residenteDopoMille)));
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
