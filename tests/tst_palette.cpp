// SPDX-License-Identifier: GPL-3.0-or-later
#include "feedback/ModuloColoriSuoni.h"
#include "finte.h"
#include "ui/percorsi.h"
#include "ui/serverPulse.h"
#include "ui/wav.h"

#include <QSet>
#include <QTest>

#include <cmath>

#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>

class TestPalette : public QObject
{
    Q_OBJECT
private slots:
    void colore_data();
    void colore();
    void soloColoriDellaTavolozza();
    void suonoSi_data();
    void suonoSi();
    void estrazioniConsumate();
    void suoniMancantiNonFermanoNulla();
    void suoniGiocabili();
    void senzaServerNessunaLibreria();
    void letturaWav_data();
    void letturaWav();
    void percorsiDati();
};

void TestPalette::colore_data()
{
    QTest::addColumn<double>("r");
    QTest::addColumn<quint32>("atteso");
    QTest::newRow("r=0 gives the first colour, light pink") << 0.0 << 0x00C0C0FFu;
    QTest::newRow("r=1/18 gives salmon red") << 1.0 / 18.0 << 0x008080FFu;
    QTest::newRow("r=2/18 gives light pink again") << 2.0 / 18.0 << 0x00C0C0FFu;
    QTest::newRow("r=13.5/18 gives light magenta") << 13.5 / 18.0 << 0x00FFC0FFu;
    QTest::newRow("r=14.5/18 gives light magenta again") << 14.5 / 18.0 << 0x00FFC0FFu;
    QTest::newRow("r=15.5/18 gives light grey") << 15.5 / 18.0 << 0x00E0E0E0u;
    QTest::newRow("r just below 1 gives magenta") << std::nextafter(1.0, 0.0) << 0x00FF00FFu;
}

void TestPalette::colore()
{
    QFETCH(double, r);
    QFETCH(quint32, atteso);
    PiattaformaFinta f;
    f.casuale.valori = {r};
    ModuloColoriSuoni m(f.piattaforma);
    QCOMPARE(m.coloreCasuale(), atteso);
}

void TestPalette::soloColoriDellaTavolozza()
{
    // 16 different colours, two of them twice as likely: over a fine sweep of r each colour shows
    // up in proportion to its entries.
    PiattaformaFinta f;
    ModuloColoriSuoni m(f.piattaforma);
    QHash<quint32, int> conteggi;
    const int passi = 18 * 1000;
    for (int i = 0; i < passi; ++i) {
        f.casuale.valori = {double(i) / passi};
        ++conteggi[m.coloreCasuale()];
    }
    QCOMPARE(conteggi.size(), 16);
    QCOMPARE(conteggi.value(0x00C0C0FFu), 2000);
    QCOMPARE(conteggi.value(0x00FFC0FFu), 2000);
    QCOMPARE(conteggi.value(0x00FF0000u), 1000);
    QCOMPARE(conteggi.value(0x000040C0u), 1000);
}

void TestPalette::suonoSi_data()
{
    QTest::addColumn<double>("r");
    QTest::addColumn<QString>("file");
    QTest::newRow("r=0 plays si1") << 0.0 << "si1.wav";
    QTest::newRow("r=0.25 plays si2") << 0.25 << "si2.wav";
    QTest::newRow("r=0.74 plays si3") << 0.74 << "si3.wav";
    QTest::newRow("r just below 1 plays si4") << std::nextafter(1.0, 0.0) << "si4.wav";
}

void TestPalette::suonoSi()
{
    QFETCH(double, r);
    QFETCH(QString, file);
    PiattaformaFinta f;
    f.casuale.valori = {r};
    ModuloColoriSuoni m(f.piattaforma);
    m.suonaSi();
    QCOMPARE(f.riproduttore.suonati.size(), 1);
    QCOMPARE(QDir::fromNativeSeparators(f.riproduttore.suonati[0]), f.cartella.path() + "/suoni/" + file);
}

