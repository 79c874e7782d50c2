// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's window: its commands, in the order of the menus (File: open, copy, bring words in,
// save, try the game; Modifica: add, change, remove, rename, voices), each with the questions it asks
// and what it tells her. The views (ListeParole, PannelloControllo), the dialogs, the undo steps
// (Comandi) and the stick's words (Unione, PortaParole) live in their own files; what is left here
// is the window's state that every command shares, which is why the file is long.
#include "editor/FinestraParole.h"

#include "editor/Comandi.h"
#include "editor/CopiaPersonale.h"
#include "editor/DialogoCopia.h"
#include "editor/DialogoParola.h"
#include "editor/DialogoVoce.h"
#include "editor/Guida.h"
#include "editor/ListeParole.h"
#include "editor/PannelloControllo.h"
#include "editor/PortaParole.h"
#include "editor/Presenza.h"
#include "editor/Riquadro.h"
#include "editor/Unione.h"
#include "editor/VoceComputer.h"
#include "ui/errori.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QUndoCommand>
#include <QVBoxLayout>

#include <cerrno>
#include <signal.h>

namespace
{

QString nativo(const QString &p)
{
    return QDir::toNativeSeparators(p);
}

// True when every file saving touches can be written: the folder, its lists and its picture folder.
bool cartellaScrivibile(const QString &cartella)
{
    if (!QFileInfo(cartella).isWritable())
        return false;
    for (const QString &nome : QDir(cartella).entryList(
             {QStringLiteral("lista*.txt"), QStringLiteral("jpg"), QStringLiteral("voci")},
             QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!QFileInfo(cartella + u'/' + nome).isWritable())
            return false;
    }
    return true;
}

// The game's picture from any image: a square of the right side is taken as it is, anything else
// is framed at its centre first.
QByteArray figura(const QImage &immagine)
{
    if (immagine.size() == QSize(riquadro::lato, riquadro::lato))
        return riquadro::jpeg(immagine);
    return riquadro::jpeg(riquadro::ritaglia(immagine, riquadro::alCentro(immagine.size())));
}

} // namespace

FinestraParole::FinestraParole(
    Domande &domande, const QString &installato, const QString &editor, QWidget *genitore)
    : QMainWindow(genitore)
    , domande(domande)
    , installato(installato)
    , editor(editor)
{
    setObjectName(QStringLiteral("FinestraParole"));
    auto *centro = new QWidget(this);
    auto *colonna = new QVBoxLayout(centro);

    costruisciAvviso(centro);
    colonna->addWidget(avviso);

    liste = new ListeParole(centro);
    schede = liste;
    griglie = liste->griglie;
    for (QListWidget *g : griglie) {
        connect(g, &QListWidget::itemActivated, this, [this] { protetto([this] { dialogoCambia(); }); });
        connect(g, &QListWidget::currentRowChanged, this, [this] { aggiornaAzioni(); });
        // A click selects after the current row has changed: the commands follow the selection.
        connect(g, &QListWidget::itemSelectionChanged, this, [this] { aggiornaAzioni(); });
        connect(g, &QWidget::customContextMenuRequested, this,
            [this, g](QPoint p) { protetto([&] { menuDellaParola(g, p); }); });
    }
    connect(schede, &QTabWidget::currentChanged, this, [this] { aggiornaAzioni(); });
    colonna->addWidget(schede, 1);
    setCentralWidget(centro);

    auto *dock = new QDockWidget(QStringLiteral("Controllo della cartella"), this);
    dock->setObjectName(QStringLiteral("controllo"));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    pannello = new PannelloControllo(this);
    problemi = pannello->problemi;
    riepilogo = pannello->riepilogo;
    connect(problemi, &QListWidget::itemActivated, this,
        [this](QListWidgetItem *i) { protetto([&] { vaiAlProblema(problemi->row(i)); }); });
    connect(problemi, &QListWidget::itemClicked, this,
        [this](QListWidgetItem *i) { protetto([&] { vaiAlProblema(problemi->row(i)); }); });
    dock->setWidget(pannello);
    addDockWidget(Qt::BottomDockWidgetArea, dock);
    resizeDocks({dock}, {150}, Qt::Vertical);

    costruisciMenu();
    connect(bottoneAvviso, &QPushButton::clicked, this, [this] { protetto([this] { dialogoCopia(); }); });
    connect(bottoneAggiorna, &QPushButton::clicked, this, [this] { protetto([this] { aggiornaCopia(); }); });
    connect(
        bottonePorta, &QPushButton::clicked, this, [this] { protetto([this] { portaNellaMiaCopia(); }); });
    connect(&pila, &QUndoStack::cleanChanged, this, [this](bool pulita) {
        setWindowModified(!pulita);
        aggiornaAzioni();
    });
    attesaGioco.setInterval(1000);
    connect(&attesaGioco, &QTimer::timeout, this, [this] { protetto([this] { controllaGiochi(); }); });
    // The window fits the screen it opens on at any text size: the size is in the screen's own
    // units, which large text makes fewer, less room for a title bar and a panel.
    const QRect schermo = screen()->availableGeometry();
    resize(std::min(900, schermo.width() - 16), std::min(680, schermo.height() - 64));
    aggiornaTitoli();
    aggiornaAzioni();
    aggiornaAvviso();
}

