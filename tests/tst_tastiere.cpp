// SPDX-License-Identifier: GPL-3.0-or-later
// Spelling with the on-screen keyboard and with the PC keyboard, driven through the real widgets.
// Most cases are key scripts: a row plays keys, clicks and menu commands on the game window and
// reads off, between them, what a person would see (labels, boxes, counters, faces, sounds).
#include "app/Modulo1.h"
#include "gioco.h"
#include "ui/tastiTenuti.h"

#include <QClipboard>
#include <QHash>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <memory>

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

double luminanza(QColor c)
{
    auto lineare = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lineare(c.redF()) + 0.7152 * lineare(c.greenF()) + 0.0722 * lineare(c.blueF());
}

// The darkest ink in a widget against its own background (a few pixels in from the corner).
double contrasto(QWidget *w)
{
    const QImage casella = w->grab().toImage();
    const QColor sfondo = casella.pixelColor(4, 4);
    double scura = 1.0;
    for (int y = 2; y < casella.height() - 2; ++y) {
        for (int x = 2; x < casella.width() - 2; ++x)
            scura = std::min(scura, luminanza(casella.pixelColor(x, y)));
    }
    return (luminanza(sfondo) + 0.05) / (scura + 0.05);
}

// A key as a script names it: "C", "Shift+C", "Ctrl+V", "Backspace", "ò" (its capital is its code).
struct Tasto {
    Qt::Key codice = Qt::Key_unknown;
    Qt::KeyboardModifiers modificatori;
    QString testo; // for a letter outside A-Z, the text it types
};

Tasto tastoDi(QString nome)
{
    Tasto t;
    for (auto [prefisso, modificatore] :
        {std::pair {"Shift+", Qt::ShiftModifier}, {"Ctrl+", Qt::ControlModifier}}) {
        if (nome.size() > qsizetype(qstrlen(prefisso)) && nome.startsWith(QLatin1String(prefisso))) {
            t.modificatori |= modificatore;
            nome = nome.mid(qsizetype(qstrlen(prefisso)));
        }
    }
    static const QHash<QString, Qt::Key> nomi = {{"Shift", Qt::Key_Shift}, {"Right", Qt::Key_Right},
        {"Left", Qt::Key_Left}, {"Backspace", Qt::Key_Backspace}, {"Delete", Qt::Key_Delete},
        {"Home", Qt::Key_Home}, {"End", Qt::Key_End}, {"Return", Qt::Key_Return}, {"Enter", Qt::Key_Enter},
        {"CapsLock", Qt::Key_CapsLock}, {"Insert", Qt::Key_Insert}, {"Space", Qt::Key_Space}};
    if (nomi.contains(nome)) {
        t.codice = nomi.value(nome);
    } else if (nome.size() == 1 && nome[0] >= u'A' && nome[0] <= u'Z') {
        t.codice = Qt::Key(Qt::Key_A + (nome[0].unicode() - 'A'));
    } else if (nome.size() == 1) {
        t.codice = Qt::Key(nome[0].toUpper().unicode());
        t.testo = nome;
        if (nome[0].isUpper())
            t.modificatori |= Qt::ShiftModifier;
    } else {
        qFatal("unknown key in a script: %s", qPrintable(nome));
    }
    return t;
}

// One row's game and what it keeps between steps.
struct Copione {
    Gioco g;
    int segnati = 0; // random values drawn when "segna" ran
    std::unique_ptr<TastiTenuti> filtro;

    lettere &w() const { return *g.w; }

    QWidget *bersaglio(int casella) const { return casella < 0 ? focalizzato(g) : w().Text1[casella]; }

