// SPDX-License-Identifier: GPL-3.0-or-later
// "Fai la mia copia…" with her own copy open carries her words, pictures and voices, not the
// installed game's; on another computer the stick's words come into that computer's own copy.

#include "editor/FinestraParole.h"

#include "domande_finte.h"

#include "editor/CopiaPersonale.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "file_prova.h"

class TestChiavetta : public QObject
{
    Q_OBJECT

    QTemporaryDir temp;

    static void scrivi(const QString &percorso, const QByteArray &byte)
    {
        QVERIFY(scriviFile(percorso, byte));
    }
    void cartellaGioco(const QString &c, const QByteArray &lista, Qt::GlobalColor colore = Qt::gray)
    {
        QVERIFY(QDir().mkpath(c + QStringLiteral("/jpg")));
        scrivi(c + QStringLiteral("/batticco"), "programma");
        QFile::setPermissions(
            c + QStringLiteral("/batticco"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        scrivi(c + QStringLiteral("/lista4.txt"), lista);
        QImage i(64, 64, QImage::Format_RGB32);
        i.fill(colore);
        for (const QByteArray &p : lista.split('\n')) {
            if (!p.isEmpty())
                QVERIFY(i.save(
                    c + QStringLiteral("/jpg/") + QString::fromLatin1(p) + QStringLiteral(".jpg"), "jpeg"));
        }
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // This computer's own copy is ~/Batticco.
        qputenv("HOME", temp.filePath(QStringLiteral("casa")).toUtf8());
    }

    void copiaLeSueParole()
    {
        const QString installato = temp.filePath(QStringLiteral("installato"));
        const QString mia = temp.filePath(QStringLiteral("Batticco"));
        cartellaGioco(installato, "cane\nlupo\n");
        cartellaGioco(mia, "cane\nfaro\n");
        scrivi(mia + QStringLiteral("/voci/faro.wav"), "RIFF voce di faro");

        DomandeFinte domande;
        FinestraParole f(domande, installato, QString());
        QVERIFY(f.apri(mia));
        QVERIFY(f.modificabile());
        const QString chiavetta = temp.filePath(QStringLiteral("chiavetta/Batticco"));
        QVERIFY2(f.faiCopiaIn(chiavetta), qPrintable(domande.avvisi.join(u'\n')));
        QCOMPARE(leggiFile(chiavetta + QStringLiteral("/lista4.txt")), QByteArray("cane\nfaro\n"));
        QCOMPARE(leggiFile(chiavetta + QStringLiteral("/jpg/faro.jpg")),
            leggiFile(mia + QStringLiteral("/jpg/faro.jpg")));
        QCOMPARE(leggiFile(chiavetta + QStringLiteral("/voci/faro.wav")), QByteArray("RIFF voce di faro"));
        QVERIFY(QFileInfo(chiavetta + QStringLiteral("/batticco")).isExecutable());
        // The notice names the menu entry the copy has: the stick's, not her home copy's.
        QVERIFY2(f.testoAvviso->text().contains(QStringLiteral("«Batticco - le mie parole (chiavetta)»")),
            qPrintable(f.testoAvviso->text()));
        QVERIFY(!QFileInfo::exists(chiavetta + QStringLiteral("/jpg/lupo.jpg")));

        // With the installed game open (read only), the copy is the installed game's.
        FinestraParole g(domande, installato, QString());
        QVERIFY(g.apri(installato));
        const QString altra = temp.filePath(QStringLiteral("altra"));
        QVERIFY(g.faiCopiaIn(altra));
        QCOMPARE(leggiFile(altra + QStringLiteral("/lista4.txt")), QByteArray("cane\nlupo\n"));
    }

    // Her stick from home into this computer's copy: the new words come with their pictures and
    // voices, a word without its picture stays out, a word here with another picture is hers to
    // choose; nothing is written before she saves, one Ctrl+Z takes it all back, the stick is read only.
    void portaLeParole_data()
    {
        QTest::addColumn<int>("scelta");
        QTest::addColumn<bool>("portate");
        QTest::addColumn<bool>("caneDellaChiavetta");
        QTest::newRow("tiene il suo cane") << 0 << true << false;
        QTest::newRow("prende il cane della chiavetta") << 1 << true << true;
        QTest::newRow("chiude la domanda: niente arriva") << -1 << false << false;
    }
    void portaLeParole()
    {
        QFETCH(int, scelta);
        QFETCH(bool, portate);
        QFETCH(bool, caneDellaChiavetta);
        QTemporaryDir qui;
        const QString mia = qui.filePath(QStringLiteral("mia"));
        const QString chiavetta = qui.filePath(QStringLiteral("KINGSTON/Batticco"));
        cartellaGioco(mia, "cane\nlupo\n");
        cartellaGioco(chiavetta, "cane\nfaro\nLUPO\n", Qt::red);
        scrivi(chiavetta + QStringLiteral("/lista4.txt"), "cane\nfaro\nLUPO\norso\n"); // orso: no picture
        scrivi(chiavetta + QStringLiteral("/lista5.txt"), "gatto\n");
        QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(chiavetta + QStringLiteral("/jpg/gatto.jpg")));
        scrivi(chiavetta + QStringLiteral("/voci/faro.wav"), "RIFF voce di faro");
        scrivi(chiavetta + QStringLiteral("/voci/lupo.wav"), "RIFF voce di lupo");
        QDir chiavettaDir(chiavetta);
        const auto fotografia = [&] {
            QStringList tutto;
            QDirIterator it(chiavetta, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString f = it.next();
                tutto << chiavettaDir.relativeFilePath(f) + u'=' + QString::fromLatin1(leggiFile(f).toHex());
            }
            tutto.sort();
            return tutto;
        };
        const QStringList chiavettaPrima = fotografia();
        const QByteArray canePrima = leggiFile(mia + QStringLiteral("/jpg/cane.jpg"));
        const QByteArray listaPrima = leggiFile(mia + QStringLiteral("/lista4.txt"));

        DomandeFinte domande;
        domande.scelta = scelta;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(mia));
        QCOMPARE(f.portaParole(chiavetta), portate);
        QCOMPARE(domande.scelte.size(), 1);
        QVERIFY2(domande.scelte.front().contains(QStringLiteral("«cane» (immagine)")),
            qPrintable(domande.scelte.front()));
        QCOMPARE(leggiFile(mia + QStringLiteral("/lista4.txt")), listaPrima); // nothing before she saves
        if (!portate) {
            QCOMPARE(f.pila.count(), 0);
            return;
        }
        QCOMPARE(f.pila.count(), 1);
        QVERIFY2(domande.avvisi.join(u'\n').contains(QStringLiteral("«orso»: non ha l'immagine")),
            qPrintable(domande.avvisi.join(u'\n')));
        QVERIFY(f.salva());
        QCOMPARE(leggiFile(mia + QStringLiteral("/lista4.txt")), QByteArray("cane\nlupo\nfaro\n"));
        QCOMPARE(leggiFile(mia + QStringLiteral("/lista5.txt")), QByteArray("gatto\n"));
        QCOMPARE(leggiFile(mia + QStringLiteral("/jpg/faro.jpg")),
            leggiFile(chiavetta + QStringLiteral("/jpg/faro.jpg")));
        QCOMPARE(leggiFile(mia + QStringLiteral("/voci/faro.wav")), QByteArray("RIFF voce di faro"));
        // lupo had no voice here: the stick's comes, under the word as this list spells it.
        QCOMPARE(leggiFile(mia + QStringLiteral("/voci/lupo.wav")), QByteArray("RIFF voce di lupo"));
        QCOMPARE(leggiFile(mia + QStringLiteral("/jpg/cane.jpg")),
            caneDellaChiavetta ? leggiFile(chiavetta + QStringLiteral("/jpg/cane.jpg")) : canePrima);

        // One undo, one save: her copy is as it was, the stick untouched throughout.
        f.pila.undo();
        QVERIFY(f.salva());
        QCOMPARE(leggiFile(mia + QStringLiteral("/lista4.txt")), listaPrima);
        QCOMPARE(leggiFile(mia + QStringLiteral("/lista5.txt")), QByteArray()); // the list made stays, empty
        QCOMPARE(leggiFile(mia + QStringLiteral("/jpg/cane.jpg")), canePrima);
        for (const char *via : {"/jpg/faro.jpg", "/voci/faro.wav", "/voci/lupo.wav", "/jpg/gatto.jpg"})
            QVERIFY2(!QFileInfo::exists(mia + QLatin1String(via)), via);
        QCOMPARE(fotografia(), chiavettaPrima);
        // Brought again, nothing is new any more once saved.
        f.pila.redo();
        QVERIFY(f.salva());
        domande.avvisi.clear();
        QVERIFY(!f.portaParole(chiavetta));
        QVERIFY2(domande.avvisi.join(u'\n').contains(QStringLiteral("non c'è niente da portare")),
            qPrintable(domande.avvisi.join(u'\n')));
    }