void FinestraParole::protetto(const std::function<void()> &gestore)
{
    QString motivo;
    try {
        gestore();
        return;
    } catch (const Errore &e) {
        motivo = e.messaggio();
    } catch (const std::bad_alloc &) {
        motivo = QStringLiteral("la memoria del computer non basta.");
    } catch (const std::exception &e) {
        motivo = QString::fromLocal8Bit(e.what());
    }
    domande.avvisa(QStringLiteral("Comando non riuscito"),
        QStringLiteral(
            "Il comando non è riuscito: %1\nLa finestra resta aperta con le tue modifiche: salvale "
            "se vuoi tenerle.")
            .arg(motivo));
}

FinestraParole::~FinestraParole()
{
    // The commands reach the model while the stack is cleared.
    pila.clear();
}

void FinestraParole::costruisciMenu()
{
    auto azione
        = [this](QMenu *menu, const char *nome, const QString &testo, QKeySequence tasto, auto gestore) {
              auto *a = new QAction(testo, this);
              a->setObjectName(QString::fromLatin1(nome));
              a->setShortcut(tasto);
              connect(a, &QAction::triggered, this, [this, gestore] { protetto(gestore); });
              menu->addAction(a);
              return a;
          };
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    mnuApri = azione(file, "mnuApri", QStringLiteral("&Apri una cartella…"), QKeySequence::Open,
        [this] { dialogoApri(); });
    mnuCopia = azione(file, "mnuCopia", QStringLiteral("Fai la &mia copia del gioco…"), QKeySequence(),
        [this] { dialogoCopia(); });
    mnuAggiornaCopia = azione(file, "mnuAggiornaCopia", QStringLiteral("A&ggiorna il programma della copia"),
        QKeySequence(), [this] { aggiornaCopia(); });
    mnuPorta = azione(file, "mnuPorta", QStringLiteral("P&orta qui le parole di un'altra copia…"),
        QKeySequence(), [this] { dialogoPorta(); });
    file->addSeparator();
    mnuSalva = azione(file, "mnuSalva", QStringLiteral("&Salva"), QKeySequence::Save, [this] { salva(); });
    mnuProva = azione(file, "mnuProva", QStringLiteral("&Prova il gioco"), QKeySequence(Qt::Key_F5),
        [this] { provaGioco(); });
    mnuControlla = azione(file, "mnuControlla", QStringLiteral("&Controlla la cartella"),
        QKeySequence(Qt::Key_F7), [this] { controlla(); });
    file->addSeparator();
    mnuEsci = azione(file, "mnuEsci", QStringLiteral("&Esci"), QKeySequence::Quit, [this] { close(); });

    QMenu *modifica = menuBar()->addMenu(QStringLiteral("&Modifica"));
    mnuAnnulla = pila.createUndoAction(this, QStringLiteral("&Annulla"));
    mnuAnnulla->setObjectName(QStringLiteral("mnuAnnulla"));
    mnuAnnulla->setShortcut(QKeySequence::Undo);
    mnuRifai = pila.createRedoAction(this, QStringLiteral("&Rifai"));
    mnuRifai->setObjectName(QStringLiteral("mnuRifai"));
    mnuRifai->setShortcut(QKeySequence::Redo);
    modifica->addAction(mnuAnnulla);
    modifica->addAction(mnuRifai);
    modifica->addSeparator();
    mnuAggiungi = azione(modifica, "mnuAggiungi", QStringLiteral("A&ggiungi una parola…"), QKeySequence::New,
        [this] { dialogoAggiungi(); });
    mnuCambia = azione(modifica, "mnuCambia", QStringLiteral("&Cambia l'immagine…"),
        QKeySequence(Qt::CTRL | Qt::Key_I), [this] { dialogoCambia(); });
    mnuTogli = azione(modifica, "mnuTogli", QStringLiteral("&Togli la parola"), QKeySequence::Delete,
        [this] { dialogoTogli(); });
    mnuRinomina = azione(modifica, "mnuRinomina", QStringLiteral("Ri&nomina…"), QKeySequence(Qt::Key_F2),
        [this] { dialogoRinomina(); });
    modifica->addSeparator();
    mnuVoce = azione(modifica, "mnuVoce", QStringLiteral("Registra la &voce…"),
        QKeySequence(Qt::CTRL | Qt::Key_R), [this] { dialogoVoce(); });
    mnuVociComputer
        = azione(modifica, "mnuVociComputer", QStringLiteral("Voce del c&omputer per le parole senza voce"),
            QKeySequence(), [this] { vociDelComputer(); });
    menuParola = new QMenu(this);
    menuParola->setObjectName(QStringLiteral("menuParola"));
    menuParola->addActions({mnuCambia, mnuVoce, mnuRinomina, mnuTogli});

    QMenu *aiuto = menuBar()->addMenu(QStringLiteral("&Aiuto"));
    azione(aiuto, "mnuGuida", QStringLiteral("&Guida"), QKeySequence::HelpContents,
        [this] { FinestraGuida::mostra(this, guida::file(QCoreApplication::applicationDirPath())); });
    mnuInformazioni = azione(aiuto, "mnuInformazioni", QStringLiteral("&Informazioni"), QKeySequence(),
        [this] { informazioni(); });

    costruisciBarra();
}

