// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's window over a real folder: adding and removing words with their pictures, undo, what
// saving writes and removes, the questions before anything is lost, and the read-only installed game.

#include "base/errore.h"
#include "editor/CopiaPersonale.h"
#include "editor/DialogoParola.h"
#include "editor/FinestraParole.h"
#include "editor/Riquadro.h"
#include "game/ListaParole.h"
#include "game/VerificaDati.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "file_prova.h"

#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>

class DomandeFinte final : public Domande
{
public:
    std::deque<bool> risposte; // to chiedi(); no when it runs out
    std::deque<Salvataggio> salvataggi; // to chiediSalvataggio(); annulla when it runs out
    QStringList chieste;
    QStringList avvisi;

    std::function<void()> guasto; // run when a question is asked: a fault in the middle of a command
    bool chiedi(const QString &, const QString &testo, const QString &) override
    {
        chieste << testo;
        if (guasto)
            guasto();
        if (risposte.empty())
            return false;
        const bool r = risposte.front();
        risposte.pop_front();
        return r;
    }
    Salvataggio chiediSalvataggio(const QString &testo) override
    {
        chieste << testo;
        if (salvataggi.empty())
            return Salvataggio::annulla;
        const Salvataggio s = salvataggi.front();
        salvataggi.pop_front();
        return s;
    }
    void avvisa(const QString &, const QString &testo) override { avvisi << testo; }
    std::deque<int> scelte; // to scegli(); -1 (closed) when it runs out
    int scegli(const QString &, const QString &testo, const QStringList &) override
    {
        chieste << testo;
        if (scelte.empty())
            return -1;
        const int r = scelte.front();
        scelte.pop_front();
        return r;
    }
};

class TestFinestraParole : public QObject
{
    Q_OBJECT

    QTemporaryDir temp;
    QString cartella;
    QString installato;

