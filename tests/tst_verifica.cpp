// SPDX-License-Identifier: GPL-3.0-or-later
// The checker: one table of broken folders and what it finds in each, the place each finding
// carries, and the program's own output and status. Over 500 lines for the table's rows.
#include "finte.h"
#include "game/VerificaDati.h"
#include "robustezza/jpeg_ostili.h"

#include <QBuffer>
#include <QProcess>
#include <QTest>
#include <QtEndian>

#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

QByteArray immagineIn(const char *formato)
{
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Qt::blue);
    QByteArray byte;
    QBuffer buffer(&byte);
    buffer.open(QIODevice::WriteOnly);
    if (!img.save(&buffer, formato))
        throw std::runtime_error("cannot encode test picture");
    return byte;
}

// A data folder the checker finds nothing wrong with: every list, picture and sound in place.
void preparaPulita(const PiattaformaFinta &f)
{
    f.lista(3, {"ape", "gru"});
    f.lista(4, {"cane", "lupo"});
    f.lista(5, {"gatto"});
    f.lista(6, {"ananas", "banana"});
    for (const char *s : {"si1", "si2", "si3", "si4", "no"})
        f.scrivi(QStringLiteral("suoni/%1.wav").arg(QLatin1StringView(s)), wavDiProva());
    // Pictures as large as the game's box, so none of them earns a note.
    for (const char *p : {"ape", "gru", "cane", "lupo", "gatto", "ananas", "banana"})
        f.immagine(QStringLiteral("%1.jpg").arg(QLatin1StringView(p)), Qt::red, QSize(240, 240));
}

// The lines of the problems, or of the notes.
// A voice for each word of the clean folder.
void voci(const PiattaformaFinta &f)
{
    for (const char *p : {"ape", "gru", "cane", "lupo", "gatto", "ananas", "banana"})
        f.scrivi(QStringLiteral("voci/%1.wav").arg(QLatin1StringView(p)), wavDiProva());
}

QStringList righe(const verifica::Esito &esito, verifica::Gravita gravita = verifica::Gravita::problema)
{
    QStringList r;
    for (const verifica::Problema &p : esito.risultati) {
        if (p.gravita == gravita)
            r << verifica::testo(p);
    }
    return r;
}

// Expected lines end in "*" where the rest comes from the system (a decoder's own error text).
bool corrisponde(const QStringList &trovate, const QStringList &attese)
{
    if (trovate.size() != attese.size())
        return false;
    for (qsizetype i = 0; i < attese.size(); ++i) {
        const QString &a = attese[i];
        if (a.endsWith(u'*') ? !trovate[i].startsWith(a.chopped(1)) : trovate[i] != a)
            return false;
    }
    return true;
}

} // namespace

class TestVerifica : public QObject
{
    Q_OBJECT
private slots:
    void cartellaPulita();
    void cartella_data();
    void cartella();
    void campi_data();
    void campi();
    void cartellaSenzaListe();
    void cartellaConNomeLatino1();
    void listaDa64MB();
    void oltreDuecentoParole();
    void listeMancantiONonFile();
    void suoni_data();
    void suoni();
    void programma_data();
    void programma();
};

void TestVerifica::cartellaPulita()
{
    PiattaformaFinta f;
    preparaPulita(f);
    const verifica::Esito esito = verifica::controlla(f.cartella.path());
    QVERIFY2(esito.risultati.empty(), qPrintable(righe(esito).join(u'\n')));
    QCOMPARE(esito.liste, 4);
    QCOMPARE(esito.parole, 7);
    QCOMPARE(verifica::riepilogo(esito), QStringLiteral("Nessun problema: 4 liste, 7 parole."));
}

using Guasto = std::function<void(const PiattaformaFinta &)>;
Q_DECLARE_METATYPE(Guasto)

namespace
{

// The 4-letter list replaced by `contenuto`, with only the pictures given: `buone` decode, `rotte`
// are named .jpg but are not pictures.
Guasto lista4(const QByteArray &contenuto, const QStringList &buone, const QStringList &rotte = {})
{
    return [=](const PiattaformaFinta &f) {
        QVERIFY(QFile::remove(f.percorso("jpg/cane.jpg")) && QFile::remove(f.percorso("jpg/lupo.jpg")));
        f.scrivi("lista4.txt", contenuto);
        for (const QString &i : buone)
            f.immagine(i, Qt::red, QSize(240, 240));
        for (const QString &i : rotte)
            f.scrivi("jpg/" + i, QByteArray("\xFF\xD8\xFF\xE0 rotta"));
    };
}

} // namespace