    // One action: verbo[@box][:argomento]. Keys go to the box with the focus, or to the box named.
    void esegui(const QString &verbo, int casella, const QString &argomento)
    {
        QWidget *b = bersaglio(casella);
        if (verbo == u"clic") {
            for (QChar c : argomento)
                g.clicca(c);
        } else if (verbo == u"scrivi") {
            for (QChar c : argomento)
                QTest::keyClick(focalizzato(g), tastoDi(c).codice);
        } else if (verbo == u"tasto" || verbo == u"premi" || verbo == u"rilascia") {
            const Tasto t = tastoDi(argomento);
            const QTest::KeyAction a = verbo == u"tasto" ? QTest::Click
                : verbo == u"premi"                      ? QTest::Press
                                                         : QTest::Release;
            if (t.testo.isEmpty())
                QTest::sendKeyEvent(a, b, t.codice, QTest::keyToAscii(t.codice), t.modificatori);
            else
                QTest::sendKeyEvent(a, b, t.codice, t.testo, t.modificatori);
        } else if (verbo == u"ripeti") {
            ripeti(b, tastoDi(argomento).codice, argomento.toLower());
        } else if (verbo == u"finestra-premi") {
            QTest::keyPress(w().windowHandle(), tastoDi(argomento).codice);
        } else if (verbo == u"finestra-rilascia") {
            QTest::keyRelease(w().windowHandle(), tastoDi(argomento).codice);
        } else if (verbo == u"menu") {
            const QHash<QString, QAction *> voci
                = {{"pc", w().mnuPc}, {"video", w().mnuVideo}, {"minuscoli", w().mnuminuscoli}};
            voci.value(argomento)->trigger();
        } else if (verbo == u"caso") {
            g.f.casuale.valori = {argomento.toDouble()};
        } else if (verbo == u"zitto") {
            g.f.riproduttore.suonati.clear();
        } else if (verbo == u"segna") {
            segnati = g.f.casuale.estratti;
        } else if (verbo == u"appunti") {
            QApplication::clipboard()->setText(argomento);
        } else if (verbo == u"mezzo") {
            QTest::mouseClick(b, Qt::MiddleButton);
        } else if (verbo == u"svuota") {
            w().Text1[casella]->clear();
        } else if (verbo == u"fuoco-tasto") {
            w().batticco[argomento.toInt()]->setFocus();
        } else if (verbo == u"filtro") {
            filtro = std::make_unique<TastiTenuti>(
                argomento == u"dubbi" ? TastiTenuti::Rilasci::dubbi : TastiTenuti::Rilasci::veri);
            qApp->installEventFilter(filtro.get());
        } else {
            qFatal("unknown step in a script: %s", qPrintable(verbo));
        }
    }

    // What a check reads: nome[N] names a thing of box N (a letter box, or a label for "etichetta").
    QString letto(const QString &nome) const
    {
        static const QRegularExpression numerato(QStringLiteral("^(.*?)(\\d)$"));
        const auto m = numerato.match(nome);
        const QString cosa = m.hasMatch() ? m.captured(1) : nome;
        const int n = m.hasMatch() ? m.captured(2).toInt() : -1;
        auto siNo = [](bool v) { return v ? QStringLiteral("si") : QStringLiteral("no"); };
        const lettere &l = w();
        if (cosa == u"etichette")
            return g.etichette().join(u',');
        if (cosa == u"posizione")
            return QString::number(l.stato.posizione);
        if (cosa == u"errati")
            return QString::number(l.stato.errati);
        if (cosa == u"conta-errati")
            return l.EtichettaErrati->text();
        if (cosa == u"suoni")
            return g.f.riproduttore.nomi().join(u',');
        if (cosa == u"suoni#")
            return QString::number(g.f.riproduttore.suonati.size());
        if (cosa == u"suona-si1.wav")
            return siNo(g.f.riproduttore.nomi().contains(QStringLiteral("si1.wav")));
        if (cosa == u"faccia")
            return g.facciaSi() ? QStringLiteral("si")
                : g.facciaNo()  ? QStringLiteral("no")
                                : QStringLiteral("?");
        if (cosa == u"avanti")
            return siNo(l.Command1->isEnabled());
        if (cosa == u"estratti")
            return QStringLiteral("+%1").arg(g.f.casuale.estratti - segnati);
        if (cosa == u"tastiera")
            return l.mnuPc->isChecked() && !l.mnuVideo->isChecked() ? QStringLiteral("pc")
                : l.mnuVideo->isChecked() && !l.mnuPc->isChecked()  ? QStringLiteral("video")
                                                                    : QStringLiteral("?");
        if (cosa == u"tasti-nascosti") {
            int nascosti = 0;
            for (Pulsante *b : l.batticco)
                nascosti += b->isHidden() ? 1 : 0;
            return nascosti == int(l.batticco.size()) ? QStringLiteral("si")
                : nascosti == 0                       ? QStringLiteral("no")
                                                      : QStringLiteral("alcuni");
        }
        if (cosa == u"caselle#")
            return QString::number(g.caselleMostrate());
        if (cosa == u"etichette#")
            return QString::number(g.etichetteMostrate());
        if (cosa == u"fuoco") {
            for (int i = 0; i < int(l.Text1.size()); ++i) {
                if (QApplication::focusWidget() == l.Text1[i])
                    return QString::number(i);
            }
            return QStringLiteral("altro");
        }
        if (cosa == u"casella")
            return l.Text1[n]->text();
        if (cosa == u"accesa")
            return siNo(l.Text1[n]->isEnabled());
        if (cosa == u"nascosta")
            return siNo(l.Text1[n]->isHidden());
        if (cosa == u"nascosta-etichetta")
            return siNo(l.Label1[n]->isHidden());
        if (cosa == u"incollabile")
            return siNo(l.Text1[n]->contextMenuPolicy() != Qt::NoContextMenu || l.Text1[n]->acceptDrops());
        // Text readable in the box: at least 4.5 to 1 between its darkest ink and its background.
        if (cosa == u"leggibile") {
            const double c = contrasto(l.Text1[n]);
            return c >= 4.5 ? QStringLiteral("si") : QString::number(c);
        }
        qFatal("unknown check in a script: %s", qPrintable(nome));
    }
};

} // namespace