void FinestraParole::costruisciBarra()
{
    QToolBar *barra = addToolBar(QStringLiteral("Comandi"));
    barra->setObjectName(QStringLiteral("barra"));
    barra->setMovable(false);
    barra->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // Short names on the bar, so that with large text none of them, Annulla last, hides behind
    // its »; the menus and the tooltips say them whole.
    const std::pair<QAction *, const char16_t *> brevi[]
        = {{mnuAggiungi, u"Aggiungi"}, {mnuCambia, u"Immagine"}, {mnuVoce, u"Voce"}, {mnuTogli, u"Togli"},
            {mnuProva, u"Prova il gioco"}, {mnuAnnulla, u"Annulla"}};
    for (const auto &[a, breve] : brevi)
        a->setIconText(QString::fromUtf16(breve));
    for (QAction *a : {mnuAggiungi, mnuCambia, mnuVoce, mnuTogli, mnuSalva, mnuProva})
        barra->addAction(a);
    barra->addSeparator();
    barra->addAction(mnuAnnulla);
}

// The notice above the lists, on a pale yellow, with the buttons that act on what it says.
void FinestraParole::costruisciAvviso(QWidget *centro)
{
    avviso = new QFrame(centro);
    avviso->setFrameShape(QFrame::StyledPanel);
    avviso->setAutoFillBackground(true);
    QPalette tavolozza = avviso->palette();
    tavolozza.setColor(QPalette::Window, QColor(0xFF, 0xF4, 0xC0));
    tavolozza.setColor(QPalette::WindowText, Qt::black);
    avviso->setPalette(tavolozza);
    testoAvviso = new QLabel(avviso);
    testoAvviso->setWordWrap(true);
    testoAvviso->setTextInteractionFlags(Qt::TextSelectableByMouse);
    testoAvviso->setAccessibleName(QStringLiteral("Avviso"));
    bottoneAvviso = new QPushButton(QStringLiteral("Fai la &mia copia…"), avviso);
    bottoneAvviso->setAccessibleName(QStringLiteral("Fai la mia copia"));
    bottoneAggiorna = new QPushButton(QStringLiteral("A&ggiorna il programma"), avviso);
    bottoneAggiorna->setAccessibleName(QStringLiteral("Aggiorna il programma della copia"));
    bottonePorta = new QPushButton(QStringLiteral("&Porta le parole nella mia copia"), avviso);
    bottonePorta->setAccessibleName(QStringLiteral("Porta le parole nella mia copia"));
    auto *rigaAvviso = new QHBoxLayout(avviso);
    rigaAvviso->addWidget(testoAvviso, 1);
    rigaAvviso->addWidget(bottonePorta);
    rigaAvviso->addWidget(bottoneAggiorna);
    rigaAvviso->addWidget(bottoneAvviso);
}

QString FinestraParole::cartella() const
{
    return modello ? modello->percorso() : QString();
}

bool FinestraParole::apri(const QString &percorso)
{
    std::unique_ptr<CartellaParole> nuovo;
    try {
        if (!QFileInfo(percorso).isDir())
            throw Errore(QStringLiteral("La cartella %1 non c'è.").arg(nativo(percorso)));
        nuovo = std::make_unique<CartellaParole>(percorso);
    } catch (const Errore &e) {
        domande.avvisa(QStringLiteral("Cartella non aperta"), e.messaggio());
        return false;
    }
    pila.clear();
    modello = std::move(nuovo);
    presenza = std::make_unique<Presenza>(modello->percorso());
    liste->imposta(modello.get());
    const QString canonico = QFileInfo(percorso).canonicalFilePath();
    // The installed game's folder belongs to the package: an upgrade would overwrite any change.
    scrivibile = canonico != installato && cartellaScrivibile(percorso);
    notizia.clear();
    mostraListe();
    controlla();
    aggiornaAvviso();
    aggiornaTitoli();
    aggiornaAzioni();
    if (scrivibile)
        griglie[schede->currentIndex()]->setFocus();
    return true;
}

void FinestraParole::mostraLista(int lettere)
{
    if (rimandati) {
        rimandati->liste[std::size_t(lettere - CartellaParole::primaLunghezza)] = true;
        return;
    }
    liste->mostraLista(lettere);
    aggiornaTitoli();
    aggiornaAzioni();
}

void FinestraParole::dimenticaIcona(const QString &parola)
{
    liste->dimenticaIcona(parola);
}

void FinestraParole::seleziona(int lettere, int indice)
{
    if (rimandati)
        rimandati->selezione = {lettere, indice};
    else
        liste->seleziona(lettere, indice);
}

void FinestraParole::rimanda(bool rimanda)
{
    if (rimanda) {
        rimandati.emplace();
        return;
    }
    const Rimandati r = *std::exchange(rimandati, std::nullopt);
    for (std::size_t i = 0; i < r.liste.size(); ++i) {
        if (r.liste[i])
            mostraLista(CartellaParole::primaLunghezza + int(i));
    }
    if (r.selezione)
        seleziona(r.selezione->first, r.selezione->second);
}

int FinestraParole::listaCorrente() const
{
    return liste->listaCorrente();
}

int FinestraParole::parolaSelezionata() const
{
    return liste->parolaSelezionata();
}

void FinestraParole::mostraListe()
{
    liste->mostraListe();
    aggiornaTitoli();
    aggiornaAzioni();
}

