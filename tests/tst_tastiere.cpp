// SPDX-License-Identifier: GPL-3.0-or-later
// Spelling with the on-screen keyboard and with the PC keyboard, driven through the real widgets.
#include "app/Modulo1.h"
#include "gioco.h"
#include "ui/tastiTenuti.h"

#include <QClipboard>
#include <QKeyEvent>
#include <QTest>

#include <cmath>

namespace
{

// The box with the keyboard focus, where the next key release goes.
QWidget *focalizzato(const Gioco &g)
{
    QWidget *w = QApplication::focusWidget();
    return w ? w : g.w.get();
}

// A key released while held: X11 sends press and release pairs marked as auto-repeat.
void ripeti(QWidget *w, Qt::Key tasto, const QString &testo)
{
    QKeyEvent rilascio(QEvent::KeyRelease, tasto, Qt::NoModifier, testo, true);
    QApplication::sendEvent(w, &rilascio);
    QKeyEvent pressione(QEvent::KeyPress, tasto, Qt::NoModifier, testo, true);
    QApplication::sendEvent(w, &pressione);
}

} // namespace

class TestTastiere : public QObject
{
    Q_OBJECT
private slots:
    // On-screen keyboard.
    void tastiRiempionoLeEtichette();
    void letteraGiustaSiLeggeNellaCasellaSpenta();
    void tastoSbagliato();
    void completamentoESuoni();
    void clicDopoIlCompletamento();
    void parolaPiuCortaNonSiCompleta();
    void parolaPiuLungaOltreLaFine();
    void tastiEParoleNelloStessoCaso();
    void cambioTastiera();
    // PC keyboard.
    void tastoInMaiuscoloEMinuscolo_data();
    void tastoInMaiuscoloEMinuscolo();
    void letteraConvertitaPrimaDellaCasella();
    void letteraGiustaPassaAllaCasellaSuccessiva();
    void maiuscolaPremutaDaSola();
    void letteraConMaiuscolaTenuta();
    void letteraSbagliataRestaFinoAlCancella();
    void invioEBlocMaiuscoleNonContano();
    void tastoTenutoContaUnaVolta();
    void dopoIlCompletamento();
    void accentateNonConvertite();
    void soloTastiNelleCaselle();
    void tastiTenutiConRilasciDubbi();
    void rilasciDubbiSecondoIlTempo_data();
    void rilasciDubbiSecondoIlTempo();
    void invioTenutoPremeUnaVolta();
    // The two together.
    void partitaIntera();
};

void TestTastiere::tastiRiempionoLeEtichette()
{
    Gioco g;
    lettere &w = g.carica();
    g.clicca('C');
    QCOMPARE(g.etichette(), QStringList({"C", "", "", "", "", ""}));
    g.clicca('A');
    g.clicca('N');
    QCOMPARE(g.etichette(), QStringList({"C", "A", "N", "", "", ""}));
    QCOMPARE(w.stato.posizione, qint16(3));
    QVERIFY(g.f.riproduttore.suonati.isEmpty());
    QVERIFY(!w.Command1->isEnabled());
    QVERIFY(g.facciaSi());
}

void TestTastiere::tastoSbagliato()
{
    Gioco g;
    lettere &w = g.carica();
    g.clicca('C');
    const int estratti = g.f.casuale.estratti;
    g.clicca('Q');
    QCOMPARE(g.etichette(), QStringList({"C", "", "", "", "", ""}));
    QCOMPARE(w.stato.posizione, qint16(1));
    QCOMPARE(w.stato.errati, qint16(1));
    QCOMPARE(w.EtichettaErrati->text(), QString(" 1"));
    QVERIFY(g.facciaNo());
    QCOMPARE(g.f.riproduttore.nomi(), QStringList {"no.wav"});
    QCOMPARE(g.f.casuale.estratti, estratti);
    // A right letter does not bring the yes face back.
    g.clicca('A');
    QVERIFY(g.facciaNo());
    g.clicca('Q');
    QCOMPARE(w.EtichettaErrati->text(), QString(" 2"));
}

