// SPDX-License-Identifier: GPL-3.0-or-later
// The windows as designed: every rectangle, font, caption, menu entry and colour, one table each.
// Over 500 lines because the design tables are the expected values, written out.
#include "app/FormAvvio.h"
#include "finte.h"
#include "game/lettere.h"
#include "game/lettereDesign.h"
#include "ui/caselle.h"
#include "ui/colori.h"
#include "ui/lavagna.h"
#include "ui/menu.h"
#include "ui/pulsanti.h"
#include "ui/twips.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <utility>

// The two windows as drawn, checked in pixels (15 twips to the pixel), and the platform behaviour
// the drawing relies on.
class TestDisegno : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void formAvvio();
    void formAvvioTieneIlFuoco();

    void rettangoli_data();
    void rettangoli();
    void caratteri_data();
    void caratteri();
    void areaEFacce();
    void caselle();
    void tasti_data();
    void tasti();
    void ordineTab();

    void vociMenu_data();
    void vociMenu();
    void barraMenu();
    void sceltaNonCambiaSpunta();

    void piattaforma_data();
    void piattaforma();
    void pulsantiDaTastiera_data();
    void pulsantiDaTastiera();
    void invioTenutoPremeUnaVolta_data();
    void invioTenutoPremeUnaVolta();
    void pulsantiComeQt_data();
    void pulsantiComeQt();
    void coloriBgr_data();
    void coloriBgr();
    void coloriDiSistema_data();
    void coloriDiSistema();
    void tavolozzaClassicaComeQt();
    void schemaScuro();
    void barraConCarattereGrande_data();
    void barraConCarattereGrande();

private:
    std::unique_ptr<PiattaformaFinta> f;
    std::unique_ptr<lettere> gioco;
    QWidget *cerca(const QString &nome) const;
    static QPalette scura();
};

void TestDisegno::init()
{
    f = std::make_unique<PiattaformaFinta>();
    gioco = std::make_unique<lettere>(f->piattaforma);
}

void TestDisegno::cleanup()
{
    gioco.reset(); // before the platform it refers to
    f.reset();
}

QWidget *TestDisegno::cerca(const QString &nome) const
{
    return gioco->findChild<QWidget *>(nome);
}

void TestDisegno::formAvvio()
{
    FormAvvio avvio(f->piattaforma);
    QCOMPARE(avvio.size(), QSize(588, 453));
    QCOMPARE(avvio.windowTitle(), QStringLiteral(" "));

    QCOMPARE(avvio.Label1->geometry(), QRect(56, 88, 481, 97));
    QCOMPARE(avvio.Label1->text(), QStringLiteral("BATTICCO"));
    QCOMPARE(avvio.Label1->font().pixelSize(), 93);
    QVERIFY(avvio.Label1->font().bold());
    QCOMPARE(avvio.Label1->font().family(), QStringLiteral("Arial"));
    QCOMPARE(QFontInfo(avvio.Label1->font()).family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(QFontInfo(avvio.Label1->font()).pixelSize(), 93);

    QCOMPARE(avvio.Command1->geometry(), QRect(168, 280, 241, 73));
    QCOMPARE(avvio.Command1->text(), QStringLiteral("Avvio"));
    QCOMPARE(avvio.Command1->font().pixelSize(), 21);
    QVERIFY(avvio.Command1->font().bold());
    QCOMPARE(QFontInfo(avvio.Command1->font()).family(), QStringLiteral("Liberation Sans"));
    QVERIFY(!avvio.Command1->icon().isNull());
    // Building the window draws nothing: the colour is drawn when it loads.
    QCOMPARE(f->casuale.estratti, 0);
}

void TestDisegno::formAvvioTieneIlFuoco()
{
    FormAvvio avvio(f->piattaforma);
    avvio.show();
    QVERIFY(QTest::qWaitForWindowActive(&avvio));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(avvio.Command1));
}

