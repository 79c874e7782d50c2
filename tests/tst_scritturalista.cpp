// SPDX-License-Identifier: GPL-3.0-or-later
// The list writer against the game's own reader: whatever it writes reads back as the same words, in
// the list's own encoding and line ends.

#include "game/ListaParole.h"
#include "game/ScritturaLista.h"
#include "ui/errori.h"

#include <QTest>

using listaparole::Codifica;
using listaparole::Formato;
using Parole = std::vector<QString>;

Q_DECLARE_METATYPE(Parole)

class TestScritturaLista : public QObject
{
    Q_OBJECT

private slots:
    void rilettaUguale_data()
    {
        QTest::addColumn<Parole>("parole");
        const Parole strane {QStringLiteral("cane"), QStringLiteral("a,b"), QStringLiteral("  spazi davanti"),
            QStringLiteral("dietro\t"), QString(), QStringLiteral("con\"virgolette"),
            QStringLiteral("due\r\nrighe"), QStringLiteral("lupo")};
        QTest::newRow("plain words") << Parole {QStringLiteral("cane"), QStringLiteral("lupo")};
        QTest::newRow("commas, blanks, quotes, line ends, an empty word") << strane;
        QTest::newRow("an empty word last") << Parole {QStringLiteral("cane"), QString()};
        QTest::newRow("only an empty word") << Parole {QString()};
        QTest::newRow("no words") << Parole {};
        QTest::newRow("accents and the euro")
            << Parole {QStringLiteral("perché"), QStringLiteral("€uro"), QStringLiteral("œuf")};
        Parole tante;
        for (int i = 0; i < 250; ++i)
            tante.push_back(QStringLiteral("p%1").arg(i));
        QTest::newRow("past the game's limit, kept whole") << tante;
    }
    void rilettaUguale()
    {
        QFETCH(Parole, parole);
        for (Codifica c : {Codifica::utf8, Codifica::utf8Bom, Codifica::windows1252, Codifica::utf16le,
                 Codifica::utf16be}) {
            for (const char *fine : {"\n", "\r\n", "\r"}) {
                for (bool finale : {true, false}) {
                    const Formato f {c, QString::fromLatin1(fine), finale};
                    Formato usato;
                    const QByteArray byte = listaparole::scriviLista(parole, f, &usato);
                    const QString caso
                        = QStringLiteral("%1 %2 %3")
                              .arg(listaparole::nomeCodifica(c), QString::fromLatin1(fine).toUtf8().toHex())
                              .arg(finale);
                    QVERIFY2(listaparole::tutteLeParole(listaparole::decodifica(byte)) == parole,
                        qPrintable(caso));
                    // Each encoding holds these words, so the list keeps its own (plain ASCII reads as
                    // UTF-8).
                    QCOMPARE(usato.codifica, c);
                    if (!byte.isEmpty() && c != Codifica::windows1252 && c != Codifica::utf8)
                        QCOMPARE(listaparole::codifica(byte), c);
                    if (parole.size() > 1)
                        QCOMPARE(listaparole::formato(byte).fineRiga, QString::fromLatin1(fine));
                }
            }
        }
    }

    // A list as a teacher's old editor saved it: Windows-1252, CR LF, no final line end. Adding a word
    // changes only what must change.
    void listaWindowsRestaWindows()
    {
        const QByteArray prima("perch\xE9\r\n\"a, b\"\r\ncane");
        const Formato f = listaparole::formato(prima);
        QCOMPARE(f.codifica, Codifica::windows1252);
        QCOMPARE(f.fineRiga, QStringLiteral("\r\n"));
        QVERIFY(!f.fineRigaFinale);
        Parole parole = listaparole::tutteLeParole(listaparole::decodifica(prima));
        QCOMPARE(parole, (Parole {QStringLiteral("perché"), QStringLiteral("a, b"), QStringLiteral("cane")}));
        QCOMPARE(listaparole::scriviLista(parole, f), prima);
        parole.push_back(QStringLiteral("faro"));
        QCOMPARE(listaparole::scriviLista(parole, f), QByteArray("perch\xE9\r\n\"a, b\"\r\ncane\r\nfaro"));
    }

    void nuovaListaInUtf8()
    {
        QCOMPARE(listaparole::scriviLista({QStringLiteral("faro")}, Formato {}), QByteArray("faro\n"));
    }

    // Bytes that would read back as other text in their old encoding go out as UTF-8 instead.
    void quandoLaCodificaNonBastaUtf8()
    {
        Formato usato;
        const Formato cp1252 {Codifica::windows1252, QStringLiteral("\n"), true};
        // "Ã©" in Windows-1252 is C3 A9, which the reader takes as UTF-8 "é".
        const Parole mojibake {QStringLiteral("Ã©")};
        QByteArray byte = listaparole::scriviLista(mojibake, cp1252, &usato);
        QCOMPARE(usato.codifica, Codifica::utf8);
        QCOMPARE(listaparole::tutteLeParole(listaparole::decodifica(byte)), mojibake);
        // A letter Windows-1252 lacks.
        const Parole greco {QStringLiteral("αβγ")};
        byte = listaparole::scriviLista(greco, cp1252, &usato);
        QCOMPARE(usato.codifica, Codifica::utf8);
        QCOMPARE(listaparole::tutteLeParole(listaparole::decodifica(byte)), greco);
        // A last word ending in the DOS end byte needs a line end after it.
        const Parole dos {QStringLiteral("cane\x1A")};
        byte = listaparole::scriviLista(dos, Formato {Codifica::utf8, QStringLiteral("\n"), false}, &usato);
        QVERIFY(usato.fineRigaFinale);
        QCOMPARE(listaparole::tutteLeParole(listaparole::decodifica(byte)), dos);
    }

    void parolaImpossibileRifiutata()
    {
        QVERIFY_THROWS_EXCEPTION(Errore, listaparole::scriviLista({QStringLiteral("a\"b,c")}, Formato {}));
    }
};

QTEST_GUILESS_MAIN(TestScritturaLista)
#include "tst_scritturalista.moc"