void TestTastiere::completamentoESuoni()
{
    Gioco g;
    lettere &w = g.carica();
    for (QChar c : QString("CAN"))
        g.clicca(c);
    g.f.casuale.valori = {0.8};
    g.clicca('E');
    QCOMPARE(g.etichette(), QStringList({"C", "A", "N", "E", "", ""}));
    QCOMPARE(g.f.riproduttore.nomi(), QStringList {"si4.wav"});
    QVERIFY(w.Command1->isEnabled());
    QVERIFY(g.facciaSi());
}

void TestTastiere::clicDopoIlCompletamento()
{
    // Past the end every key is wrong: the no sound, then a yes sound in its place, and one error.
    Gioco g;
    lettere &w = g.carica();
    for (QChar c : QString("CANE"))
        g.clicca(c);
    g.f.riproduttore.suonati.clear();
    g.f.casuale.valori = {0.0};
    g.clicca('E');
    QCOMPARE(g.f.riproduttore.nomi(), QStringList({"no.wav", "si1.wav"}));
    QCOMPARE(w.stato.errati, qint16(1));
    QVERIFY(g.facciaNo());
    QVERIFY(w.Command1->isEnabled());
    QCOMPARE(w.stato.posizione, qint16(4));
}

void TestTastiere::parolaPiuCortaNonSiCompleta()
{
    Gioco g;
    g.f.lista(4, {"re"});
    lettere &w = g.carica();
    g.clicca('R');
    g.clicca('E');
    for (QChar c : QString("ABCDEFGHIJKLMNOPQRSTUVWXYZ"))
        g.clicca(c);
    QVERIFY(!w.Command1->isEnabled());
    QCOMPARE(w.stato.posizione, qint16(2));
    QCOMPARE(w.stato.errati, qint16(26));
    QVERIFY(!g.f.riproduttore.nomi().contains("si1.wav"));
}

void TestTastiere::parolaPiuLungaOltreLaFine()
{
    // "gatto" in the 4-letter list: after four letters the word counts as complete, and the fifth
    // letter has no label to go to. It is ignored; the closing completion check still runs.
    Gioco g;
    g.f.lista(4, {"gatto"});
    lettere &w = g.carica();
    for (QChar c : QString("GATT"))
        g.clicca(c);
    QVERIFY(w.Command1->isEnabled());
    g.f.riproduttore.suonati.clear();
    g.clicca('O');
    QCOMPARE(w.stato.posizione, qint16(4));
    QCOMPARE(w.stato.errati, qint16(0));
    QCOMPARE(g.etichette(), QStringList({"G", "A", "T", "T", "", ""}));
    QVERIFY(w.Label1[4]->isHidden());
    QCOMPARE(g.f.riproduttore.suonati.size(), 1);
    QVERIFY(g.f.riproduttore.nomi()[0].startsWith("si"));
}

void TestTastiere::tastiEParoleNelloStessoCaso()
{
    Gioco g;
    lettere &w = g.carica();
    w.mnuminuscoli->trigger();
    for (QChar c : QString("cane"))
        g.clicca(c);
    QCOMPARE(g.etichette(), QStringList({"c", "a", "n", "e", "", ""}));
    QVERIFY(w.Command1->isEnabled());
    QCOMPARE(w.stato.errati, qint16(0));
}

void TestTastiere::cambioTastiera()
{
    Gioco g;
    lettere &w = g.caricaEMostra();
    g.clicca('C');
    g.clicca('X');
    const int estratti = g.f.casuale.estratti;
    w.mnuPc->trigger();
    QVERIFY(w.mnuPc->isChecked() && !w.mnuVideo->isChecked());
    QCOMPARE(g.f.casuale.estratti, estratti + 1);
    for (Pulsante *b : w.batticco)
        QVERIFY(b->isHidden());
    QCOMPARE(g.caselleMostrate(), 4);
    QCOMPARE(g.etichetteMostrate(), 0);
    QVERIFY(w.Text1[0]->isEnabled());
    for (int i = 1; i < 6; ++i)
        QVERIFY(!w.Text1[i]->isEnabled());
    QTRY_COMPARE(QApplication::focusWidget(), w.Text1[0]);
    QCOMPARE(w.stato.posizione, qint16(0));
    QCOMPARE(w.stato.errati, qint16(1));
    QVERIFY(g.facciaNo());

    // Choosing the keyboard already in use still starts a turn.
    w.mnuPc->trigger();
    QCOMPARE(g.f.casuale.estratti, estratti + 2);

    w.mnuVideo->trigger();
    QVERIFY(w.mnuVideo->isChecked() && !w.mnuPc->isChecked());
    for (Pulsante *b : w.batticco)
        QVERIFY(!b->isHidden());
    QCOMPARE(g.caselleMostrate(), 0);
    QCOMPARE(g.etichetteMostrate(), 4);
    w.mnuVideo->trigger();
    QCOMPARE(g.f.casuale.estratti, estratti + 4);
}