void TestDisegno::rettangoli_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QRect>("atteso");
    QTest::newRow("Image1") << "Image1" << QRect(184, 8, 233, 233);
    QTest::newRow("ComandoIconaSi") << "ComandoIconaSi" << QRect(488, 24, 65, 57);
    QTest::newRow("ComandoIconaNo") << "ComandoIconaNo" << QRect(488, 24, 65, 57);
    QTest::newRow("Label3 Esatti") << "Label3" << QRect(462, 92, 49, 25);
    QTest::newRow("Label2 Errati") << "Label2" << QRect(462, 118, 49, 33);
    QTest::newRow("EtichettaEsatti") << "EtichettaEsatti" << QRect(518, 84, 65, 41);
    QTest::newRow("EtichettaErrati") << "EtichettaErrati" << QRect(520, 110, 57, 41);
    QTest::newRow("Command1 avanti") << "Command1" << QRect(456, 168, 129, 65);
    QTest::newRow("SSCommand1 Aiutami") << "SSCommand1" << QRect(24, 152, 128, 79);
    for (int i = 0; i < 6; ++i) {
        const QRect casella(152 + 48 * i, 256, 49, 49);
        QTest::addRow("Text1[%d]", i) << QStringLiteral("Text1_%1").arg(i) << casella;
        QTest::addRow("Label1[%d]", i) << QStringLiteral("Label1_%1").arg(i) << casella;
    }
}

void TestDisegno::rettangoli()
{
    QFETCH(QString, nome);
    QFETCH(QRect, atteso);
    QWidget *w = cerca(nome);
    QVERIFY2(w, qPrintable(nome));
    QCOMPARE(w->parentWidget(), gioco->area);
    QCOMPARE(w->geometry(), atteso);
}

void TestDisegno::caratteri_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("testo");
    QTest::addColumn<int>("pixel");
    QTest::addColumn<bool>("grassetto");
    QTest::addColumn<QString>("faccia");
    const QString sans = QStringLiteral("Liberation Sans");
    QTest::newRow("Label3 Esatti, 12 pt bold") << "Label3"
                                               << "Esatti" << 16 << true << sans;
    QTest::newRow("Label2 Errati, 12 pt bold") << "Label2"
                                               << "Errati" << 16 << true << sans;
    QTest::newRow("EtichettaEsatti, 18 pt bold") << "EtichettaEsatti"
                                                 << "quantiesatti" << 24 << true << sans;
    QTest::newRow("EtichettaErrati, 18 pt bold") << "EtichettaErrati"
                                                 << "quantierrati" << 24 << true << sans;
    QTest::newRow("Command1 avanti, bold") << "Command1"
                                           << "avanti" << 19 << true << sans;
    QTest::newRow("SSCommand1 Aiutami, not bold") << "SSCommand1"
                                                  << "Aiutami" << 19 << false << sans;
    QTest::newRow("Text1[0]") << "Text1_0"
                              << "Text1" << 32 << true << sans;
    QTest::newRow("Label1[5]") << "Label1_5"
                               << "Label1" << 32 << true << sans;
    QTest::newRow("key 0, Times New Roman") << "batticco_0"
                                            << "q" << 26 << true << QStringLiteral("Liberation Serif");
}

void TestDisegno::caratteri()
{
    QFETCH(QString, nome);
    QFETCH(QString, testo);
    QFETCH(int, pixel);
    QFETCH(bool, grassetto);
    QFETCH(QString, faccia);
    QWidget *w = cerca(nome);
    QVERIFY2(w, qPrintable(nome));
    QString scritto;
    if (auto *l = qobject_cast<QLabel *>(w))
        scritto = l->text();
    else if (auto *b = qobject_cast<QAbstractButton *>(w))
        scritto = b->text();
    else if (auto *e = qobject_cast<QLineEdit *>(w))
        scritto = e->text();
    QCOMPARE(scritto, testo);
    QCOMPARE(w->font().pixelSize(), pixel);
    QCOMPARE(w->font().bold(), grassetto);
    const QFontInfo risolto(w->font());
    QCOMPARE(risolto.family(), faccia);
    QCOMPARE(risolto.bold(), grassetto);
}