// Each row breaks a clean folder and says what the checker finds: its problems, then its notes. The
// rows are the faults of the lists and, beside them, the folders where the checker used to say
// nothing, or the wrong thing, while the game stopped, showed grey or stretched a picture, and the
// reverse: one verdict, the one the game acts on. Expected lines are whole lines, or only their
// beginnings where the rest is the system's or a decoder's own text.
void TestVerifica::cartella_data()
{
    QTest::addColumn<Guasto>("guasto");
    QTest::addColumn<QStringList>("problemi");
    QTest::addColumn<QStringList>("note");
    QTest::addColumn<bool>("intere"); // false: each expected line is only the start of the one found

    const QStringList caneLupo {"cane.jpg", "lupo.jpg"};
    QTest::newRow("upper case and CR LF are fine")
        << lista4(QByteArray("CANE\r\nLupo\r\n"), caneLupo) << QStringList {} << QStringList {} << true;
    QTest::newRow("picture matched without regard to case")
        << lista4(QByteArray("cane\n"), QStringList {"CANE.JPG"}) << QStringList {} << QStringList {} << true;
    QTest::newRow("word of the wrong length")
        << lista4(QByteArray("cane\ngatto\n"), QStringList {"cane.jpg", "gatto.jpg"})
        << QStringList {"lista4.txt:2: la parola «gatto» ha 5 caratteri invece di 4"} << QStringList {}
        << true;
    QTest::newRow("letter the keyboard lacks, reported once")
        << lista4(QByteArray("però\nlupo\nòòòò\n"), QStringList {"però.jpg", "lupo.jpg", "òòòò.jpg"})
        << QStringList {"lista4.txt:1: la parola «però» contiene «ò», che la tastiera non ha",
               "lista4.txt:3: la parola «òòòò» contiene «ò», che la tastiera non ha"}
        << QStringList {} << true;
    QTest::newRow("empty line is an empty word")
        << lista4(QByteArray("cane\n\nlupo\n"), caneLupo)
        << QStringList {"lista4.txt:2: parola vuota (una riga vuota o due virgole di seguito)"}
        << QStringList {} << true;
    QTest::newRow("nothing between commas is an empty word")
        << lista4(QByteArray("cane,,lupo\n"), caneLupo)
        << QStringList {"lista4.txt:1: parola vuota (una riga vuota o due virgole di seguito)"}
        << QStringList {} << true;
    QTest::newRow("repeat without regard to case names the first line")
        << lista4(QByteArray("cane\nlupo\n\"CANE\"\n"), caneLupo)
        << QStringList {"lista4.txt:3: parola «CANE» ripetuta: c'è già alla riga 1"} << QStringList {}
        << true;
    QTest::newRow("leading blank kept by quotes")
        << lista4(QByteArray("\" ane\"\n"), QStringList {"ane.jpg"})
        << QStringList {"lista4.txt:1: spazio nella parola « ane»"} << QStringList {} << true;
    QTest::newRow("trailing tab kept by quotes")
        << lista4(QByteArray("lupo,\"cane\t\"\n"), caneLupo)
        << QStringList {"lista4.txt:1: spazio nella parola «cane[U+0009]»",
               "lista4.txt:1: la parola «cane[U+0009]» ha 5 caratteri invece di 4",
               "lista4.txt:1: la parola «cane[U+0009]» non può essere il nome di un file"}
        << QStringList {} << true;
    QTest::newRow("slash in a word")
        << lista4(QByteArray("ca/e\n"), QStringList {})
        << QStringList {"lista4.txt:1: la parola «ca/e» contiene «/», che la tastiera non ha",
               "lista4.txt:1: la parola «ca/e» non può essere il nome di un file"}
        << QStringList {} << true;
    QTest::newRow("parent folder as a word, on the line after a quoted line end")
        << lista4(QByteArray("\"lu\npo\"\n....\n\"..\"\n"), QStringList {".....jpg"})
        << QStringList {"lista4.txt:1: spazio nella parola «lu[U+000A]po»",
               "lista4.txt:1: la parola «lu[U+000A]po» ha 5 caratteri invece di 4",
               "lista4.txt:1: la parola «lu[U+000A]po» non può essere il nome di un file",
               "lista4.txt:3: la parola «....» contiene «.», che la tastiera non ha",
               "lista4.txt:4: la parola «..» contiene «.», che la tastiera non ha",
               "lista4.txt:4: la parola «..» ha 2 caratteri invece di 4",
               "lista4.txt:4: la parola «..» non può essere il nome di un file"}
        << QStringList {} << true;
    QTest::newRow("control character")
        << lista4(QByteArray("ca\x01o\n"), QStringList {})
        << QStringList {"lista4.txt:1: la parola «ca[U+0001]o» contiene «U+0001», che la tastiera non ha",
               "lista4.txt:1: la parola «ca[U+0001]o» non può essere il nome di un file"}
        << QStringList {} << true;
    QTest::newRow("percent signs in a word stay as written")
        << lista4(QByteArray("%1%2\n"), QStringList {"%1%2.jpg"})
        << QStringList {"lista4.txt:1: la parola «%1%2» contiene «%», «1», «2», che la tastiera non ha"}
        << QStringList {} << true;
    QTest::newRow("missing picture") << lista4(QByteArray("cane\nlupo\n"),
        QStringList {
            "lupo.jpg"}) << QStringList {"lista4.txt:1: manca l'immagine jpg/cane.jpg della parola «cane»"}
                                     << QStringList {} << true;
    QTest::newRow("empty list") << lista4(QByteArray(), QStringList {})
                                << QStringList {"lista4.txt: la lista è vuota"} << QStringList {} << true;
    // Folders the checker used to pass while the game stopped at its first picture, and the reverse.
    QTest::newRow("good cane.jpg, broken CANE.jpg: the game starts in capitals")
        << lista4(QByteArray("cane\n"), QStringList {"cane.jpg"}, QStringList {"CANE.jpg"})
        << QStringList {"jpg/CANE.jpg: Immagine illeggibile: jpg/CANE.jpg"} << QStringList {} << false;
    QTest::newRow("dotless i: IIII has no picture")
        << lista4(
               QByteArray("\xC4\xB1\xC4\xB1\xC4\xB1\xC4\xB1\n"), QStringList {"\u0131\u0131\u0131\u0131.jpg"})
        << QStringList {"lista4.txt:1: la parola «ıııı» contiene «ı»",
               "lista4.txt:1: manca l'immagine jpg/IIII.jpg della parola «ıııı» (scritta in maiuscolo)"}
        << QStringList {} << false;
    QTest::newRow("picture name from a Mac, decomposed")
        << lista4(QByteArray("caff\xC3\xA8\n"), QStringList {QString::fromUtf8("caffe\xCC\x80.jpg")})
        << QStringList {"lista4.txt:1: la parola «caffè» contiene «è»",
               "lista4.txt:1: la parola «caffè» ha 5"}
        << QStringList {} << false;
    QTest::newRow("list saved as Unicode by Notepad") << lista4(QByteArray("\xFF\xFE"
                                                                           "c\0a\0n\0e\0\r\0\n\0",
                                                                    14),
        QStringList {"cane.jpg"}) << QStringList {} << QStringList {"lista4.txt: nota: lista in UTF-16 LE"}
                                                      << false;
    QTest::newRow("DOS end-of-file byte") << lista4(QByteArray("cane\r\n\x1A"), QStringList {"cane.jpg"})
                                          << QStringList {} << QStringList {} << false;

    QTest::newRow("truncated JPEG: the game shows a grey rest") << Guasto([](const PiattaformaFinta &f) {
        const QByteArray j = jpegostili::jpeg(QSize(300, 300));
        f.scrivi("jpg/cane.jpg", j.left(j.size() / 2));
    }) << QStringList {"jpg/cane.jpg: immagine rovinata o incompleta"}
                                                                << QStringList {} << false;

    QTest::newRow("coefficient bomb") << Guasto(
        [](const PiattaformaFinta &f) { f.scrivi("jpg/cane.jpg", jpegostili::bombaCoefficienti(10000)); })
                                      << QStringList {"jpg/cane.jpg: Immagine illeggibile: jpg/cane.jpg "
                                                      "(decodificarla richiederebbe troppa memoria"}
                                      << QStringList {} << false;

    QTest::newRow("scan bomb") << Guasto(
        [](const PiattaformaFinta &f) { f.scrivi("jpg/cane.jpg", jpegostili::bombaScansioni(6000)); })
                               << QStringList {"jpg/cane.jpg: Immagine illeggibile: jpg/cane.jpg (JPEG "
                                               "progressivo con più di 100 passate"}
                               << QStringList {} << false;

    QTest::newRow("12-bit JPEG") << Guasto([](const PiattaformaFinta &f) {
        f.scrivi("jpg/cane.jpg", jpegostili::conFrame(jpegostili::jpeg(QSize(16, 16)), QSize(16, 16), 12));
    }) << QStringList {"jpg/cane.jpg: Immagine illeggibile: jpg/cane.jpg (JPEG a 12 bit"}
                                 << QStringList {} << false;

    QTest::newRow("a folder named cane.jpg") << Guasto([](const PiattaformaFinta &f) {
        QFile::remove(f.percorso("jpg/cane.jpg"));
        QDir().mkpath(f.percorso("jpg/cane.jpg"));
    }) << QStringList {"jpg/cane.jpg: non è un file"}
                                             << QStringList {} << false;

    QTest::newRow("UTF-16 list: a note, it plays") << Guasto([](const PiattaformaFinta &f) {
        f.scrivi("lista4.txt",
            QByteArray("\xFF\xFE"
                       "c\0a\0n\0e\0\r\0\n\0l\0u\0p\0o\0",
                22));
    }) << QStringList {} << QStringList {"lista4.txt: nota: lista in UTF-16 LE"}
                                                   << false;

    QTest::newRow("empty last line as the 201st word") << Guasto([](const PiattaformaFinta &f) {
        QByteArray l;
        for (int i = 0; i < 200; ++i) {
            const QString p = QStringLiteral("ca%1%2").arg(QChar(u'a' + i / 26)).arg(QChar(u'a' + i % 26));
            l += p.toLatin1() + '\n';
            f.immagine(p + ".jpg", Qt::red, QSize(240, 240));
        }
        f.scrivi("lista4.txt", l + "\n");
    }) << QStringList {"lista4.txt:201: la riga vuota alla fine conta come parola numero 201"}
                                                       << QStringList {} << false;

    QTest::newRow("pictures far from square and smaller than the box")
        << Guasto([](const PiattaformaFinta &f) {
               f.immagine("cane.jpg", Qt::red, QSize(480, 240));
               f.immagine("lupo.jpg", Qt::red, QSize(100, 100));
           })
        << QStringList {}
        << QStringList {"jpg/cane.jpg: nota: immagine di 480 x 240 pixel, lontana dal quadrato",
               "jpg/lupo.jpg: nota: immagine di 100 x 100 pixel, più piccola del riquadro"}
        << false;

    QTest::newRow(".jpeg and .png where .jpg is missing")
        << Guasto([](const PiattaformaFinta &f) {
               QVERIFY(QFile::rename(f.percorso("jpg/cane.jpg"), f.percorso("jpg/cane.jpeg")));
               QFile::remove(f.percorso("jpg/lupo.jpg"));
               f.scrivi("jpg/lupo.png", immagineIn("PNG"));
           })
        << QStringList {"lista4.txt:1: manca l'immagine jpg/cane.jpg della parola «cane»: c'è jpg/cane.jpeg, "
                        "rinominala in cane.jpg",
               "lista4.txt:2: manca l'immagine jpg/lupo.jpg della parola «lupo»: c'è jpg/lupo.png, salvala "
               "come JPEG con il nome lupo.jpg"}
        << QStringList {} << false;

    QTest::newRow("word from a Mac, decomposed")
        << Guasto([](const PiattaformaFinta &f) {
               f.scrivi("lista4.txt", "cane\nlupo\nperche\xCC\x81\n");
               f.immagine(QString::fromUtf8("perch\xC3\xA9.jpg"), Qt::red, QSize(240, 240));
           })
        << QStringList {"lista4.txt:3: la parola «perché» contiene «U+0301»",
               "lista4.txt:3: la parola «perché» ha le lettere "
               "accentate scomposte",
               "lista4.txt:3: la parola «perché» ha 7 caratteri invece di 4"}
        << QStringList {} << false;

    QTest::newRow("picture folder that cannot be listed") << Guasto([](const PiattaformaFinta &f) {
        QFile::setPermissions(f.percorso("jpg"), QFileDevice::ExeOwner | QFileDevice::ExeGroup);
    }) << QStringList {"jpg: la cartella delle immagini non si può elencare"}
                                                          << QStringList {} << false;

    QTest::newRow("one character, singular") << Guasto([](const PiattaformaFinta &f) {
        f.scrivi("lista4.txt", "a\n");
        f.immagine("a.jpg", Qt::red, QSize(240, 240));
    }) << QStringList {"lista4.txt:1: la parola «a» ha 1 carattere invece di 4"}
                                             << QStringList {} << false;

    QTest::newRow("every word with its voice")
        << Guasto([](const PiattaformaFinta &f) { voci(f); }) << QStringList {} << QStringList {} << false;

    QTest::newRow("a voice that is no WAV, one too big, a folder named as a voice")
        << Guasto([](const PiattaformaFinta &f) {
               voci(f);
               f.scrivi("voci/cane.wav", "ID3\x03 non una voce");
               QFile grande(f.percorso("voci/lupo.wav"));
               QVERIFY(grande.resize(5 * 1024 * 1024));
               QFile::remove(f.percorso("voci/ape.wav"));
               QDir().mkpath(f.percorso("voci/ape.wav"));
           })
        << QStringList {"voci/ape.wav: la voce non è un file (parola «ape» di lista3.txt:1)",
               "voci/cane.wav: non è una voce WAV che il gioco sa suonare: manca l'intestazione RIFF/WAVE "
               "(parola «cane» di lista4.txt:1)",
               "voci/lupo.wav: voce troppo grande (5 MB): il gioco non la dice, il massimo è 4 MB (parola "
               "«lupo» "
               "di lista4.txt:2)"}
        << QStringList {} << false;

    QTest::newRow("a voice no word has, a file that is no .wav, a Mac's hidden file")
        << Guasto([](const PiattaformaFinta &f) {
               voci(f);
               f.scrivi("voci/orso.wav", wavDiProva());
               f.scrivi("voci/cane.mp3", "ID3");
               f.scrivi("voci/._cane.wav", "Mac");
           })
        << QStringList {"voci/cane.mp3: non è una voce: il gioco dice solo i file .wav con il nome della "
                        "parola",
               "voci/orso.wav: nessuna parola delle liste ha questa voce: il gioco non la dice mai"}
        << QStringList {} << false;

    QTest::newRow("voices in capitals and from a Mac, in a folder in capitals")
        << Guasto([](const PiattaformaFinta &f) {
               voci(f);
               QVERIFY(QFile::rename(f.percorso("voci/gatto.wav"), f.percorso("voci/GATTO.WAV")));
               QVERIFY(QFile::rename(f.percorso("voci"), f.percorso("VOCI")));
               f.scrivi("lista5.txt", "gatto\npere\xCC\x81\n");
               f.immagine(QString::fromUtf8("pere\xCC\x81.jpg"), Qt::red, QSize(240, 240));
               f.scrivi(QString::fromUtf8("VOCI/PER\xC3\x89.wav"), wavDiProva());
           })
        << QStringList {"lista5.txt:2: la parola «peré» contiene «U+0301»",
               "lista5.txt:2: la parola «peré» ha le"}
        << QStringList {} << false;

    QTest::newRow("words without a voice where another has one: a note each")
        << Guasto([](const PiattaformaFinta &f) {
               f.scrivi("voci/lupo.wav", wavDiProva());
               f.scrivi("lista4.txt", "cane\nlupo\nLUPO\n");
           })
        << QStringList {"lista4.txt:3: parola «LUPO» ripetuta"}
        << QStringList {"lista3.txt:1: nota: la parola «ape» non ha la voce (voci/ape.wav): il gioco non la "
                        "dice",
               "lista3.txt:2: nota: la parola «gru» non ha la voce (voci/gru.wav)",
               "lista4.txt:1: nota: la parola «cane» non ha la voce (voci/cane.wav)",
               "lista5.txt:1: nota: la parola «gatto» non ha la voce",
               "lista6.txt:1: nota: la parola «ananas»", "lista6.txt:2: nota: la parola «banana»"}
        << false;

    QTest::newRow("voices of no word only: no notes")
        << Guasto([](const PiattaformaFinta &f) { f.scrivi("voci/orso.wav", wavDiProva()); })
        << QStringList {"voci/orso.wav: nessuna parola delle liste ha questa voce"} << QStringList {}
        << false;

    QTest::newRow("voci is a file") << Guasto([](const PiattaformaFinta &f) {
        f.scrivi("voci", "voci");
    }) << QStringList {"voci: dovrebbe essere la cartella delle voci, ma è un file"}
                                    << QStringList {} << false;
}

