// SPDX-License-Identifier: GPL-3.0-or-later
// The real program on broken data folders: each row builds one folder, starts the program in an X
// server of its own, presses "Avvio", and checks that the program either plays normally (and ends
// with status 0 through Esci) or shows the error box, names the broken file on standard error and
// ends with a non-zero status; always quickly and in little memory, never by crashing. Each row's
// cost is bounded against the good folder's: at most 2 s and 256 MB more than a normal picture.
// Rows with a checker's verdict also run batticco-verifica on the folder, within the same bounds:
// the checker must say what the game says. BATTICCO_DA_PROVARE and BATTICCO_VERIFICA_DA_PROVARE in
// the environment name other builds of the two programs to run instead (an older one, to compare).
// Over 500 lines for its table of broken folders, one row each.

#include "jpeg_ostili.h"
#include "processi.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

#ifdef BATTICCO_SANITIZZATO
constexpr int fattore = 4; // sanitizers slow the program down and keep shadow memory
#else
constexpr int fattore = 1;
#endif
// How long a row may wait for the program at all; the bounds asserted are below.
constexpr qint64 limiteMs = 10000 * fattore;
// What one bad file may cost beyond a good folder's run: in processor time, and in time on the clock,
// which a busy machine stretches too, a wait the program makes for the file.
constexpr qint64 piuMs = 2000 * fattore;
constexpr qint64 piuMsOrologio = 4 * piuMs;
constexpr qint64 piuKb = 256 * 1024 * fattore;
const QString titoloBox = QStringLiteral("Batticco");

enum class Esito { gioco, errore, unoDeiDue };

// Options of a row.
enum Come {
    normale = 0,
    aiuto = 1, // in the game, press "Aiutami" and close its box before leaving
    latino1 = 2, // the program and its data in a folder named "caf\xE9", Latin-1 under a UTF-8 locale
    stretto = 4, // a tighter memory bound: 96 MB beyond the good folder's
};

QString programma(const char *variabile, const char *costruito)
{
    const QString altro = qEnvironmentVariable(variabile);
    return altro.isEmpty() ? QString::fromUtf8(costruito) : altro;
}

// What a run of the checker cost: its time, its peak resident memory (from wait4), its status and
// what it printed.
struct Costo {
    qint64 ms = 0;
    qint64 piccoKb = 0;
    int stato = -1;
    QByteArray uscita;
};

// Runs the checker on the folder, as the user "nobody" when asked, and measures it.
Costo verifica(const QString &cartella, bool comeNessuno)
{
    const QByteArray eseguibile
        = QFile::encodeName(programma("BATTICCO_VERIFICA_DA_PROVARE", BATTICCO_VERIFICA));
    const QByteArray argomento = QFile::encodeName(cartella);
    int canale[2];
    Costo c;
    if (::pipe(canale) != 0)
        return c;
    QElapsedTimer t;
    t.start();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(canale[1], 1);
        ::dup2(canale[1], 2);
        ::close(canale[0]);
        ::close(canale[1]);
        if (comeNessuno && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(99);
        char *argv[] = {
            const_cast<char *>(eseguibile.constData()), const_cast<char *>(argomento.constData()), nullptr};
        ::execv(argv[0], argv);
        ::_exit(98);
    }
    ::close(canale[1]);
    char pezzo[4096];
    for (;;) {
        pollfd attesa {canale[0], POLLIN, 0};
        if (::poll(&attesa, 1, 100) == 0) {
            if (t.elapsed() > 30000)
                ::kill(pid, SIGKILL);
            continue;
        }
        const ssize_t n = ::read(canale[0], pezzo, sizeof pezzo);
        if (n <= 0)
            break;
        if (c.uscita.size() < 100000)
            c.uscita.append(pezzo, n);
    }
    ::close(canale[0]);
    int stato = 0;
    rusage uso {};
    ::wait4(pid, &stato, 0, &uso);
    c.ms = t.elapsed();
    c.piccoKb = uso.ru_maxrss;
    c.stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
    return c;
}

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

    // One run of the program on a row's folder, from its start to its end.
    void avvia(const QString &cartella, bool latino, bool comeNessuno);
    QString leggiErrore();
    // Samples the program's peak memory and processor time so far.
    void osserva();
    // Waits for a condition while the program runs, measuring it.
    bool attendi(const std::function<bool()> &fatto);
    // Answers a message box with Return; rispondi() waits for one first.
    void invio(const QString &box);
    bool rispondi();
    void premiAiutami(const QString &finestra);
    // In the game: a key, or Aiutami, then Esci.
    void gioca(const QString &finestra, bool aiuto);
    // After Avvio: the game's window, or the error box.
    void dopoLAvvio(const QString &avvio, QString *finestraGioco, QString *box);
    // How the run ended, what it said and what it cost.
    void misuraLaFine(bool errore, const QString &nomeNelMessaggio, bool stretto);
    // The checker on the same folder: what it says and what it costs.
    void controllaVerdetto(const QString &cartella, const QString &verdetto, bool comeNessuno);

    std::unique_ptr<prova::ServerX> x;
    QString display;
    QProcess gioco;
    QElapsedTimer orologio;
    QByteArray erroreStandard;
    qint64 piccoKb = 0;
    qint64 processoreMs = 0;
};