void FinestraParole::aggiornaTitoli()
{
    liste->aggiornaTitoli();
    const QString nome
        = modello ? QFileInfo(modello->percorso()).fileName() : QStringLiteral("nessuna cartella");
    setWindowTitle(QStringLiteral("%1[*] - Parole di Batticco").arg(nome));
    if (modello) {
        const ListaInCartella &l = modello->lista(listaCorrente());
        // The encoding's name is for whoever also edits the file by hand; she reads that it is kept.
        statusBar()->showMessage(!haListe() ? nativo(modello->percorso())
                : !l.errore.isEmpty()
                ? QStringLiteral("%1 — lista%2.txt: il gioco non la legge; qui resta com'è")
                      .arg(nativo(modello->percorso()))
                      .arg(l.lettere)
                : l.esiste
                // The file keeps its letters and line ends, whoever also edits it by hand.
                ? QStringLiteral("%1 — lista di %2 lettere (lista%2.txt): salvando resta scritta come ora")
                      .arg(nativo(modello->percorso()))
                      .arg(l.lettere)
                : QStringLiteral("%1 — lista di %2 lettere: ancora nessun file, lista%2.txt nascerà al primo "
                                 "salvataggio")
                      .arg(nativo(modello->percorso()))
                      .arg(l.lettere));
    }
}

void FinestraParole::aggiornaAzioni()
{
    const bool c = modello != nullptr;
    // A list the game refuses to read is left as it is: only a text editor can mend it.
    const bool lista = c && scrivibile && modello->lista(listaCorrente()).errore.isEmpty() && haListe();
    const bool scelta = lista && parolaSelezionata() >= 0;
    mnuAggiungi->setEnabled(lista);
    mnuCambia->setEnabled(scelta);
    mnuTogli->setEnabled(scelta);
    mnuRinomina->setEnabled(scelta);
    mnuVoce->setEnabled(scelta);
    mnuVociComputer->setEnabled(c && scrivibile);
    mnuSalva->setEnabled(c && scrivibile && !pila.isClean());
    mnuProva->setEnabled(c && copiapersonale::eCartellaGioco(modello->percorso()));
    mnuControlla->setEnabled(c);
    mnuCopia->setEnabled(!installato.isEmpty());
    mnuPorta->setEnabled(c && scrivibile && haListe());
    mnuAggiornaCopia->setEnabled(c && scrivibile && !installato.isEmpty()
        && copiapersonale::programmaPiuNuovo(installato, modello->percorso()));
    if (c)
        aggiornaTitoli();
}

void FinestraParole::aggiornaAvviso()
{
    QString testo = notizia;
    bool copia = false;
    bool aggiorna = false;
    const bool porta = altraCopia();
    if (porta)
        testo += QStringLiteral(
            "Questa è un'altra copia del gioco (su una chiavetta, per esempio). Puoi portare le sue "
            "parole, con le immagini e le voci, nella tua copia di questo computer (%1): le parole "
            "nuove si aggiungono, quelle che hai già restano come sono. ")
                     .arg(nativo(copiapersonale::cartellaPredefinita()));
    if (!modello) {
        testo += QStringLiteral("Nessuna cartella aperta.");
        copia = !installato.isEmpty();
    } else if (!scrivibile) {
        const bool delGioco = QFileInfo(modello->percorso()).canonicalFilePath() == installato;
        testo += delGioco
            ? QStringLiteral(
                "Questa è la cartella del gioco installato: qui si guarda soltanto. Per cambiarla "
                "servirebbero i permessi di amministratore, e ogni aggiornamento del gioco "
                "cancellerebbe le tue parole. Fai la tua copia del gioco: avrà le tue parole e "
                "una sua voce nel menu, «Batticco - le mie parole».")
            : QStringLiteral("Non hai il permesso di scrivere in questa cartella: qui si guarda soltanto. "
                             "Puoi fare la tua copia del gioco in una cartella tua.");
        copia = !installato.isEmpty();
    } else if (!installato.isEmpty() && copiapersonale::programmaPiuNuovo(installato, modello->percorso())) {
        testo += QStringLiteral(
            "Il gioco installato è più nuovo del programma di questa copia. Puoi aggiornare il "
            "programma: liste, immagini e suoni restano come sono.");
        aggiorna = true;
    }
    if (modello)
        testo += avvisiCartella();
    testoAvviso->setText(testo.trimmed());
    // The label's name says what it is; a screen reader reads what it says from its description.
    testoAvviso->setAccessibleDescription(testo.trimmed());
    bottoneAvviso->setVisible(copia);
    bottoneAggiorna->setVisible(aggiorna);
    bottonePorta->setVisible(porta);
    avviso->setVisible(!testo.isEmpty());
    if (copia)
        bottoneAvviso->setFocus();
    else if (porta)
        bottonePorta->setFocus();
}

bool FinestraParole::haListe() const
{
    for (int n = CartellaParole::primaLunghezza;
         n < CartellaParole::primaLunghezza + CartellaParole::numeroListe; ++n) {
        if (modello->lista(n).esiste)
            return true;
    }
    return false;
}

