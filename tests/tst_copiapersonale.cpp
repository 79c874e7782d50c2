// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's own copy: the program and every data file, hers to write, one menu entry, nothing
// half made; and the update of its program that leaves her lists alone.

#include "editor/CopiaPersonale.h"
#include "ui/errori.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestCopiaPersonale : public QObject
{
    Q_OBJECT

    QTemporaryDir temp;
    QString installato;

    void scrivi(const QString &percorso, const QByteArray &byte, QFile::Permissions permessi = {})
    {
        QDir().mkpath(QFileInfo(percorso).absolutePath());
        QFile f(percorso);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(byte);
        f.close();
        if (permessi)
            QVERIFY(f.setPermissions(permessi));
    }

    static QByteArray leggi(const QString &percorso)
    {
        QFile f(percorso);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static constexpr QFile::Permissions sola = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    static constexpr QFile::Permissions eseguibileRoot
        = sola | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;

private slots:
    void initTestCase()
    {
        QVERIFY(temp.isValid());
        // A fresh home: the copy's default place and the user's applications folder are in it.
        qputenv("HOME", temp.filePath(QStringLiteral("casa")).toUtf8());
        qunsetenv("XDG_DATA_HOME");
        QDir().mkpath(temp.filePath(QStringLiteral("casa")));
        // The installed game as the package lays it out: read-only files, the program executable.
        installato = temp.filePath(QStringLiteral("usr/lib/batticco"));
        scrivi(installato + QStringLiteral("/batticco"), "programma 1", eseguibileRoot);
        scrivi(installato + QStringLiteral("/batticco-parole"), "un altro programma", eseguibileRoot);
        scrivi(installato + QStringLiteral("/lista4.txt"), "cane\nlupo\n", sola);
        scrivi(installato + QStringLiteral("/lista3.txt"), "ape\n", sola);
        scrivi(installato + QStringLiteral("/jpg/cane.jpg"), "jpeg di cane", sola);
        scrivi(installato + QStringLiteral("/suoni/no.wav"), "RIFF....WAVE", sola);
        scrivi(installato + QStringLiteral("/CREDITS.md"), "grazie", sola);
        QFile::setPermissions(installato + QStringLiteral("/jpg"), eseguibileRoot);
    }

    void trovaIlGiocoInstallato()
    {
        QCOMPARE(copiapersonale::giocoInstallato(installato), QFileInfo(installato).canonicalFilePath());
        // from /usr/bin, through the prefix
        QDir().mkpath(temp.filePath(QStringLiteral("usr/bin")));
        QCOMPARE(copiapersonale::giocoInstallato(temp.filePath(QStringLiteral("usr/bin"))),
            QFileInfo(installato).canonicalFilePath());
        QCOMPARE(copiapersonale::giocoInstallato(temp.path()), QString());
        QCOMPARE(copiapersonale::cartellaPredefinita(), temp.filePath(QStringLiteral("casa/Batticco")));
    }

    void copiaCompletaESua()
    {
        const QString copia = copiapersonale::cartellaPredefinita();
        copiapersonale::faiCopia(installato, copia);
        for (const char *f :
            {"batticco", "lista4.txt", "lista3.txt", "jpg/cane.jpg", "suoni/no.wav", "CREDITS.md"}) {
            const QString nome = QString::fromLatin1(f);
            QCOMPARE(leggi(copia + u'/' + nome), leggi(installato + u'/' + nome));
            QVERIFY2(QFileInfo(copia + u'/' + nome).isWritable(), f);
            QVERIFY(QFile::permissions(copia + u'/' + nome) & QFile::WriteOwner);
        }
        QVERIFY(QFileInfo(copia + QStringLiteral("/batticco")).isExecutable());
        QVERIFY(!(QFile::permissions(copia + QStringLiteral("/lista4.txt")) & QFile::ExeOwner));
        QVERIFY(QFile::permissions(copia + QStringLiteral("/jpg")) & QFile::WriteOwner);
        QVERIFY2(
            !QFileInfo::exists(copia + QStringLiteral("/batticco-parole")), "another program was copied");
        QCOMPARE(QFileInfo(copia + QStringLiteral("/batticco")).lastModified(),
            QFileInfo(installato + QStringLiteral("/batticco")).lastModified());
        QVERIFY(copiapersonale::eCartellaGioco(copia));
        // Nothing left beside it under a temporary name.
        QCOMPARE(QDir(temp.filePath(QStringLiteral("casa")))
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList {QStringLiteral("Batticco")});
    }

    void copiaSuCartellaPienaRifiutata()
    {
        const QString piena = temp.filePath(QStringLiteral("piena"));
        scrivi(piena + QStringLiteral("/mio.txt"), "mio");
        QVERIFY_THROWS_EXCEPTION(Errore, copiapersonale::faiCopia(installato, piena));
        QCOMPARE(QDir(piena).entryList(QDir::Files), QStringList {QStringLiteral("mio.txt")});
        QCOMPARE(leggi(piena + QStringLiteral("/mio.txt")), QByteArray("mio"));
        // An empty folder (a freshly made one on a stick) is fine.
        const QString vuota = temp.filePath(QStringLiteral("chiavetta/Batticco"));
        QDir().mkpath(vuota);
        copiapersonale::faiCopia(installato, vuota);
        QVERIFY(copiapersonale::eCartellaGioco(vuota));
        // A folder with no game is no source.
        QVERIFY_THROWS_EXCEPTION(Errore,
            copiapersonale::faiCopia(
                temp.filePath(QStringLiteral("piena")), temp.filePath(QStringLiteral("altra"))));
        QVERIFY(!QFileInfo::exists(temp.filePath(QStringLiteral("altra"))));
    }

    void voceDelMenu()
    {
        const QString copia = copiapersonale::cartellaPredefinita();
        const QString voce = copiapersonale::scriviVoce(copia, QStringLiteral("/usr/bin/batticco-parole"));
        QCOMPARE(
            QFileInfo(voce).absolutePath(), temp.filePath(QStringLiteral("casa/.local/share/applications")));
        QSettings letta(voce, QSettings::IniFormat);
        letta.beginGroup(QStringLiteral("Desktop Entry"));
        QCOMPARE(letta.value(QStringLiteral("Name")).toString(), QStringLiteral("Batticco - le mie parole"));
        QCOMPARE(letta.value(QStringLiteral("Type")).toString(), QStringLiteral("Application"));
        QVERIFY(leggi(voce).contains("\nExec=\"" + QFile::encodeName(copia) + "/batticco\"\n"));
        // A second copy gets an entry of its own, named after its folder; writing again replaces.
        const QString chiavetta = temp.filePath(QStringLiteral("chiavetta/Batticco"));
        const QString altra = copiapersonale::scriviVoce(chiavetta, QString());
        QVERIFY(altra != voce);
        QCOMPARE(copiapersonale::scriviVoce(copia, QString()), voce);
        QCOMPARE(QDir(QFileInfo(voce).absolutePath()).entryList(QDir::Files).size(), 2);
        // A stick copy named Batticco is told apart by the stick's name, not by "(Batticco)".
        QVERIFY(leggi(altra).contains("Name=Batticco - le mie parole (chiavetta)\n"));

        // Her copy is told apart in a dock by its own class, the entry's name, and has the board's launcher.
        QCOMPARE(letta.value(QStringLiteral("StartupWMClass")).toString() + QStringLiteral(".desktop"),
            QFileInfo(voce).fileName());
        QVERIFY(letta.value(QStringLiteral("StartupWMClass")).toString() != QStringLiteral("batticco"));
        const QString conLavagna
            = copiapersonale::scriviVoce(copia, QStringLiteral("/usr/games/batticco-parole"),
                QStringLiteral("/usr/lib/batticco/batticco-lavagna"));
        QVERIFY(leggi(conLavagna).contains("\nActions=lavagna;parole;\n"));
        QVERIFY(leggi(conLavagna)
                    .contains("\n[Desktop Action lavagna]\nName=Batticco - lavagna\n"
                              "Exec=\"/usr/lib/batticco/batticco-lavagna\" \""
                        + QFile::encodeName(copia) + "/batticco\"\n"));

        // A path with blanks, quotes and a dollar is quoted as the desktop entry rules want; one with
        // a per cent sign is started through env, as GLib's menus look for the program as written.
        const QByteArray t
            = copiapersonale::testoVoce(QStringLiteral("/media/Maestra \"Anna\"/$oldi%"), QString());
        QVERIFY(t.contains("Exec=env \"/media/Maestra \\\\\"Anna\\\\\"/\\\\$oldi%%/batticco\"\n"));
        const QString valida = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (!valida.isEmpty()) {
            QProcess p;
            p.start(valida, {voce});
            QVERIFY(p.waitForFinished());
            QVERIFY2(p.exitCode() == 0, p.readAllStandardOutput().constData());
        }
    }

    // The entry of a copy whose folder's name holds what the desktop entry rules reserve starts the
    // program in it, as a GLib menu does (gio launch).
    void laVoceAvviaIlGioco_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::newRow("virgolette") << QStringLiteral("Maestra \"Anna\"");
        QTest::newRow("dollaro e accento grave") << QStringLiteral("$oldi `e` \\ basta");
        QTest::newRow("per cento") << QStringLiteral("100% parole");
        QTest::newRow("tutto insieme, su una chiavetta") << QStringLiteral("Anna \"$%\"/Batticco");
    }
    void laVoceAvviaIlGioco()
    {
        QFETCH(QString, nome);
        const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
        if (gio.isEmpty())
            QSKIP("gio is not installed (libglib2.0-bin)");
        const QString copia = temp.filePath(QStringLiteral("avvio/") + nome);
        const QString segno = temp.filePath(QStringLiteral("avviato"));
        QFile::remove(segno);
        scrivi(copia + QStringLiteral("/batticco"), "#!/bin/sh\necho \"$0\" > '" + segno.toUtf8() + "'\n",
            eseguibileRoot | QFile::WriteOwner);
        const QString voce = temp.filePath(QStringLiteral("avvio/voce.desktop"));
        scrivi(voce, copiapersonale::testoVoce(copia, QString()));
        QProcess p;
        p.start(gio, {QStringLiteral("launch"), voce});
        QVERIFY(p.waitForFinished());
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(segno).size() > 0, 5000);
        QCOMPARE(QString::fromUtf8(leggi(segno)).trimmed(), copia + QStringLiteral("/batticco"));
    }

    void aggiornaSoloIlProgramma()
    {
        const QString copia = copiapersonale::cartellaPredefinita();
        // Her own words in the copy.
        scrivi(copia + QStringLiteral("/lista4.txt"), "faro\n");
        scrivi(copia + QStringLiteral("/jpg/faro.jpg"), "jpeg del faro");
        QVERIFY(!copiapersonale::programmaPiuNuovo(installato, copia));

        // The package brings a new program: same bytes with a newer time is no update, new bytes are.
        QFile nuovo(installato + QStringLiteral("/batticco"));
        QFile::setPermissions(nuovo.fileName(), eseguibileRoot | QFile::WriteOwner);
        QVERIFY(nuovo.open(QIODevice::ReadWrite));
        QVERIFY(
            nuovo.setFileTime(QDateTime::currentDateTime().addSecs(3600), QFileDevice::FileModificationTime));
        nuovo.close();
        QVERIFY(!copiapersonale::programmaPiuNuovo(installato, copia));
        scrivi(installato + QStringLiteral("/batticco"), "programma 2");
        QVERIFY(nuovo.open(QIODevice::ReadWrite));
        QVERIFY(
            nuovo.setFileTime(QDateTime::currentDateTime().addSecs(3600), QFileDevice::FileModificationTime));
        nuovo.close();
        scrivi(installato + QStringLiteral("/lista4.txt"), "cane\nlupo\norso\n");
        QVERIFY(copiapersonale::programmaPiuNuovo(installato, copia));

        copiapersonale::aggiornaProgramma(installato, copia);
        QCOMPARE(leggi(copia + QStringLiteral("/batticco")), QByteArray("programma 2"));
        QVERIFY(QFileInfo(copia + QStringLiteral("/batticco")).isExecutable());
        QCOMPARE(leggi(copia + QStringLiteral("/lista4.txt")), QByteArray("faro\n"));
        QCOMPARE(leggi(copia + QStringLiteral("/jpg/faro.jpg")), QByteArray("jpeg del faro"));
        QVERIFY(QFileInfo::exists(copia + QStringLiteral("/jpg/cane.jpg")));
        QVERIFY(!copiapersonale::programmaPiuNuovo(installato, copia));
        QVERIFY(!QFileInfo::exists(copia + QStringLiteral("/.batticco-nuovo")));
        // An older copy's program is never "updated" backwards.
        QVERIFY(!copiapersonale::programmaPiuNuovo(copia, installato));
    }
};

QTEST_GUILESS_MAIN(TestCopiaPersonale)
#include "tst_copiapersonale.moc"
