// SPDX-License-Identifier: GPL-3.0-or-later
// The game window: its building from the design table, then one handler per menu entry, key and
// button, in the order the window's design lists them. Over 500 lines as the design has one window.
#include "game/lettere.h"

// The one upward edge of the core library, as the game's design has it: the game window asks the
// application module for its prompts (the information box, the key-case conversions, closing the windows).
#include "app/Modulo1.h"
#include "game/ListaParole.h"
#include "game/lettereDesign.h"
#include "game/regole.h"
#include "game/riquadroFigura.h"
#include "ui/caselle.h"
#include "ui/immagini.h"
#include "ui/percorsi.h"
#include "ui/piattaforma.h"
#include "ui/pulsanti.h"
#include "ui/risorse.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QScopeGuard>

namespace d = lettereDesign;

namespace
{

QLabel *etichetta(QWidget *genitore, const char *nome, const d::Etichetta &e)
{
    auto *l = new QLabel(QString::fromUtf8(e.testo), genitore);
    l->setObjectName(QString::fromLatin1(nome));
    l->setGeometry(twips::inPixel(e.rettangolo));
    l->setFont(twips::font(e.carattere));
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette tavolozza = l->palette();
    tavolozza.setColor(QPalette::WindowText, colori::colore(d::coloreTestoEtichette));
    l->setPalette(tavolozza);
    return l;
}

QLabel *faccia(QWidget *genitore, const char *nome, const char *risorsa)
{
    auto *l = new QLabel(genitore);
    l->setObjectName(QString::fromLatin1(nome));
    l->setGeometry(twips::inPixel(d::ComandoIconaSi));
    l->setScaledContents(true);
    l->setPixmap(QPixmap::fromImage(risorse::immagine(QString::fromLatin1(risorsa))));
    return l;
}

PulsanteGrafico *grafico(QWidget *genitore, const char *nome, const d::Etichetta &e, const char *icona)
{
    auto *b = new PulsanteGrafico(genitore);
    b->setObjectName(QString::fromLatin1(nome));
    b->setText(QString::fromUtf8(e.testo));
    b->setFont(twips::font(e.carattere));
    b->impostaIcona(QString::fromLatin1(icona));
    b->setGeometry(twips::inPixel(e.rettangolo));
    return b;
}

} // namespace

lettere::lettere(Piattaforma &piattaforma, QWidget *genitore)
    : QMainWindow(genitore)
    , p(piattaforma)
    , moduloColoriSuoni(piattaforma)
{
    setObjectName(QStringLiteral("lettere"));
    costruisci();
    collega();
}

lettere::~lettere() = default;

// Every handler runs inside the error boundary: an error is reported and ends the program, and no
// exception ever reaches the event loop.
template <typename Gestore>
auto lettere::gestore(Gestore g)
{
    return [this, g] { p.protetto([&] { g(); }); };
}

// Each menu entry of the design by name: the member that holds its action and its handler.
struct VoceMenu {
    const char16_t *nome;
    QAction *lettere::*azione;
    void (lettere::*gestore)();
};
constexpr VoceMenu vociMenu[] = {
    {u"mnuAzzera", &lettere::mnuAzzera, &lettere::mnuAzzera_Click},
    {u"mnu3", &lettere::mnu3, &lettere::mnu3_Click},
    {u"mnu4", &lettere::mnu4, &lettere::mnu4_Click},
    {u"mnu5", &lettere::mnu5, &lettere::mnu5_Click},
    {u"mnu6", &lettere::mnu6, &lettere::mnu6_Click},
    {u"mnuVideo", &lettere::mnuVideo, &lettere::mnuVideo_Click},
    {u"mnuPc", &lettere::mnuPc, &lettere::mnuPc_Click},
    {u"mnumaiuscoli", &lettere::mnumaiuscoli, &lettere::mnumaiuscoli_Click},
    {u"mnuminuscoli", &lettere::mnuminuscoli, &lettere::mnuminuscoli_Click},
    {u"mnuInforma", &lettere::mnuInforma, &lettere::mnuInforma_Click},
    {u"mnuEsci", &lettere::mnuEsci, &lettere::mnuEsci_Click},
};