void TestDisegno::areaEFacce()
{
    gioco->show();
    QVERIFY(QTest::qWaitForWindowExposed(gioco.get()));
    QCOMPARE(gioco->centralWidget(), gioco->area);
    QCOMPARE(gioco->area->size(), QSize(624, 480));
    QVERIFY(gioco->area->autoFillBackground());
    QCOMPARE(gioco->area->palette().color(QPalette::Window), QColor(0, 255, 255));
    // The window keeps its size: the menu bar sits above the client area, not over it.
    QCOMPARE(gioco->area->mapTo(gioco.get(), QPoint(0, 0)).y(), gioco->menuBar()->height());
    QCOMPARE(gioco->size(), QSize(624, 480 + gioco->menuBar()->height()));

    QCOMPARE(gioco->Image1->frameShape(), QFrame::Box);
    QCOMPARE(gioco->Image1->frameWidth(), 1);

    // Both faces share one place; the yes face lies in front and shows.
    QVERIFY(gioco->ComandoIconaSi->isVisible());
    QVERIFY(!gioco->ComandoIconaSi->pixmap().isNull());
    QVERIFY(!gioco->ComandoIconaNo->pixmap().isNull());
    QCOMPARE(gioco->area->childAt(QPoint(520, 52)), static_cast<QWidget *>(gioco->ComandoIconaSi));
    // Hiding it uncovers the no face underneath.
    gioco->ComandoIconaSi->hide();
    QCOMPARE(gioco->area->childAt(QPoint(520, 52)), static_cast<QWidget *>(gioco->ComandoIconaNo));

    QVERIFY(!gioco->Command1->icon().isNull());
    QVERIFY(!gioco->SSCommand1->icon().isNull());
}

void TestDisegno::caselle()
{
    for (int i = 0; i < 6; ++i) {
        const QLabel *l = gioco->Label1[std::size_t(i)];
        const CasellaTesto *t = gioco->Text1[std::size_t(i)];
        QCOMPARE(l->alignment(), Qt::AlignCenter);
        QCOMPARE(t->alignment(), Qt::AlignCenter);
        QVERIFY(l->autoFillBackground());
        QCOMPARE(l->palette().color(QPalette::Window), QColor(Qt::white));
    }
}

void TestDisegno::tasti_data()
{
    QTest::addColumn<int>("indice");
    QTest::addColumn<QString>("lettera");
    QTest::addColumn<QPoint>("posizione");
    const struct {
        int indice;
        const char *lettera;
        int x, y;
    } righe[] = {
        {0, "q", 8, 336},
        {1, "w", 64, 336},
        {2, "e", 120, 336},
        {3, "r", 176, 336},
        {4, "t", 232, 336},
        {5, "y", 288, 336},
        {6, "u", 344, 336},
        {23, "i", 400, 336},
        {22, "o", 456, 336},
        {21, "p", 512, 336},
        {7, "a", 40, 376},
        {8, "s", 96, 376},
        {9, "d", 152, 376},
        {10, "f", 208, 376},
        {11, "g", 264, 376},
        {12, "h", 320, 376},
        {13, "j", 376, 376},
        {24, "k", 432, 376},
        {25, "l", 488, 376},
        {14, "z", 64, 416},
        {15, "x", 120, 416},
        {16, "c", 176, 416},
        {17, "v", 232, 416},
        {18, "b", 288, 416},
        {19, "n", 344, 416},
        {20, "m", 400, 416},
    };
    static_assert(std::size(righe) == 26);
    for (const auto &r : righe)
        QTest::addRow("key %d %s", r.indice, r.lettera)
            << r.indice << QString::fromLatin1(r.lettera) << QPoint(r.x, r.y);
}

void TestDisegno::tasti()
{
    QFETCH(int, indice);
    QFETCH(QString, lettera);
    QFETCH(QPoint, posizione);
    const Pulsante *b = gioco->batticco[std::size_t(indice)];
    QCOMPARE(b->objectName(), QStringLiteral("batticco_%1").arg(indice));
    QCOMPARE(b->text(), lettera);
    QCOMPARE(b->geometry(), QRect(posizione, QSize(41, 33)));
    QCOMPARE(b->font().pixelSize(), 26);
    QVERIFY(b->font().bold());
    QCOMPARE(QFontInfo(b->font()).family(), QStringLiteral("Liberation Serif"));
}

void TestDisegno::ordineTab()
{
    gioco->show();
    QVERIFY(QTest::qWaitForWindowExposed(gioco.get()));
    QList<QWidget *> atteso;
    for (int i = 0; i <= 20; ++i)
        atteso << gioco->batticco[std::size_t(i)];
    atteso << gioco->SSCommand1;
    for (int i : {21, 22, 23, 25, 24})
        atteso << gioco->batticco[std::size_t(i)];
    for (CasellaTesto *t : gioco->Text1)
        atteso << t;
    atteso << gioco->Command1;

    // One full turn of the focus chain, keeping the widgets Tab stops at.
    QList<QWidget *> catena;
    QWidget *w = gioco->batticco[0];
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled())
            catena << w;
        w = w->nextInFocusChain();
    } while (w != gioco->batticco[0] && catena.size() <= atteso.size());
    QCOMPARE(catena, atteso);
}