void TestTastiere::tastoInMaiuscoloEMinuscolo_data()
{
    QTest::addColumn<int>("codice");
    QTest::addColumn<int>("maiuscolo");
    QTest::addColumn<int>("minuscolo");
    QTest::newRow("a") << 97 << 65 << 97;
    QTest::newRow("z") << 122 << 90 << 122;
    QTest::newRow("A") << 65 << 65 << 97;
    QTest::newRow("Z") << 90 << 90 << 122;
    QTest::newRow("@ just before A") << 64 << 64 << 64;
    QTest::newRow("[ just after Z") << 91 << 91 << 91;
    QTest::newRow("` just before a") << 96 << 96 << 96;
    QTest::newRow("{ just after z") << 123 << 123 << 123;
    QTest::newRow("backspace") << 8 << 8 << 8;
    QTest::newRow("enter") << 13 << 13 << 13;
    QTest::newRow("digit") << 55 << 55 << 55;
    QTest::newRow("è") << 232 << 232 << 232;
    QTest::newRow("È") << 200 << 200 << 200;
}

void TestTastiere::tastoInMaiuscoloEMinuscolo()
{
    QFETCH(int, codice);
    QFETCH(int, maiuscolo);
    QFETCH(int, minuscolo);
    qint16 c = qint16(codice);
    QCOMPARE(int(tastoInMaiuscolo(c)), maiuscolo);
    QCOMPARE(int(c), maiuscolo);
    c = qint16(codice);
    QCOMPARE(int(tastoInMinuscolo(c)), minuscolo);
    QCOMPARE(int(c), minuscolo);
}

void TestTastiere::letteraConvertitaPrimaDellaCasella()
{
    Gioco g;
    lettere &w = g.caricaEMostra();
    w.mnuPc->trigger();
    QTest::keyPress(w.Text1[0], Qt::Key_A);
    QCOMPARE(w.Text1[0]->text(), QString("A"));
    QTest::keyRelease(w.Text1[0], Qt::Key_A);
    QCOMPARE(w.stato.errati, qint16(1));

    w.mnuminuscoli->trigger();
    QTest::keyPress(w.Text1[0], Qt::Key_C, Qt::ShiftModifier);
    QCOMPARE(w.Text1[0]->text(), QString("c"));
    QTest::keyRelease(w.Text1[0], Qt::Key_C, Qt::ShiftModifier);
    QCOMPARE(w.stato.posizione, qint16(1));
}

namespace
{

double luminanza(QColor c)
{
    auto lineare = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lineare(c.redF()) + 0.7152 * lineare(c.greenF()) + 0.0722 * lineare(c.blueF());
}

} // namespace

void TestTastiere::letteraGiustaSiLeggeNellaCasellaSpenta()
{
    // The right letter in a box that is done (disabled, as designed) is drawn dark enough to read:
    // the darkest ink against the box's own background, at least 4.5 to 1.
    Gioco g;
    lettere &w = g.caricaEMostra();
    w.mnuPc->trigger();
    QTest::keyClick(focalizzato(g), Qt::Key_C);
    QVERIFY(!w.Text1[0]->isEnabled());
    const QImage casella = w.Text1[0]->grab().toImage();
    const QColor sfondo = casella.pixelColor(4, 4);
    double scura = 1.0;
    for (int y = 2; y < casella.height() - 2; ++y) {
        for (int x = 2; x < casella.width() - 2; ++x)
            scura = std::min(scura, luminanza(casella.pixelColor(x, y)));
    }
    const double contrasto = (luminanza(sfondo) + 0.05) / (scura + 0.05);
    QVERIFY2(contrasto >= 4.5, qPrintable(QString::number(contrasto)));
}