QString FinestraParole::avvisiCartella()
{
    QString testo;
    if (!haListe())
        testo += QStringLiteral(
            "\nQui non c'è nessuna lista di Batticco (lista3.txt … lista6.txt): apri la cartella "
            "del gioco o della tua copia.");
    for (int n = CartellaParole::primaLunghezza;
         n < CartellaParole::primaLunghezza + CartellaParole::numeroListe; ++n) {
        const ListaInCartella &l = modello->lista(n);
        if (!l.errore.isEmpty())
            testo += QStringLiteral("\n%1 Il gioco si ferma con questo errore; qui la lista resta com'è.")
                         .arg(l.errore);
        else if (l.rigaTagliata > 0)
            testo += QStringLiteral(
                "\nlista%1.txt ha più di %2 parole e il gioco la rifiuta: qui vedi le prime "
                "%2. Se la cambi, salvando sarà tolto tutto quello che c'è dalla riga %3 "
                "in poi.")
                         .arg(n)
                         .arg(listaparole::massimoParole)
                         .arg(l.rigaTagliata);
    }
    if (presenza && presenza->altri() > 0)
        testo
            += QStringLiteral("\nQuesta cartella è aperta anche in un'altra finestra di Parole di Batticco: "
                              "cambiala in una sola, o salvando l'una cancelli le modifiche dell'altra.");
    const QStringList attese = modello->daCancellare();
    if (!attese.isEmpty())
        testo += QStringLiteral("\nL'immagine e la voce di %1 restano sul disco finché il gioco (o l'altra "
                                "finestra) è aperto: lì la parola c'è ancora.")
                     .arg(QStringLiteral("«%1»").arg(attese.join(QStringLiteral("», «"))));
    return testo;
}

void FinestraParole::aggiungi(int lettere, const QString &parola, const QImage &immagine)
{
    const int indice = int(modello->lista(lettere).parole.size());
    pila.push(new ComandoParola(*this, true, lettere, indice, parola, figura(immagine)));
}

void FinestraParole::cambiaImmagine(const QString &parola, const QImage &immagine)
{
    pila.push(new ComandoCompagno(*this, Compagno::immagine, parola, {true, figura(immagine)}));
}

void FinestraParole::cambiaCompagno(Compagno c, const QString &parola, const Contenuto &nuovo)
{
    pila.push(new ComandoCompagno(*this, c, parola, nuovo));
}

QString FinestraParole::problemaRinomina(int lettere, int indice, const QString &nuova) const
{
    const QString vecchia = modello->lista(lettere).parole.at(std::size_t(indice));
    if (nuova == vecchia)
        return QStringLiteral("È già «%1».").arg(nuova);
    // A change of letter case only: the word finds itself in the list, which is no clash.
    if (nuova.compare(vecchia, Qt::CaseInsensitive) == 0 && !vecchia.isEmpty()) {
        for (QChar ch : nuova) {
            if (!(ch >= u'a' && ch <= u'z') && !(ch >= u'A' && ch <= u'Z'))
                return QStringLiteral(
                    "Solo lettere dalla a alla z: la tastiera del gioco non ha altri tasti.");
        }
        return {};
    }
    return modello->problemaNome(lettere, nuova);
}

bool FinestraParole::rinomina(int lettere, int indice, const QString &nuova)
{
    if (!modello || !scrivibile || indice < 0 || indice >= int(modello->lista(lettere).parole.size()))
        return false;
    const QString problema = problemaRinomina(lettere, indice, nuova);
    if (!problema.isEmpty()) {
        domande.avvisa(QStringLiteral("Rinomina"), problema);
        return false;
    }
    pila.push(new ComandoRinomina(*this, lettere, indice, nuova));
    return true;
}

void FinestraParole::cambiaVoce(const QString &parola, const QByteArray &wav)
{
    cambiaCompagno(Compagno::voce, parola, wav.isEmpty() ? Contenuto {} : Contenuto {true, wav});
}

int FinestraParole::vociDelComputer()
{
    if (!modello || !scrivibile)
        return 0;
    QStringList senza;
    for (int n = CartellaParole::primaLunghezza;
         n < CartellaParole::primaLunghezza + CartellaParole::numeroListe; ++n) {
        for (const QString &p : modello->lista(n).parole) {
            if (!p.isEmpty() && !modello->haVoce(p) && !senza.contains(p, Qt::CaseInsensitive))
                senza << p;
        }
    }
    if (senza.isEmpty()) {
        domande.avvisa(
            QStringLiteral("Voce del computer"), QStringLiteral("Ogni parola ha già la sua voce."));
        return 0;
    }
    if (vocecomputer::programma().isEmpty()) {
        domande.avvisa(QStringLiteral("Voce del computer"), vocecomputer::voce(senza.first()).errore);
        return 0;
    }
    QProgressDialog avanzamento(
        QStringLiteral("Il computer dice le parole…"), QStringLiteral("Annulla"), 0, int(senza.size()), this);
    avanzamento.setWindowTitle(QStringLiteral("Voce del computer"));
    avanzamento.setMinimumDuration(300);
    // One step to undo: every voice made here goes back together.
    auto *tutte = new QUndoCommand(QStringLiteral("la voce del computer per %1 parole").arg(senza.size()));
    int fatte = 0;
    QString errore;
    for (int i = 0; i < senza.size() && !avanzamento.wasCanceled(); ++i) {
        avanzamento.setValue(i);
        const voce::Risultato r = vocecomputer::voce(senza[i]);
        if (r.wav.isEmpty()) {
            errore = r.errore;
            continue;
        }
        new ComandoCompagno(*this, Compagno::voce, senza[i], {true, r.wav}, tutte);
        ++fatte;
    }
    avanzamento.setValue(int(senza.size()));
    if (fatte > 0) {
        tutte->setText(QStringLiteral("la voce del computer per %1 parole").arg(fatte));
        pila.push(tutte);
    } else {
        delete tutte;
    }
    if (!errore.isEmpty())
        domande.avvisa(QStringLiteral("Voce del computer"), errore);
    return fatte;
}

