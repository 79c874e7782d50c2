// SPDX-License-Identifier: GPL-3.0-or-later
// "Fai la mia copia…" with her own copy open carries her words, pictures and voices, not the
// installed game's.

#include "editor/FinestraParole.h"

#include "domande_finte.h"

#include <QDir>
#include <QFile>
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
    void cartellaGioco(const QString &c, const QByteArray &lista)
    {
        scrivi(c + QStringLiteral("/batticco"), "programma");
        QFile::setPermissions(
            c + QStringLiteral("/batticco"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        scrivi(c + QStringLiteral("/lista4.txt"), lista);
        QImage i(64, 64, QImage::Format_RGB32);
        i.fill(Qt::gray);
        for (const QByteArray &p : lista.split('\n')) {
            if (!p.isEmpty())
                QVERIFY(i.save(
                    c + QStringLiteral("/jpg/") + QString::fromLatin1(p) + QStringLiteral(".jpg"), "jpeg"));
        }
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void copiaLeSueParole()
    {
        const QString installato = temp.filePath(QStringLiteral("installato"));
        const QString mia = temp.filePath(QStringLiteral("Batticco"));
        QDir().mkpath(installato + QStringLiteral("/jpg"));
        QDir().mkpath(mia + QStringLiteral("/jpg"));
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
        QVERIFY(!QFileInfo::exists(chiavetta + QStringLiteral("/jpg/lupo.jpg")));

        // With the installed game open (read only), the copy is the installed game's.
        FinestraParole g(domande, installato, QString());
        QVERIFY(g.apri(installato));
        const QString altra = temp.filePath(QStringLiteral("altra"));
        QVERIFY(g.faiCopiaIn(altra));
        QCOMPARE(leggiFile(altra + QStringLiteral("/lista4.txt")), QByteArray("cane\nlupo\n"));
    }
};

QTEST_MAIN(TestChiavetta)
#include "tst_chiavetta.moc"