void lettere::costruisci()
{
    // No title text: a single blank, since an empty title makes Qt show the program's name.
    setWindowTitle(QStringLiteral(" "));
    setAccessibleName(titoloApplicazione);
    // The classic light colours under any desktop scheme: the design puts window and button text on
    // the cyan window and on white letter labels.
    setPalette(colori::tavolozzaClassica());

    area = new QWidget(this);
    area->setObjectName(QStringLiteral("area"));
    area->setFixedSize(twips::inPixel(d::larghezza, d::altezza));
    area->setAutoFillBackground(true);
    QPalette sfondo = area->palette();
    sfondo.setColor(QPalette::Window, colori::colore(d::coloreSfondo));
    area->setPalette(sfondo);
    setCentralWidget(area);

    costruisciFiguraEConteggi();
    costruisciCaselle();
    costruisciTastiera();
    ordinaTabulazione();

    const auto azioni = menu::costruisci(menuBar(), d::menu);
    for (const VoceMenu &v : vociMenu)
        this->*v.azione = azioni.value(QString::fromUtf16(v.nome));

    // The window keeps its designed size; the layout does not follow a resized frame.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void lettere::costruisciFiguraEConteggi()
{
    Image1 = new ImmagineCliccabile(area);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twips::inPixel(d::Image1));
    Image1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Image1->setLineWidth(riquadroFigura::cornice);
    Image1->setScaledContents(true);
    Image1->setAccessibleName(QStringLiteral("Immagine della parola"));

    // The no face first, so that the yes face lies in front of it.
    ComandoIconaNo = faccia(area, "ComandoIconaNo", ":/no@2x.png");
    ComandoIconaSi = faccia(area, "ComandoIconaSi", ":/si@2x.png");
    ComandoIconaNo->setAccessibleName(QStringLiteral("Faccina triste"));
    ComandoIconaSi->setAccessibleName(QStringLiteral("Faccina contenta"));

    Label3 = etichetta(area, "Label3", d::Label3);
    Label2 = etichetta(area, "Label2", d::Label2);
    EtichettaEsatti = etichetta(area, "EtichettaEsatti", d::EtichettaEsatti);
    EtichettaErrati = etichetta(area, "EtichettaErrati", d::EtichettaErrati);

    Command1 = grafico(area, "Command1", d::Command1, ":/freccia.png");
    SSCommand1 = grafico(area, "SSCommand1", d::SSCommand1, ":/lampada.png");
}

void lettere::costruisciCaselle()
{
    const QFont fontCaselle = twips::font(d::fontCaselle);
    for (int i = 0; i < d::caselle; ++i) {
        auto *t = new CasellaTesto(area);
        t->setObjectName(QStringLiteral("Text1_%1").arg(i));
        t->setGeometry(twips::inPixel(d::casella(i)));
        t->setFont(fontCaselle);
        t->setText(QString::fromLatin1(d::testoText1));
        t->setAccessibleName(QStringLiteral("Lettera %1").arg(i + 1));
        Text1[std::size_t(i)] = t;

        auto *l = new QLabel(QString::fromLatin1(d::testoLabel1), area);
        l->setObjectName(QStringLiteral("Label1_%1").arg(i));
        l->setGeometry(twips::inPixel(d::casella(i)));
        l->setFont(fontCaselle);
        l->setAutoFillBackground(true);
        comeCasella(l);
        l->setAccessibleName(QStringLiteral("Lettera %1").arg(i + 1));
        QPalette tavolozza = l->palette();
        tavolozza.setColor(QPalette::Window, colori::colore(d::sfondoLabel1));
        // A label draws its text, and its plain frame, in the foreground colour: the button text's.
        tavolozza.setColor(QPalette::WindowText, colori::colore(d::testoLabel1Colore));
        l->setPalette(tavolozza);
        Label1[std::size_t(i)] = l;
    }
}

void lettere::costruisciTastiera()
{
    const QFont fontTasti = twips::font(d::fontTasti);
    for (int i = 0; i < d::numeroTasti; ++i) {
        auto *b = new Pulsante(QString::fromLatin1(d::tasti[std::size_t(i)].lettera), area);
        b->setObjectName(QStringLiteral("batticco_%1").arg(i));
        b->setGeometry(twips::inPixel(d::tasto(i)));
        b->setFont(fontTasti);
        batticco[std::size_t(i)] = b;
    }
}