void TestVerifica::cartella()
{
    QFETCH(Guasto, guasto);
    QFETCH(QStringList, problemi);
    QFETCH(QStringList, note);
    QFETCH(bool, intere);
    if (QByteArray(QTest::currentDataTag()).contains("cannot be listed") && ::geteuid() == 0)
        QSKIP("running as root: a folder without read permission is still listed");
    PiattaformaFinta f;
    preparaPulita(f);
    guasto(f);
    if (QTest::currentTestFailed())
        return;
    const verifica::Esito esito = verifica::controlla(f.cartella.path());
    QFile::setPermissions(
        f.percorso("jpg"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    auto uguali = [intere](const QStringList &trovate, const QStringList &attese) {
        if (trovate.size() != attese.size())
            return false;
        for (qsizetype i = 0; i < attese.size(); ++i) {
            // Compared composed: a decomposed word prints as it is written.
            const QString t = trovate[i].normalized(QString::NormalizationForm_C);
            if (intere ? t != attese[i] : !t.startsWith(attese[i]))
                return false;
        }
        return true;
    };
    const QStringList trovati = righe(esito);
    const QStringList trovateNote = righe(esito, verifica::Gravita::nota);
    QVERIFY2(uguali(trovati, problemi), qPrintable(QStringLiteral("found:\n") + trovati.join(u'\n')));
    QVERIFY2(uguali(trovateNote, note), qPrintable(QStringLiteral("notes:\n") + trovateNote.join(u'\n')));
}

// Each finding carries its place as data, so that the editor leads to the word without reading the
// sentence: one folder with a fault of each kind, one row per finding.
void TestVerifica::campi_data()
{
    QTest::addColumn<QString>("inizio"); // the start of the finding's line
    QTest::addColumn<int>("tipo");
    QTest::addColumn<bool>("nota");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("lettere");
    QTest::addColumn<int>("riga");
    QTest::addColumn<QString>("parola");
    using T = verifica::Tipo;
    QTest::newRow("a word's own fault")
        << "lista4.txt:3: spazio" << int(T::parola) << false << "lista4.txt" << 4 << 3 << "ca o";
    QTest::newRow("a picture's note names its word")
        << "jpg/cane.jpg: nota:" << int(T::immagine) << true << "jpg/cane.jpg" << 4 << 1 << "cane";
    QTest::newRow("a voice's fault") << "voci/gatto.wav:" << int(T::voce) << false << "voci/gatto.wav" << 5
                                     << 1 << "gatto";
    QTest::newRow("a voice of no word")
        << "voci/orso.wav:" << int(T::voce) << false << "voci/orso.wav" << 0 << 0 << "";
    QTest::newRow("a sound") << "suoni/no.wav:" << int(T::suono) << false << "suoni/no.wav" << 0 << 0 << "";
}

void TestVerifica::campi()
{
    QFETCH(QString, inizio);
    QFETCH(int, tipo);
    QFETCH(bool, nota);
    QFETCH(QString, file);
    QFETCH(int, lettere);
    QFETCH(int, riga);
    QFETCH(QString, parola);
    PiattaformaFinta f;
    preparaPulita(f);
    f.scrivi("lista4.txt", "cane\nlupo\nca o\n");
    f.immagine("cane.jpg", Qt::red, QSize(100, 100));
    voci(f);
    f.scrivi("voci/gatto.wav", "non una voce");
    f.scrivi("voci/orso.wav", wavDiProva());
    QFile::remove(f.percorso("suoni/no.wav"));
    const verifica::Esito esito = verifica::controlla(f.cartella.path());
    std::vector<verifica::Problema> trovati;
    QStringList tutte;
    for (const verifica::Problema &p : esito.risultati) {
        tutte << verifica::testo(p);
        if (verifica::testo(p).startsWith(inizio))
            trovati.push_back(p);
    }
    QVERIFY2(trovati.size() == 1, qPrintable(tutte.join(u'\n')));
    const verifica::Problema &p = trovati.front();
    QCOMPARE(int(p.tipo), tipo);
    QCOMPARE(p.gravita == verifica::Gravita::nota, nota);
    QCOMPARE(p.file, file);
    QCOMPARE(p.lettere, lettere);
    QCOMPARE(p.lista, lettere ? QStringLiteral("lista%1.txt").arg(lettere) : QString());
    QCOMPARE(p.riga, riga);
    QCOMPARE(p.parola, parola);
    QVERIFY(!p.messaggio.contains(file) && !p.messaggio.startsWith(QStringLiteral("nota")));
}

void TestVerifica::cartellaSenzaListe()
{
    QTemporaryDir vuota;
    const verifica::Esito esito = verifica::controlla(vuota.path());
    QCOMPARE(righe(esito),
        QStringList {QStringLiteral(".: non sembra una cartella di Batticco: non c'è nessuna lista "
                                    "(lista3.txt, lista4.txt, lista5.txt, lista6.txt)")});
    QCOMPARE(verifica::riepilogo(esito), QStringLiteral("1 problema trovato."));
}

// A folder whose name is Latin-1 (an old USB stick) under a UTF-8 locale: Qt's text cannot hold the
// name, so the checker is given it through the shell, as bytes.
void TestVerifica::cartellaConNomeLatino1()
{
    PiattaformaFinta f;
    preparaPulita(f);
    const QByteArray base = QFile::encodeName(f.cartella.path());
    QVERIFY(::mkdir((base + "/caf\xE9").constData(), 0755) == 0);
    for (const char *n : {"lista3.txt", "lista4.txt", "lista5.txt", "lista6.txt", "jpg", "suoni"})
        QVERIFY(::rename((base + '/' + n).constData(), (base + "/caf\xE9/" + n).constData()) == 0);
    QProcess programma;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    programma.setProcessEnvironment(env);
    programma.start(QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("exec \"$1\" \"$2/$(printf 'caf\\351')\""),
            QStringLiteral("sh"), QStringLiteral(BATTICCO_VERIFICA), f.cartella.path()});
    QVERIFY(programma.waitForFinished(60000));
    const QString out
        = QString::fromUtf8(programma.readAllStandardOutput() + programma.readAllStandardError());
    // Back to a name QTemporaryDir can remove.
    ::rename((base + "/caf\xE9").constData(), (base + "/latino1").constData());
    QCOMPARE(programma.exitCode(), 0);
    QCOMPARE(out.trimmed(), QStringLiteral("Nessun problema: 4 liste, 7 parole."));
}

// The largest list the game reads, one quoted word of 64 MB: the checker says so in one short line
// and costs about what the game costs, not gigabytes.
void TestVerifica::listaDa64MB()
{
    PiattaformaFinta f;
    preparaPulita(f);
    QByteArray lista(64 * 1024 * 1024, ' ');
    lista[0] = '"';
    lista.replace(lista.size() - 6, 6, "cane\"\n");
    f.scrivi("lista4.txt", lista);
    lista.clear();
    QProcess programma;
    programma.start(QStringLiteral(BATTICCO_VERIFICA), {f.cartella.path()});
    QVERIFY(programma.waitForFinished(60000));
    const QByteArray out = programma.readAllStandardOutput();
    QCOMPARE(programma.exitCode(), 1);
    QVERIFY2(out.size() < 2000, qPrintable(QStringLiteral("%1 bytes of output").arg(out.size())));
    QVERIFY2(out.startsWith("lista4.txt:1: la parola «"), out.left(200).constData());
    rusage uso {};
    QCOMPARE(::getrusage(RUSAGE_CHILDREN, &uso), 0);
#ifdef BATTICCO_SANITIZZATO
    constexpr long limiteKb = 1024 * 1024;
#else
    constexpr long limiteKb = 512 * 1024;
#endif
    QVERIFY2(uso.ru_maxrss < limiteKb, qPrintable(QStringLiteral("peak %1 kB").arg(uso.ru_maxrss)));
    qInfo("64 MB list: peak %ld kB", uso.ru_maxrss);
}

void TestVerifica::oltreDuecentoParole()
{
    // 100 words on each of the first two lines, the 201st alone on the third.
    PiattaformaFinta f;
    preparaPulita(f);
    QStringList parole;
    for (char a = 'a'; a <= 'z' && parole.size() < 205; ++a)
        for (char b = 'a'; b <= 'z' && parole.size() < 205; ++b)
            parole << QStringLiteral("ca%1%2").arg(QChar(a)).arg(QChar(b));
    QByteArray testo = parole.mid(0, 100).join(u',').toUtf8() + '\n'
        + parole.mid(100, 100).join(u',').toUtf8() + '\n' + parole.mid(200).join(u',').toUtf8() + '\n';
    f.scrivi("lista4.txt", testo);
    for (const QString &p : parole)
        f.immagine(p + QStringLiteral(".jpg"), Qt::red, QSize(8, 8));

    const verifica::Esito esito = verifica::controlla(f.cartella.path());
    QCOMPARE(righe(esito),
        QStringList {"lista4.txt:3: più di 200 parole: il gioco rifiuta la lista a partire da qui"});
    QCOMPARE(esito.parole, 200 + 5); // the 200 the game would take, and the other lists' five
}

void TestVerifica::listeMancantiONonFile()
{
    PiattaformaFinta f;
    preparaPulita(f);
    QVERIFY(QFile::remove(f.percorso("lista3.txt")));
    QVERIFY(QFile::remove(f.percorso("lista5.txt")));
    QVERIFY(QDir().mkpath(f.percorso("lista5.txt")));
    QVERIFY(QFile::rename(f.percorso("lista6.txt"), f.percorso("LISTA6.TXT")));

    const verifica::Esito esito = verifica::controlla(f.cartella.path());
    QCOMPARE(righe(esito),
        (QStringList {
            "lista3.txt: lista mancante: il gioco non può usare le parole di 3 lettere",
            "lista5.txt: La lista di parole non è un file: lista5.txt",
        }));
    QCOMPARE(esito.liste, 2);
}

void TestVerifica::suoni_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("contenuto"); // empty: the file is removed
    QTest::addColumn<QStringList>("attese");
    QTest::newRow("missing sound") << "si2.wav" << QByteArray()
                                   << QStringList {"suoni/si2.wav: suono mancante"};
    QTest::newRow("not a RIFF file")
        << "no.wav" << QByteArray("ID3\x03 not a wave at all")
        << QStringList {
               "suoni/no.wav: non è un suono WAV che il gioco sa suonare: manca l'intestazione RIFF/WAVE"};
    QTest::newRow("RIFF of another kind")
        << "si4.wav" << QByteArray("RIFF\x04\0\0\0AVI ")
        << QStringList {
               "suoni/si4.wav: non è un suono WAV che il gioco sa suonare: manca l'intestazione RIFF/WAVE"};
    QTest::newRow("sound too large to play")
        << "no.wav" << QByteArray("grande")
        << QStringList {"suoni/no.wav: suono troppo grande (5 MB): il gioco non "
                        "lo suona, il massimo è 4 MB"};
    QTest::newRow("ADPCM, which the player does not take")
        << "no.wav" << wavDiProva(2, 1, 4)
        << QStringList {"suoni/no.wav: non è un suono WAV che il gioco sa suonare: codifica non supportata "
                        "(formato 2, 4 bit), salvalo come WAV PCM a 16 bit"};
    QTest::newRow("header cut short")
        << "si1.wav" << QByteArray("RIFF\x04\0\0\0WA")
        << QStringList {
               "suoni/si1.wav: non è un suono WAV che il gioco sa suonare: manca l'intestazione RIFF/WAVE"};
}