void TestDisegno::vociMenu_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("testo");
    QTest::addColumn<int>("lunghezza");
    QTest::addColumn<bool>("spuntata");
    QTest::newRow("mnuAzzera") << "mnuAzzera"
                               << "Azzera conteggio" + QString(10, u' ') << 26 << false;
    QTest::newRow("mnuParole") << "mnuParole"
                               << "Scegli lista di parole" + QString(11, u' ') << 33 << false;
    QTest::newRow("mnu3") << "mnu3"
                          << "parole di 3 lettere" << 19 << false;
    QTest::newRow("mnu4") << "mnu4"
                          << "parole di 4 lettere" << 19 << true;
    QTest::newRow("mnu5") << "mnu5"
                          << "parole di 5 lettere" << 19 << false;
    QTest::newRow("mnu6") << "mnu6"
                          << "parole di 6 lettere" << 19 << false;
    QTest::newRow("mnuOpzioni") << "mnuOpzioni"
                                << "Opzioni" + QString(10, u' ') << 17 << false;
    QTest::newRow("mnubatticchi") << "mnubatticchi"
                                  << "batticchi" << 9 << false;
    QTest::newRow("mnuVideo") << "mnuVideo"
                              << "usa la battico in video" << 23 << true;
    QTest::newRow("mnuPc") << "mnuPc"
                           << "usa la batticco del PC" << 22 << false;
    QTest::newRow("mnucaratteri") << "mnucaratteri"
                                  << "caratteri" << 9 << false;
    QTest::newRow("mnumaiuscoli") << "mnumaiuscoli"
                                  << "maiuscoli" << 9 << true;
    QTest::newRow("mnuminuscoli") << "mnuminuscoli"
                                  << "minuscoli" << 9 << false;
    QTest::newRow("mnuInforma") << "mnuInforma"
                                << "Informazioni" + QString(11, u' ') << 23 << false;
    QTest::newRow("mnuEsci") << "mnuEsci"
                             << "Esci" << 4 << false;
}

void TestDisegno::vociMenu()
{
    QFETCH(QString, nome);
    QFETCH(QString, testo);
    QFETCH(int, lunghezza);
    QFETCH(bool, spuntata);
    const auto trovate = gioco->findChildren<QAction *>(nome);
    QCOMPARE(trovate.size(), 1);
    const QAction *a = trovate.front();
    QCOMPARE(a->text(), testo);
    QCOMPARE(a->text().size(), lunghezza);
    QCOMPARE(a->isChecked(), spuntata);
}

void TestDisegno::barraMenu()
{
    auto nomi = [](const QList<QAction *> &azioni) {
        QStringList n;
        for (const QAction *a : azioni)
            n << a->objectName();
        return n;
    };
    QCOMPARE(nomi(gioco->menuBar()->actions()),
        (QStringList {"mnuAzzera", "mnuParole", "mnuOpzioni", "mnuInforma", "mnuEsci"}));
    auto sotto
        = [this](const char *nome) { return gioco->findChild<QAction *>(QLatin1String(nome))->menu(); };
    QVERIFY(sotto("mnuParole") && sotto("mnuOpzioni") && sotto("mnubatticchi") && sotto("mnucaratteri"));
    QVERIFY(!sotto("mnuAzzera") && !sotto("mnuInforma") && !sotto("mnuEsci"));
    QCOMPARE(nomi(sotto("mnuParole")->actions()), (QStringList {"mnu3", "mnu4", "mnu5", "mnu6"}));
    QCOMPARE(nomi(sotto("mnuOpzioni")->actions()), (QStringList {"mnubatticchi", "mnucaratteri"}));
    QCOMPARE(nomi(sotto("mnubatticchi")->actions()), (QStringList {"mnuVideo", "mnuPc"}));
    QCOMPARE(nomi(sotto("mnucaratteri")->actions()), (QStringList {"mnumaiuscoli", "mnuminuscoli"}));
    // The fields hold the entries the bar shows.
    QCOMPARE(gioco->mnu4, gioco->findChild<QAction *>(QStringLiteral("mnu4")));
    QCOMPARE(gioco->mnuEsci, gioco->findChild<QAction *>(QStringLiteral("mnuEsci")));
}