void TestPalette::estrazioniConsumate()
{
    PiattaformaFinta f;
    ModuloColoriSuoni m(f.piattaforma);
    m.suonaNo();
    QCOMPARE(f.casuale.estratti, 0);
    QCOMPARE(f.riproduttore.nomi(), QStringList {"no.wav"});
    m.coloreCasuale();
    QCOMPARE(f.casuale.estratti, 1);
    m.suonaSi();
    QCOMPARE(f.casuale.estratti, 2);
}

void TestPalette::suoniMancantiNonFermanoNulla()
{
    // No suoni folder at all, and then a file that is no WAV: the real player stays silent,
    // raises nothing, and a second sound simply takes the first one's place.
    QTemporaryDir cartella;
    RiproduttorePulse riproduttore;
    riproduttore.suona(cartella.path() + "/suoni/no.wav");
    riproduttore.suona(cartella.path() + "/suoni/si1.wav");
    QDir().mkpath(cartella.path() + "/suoni");
    QFile finto(cartella.path() + "/suoni/si2.wav");
    QVERIFY(finto.open(QIODevice::WriteOnly));
    finto.write("not a wave file at all");
    finto.close();
    riproduttore.suona(finto.fileName());
    riproduttore.suona(finto.fileName());
    QCoreApplication::processEvents();
}

void TestPalette::suoniGiocabili()
{
    // Only the size decides, read from the directory entry: a sparse gigabyte is refused without
    // being read, a file of exactly the bound still plays, and what is not a regular file (a
    // folder, a pipe that would block a reader) is silent like a missing file.
    QTemporaryDir cartella;
    const QString grande = cartella.path() + "/grande.wav";
    QFile f(grande);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QVERIFY(f.resize(qint64(1) << 30));
    f.close();
    QVERIFY(!suonoGiocabile(grande));
    QVERIFY(f.resize(massimoByteSuono + 1));
    QVERIFY(!suonoGiocabile(grande));
    QVERIFY(f.resize(massimoByteSuono));
    QVERIFY(suonoGiocabile(grande));
    QVERIFY(!suonoGiocabile(cartella.path()));
    QVERIFY(!suonoGiocabile(cartella.path() + "/manca.wav"));
    const QByteArray tubo = QFile::encodeName(cartella.path() + "/tubo.wav");
    QCOMPARE(mkfifo(tubo.constData(), 0600), 0);
    QVERIFY(!suonoGiocabile(QFile::decodeName(tubo)));
    RiproduttorePulse riproduttore;
    riproduttore.suona(QFile::decodeName(tubo));
}

void TestPalette::senzaServerNessunaLibreria()
{
    // No sound server anywhere this user's would be: good sounds are played into nothing, the
    // server's client library (and its codecs) is never loaded, and the player closes at once.
    QTemporaryDir cartella;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), casa = qgetenv("HOME"),
                     server = qgetenv("PULSE_SERVER");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(cartella.path()));
    qputenv("HOME", QFile::encodeName(cartella.path()));
    qunsetenv("PULSE_SERVER");
    auto ripristina = qScopeGuard([&] {
        qputenv("XDG_RUNTIME_DIR", runtime);
        qputenv("HOME", casa);
        if (!server.isEmpty())
            qputenv("PULSE_SERVER", server);
    });
    if (serverpulse::presente())
        QSKIP("a sound server of this user runs outside any runtime folder (/run/user or /var/run)");
    auto mappata = [] {
        QFile mappe(QStringLiteral("/proc/self/maps"));
        return mappe.open(QIODevice::ReadOnly) && mappe.readAll().contains("libpulse");
    };
    QVERIFY2(!mappata(), "libpulse is loaded before any sound");
    QFile suono(cartella.path() + QStringLiteral("/no.wav"));
    QVERIFY(suono.open(QIODevice::WriteOnly) && suono.write(wavDiProva()) > 0);
    suono.close();
    QElapsedTimer tempo;
    tempo.start();
    {
        RiproduttorePulse riproduttore;
        for (int i = 0; i < 5; ++i) {
            riproduttore.suona(suono.fileName());
            riproduttore.suonaSeGiocabile(suono.fileName());
        }
        QTest::qWait(100);
        QVERIFY2(!mappata(), "libpulse loaded with no sound server to talk to");
    }
    QVERIFY2(tempo.elapsed() < 2000, "the player waited for a server that is not there");
}