void lettere::ordinaTabulazione()
{
    // Tab order: keys 0 to 20, help, keys 21, 22, 23, 25, 24, the letter boxes, "avanti".
    QWidget *precedente = batticco[0];
    auto poi = [&precedente](QWidget *w) {
        QWidget::setTabOrder(precedente, w);
        precedente = w;
    };
    for (int i = 1; i <= 20; ++i)
        poi(batticco[std::size_t(i)]);
    poi(SSCommand1);
    for (int i : d::tastiDopoAiuto)
        poi(batticco[std::size_t(i)]);
    for (CasellaTesto *t : Text1)
        poi(t);
    poi(Command1);
}

void lettere::collega()
{
    connect(Command1, &QAbstractButton::clicked, this, gestore([this] { Command1_Click(); }));
    connect(SSCommand1, &QAbstractButton::clicked, this, gestore([this] { SSCommand1_Click(); }));
    connect(Image1, &ImmagineCliccabile::cliccata, this, gestore([this] { Image1_Click(); }));
    for (int i = 0; i < d::numeroTasti; ++i)
        connect(batticco[std::size_t(i)], &QAbstractButton::clicked, this,
            gestore([this, i] { batticco_Click(i); }));
    for (int i = 0; i < d::caselle; ++i) {
        CasellaTesto *t = Text1[std::size_t(i)];
        t->allaPressione
            = [this, i](qint16 &carattere) { p.protetto([&] { Text1_KeyPress(i, carattere); }); };
        t->alRilascio = [this, i](int codice, int maiuscole) {
            p.protetto([&] { Text1_KeyUp(i, codice, maiuscole); });
        };
    }
    for (const VoceMenu &v : vociMenu) {
        const auto metodo = v.gestore;
        connect(this->*v.azione, &QAction::triggered, this, gestore([this, metodo] { (this->*metodo)(); }));
    }
}

bool lettere::preparaCaratteri(int passo)
{
    // What the first paint draws, font by font: the keys in capitals, the counters and their
    // names, the two buttons' captions, the menu bar's captions.
    struct Testo {
        QFont carattere;
        QString testo;
    };
    QString tasti;
    for (const d::Tasto &t : d::tasti)
        tasti += QString::fromLatin1(t.lettera).toUpper();
    QString voci;
    for (const menu::Voce &v : d::menu) {
        if (v.livello == 1)
            voci += QString::fromUtf8(v.testo);
    }
    QFont barra = QApplication::font("QMenuBar");
    barra.setPixelSize(menu::pixelCarattere);
    const Testo testi[] = {
        {twips::font(d::fontTasti), tasti},
        {twips::font(d::Label3.carattere), QStringLiteral("EsattiErrati")},
        {twips::font(d::EtichettaEsatti.carattere), QStringLiteral(" 0")},
        {twips::font(d::Command1.carattere), QString::fromUtf8(d::Command1.testo)},
        {twips::font(d::SSCommand1.carattere), QString::fromUtf8(d::SSCommand1.testo)},
        {barra, voci},
    };
    if (passo < 0 || passo >= int(std::size(testi)))
        return false;
    // A pixmap has the screen's dots per inch, so the font comes out at the size a window gets.
    QPixmap foglio(32, 32);
    QPainter pittore(&foglio);
    pittore.setFont(testi[passo].carattere);
    pittore.drawText(0, 24, testi[passo].testo);
    return passo + 1 < int(std::size(testi));
}

// ---- Turns -------------------------------------------------------------------------------------

void lettere::Form_Load()
{
    stato.esatti = 0;
    stato.errati = 0;
    scriviConteggio(EtichettaEsatti, stato.esatti);
    scriviConteggio(EtichettaErrati, stato.errati);
    // mnu4 is already checked in the design, so no mark is set here.
    stato.lunghezza = 4;
    stato.nomeLista = QStringLiteral("lista4.txt");
    caricaLista();
    preparaCaselle();
    // This turn is replaced by the one mnumaiuscoli_Click starts before the window shows: its
    // picture is only judged, with the same errors as loading it, and not decoded to be shown.
    {
        turnoNonVisto = true;
        const auto poi = qScopeGuard([this] { turnoNonVisto = false; });
        nuovoTurno();
    }
    // The first turn the child sees is the one this starts.
    mnumaiuscoli_Click();
}