void TestTastiere::letteraGiustaPassaAllaCasellaSuccessiva()
{
    Gioco g;
    lettere &w = g.caricaEMostra();
    w.mnuPc->trigger();
    QTest::keyClick(focalizzato(g), Qt::Key_C);
    QCOMPARE(w.stato.posizione, qint16(1));
    QVERIFY(!w.Text1[0]->isEnabled());
    QCOMPARE(w.Text1[0]->text(), QString("C"));
    QVERIFY(w.Text1[1]->isEnabled());
    QTRY_COMPARE(QApplication::focusWidget(), w.Text1[1]);
    QTest::keyClick(focalizzato(g), Qt::Key_A);
    QTest::keyClick(focalizzato(g), Qt::Key_N);
    QVERIFY(g.f.riproduttore.suonati.isEmpty());
    g.f.casuale.valori = {0.3};
    QTest::keyClick(focalizzato(g), Qt::Key_E);
    QCOMPARE(g.f.riproduttore.nomi(), QStringList {"si2.wav"});
    QVERIFY(w.Command1->isEnabled());
    // The last box keeps its letter, stays enabled and keeps the focus.
    QVERIFY(w.Text1[3]->isEnabled());
    QCOMPARE(QApplication::focusWidget(), w.Text1[3]);
    QCOMPARE(w.stato.errati, qint16(0));
    QVERIFY(g.facciaSi());
}

void TestTastiere::maiuscolaPremutaDaSola()
{
    Gioco g;
    lettere &w = g.caricaEMostra();
    w.mnuPc->trigger();
    QTest::keyClick(w.Text1[0], Qt::Key_Shift);
    QCOMPARE(w.stato.errati, qint16(1));
    QCOMPARE(w.EtichettaErrati->text(), QString(" 1"));
    QVERIFY(g.facciaNo());
    QCOMPARE(g.f.riproduttore.nomi(), QStringList {"no.wav"});
    QCOMPARE(w.stato.posizione, qint16(0));
}

void TestTastiere::letteraConMaiuscolaTenuta()
{
    Gioco g;
    lettere &w = g.caricaEMostra();
    w.mnuPc->trigger();
    QTest::keyPress(focalizzato(g), Qt::Key_Shift);
    QTest::keyClick(focalizzato(g), Qt::Key_C, Qt::ShiftModifier);
    QCOMPARE(w.stato.posizione, qint16(1));
    QTRY_COMPARE(QApplication::focusWidget(), w.Text1[1]);
    // Shift goes up in the next, empty box: judged there, a wrong letter.
    QTest::keyRelease(focalizzato(g), Qt::Key_Shift);
    QCOMPARE(w.stato.errati, qint16(1));
    QCOMPARE(w.stato.posizione, qint16(1));
}

void TestTastiere::letteraSbagliataRestaFinoAlCancella()
{
    Gioco g;
    lettere &w = g.caricaEMostra();
    w.mnuPc->trigger();
    QTest::keyClick(focalizzato(g), Qt::Key_X);
    QCOMPARE(w.Text1[0]->text(), QString("X"));
    QCOMPARE(w.stato.errati, qint16(1));
    QCOMPARE(QApplication::focusWidget(), w.Text1[0]);
    QTest::keyClick(focalizzato(g), Qt::Key_Right);
    QCOMPARE(w.stato.errati, qint16(2));
    QTest::keyClick(focalizzato(g), Qt::Key_Backspace);
    QCOMPARE(w.Text1[0]->text(), QString());
    QCOMPARE(w.stato.errati, qint16(3));
    QTest::keyClick(focalizzato(g), Qt::Key_C);
    QCOMPARE(w.stato.posizione, qint16(1));
    QCOMPARE(w.stato.errati, qint16(3));
    QCOMPARE(w.EtichettaErrati->text(), QString(" 3"));
}