void TestPalette::letturaWav_data()
{
    // What a sound file holds, read the way the player reads it: the encoding, channels, rate
    // and bytes of whole frames, or the start of the reason the checker gives.
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("atteso");
    const QByteArray base = wavDiProva();
    QTest::newRow("16-bit mono") << base << "s16 1 8000 4";
    QTest::newRow("8-bit stereo") << wavDiProva(1, 2, 8) << "u8 2 8000 4";
    QTest::newRow("24-bit") << wavDiProva(1, 1, 24, QByteArray(7, 1)) << "s24 1 8000 6";
    QTest::newRow("float") << wavDiProva(3, 2, 32, QByteArray(8, 0)) << "f32 2 8000 8";
    QTest::newRow("mu-law, 48 kHz") << wavDiProva(7, 1, 8, "abc", 48000) << "ulaw 1 48000 3";
    // WAVE_FORMAT_EXTENSIBLE: a 40-byte format chunk whose sub-format GUID starts with 1, PCM.
    QByteArray estesa = base;
    estesa.replace(16, 4, QByteArray("\x28\0\0\0", 4));
    estesa[20] = char(0xFE);
    estesa[21] = char(0xFF);
    estesa.insert(36, QByteArray("\x16\0\x10\0\x04\0\0\0\x01\0", 10) + QByteArray(14, 'g'));
    QTest::newRow("extensible PCM") << estesa << "s16 1 8000 4";
    // A LIST chunk of odd size, padded, before the format; bytes after the last chunk.
    QTest::newRow("chunks skipped") << QByteArray("RIFF\0\0\0\0WAVELIST\x03\0\0\0abc\0", 24) + base.sliced(12)
            + "coda"
                                    << "s16 1 8000 4";
    // A download cut short: the data chunk claims more than there is; half a frame is dropped.
    QByteArray tronca = base + "x";
    tronca.replace(40, 4, QByteArray("\xE8\x03\0\0", 4));
    QTest::newRow("data cut short") << tronca << "s16 1 8000 4";
    QByteArray enorme = base;
    enorme.replace(16, 4, "\xFF\xFF\xFF\xFF");
    QTest::newRow("format chunk of 4 GiB") << enorme << "manca il blocco dei campioni";

    QTest::newRow("MP3 renamed") << QByteArray("ID3\x03 not a wave") << "manca l'intestazione RIFF/WAVE";
    QTest::newRow("no data chunk") << base.first(36) << "manca il blocco dei campioni";
    QTest::newRow("no format chunk") << base.first(12) + base.sliced(36) << "manca il blocco del formato";
    QTest::newRow("ADPCM") << wavDiProva(2, 1, 4) << "codifica non supportata (formato 2, 4 bit)";
    QTest::newRow("64-bit float") << wavDiProva(3, 1, 64, QByteArray(8, 0)) << "codifica non supportata";
    QTest::newRow("no channels") << wavDiProva(1, 0) << "numero di canali non valido (0)";
    QTest::newRow("rate zero") << wavDiProva(1, 1, 16, QByteArray(4, 0), 0) << "frequenza non valida (0 Hz)";
    QByteArray allineamento = base;
    allineamento[32] = 3;
    QTest::newRow("block align") << allineamento << "allineamento dei campioni non valido";
    QTest::newRow("no samples") << wavDiProva(1, 1, 16, QByteArray(1, 0)) << "il suono non ha campioni";
}

void TestPalette::letturaWav()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, atteso);
    const wav::Lettura l = wav::leggi(file);
    static const char *const nomi[] = {"u8", "s16", "s24", "s32", "f32", "alaw", "ulaw"};
    const QString letto = l.valida() ? QStringLiteral("%1 %2 %3 %4")
                                           .arg(QLatin1StringView(nomi[int(l.suono.campione)]))
                                           .arg(l.suono.canali)
                                           .arg(l.suono.frequenza)
                                           .arg(l.suono.dati.size())
                                     : l.errore;
    QVERIFY2(letto.startsWith(atteso), qPrintable(letto));
}