void TestDatiRovinati::initTestCase()
{
    x = std::make_unique<prova::ServerX>();
    if (x->manca())
        QSKIP(qPrintable(x->motivo()));
    display = x->display();
    QVERIFY2(!display.isEmpty(), qPrintable(x->motivo()));
    int stato = 0;
    xdotool({QStringLiteral("version")}, &stato);
    if (stato != 0)
        QSKIP("xdotool is not installed (tools/install-deps.sh installs it)");
}

void TestDatiRovinati::cleanupTestCase()
{
    x.reset();
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

namespace
{

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

void lista4(const QString &c, const QByteArray &contenuto)
{
    scrivi(c, QStringLiteral("lista4.txt"), contenuto);
}

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
    QTest::addColumn<int>("come");
    // For a row where the game refuses a file: what batticco-verifica must say of the folder too.
    QTest::addColumn<QString>("verdetto");

    QTest::newRow("good data plays") << Prepara(datiBuoni) << Esito::gioco << QString() << false << 0
                                     << QString();
    QTest::newRow("list missing") << con([](const QString &c) { QFile::remove(c + "/lista4.txt"); })
                                  << Esito::errore << "lista4.txt" << false << 0 << QString();
    QTest::newRow("list is a folder") << con([](const QString &c) {
        QFile::remove(c + "/lista4.txt");
        QDir(c).mkdir("lista4.txt");
    }) << Esito::errore << "lista4.txt"
                                      << false << 0 << QString();
    QTest::newRow("list unreadable") << con(
        [](const QString &c) { QFile::setPermissions(c + "/lista4.txt", QFileDevice::Permissions()); })
                                     << Esito::errore << "lista4.txt" << true << 0 << QString();
    QTest::newRow("list empty") << con([](const QString &c) { lista4(c, {}); }) << Esito::errore
                                << "lista4.txt" << false << 0 << QString();
    QTest::newRow("list of 201 words") << con([](const QString &c) {
        QByteArray l;
        for (int i = 0; i < 201; ++i)
            l += "cane\n";
        lista4(c, l);
    }) << Esito::errore << "lista4.txt" << false
                                       << 0 << QString();
    QTest::newRow("10 MB on one line") << con([](const QString &c) { lista4(c, QByteArray(10 << 20, 'a')); })
                                       << Esito::errore << "jpg" << false << 0 << QString();
    QTest::newRow("NUL and control bytes")
        << con([](const QString &c) { lista4(c, QByteArray("ca\0e\n\x01\x02\x03\x04\n\x1b[2J\n", 14)); })
        << Esito::errore << "[U+00" << false << 0 << QString();
    QTest::newRow("unclosed quote") << con([](const QString &c) { lista4(c, "cane\n\"lupo\norso\n"); })
                                    << Esito::gioco << QString() << false << 0 << QString();
    QTest::newRow("only commas") << con([](const QString &c) { lista4(c, ",,,,,\n"); }) << Esito::errore
                                 << "jpg" << false << 0 << QString();
    QTest::newRow("CR-only line ends") << con([](const QString &c) { lista4(c, "cane\rlupo\rorso\r"); })
                                       << Esito::gioco << QString() << false << 0 << QString();
    QTest::newRow("picture missing") << con([](const QString &c) { QDir(c + "/jpg").removeRecursively(); })
                                     << Esito::errore << ".jpg" << false << 0 << QString();
    QTest::newRow("0-byte picture") << con([](const QString &c) { ogniFoto(c, {}); }) << Esito::errore
                                    << ".jpg" << false << 0 << QString();
    QTest::newRow("truncated JPEG") << con([](const QString &c) {
        const QByteArray j = jpeg(QSize(300, 300));
        ogniFoto(c, j.left(j.size() / 3));
    }) << Esito::unoDeiDue << ".jpg" << false
                                    << 0 << QString();
    QTest::newRow("PNG named .jpg") << con([](const QString &c) { ogniFoto(c, jpeg(QSize(64, 64), "PNG")); })
                                    << Esito::gioco << QString() << false << 0 << QString();
    QTest::newRow("JPEG header claiming 60000 x 60000")
        << con([](const QString &c) { ogniFoto(c, jpegGigante(60000)); }) << Esito::errore << ".jpg" << false
        << 0 << QString();
    QTest::newRow("suoni missing") << con([](const QString &c) { QDir(c + "/suoni").removeRecursively(); })
                                   << Esito::gioco << QString() << false << 0 << QString();
    QTest::newRow("five sounds of 1 GiB, all holes") << con([](const QString &c) {
        for (const char *s : {"si1", "si2", "si3", "si4", "no"}) {
            QFile f(c + QStringLiteral("/suoni/%1.wav").arg(QLatin1String(s)));
            if (!f.resize(qint64(1) << 30))
                qFatal("cannot grow %s", qPrintable(f.fileName()));
        }
    }) << Esito::gioco << QString() << false << 0 << QString();
    QTest::newRow("sound that is not a WAV") << con([](const QString &c) {
        for (const char *s : {"si1", "si2", "si3", "si4", "no"})
            scrivi(c, QStringLiteral("suoni/%1.wav").arg(QLatin1String(s)), QByteArray(5000, 'x'));
    }) << Esito::gioco << QString() << false << 0
                                             << QString();

    // Real files that must play.
    QTest::newRow("phone photo, 108 MP")
        << con([](const QString &c) { ogniFoto(c, jpegostili::jpegPiatto(QSize(12000, 9000))); })
        << Esito::gioco << QString() << false << 0 << QString();
    QTest::newRow("phone photo held upright (EXIF)") << con([](const QString &c) {
        ogniFoto(c, jpegostili::conOrientamento(jpegostili::jpeg(QSize(400, 300)), 6));
    }) << Esito::gioco << QString() << false << 0 << QString();
    QTest::newRow("list saved as Unicode by Notepad") << con([](const QString &c) {
        lista4(c,
            QByteArray("\xFF\xFE"
                       "c\0a\0n\0e\0\r\0\n\0l\0u\0p\0o\0\r\0\n\0",
                26));
    }) << Esito::gioco << QString() << false << 0 << QString();
    QTest::newRow("list saved as Unicode big endian")
        << con([](const QString &c) { lista4(c, QByteArray("\xFE\xFF\0c\0a\0n\0e\0\n", 12)); })
        << Esito::gioco << QString() << false << 0 << QString();
    QTest::newRow("picture names from a Mac (NFD)") << con([](const QString &c) {
        lista4(c, "caff\xC3\xA8\n");
        scrivi(c, QString::fromUtf8("jpg/caffe\xCC\x80.jpg"), jpeg(QSize(64, 64)));
    }) << Esito::gioco << QString() << false << 0 << QString();
    QTest::newRow("DOS end-of-file byte") << con([](const QString &c) { lista4(c, "cane\r\nlupo\r\n\x1A"); })
                                          << Esito::gioco << QString() << false << 0 << QString();
    QTest::newRow("giant help word") << con([](const QString &c) {
        QByteArray l(8 << 20, ' ');
        l[0] = '"';
        l += "cane\"\n";
        lista4(c, l);
    }) << Esito::gioco << QString() << false
                                     << int(aiuto) << QString();
    QTest::newRow("data folder named in Latin-1")
        << Prepara(datiBuoni) << Esito::gioco << QString() << false << int(latino1) << QString();
    QTest::newRow("UTF-16 list naming no picture") << con([](const QString &c) {
        lista4(c,
            QByteArray("\xFF\xFE"
                       "g\0n\0u\0",
                8));
    }) << Esito::errore << "lista4.txt" << false << 0
                                                   << QString();

    // Hostile pictures: refused quickly, with a message that says what is wrong.
    QTest::newRow("coefficient bomb")
        << con([](const QString &c) { ogniFoto(c, jpegostili::bombaCoefficienti(10000)); }) << Esito::errore
        << "troppa memoria" << false << 0 << QStringLiteral("troppa memoria");
    QTest::newRow("scan bomb") << con([](const QString &c) { ogniFoto(c, jpegostili::bombaScansioni(6000)); })
                               << Esito::errore << "passate" << false << 0 << QStringLiteral("passate");
    QTest::newRow("12-bit JPEG") << con(
        [](const QString &c) { ogniFoto(c, jpegostili::conFrame(jpeg(QSize(16, 16)), QSize(16, 16), 12)); })
                                 << Esito::errore << "12 bit" << false << 0 << QString();
    QTest::newRow("lossless JPEG") << con([](const QString &c) {
        ogniFoto(c, jpegostili::conFrame(jpeg(QSize(16, 16)), QSize(16, 16), 16, 0xC3));
    }) << Esito::errore << "senza perdita"
                                   << false << 0 << QString();
    QTest::newRow("zero-width JPEG") << con([](const QString &c) {
        ogniFoto(c, jpegostili::conFrame(jpeg(QSize(16, 16)), QSize(0, 16)));
    }) << Esito::errore << "larghezza o altezza zero"
                                     << false << 0 << QString();
    QTest::newRow("a folder named cane.jpg") << con([](const QString &c) {
        for (const QString &p : parole) {
            QFile::remove(c + "/jpg/" + p + ".jpg");
            QDir().mkpath(c + "/jpg/" + p + ".jpg");
        }
    }) << Esito::errore << "è una cartella" << false
                                             << 0 << QString();
    // Drawings named .jpg: refused by their content, whatever they would show or wait for.
    QTest::newRow("SVG showing a FIFO") << con([](const QString &c) {
        QVERIFY(::mkfifo(QFile::encodeName(c + "/jpg/tubo").constData(), 0644) == 0);
        ogniFoto(c, jpegostili::svgConImmagine("tubo"));
    }) << Esito::errore << "formato svg" << false
                                        << 0 << QStringLiteral("è in formato svg");
    QTest::newRow("SVG showing a picture outside the folder") << con([](const QString &c) {
        scrivi(c, QStringLiteral("../segreto.png"), jpeg(QSize(64, 64), "PNG"));
        ogniFoto(c, jpegostili::svgConImmagine(QFile::encodeName(c + "/../segreto.png")));
    }) << Esito::errore << "formato svg" << false << 0 << QStringLiteral("è in formato svg");
    QTest::newRow("SVG holding a scan bomb") << con([](const QString &c) {
        ogniFoto(c,
            jpegostili::svgConImmagine(
                "data:image/jpeg;base64," + jpegostili::bombaScansioni(3000).toBase64()));
    }) << Esito::errore << "formato svg" << false
                                             << 0 << QStringLiteral("è in formato svg");
    // Inside the scan and memory bounds, but blocks times scans is far beyond what shows in a moment.
    QTest::newRow("100 scans, flat, 8900 x 8900")
        << con([](const QString &c) { ogniFoto(c, jpegostili::jpegCentoPassate(QSize(8900, 8900), false)); })
        << Esito::errore << "troppe passate" << false << 0 << QStringLiteral("troppe passate");
    QTest::newRow("100 scans, noise, 8900 x 8900")
        << con([](const QString &c) { ogniFoto(c, jpegostili::jpegCentoPassate(QSize(8900, 8900), true)); })
        << Esito::errore << "troppe passate" << false << 0 << QStringLiteral("troppe passate");
    QTest::newRow("PNG of 6300 x 6300 named .jpg")
        << con([](const QString &c) { ogniFoto(c, jpeg(QSize(6300, 6300), "PNG")); }) << Esito::errore
        << "un'immagine PNG può averne" << false << 0 << QStringLiteral("formato png");
    QTest::newRow("60 MB on one line")
        << con([](const QString &c) { lista4(c, QByteArray(60 << 20, 'a')); }) << Esito::errore
        << "nome non valido" << false << int(stretto) << QStringLiteral("non può essere il nome di un file");
    QTest::newRow("list unreadable, in Italian")
        << con([](const QString &c) { QFile::setPermissions(c + "/lista4.txt", QFileDevice::Permissions()); })
        << Esito::errore << "(permesso negato)" << true << 0 << QStringLiteral("(permesso negato)");
    QTest::newRow("picture unreadable") << con([](const QString &c) {
        for (const QString &p : parole)
            QFile::setPermissions(c + "/jpg/" + p + ".jpg", QFileDevice::Permissions());
    }) << Esito::errore << "permesso negato"
                                        << true << 0 << QStringLiteral("(permesso negato)");
}

namespace
{

// As root, the folder and its subfolders are opened to "nobody", who runs the programs.
void apriANessuno(const QString &cartella)
{
    QDirIterator tutti(cartella, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QFile::setPermissions(cartella, QFileDevice::Permissions(0x7755));
    while (tutti.hasNext()) {
        const QFileInfo voce(tutti.next());
        if (voce.isDir())
            QFile::setPermissions(voce.filePath(), QFileDevice::Permissions(0x7755));
    }
}

// Moves everything in the folder into its subfolder "caf\xE9", named in Latin-1 under a UTF-8
// locale; Qt's text cannot hold the name, so the folder is made and entered through its bytes.
// Returns the subfolder's name as bytes, empty when it could not be made.
QByteArray inCartellaLatina1(const QString &cartella)
{
    const QByteArray base = QFile::encodeName(cartella);
    const QByteArray latino = base + "/caf\xE9";
    // Listed before the Latin-1 folder exists: Qt 6.4 leaves a name that is not UTF-8 out of a
    // listing, Qt 6.8 lists it with the byte dropped ("caf").
    const QStringList voci = QDir(cartella).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    if (::mkdir(latino.constData(), 0755) != 0)
        return {};
    for (const QString &voce : voci) {
        const QByteArray nome = QFile::encodeName(voce);
        if (std::rename((base + '/' + nome).constData(), (latino + '/' + nome).constData()) != 0)
            return {};
    }
    return latino;
}

} // namespace

void TestDatiRovinati::avvia(const QString &cartella, bool latino, bool comeNessuno)
{
    QString comando = cartella + QStringLiteral("/batticco");
    QStringList argomenti;
    if (latino) {
        comando = QStringLiteral("/bin/sh");
        argomenti = {QStringLiteral("-c"), QStringLiteral("exec \"$1/$(printf 'caf\\351')/batticco\""),
            QStringLiteral("sh"), cartella};
    }
    QProcessEnvironment env = x->ambiente();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    if (comeNessuno) {
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        env.insert(QStringLiteral("HOME"), cartella);
        gioco.setChildProcessModifier([] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(99);
        });
    } else {
        gioco.setChildProcessModifier({});
    }
    gioco.setProcessEnvironment(env);
    erroreStandard.clear();
    piccoKb = 0;
    processoreMs = 0;
    orologio.start();
    gioco.start(comando, argomenti);
}

QString TestDatiRovinati::leggiErrore()
{
    erroreStandard += gioco.readAllStandardError();
    return QString::fromLocal8Bit(erroreStandard.left(2000));
}

void TestDatiRovinati::osserva()
{
    piccoKb = qMax(piccoKb, prova::memoriaKb(gioco.processId(), "VmHWM"));
    processoreMs = qMax(processoreMs, prova::processoreMs(gioco.processId()));
}

bool TestDatiRovinati::attendi(const std::function<bool()> &fatto)
{
    while (orologio.elapsed() < limiteMs && gioco.state() == QProcess::Running) {
        osserva();
        if (fatto())
            return true;
        gioco.waitForFinished(30);
    }
    return false;
}

void TestDatiRovinati::invio(const QString &box)
{
    // A box can be mapped before the program has taken the focus it was given, and a key that
    // reaches the blocked main window is lost: if the box is still there a good while later, the
    // key is sent again.
    for (int volta = 0; volta < 3 && gioco.state() == QProcess::Running; ++volta) {
        tasto(box, QStringLiteral("Return"));
        QElapsedTimer pausa;
        pausa.start();
        while (pausa.elapsed() < 2500 && gioco.state() == QProcess::Running) {
            osserva();
            if (!finestreDiNome(titoloBox).contains(box))
                return;
            gioco.waitForFinished(30);
        }
    }
}

bool TestDatiRovinati::rispondi()
{
    QString box;
    if (!attendi([&] {
            box = finestreDiNome(titoloBox).value(0);
            return !box.isEmpty();
        }))
        return false;
    invio(box);
    return true;
}

void TestDatiRovinati::premiAiutami(const QString &finestra)
{
    // "Aiutami" (24, 152, 128 x 79 in the client area, which lies below the menu bar) shows the word
    // in a box; close it and go on.
    const QStringList g
        = xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), finestra}).split(u'\n');
    auto campo = [&g](const char *nome) {
        for (const QString &r : g) {
            if (r.startsWith(QLatin1String(nome) + u'='))
                return r.section(u'=', 1).toInt();
        }
        return 0;
    };
    const int px = campo("X") + 24 + 64;
    const int py = campo("Y") + campo("HEIGHT") - 480 + 152 + 40;
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(px), QString::number(py),
        QStringLiteral("click"), QStringLiteral("1")});
    QVERIFY2(rispondi(), "Aiutami showed no word");
    QVERIFY2(attendi([&] { return finestreDiNome(titoloBox).isEmpty(); }), "the word's box stayed open");
}