class TestTastiere : public QObject
{
    Q_OBJECT
private slots:
    void copione_data();
    void copione();
    void tastoInMaiuscoloEMinuscolo_data();
    void tastoInMaiuscoloEMinuscolo();
    // Release and press pairs judged by their times, with auto-repeat not detectable.
    void rilasciDubbiSecondoIlTempo_data();
    void rilasciDubbiSecondoIlTempo();
    // The two keyboards together, through a whole game.
    void partitaIntera();
};

// A script is steps apart by spaces. An action is verbo[@box][:argomento][*times]; a check is
// nome=valore, read at once, or nome~valore, waited for (the focus moves after the event). A value
// ending in "*" is the start of what is read.
void TestTastiere::copione_data()
{
    QTest::addColumn<QString>("liste"); // "4:re" replaces the 4-letter list; empty for one word a list
    QTest::addColumn<bool>("mostrata"); // the window shown and active, for scripts that follow the focus
    QTest::addColumn<QString>("copione");

    // On-screen keyboard.
    QTest::newRow("tastiRiempionoLeEtichette")
        << "" << false
        << "clic:C etichette=C,,,,, clic:AN etichette=C,A,N,,, posizione=3 suoni= avanti=no faccia=si";
    // A right letter does not bring the yes face back.
    QTest::newRow("tastoSbagliato") << "" << false
                                    << "clic:C segna clic:Q etichette=C,,,,, posizione=1 errati=1 "
                                       "conta-errati=' 1' faccia=no suoni=no.wav "
                                       "estratti=+0 clic:A faccia=no clic:Q conta-errati=' 2'";
    QTest::newRow("completamentoESuoni")
        << "" << false << "clic:CAN caso:0.8 clic:E etichette=C,A,N,E,, suoni=si4.wav avanti=si faccia=si";
    // Past the end every key is wrong: the no sound, then a yes sound in its place, and one error.
    QTest::newRow("clicDopoIlCompletamento")
        << "" << false
        << "clic:CANE zitto caso:0 clic:E suoni=no.wav,si1.wav errati=1 faccia=no avanti=si posizione=4";
    QTest::newRow("parolaPiuCortaNonSiCompleta")
        << "4:re" << false
        << "clic:RE clic:ABCDEFGHIJKLMNOPQRSTUVWXYZ avanti=no posizione=2 errati=26 suona-si1.wav=no";
    // "gatto" in the 4-letter list: after four letters the word counts as complete, and the fifth
    // letter has no label to go to. It is ignored; the closing completion check still runs.
    QTest::newRow("parolaPiuLungaOltreLaFine")
        << "4:gatto" << false
        << "clic:GATT avanti=si zitto clic:O posizione=4 errati=0 etichette=G,A,T,T,, nascosta-etichetta4=si "
           "suoni#=1 suoni=si*";
    QTest::newRow("tastiEParoleNelloStessoCaso")
        << "" << false << "menu:minuscoli clic:cane etichette=c,a,n,e,, avanti=si errati=0";
    // Choosing the keyboard already in use still starts a turn.
    QTest::newRow("cambioTastiera")
        << "" << true
        << "clic:C clic:X segna menu:pc tastiera=pc estratti=+1 tasti-nascosti=si caselle#=4 etichette#=0 "
           "accesa0=si accesa1=no accesa2=no accesa3=no accesa4=no accesa5=no fuoco~0 posizione=0 errati=1 "
           "faccia=no menu:pc estratti=+2 menu:video tastiera=video tasti-nascosti=no caselle#=0 "
           "etichette#=4 "
           "menu:video estratti=+4";

    // PC keyboard.
    QTest::newRow("letteraConvertitaPrimaDellaCasella")
        << "" << true
        << "menu:pc premi@0:A casella0=A rilascia@0:A errati=1 menu:minuscoli premi@0:Shift+C casella0=c "
           "rilascia@0:Shift+C posizione=1";
    // The right letter in a box that is done (disabled, as designed) is drawn dark enough to read.
    QTest::newRow("letteraGiustaSiLeggeNellaCasellaSpenta")
        << "" << true << "menu:pc tasto:C accesa0=no leggibile0=si";
    // The last box keeps its letter, stays enabled and keeps the focus.
    QTest::newRow("letteraGiustaPassaAllaCasellaSuccessiva")
        << "" << true
        << "menu:pc tasto:C posizione=1 accesa0=no casella0=C accesa1=si fuoco~1 scrivi:AN suoni= caso:0.3 "
           "tasto:E suoni=si2.wav avanti=si accesa3=si fuoco=3 errati=0 faccia=si";
    QTest::newRow("maiuscolaPremutaDaSola")
        << "" << true
        << "menu:pc tasto@0:Shift errati=1 conta-errati=' 1' faccia=no suoni=no.wav posizione=0";
    // Shift goes up in the next, empty box: judged there, a wrong letter.
    QTest::newRow("letteraConMaiuscolaTenuta")
        << "" << true
        << "menu:pc premi:Shift tasto:Shift+C posizione=1 fuoco~1 rilascia:Shift errati=1 posizione=1";
    QTest::newRow("letteraSbagliataRestaFinoAlCancella")
        << "" << true
        << "menu:pc tasto:X casella0=X errati=1 fuoco=0 tasto:Right errati=2 tasto:Backspace casella0= "
           "errati=3 "
           "tasto:C posizione=1 errati=3 conta-errati=' 3'";
    QTest::newRow("invioEBlocMaiuscoleNonContano")
        << "" << true << "menu:pc tasto@0:Return tasto@0:Enter tasto@0:CapsLock errati=0 suoni= posizione=0";
    // A held X: auto-repeat types more X's, but only the real release is judged, once.
    QTest::newRow("tastoTenutoContaUnaVolta")
        << "" << true << "menu:pc premi@0:X ripeti@0:X*2 errati=0 rilascia@0:X errati=1 casella0=XXX";
    // An arrow key after the word leaves the letter where it is: judged against nothing, a wrong
    // letter. Backspace empties the last box, which then matches the empty text past the word:
    // ignored, since there is no next box to move to, and the box shows its letter again, as the
    // complete word it belongs to still counts it. Delete at the start of the box does the same.
    QTest::newRow("dopoIlCompletamento")
        << "" << true
        << "menu:pc scrivi:CANE avanti=si zitto tasto:Left errati=1 suoni=no.wav avanti=si faccia=no "
           "tasto@3:End tasto@3:Backspace casella3=E tasto@3:Home tasto@3:Delete casella3=E posizione=4 "
           "errati=3 accesa3=si nascosta4=si accesa4=no";
    // A pasted "c" would match the word's first letter without the letter-case mapping: neither the
    // paste keys nor the middle button nor a drop puts text in a box, and no edit menu opens. The
    // keys themselves are still judged on release, as every key is: V, Ctrl, Insert, Shift.
    QTest::newRow("soloTastiNelleCaselle")
        << "" << true
        << "menu:pc appunti:c tasto@0:Ctrl+V tasto@0:Shift+Insert mezzo@0 casella0= incollabile0=no errati=4 "
           "tasto@0:C posizione=1";
    // An X server without detectable auto-repeat: a held Z sends release and press pairs that Qt
    // does not mark. Released once, at the end, it counts one wrong letter; typed quickly, C then A
    // are each judged in their own box.
    QTest::newRow("tastiTenutiConRilasciDubbi")
        << "" << true
        << "menu:pc filtro:dubbi finestra-premi:Z finestra-rilascia:Z finestra-premi:Z finestra-rilascia:Z "
           "finestra-premi:Z finestra-rilascia:Z finestra-premi:Z finestra-rilascia:Z finestra-premi:Z "
           "finestra-rilascia:Z finestra-premi:Z finestra-rilascia:Z errati=0 errati~1 casella0=ZZZZZZ "
           "svuota@0 "
           "finestra-premi:C finestra-rilascia:C finestra-premi:A finestra-rilascia:A posizione~2 casella0=C "
           "casella1=A errati=1";
    // Detectable auto-repeat: repeated presses, unmarked, then one release. Enter held on a drawn
    // key presses it once; Space held presses it once, on release.
    QTest::newRow("invioTenutoPremeUnaVolta") << "" << true
                                              << "filtro:veri fuoco-tasto:0 finestra-premi:Return*6 "
                                                 "finestra-rilascia:Return finestra-premi:Space*6 "
                                                 "finestra-rilascia:Space errati=2";
    // A small ò is not converted, so it does not match the Ò the word holds in capitals.
    QTest::newRow("accentateNonConvertite")
        << "4:però" << true
        << "menu:pc scrivi:PER posizione=3 tasto:ò casella3=ò errati=1 tasto:Backspace tasto:Ò tasto:Right "
           "casella3=Ò";
}

