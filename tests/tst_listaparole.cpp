// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/ListaParole.h"
#include "ui/errori.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using listaparole::Campo;

namespace
{

QStringList parole(const std::vector<Campo> &campi)
{
    QStringList p;
    for (const Campo &c : campi)
        p << c.parola;
    return p;
}

QList<int> righe(const std::vector<Campo> &campi)
{
    QList<int> r;
    for (const Campo &c : campi)
        r << c.riga;
    return r;
}

// n lines "p1".."pn", each ended by LF.
QString righeNumerate(int n)
{
    QString t;
    for (int i = 1; i <= n; ++i)
        t += QStringLiteral("p%1\n").arg(i);
    return t;
}

QString conNul(const char *prima, const char *dopo)
{
    return QString::fromLatin1(prima) + QChar(0) + QString::fromLatin1(dopo);
}

} // namespace

class TestListaParole : public QObject
{
    Q_OBJECT
private slots:
    void campi_data();
    void campi();
    void limite_data();
    void limite();
    void ogniTroncamentoSiLegge();
    void decodifica_data();
    void decodifica();
    void leggiFile();
    void erroriNominanoIlFile_data();
    void erroriNominanoIlFile();
};

void TestListaParole::campi_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QStringList>("attese");
    QTest::addColumn<QList<int>>("righeAttese");

    QTest::newRow("two words on a line split at the comma")
        << "cane,gatto\n"
        << QStringList {"cane", "gatto"} << QList<int> {1, 1};
    QTest::newRow("one word a line") << "cane\ngatto\n" << QStringList {"cane", "gatto"} << QList<int> {1, 2};
    QTest::newRow("a quoted field keeps its comma") << "\"ca,ne\",gatto\n"
                                                    << QStringList {"ca,ne", "gatto"} << QList<int> {1, 1};
    QTest::newRow("a quoted field keeps its blanks") << "\" cane \"\n"
                                                     << QStringList {" cane "} << QList<int> {1};
    QTest::newRow("an empty quoted field is an empty word")
        << "\"\",a" << QStringList {"", "a"} << QList<int> {1, 1};
    QTest::newRow("an empty line is an empty word")
        << "cane\n\ngatto\n"
        << QStringList {"cane", "", "gatto"} << QList<int> {1, 2, 3};
    QTest::newRow("a line of blanks is an empty word")
        << "cane\n \t \ngatto" << QStringList {"cane", "", "gatto"} << QList<int> {1, 2, 3};
    QTest::newRow("nothing between two commas is an empty word")
        << "a,,b" << QStringList {"a", "", "b"} << QList<int> {1, 1, 1};
    QTest::newRow("a comma before a line end leaves an empty word")
        << "a,\nb" << QStringList {"a", "", "b"} << QList<int> {1, 1, 2};
    QTest::newRow("a final line end adds no field") << "cane\ngatto\n"
                                                    << QStringList {"cane", "gatto"} << QList<int> {1, 2};
    QTest::newRow("a final comma adds no field") << "cane," << QStringList {"cane"} << QList<int> {1};
    QTest::newRow("no final line end") << "cane\ngatto" << QStringList {"cane", "gatto"} << QList<int> {1, 2};
    QTest::newRow("an empty file gives no field") << "" << QStringList {} << QList<int> {};
    QTest::newRow("a file of one line end is one empty word") << "\n" << QStringList {""} << QList<int> {1};
    QTest::newRow("an empty line at the end adds an empty word")
        << "cane\n\n"
        << QStringList {"cane", ""} << QList<int> {1, 2};
    QTest::newRow("CR LF line ends count once")
        << "cane\r\ngatto\r\n\r\nlupo\r\n"
        << QStringList {"cane", "gatto", "", "lupo"} << QList<int> {1, 2, 3, 4};
    QTest::newRow("lone CR line ends")
        << "cane\rgatto\r\rlupo" << QStringList {"cane", "gatto", "", "lupo"} << QList<int> {1, 2, 3, 4};
    QTest::newRow("mixed line ends, CR CR LF is two")
        << "a\r\r\nb\nc\r\n"
        << QStringList {"a", "", "b", "c"} << QList<int> {1, 2, 3, 4};
    QTest::newRow("LF CR is two line ends") << "a\n\rb" << QStringList {"a", "", "b"} << QList<int> {1, 2, 3};
    QTest::newRow("leading spaces and tabs skipped, trailing blanks dropped")
        << " \t cane \t , \tgatto  \n"
        << QStringList {"cane", "gatto"} << QList<int> {1, 1};
    QTest::newRow("blanks inside a word kept") << "ca ne\n" << QStringList {"ca ne"} << QList<int> {1};
    QTest::newRow("text after a closing quote ignored")
        << "\"cane\" e altro,gatto\n\"lupo\"x\norso" << QStringList {"cane", "gatto", "lupo", "orso"}
        << QList<int> {1, 1, 2, 3};
    QTest::newRow("blanks before an opening quote skipped") << "  \"cane\"\n"
                                                            << QStringList {"cane"} << QList<int> {1};
    QTest::newRow("an unclosed quote ends at its line end")
        << "\"cane\ngatto\n"
        << QStringList {"cane", "gatto"} << QList<int> {1, 2};
    QTest::newRow("an unclosed quote keeps its line's commas")
        << "\"cane,gatto\nlupo" << QStringList {"cane,gatto", "lupo"} << QList<int> {1, 2};
    QTest::newRow("an unclosed quote at the very end")
        << "cane\n\"" << QStringList {"cane", ""} << QList<int> {1, 2};
    QTest::newRow("a quote inside an unquoted field kept")
        << "ca\"ne,gatto\"\n"
        << QStringList {"ca\"ne", "gatto\""} << QList<int> {1, 1};
    QTest::newRow("NUL and control bytes kept inside the word")
        << conNul("ca", "ne\x01\x1f\x7f,b") << QStringList {conNul("ca", "ne\x01\x1f\x7f"), "b"}
        << QList<int> {1, 1};
    QTest::newRow("a quoted field spanning lines counts them")
        << "\"a\nb\",c\nd" << QStringList {"a\nb", "c", "d"} << QList<int> {1, 2, 3};
    QTest::newRow("CR LF inside quotes counts once, lone CR too")
        << "x\n\"a\r\nb\rc\"\nd" << QStringList {"x", "a\r\nb\rc", "d"} << QList<int> {1, 2, 5};
    QTest::newRow("a quote on a later line closes a quote left open")
        << "\"cane\ngatto\"\nlupo" << QStringList {"cane\ngatto", "lupo"} << QList<int> {1, 3};
    QTest::newRow("accented words as they stand")
        << QString::fromUtf8("caffè,perché\n")
        << QStringList {QString::fromUtf8("caffè"), QString::fromUtf8("perché")} << QList<int> {1, 1};
}

