// SPDX-License-Identifier: GPL-3.0-or-later
// Turns, word lists, letter case, help, information and exit, on the real game window.
// Over 500 lines: each command of the game window has its cases here.
#include "app/Modulo1.h"
#include "gioco.h"

#include <QDirIterator>
#include <QTest>

namespace
{

// The dominant colour of the picture shown, to tell which word's picture it is.
QColor coloreImmagine(const lettere &w)
{
    const QImage img = w.Image1->pixmap().toImage();
    return img.pixelColor(img.width() / 2, img.height() / 2);
}

bool simile(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 && qAbs(a.blue() - b.blue()) < 40;
}

// Every file under the folder with its size and modification time.
QStringList elenco(const QString &cartella)
{
    QStringList voci;
    QDirIterator it(
        cartella, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        voci << it.filePath() + u' ' + QString::number(it.fileInfo().size()) + u' '
                + QString::number(it.fileInfo().lastModified().toMSecsSinceEpoch());
    }
    voci.sort();
    return voci;
}

} // namespace

class TestTurni : public QObject
{
    Q_OBJECT
private slots:
    void caricamentoMostraIlPrimoTurno();
    void caricamentoConsumaTreEstrazioni();
    void avantiContaEPortaLaParolaSuccessiva();
    void avantiNonTraboccaA32767();
    void azzeraAMetaParola();
    void cambioListaTieneIContatori();
    void stessaVoceRileggeLaLista();
    void listaCortaDopoListaLunga();
    void listaVuota();
    void maiuscoleEMinuscole();
    void immagineTrovataInOgniCaso();
    void aiuto();
    void informazioni();
    void uscita();
    void errori_data();
    void errori();
    void parolaCheEsceDallaCartella();
    void immagineGuastaLasciaQuellaDiPrima();
    void nienteScrittoNellaCartella();
    void voce_data();
    void voce();
};

void TestTurni::caricamentoMostraIlPrimoTurno()
{
    Gioco g;
    lettere &w = g.carica();
    QCOMPARE(g.f.uscita.stato, -1);
    QCOMPARE(w.EtichettaEsatti->text(), QString(" 0"));
    QCOMPARE(w.EtichettaErrati->text(), QString(" 0"));
    QCOMPARE(g.etichetteMostrate(), 4);
    for (int i = 0; i < 4; ++i)
        QVERIFY(!w.Label1[i]->isHidden());
    QCOMPARE(g.etichette(), QStringList(6, QString()));
    QCOMPARE(g.caselleMostrate(), 0);
    for (CasellaTesto *t : w.Text1)
        QVERIFY(t->text().isEmpty());
    QVERIFY(!w.Command1->isEnabled());
    QVERIFY(!w.Image1->pixmap().isNull());
    // The design's place-holder texts never reach the screen.
    for (QLabel *l : w.findChildren<QLabel *>()) {
        QVERIFY2(!l->text().contains("quanti") && l->text() != "Label1", qPrintable(l->objectName()));
    }
    // Words and keys start in capitals.
    QCOMPARE(w.stato.parole[1], QString("CANE"));
    QCOMPARE(w.batticco[0]->text(), QString("Q"));
    QCOMPARE(w.stato.lunghezza, qint16(4));
    QCOMPARE(w.stato.nomeLista, QString("lista4.txt"));
    QVERIFY(w.mnu4->isChecked() && w.mnumaiuscoli->isChecked() && w.mnuVideo->isChecked());
    QVERIFY(!w.mnuminuscoli->isChecked() && !w.mnuPc->isChecked());
}

void TestTurni::caricamentoConsumaTreEstrazioni()
{
    // The load picks three times (prepare, new turn, upper case); the child sees the last pick.
    Gioco g;
    g.f.scrivi("lista4.txt", "cane\nlupo\norso\n");
    g.f.immagine("cane.jpg", Qt::red);
    g.f.immagine("lupo.jpg", Qt::green);
    g.f.immagine("orso.jpg", Qt::blue);
    g.f.casuale.valori = {0.0, 0.4, 0.9};
    lettere &w = g.carica();
    QCOMPARE(g.f.casuale.estratti, 3);
    QCOMPARE(w.stato.indiceParola, qint16(3));
    QVERIFY(simile(coloreImmagine(w), Qt::blue));

    // A missing picture for an earlier pick still ends the program: both pictures are loaded.
    Gioco h;
    h.f.scrivi("lista4.txt", "cane\nlupo\n");
    QFile::remove(h.f.percorso("jpg/cane.jpg"));
    h.f.immagine("lupo.jpg", Qt::green);
    h.f.casuale.valori = {0.9, 0.0, 0.9};
    h.carica();
    QCOMPARE(h.f.uscita.stato, 1);
    QVERIFY(h.f.messaggi.mostrati.back().testo.contains("cane.jpg", Qt::CaseInsensitive));
}

