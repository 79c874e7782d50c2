// SPDX-License-Identifier: GPL-3.0-or-later
// The editor speaks Italian where Qt speaks for it: its file dialog, a text field's menu, the key
// names; a full disk says so and loses nothing; F1 opens the guide, pictures and all, offline.

#include "editor/FinestraParole.h"
#include "editor/Guida.h"
#include "editor/Riquadro.h"
#include "ui/traduzioni.h"

#include "domande_finte.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "file_prova.h"
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextFragment>

#include <memory>
#include <unistd.h>

class TestItaliano : public QObject
{
    Q_OBJECT

    QTemporaryDir temp;

    static QStringList testi(const QMenu &menu)
    {
        QStringList t;
        for (const QAction *a : menu.actions()) {
            if (!a->isSeparator())
                t << a->text().remove(u'&').section(u'\t', 0, 0);
        }
        return t;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(traduzioni::caricaQt(*qApp), "Qt's Italian translation (qt6-translations-l10n)");
    }

    void testiDiQt()
    {
        QCOMPARE(
            QKeySequence(QKeySequence::Delete).toString(QKeySequence::NativeText), QStringLiteral("Canc"));
        DomandeFinte domande;
        FinestraParole finestra(domande, QString(), QString());
        const auto *togli = finestra.findChild<QAction *>(QStringLiteral("mnuTogli"));
        QVERIFY(togli);
        QCOMPARE(togli->shortcut().toString(QKeySequence::NativeText), QStringLiteral("Canc"));

        QLineEdit campo;
        campo.setText(QStringLiteral("faro"));
        const std::unique_ptr<QMenu> menu(campo.createStandardContextMenu());
        const QStringList voci = testi(*menu);
        for (const char *voce : {"Annulla", "Taglia", "Copia", "Incolla", "Seleziona tutto"})
            QVERIFY2(voci.contains(QString::fromUtf8(voce)), qPrintable(voci.join(u'|')));

        // The dialog of "Scegli la foto…", as Qt draws it outside a desktop with dialogs of its own.
        QFileDialog dialogo(nullptr, QStringLiteral("Scegli la foto"), temp.path());
        dialogo.setOption(QFileDialog::DontUseNativeDialog);
        const auto *guardaIn = dialogo.findChild<QLabel *>(QStringLiteral("lookInLabel"));
        const auto *nome = dialogo.findChild<QLabel *>(QStringLiteral("fileNameLabel"));
        const auto *bottoni = dialogo.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        QVERIFY(guardaIn && nome && bottoni);
        QStringList scritte {guardaIn->text(), nome->text()};
        for (const QAbstractButton *b : bottoni->buttons())
            scritte << b->text();
        qInfo("%s", qPrintable(scritte.join(QStringLiteral(" | "))));
        for (const char *inglese : {"Look in", "File name", "Cancel", "Open"})
            QVERIFY2(!scritte.join(u'|').remove(u'&').contains(QString::fromLatin1(inglese)),
                qPrintable(scritte.join(u'|')));
        QVERIFY(scritte.join(u'|').remove(u'&').contains(QStringLiteral("Annulla")));
    }