    static void scrivi(const QString &percorso, const QByteArray &byte)
    {
        QVERIFY(scriviFile(percorso, byte));
    }
    static QImage tinta(QColor c)
    {
        QImage i(600, 400, QImage::Format_RGB32);
        i.fill(c);
        return i;
    }
    static QByteArray jpeg(QColor c) { return riquadro::jpeg(tinta(c)); }
    static QByteArray voce(const char *parola) { return QByteArray("RIFF voce di ") + parola; }

private slots:
    void init()
    {
        // A teacher's copy: a Windows-1252 list with CR LF, "cane" in two lists (its picture is shared).
        static int n = 0;
        cartella = temp.filePath(QStringLiteral("copia%1").arg(++n));
        installato = temp.filePath(QStringLiteral("installato%1").arg(n));
        for (const QString &c : {cartella, installato}) {
            scrivi(c + QStringLiteral("/batticco"), "programma");
            QFile::setPermissions(
                c + QStringLiteral("/batticco"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            scrivi(c + QStringLiteral("/lista4.txt"), "cane\r\nlupo\r\nperch\xE9\r\n");
            scrivi(c + QStringLiteral("/lista5.txt"), "gatto\r\ncane\r\n");
            for (const char *p : {"cane", "lupo", "gatto"})
                scrivi(c + QStringLiteral("/jpg/") + QString::fromLatin1(p) + QStringLiteral(".jpg"),
                    jpeg(Qt::gray));
        }
    }

    // Every file of a folder, by its path inside the folder.
    static QMap<QString, QByteArray> fotografia(const QString &cartella)
    {
        QMap<QString, QByteArray> file;
        QDirIterator it(cartella, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString p = it.next();
            file.insert(QDir(cartella).relativeFilePath(p), leggiFile(p));
        }
        return file;
    }

    // Undo after a save puts back on disk what the step changed, at the next save: every kind of
    // step, and redoing it after that brings its own files back.
    void annullaDopoSalvare_data()
    {
        QTest::addColumn<int>("passo");
        QTest::newRow("a new picture") << 0;
        QTest::newRow("a word removed with its picture and voice") << 1;
        QTest::newRow("a word added with its picture") << 2;
        QTest::newRow("a word renamed, picture and voice following it") << 3;
        QTest::newRow("a voice recorded") << 4;
        QTest::newRow("a voice taken away") << 5;
        QTest::newRow("two steps undone one by one") << 6;
    }
    void annullaDopoSalvare()
    {
        QFETCH(int, passo);
        scrivi(cartella + QStringLiteral("/voci/lupo.wav"), voce("lupo"));
        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        const auto prima = fotografia(cartella);
        int passi = 1;
        switch (passo) {
        case 0:
            f.cambiaImmagine(QStringLiteral("lupo"), tinta(Qt::red));
            break;
        case 1:
            domande.risposte = {true};
            QVERIFY(f.togli(4, 1));
            break;
        case 2:
            f.aggiungi(4, QStringLiteral("faro"), tinta(Qt::red));
            break;
        case 3:
            QVERIFY(f.rinomina(4, 1, QStringLiteral("lupa")));
            break;
        case 4:
            f.cambiaCompagno(Compagno::voce, QStringLiteral("cane"), {true, voce("cane")});
            break;
        case 5:
            f.cambiaCompagno(Compagno::voce, QStringLiteral("lupo"), {});
            break;
        case 6:
            f.cambiaImmagine(QStringLiteral("lupo"), tinta(Qt::red));
            QVERIFY(f.salva());
            QVERIFY(f.rinomina(4, 1, QStringLiteral("lupa")));
            passi = 2;
            break;
        }
        QVERIFY(f.salva());
        const auto dopo = fotografia(cartella);
        QVERIFY(dopo != prima);
        for (int i = 0; i < passi; ++i)
            f.pila.undo();
        QVERIFY(f.isWindowModified());
        QVERIFY(f.salva());
        QCOMPARE(fotografia(cartella), prima);
        for (int i = 0; i < passi; ++i)
            f.pila.redo();
        QVERIFY(f.salva());
        QCOMPARE(fotografia(cartella), dopo);
    }

    void aggiungiTogliSalva()
    {
        DomandeFinte domande;
        FinestraParole f(domande, QFileInfo(installato).canonicalFilePath(), QString());
        QVERIFY(f.apri(cartella));
        QVERIFY(f.modificabile());
        QCOMPARE(f.listaCorrente(), 4);
        QCOMPARE(f.griglie[1]->count(), 3);
        QCOMPARE(f.schede->tabText(1), QStringLiteral("4 lettere (3)"));

        f.aggiungi(4, QStringLiteral("faro"), tinta(Qt::red));
        QVERIFY(f.isWindowModified());
        QCOMPARE(f.griglie[1]->item(3)->text(), QStringLiteral("faro"));
        QVERIFY(f.mnuSalva->isEnabled());
        // Nothing is on disk before saving.
        QVERIFY(!QFileInfo::exists(cartella + QStringLiteral("/jpg/faro.jpg")));

        // Removing asks; "no" leaves the word.
        domande.risposte = {false};
        QVERIFY(!f.togli(4, 1));
        QCOMPARE(f.griglie[1]->count(), 4);
        QVERIFY(domande.chieste.last().contains(QStringLiteral("jpg/lupo.jpg")));
        domande.risposte = {true};
        QVERIFY(f.togli(4, 1));
        QCOMPARE(f.griglie[1]->count(), 3);

        QVERIFY(f.salva());
        QVERIFY(!f.isWindowModified());
        // The list keeps its encoding and line ends; the new picture is the game's JPEG.
        QCOMPARE(
            leggiFile(cartella + QStringLiteral("/lista4.txt")), QByteArray("cane\r\nperch\xE9\r\nfaro\r\n"));
        const QImage faro(cartella + QStringLiteral("/jpg/faro.jpg"), "jpeg");
        QCOMPARE(faro.size(), QSize(480, 480));
        QVERIFY(faro.pixelColor(240, 240).red() > 200);
        QVERIFY(!QFileInfo::exists(cartella + QStringLiteral("/jpg/lupo.jpg")));
        QCOMPARE(leggiFile(cartella + QStringLiteral("/lista5.txt")), QByteArray("gatto\r\ncane\r\n"));

        // Undo after the save brings the word back with its very picture.
        f.pila.undo();
        QVERIFY(f.isWindowModified());
        QVERIFY(f.salva());
        QCOMPARE(leggiFile(cartella + QStringLiteral("/lista4.txt")),
            QByteArray("cane\r\nlupo\r\nperch\xE9\r\nfaro\r\n"));
        QCOMPARE(leggiFile(cartella + QStringLiteral("/jpg/lupo.jpg")), jpeg(Qt::gray));
    }

    // An error escaping a command (here from the question "Togli la parola" asks) becomes a message:
    // the window stays, with her unsaved words, and the next command works.
    void erroreDiventaMessaggio_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("detto");
        QTest::newRow("Errore") << 0 << QStringLiteral("Non riesco a leggere il disco.");
        QTest::newRow("memoria esaurita") << 1 << QStringLiteral("la memoria del computer non basta.");
        QTest::newRow("altra eccezione") << 2 << QStringLiteral("vector::_M_range_check");
    }
    void erroreDiventaMessaggio()
    {
        QFETCH(int, tipo);
        QFETCH(QString, detto);
        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        f.aggiungi(4, QStringLiteral("faro"), tinta(Qt::red));
        domande.guasto = [tipo] {
            if (tipo == 0)
                throw Errore(QStringLiteral("Non riesco a leggere il disco."));
            if (tipo == 1)
                throw std::bad_alloc();
            throw std::out_of_range("vector::_M_range_check");
        };
        f.griglie[1]->setCurrentRow(1);
        f.mnuTogli->trigger();
        QCOMPARE(domande.avvisi.size(), 1);
        QVERIFY2(domande.avvisi.front().startsWith(QStringLiteral("Il comando non è riuscito: ") + detto),
            qPrintable(domande.avvisi.front()));
        QCOMPARE(f.griglie[1]->count(), 4);
        QVERIFY(f.isWindowModified());
        domande.guasto = nullptr;
        domande.risposte = {true};
        f.mnuTogli->trigger();
        QCOMPARE(f.griglie[1]->count(), 3);
        QVERIFY(f.salva());
        QCOMPARE(
            leggiFile(cartella + QStringLiteral("/lista4.txt")), QByteArray("cane\r\nperch\xE9\r\nfaro\r\n"));
    }

    // While the game started from "Prova il gioco" runs, a word she takes out keeps its picture on
    // disk (the game may show it any moment); once the game has closed, the picture goes.
    void giocoApertoTieneLImmagine()
    {
        const QString fine = cartella + QStringLiteral("/fine");
        scrivi(cartella + QStringLiteral("/batticco"),
            "#!/bin/sh\nwhile [ ! -e \"" + QFile::encodeName(fine) + "\" ]; do sleep 0.05; done\n");
        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        QVERIFY(f.provaGioco());
        domande.risposte = {true};
        QVERIFY(f.togli(4, 1)); // lupo
        QVERIFY(f.salva());
        QCOMPARE(leggiFile(cartella + QStringLiteral("/lista4.txt")), QByteArray("cane\r\nperch\xE9\r\n"));
        QCOMPARE(leggiFile(cartella + QStringLiteral("/jpg/lupo.jpg")), jpeg(Qt::gray));
        QVERIFY2(f.testoAvviso->text().contains(QStringLiteral("«lupo» restano sul disco finché il gioco")),
            qPrintable(f.testoAvviso->text()));
        QTest::qWait(1200); // the window looks again every second: the game is still there
        QVERIFY(QFileInfo::exists(cartella + QStringLiteral("/jpg/lupo.jpg")));
        scrivi(fine, "");
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(cartella + QStringLiteral("/jpg/lupo.jpg")), 5000);
        QVERIFY(!f.testoAvviso->text().contains(QStringLiteral("«lupo»")));
        QVERIFY(QFileInfo::exists(cartella + QStringLiteral("/jpg/cane.jpg")));
    }