void TestDatiRovinati::gioca(const QString &finestra, bool aiuto)
{
    if (aiuto)
        premiAiutami(finestra);
    if (QTest::currentTestFailed())
        return;
    // One key of the on-screen keyboard, so a sound is played (or not) before leaving; after
    // "Aiutami" the button holds the focus, and Space would press it again.
    if (!aiuto)
        tasto(finestra, QStringLiteral("space"));
    // Esci: Alt opens the menu bar, Left wraps round to its last entry, Return chooses it; then
    // Return answers "Sì" to "Vuoi terminare?".
    tasto(finestra, QStringLiteral("alt"));
    tasto(QString(), QStringLiteral("Left"));
    tasto(QString(), QStringLiteral("Return"));
    QVERIFY2(rispondi(), "Esci asked nothing");
}

void TestDatiRovinati::dopoLAvvio(const QString &avvio, QString *finestraGioco, QString *box)
{
    // The first new window tells: the error box is titled "Batticco", the game window is not.
    attendi([&] {
        for (const QString &f : finestreVisibili(gioco.processId())) {
            if (f != avvio)
                *(xdotool({QStringLiteral("getwindowname"), f}) == titoloBox ? box : finestraGioco) = f;
        }
        return !box->isEmpty() || !finestraGioco->isEmpty();
    });
    QVERIFY2(!box->isEmpty() || !finestraGioco->isEmpty(),
        qPrintable(QStringLiteral("neither the game nor an error after %1 ms; stderr: %2")
                       .arg(orologio.elapsed())
                       .arg(leggiErrore())));
}