bool FinestraParole::togli(int lettere, int indice)
{
    const QString parola = modello->lista(lettere).parole.at(indice);
    QString testo = QStringLiteral("Togliere «%1» dalla lista di %2 lettere?").arg(parola).arg(lettere);
    QStringList file;
    for (Compagno c : compagni) {
        const QString f = modello->file(c, parola);
        if (!f.isEmpty())
            file << QDir(modello->percorso()).relativeFilePath(f);
    }
    if (!file.isEmpty()) {
        testo += modello->raggiunta(parola) > 1
            ? QStringLiteral("\nI suoi file restano: la usa anche un'altra lista.")
            : (file.size() > 1 ? QStringLiteral("\nQuando salvi, anche %1 saranno cancellati.")
                               : QStringLiteral("\nQuando salvi, anche %1 sarà cancellato."))
                  .arg(file.join(QStringLiteral(" e ")));
    }
    testo += QStringLiteral("\nPuoi sempre annullare con Ctrl+Z, anche dopo aver salvato.");
    if (!domande.chiedi(QStringLiteral("Togli la parola"), testo, QStringLiteral("&Togli")))
        return false;
    pila.push(new ComandoParola(*this, false, lettere, indice, parola, QByteArray()));
    return true;
}

bool FinestraParole::confermaSalvataggio()
{
    const QStringList cambiate = modello->cambiateSuDisco();
    if (!cambiate.isEmpty()
        && !domande.chiedi(QStringLiteral("Cambiate da un altro programma"),
            QStringLiteral("%1 è cambiata sul disco dopo che l'hai aperta qui (forse in un'altra finestra "
                           "di Parole di Batticco, o in un editor di testo). Salvando, le tue liste prendono "
                           "il posto di quelle e le loro modifiche vanno perse.\nPer vederle prima, non "
                           "salvare e riapri la cartella.")
                .arg(cambiate.join(QStringLiteral(", "))),
            QStringLiteral("Salva lo &stesso")))
        return false;
    const QStringList riscritte = modello->riscritture();
    return riscritte.isEmpty()
        || domande.chiedi(QStringLiteral("Il salvataggio riscrive"),
            QStringLiteral("Salvando, le liste sono riscritte una parola per riga, e cambia anche quello "
                           "che il gioco non legge:\n%1\nSalvare?")
                .arg(riscritte.join(u'\n')),
            QStringLiteral("&Salva"));
}

bool FinestraParole::salva()
{
    if (!modello || !scrivibile)
        return false;
    if (!confermaSalvataggio())
        return false;
    // While the game or another editor may still show a word, its picture and voice stay on disk.
    const bool aspetta = giocoAperto() || (presenza && presenza->altri() > 0);
    try {
        modello->salva(!aspetta);
    } catch (const Errore &e) {
        domande.avvisa(QStringLiteral("Salvataggio non riuscito"), e.messaggio());
        liste->dimenticaIcone();
        mostraListe();
        return false;
    }
    pila.setClean();
    // What waits for the game or the other window goes once they have closed.
    if (aspetta && !modello->daCancellare().isEmpty())
        attesaGioco.start();
    // The icons stay: what was waiting is now on disk, byte for byte what they show.
    mostraListe();
    controlla();
    aggiornaAvviso();
    return true;
}

bool FinestraParole::giocoAperto()
{
    std::erase_if(giochi, [](qint64 pid) { return ::kill(pid_t(pid), 0) != 0 && errno != EPERM; });
    return !giochi.empty();
}

void FinestraParole::controllaGiochi()
{
    if (giocoAperto() || (presenza && presenza->altri() > 0))
        return;
    attesaGioco.stop();
    if (!modello || modello->daCancellare().isEmpty())
        return;
    try {
        modello->cancellaInAttesa();
    } catch (const Errore &e) {
        domande.avvisa(QStringLiteral("File non cancellati"), e.messaggio());
    }
    aggiornaAvviso();
}

void FinestraParole::controlla()
{
    pannello->controlla(modello.get(), pila.isClean());
}

bool FinestraParole::lavoroInCorso() const
{
    return pannello->inCorso() || liste->iconeInAttesa();
}

void FinestraParole::attendiLavoro()
{
    liste->completaIcone();
    pannello->attendi();
}

void FinestraParole::vaiAlProblema(int riga)
{
    const auto [lettere, indice] = pannello->dovePorta(riga);
    if (indice >= 0)
        seleziona(lettere, indice);
}

bool FinestraParole::provaGioco()
{
    if (!modello)
        return false;
    if (!pila.isClean() && scrivibile) {
        switch (domande.chiediSalvataggio(
            QStringLiteral("Il gioco legge i file salvati. Salvare le modifiche prima di provarlo?"))) {
        case Domande::Salvataggio::salva:
            if (!salva())
                return false;
            break;
        case Domande::Salvataggio::nonSalvare:
            break;
        case Domande::Salvataggio::annulla:
            return false;
        }
    }
    const QString programma = modello->percorso() + u'/' + QString::fromUtf16(copiapersonale::programma);
    qint64 pid = 0;
    if (!QProcess::startDetached(programma, {}, modello->percorso(), &pid)) {
        domande.avvisa(QStringLiteral("Il gioco non parte"),
            QStringLiteral(
                "Non riesco ad avviare %1. Se la cartella è su una chiavetta, forse la chiavetta non "
                "permette di avviare programmi.")
                .arg(nativo(programma)));
        return false;
    }
    // Pictures of words she takes out meanwhile wait until the game has closed.
    giochi.push_back(pid);
    attesaGioco.start();
    return true;
}