void TestVerifica::suoni()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, contenuto);
    QFETCH(QStringList, attese);
    PiattaformaFinta f;
    preparaPulita(f);
    QVERIFY(QFile::remove(f.percorso("suoni/" + file)));
    if (contenuto == "grande") {
        // A real header, then a hole: 5 MiB on paper, a few bytes on disk.
        f.scrivi("suoni/" + file, wavDiProva());
        QFile grande(f.percorso("suoni/" + file));
        QVERIFY(grande.resize(5 * 1024 * 1024));
    } else if (!contenuto.isEmpty()) {
        f.scrivi("suoni/" + file, contenuto);
    }
    QCOMPARE(righe(verifica::controlla(f.cartella.path())), attese);
}

void TestVerifica::programma_data()
{
    QTest::addColumn<QString>("guasto"); // what to break in a clean folder
    QTest::addColumn<QStringList>("argomenti");
    QTest::addColumn<int>("uscita");
    QTest::addColumn<QStringList>("stdout");

    // "%d" stands for the data folder.
    QTest::newRow("clean folder") << "" << QStringList {"%d"} << 0
                                  << QStringList {"Nessun problema: 4 liste, 7 parole."};
    QTest::newRow("clean folder by default is the current one")
        << "" << QStringList {} << 0 << QStringList {"Nessun problema: 4 liste, 7 parole."};
    QTest::newRow("PNG named .jpg")
        << "png" << QStringList {"%d"} << 1
        << QStringList {
               "jpg/cane.jpg: non è un'immagine JPEG: è in formato png (parola «cane» di lista4.txt:1)"};
    QTest::newRow("JPEG cut short") << "troncata" << QStringList {"%d"} << 1
                                    << QStringList {"jpg/cane.jpg: Immagine illeggibile: jpg/cane.jpg*"};
    QTest::newRow("help") << "" << QStringList {"--help"} << 0
                          << QStringList {"Uso: batticco-verifica [cartella]*"};
    QTest::newRow("two folders") << "" << QStringList {"%d", "%d"} << 2 << QStringList {};
    QTest::newRow("unknown option") << "" << QStringList {"--tutto"} << 2 << QStringList {};
    QTest::newRow("folder that does not exist") << "" << QStringList {"%d/nessuna"} << 2 << QStringList {};
    QTest::newRow("a file, not a folder") << "" << QStringList {"%d/lista4.txt"} << 2 << QStringList {};
}