void TestListaParole::campi()
{
    QFETCH(QString, testo);
    QFETCH(QStringList, attese);
    QFETCH(QList<int>, righeAttese);
    const auto campi = listaparole::leggiCampi(testo, listaparole::massimoParole + 1);
    QCOMPARE(parole(campi), attese);
    QCOMPARE(righe(campi), righeAttese);
}

void TestListaParole::limite_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<int>("limite");
    QTest::addColumn<int>("attesi");
    QTest::addColumn<QString>("ultima");

    QTest::newRow("exactly 200 fields, all read") << righeNumerate(200) << 201 << 200 << "p200";
    QTest::newRow("201 fields, all read") << righeNumerate(201) << 201 << 201 << "p201";
    QTest::newRow("250 fields, reading stops at the limit") << righeNumerate(250) << 201 << 201 << "p201";
    QTest::newRow("the limit counts empty words too") << QString(300, u'\n') << 201 << 201 << "";
    QTest::newRow("the limit counts fields on one line") << "a,b,c,d" << 2 << 2 << "b";
    QTest::newRow("a limit of zero reads nothing") << "a,b" << 0 << 0 << "";
}

void TestListaParole::limite()
{
    QFETCH(QString, testo);
    QFETCH(int, limite);
    QFETCH(int, attesi);
    QFETCH(QString, ultima);
    const auto campi = listaparole::leggiCampi(testo, std::size_t(limite));
    QCOMPARE(int(campi.size()), attesi);
    if (attesi > 0) {
        QCOMPARE(campi.back().parola, ultima);
    }
}