void TestDatiRovinati::datiRovinati()
{
    QFETCH(Prepara, prepara);
    QFETCH(Esito, esito);
    QFETCH(QString, nomeNelMessaggio);
    QFETCH(bool, soloSeNonRoot);
    QFETCH(int, come);
    QFETCH(QString, verdetto);
    // File permissions do not stop root: as root, such a row runs the programs as "nobody".
    const bool comeNessuno = soloSeNonRoot && ::geteuid() == 0;

    QTemporaryDir cartella;
    QVERIFY(cartella.isValid());
    QVERIFY(
        QFile::copy(programma("BATTICCO_DA_PROVARE", BATTICCO_ESEGUIBILE), cartella.filePath("batticco")));
    prepara(cartella.path());
    if (QTest::currentTestFailed())
        return;
    if (comeNessuno)
        apriANessuno(cartella.path());
    // A Latin-1 folder goes back to a name QTemporaryDir can remove, whatever happens.
    const QByteArray latino = (come & latino1) ? inCartellaLatina1(cartella.path()) : QByteArray();
    auto rinomina = qScopeGuard([&latino] {
        if (!latino.isEmpty())
            std::rename(latino.constData(), (latino.chopped(4) + "latino1").constData());
    });
    QVERIFY(!(come & latino1) || !latino.isEmpty());
    avvia(cartella.path(), come & latino1, comeNessuno);
    QVERIFY(gioco.waitForStarted(5000));
    auto chiudi = qScopeGuard([this] {
        if (gioco.state() != QProcess::NotRunning) {
            gioco.kill();
            gioco.waitForFinished(5000);
        }
    });
    const qint64 pid = gioco.processId();

    QString avvio;
    QVERIFY2(attendi([&] {
        avvio = finestreVisibili(pid).value(0);
        return !avvio.isEmpty();
    }),
        qPrintable(QStringLiteral("the start window never showed (%1 ms, %2, status %3); stderr: %4")
                       .arg(orologio.elapsed())
                       .arg(gioco.state() == QProcess::Running ? "running" : "ended")
                       .arg(gioco.exitCode())
                       .arg(leggiErrore())));
    tasto(avvio, QStringLiteral("Return"));

    QString finestraGioco, box;
    dopoLAvvio(avvio, &finestraGioco, &box);
    if (QTest::currentTestFailed())
        return;
    const bool errore = !box.isEmpty();
    if (esito == Esito::gioco)
        QVERIFY2(!errore, qPrintable(leggiErrore()));
    if (esito == Esito::errore)
        QVERIFY2(errore, "the game window showed where an error was expected");
    if (errore)
        invio(box);
    else
        gioca(finestraGioco, come & aiuto);
    if (QTest::currentTestFailed())
        return;
    attendi([] { return false; });
    misuraLaFine(errore, nomeNelMessaggio, come & stretto);
    if (!verdetto.isEmpty() && !QTest::currentTestFailed())
        controllaVerdetto(cartella.path(), verdetto, comeNessuno);
}