QString lettere::percorsoLista() const
{
    return percorsi::dati(p.cartellaDati, u'\\' + stato.nomeLista);
}

void lettere::caricaLista()
{
    stato.numParole = 0;
    // A word longer than a file name can be never names a picture, and its turn ends the game
    // with a message that shows its beginning: more of it than that is not kept.
    const auto campi = listaparole::leggiCampiByte(
        listaparole::leggiByte(percorsoLista()), listaparole::massimoParole + 1, percorsi::massimoNome + 1);
    for (const listaparole::Campo &campo : campi) {
        ++stato.numParole;
        const bool maiuscole = mnumaiuscoli->isChecked();
        if (stato.numParole > listaparole::massimoParole) {
            throw Errore(QStringLiteral("Indice fuori intervallo: la lista %1 ha più di %2 parole (riga %3)")
                             .arg(QDir::toNativeSeparators(percorsoLista()))
                             .arg(listaparole::massimoParole)
                             .arg(campo.riga));
        }
        stato.parole[std::size_t(stato.numParole)]
            = maiuscole ? regole::inMaiuscolo(campo.parola) : regole::inMinuscolo(campo.parola);
    }
}

void lettere::preparaCaselle()
{
    for (int i = 0; i < d::caselle; ++i) {
        Label1[std::size_t(i)]->setText(QString());
        // The label's accessible name is its place; its description is the letter it holds.
        Label1[std::size_t(i)]->setAccessibleDescription(QString());
        Text1[std::size_t(i)]->setText(QString());
        Label1[std::size_t(i)]->hide();
        Text1[std::size_t(i)]->hide();
    }
    const std::pair<QAction *, int> liste[] = {{mnu3, 3}, {mnu4, 4}, {mnu5, 5}, {mnu6, 6}};
    for (const auto &[voce, lettere] : liste) {
        if (!voce->isChecked())
            continue;
        for (int i = 0; i < lettere; ++i) {
            if (!mnuPc->isChecked())
                Label1[std::size_t(i)]->show();
            else
                Text1[std::size_t(i)]->show();
        }
    }
    stato.indiceParola = regole::sceltaParola(p.casuale.prossimo(), stato.numParole);
}

void lettere::nuovoTurno()
{
    stato.posizione = 0;
    preparaCaselle();
    Command1->setEnabled(false);
    try {
        mostraImmagine(parolaCorrente());
    } catch (const Errore &e) {
        // An empty list leaves the word of slot 1: say that the list is empty, not only that a
        // picture named after the empty word is missing.
        if (stato.numParole > 0)
            throw;
        throw Errore(QStringLiteral("La lista di parole è vuota: %1\n%2")
                         .arg(QDir::toNativeSeparators(percorsoLista()), e.messaggio()));
    }
    if (mnuPc->isChecked()) {
        for (CasellaTesto *t : Text1)
            t->setEnabled(false);
        Text1[0]->setEnabled(true);
        Text1[0]->setFocus();
    }
    voceDelTurno();
}

// The word's voice comes once the handler that started the turn has run to its end: the window's
// load starts two turns, and only the one the child sees may speak, once.
void lettere::voceDelTurno()
{
    if (voceInCoda)
        return;
    voceInCoda = true;
    QMetaObject::invokeMethod(this, gestore([this] {
        voceInCoda = false;
        moduloColoriSuoni.diciParola(parolaCorrente());
    }),
        Qt::QueuedConnection);
}

// A click on the picture says its word again; without a voice it does nothing.
void lettere::Image1_Click()
{
    moduloColoriSuoni.diciParola(parolaCorrente());
}