void TestListaParole::ogniTroncamentoSiLegge()
{
    // A file may end anywhere: inside quotes, between CR and LF, after a stray quote. Every prefix of
    // a text that mixes them all reads without a crash, and its fields start on non-decreasing lines
    // no later than the prefix's own last line.
    const QString testo = QStringLiteral(" \"a,\r\nb\"x , c\"d\r\r\n\"e\n\t, \"\"\r\"f");
    for (qsizetype n = 0; n <= testo.size(); ++n) {
        const QStringView parte = QStringView(testo).first(n);
        const auto campi = listaparole::leggiCampi(parte, 1000);
        const int ultimaRiga = 1 + int(parte.count(u'\n') + parte.count(u'\r') - parte.count(u"\r\n"));
        int prima = 1;
        for (const Campo &c : campi) {
            QVERIFY2(c.riga >= prima && c.riga <= ultimaRiga, qPrintable(QStringLiteral("prefix %1").arg(n)));
            prima = c.riga;
        }
    }
}

void TestListaParole::decodifica_data()
{
    QTest::addColumn<QByteArray>("byte");
    QTest::addColumn<QString>("atteso");

    QTest::newRow("plain ASCII") << QByteArray("cane\r\ngatto") << "cane\r\ngatto";
    QTest::newRow("empty") << QByteArray() << "";
    QTest::newRow("UTF-8 without BOM") << QByteArray("caff\xC3\xA8\n") << QString::fromUtf8("caffè\n");
    QTest::newRow("UTF-8 with BOM, the mark skipped") << QByteArray("\xEF\xBB\xBF"
                                                                    "caff\xC3\xA8\n")
                                                      << QString::fromUtf8("caffè\n");
    QTest::newRow("a BOM alone is no text") << QByteArray("\xEF\xBB\xBF") << "";
    QTest::newRow("UTF-8 euro sign") << QByteArray("\xE2\x82\xAC") << QString(QChar(0x20AC));
    QTest::newRow("Windows-1252 0xE8 is e grave") << QByteArray("caff\xE8\n") << QString::fromUtf8("caffè\n");
    QTest::newRow("Windows-1252 0x80 is the euro sign")
        << QByteArray("\x80\n") << QString(QChar(0x20AC)) + u'\n';
    QTest::newRow("Windows-1252 accent as the file's last byte")
        << QByteArray("perch\xE9") << QString::fromUtf8("perché");
    QTest::newRow("Windows-1252 lead byte of a long sequence at the end")
        << QByteArray("caff\xF0") << QString::fromUtf8("caffð");
    QTest::newRow("Windows-1252 quotes and the unused codes")
        << QByteArray("\x93x\x94\x81\x8D\x8F\x90\x9D\x9F")
        << QString(QChar(0x201C)) + u'x' + QChar(0x201D) + QChar(0x81) + QChar(0x8D) + QChar(0x8F)
            + QChar(0x90) + QChar(0x9D) + QChar(0x178);
    QTest::newRow("Windows-1252 after a BOM, the mark skipped") << QByteArray("\xEF\xBB\xBF"
                                                                              "caff\xE8")
                                                                << QString::fromUtf8("caffè");
    QTest::newRow("overlong UTF-8 is not UTF-8") << QByteArray("\xC0\xAF") << QString::fromUtf8("À¯");
    QTest::newRow("one bad byte makes the whole file Windows-1252")
        << QByteArray("caff\xC3\xA8 perch\xE9 !") << QString::fromUtf8("caffÃ¨ perché !");
    QTest::newRow("NUL bytes kept") << QByteArray("a\0b", 3) << conNul("a", "b");
    QTest::newRow("UTF-16 LE after its mark") << QByteArray("\xFF\xFE"
                                                            "c\0\xE8\0\r\0\n\0",
        10) << QString::fromUtf8("cè\r\n");
    QTest::newRow("UTF-16 BE after its mark")
        << QByteArray("\xFE\xFF\0c\0\xE8", 6) << QString::fromUtf8("cè");
    QTest::newRow("UTF-16 odd last byte") << QByteArray("\xFF\xFE"
                                                        "c\0d",
        5) << QStringLiteral("c\uFFFD");
    QTest::newRow("DOS end-of-file byte ends the file") << QByteArray("cane\r\n\x1A") << "cane\r\n";
    QTest::newRow("only the final 0x1A") << QByteArray("a\x1A\nb\x1A\x1A") << "a\x1A\nb\x1A";
    QTest::newRow("DOS end-of-file in UTF-16") << QByteArray("\xFF\xFE"
                                                             "a\0\x1A\0",
        6) << "a";
}