void TestDisegno::sceltaNonCambiaSpunta()
{
    static constexpr menu::Voce voci[] = {
        {1, "alto", "Alto", false},
        {2, "sotto", "Sotto", false},
        {3, "si", "Si", true},
        {3, "no", "No", false},
        {2, "diretta", "Diretta", false},
        {1, "comando", "Comando", false},
    };
    QMenuBar barra;
    const auto azioni = menu::costruisci(&barra, voci);
    QCOMPARE(azioni.size(), 6);
    QVERIFY(!azioni.value("comando")->isCheckable());

    for (const char *nome : {"si", "no", "diretta"}) {
        QAction *a = azioni.value(QLatin1String(nome));
        QVERIFY2(a && a->isCheckable(), nome);
        const bool prima = a->isChecked();
        QSignalSpy scelte(a, &QAction::triggered);
        a->trigger();
        a->trigger();
        QCOMPARE(scelte.size(), 2);
        QCOMPARE(a->isChecked(), prima);
    }

    // A handler connected after the menu is built has the last word on the mark.
    QAction *no = azioni.value("no");
    QObject::connect(no, &QAction::triggered, no, [no] { no->setChecked(true); });
    no->trigger();
    QVERIFY(no->isChecked());
}

void TestDisegno::piattaforma_data()
{
    QTest::addColumn<QString>("famiglia");
    QTest::addColumn<QString>("faccia");
    QTest::newRow("Arial is Liberation Sans") << "Arial"
                                              << "Liberation Sans";
    QTest::newRow("Times New Roman is Liberation Serif") << "Times New Roman"
                                                         << "Liberation Serif";
}

void TestDisegno::piattaforma()
{
    QFETCH(QString, famiglia);
    QFETCH(QString, faccia);
    // Upper case keeps accents and length: the words' pictures and letters depend on it.
    QCOMPARE(QString::fromUtf8("è").toUpper(), QString::fromUtf8("È"));
    QCOMPARE(QString::fromUtf8("È").toLower(), QString::fromUtf8("è"));

    QFont richiesto(famiglia);
    richiesto.setPixelSize(26);
    richiesto.setBold(true);
    QCOMPARE(QFontInfo(richiesto).family(), faccia);
    // Metric-compatible: the advance of a text equals the face's own.
    QFont diretto(faccia);
    diretto.setPixelSize(26);
    diretto.setBold(true);
    const QString prova = QStringLiteral("BATTICCO avanti Aiutami qwmW");
    QCOMPARE(
        QFontMetrics(richiesto).horizontalAdvance(prova), QFontMetrics(diretto).horizontalAdvance(prova));
}

void TestDisegno::pulsantiDaTastiera_data()
{
    QTest::addColumn<bool>("grafico");
    QTest::addColumn<int>("tasto");
    for (bool g : {false, true}) {
        const char *tipo = g ? "PulsanteGrafico" : "Pulsante";
        QTest::addRow("%s, Enter", tipo) << g << int(Qt::Key_Enter);
        QTest::addRow("%s, Return", tipo) << g << int(Qt::Key_Return);
        QTest::addRow("%s, Space", tipo) << g << int(Qt::Key_Space);
    }
}

namespace
{

QAbstractButton *nuovoPulsante(bool grafico, QWidget *genitore)
{
    if (grafico) {
        auto *b = new PulsanteGrafico(genitore);
        b->setText(QStringLiteral("avanti"));
        return b;
    }
    return new Pulsante(QStringLiteral("a"), genitore);
}

} // namespace

void TestDisegno::pulsantiDaTastiera()
{
    QFETCH(bool, grafico);
    QFETCH(int, tasto);
    QWidget finestra;
    QAbstractButton *b = nuovoPulsante(grafico, &finestra);
    auto *altro = new Pulsante(QStringLiteral("b"), &finestra);
    altro->move(0, 60);
    finestra.show();
    QVERIFY(QTest::qWaitForWindowActive(&finestra));
    b->setFocus();
    QCOMPARE(QApplication::focusWidget(), b);
    QSignalSpy premuto(b, &QAbstractButton::clicked);
    QSignalSpy premutoAltro(altro, &QAbstractButton::clicked);
    // Through the window, as the keyboard delivers it: the focused button takes the key.
    QTest::keyClick(finestra.windowHandle(), Qt::Key(tasto));
    QCOMPARE(premuto.size(), 1);
    QCOMPARE(premutoAltro.size(), 0);
}

void TestDisegno::invioTenutoPremeUnaVolta_data()
{
    QTest::addColumn<bool>("grafico");
    QTest::newRow("Pulsante") << false;
    QTest::newRow("PulsanteGrafico") << true;
}