void TestTastiere::copione()
{
    QFETCH(QString, liste);
    QFETCH(bool, mostrata);
    QFETCH(QString, copione);
    Copione c;
    for (const QString &l : liste.split(u' ', Qt::SkipEmptyParts))
        c.g.f.lista(l.section(u':', 0, 0).toInt(), l.section(u':', 1).split(u','));
    if (mostrata)
        c.g.caricaEMostra();
    else
        c.g.carica();
    // Steps apart by spaces; a value in quotes keeps its spaces (" 1", as the counters show it).
    static const QRegularExpression passo(QStringLiteral(R"(([^\s=~']+)([=~])'([^']*)'|(\S+))"));
    for (auto it = passo.globalMatch(copione); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength(4) > 0 && !m.captured(4).contains(u'=') && !m.captured(4).contains(u'~')) {
            static const QRegularExpression azione(
                QStringLiteral(R"(^([a-z-]+)(?:@(\d))?(?::(.*?))?(?:\*(\d+))?$)"));
            const auto a = azione.match(m.captured(4));
            QVERIFY2(a.hasMatch(), qPrintable(m.captured(4)));
            const int volte = a.capturedLength(4) > 0 ? a.captured(4).toInt() : 1;
            for (int i = 0; i < volte; ++i)
                c.esegui(a.captured(1), a.capturedLength(2) > 0 ? a.captured(2).toInt() : -1, a.captured(3));
            continue;
        }
        QString nome, segno, valore;
        if (m.capturedLength(1) > 0) {
            nome = m.captured(1);
            segno = m.captured(2);
            valore = m.captured(3);
        } else {
            static const QRegularExpression controllo(QStringLiteral("^([^=~]+)([=~])(.*)$"));
            const auto k = controllo.match(m.captured(4));
            nome = k.captured(1);
            segno = k.captured(2);
            valore = k.captured(3);
        }
        auto giusto = [&] {
            const QString l = c.letto(nome);
            return valore.endsWith(u'*') ? l.startsWith(valore.chopped(1)) : l == valore;
        };
        const QString dove
            = QStringLiteral("%1%2%3 after \"%4\"")
                  .arg(nome, segno, valore, copione.left(m.capturedStart()).trimmed().section(u' ', -1));
        if (segno == u"~")
            QTRY_VERIFY2(giusto(), qPrintable(dove + QStringLiteral(": ") + c.letto(nome)));
        else
            QVERIFY2(giusto(), qPrintable(dove + QStringLiteral(": ") + c.letto(nome)));
    }
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