void TestListaParole::decodifica()
{
    QFETCH(QByteArray, byte);
    QFETCH(QString, atteso);
    QCOMPARE(listaparole::decodifica(byte), atteso);
    // The encoding a writer would keep: read back from what it says, the text is the same.
    using listaparole::Codifica;
    const Codifica c = listaparole::codifica(byte);
    QByteArray scritto;
    if (c == Codifica::utf16le || c == Codifica::utf16be) {
        QStringEncoder e(c == Codifica::utf16le ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE,
            QStringEncoder::Flag::WriteBom);
        scritto = e.encode(atteso);
    } else if (c != Codifica::windows1252) {
        scritto = (c == Codifica::utf8Bom ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + atteso.toUtf8();
    }
    if (!scritto.isEmpty() && !atteso.contains(QChar(0xFFFD)) && !atteso.endsWith(QChar(0x1A)))
        QCOMPARE(listaparole::decodifica(scritto), atteso);
}

void TestListaParole::leggiFile()
{
    QTemporaryDir cartella;
    const QString percorso = cartella.filePath(QStringLiteral("lista4.txt"));
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("CANE\r\n\"ca,sa\"\r\ncaff\xE8\r\n");
    f.close();
    const QString testo = listaparole::leggiFile(percorso);
    QCOMPARE(testo, QString::fromUtf8("CANE\r\n\"ca,sa\"\r\ncaffè\r\n"));
    QCOMPARE(parole(listaparole::leggiCampi(testo, 201)),
        (QStringList {"CANE", "ca,sa", QString::fromUtf8("caffè")}));
}

void TestListaParole::erroriNominanoIlFile_data()
{
    QTest::addColumn<bool>("cartella");
    QTest::newRow("a missing file") << false;
    QTest::newRow("a folder in the list's place") << true;
}

void TestListaParole::erroriNominanoIlFile()
{
    QFETCH(bool, cartella);
    QTemporaryDir dati;
    const QString percorso = dati.filePath(QStringLiteral("lista5.txt"));
    if (cartella)
        QVERIFY(QDir(dati.path()).mkdir(QStringLiteral("lista5.txt")));
    try {
        listaparole::leggiFile(percorso);
        QFAIL("no error was raised");
    } catch (const Errore &e) {
        QVERIFY2(e.messaggio().contains(QDir::toNativeSeparators(percorso)), qPrintable(e.messaggio()));
    }
}

QTEST_GUILESS_MAIN(TestListaParole)
#include "tst_listaparole.moc"