void lettere::mostraImmagine(const QString &parola)
{
    try {
        const QString percorso = immagini::percorsoParola(p.cartellaDati, parola);
        const qreal rapporto = Image1->devicePixelRatioF();
        const QSize dimensione = Image1->contentsRect().size() * rapporto;
        if (turnoNonVisto) {
            immagini::esamina(percorso, dimensione);
            return;
        }
        // The picture shown goes before the next one is decoded, or both would be held at once with
        // the decoder's buffers, the game's peak of memory; nothing is painted in between. Should
        // the next one fail, the one shown is read again, so that the window behind the error
        // message looks as it did.
        Image1->clear();
        QPixmap immagine;
        try {
            immagine = QPixmap::fromImage(immagini::caricaScalata(percorso, dimensione));
        } catch (...) {
            rimettiImmagine(dimensione, rapporto);
            throw;
        }
        immagine.setDevicePixelRatio(rapporto);
        Image1->setPixmap(immagine);
        immagineMostrata = percorso;
    } catch (const Errore &e) {
        // The word came from a list: name it, so the teacher knows which file to mend.
        throw Errore(QStringLiteral("%1\n(parola della lista %2)")
                         .arg(e.messaggio(), QDir::toNativeSeparators(percorsoLista())));
    }
}

void lettere::rimettiImmagine(QSize dimensione, qreal rapporto)
{
    if (immagineMostrata.isEmpty())
        return;
    try {
        QPixmap immagine = QPixmap::fromImage(immagini::caricaScalata(immagineMostrata, dimensione));
        immagine.setDevicePixelRatio(rapporto);
        Image1->setPixmap(immagine);
    } catch (...) {
        // Gone meanwhile too: the box stays empty behind the error that ends the game.
    }
}

void lettere::scriviConteggio(QLabel *etichetta, qint16 valore)
{
    etichetta->setText(regole::testoConteggio(valore));
    // A screen reader says what is counted along with the count.
    const QLabel *nome = etichetta == EtichettaEsatti ? Label3 : Label2;
    etichetta->setAccessibleName(nome->text() + QStringLiteral(": ") + QString::number(valore));
}

const QString &lettere::parolaCorrente() const
{
    if (stato.indiceParola < 0 || stato.indiceParola > 200)
        throw Errore(QStringLiteral("Indice fuori intervallo: parola %1").arg(stato.indiceParola));
    return stato.parole[std::size_t(stato.indiceParola)];
}

void lettere::Command1_Click()
{
    ComandoIconaSi->show();
    ComandoIconaNo->hide();
    stato.esatti = regole::contatorePiuUno(stato.esatti);
    scriviConteggio(EtichettaEsatti, stato.esatti);
    nuovoTurno();
}

void lettere::scegliLista(QAction *voce, qint16 lunghezza, const QString &nomeLista)
{
    for (QAction *a : {mnu3, mnu4, mnu5, mnu6})
        a->setChecked(a == voce);
    stato.lunghezza = lunghezza;
    stato.nomeLista = nomeLista;
    caricaLista();
    nuovoTurno();
}

void lettere::mnu3_Click()
{
    scegliLista(mnu3, 3, QStringLiteral("lista3.txt"));
}
void lettere::mnu4_Click()
{
    scegliLista(mnu4, 4, QStringLiteral("lista4.txt"));
}
void lettere::mnu5_Click()
{
    scegliLista(mnu5, 5, QStringLiteral("lista5.txt"));
}
void lettere::mnu6_Click()
{
    scegliLista(mnu6, 6, QStringLiteral("lista6.txt"));
}

void lettere::mnuAzzera_Click()
{
    stato.esatti = 0;
    stato.errati = 0;
    ComandoIconaSi->show();
    ComandoIconaNo->hide();
    scriviConteggio(EtichettaErrati, stato.errati);
    scriviConteggio(EtichettaEsatti, stato.esatti);
}

// ---- Letter entry ------------------------------------------------------------------------------

void lettere::letteraSbagliata()
{
    ComandoIconaSi->hide();
    ComandoIconaNo->show();
    stato.errati = regole::contatorePiuUno(stato.errati);
    moduloColoriSuoni.suonaNo();
    scriviConteggio(EtichettaErrati, stato.errati);
}