    void immagineCondivisaResta()
    {
        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        domande.risposte = {true};
        QVERIFY(f.togli(4, 0)); // "cane", which the 5-letter list uses too
        QVERIFY(domande.chieste.last().contains(QStringLiteral("resta")));
        QVERIFY(f.salva());
        QVERIFY(QFileInfo::exists(cartella + QStringLiteral("/jpg/cane.jpg")));
        QCOMPARE(leggiFile(cartella + QStringLiteral("/lista4.txt")), QByteArray("lupo\r\nperch\xE9\r\n"));
    }

    // A save removes a word's picture only when no list reaches it by the game's own lookup: not
    // when another list spells it with a leading blank or in the other Unicode form, not when
    // another program wrote a list naming it since, not while another editor shows the word.
    void tolgoSoloCioCheNessunoRaggiunge_data()
    {
        QTest::addColumn<QByteArray>("lista5"); // lista5.txt when the folder is opened
        QTest::addColumn<QByteArray>("scrittaDopo"); // lista5.txt as another program writes it later
        QTest::addColumn<bool>("altroEditor");
        QTest::addColumn<bool>("resta");
        QTest::newRow("used nowhere else: it goes")
            << QByteArray("gatto\r\n") << QByteArray() << false << false;
        QTest::newRow("a leading blank")
            << QByteArray("gatto\r\n\" s\xC3\xAC\"\r\n") << QByteArray() << false << true;
        QTest::newRow("decomposed in the other list")
            << QByteArray("gatto\r\nsi\xCC\x80\r\n") << QByteArray() << false << true;
        QTest::newRow("other case") << QByteArray("gatto\r\nS\xC3\x8C\r\n") << QByteArray() << false << true;
        QTest::newRow("written by another program since")
            << QByteArray("gatto\r\n") << QByteArray("gatto\r\ns\xC3\xAC\r\n") << false << true;
        QTest::newRow("another editor shows it") << QByteArray("gatto\r\n") << QByteArray() << true << true;
    }
    void tolgoSoloCioCheNessunoRaggiunge()
    {
        QFETCH(QByteArray, lista5);
        QFETCH(QByteArray, scrittaDopo);
        QFETCH(bool, altroEditor);
        QFETCH(bool, resta);
        scrivi(cartella + QStringLiteral("/lista4.txt"), "s\xC3\xAC\r\nlupo\r\n");
        scrivi(cartella + QStringLiteral("/lista5.txt"), lista5);
        scrivi(cartella + QStringLiteral("/jpg/sì.jpg"), jpeg(Qt::red));
        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        DomandeFinte altre;
        std::unique_ptr<FinestraParole> altro;
        if (altroEditor) {
            altro = std::make_unique<FinestraParole>(altre, QString(), QString());
            QVERIFY(altro->apri(cartella));
        }
        if (!scrittaDopo.isEmpty())
            scrivi(cartella + QStringLiteral("/lista5.txt"), scrittaDopo);
        domande.risposte = {true, true}; // remove it; save although a list changed on disk
        QVERIFY(f.togli(4, 0));
        QVERIFY(f.salva());
        QCOMPARE(leggiFile(cartella + QStringLiteral("/lista4.txt")), QByteArray("lupo\r\n"));
        QCOMPARE(QFileInfo::exists(cartella + QStringLiteral("/jpg/sì.jpg")), resta);
        QCOMPARE(domande.chieste.size(), scrittaDopo.isEmpty() ? 1 : 2);
    }