// The whiteboard launcher: beside this program, or in the installed game's folder.
QString FinestraParole::lanciatoreLavagna() const
{
    for (const QString &cartella : {QFileInfo(editor).absolutePath(), installato}) {
        const QString l = cartella + QStringLiteral("/batticco-lavagna");
        if (!cartella.isEmpty() && QFileInfo(l).isExecutable())
            return l;
    }
    return {};
}

QString FinestraParole::daCopiare() const
{
    // Her own copy, when it is the folder open, is what she carries to a stick: her words, pictures
    // and voices with the game. The installed game otherwise.
    if (modello && scrivibile && copiapersonale::eCartellaGioco(modello->percorso()))
        return modello->percorso();
    return installato;
}

bool FinestraParole::faiCopiaIn(const QString &destinazione)
{
    if (!puoiLasciare())
        return false;
    QString voce;
    try {
        copiapersonale::faiCopia(daCopiare(), destinazione);
        voce = copiapersonale::scriviVoce(destinazione, editor, lanciatoreLavagna());
    } catch (const Errore &e) {
        domande.avvisa(QStringLiteral("Copia non fatta"), e.messaggio());
        return false;
    }
    if (!apri(destinazione))
        return false;
    notizia = QStringLiteral(
        "La tua copia è pronta in %1. Nel menu delle applicazioni trovi «%2»: avvia il gioco "
        "con le tue parole. ")
                  .arg(nativo(QFileInfo(destinazione).absoluteFilePath()),
                      copiapersonale::nomeDellaVoce(destinazione));
    aggiornaAvviso();
    return true;
}

bool FinestraParole::aggiornaCopia()
{
    if (!modello || installato.isEmpty())
        return false;
    if (!domande.chiedi(QStringLiteral("Aggiorna il programma"),
            QStringLiteral(
                "Sostituire il programma della copia in %1 con quello del gioco installato? Le liste, "
                "le immagini e i suoni della copia restano come sono.")
                .arg(nativo(modello->percorso())),
            QStringLiteral("A&ggiorna")))
        return false;
    try {
        copiapersonale::aggiornaProgramma(installato, modello->percorso());
    } catch (const Errore &e) {
        domande.avvisa(QStringLiteral("Aggiornamento non riuscito"), e.messaggio());
        return false;
    }
    notizia = QStringLiteral("Il programma della copia è aggiornato. ");
    aggiornaAvviso();
    aggiornaAzioni();
    return true;
}

bool FinestraParole::altraCopia() const
{
    if (!modello || !copiapersonale::eCartellaGioco(modello->percorso()))
        return false;
    const QString qui = QFileInfo(modello->percorso()).canonicalFilePath();
    return qui != installato && qui != QFileInfo(copiapersonale::cartellaPredefinita()).canonicalFilePath();
}

bool FinestraParole::portaNellaMiaCopia()
{
    if (!altraCopia() || !puoiLasciare())
        return false;
    const QString altra = modello->percorso();
    const QString mia = copiapersonale::cartellaPredefinita();
    if (!copiapersonale::eCartellaGioco(mia)) {
        // Her first copy on this computer: the installed game, then the other copy's words brought in.
        const QString sorgente = installato.isEmpty() ? altra : installato;
        if (!domande.chiedi(QStringLiteral("Porta le parole nella mia copia"),
                QStringLiteral(
                    "Su questo computer non hai ancora la tua copia del gioco. La faccio in %1 e ci "
                    "porto le parole di %2?")
                    .arg(nativo(mia), nativo(altra)),
                QStringLiteral("&Fai la copia")))
            return false;
        try {
            copiapersonale::faiCopia(sorgente, mia);
            copiapersonale::scriviVoce(mia, editor, lanciatoreLavagna());
        } catch (const Errore &e) {
            domande.avvisa(QStringLiteral("Copia non fatta"), e.messaggio());
            return false;
        }
        if (sorgente == altra)
            return apri(mia);
    }
    if (!apri(mia))
        return false;
    if (!scrivibile) {
        domande.avvisa(QStringLiteral("Parole non portate"),
            QStringLiteral("Non hai il permesso di scrivere nella tua copia %1.").arg(nativo(mia)));
        return false;
    }
    return portaParole(altra);
}

bool FinestraParole::portaParole(const QString &altra)
{
    if (!modello || !scrivibile)
        return false;
    unione::Arrivo arrivo = unione::chiediArrivo(domande, *this, altra);
    if (!arrivo.passo)
        return false;
    pila.push(arrivo.passo.release());
    notizia = arrivo.notizia;
    aggiornaAvviso();
    if (!arrivo.fuori.isEmpty())
        domande.avvisa(QStringLiteral("Porta le parole"), arrivo.fuori);
    return true;
}

void FinestraParole::dialogoPorta()
{
    const QString scelta = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Porta qui le parole di un'altra copia"), QDir::homePath());
    if (!scelta.isEmpty())
        portaParole(scelta);
}

bool FinestraParole::puoiLasciare()
{
    if (pila.isClean() || !scrivibile)
        return true;
    switch (
        domande.chiediSalvataggio(QStringLiteral("Le modifiche alle parole di %1 non sono salvate. Salvarle?")
                                      .arg(QFileInfo(cartella()).fileName()))) {
    case Domande::Salvataggio::salva:
        return salva();
    case Domande::Salvataggio::nonSalvare:
        return true;
    case Domande::Salvataggio::annulla:
        return false;
    }
    return false;
}