void TestTastiere::invioEBlocMaiuscoleNonContano()
{
    Gioco g;
    lettere &w = g.caricaEMostra();
    w.mnuPc->trigger();
    QTest::keyClick(w.Text1[0], Qt::Key_Return);
    QTest::keyClick(w.Text1[0], Qt::Key_Enter);
    QTest::keyClick(w.Text1[0], Qt::Key_CapsLock);
    QCOMPARE(w.stato.errati, qint16(0));
    QVERIFY(g.f.riproduttore.suonati.isEmpty());
    QCOMPARE(w.stato.posizione, qint16(0));
}

void TestTastiere::tastoTenutoContaUnaVolta()
{
    // A held X: auto-repeat types more X's, but only the real release is judged, once.
    Gioco g;
    lettere &w = g.caricaEMostra();
    w.mnuPc->trigger();
    QTest::keyPress(w.Text1[0], Qt::Key_X);
    ripeti(w.Text1[0], Qt::Key_X, "x");
    ripeti(w.Text1[0], Qt::Key_X, "x");
    QCOMPARE(w.stato.errati, qint16(0));
    QTest::keyRelease(w.Text1[0], Qt::Key_X);
    QCOMPARE(w.stato.errati, qint16(1));
    QCOMPARE(w.Text1[0]->text(), QString("XXX"));
}

void TestTastiere::dopoIlCompletamento()
{
    Gioco g;
    lettere &w = g.caricaEMostra();
    w.mnuPc->trigger();
    for (Qt::Key k : {Qt::Key_C, Qt::Key_A, Qt::Key_N, Qt::Key_E})
        QTest::keyClick(focalizzato(g), k);
    QVERIFY(w.Command1->isEnabled());
    g.f.riproduttore.suonati.clear();
    // An arrow key leaves the letter where it is: judged against nothing, a wrong letter.
    QTest::keyClick(focalizzato(g), Qt::Key_Left);
    QCOMPARE(w.stato.errati, qint16(1));
    QCOMPARE(g.f.riproduttore.nomi(), QStringList {"no.wav"});
    QVERIFY(w.Command1->isEnabled());
    QVERIFY(g.facciaNo());
    // Backspace empties the last box, which then matches the empty text past the word: ignored,
    // since there is no next box to move to, and the box shows its letter again, as the complete
    // word it belongs to still counts it. Delete at the start of the box does the same.
    QTest::keyClick(w.Text1[3], Qt::Key_End);
    QTest::keyClick(w.Text1[3], Qt::Key_Backspace);
    QCOMPARE(w.Text1[3]->text(), QString("E"));
    QTest::keyClick(w.Text1[3], Qt::Key_Home);
    QTest::keyClick(w.Text1[3], Qt::Key_Delete);
    QCOMPARE(w.Text1[3]->text(), QString("E"));
    QCOMPARE(w.stato.posizione, qint16(4));
    QCOMPARE(w.stato.errati, qint16(3));
    QVERIFY(w.Text1[3]->isEnabled());
    QVERIFY(w.Text1[4]->isHidden() && !w.Text1[4]->isEnabled());
}