void TestTurni::avantiContaEPortaLaParolaSuccessiva()
{
    Gioco g;
    g.f.scrivi("lista4.txt", "cane\nlupo\n");
    g.f.immagine("cane.jpg", Qt::red);
    g.f.immagine("lupo.jpg", Qt::green);
    g.f.casuale.valori = {0, 0, 0};
    lettere &w = g.carica();
    for (QChar c : QString("CANE"))
        g.clicca(c);
    QVERIFY(w.Command1->isEnabled());
    g.f.casuale.valori = {0.99};
    const int prima = g.f.casuale.estratti;
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QCOMPARE(g.f.casuale.estratti, prima + 1);
    QCOMPARE(w.stato.esatti, qint16(1));
    QCOMPARE(w.EtichettaEsatti->text(), QString(" 1"));
    QVERIFY(g.facciaSi());
    QCOMPARE(w.stato.indiceParola, qint16(2));
    QVERIFY(simile(coloreImmagine(w), Qt::green));
    QCOMPARE(g.etichette(), QStringList(6, QString()));
    QCOMPARE(w.stato.posizione, qint16(0));
    QVERIFY(!w.Command1->isEnabled());
}

void TestTurni::avantiNonTraboccaA32767()
{
    Gioco g;
    lettere &w = g.carica();
    w.stato.esatti = 32767;
    w.Command1->setEnabled(true);
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QCOMPARE(g.f.uscita.stato, -1);
    QCOMPARE(w.stato.esatti, qint16(32767));
    QCOMPARE(w.EtichettaEsatti->text(), QString(" 32767"));
}

void TestTurni::azzeraAMetaParola()
{
    Gioco g;
    lettere &w = g.carica();
    g.clicca('C');
    g.clicca('X');
    QVERIFY(g.facciaNo());
    w.stato.esatti = 5;
    w.mnuAzzera->trigger();
    QCOMPARE(w.EtichettaEsatti->text(), QString(" 0"));
    QCOMPARE(w.EtichettaErrati->text(), QString(" 0"));
    QCOMPARE(w.stato.esatti, qint16(0));
    QVERIFY(g.facciaSi());
    // The word goes on from where it was.
    QCOMPARE(g.etichette().first(), QString("C"));
    QCOMPARE(w.stato.posizione, qint16(1));
    g.clicca('A');
    QCOMPARE(g.etichette()[1], QString("A"));
}

void TestTurni::cambioListaTieneIContatori()
{
    Gioco g;
    lettere &w = g.carica();
    g.clicca('X');
    w.stato.esatti = 2;
    const int prima = g.f.casuale.estratti;
    w.mnu3->trigger();
    QVERIFY(w.mnu3->isChecked());
    QVERIFY(!w.mnu4->isChecked() && !w.mnu5->isChecked() && !w.mnu6->isChecked());
    QCOMPARE(w.stato.lunghezza, qint16(3));
    QCOMPARE(w.stato.nomeLista, QString("lista3.txt"));
    QCOMPARE(w.stato.parole[1], QString("APE"));
    QCOMPARE(g.etichetteMostrate(), 3);
    QCOMPARE(g.f.casuale.estratti, prima + 1);
    QCOMPARE(w.stato.errati, qint16(1));
    QCOMPARE(w.stato.esatti, qint16(2));
    QVERIFY(g.facciaNo());

    w.mnu6->trigger();
    QCOMPARE(g.etichetteMostrate(), 6);
    QCOMPARE(w.stato.parole[1], QString("CHIAVE"));
    w.mnu5->trigger();
    QCOMPARE(g.etichetteMostrate(), 5);
    QCOMPARE(w.stato.lunghezza, qint16(5));
}

void TestTurni::stessaVoceRileggeLaLista()
{
    Gioco g;
    lettere &w = g.carica();
    g.f.lista(4, {"lupo"});
    const int prima = g.f.casuale.estratti;
    w.mnu4->trigger();
    QVERIFY(w.mnu4->isChecked());
    QCOMPARE(w.stato.parole[1], QString("LUPO"));
    QCOMPARE(g.f.casuale.estratti, prima + 1);
}