    // A picture kept while another window showed its word goes when that window has closed: at
    // the next check, or when this window closes.
    void immagineTenutaPoiTolta()
    {
        DomandeFinte domande, altre;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        auto altro = std::make_unique<FinestraParole>(altre, QString(), QString());
        QVERIFY(altro->apri(cartella));
        domande.risposte = {true};
        QVERIFY(f.togli(4, 1));
        QVERIFY(f.salva());
        QVERIFY(QFileInfo::exists(cartella + QStringLiteral("/jpg/lupo.jpg")));
        QVERIFY(f.testoAvviso->text().contains(QStringLiteral("«lupo»")));
        altro.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(cartella + QStringLiteral("/jpg/lupo.jpg")), 3000);
        QVERIFY(QFileInfo::exists(cartella + QStringLiteral("/jpg/cane.jpg")));
    }

    // Text the game skips (after a closing quote) is lost by a rewrite: saving says so first, and
    // "no" writes nothing.
    void salvataggioDiceCosaRiscrive()
    {
        scrivi(cartella + QStringLiteral("/lista4.txt"), "\"orso\" bruno\r\ncane\r\nlupo\r\n");
        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        domande.risposte = {true, false};
        QVERIFY(f.togli(4, 2));
        QVERIFY(!f.salva());
        QVERIFY2(domande.chieste.last().contains(QStringLiteral("riga 1: «\"orso\" bruno»")),
            qPrintable(domande.chieste.last()));
        QCOMPARE(leggiFile(cartella + QStringLiteral("/lista4.txt")),
            QByteArray("\"orso\" bruno\r\ncane\r\nlupo\r\n"));
        QVERIFY(QFileInfo::exists(cartella + QStringLiteral("/jpg/lupo.jpg")));
        domande.risposte = {true};
        QVERIFY(f.salva());
        QCOMPARE(leggiFile(cartella + QStringLiteral("/lista4.txt")), QByteArray("orso\r\ncane\r\n"));
    }

    void nuovaImmagineEAnnulla()
    {
        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        f.cambiaImmagine(QStringLiteral("lupo"), tinta(Qt::blue));
        f.cambiaImmagine(QStringLiteral("lupo"), tinta(Qt::green));
        f.pila.undo();
        QVERIFY(f.salva());
        const QImage lupo(cartella + QStringLiteral("/jpg/lupo.jpg"), "jpeg");
        QVERIFY(lupo.pixelColor(10, 10).blue() > 200);
        QCOMPARE(
            leggiFile(cartella + QStringLiteral("/lista4.txt")), QByteArray("cane\r\nlupo\r\nperch\xE9\r\n"));
    }

    void controlliDellaParola_data()
    {
        QTest::addColumn<QString>("parola");
        QTest::addColumn<QString>("detto");
        QTest::newRow("fine") << "faro"
                              << "";
        QTest::newRow("too short for the list") << "far"
                                                << "ha 3 lettere";
        QTest::newRow("an accent has no key") << "però"
                                              << "accentata";
        QTest::newRow("only a to z") << "fa-o"
                                     << "dalla a alla z";
        QTest::newRow("already in this list, any case") << "LUPO"
                                                        << "c'è già in questa lista";
        QTest::newRow("a blank") << "fa o"
                                 << "spazi";
    }
    void controlliDellaParola()
    {
        QFETCH(QString, parola);
        QFETCH(QString, detto);
        CartellaParole c(cartella);
        const QString problema = c.problemaParolaNuova(4, parola);
        if (detto.isEmpty())
            QVERIFY2(problema.isEmpty(), qPrintable(problema));
        else
            QVERIFY2(problema.contains(detto), qPrintable(problema));
    }

    void limiteDiDuecento()
    {
        QByteArray lista;
        for (int i = 0; i < 200; ++i)
            lista += QByteArray("p") + QByteArray::number(1000 + i).right(3) + "\n";
        scrivi(cartella + QStringLiteral("/lista4.txt"), lista);
        CartellaParole c(cartella);
        QVERIFY(c.problemaParolaNuova(4, QStringLiteral("faro")).contains(QStringLiteral("200")));
    }

    void chiusuraChiede()
    {
        DomandeFinte domande;
        auto *f = new FinestraParole(domande, QString(), QString());
        QVERIFY(f->apri(cartella));
        f->aggiungi(4, QStringLiteral("faro"), tinta(Qt::red));
        QCloseEvent chiudi;
        domande.salvataggi = {Domande::Salvataggio::annulla};
        QApplication::sendEvent(f, &chiudi);
        QVERIFY(!chiudi.isAccepted());
        domande.salvataggi = {Domande::Salvataggio::nonSalvare};
        QCloseEvent ancora;
        QApplication::sendEvent(f, &ancora);
        QVERIFY(ancora.isAccepted());
        QCOMPARE(
            leggiFile(cartella + QStringLiteral("/lista4.txt")), QByteArray("cane\r\nlupo\r\nperch\xE9\r\n"));
        domande.salvataggi = {Domande::Salvataggio::salva};
        QCloseEvent salvando;
        QApplication::sendEvent(f, &salvando);
        QVERIFY(salvando.isAccepted());
        QVERIFY(leggiFile(cartella + QStringLiteral("/lista4.txt")).endsWith("faro\r\n"));
        delete f;
    }

    // A save that fails half way leaves every file whole: the picture cannot be written (jpg is a
    // file), so the list that would name it is not written either.
    void salvataggioFallitoNonRovina()
    {
        QDir(cartella + QStringLiteral("/jpg")).removeRecursively();
        scrivi(cartella + QStringLiteral("/jpg"), "non una cartella");
        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        f.aggiungi(4, QStringLiteral("faro"), tinta(Qt::red));
        QVERIFY(!f.salva());
        QCOMPARE(domande.avvisi.size(), 1);
        QVERIFY(f.isWindowModified());
        QCOMPARE(
            leggiFile(cartella + QStringLiteral("/lista4.txt")), QByteArray("cane\r\nlupo\r\nperch\xE9\r\n"));
    }

    // A picture folder that is a link to elsewhere is never written through.
    void maiFuoriDallaCartella()
    {
        const QString fuori = temp.filePath(QStringLiteral("fuori"));
        QDir().mkpath(fuori);
        QDir(cartella + QStringLiteral("/jpg")).removeRecursively();
        QVERIFY(QFile::link(fuori, cartella + QStringLiteral("/jpg")));
        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        f.aggiungi(4, QStringLiteral("faro"), tinta(Qt::red));
        QVERIFY(!f.salva());
        QVERIFY(QDir(fuori).isEmpty());
    }

    void giocoInstallatoSoloDaGuardare()
    {
        DomandeFinte domande;
        FinestraParole f(domande, QFileInfo(installato).canonicalFilePath(), QString());
        QVERIFY(f.apri(installato));
        QVERIFY(!f.modificabile());
        QVERIFY(!f.mnuAggiungi->isEnabled());
        QVERIFY(!f.mnuSalva->isEnabled());
        QVERIFY(!f.bottoneAvviso->isHidden());
        QVERIFY(f.testoAvviso->text().contains(QStringLiteral("gioco installato")));
        QCOMPARE(f.griglie[1]->count(), 3);
    }

    // The checker's findings, each leading to its word.
    void problemiPortanoAllaParola()
    {
        scrivi(cartella + QStringLiteral("/lista4.txt"), "cane\r\nlupo\r\nrana\r\n");
        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        f.attendiLavoro(); // the checker runs on a thread of its own
        int riga = -1;
        for (int i = 0; i < f.problemi->count(); ++i) {
            if (f.problemi->item(i)->text().contains(QStringLiteral("rana")))
                riga = i;
        }
        QVERIFY2(riga >= 0, "no finding for the missing picture of rana");
        f.schede->setCurrentIndex(0);
        f.vaiAlProblema(riga);
        QCOMPARE(f.listaCorrente(), 4);
        QCOMPARE(f.parolaSelezionata(), 2);
    }

    // Every finding is listed, problems and notes, and a click on one leads to its word, from the
    // list and line the checker gives, whether the finding is in the list, in a picture or a voice.
    void ogniRisultatoPortaAllaParola_data()
    {
        QTest::addColumn<QString>("inizio"); // the start of the finding's line
        QTest::addColumn<int>("lista"); // where the click leads; 3 and -1: nowhere
        QTest::addColumn<int>("indice");
        QTest::newRow("missing picture, said in the list")
            << "lista4.txt, riga 3: manca l'immagine" << 4 << 2;
        QTest::newRow("a picture that is no JPEG") << "jpg/lupo.jpg: non è un'immagine JPEG" << 4 << 1;
        QTest::newRow("a note on a small picture") << "jpg/gatto.jpg: nota: immagine di 100 x 100" << 5 << 0;
        QTest::newRow("a note on a word without voice")
            << "lista4.txt, riga 2: nota: la parola «lupo» non ha la voce" << 4 << 1;
        QTest::newRow("a voice of no word leads nowhere") << "voci/orso.wav: nessuna parola" << 3 << -1;
    }
    void ogniRisultatoPortaAllaParola()
    {
        QFETCH(QString, inizio);
        QFETCH(int, lista);
        QFETCH(int, indice);
        scrivi(cartella + QStringLiteral("/lista4.txt"), "cane\r\nlupo\r\nrana\r\n");
        QImage png(300, 300, QImage::Format_RGB32);
        png.fill(Qt::green);
        QVERIFY(png.save(cartella + QStringLiteral("/jpg/lupo.jpg"), "PNG"));
        QVERIFY(tinta(Qt::gray).scaled(100, 100).save(cartella + QStringLiteral("/jpg/gatto.jpg"), "JPEG"));
        const QByteArray wav = QByteArray::fromHex("52494646280000005741564566"
                                                   "6d7420100000000100010040"
                                                   "1f0000803e00000200100064617461040000000000000000");
        scrivi(cartella + QStringLiteral("/voci/cane.wav"), wav);
        scrivi(cartella + QStringLiteral("/voci/orso.wav"), wav);

        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        f.resize(900, 700);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.attendiLavoro();
        // The panel holds what the checker prints, notes included, and says how many of each.
        QCOMPARE(f.problemi->count(), 15);
        QVERIFY2(f.riepilogo->text().startsWith(QStringLiteral("11 problemi trovati (4 note).")),
            qPrintable(f.riepilogo->text()));
        QListWidgetItem *voce = nullptr;
        for (int i = 0; i < f.problemi->count(); ++i) {
            if (f.problemi->item(i)->text().startsWith(inizio))
                voce = f.problemi->item(i);
        }
        QVERIFY2(voce, qPrintable(inizio));
        f.schede->setCurrentIndex(0);
        f.problemi->scrollToItem(voce);
        QTest::mouseClick(
            f.problemi->viewport(), Qt::LeftButton, {}, f.problemi->visualItemRect(voce).center());
        QCOMPARE(f.listaCorrente(), lista);
        QCOMPARE(f.parolaSelezionata(), indice);
    }

    // The checker runs on a thread of its own: a save while it runs writes the right files, and
    // only the latest check's findings show, of the folder open now.
    void controlloSulSuoFilo_data()
    {
        QTest::addColumn<int>("caso");
        QTest::newRow("save while the opening check runs") << 0;
        QTest::newRow("another folder opened while the check runs") << 1;
        QTest::newRow("two saves while the check runs") << 2;
    }
    void controlloSulSuoFilo()
    {
        QFETCH(int, caso);
        // Enough pictures that the check is still running when the command comes.
        for (int i = 0; i < 60; ++i) {
            const QString p = QStringLiteral("ca%1%2").arg(QChar(u'a' + i / 26)).arg(QChar(u'a' + i % 26));
            scrivi(cartella + QStringLiteral("/jpg/") + p + QStringLiteral(".jpg"), jpeg(Qt::gray));
        }
        scrivi(cartella + QStringLiteral("/lista4.txt"), "cane\r\nlupo\r\nrana\r\n");
        const QString altra = temp.filePath(QStringLiteral("altra%1").arg(caso));
        scrivi(altra + QStringLiteral("/lista4.txt"), "orso\n");
        scrivi(altra + QStringLiteral("/jpg/orso.jpg"), jpeg(Qt::gray));
        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        QVERIFY(f.lavoroInCorso());
        QString dove = cartella;
        if (caso == 1) {
            QVERIFY(f.apri(altra));
            dove = altra;
        } else {
            f.aggiungi(4, QStringLiteral("rosa"), tinta(Qt::blue));
            QVERIFY2(f.salva(), qPrintable(domande.chieste.join(u'|')));
            if (caso == 2) {
                f.aggiungi(4, QStringLiteral("riso"), tinta(Qt::red));
                QVERIFY(f.salva());
            }
            // Saved whole while the check ran.
            const auto parole = listaparole::tutteLeParole(listaparole::leggiFile(cartella + "/lista4.txt"));
            QCOMPARE(parole.size(), std::size_t(caso == 2 ? 5 : 4));
            QCOMPARE(leggiFile(cartella + QStringLiteral("/jpg/rosa.jpg")).isEmpty(), false);
        }
        f.attendiLavoro();
        QVERIFY(!f.lavoroInCorso());
        QVERIFY(domande.avvisi.isEmpty());
        QStringList righe;
        for (int i = 0; i < f.problemi->count(); ++i)
            righe << f.problemi->item(i)->text();
        // The findings are those of the files as they are now, in the folder open now.
        QCOMPARE(verifica::riepilogo(verifica::controlla(dove)), f.riepilogo->text());
        QCOMPARE(righe.join(u'\n').contains(QStringLiteral("rana")), caso != 1);
        QVERIFY(!righe.join(u'\n').contains(QStringLiteral("rosa")));
    }

    // A folder of many words shows them at once and their pictures as they are decoded; what each
    // item then says is what a small folder says at once. Renaming in a full list takes no place.
    void listaLungaFigureInArrivo()
    {
        QStringList parole;
        for (int i = 0; i < listaparole::massimoParole; ++i)
            parole << QStringLiteral("ca%1%2").arg(QChar(u'a' + i / 26 % 26)).arg(QChar(u'a' + i % 26));
        scrivi(cartella + QStringLiteral("/lista4.txt"), parole.join(u'\n').toUtf8());
        for (int i = 0; i < parole.size(); i += 2)
            scrivi(cartella + QStringLiteral("/jpg/") + parole[i] + QStringLiteral(".jpg"), jpeg(Qt::gray));
        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        QListWidget *g = f.griglie[1];
        QCOMPARE(g->count(), int(parole.size()));
        QCOMPARE(g->item(7)->text(), parole[7]);
        QVERIFY(f.lavoroInCorso());
        f.attendiLavoro();
        for (int i = 0; i < g->count(); ++i) {
            const QString nome = i % 2 ? parole[i] + QStringLiteral(", senza immagine") : parole[i];
            QCOMPARE(g->item(i)->data(Qt::AccessibleTextRole).toString(), nome);
            // The missing picture's red frame, or the picture's grey (never the grey square of one on its
            // way).
            QCOMPARE(g->item(i)->icon().pixmap(QSize(96, 96)).toImage().pixelColor(1, 48).green() < 100,
                i % 2 == 1);
        }
        // A save keeps every icon: the list is whole at once.
        QVERIFY(f.rinomina(4, 3, QStringLiteral("cbzz")));
        QVERIFY(domande.avvisi.isEmpty());
        QVERIFY(f.salva());
        QCOMPARE(g->item(3)->data(Qt::AccessibleTextRole).toString(), QStringLiteral("cbzz, senza immagine"));
        QVERIFY(!f.dati()->lista(4).parole.empty());
        QCOMPARE(f.dati()->lista(4).parole[3], QStringLiteral("cbzz"));
        QVERIFY(!f.rinomina(4, 4, QStringLiteral("cane")));
        QVERIFY(domande.avvisi.last().contains(QStringLiteral("c'è già")));
    }

    // Back from another program that changed, added or took away pictures in the folder, the icons
    // show the folder as it is now; a picture changed in the editor and not yet saved stays hers.
    void figureCambiateDaFuori()
    {
        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        f.cambiaImmagine(QStringLiteral("cane"), tinta(Qt::blue));
        f.attendiLavoro();
        f.show();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QWidget altroProgramma;
        altroProgramma.show();
        altroProgramma.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&altroProgramma));
        scrivi(cartella + QStringLiteral("/jpg/lupo.jpg"), jpeg(Qt::red));
        scrivi(cartella + QStringLiteral("/jpg/cane.jpg"), jpeg(Qt::red));
        scrivi(cartella + QString::fromUtf8("/jpg/perch\u00e9.jpg"), jpeg(Qt::green));
        QVERIFY(QFile::remove(cartella + QStringLiteral("/jpg/gatto.jpg")));
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.attendiLavoro();
        const auto colore = [&f](int lista, int riga) {
            return f.griglie[std::size_t(lista - 3)]
                ->item(riga)
                ->icon()
                .pixmap(QSize(96, 96))
                .toImage()
                .pixelColor(48, 48);
        };
        const auto nome = [&f](int lista, int riga) {
            return f.griglie[std::size_t(lista - 3)]->item(riga)->data(Qt::AccessibleTextRole).toString();
        };
        QVERIFY(colore(4, 0).blue() > 150 && colore(4, 0).red() < 100); // cane: hers, not the file's
        QVERIFY(colore(4, 1).red() > 150 && colore(4, 1).green() < 100); // lupo
        QCOMPARE(nome(4, 2), QString::fromUtf8("perch\u00e9"));
        QVERIFY(colore(4, 2).green() > 150 && colore(4, 2).red() < 100);
        QCOMPARE(nome(5, 0), QStringLiteral("gatto, senza immagine"));
    }

    // Many new words saved at once: each picture in its own file, and a word taken out again before
    // the save leaves none.
    void molteParoleInUnSalvataggio()
    {
        DomandeFinte domande;
        domande.risposte = {true};
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        QStringList nuove;
        for (int i = 0; i < 30; ++i) {
            nuove << QStringLiteral("ca%1").arg(QChar(u'a' + i % 26)) + QChar(u'a' + i / 26);
            f.aggiungi(4, nuove.back(), tinta(QColor::fromHsv(10 + i * 11, 255, 255)));
        }
        QVERIFY(f.togli(4, 3 + 7)); // the eighth new word
        QVERIFY(f.salva());
        for (int i = 0; i < nuove.size(); ++i) {
            const QImage letta(cartella + QStringLiteral("/jpg/") + nuove[i] + QStringLiteral(".jpg"));
            QCOMPARE(letta.isNull(), i == 7);
            if (i != 7)
                QVERIFY2(
                    qAbs(letta.pixelColor(240, 240).hsvHue() - (10 + i * 11)) <= 4, qPrintable(nuove[i]));
        }
    }

    // The save keeps the word rule too: a word the live check refuses is never written.
    void salvataggioConLaRegolaDellaParola()
    {
        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        f.aggiungi(4, QStringLiteral("fa o"), tinta(Qt::red));
        QVERIFY(!f.salva());
        QCOMPARE(domande.avvisi.size(), 1);
        QVERIFY2(domande.avvisi[0].contains(QStringLiteral("Niente spazi")), qPrintable(domande.avvisi[0]));
        QCOMPARE(
            leggiFile(cartella + QStringLiteral("/lista4.txt")), QByteArray("cane\r\nlupo\r\nperch\xE9\r\n"));
        QVERIFY(!QFileInfo::exists(cartella + QStringLiteral("/jpg/fa o.jpg")));
        // A word of the file, taken out and put back, is not new: «perché» saves as it was.
        f.pila.undo();
        domande.risposte = {true};
        QVERIFY(f.togli(4, 2));
        f.pila.undo();
        QVERIFY2(f.salva(), qPrintable(domande.avvisi.join(u'\n')));
        QCOMPARE(
            leggiFile(cartella + QStringLiteral("/lista4.txt")), QByteArray("cane\r\nlupo\r\nperch\xE9\r\n"));
    }

    // A screen reader has a name to say for every control that shows no text of its own.
    void accessibile()
    {
        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        DialogoParola d(
            4, [](const QString &) { return QString(); }, QString());
        for (QWidget *radice : {static_cast<QWidget *>(&f), static_cast<QWidget *>(&d)}) {
            for (QWidget *w : radice->findChildren<QWidget *>()) {
                if (qobject_cast<QListWidget *>(w) || qobject_cast<QTabWidget *>(w)
                    || qobject_cast<QLineEdit *>(w) || qobject_cast<QSlider *>(w)
                    || qobject_cast<QPushButton *>(w))
                    QVERIFY2(!w->accessibleName().isEmpty() || w->objectName().startsWith(u"qt_"),
                        w->metaObject()->className());
            }
        }
    }

    // The word dialog: the live check speaks as she types, the picture is the framed square.
    void dialogoParola()
    {
        CartellaParole c(cartella);
        DialogoParola d(
            4, [&c](const QString &p) { return c.problemaParolaNuova(4, p); }, QString());
        QTest::keyClicks(d.campoParola, QStringLiteral("far"));
        QVERIFY(d.esitoParola->text().contains(QStringLiteral("3 lettere")));
        QTest::keyClicks(d.campoParola, QStringLiteral("o"));
        QCOMPARE(d.esitoParola->text(), QStringLiteral("Va bene."));
        QVERIFY(!d.conferma->isEnabled()); // no photo yet
        QImage foto(1600, 1200, QImage::Format_RGB32);
        foto.fill(Qt::yellow);
        for (int y = 0; y < 1200; ++y)
            for (int x = 200; x < 1400; ++x)
                foto.setPixel(x, y, qRgb(0, 0, 255));
        const QString file = temp.filePath(QStringLiteral("foto.png"));
        QVERIFY(foto.save(file));
        QTest::keyClicks(d.campoFile, file);
        QTest::keyClick(d.campoFile, Qt::Key_Return);
        QVERIFY(d.conferma->isEnabled());
        QVERIFY(d.isVisible() == false || d.result() == 0); // Enter opened the photo, it did not close
        const QImage figura = d.immagine();
        QCOMPARE(figura.size(), QSize(480, 480));
        QVERIFY(figura.pixelColor(2, 2).blue() > 200 && figura.pixelColor(477, 477).blue() > 200);
        QCOMPARE(d.parola(), QStringLiteral("faro"));
        QTest::keyClicks(d.campoFile, QStringLiteral("x"));
        QTest::keyClick(d.campoFile, Qt::Key_Return);
        QVERIFY(d.esitoFoto->text().contains(QStringLiteral("non è un'immagine")));
    }
};

QTEST_MAIN(TestFinestraParole)
#include "tst_finestraparole.moc"