void TestDisegno::invioTenutoPremeUnaVolta()
{
    QFETCH(bool, grafico);
    QWidget finestra;
    QAbstractButton *b = nuovoPulsante(grafico, &finestra);
    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    b->setFocus();
    QSignalSpy premuto(b, &QAbstractButton::clicked);
    auto invia = [b](QEvent::Type tipo, bool ripetuto) {
        QKeyEvent e(tipo, Qt::Key_Enter, Qt::KeypadModifier, QStringLiteral("\r"), ripetuto);
        QApplication::sendEvent(b, &e);
    };
    // A held key: the first press, then the repeats the keyboard sends, then one release.
    invia(QEvent::KeyPress, false);
    for (int i = 0; i < 5; ++i) {
        invia(QEvent::KeyRelease, true);
        invia(QEvent::KeyPress, true);
    }
    invia(QEvent::KeyRelease, false);
    QCOMPARE(premuto.size(), 1);
    // The next press is a new press.
    invia(QEvent::KeyPress, false);
    invia(QEvent::KeyRelease, false);
    QCOMPARE(premuto.size(), 2);
}

void TestDisegno::pulsantiComeQt_data()
{
    QTest::addColumn<bool>("grafico");
    QTest::addColumn<QString>("stato");
    for (bool g : {false, true}) {
        for (const char *stato :
            {"normale", "disattivato", "fuoco", "premuto", "sotto il mouse", "altri colori"})
            QTest::addRow("%s, %s", g ? "PulsanteGrafico" : "Pulsante", stato)
                << g << QString::fromLatin1(stato);
    }
}

// The buttons paint with a palette shared among those of the same colours: in every state, and
// after a button of the same colours has painted, they show exactly what Qt's own buttons show.
void TestDisegno::pulsantiComeQt()
{
    QFETCH(bool, grafico);
    QFETCH(QString, stato);
    QWidget finestra;
    finestra.resize(400, 200);
    QAbstractButton *nostro = nuovoPulsante(grafico, &finestra);
    QAbstractButton *qt = new QPushButton(&finestra);
    if (auto *g = qobject_cast<PulsanteGrafico *>(nostro)) {
        g->impostaIcona(QStringLiteral(":/freccia.png"));
        auto *t = new QToolButton(&finestra);
        t->setToolButtonStyle(g->toolButtonStyle());
        t->setIconSize(g->iconSize());
        t->setIcon(g->icon());
        delete std::exchange(qt, t);
    }
    QAbstractButton *vicino = nuovoPulsante(grafico, &finestra);
    for (QAbstractButton *b : {nostro, qt, vicino}) {
        b->setText(nostro->text());
        b->setFocusPolicy(Qt::StrongFocus);
        b->setFont(QFont(QStringLiteral("Arial"), 14, QFont::Bold));
        b->setPalette(colori::tavolozzaClassica());
        b->resize(130, 65);
    }
    qt->move(200, 0);
    vicino->move(0, 100);
    finestra.setFocusPolicy(Qt::StrongFocus); // no button has the focus unless the row gives it
    finestra.show();
    QVERIFY(QTest::qWaitForWindowActive(&finestra));
    finestra.setFocus();
    vicino->grab();
    auto disegnato = [&stato](QAbstractButton *b) {
        b->setAttribute(Qt::WA_UnderMouse, stato == QLatin1String("sotto il mouse"));
        b->setEnabled(stato != QLatin1String("disattivato"));
        b->setDown(stato == QLatin1String("premuto"));
        if (stato == QLatin1String("fuoco"))
            b->setFocus();
        if (stato == QLatin1String("altri colori")) {
            QPalette rossa = b->palette();
            rossa.setColor(QPalette::Button, Qt::red);
            rossa.setColor(QPalette::ButtonText, Qt::yellow);
            b->setPalette(rossa);
        }
        return b->grab().toImage();
    };
    QCOMPARE(disegnato(nostro), disegnato(qt));
}

void TestDisegno::coloriBgr_data()
{
    QTest::addColumn<quint32>("bgr");
    QTest::addColumn<QColor>("atteso");
    QTest::newRow("red is the low byte") << 0x000000FFu << QColor(255, 0, 0);
    QTest::newRow("green is the middle byte") << 0x0000FF00u << QColor(0, 255, 0);
    QTest::newRow("blue is the high byte") << 0x00FF0000u << QColor(0, 0, 255);
    QTest::newRow("cyan background") << 0x00FFFF00u << QColor(0, 255, 255);
    QTest::newRow("light pink") << 0x00C0C0FFu << QColor(255, 192, 192);
    QTest::newRow("brown, three different bytes") << 0x000040C0u << QColor(192, 64, 0);
}