void TestPalette::percorsiDati()
{
    QTemporaryDir cartella;
    QDir(cartella.path()).mkpath("JPG");
    QFile f(cartella.path() + "/JPG/Cane.jpg");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    // Backslashes are separators, and names match without regard to case, in both directions.
    QCOMPARE(QDir::fromNativeSeparators(percorsi::dati(cartella.path(), "\\jpg\\CANE.jpg")),
        cartella.path() + "/JPG/Cane.jpg");
    QCOMPARE(QDir::fromNativeSeparators(percorsi::dati(cartella.path(), "\\jpg\\cane.JPG")),
        cartella.path() + "/JPG/Cane.jpg");
    // A name that matches nothing stays as written, so its error names what was looked for.
    QCOMPARE(QDir::fromNativeSeparators(percorsi::dati(cartella.path(), "\\jpg\\gatto.jpg")),
        cartella.path() + "/JPG/gatto.jpg");

    // The folder's listing is kept while the folder is unchanged, and read again once it changes:
    // a picture added after a lookup that found nothing is found by the next one.
    const QString jpg = cartella.path() + "/JPG";
    auto indietro = [&jpg](int secondi) {
        const timespec t[2] = {{std::time(nullptr) - secondi, 0}, {std::time(nullptr) - secondi, 0}};
        QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(jpg).constData(), t, 0) == 0);
    };
    indietro(20);
    QCOMPARE(
        QDir::fromNativeSeparators(percorsi::dati(cartella.path(), "\\jpg\\topo.jpg")), jpg + "/topo.jpg");
    QFile topo(jpg + "/ToPo.jpg");
    QVERIFY(topo.open(QIODevice::WriteOnly));
    topo.close();
    indietro(10);
    QCOMPARE(
        QDir::fromNativeSeparators(percorsi::dati(cartella.path(), "\\jpg\\topo.jpg")), jpg + "/ToPo.jpg");
    // A name from a Mac, decomposed, found under its composed form and in capitals; a dotless i is
    // no i, in either case.
    for (const QString &nome :
        {QString::fromUtf8("caffe\xCC\x80.jpg"), QString::fromUtf8("\xC4\xB1\xC4\xB1.jpg")}) {
        QFile f(jpg + '/' + nome);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    indietro(5);
    QCOMPARE(QDir::fromNativeSeparators(
                 percorsi::dati(cartella.path(), QString::fromUtf8("\\jpg\\CAFF\xC3\x88.jpg"))),
        jpg + '/' + QString::fromUtf8("caffe\xCC\x80.jpg"));
    QCOMPARE(QDir::fromNativeSeparators(percorsi::dati(cartella.path(), "\\jpg\\II.jpg")), jpg + "/II.jpg");
    QCOMPARE(QDir::fromNativeSeparators(percorsi::dati(cartella.path(), "\\jpg\\ii.jpg")), jpg + "/ii.jpg");

    QVERIFY(percorsi::nomeSicuro("cane"));
    QVERIFY(percorsi::nomeSicuro(""));
    QVERIFY(percorsi::nomeSicuro("...jpg"));
    QVERIFY(!percorsi::nomeSicuro(".."));
    QVERIFY(!percorsi::nomeSicuro("."));
    QVERIFY(!percorsi::nomeSicuro("../lista4"));
    QVERIFY(!percorsi::nomeSicuro("a\\b"));
    QVERIFY(!percorsi::nomeSicuro(QString("a") + QChar(0) + "b"));
    QVERIFY(percorsi::nomeSicuro(QString(255, 'a')));
    QVERIFY(!percorsi::nomeSicuro(QString(256, 'a')));
}

QTEST_MAIN(TestPalette)
#include "tst_palette.moc"
