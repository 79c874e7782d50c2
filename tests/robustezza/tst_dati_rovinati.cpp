// SPDX-License-Identifier: GPL-3.0-or-later
// The real program on broken data folders: each row builds one folder, starts the program in an X
// server of its own, presses "Avvio", and checks that the program either plays normally (and ends
// with status 0 through Esci) or shows the error box, names the broken file on standard error and
// ends with a non-zero status; always quickly and in little memory, never by crashing.

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <functional>
#include <unistd.h>

namespace {

#ifdef BATTICCO_SANITIZZATO
constexpr int fattore = 4; // sanitizers slow the program down and keep shadow memory
#else
constexpr int fattore = 1;
#endif
constexpr qint64 limiteMs = 5000 * fattore;
constexpr qint64 limiteKb = 200 * 1024 * fattore;
const QString titoloBox = QStringLiteral("Batticco");

enum class Esito { gioco, errore, unoDeiDue };

QByteArray jpeg(QSize dimensione, const char *formato = "JPEG")
{
    QImage img(dimensione, QImage::Format_RGB32);
    img.fill(Qt::darkGreen);
    QByteArray byte;
    QBuffer b(&byte);
    b.open(QIODevice::WriteOnly);
    img.save(&b, formato);
    return byte;
}

// A valid small JPEG whose frame header claims the given size.
QByteArray jpegGigante(quint16 lato)
{
    QByteArray byte = jpeg(QSize(16, 16));
    for (qsizetype i = 2; i + 9 < byte.size(); ++i) {
        if (uchar(byte[i]) == 0xFF && (uchar(byte[i + 1]) == 0xC0 || uchar(byte[i + 1]) == 0xC2)) {
            byte[i + 5] = char(lato >> 8);
            byte[i + 6] = char(lato & 0xFF);
            byte[i + 7] = char(lato >> 8);
            byte[i + 8] = char(lato & 0xFF);
            return byte;
        }
    }
    qFatal("no frame header in the JPEG");
}

QString kbDi(const QByteArray &status, const char *campo)
{
    for (const QByteArray &riga : status.split('\n')) {
        if (riga.startsWith(campo))
            return QString::fromLatin1(riga.mid(qsizetype(qstrlen(campo)))).trimmed().section(u' ', 0, 0);
    }
    return {};
}

} // namespace

class TestDatiRovinati : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void datiRovinati_data();
    void datiRovinati();

private:
    QString xdotool(const QStringList &argomenti, int *stato = nullptr);
    QStringList finestreVisibili(qint64 pid);
    QStringList finestreDiNome(const QString &nome);
    void tasto(const QString &finestra, const QString &nomeTasto);

    QProcess xvfb;
    QString display;
};

void TestDatiRovinati::initTestCase()
{
    int canale[2];
    QVERIFY(pipe(canale) == 0);
    xvfb.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    xvfb.setChildProcessModifier([canale] { ::close(canale[0]); });
    xvfb.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QString::number(canale[1]),
                                        QStringLiteral("-screen"), QStringLiteral("0"),
                                        QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                                        QStringLiteral("tcp"),
                                        // No reset when the last client leaves: the next row's program
                                        // would otherwise meet a server in the middle of its reset.
                                        QStringLiteral("-noreset")});
    ::close(canale[1]);
    if (!xvfb.waitForStarted(5000)) {
        ::close(canale[0]);
        QSKIP("Xvfb is not installed (tools/install-deps.sh installs it)");
    }
    QByteArray numero;
    char c;
    while (::read(canale[0], &c, 1) == 1 && c != '\n')
        numero += c;
    ::close(canale[0]);
    QVERIFY2(!numero.isEmpty(), "Xvfb gave no display number");
    display = u':' + QString::fromLatin1(numero);
    int stato = 0;
    xdotool({QStringLiteral("version")}, &stato);
    if (stato != 0)
        QSKIP("xdotool is not installed (tools/install-deps.sh installs it)");
}

void TestDatiRovinati::cleanupTestCase()
{
    if (xvfb.state() != QProcess::NotRunning) {
        xvfb.terminate();
        if (!xvfb.waitForFinished(5000))
            xvfb.kill();
        xvfb.waitForFinished(2000);
    }
}