void TestDisegno::coloriBgr()
{
    QFETCH(quint32, bgr);
    QFETCH(QColor, atteso);
    QVERIFY(!colori::diSistema(bgr));
    QCOMPARE(colori::colore(bgr), atteso);
    QCOMPARE(colori::inBgr(atteso), bgr);
}

void TestDisegno::coloriDiSistema_data()
{
    QTest::addColumn<quint32>("bgr");
    QTest::addColumn<int>("ruolo");
    QTest::addColumn<QColor>("classico");
    QTest::newRow("5 window background is white Base")
        << 0x80000005u << int(QPalette::Base) << QColor(Qt::white);
    QTest::newRow("8 window text is black WindowText")
        << 0x80000008u << int(QPalette::WindowText) << QColor(Qt::black);
    QTest::newRow("15 button face is light grey Button")
        << 0x8000000Fu << int(QPalette::Button) << QColor(0xEF, 0xEF, 0xEF);
    QTest::newRow("18 button text is black ButtonText")
        << 0x80000012u << int(QPalette::ButtonText) << QColor(Qt::black);
}

void TestDisegno::coloriDiSistema()
{
    QFETCH(quint32, bgr);
    QFETCH(int, ruolo);
    QFETCH(QColor, classico);
    QVERIFY(colori::diSistema(bgr));
    QCOMPARE(int(colori::ruoloDiSistema(bgr)), ruolo);
    // A desktop's dark scheme changes nothing: the designs' system colours are the classic ones.
    const QPalette prima = QApplication::palette();
    QApplication::setPalette(scura());
    const QColor risolto = colori::colore(bgr);
    QApplication::setPalette(prima);
    QCOMPARE(risolto, classico);
}

QPalette TestDisegno::scura()
{
    QPalette p(QColor(0x42, 0x42, 0x45), QColor(0x30, 0x2F, 0x2E));
    for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(r, Qt::white);
    p.setColor(QPalette::Base, QColor(0x3D, 0x3D, 0x3D));
    return p;
}

void TestDisegno::tavolozzaClassicaComeQt()
{
    // Where the desktop has no scheme (the offscreen platform here, a bare X server) Qt draws with its
    // own light palette: the classic one must be exactly that, or the usual look would change.
    const QPalette qt = QApplication::palette();
    const QPalette classica = colori::tavolozzaClassica();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto ruolo = QPalette::ColorRole(r);
            if (ruolo == QPalette::NoRole)
                continue; // no colour of its own, and Qt 6.6 and later no longer keep one for it
            QVERIFY2(classica.isBrushSet(g, ruolo), qPrintable(QStringLiteral("%1/%2").arg(g).arg(r)));
            QCOMPARE(classica.color(g, ruolo).rgba(), qt.color(g, ruolo).rgba());
        }
    }
}