void TestTastiere::soloTastiNelleCaselle()
{
    // A pasted "c" would match the word's first letter without the letter-case mapping: neither the
    // paste keys nor the middle button nor a drop puts text in a box, and no edit menu opens.
    Gioco g;
    lettere &w = g.caricaEMostra();
    w.mnuPc->trigger();
    QApplication::clipboard()->setText("c");
    CasellaTesto *t = w.Text1[0];
    QTest::keyClick(t, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(t, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::mouseClick(t, Qt::MiddleButton);
    QCOMPARE(t->text(), QString());
    QCOMPARE(t->contextMenuPolicy(), Qt::NoContextMenu);
    QVERIFY(!t->acceptDrops());
    // The keys themselves are still judged on release, as every key is: V, Ctrl, Insert, Shift.
    QCOMPARE(w.stato.errati, qint16(4));
    QTest::keyClick(t, Qt::Key_C);
    QCOMPARE(w.stato.posizione, qint16(1));
}

void TestTastiere::tastiTenutiConRilasciDubbi()
{
    // An X server without detectable auto-repeat: a held Z sends release and press pairs that Qt
    // does not mark. Released once, at the end, it counts one wrong letter; typed quickly, C then A
    // are each judged in their own box.
    Gioco g;
    lettere &w = g.caricaEMostra();
    w.mnuPc->trigger();
    TastiTenuti filtro(TastiTenuti::Rilasci::dubbi);
    qApp->installEventFilter(&filtro);
    QWindow *finestra = w.windowHandle();
    QTest::keyPress(finestra, Qt::Key_Z);
    for (int i = 0; i < 5; ++i) {
        QTest::keyRelease(finestra, Qt::Key_Z);
        QTest::keyPress(finestra, Qt::Key_Z);
    }
    QTest::keyRelease(finestra, Qt::Key_Z);
    QCOMPARE(w.stato.errati, qint16(0));
    QTRY_COMPARE(w.stato.errati, qint16(1));
    QCOMPARE(w.Text1[0]->text(), QString("ZZZZZZ"));
    w.Text1[0]->clear();
    QTest::keyPress(finestra, Qt::Key_C, Qt::NoModifier);
    QTest::keyRelease(finestra, Qt::Key_C);
    QTest::keyPress(finestra, Qt::Key_A);
    QTest::keyRelease(finestra, Qt::Key_A);
    QTRY_COMPARE(w.stato.posizione, qint16(2));
    QCOMPARE(w.Text1[0]->text(), QString("C"));
    QCOMPARE(w.Text1[1]->text(), QString("A"));
    QCOMPARE(w.stato.errati, qint16(1));
}

void TestTastiere::rilasciDubbiSecondoIlTempo_data()
{
    // Key events at the server's times, in ms: a letter, '+' for its press and '-' for its release.
    QTest::addColumn<QStringList>("eventi");
    QTest::addColumn<QStringList>("caselle");
    QTest::addColumn<int>("errati");
    const QStringList ga {"g+0", "g-50", "a+100", "a-150"};
    QTest::newRow("t, 20 ms, t typed fast: two strokes, two boxes")
        << ga + QStringList {"t+200", "t-250", "t+270", "t-320", "o+400", "o-450"}
        << QStringList {"G", "A", "T", "T", "O"} << 0;
    QTest::newRow("t held: auto-repeat's release and press at one instant, one stroke")
        << ga + QStringList {"t+200", "t-860", "t+860", "t-900", "t+900", "t-1000"}
        << QStringList {"G", "A", "TTT", "", ""} << 1;
}

void TestTastiere::rilasciDubbiSecondoIlTempo()
{
    QFETCH(QStringList, eventi);
    QFETCH(QStringList, caselle);
    QFETCH(int, errati);
    Gioco g;
    lettere &w = g.caricaEMostra();
    w.mnu5->trigger();
    w.mnuPc->trigger();
    TastiTenuti filtro(TastiTenuti::Rilasci::dubbi);
    qApp->installEventFilter(&filtro);
    const quint64 inizio = 1000000;
    for (const QString &e : eventi) {
        const QString lettera = e.left(1);
        const auto tipo = e[1] == '+' ? QEvent::KeyPress : QEvent::KeyRelease;
        QKeyEvent evento(tipo, Qt::Key_A + (lettera[0].unicode() - 'a'), Qt::NoModifier, lettera);
        evento.setTimestamp(inizio + e.mid(2).toULongLong());
        QCoreApplication::sendEvent(w.windowHandle(), &evento);
    }
    QTRY_COMPARE(w.stato.errati, qint16(errati));
    QTest::qWait(2 * TastiTenuti::attesaRilascio);
    QCOMPARE(w.stato.errati, qint16(errati));
    for (int i = 0; i < caselle.size(); ++i)
        QCOMPARE(w.Text1[i]->text(), caselle[i]);
}

void TestTastiere::invioTenutoPremeUnaVolta()
{
    // Detectable auto-repeat: repeated presses, unmarked, then one release. Enter held on a drawn
    // key presses it once; Space held presses it once, on release.
    Gioco g;
    lettere &w = g.caricaEMostra();
    TastiTenuti filtro(TastiTenuti::Rilasci::veri);
    qApp->installEventFilter(&filtro);
    QWindow *finestra = w.windowHandle();
    w.batticco[0]->setFocus();
    for (Qt::Key k : {Qt::Key_Return, Qt::Key_Space}) {
        for (int i = 0; i < 6; ++i)
            QTest::keyPress(finestra, k);
        QTest::keyRelease(finestra, k);
    }
    QCOMPARE(w.stato.errati, qint16(2));
}

void TestTastiere::accentateNonConvertite()
{
    Gioco g;
    g.f.scrivi("lista4.txt", "però\n");
    g.f.immagine("però.jpg");
    lettere &w = g.caricaEMostra();
    w.mnuPc->trigger();
    for (Qt::Key k : {Qt::Key_P, Qt::Key_E, Qt::Key_R})
        QTest::keyClick(focalizzato(g), k);
    QCOMPARE(w.stato.posizione, qint16(3));
    // A small ò is not converted, so it does not match the Ò the word holds in capitals.
    QTest::sendKeyEvent(QTest::Click, focalizzato(g), Qt::Key_Ograve, QString("ò"), Qt::NoModifier);
    QCOMPARE(w.Text1[3]->text(), QString("ò"));
    QCOMPARE(w.stato.errati, qint16(1));
    QTest::keyClick(focalizzato(g), Qt::Key_Backspace);
    QTest::sendKeyEvent(QTest::Click, focalizzato(g), Qt::Key_Ograve, QString("Ò"), Qt::ShiftModifier);
    QTest::keyClick(focalizzato(g), Qt::Key_Right);
    QCOMPARE(w.Text1[3]->text(), QString("Ò"));
}

void TestTastiere::partitaIntera()
{
    // Three words with each keyboard, help once, a reset, a list switch and a case switch: the
    // counters and faces at each step are what a person reads off the window.
    Gioco g;
    g.f.lista(4, {"cane", "lupo", "orso"});
    g.f.lista(3, {"ape", "oca"});
    g.f.casuale.valori = {0, 0, 0};
    lettere &w = g.caricaEMostra();
    const QStringList parole = {"CANE", "LUPO", "ORSO"};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(w.stato.parole[w.stato.indiceParola], parole[i]);
        if (i == 1)
            g.clicca('Z');
        for (QChar c : parole[i])
            g.clicca(c);
        g.f.casuale.valori = {double(i + 1) / 3.0 + 0.01};
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QCOMPARE(w.EtichettaEsatti->text(), " " + QString::number(i + 1));
        QVERIFY(g.facciaSi());
    }
    QCOMPARE(w.EtichettaErrati->text(), QString(" 1"));

    g.f.casuale.valori = {0};
    w.mnuPc->trigger();
    for (int i = 0; i < 3; ++i) {
        const QString parola = w.stato.parole[w.stato.indiceParola];
        if (i == 0) {
            QTest::mouseClick(w.SSCommand1, Qt::LeftButton);
            QCOMPARE(g.f.messaggi.mostrati.back().testo, parola);
            QCOMPARE(w.EtichettaEsatti->text(), QString(" 3"));
            w.Text1[0]->setFocus();
        }
        for (QChar c : parola)
            QTest::keyClick(focalizzato(g), Qt::Key(Qt::Key_A + (c.unicode() - 'A')));
        QVERIFY(w.Command1->isEnabled());
        g.f.casuale.valori = {double(i + 1) / 3.0 + 0.01};
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        w.Text1[0]->setFocus();
    }
    // Help took one off: 3 - 1 + 3.
    QCOMPARE(w.EtichettaEsatti->text(), QString(" 5"));
    QCOMPARE(w.EtichettaErrati->text(), QString(" 1"));

    w.mnuAzzera->trigger();
    QCOMPARE(w.EtichettaEsatti->text(), QString(" 0"));
    QCOMPARE(w.EtichettaErrati->text(), QString(" 0"));
    w.mnu3->trigger();
    w.mnuminuscoli->trigger();
    QCOMPARE(g.caselleMostrate(), 3);
    const QString parola = w.stato.parole[w.stato.indiceParola];
    QVERIFY(parola == "ape" || parola == "oca");
    QTest::keyClick(focalizzato(g), Qt::Key_Shift);
    QCOMPARE(w.EtichettaErrati->text(), QString(" 1"));
    QVERIFY(g.facciaNo());
    QCOMPARE(g.f.uscita.stato, -1);
}

QTEST_MAIN(TestTastiere)
#include "tst_tastiere.moc"