void lettere::batticco_Click(int indice)
{
    const QString attesa = regole::letteraAttesa(parolaCorrente(), stato.posizione);
    const QString tasto = batticco[std::size_t(indice)]->text();
    if (tasto == attesa) {
        // Past the end of the word a matching key is ignored: the row has no further label to fill.
        if (stato.posizione < stato.lunghezza) {
            Label1[std::size_t(stato.posizione)]->setText(tasto);
            Label1[std::size_t(stato.posizione)]->setAccessibleDescription(tasto);
            ++stato.posizione;
        }
    } else {
        letteraSbagliata();
    }
    if (stato.lunghezza == stato.posizione) {
        moduloColoriSuoni.suonaSi();
        Command1->setEnabled(true);
    }
}

void lettere::mnuPc_Click()
{
    mnuVideo->setChecked(false);
    mnuPc->setChecked(true);
    for (Pulsante *b : batticco)
        b->hide();
    nuovoTurno();
}

void lettere::mnuVideo_Click()
{
    mnuVideo->setChecked(true);
    mnuPc->setChecked(false);
    for (Pulsante *b : batticco)
        b->show();
    nuovoTurno();
}

void lettere::Text1_KeyPress(int, qint16 &carattere)
{
    if (mnumaiuscoli->isChecked())
        carattere = tastoInMaiuscolo(carattere);
    else
        carattere = tastoInMinuscolo(carattere);
}

void lettere::Text1_KeyUp(int indice, int codiceTasto, int)
{
    if (codiceTasto == tastiVirtuali::invio || codiceTasto == tastiVirtuali::blocMaiuscole)
        return;
    const QString attesa = regole::letteraAttesa(parolaCorrente(), stato.posizione);
    const QString scritto = Text1[std::size_t(indice)]->text();
    if (scritto != attesa) {
        letteraSbagliata();
        return;
    }
    // Once the word is complete there is no next box: a matching release is ignored, and the box
    // gets back the letter it held (Backspace or Delete emptied it, where the word ends).
    if (stato.posizione >= stato.lunghezza) {
        Text1[std::size_t(indice)]->setText(regole::letteraAttesa(parolaCorrente(), qint16(indice)));
        return;
    }
    ++stato.posizione;
    if (stato.posizione == stato.lunghezza) {
        moduloColoriSuoni.suonaSi();
        Command1->setEnabled(true);
        return;
    }
    Text1[std::size_t(indice)]->setEnabled(false);
    CasellaTesto *prossima = Text1[std::size_t(indice + 1)];
    prossima->setEnabled(true);
    prossima->setFocus();
}

// ---- Letter case, help, information and exit ---------------------------------------------------

void lettere::cambiaMaiuscole(bool maiuscole)
{
    mnumaiuscoli->setChecked(maiuscole);
    mnuminuscoli->setChecked(!maiuscole);
    for (Pulsante *b : batticco)
        b->setText(maiuscole ? regole::inMaiuscolo(b->text()) : regole::inMinuscolo(b->text()));
    for (int i = 1; i <= stato.numParole; ++i) {
        QString &parola = stato.parole[std::size_t(i)];
        parola = maiuscole ? regole::inMaiuscolo(parola) : regole::inMinuscolo(parola);
    }
    nuovoTurno();
}

void lettere::mnumaiuscoli_Click()
{
    cambiaMaiuscole(true);
}
void lettere::mnuminuscoli_Click()
{
    cambiaMaiuscole(false);
}

void lettere::SSCommand1_Click()
{
    // A list may hold a "word" of megabytes in quotes; no box can lay that out, and laying it out
    // would freeze the window. Such a word is shown by its beginning and its end, as error messages
    // are; a real word is far shorter and shows whole.
    constexpr qsizetype inizio = 40;
    constexpr qsizetype fine = 20;
    const QString &parola = parolaCorrente();
    const QString mostrata = motivi::accorciato(parola, inizio, fine);
    p.messaggi.mostra(regole::inMaiuscolo(mostrata), stile::soloOk);
    if (stato.esatti > 0)
        --stato.esatti;
}

void lettere::mnuInforma_Click()
{
    mostraInformazioni(p.messaggi);
}

void lettere::mnuEsci_Click()
{
    if (p.messaggi.mostra(
            QStringLiteral("Vuoi terminare?"), stile::iconaDomanda | stile::siNo, titoloApplicazione)
        == risposta::si)
        p.uscita.termina(0);
}