void TestTurni::listaCortaDopoListaLunga()
{
    Gioco g;
    QStringList dieci;
    for (const char *p : {"cane", "lupo", "orso", "mela", "pera", "rana", "topo", "vaso", "nave", "luna"})
        dieci << p;
    g.f.lista(4, dieci);
    g.f.lista(3, {"ape", "oca", "uva"});
    lettere &w = g.carica();
    QCOMPARE(w.stato.numParole, qint16(10));
    w.mnu3->trigger();
    QCOMPARE(w.stato.numParole, qint16(3));
    // The old words stay in their slots, beyond reach.
    QCOMPARE(w.stato.parole[4], QString("MELA"));
    QCOMPARE(w.stato.parole[10], QString("LUNA"));
    g.f.casuale.valori = {std::nextafter(1.0, 0.0)};
    w.mnu3->trigger();
    QCOMPARE(w.stato.indiceParola, qint16(3));
    // Changing case converts only the words of the list in use.
    w.mnuminuscoli->trigger();
    QCOMPARE(w.stato.parole[3], QString("uva"));
    QCOMPARE(w.stato.parole[4], QString("MELA"));
}

void TestTurni::listaVuota()
{
    // An empty list after a full one: slot 1 still holds the old first word, and that is the turn.
    Gioco g;
    lettere &w = g.carica();
    g.f.scrivi("lista5.txt", "");
    w.mnu5->trigger();
    QCOMPARE(g.f.uscita.stato, -1);
    QCOMPARE(w.stato.numParole, qint16(0));
    QCOMPARE(w.stato.indiceParola, qint16(1));
    QCOMPARE(w.stato.parole[1], QString("CANE"));

    // At load slot 1 is empty: the picture looked up is "jpg/.jpg".
    Gioco h;
    h.f.scrivi("lista4.txt", "");
    h.carica();
    QCOMPARE(h.f.uscita.stato, 1);
    QVERIFY(h.f.messaggi.mostrati.back().testo.contains(QDir::toNativeSeparators("jpg/.jpg")));
    QVERIFY(h.f.messaggi.mostrati.back().testo.startsWith("La lista di parole è vuota"));
    QVERIFY(h.f.messaggi.mostrati.back().testo.contains("lista4.txt"));

    Gioco k;
    k.f.scrivi("lista4.txt", "");
    k.f.immagine(".jpg");
    k.carica();
    QCOMPARE(k.f.uscita.stato, -1);
}

void TestTurni::maiuscoleEMinuscole()
{
    Gioco g;
    g.f.scrivi("lista4.txt", "Però\n");
    g.f.immagine("però.jpg");
    lettere &w = g.carica();
    QCOMPARE(w.stato.parole[1], QString("PERÒ"));
    g.clicca('P');
    w.stato.esatti = 1;
    w.Command1->setEnabled(true);
    const int prima = g.f.casuale.estratti;
    w.mnuminuscoli->trigger();
    QVERIFY(w.mnuminuscoli->isChecked() && !w.mnumaiuscoli->isChecked());
    QCOMPARE(w.stato.parole[1], QString("però"));
    for (Pulsante *b : w.batticco)
        QVERIFY(b->text().size() == 1 && b->text().at(0).isLower());
    // A new turn: letters lost, "avanti" disabled, counters untouched.
    QCOMPARE(g.f.casuale.estratti, prima + 1);
    QCOMPARE(g.etichette(), QStringList(6, QString()));
    QVERIFY(!w.Command1->isEnabled());
    QCOMPARE(w.stato.esatti, qint16(1));

    // Choosing the case already in force changes nothing but still starts a turn.
    w.mnuminuscoli->trigger();
    QCOMPARE(g.f.casuale.estratti, prima + 2);
    QCOMPARE(w.batticco[0]->text(), QString("q"));
    w.mnumaiuscoli->trigger();
    QCOMPARE(w.batticco[0]->text(), QString("Q"));
    QCOMPARE(w.stato.parole[1], QString("PERÒ"));

    // A list read while small letters are in force arrives in small letters.
    w.mnuminuscoli->trigger();
    g.f.scrivi("lista3.txt", "APE\n");
    w.mnu3->trigger();
    QCOMPARE(w.stato.parole[1], QString("ape"));
}