void FinestraParole::changeEvent(QEvent *e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && liste->dimenticaCambiate())
        mostraListe();
}

void FinestraParole::closeEvent(QCloseEvent *e)
{
    if (!puoiLasciare()) {
        e->ignore();
        return;
    }
    e->accept();
    // Files kept for the game or another window go now, if nobody shows their words any more;
    // else they stay on disk, used by no list.
    if (modello && !giocoAperto() && !(presenza && presenza->altri() > 0)
        && !modello->daCancellare().isEmpty()) {
        try {
            modello->cancellaInAttesa();
        } catch (const Errore &) {
        }
    }
}

void FinestraParole::dialogoAggiungi()
{
    if (!modello || !scrivibile)
        return;
    const int lettere = listaCorrente();
    DialogoParola d(
        lettere, [this, lettere](const QString &p) { return modello->problemaParolaNuova(lettere, p); },
        QString(), this);
    d.offriVoce([this](const QString &p) { return registraVoce(p); });
    if (d.exec() != QDialog::Accepted)
        return;
    if (d.voce().isEmpty()) {
        aggiungi(lettere, d.parola(), d.immagine());
        return;
    }
    // The word and its voice are one step to undo.
    pila.beginMacro(QStringLiteral("l'aggiunta di «%1»").arg(d.parola()));
    aggiungi(lettere, d.parola(), d.immagine());
    cambiaVoce(d.parola(), d.voce());
    pila.endMacro();
}

QByteArray FinestraParole::registraVoce(const QString &parola)
{
    const Contenuto c = modello->contenuto(Compagno::voce, parola);
    const QByteArray attuale = c.byte.size() <= massimoByteSuono ? c.byte : QByteArray();
    DialogoVoce d(parola, attuale, *registratore, *riproduttore, this);
    return d.exec() == QDialog::Accepted ? d.voce() : QByteArray();
}

void FinestraParole::dialogoVoce()
{
    const int indice = parolaSelezionata();
    if (!modello || !scrivibile || indice < 0)
        return;
    const QString parola = modello->lista(listaCorrente()).parole.at(indice);
    const QByteArray v = registraVoce(parola);
    if (!v.isEmpty()) {
        cambiaVoce(parola, v);
        seleziona(listaCorrente(), indice);
    }
}

void FinestraParole::dialogoCambia()
{
    const int indice = parolaSelezionata();
    if (!modello || !scrivibile || indice < 0)
        return;
    const QString parola = modello->lista(listaCorrente()).parole.at(indice);
    DialogoParola d(
        listaCorrente(), [](const QString &) { return QString(); }, parola, this);
    if (d.exec() == QDialog::Accepted)
        cambiaImmagine(parola, d.immagine());
}

void FinestraParole::dialogoTogli()
{
    const int indice = parolaSelezionata();
    if (modello && mnuTogli->isEnabled() && indice >= 0)
        togli(listaCorrente(), indice);
}

void FinestraParole::dialogoRinomina()
{
    const int indice = parolaSelezionata();
    if (!modello || !mnuRinomina->isEnabled() || indice < 0)
        return;
    const int lettere = listaCorrente();
    const QString vecchia = modello->lista(lettere).parole.at(std::size_t(indice));
    QString nuova = vecchia;
    for (;;) {
        bool ok = false;
        nuova = QInputDialog::getText(this, QStringLiteral("Rinomina"),
            QStringLiteral("Nuovo nome di «%1» (la sua immagine e la sua voce la seguono):").arg(vecchia),
            QLineEdit::Normal, nuova, &ok)
                    .trimmed();
        if (!ok || nuova == vecchia)
            return;
        const QString problema = problemaRinomina(lettere, indice, nuova);
        if (problema.isEmpty())
            break;
        domande.avvisa(QStringLiteral("Rinomina"), problema);
    }
    rinomina(lettere, indice, nuova);
}

void FinestraParole::menuDellaParola(QListWidget *griglia, QPoint punto)
{
    QListWidgetItem *voce = griglia->itemAt(punto);
    if (!voce)
        return;
    griglia->setCurrentItem(voce);
    aggiornaAzioni();
    menuParola->popup(griglia->viewport()->mapToGlobal(punto));
}

void FinestraParole::dialogoApri()
{
    if (!puoiLasciare())
        return;
    const QString scelta
        = QFileDialog::getExistingDirectory(this, QStringLiteral("Apri una cartella di Batticco"),
            modello ? modello->percorso() : copiapersonale::cartellaPredefinita());
    if (!scelta.isEmpty())
        apri(scelta);
}

void FinestraParole::dialogoCopia()
{
    DialogoCopia d(daCopiare() == installato ? QString() : nativo(daCopiare()), this);
    while (d.exec() == QDialog::Accepted) {
        const QString dove = d.cartella();
        if (!dove.isEmpty() && faiCopiaIn(dove))
            return;
    }
}

void FinestraParole::informazioni()
{
    QMessageBox::about(this, QStringLiteral("Informazioni"),
        QStringLiteral("Parole di Batticco %1\nLe liste di parole e le immagini del gioco Batticco, per "
                       "insegnanti e genitori.")
            .arg(QApplication::applicationVersion()));
}