void TestDisegno::schemaScuro()
{
    // Built under a desktop's dark scheme, both windows keep the design's light colours.
    const QPalette prima = QApplication::palette();
    QApplication::setPalette(scura());
    auto scuro = std::make_unique<lettere>(f->piattaforma);
    FormAvvio avvio(f->piattaforma);
    avvio.Form_Load();
    scuro->show();
    QVERIFY(QTest::qWaitForWindowExposed(scuro.get()));
    // A disabled "avanti" greys its arrow from the classic colours too, not from the dark ones.
    auto disattivata = [](const PulsanteGrafico *b) {
        return b->icon().pixmap(QSize(32, 32), 1.0, QIcon::Disabled).toImage();
    };
    const QImage frecciaScura = disattivata(scuro->Command1);
    QApplication::setPalette(prima);
    QCOMPARE(frecciaScura, disattivata(gioco->Command1));

    const QColor nero(Qt::black);
    QCOMPARE(avvio.Label1->palette().color(QPalette::WindowText), nero);
    QCOMPARE(avvio.Command1->palette().color(QPalette::ButtonText), nero);
    for (const QLabel *l : {scuro->Label3, scuro->Label2, scuro->EtichettaEsatti, scuro->EtichettaErrati})
        QCOMPARE(l->palette().color(QPalette::WindowText), nero);
    const QLabel *lettera = scuro->Label1[0];
    QCOMPARE(lettera->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(lettera->palette().color(QPalette::WindowText), nero);
    const CasellaTesto *casella = scuro->Text1[0];
    QCOMPARE(casella->palette().color(QPalette::Base), QColor(Qt::white));
    QCOMPARE(casella->palette().color(QPalette::Text), nero);
    QCOMPARE(scuro->batticco[0]->palette().color(QPalette::Button), QColor(0xEF, 0xEF, 0xEF));
    QCOMPARE(scuro->batticco[0]->palette().color(QPalette::ButtonText), nero);
    // Buttons draw their outline from the window colour: the classic grey, not the cyan or the start colour.
    QCOMPARE(scuro->batticco[0]->palette().color(QPalette::Window), QColor(0xEF, 0xEF, 0xEF));
    QCOMPARE(scuro->Command1->palette().color(QPalette::Window), QColor(0xEF, 0xEF, 0xEF));
    QCOMPARE(avvio.Command1->palette().color(QPalette::Window), QColor(0xEF, 0xEF, 0xEF));
    QCOMPARE(scuro->menuBar()->palette().color(QPalette::Window), QColor(0xEF, 0xEF, 0xEF));
    QCOMPARE(scuro->menuBar()->palette().color(QPalette::ButtonText), nero);
    for (const QMenu *m : scuro->findChildren<QMenu *>())
        QCOMPARE(m->palette().color(QPalette::Text), nero);
    // The window's grab: a letter label's white inside and black frame, the cyan around it.
    scuro->Label1[0]->show();
    const QImage immagine = scuro->area->grab().toImage();
    QCOMPARE(immagine.pixelColor(152 + 10, 256 + 10), QColor(Qt::white));
    QCOMPARE(immagine.pixelColor(152, 256 + 10), nero);
    QCOMPARE(immagine.pixelColor(150, 256 + 10), QColor(0, 255, 255));
}

void TestDisegno::barraConCarattereGrande_data()
{
    QTest::addColumn<int>("punti");
    QTest::addColumn<QString>("famiglia");
    QTest::newRow("8 pt") << 8 << QString();
    QTest::newRow("11 pt") << 11 << QString();
    QTest::newRow("14 pt") << 14 << QString();
    // Taller than the bar: what a Debian 13 system without DejaVu falls back to.
    QTest::newRow("Nimbus Sans 11 pt") << 11 << QStringLiteral("Nimbus Sans");
}

void TestDisegno::barraConCarattereGrande()
{
    // The desktop's font size does not reach the bar: all five entries stay on it. The drop-down
    // menus have room, and follow it.
    QFETCH(int, punti);
    QFETCH(QString, famiglia);
    const QFont prima = QApplication::font();
    const auto ripristina = qScopeGuard([&prima] { QApplication::setFont(prima); });
    QFont desktop = prima;
    desktop.setPointSize(punti);
    if (!famiglia.isEmpty())
        desktop.setFamily(famiglia);
    QApplication::setFont(desktop);
    auto finestra = std::make_unique<lettere>(f->piattaforma);
    finestra->show();
    QVERIFY(QTest::qWaitForWindowExposed(finestra.get()));
    // The whiteboard launcher measures the window without showing one: it must find this size.
    QCOMPARE(lavagna::dimensioneFinestra(
                 twips::inPixel(lettereDesign::larghezza, lettereDesign::altezza), lettereDesign::menu),
        finestra->size());

    QMenuBar *barra = finestra->menuBar();
    for (QAction *a : barra->actions()) {
        const QRect r = barra->actionGeometry(a);
        QVERIFY2(!r.isEmpty() && r.right() < barra->width(), qPrintable(a->objectName()));
    }
    const auto *altre = barra->findChild<QWidget *>(QStringLiteral("qt_menubar_ext_button"));
    QVERIFY(!altre || !altre->isVisible());
    // 12 px, or smaller where the desktop's family is taller than the bar (Nimbus Sans).
    QVERIFY(barra->font().pixelSize() <= 12 && barra->font().pixelSize() >= 9);
    if (QFontInfo(barra->font()).family().startsWith(QStringLiteral("DejaVu")))
        QCOMPARE(barra->font().pixelSize(), 12);
    QCOMPARE(barra->height(), 19);
    for (const QMenu *m : barra->findChildren<QMenu *>()) {
        QCOMPARE(m->font().pointSize(), punti);
        QCOMPARE(m->font().family(), barra->font().family());
    }
}

QTEST_MAIN(TestDisegno)
#include "tst_disegno.moc"