    // The stick's copy opened on another computer offers its words to that computer's own copy, made
    // from the installed game when there is none yet.
    void laChiavettaOffreLeSueParole()
    {
        const QString installato = temp.filePath(QStringLiteral("installato2"));
        const QString chiavetta = temp.filePath(QStringLiteral("USB/Batticco"));
        cartellaGioco(installato, "cane\nlupo\n");
        cartellaGioco(chiavetta, "cane\nfaro\n");
        const QString mia = temp.filePath(QStringLiteral("casa/Batticco"));
        QVERIFY(!QFileInfo::exists(mia));

        DomandeFinte domande;
        FinestraParole f(domande, installato, QStringLiteral("/usr/bin/batticco-parole"));
        QVERIFY(f.apri(chiavetta));
        QVERIFY(f.bottonePorta->isVisibleTo(&f));
        QVERIFY(f.testoAvviso->text().contains(QStringLiteral("nella tua copia di questo computer")));
        QVERIFY(f.portaNellaMiaCopia());
        QCOMPARE(QFileInfo(f.cartella()).canonicalFilePath(), QFileInfo(mia).canonicalFilePath());
        QVERIFY(!f.bottonePorta->isVisibleTo(&f));
        QVERIFY(f.salva());
        QCOMPARE(leggiFile(mia + QStringLiteral("/lista4.txt")), QByteArray("cane\nlupo\nfaro\n"));
        QVERIFY(QFileInfo(mia + QStringLiteral("/jpg/faro.jpg")).size() > 0);
        QVERIFY(QFileInfo::exists(copiapersonale::fileVoce(mia)));
    }
};

QTEST_MAIN(TestChiavetta)
#include "tst_chiavetta.moc"