QString TestDatiRovinati::xdotool(const QStringList &argomenti, int *stato)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("xdotool"), argomenti);
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished();
    }
    if (stato)
        *stato = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

QStringList TestDatiRovinati::finestreVisibili(qint64 pid)
{
    return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                    QString::number(pid)})
        .split(u'\n', Qt::SkipEmptyParts);
}

QStringList TestDatiRovinati::finestreDiNome(const QString &nome)
{
    return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                    u'^' + nome + u'$'})
        .split(u'\n', Qt::SkipEmptyParts);
}

void TestDatiRovinati::tasto(const QString &finestra, const QString &nomeTasto)
{
    // No window manager runs here: give the window the focus, then type through XTEST.
    if (!finestra.isEmpty())
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), finestra});
    xdotool({QStringLiteral("key"), nomeTasto});
}

using Prepara = std::function<void(const QString &cartella)>;
Q_DECLARE_METATYPE(Prepara)
Q_DECLARE_METATYPE(Esito)

namespace {

void scrivi(const QString &cartella, const QString &relativo, const QByteArray &contenuto)
{
    const QString percorso = cartella + u'/' + relativo;
    QDir().mkpath(QFileInfo(percorso).path());
    QFile f(percorso);
    if (!f.open(QIODevice::WriteOnly) || f.write(contenuto) != contenuto.size())
        qFatal("cannot write %s", qPrintable(percorso));
}

const QStringList parole = {QStringLiteral("cane"), QStringLiteral("lupo"), QStringLiteral("orso")};

// A folder the game plays with: one list per length, every picture, and five short WAV files.
void datiBuoni(const QString &c)
{
    const QByteArray foto = jpeg(QSize(64, 64));
    for (int n = 3; n <= 6; ++n)
        scrivi(c, QStringLiteral("lista%1.txt").arg(n), parole.join(u'\n').toUtf8() + '\n');
    for (const QString &p : parole)
        scrivi(c, QStringLiteral("jpg/%1.jpg").arg(p), foto);
    // 0.05 s of silence, 8 kHz mono 8-bit PCM.
    QByteArray wav("RIFF");
    const quint32 campioni = 400;
    auto le32 = [&wav](quint32 v) {
        for (int i = 0; i < 4; ++i)
            wav += char((v >> (8 * i)) & 0xFF);
    };
    auto le16 = [&wav](quint16 v) {
        wav += char(v & 0xFF);
        wav += char(v >> 8);
    };
    le32(36 + campioni);
    wav += "WAVEfmt ";
    le32(16);
    le16(1);
    le16(1);
    le32(8000);
    le32(8000);
    le16(1);
    le16(8);
    wav += "data";
    le32(campioni);
    wav += QByteArray(campioni, char(0x80));
    for (const char *s : {"si1", "si2", "si3", "si4", "no"})
        scrivi(c, QStringLiteral("suoni/%1.wav").arg(QLatin1String(s)), wav);
}

Prepara con(std::function<void(const QString &)> guasto)
{
    return [guasto](const QString &c) {
        datiBuoni(c);
        guasto(c);
    };
}

void lista4(const QString &c, const QByteArray &contenuto) { scrivi(c, QStringLiteral("lista4.txt"), contenuto); }

void ogniFoto(const QString &c, const QByteArray &contenuto)
{
    for (const QString &p : parole)
        scrivi(c, QStringLiteral("jpg/%1.jpg").arg(p), contenuto);
}

} // namespace