void TestVerifica::programma()
{
    QFETCH(QString, guasto);
    QFETCH(QStringList, argomenti);
    QFETCH(int, uscita);
    QFETCH(QStringList, stdout);
    PiattaformaFinta f;
    preparaPulita(f);
    if (guasto == u"png") {
        f.scrivi("jpg/cane.jpg", immagineIn("PNG"));
    } else if (guasto == u"troncata") {
        const QByteArray jpeg = immagineIn("JPEG");
        f.scrivi("jpg/cane.jpg", jpeg.left(jpeg.size() / 3));
    }
    for (QString &a : argomenti)
        a.replace(QStringLiteral("%d"), f.cartella.path());

    QProcess programma;
    programma.setWorkingDirectory(f.cartella.path());
    programma.start(QStringLiteral(BATTICCO_VERIFICA), argomenti);
    QVERIFY(programma.waitForFinished(60000));
    QCOMPARE(programma.exitStatus(), QProcess::NormalExit);
    const QString out = QString::fromUtf8(programma.readAllStandardOutput());
    const QString err = QString::fromUtf8(programma.readAllStandardError());
    QCOMPARE(programma.exitCode(), uscita);
    QStringList trovate = out.split(u'\n', Qt::SkipEmptyParts);
    if (argomenti.contains(QStringLiteral("--help")))
        trovate = trovate.mid(0, 1);
    QVERIFY2(corrisponde(trovate, stdout), qPrintable(out + err));
    if (uscita == 2)
        QVERIFY2(err.contains(QStringLiteral("Uso: batticco-verifica"))
                || err.contains(QStringLiteral("cartella non trovata")),
            qPrintable(err));
    if (uscita == 1)
        QCOMPARE(err, QStringLiteral("1 problema trovato.\n"));
}

QTEST_GUILESS_MAIN(TestVerifica)
#include "tst_verifica.moc"