void TestTurni::immagineTrovataInOgniCaso()
{
    // Capitals find a picture named in small letters, and small letters one named in capitals.
    Gioco g;
    g.f.scrivi("lista4.txt", "cane\n");
    QFile::remove(g.f.percorso("jpg/cane.jpg"));
    g.f.immagine("Cane.JPG", Qt::blue);
    lettere &w = g.carica();
    QCOMPARE(g.f.uscita.stato, -1);
    QVERIFY(simile(coloreImmagine(w), Qt::blue));
    w.mnuminuscoli->trigger();
    QCOMPARE(g.f.uscita.stato, -1);
    QDir(g.f.percorso("jpg")).rename("Cane.JPG", "CANE.JPG");
    w.mnuminuscoli->trigger();
    QCOMPARE(g.f.uscita.stato, -1);
    // Leading spaces are not part of the picture's name.
    g.f.scrivi("lista4.txt", "\"  cane\"\n");
    w.mnu4->trigger();
    QCOMPARE(g.f.uscita.stato, -1);
    QCOMPARE(w.stato.parole[1], QString("  cane"));
}

void TestTurni::aiuto()
{
    Gioco g;
    lettere &w = g.carica();
    QTest::mouseClick(w.SSCommand1, Qt::LeftButton);
    QCOMPARE(g.f.messaggi.mostrati.size(), size_t(1));
    QCOMPARE(g.f.messaggi.mostrati[0].testo, QString("CANE"));
    QCOMPARE(g.f.messaggi.mostrati[0].stile, 0);
    QCOMPARE(g.f.messaggi.mostrati[0].titolo, QString("Batticco"));
    QCOMPARE(w.stato.esatti, qint16(0));

    // At 3 the help takes one off, but the label keeps showing 3 until the next "avanti".
    w.stato.esatti = 3;
    w.EtichettaEsatti->setText(" 3");
    g.clicca('C');
    QTest::mouseClick(w.SSCommand1, Qt::LeftButton);
    QCOMPARE(w.stato.esatti, qint16(2));
    QCOMPARE(w.EtichettaEsatti->text(), QString(" 3"));
    // Letters already entered stay, and the word goes on.
    QCOMPARE(g.etichette().first(), QString("C"));
    for (QChar c : QString("ANE"))
        g.clicca(c);
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QCOMPARE(w.stato.esatti, qint16(3));
    QCOMPARE(w.EtichettaEsatti->text(), QString(" 3"));

    // Twice in one turn takes two; with small letters in force the box still shows capitals.
    w.mnuminuscoli->trigger();
    QTest::mouseClick(w.SSCommand1, Qt::LeftButton);
    QTest::mouseClick(w.SSCommand1, Qt::LeftButton);
    QCOMPARE(w.stato.esatti, qint16(1));
    QCOMPARE(g.f.messaggi.mostrati.back().testo, QString("CANE"));
}

void TestTurni::informazioni()
{
    Gioco g;
    lettere &w = g.carica();
    g.clicca('C');
    w.mnuInforma->trigger();
    w.mnuInforma->trigger();
    QCOMPARE(g.f.messaggi.mostrati.size(), size_t(2));
    const auto &m = g.f.messaggi.mostrati[0];
    QCOMPARE(m.stile, 64);
    QCOMPARE(m.titolo, QString("Batticco"));
    QCOMPARE(m.testo, g.f.messaggi.mostrati[1].testo);
    const QStringList righe = m.testo.split("\r\n");
    QCOMPARE(righe.size(), 4);
    QVERIFY(righe[0].endsWith("  ") && !righe[0].endsWith("   "));
    QCOMPARE(righe[1], " " + QString(23, '-') + " ");
    QVERIFY(righe[3].startsWith("mail: "));
    QVERIFY(!m.testo.endsWith("\r\n"));
    // The designed text, written out: the name, the hyphen line, the site, the mail address.
    QCOMPARE(m.testo,
        QString("Batticco  \r\n"
                " ----------------------- \r\n"
                "https://batticco.example.org\r\n"
                "mail: batticco@example.org"));
    // Nothing of the game changed.
    QCOMPARE(g.etichette().first(), QString("C"));
    QCOMPARE(w.stato.posizione, qint16(1));
}