    // Saving on a disk with no room: the Italian reason, every file as it was, the change still
    // there, and saved once there is room.
    void discoPieno()
    {
        if (::geteuid() != 0)
            QSKIP("a small disk of its own needs root to mount");
        const QString disco = temp.filePath(QStringLiteral("disco"));
        QVERIFY(QDir().mkpath(disco));
        if (QProcess::execute(QStringLiteral("mount"),
                {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                    QStringLiteral("size=256k"), QStringLiteral("tmpfs"), disco})
            != 0)
            QSKIP("tmpfs cannot be mounted here");
        const auto smonta = qScopeGuard([&disco] { QProcess::execute(QStringLiteral("umount"), {disco}); });
        const QString cartella = disco + QStringLiteral("/Batticco");
        QVERIFY(scriviFile(cartella + QStringLiteral("/batticco"), "programma"));
        QFile::setPermissions(
            cartella + QStringLiteral("/batticco"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(scriviFile(cartella + QStringLiteral("/lista4.txt"), "cane\nlupo\n"));
        QImage grigia(64, 64, QImage::Format_RGB32);
        grigia.fill(Qt::gray);
        for (const char *p : {"cane", "lupo"})
            QVERIFY(scriviFile(
                cartella + QStringLiteral("/jpg/%1.jpg").arg(QLatin1String(p)), riquadro::jpeg(grigia)));

        DomandeFinte domande;
        FinestraParole f(domande, QString(), QString());
        QVERIFY(f.apri(cartella));
        QVERIFY(f.modificabile());
        QImage rumore(600, 600, QImage::Format_RGB32);
        for (int y = 0; y < rumore.height(); ++y)
            for (int x = 0; x < rumore.width(); ++x)
                rumore.setPixel(x, y, qRgb((x * 7919 + y * 104729) % 256, (x * y) % 256, (x ^ y) % 256));
        f.aggiungi(4, QStringLiteral("faro"), rumore);

        // Fill the disk to its last block.
        const QString riempitivo = disco + QStringLiteral("/riempitivo");
        {
            QFile r(riempitivo);
            QVERIFY(r.open(QIODevice::WriteOnly));
            const QByteArray blocco(4096, 'x');
            while (r.write(blocco) == blocco.size() && r.flush()) { }
        }
        const QByteArray lista = leggiFile(cartella + QStringLiteral("/lista4.txt"));
        QVERIFY(!f.salva());
        QCOMPARE(domande.avvisi.size(), 1);
        const QString avviso = domande.avvisi.first();
        QVERIFY2(avviso.contains(QStringLiteral("il disco è pieno")), qPrintable(avviso));
        QVERIFY2(avviso.contains(QStringLiteral("Non si è perso niente")), qPrintable(avviso));
        QCOMPARE(leggiFile(cartella + QStringLiteral("/lista4.txt")), lista);
        QCOMPARE(leggiFile(cartella + QStringLiteral("/jpg/cane.jpg")), riquadro::jpeg(grigia));
        QVERIFY(f.isWindowModified());

        QVERIFY(QFile::remove(riempitivo));
        QVERIFY(f.salva());
        QCOMPARE(leggiFile(cartella + QStringLiteral("/lista4.txt")), QByteArray("cane\nlupo\nfaro\n"));
        QVERIFY(!QImage(cartella + QStringLiteral("/jpg/faro.jpg")).isNull());
    }

    // F1 opens the guide shipped beside the programs, each of its pictures found.
    void f1ApreLaGuida()
    {
        DomandeFinte domande;
        FinestraParole finestra(domande, QString(), QString());
        finestra.show();
        finestra.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&finestra));
        QTest::keyClick(&finestra, Qt::Key_F1);
        auto *g = finestra.findChild<FinestraGuida *>();
        QVERIFY(g);
        QVERIFY(g->isVisible());
        QVERIFY(g->testo->toPlainText().contains(QStringLiteral("La tua copia del gioco")));
        QStringList immagini;
        for (QTextBlock b = g->testo->document()->begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFormat formato = it.fragment().charFormat();
                if (!formato.isImageFormat())
                    continue;
                const QString nome = formato.toImageFormat().name();
                immagini << nome;
                const QVariant risorsa = g->testo->loadResource(QTextDocument::ImageResource, QUrl(nome));
                QVERIFY2(!risorsa.isNull(), qPrintable(nome + QStringLiteral(" missing beside the guide")));
            }
        }
        QVERIFY2(immagini.size() >= 4, qPrintable(immagini.join(u' ')));
        // A second F1 raises the same window.
        QTest::keyClick(&finestra, Qt::Key_F1);
        QCOMPARE(finestra.findChildren<FinestraGuida *>().size(), 1);
    }
};

QTEST_MAIN(TestItaliano)
#include "tst_italiano.moc"