void TestDatiRovinati::datiRovinati_data()
{
    QTest::addColumn<Prepara>("prepara");
    QTest::addColumn<Esito>("esito");
    QTest::addColumn<QString>("nomeNelMessaggio"); // for an error: the file the message must name
    QTest::addColumn<bool>("soloSeNonRoot");

    QTest::newRow("good data plays") << Prepara(datiBuoni) << Esito::gioco << QString() << false;
    QTest::newRow("list missing") << con([](const QString &c) { QFile::remove(c + "/lista4.txt"); })
                                  << Esito::errore << "lista4.txt" << false;
    QTest::newRow("list is a folder") << con([](const QString &c) {
        QFile::remove(c + "/lista4.txt");
        QDir(c).mkdir("lista4.txt");
    }) << Esito::errore << "lista4.txt" << false;
    QTest::newRow("list unreadable") << con([](const QString &c) {
        QFile::setPermissions(c + "/lista4.txt", QFileDevice::Permissions());
    }) << Esito::errore << "lista4.txt" << true;
    QTest::newRow("list empty") << con([](const QString &c) { lista4(c, {}); }) << Esito::errore << "lista4.txt"
                                << false;
    QTest::newRow("list of 201 words") << con([](const QString &c) {
        QByteArray l;
        for (int i = 0; i < 201; ++i)
            l += "cane\n";
        lista4(c, l);
    }) << Esito::errore << "lista4.txt" << false;
    QTest::newRow("10 MB on one line") << con([](const QString &c) { lista4(c, QByteArray(10 << 20, 'a')); })
                                       << Esito::errore << "jpg" << false;
    QTest::newRow("NUL and control bytes") << con([](const QString &c) {
        lista4(c, QByteArray("ca\0e\n\x01\x02\x03\x04\n\x1b[2J\n", 14));
    }) << Esito::errore << "jpg" << false;
    QTest::newRow("unclosed quote") << con([](const QString &c) { lista4(c, "cane\n\"lupo\norso\n"); })
                                    << Esito::gioco << QString() << false;
    QTest::newRow("only commas") << con([](const QString &c) { lista4(c, ",,,,,\n"); }) << Esito::errore
                                 << "jpg" << false;
    QTest::newRow("CR-only line ends") << con([](const QString &c) { lista4(c, "cane\rlupo\rorso\r"); })
                                       << Esito::gioco << QString() << false;
    QTest::newRow("picture missing") << con([](const QString &c) { QDir(c + "/jpg").removeRecursively(); })
                                     << Esito::errore << ".jpg" << false;
    QTest::newRow("0-byte picture") << con([](const QString &c) { ogniFoto(c, {}); }) << Esito::errore
                                    << ".jpg" << false;
    QTest::newRow("truncated JPEG") << con([](const QString &c) {
        const QByteArray j = jpeg(QSize(300, 300));
        ogniFoto(c, j.left(j.size() / 3));
    }) << Esito::unoDeiDue << ".jpg" << false;
    QTest::newRow("PNG named .jpg") << con([](const QString &c) { ogniFoto(c, jpeg(QSize(64, 64), "PNG")); })
                                    << Esito::gioco << QString() << false;
    QTest::newRow("JPEG header claiming 60000 x 60000") << con([](const QString &c) {
        ogniFoto(c, jpegGigante(60000));
    }) << Esito::errore << ".jpg" << false;
    QTest::newRow("suoni missing") << con([](const QString &c) { QDir(c + "/suoni").removeRecursively(); })
                                   << Esito::gioco << QString() << false;
    QTest::newRow("sound that is not a WAV") << con([](const QString &c) {
        for (const char *s : {"si1", "si2", "si3", "si4", "no"})
            scrivi(c, QStringLiteral("suoni/%1.wav").arg(QLatin1String(s)), QByteArray(5000, 'x'));
    }) << Esito::gioco << QString() << false;
}