void TestDatiRovinati::misuraLaFine(bool errore, const QString &nomeNelMessaggio, bool stretto)
{
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
    QVERIFY2(piccoKb > 0, "no memory figure was read");
    // The good folder's run, the first row, is the measure of a normal picture.
    static qint64 baseMs = 0, baseProcessoreMs = 0, baseKb = 0;
    if (QTest::currentDataTag() == QByteArray("good data plays")) {
        baseMs = tempo;
        baseProcessoreMs = processoreMs;
        baseKb = piccoKb;
    }
    const qint64 rifMs = baseMs > 0 ? baseMs : 1000;
    const qint64 rifProcessoreMs = baseMs > 0 ? baseProcessoreMs : 500;
    const qint64 rifKb = baseKb > 0 ? baseKb : 100 * 1024;
    QVERIFY2(processoreMs >= 0 && processoreMs < rifProcessoreMs + piuMs,
        qPrintable(QStringLiteral("%1 ms of processor time, the good folder %2 ms")
                       .arg(processoreMs)
                       .arg(rifProcessoreMs)));
    QVERIFY2(tempo < rifMs + piuMsOrologio,
        qPrintable(QStringLiteral("%1 ms, the good folder %2 ms").arg(tempo).arg(rifMs)));
    const qint64 limiteKb = rifKb + (stretto ? 96 * 1024 * fattore : piuKb);
    QVERIFY2(piccoKb < limiteKb,
        qPrintable(QStringLiteral("peak %1 kB, the good folder %2 kB").arg(piccoKb).arg(rifKb)));
    QVERIFY2(!stderrTesto.contains(QLatin1String("allocation limit")), qPrintable(stderrTesto.left(2000)));
    qInfo("%s: %s in %lld ms (%lld ms of processor), peak %lld kB", QTest::currentDataTag(),
        errore ? "error" : "game", tempo, processoreMs, piccoKb);
}

void TestDatiRovinati::controllaVerdetto(const QString &cartella, const QString &verdetto, bool comeNessuno)
{
    const Costo c = verifica(cartella, comeNessuno);
    const QString detto = QString::fromUtf8(c.uscita);
    QVERIFY2(c.stato == 1 && detto.contains(verdetto),
        qPrintable(QStringLiteral("the checker (status %1) does not say \"%2\": %3")
                       .arg(c.stato)
                       .arg(verdetto, detto.left(2000))));
    // The game stops at its first picture; the checker reads every one the lists name.
    QVERIFY2(c.ms < piuMs * parole.size(), qPrintable(QStringLiteral("the checker took %1 ms").arg(c.ms)));
    QVERIFY2(c.piccoKb < piuKb, qPrintable(QStringLiteral("the checker peaked at %1 kB").arg(c.piccoKb)));
    qInfo("%s: checker in %lld ms, peak %lld kB", QTest::currentDataTag(), c.ms, c.piccoKb);
}

QTEST_GUILESS_MAIN(TestDatiRovinati)
#include "tst_dati_rovinati.moc"
