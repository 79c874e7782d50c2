// SPDX-License-Identifier: GPL-3.0-or-later
// The word-list reader on inputs the fuzzer found or that broke it once: each row is one input
// with the text and the fields it must give.

#include "game/ListaParole.h"

#include <QTest>

class TestListaRobusta : public QObject
{
    Q_OBJECT
private slots:
    void codifica_data();
    void codifica();
    void campi_data();
    void campi();
    void limiteFermaLaLettura();
};

void TestListaRobusta::codifica_data()
{
    QTest::addColumn<QByteArray>("byte");
    QTest::addColumn<QString>("testo");
    // A file cut inside a multi-byte character is no UTF-8: every byte is a character of its own,
    // and the last one is not silently dropped.
    QTest::newRow("utf-8 cut at the end reads as windows-1252, every byte kept") << QByteArray(
        "\xEF\xBB\xBF"
        "perch\xC3\xA9\n\xF0") << QString::fromUtf16(u"perchÃ©\nð");
    QTest::newRow("a lone lead byte at the end is kept")
        << QByteArray("cane\xC3") << QString::fromUtf16(u"caneÃ");
    QTest::newRow("utf-8 with a byte-order mark drops the mark") << QByteArray("\xEF\xBB\xBF"
                                                                               "citt\xC3\xA0")
                                                                 << QString::fromUtf16(u"città");
    QTest::newRow("a second byte-order mark is text")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF") << QString(QChar(0xFEFF));
    QTest::newRow("windows-1252 high codes") << QByteArray("\x80\x9F\xE0") << QString::fromUtf16(u"€Ÿà");
    QTest::newRow("NUL is a character") << QByteArray("a\0b", 3) << QString::fromUtf16(u"a\0b", 3);
}

void TestListaRobusta::codifica()
{
    QFETCH(QByteArray, byte);
    QFETCH(QString, testo);
    QCOMPARE(listaparole::decodifica(byte), testo);
}

void TestListaRobusta::campi_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QStringList>("parole");
    QTest::addColumn<QList<int>>("righe");
    QTest::newRow("only commas: one empty word each, none after the last")
        << ",,," << QStringList {"", "", ""} << QList<int> {1, 1, 1};
    QTest::newRow("CR-only line ends count lines")
        << "cane\rlupo\r\rorso" << QStringList {"cane", "lupo", "", "orso"} << QList<int> {1, 2, 3, 4};
    QTest::newRow("unclosed quote ends with its line")
        << "\"cane\nlupo" << QStringList {"cane", "lupo"} << QList<int> {1, 2};
    QTest::newRow("quote alone at the end of the text")
        << "cane,\"" << QStringList {"cane", ""} << QList<int> {1, 1};
    QTest::newRow("quoted line ends count once each")
        << "\"a\r\nb\rc\"\nd" << QStringList {"a\r\nb\rc", "d"} << QList<int> {1, 4};
    QTest::newRow("blanks only") << " \t " << QStringList {""} << QList<int> {1};
    QTest::newRow("CR at the very end adds no field") << "cane\r" << QStringList {"cane"} << QList<int> {1};
}

void TestListaRobusta::campi()
{
    QFETCH(QString, testo);
    QFETCH(QStringList, parole);
    QFETCH(QList<int>, righe);
    const auto campi = listaparole::leggiCampi(testo, 1000);
    QStringList lette;
    QList<int> righeLette;
    for (const auto &c : campi) {
        lette << c.parola;
        righeLette << c.riga;
    }
    QCOMPARE(lette, parole);
    QCOMPARE(righeLette, righe);
}

void TestListaRobusta::limiteFermaLaLettura()
{
    // Ten megabytes of commas: the reader stops at the limit however much is left.
    const QString virgole(10 * 1024 * 1024, u',');
    QCOMPARE(listaparole::leggiCampi(virgole, 201).size(), std::size_t(201));
    QCOMPARE(listaparole::leggiCampi(virgole, 0).size(), std::size_t(0));
}

QTEST_GUILESS_MAIN(TestListaRobusta)
#include "tst_lista_robusta.moc"