void TestTurni::uscita()
{
    Gioco g;
    lettere &w = g.carica();
    g.clicca('C');
    g.clicca('Z');
    g.f.messaggi.risposta = risposta::no;
    w.mnuEsci->trigger();
    QCOMPARE(g.f.messaggi.mostrati.back().testo, QString("Vuoi terminare?"));
    QCOMPARE(g.f.messaggi.mostrati.back().stile, 36);
    QCOMPARE(g.f.messaggi.mostrati.back().titolo, QString("Batticco"));
    QCOMPARE(g.f.uscita.stato, -1);
    QCOMPARE(w.stato.posizione, qint16(1));
    QCOMPARE(w.stato.errati, qint16(1));
    QCOMPARE(g.etichette().first(), QString("C"));
    QVERIFY(w.mnu4->isChecked() && w.mnuVideo->isChecked() && w.mnumaiuscoli->isChecked());

    g.f.messaggi.risposta = risposta::si;
    w.mnuEsci->trigger();
    QCOMPARE(g.f.uscita.stato, 0);
}

void TestTurni::errori_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("contenuto");
    QTest::addColumn<QString>("nominato");
    QByteArray duecentouno;
    for (int i = 0; i < 201; ++i)
        duecentouno += "cane\n";
    QTest::newRow("list missing") << "" << QByteArray() << "lista4.txt";
    QTest::newRow("list of 201 words") << "lista4.txt" << duecentouno << "lista4.txt";
    QTest::newRow("picture missing") << "jpg/cane.jpg" << QByteArray() << "cane.jpg";
    QTest::newRow("picture unreadable") << "jpg/cane.jpg" << QByteArray("no picture in here") << "cane.jpg";
}

void TestTurni::errori()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, contenuto);
    QFETCH(QString, nominato);
    Gioco g;
    QFile::remove(g.f.percorso(nominato == "cane.jpg" ? "jpg/cane.jpg" : nominato));
    if (!file.isEmpty() && !contenuto.isEmpty())
        g.f.scrivi(file, contenuto);
    g.carica();
    QCOMPARE(g.f.uscita.stato, 1);
    QCOMPARE(g.f.messaggi.mostrati.size(), size_t(1));
    QCOMPARE(g.f.messaggi.mostrati[0].stile, 16);
    QVERIFY2(g.f.messaggi.mostrati[0].testo.contains(nominato, Qt::CaseInsensitive),
        qPrintable(g.f.messaggi.mostrati[0].testo));

    // A list of exactly 200 words loads whole.
    if (contenuto.count('\n') == 201) {
        Gioco h;
        h.f.scrivi("lista4.txt", contenuto.left(contenuto.size() - 5));
        lettere &w = h.carica();
        QCOMPARE(h.f.uscita.stato, -1);
        QCOMPARE(w.stato.numParole, qint16(200));
    }
}

void TestTurni::immagineGuastaLasciaQuellaDiPrima()
{
    // The next word's picture damaged (or gone): behind the error the window still shows the
    // picture it showed, not an empty box.
    for (const QByteArray &guasto : {QByteArray("no picture in here"), QByteArray()}) {
        Gioco g;
        g.f.immagine("gatto.jpg", Qt::blue);
        lettere &w = g.carica();
        const QImage prima = w.Image1->pixmap().toImage();
        QVERIFY(!prima.isNull());
        if (guasto.isEmpty())
            QFile::remove(g.f.percorso("jpg/gatto.jpg"));
        else
            g.f.scrivi("jpg/gatto.jpg", guasto);
        w.mnu5->trigger();
        QCOMPARE(g.f.uscita.stato, 1);
        QVERIFY(g.f.messaggi.mostrati.back().testo.contains("gatto", Qt::CaseInsensitive));
        QCOMPARE(w.Image1->pixmap().toImage(), prima);
    }
}

void TestTurni::parolaCheEsceDallaCartella()
{
    // A word naming a picture elsewhere is refused as an unreadable picture, before anything is opened.
    for (const char *parola : {"../../x", "..", ".", "a\\..\\b", "/etc/passwd"}) {
        Gioco g;
        g.f.scrivi("lista4.txt", QByteArray(parola) + '\n');
        g.f.immagine("x.jpg");
        QDir().mkpath(g.f.percorso("jpg/a/../b"));
        g.carica();
        QCOMPARE(g.f.uscita.stato, 1);
        QVERIFY2(g.f.messaggi.mostrati.back().testo.startsWith("Immagine illeggibile"),
            qPrintable(g.f.messaggi.mostrati.back().testo));
    }
}