void TestDatiRovinati::datiRovinati()
{
    QFETCH(Prepara, prepara);
    QFETCH(Esito, esito);
    QFETCH(QString, nomeNelMessaggio);
    QFETCH(bool, soloSeNonRoot);
    if (soloSeNonRoot && ::geteuid() == 0)
        QSKIP("running as root: file permissions do not stop root from reading, so nothing to check");

    QTemporaryDir cartella;
    QVERIFY(cartella.isValid());
    const QString programma = cartella.filePath(QStringLiteral("batticco"));
    QVERIFY(QFile::copy(QStringLiteral(BATTICCO_ESEGUIBILE), programma));
    prepara(cartella.path());

    QProcess gioco;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    gioco.setProcessEnvironment(env);
    QElapsedTimer orologio;
    orologio.start();
    gioco.start(programma, {});
    QVERIFY(gioco.waitForStarted(5000));
    const qint64 pid = gioco.processId();

    QByteArray erroreStandard;
    auto leggiErrore = [&] {
        erroreStandard += gioco.readAllStandardError();
        return QString::fromLocal8Bit(erroreStandard.left(2000));
    };
    qint64 piccoKb = 0;
    auto misura = [&] {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (status.open(QIODevice::ReadOnly))
            piccoKb = qMax(piccoKb, kbDi(status.readAll(), "VmHWM:").toLongLong());
    };
    // Waits for a condition while the program runs, measuring its memory.
    auto attendi = [&](const std::function<bool()> &fatto) {
        while (orologio.elapsed() < limiteMs && gioco.state() == QProcess::Running) {
            misura();
            if (fatto())
                return true;
            gioco.waitForFinished(30);
        }
        return false;
    };
    auto chiudi = qScopeGuard([&] {
        if (gioco.state() != QProcess::NotRunning) {
            gioco.kill();
            gioco.waitForFinished(5000);
        }
    });

    QString avvio;
    QVERIFY2(attendi([&] {
                 const QStringList f = finestreVisibili(pid);
                 avvio = f.value(0);
                 return !avvio.isEmpty();
             }),
             qPrintable(QStringLiteral("the start window never showed (%1 ms, %2, status %3); stderr: %4")
                            .arg(orologio.elapsed())
                            .arg(gioco.state() == QProcess::Running ? "running" : "ended")
                            .arg(gioco.exitCode())
                            .arg(leggiErrore())));
    tasto(avvio, QStringLiteral("Return"));

    // The first new window tells: the error box is titled "Batticco", the game window is not.
    QString finestraGioco, box;
    attendi([&] {
        for (const QString &f : finestreVisibili(pid)) {
            if (f == avvio)
                continue;
            if (xdotool({QStringLiteral("getwindowname"), f}) == titoloBox)
                box = f;
            else
                finestraGioco = f;
        }
        return !box.isEmpty() || !finestraGioco.isEmpty();
    });
    QVERIFY2(!box.isEmpty() || !finestraGioco.isEmpty(),
             qPrintable(QStringLiteral("neither the game nor an error after %1 ms; stderr: %2")
                            .arg(orologio.elapsed())
                            .arg(leggiErrore())));

    const bool errore = !box.isEmpty();
    if (esito == Esito::gioco)
        QVERIFY2(!errore, qPrintable(leggiErrore()));
    if (esito == Esito::errore)
        QVERIFY2(errore, "the game window showed where an error was expected");

    if (errore) {
        tasto(box, QStringLiteral("Return"));
    } else {
        // One key of the on-screen keyboard, so a sound is played (or not) before leaving.
        tasto(finestraGioco, QStringLiteral("space"));
        // Esci: Alt opens the menu bar, Left wraps round to its last entry, Return chooses it; then
        // Return answers "Sì" to "Vuoi terminare?".
        tasto(finestraGioco, QStringLiteral("alt"));
        tasto(QString(), QStringLiteral("Left"));
        tasto(QString(), QStringLiteral("Return"));
        QString domanda;
        QVERIFY2(attendi([&] {
                     domanda = finestreDiNome(titoloBox).value(0);
                     return !domanda.isEmpty();
                 }),
                 "Esci asked nothing");
        tasto(domanda, QStringLiteral("Return"));
    }
    attendi([] { return false; });
    const qint64 tempo = orologio.elapsed();
    QVERIFY2(gioco.state() == QProcess::NotRunning,
             qPrintable(QStringLiteral("still running after %1 ms").arg(tempo)));
    leggiErrore();
    const QString stderrTesto = QString::fromLocal8Bit(erroreStandard);
    QCOMPARE(gioco.exitStatus(), QProcess::NormalExit);
    if (errore) {
        QVERIFY2(gioco.exitCode() != 0, "an error ended the program with status 0");
        QVERIFY2(stderrTesto.contains(nomeNelMessaggio),
                 qPrintable(QStringLiteral("the message does not name %1: %2")
                                .arg(nomeNelMessaggio, stderrTesto.left(2000))));
    } else {
        QCOMPARE(gioco.exitCode(), 0);
    }
    QVERIFY2(tempo < limiteMs, qPrintable(QStringLiteral("%1 ms").arg(tempo)));
    QVERIFY2(piccoKb > 0, "no memory figure was read");
    QVERIFY2(piccoKb < limiteKb, qPrintable(QStringLiteral("peak %1 kB").arg(piccoKb)));
    qInfo("%s: %s in %lld ms, peak %lld kB", QTest::currentDataTag(), errore ? "error" : "game", tempo, piccoKb);
}

QTEST_GUILESS_MAIN(TestDatiRovinati)
#include "tst_dati_rovinati.moc"