void TestTurni::nienteScrittoNellaCartella()
{
    Gioco g;
    const QStringList prima = elenco(g.f.cartella.path());
    lettere &w = g.carica();
    for (QChar c : QString("CANE"))
        g.clicca(c);
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    w.mnu3->trigger();
    w.mnuminuscoli->trigger();
    QTest::mouseClick(w.SSCommand1, Qt::LeftButton);
    w.mnuAzzera->trigger();
    QCOMPARE(elenco(g.f.cartella.path()), prima);
}

void TestTurni::voce_data()
{
    QTest::addColumn<QString>("lista"); // lista4.txt, each word with its picture
    QTest::addColumn<QStringList>("voci"); // files laid in the data folder, a WAV each
    // What the child does after the load, one letter a step: c a click on the picture, n a wrong
    // letter, p the word spelled, a "avanti", m small letters.
    QTest::addColumn<QString>("passi");
    QTest::addColumn<QStringList>("suonati");

    QTest::newRow("no voices: today's sounds, a click does nothing")
        << "cane" << QStringList {} << "cnpca" << QStringList {"no.wav", "si1.wav"};
    QTest::newRow("the voice once at the load, again on a click")
        << "cane" << QStringList {"voci/cane.wav"} << "c" << QStringList {"cane.wav", "cane.wav"};
    QTest::newRow("the load speaks the turn the child sees only")
        << "cane,lupo,orso" << QStringList {"voci/cane.wav", "voci/lupo.wav", "voci/orso.wav"} << ""
        << QStringList {"orso.wav"};
    QTest::newRow("a wrong letter's no comes after the voice, each new turn speaks")
        << "cane" << QStringList {"voci/cane.wav"} << "npam"
        << QStringList {"cane.wav", "no.wav", "si1.wav", "cane.wav", "cane.wav"};
    QTest::newRow("folder and name in other letter cases, name from a Mac")
        << "perché" << QStringList {"VOCI/PERCHE\u0301.Wav"} << "mc"
        << QStringList {"PERCHE\u0301.Wav", "PERCHE\u0301.Wav", "PERCHE\u0301.Wav"};
    QTest::newRow("another word's voice is not this one's")
        << "cane" << QStringList {"voci/gatto.wav", "voci/can.wav", "cane.wav"} << "c" << QStringList {};
    QTest::newRow("a folder named cane.wav, a voice too big: silent")
        << "cane,lupo" << QStringList {"voci/cane.wav/", "voci/lupo.wav+"} << "pac"
        << QStringList {"si1.wav"};
}

void TestTurni::voce()
{
    QFETCH(QString, lista);
    QFETCH(QStringList, voci);
    QFETCH(QString, passi);
    QFETCH(QStringList, suonati);
    Gioco g;
    g.f.lista(4, lista.split(u','));
    for (QString v : std::as_const(voci)) {
        v.replace(QStringLiteral("\\u0301"), QString(QChar(0x301)));
        if (v.endsWith(u'/')) {
            QVERIFY(QDir().mkpath(g.f.percorso(v)));
        } else if (v.endsWith(u'+')) {
            v.chop(1);
            g.f.scrivi(v, wavDiProva());
            QVERIFY(QFile(g.f.percorso(v)).resize(massimoByteSuono + 1));
        } else {
            g.f.scrivi(v, wavDiProva());
        }
    }
    // Three words: the load's three picks land on each in turn, the child sees the last.
    g.f.casuale.valori = {0.0, 0.4, 0.9};
    lettere &w = g.carica();
    QVERIFY(g.f.riproduttore.suonati.isEmpty()); // the voice waits for the load to end
    QCoreApplication::processEvents();
    for (QChar passo : passi) {
        if (passo == u'c') {
            QTest::mouseClick(w.Image1, Qt::LeftButton);
        } else if (passo == u'n') {
            g.clicca(u'q');
        } else if (passo == u'p') {
            for (QChar lettera : w.stato.parole[std::size_t(w.stato.indiceParola)])
                g.clicca(lettera);
        } else if (passo == u'a') {
            QTest::mouseClick(w.Command1, Qt::LeftButton);
        } else if (passo == u'm') {
            g.scegli(w.mnuminuscoli);
        }
        QCoreApplication::processEvents();
    }
    QCOMPARE(g.f.uscita.stato, -1);
    QStringList attesi;
    for (QString n : suonati)
        attesi << n.replace(QStringLiteral("\\u0301"), QString(QChar(0x301)));
    QCOMPARE(g.f.riproduttore.nomi(), attesi);
}

QTEST_MAIN(TestTurni)
#include "tst_turni.moc"
