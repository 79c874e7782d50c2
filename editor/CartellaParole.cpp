// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CartellaParole.h"

#include "game/regole.h"
#include "ui/errori.h"
#include "ui/immagini.h"
#include "ui/percorsi.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace
{

QString nativo(const QString &p)
{
    return QDir::toNativeSeparators(p);
}

bool accentata(char32_t c)
{
    const QString base = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_D);
    return base.size() > 1 && base[0].isLetter() && base[0].unicode() < 0x80;
}

// The word rule's finding, said to the teacher who is typing the word.
QString spiega(const regole::DifettoParola &d, const QString &parola, int lettere)
{
    switch (d.difetto) {
    case regole::Difetto::vuota:
        return QStringLiteral("Scrivi la parola.");
    case regole::Difetto::spazio:
        return QStringLiteral("Niente spazi: una parola sola, di lettere.");
    case regole::Difetto::fuoriTastiera:
        for (char32_t c : d.caratteri) {
            if (accentata(c))
                return QStringLiteral(
                    "«%1» ha una lettera accentata: la tastiera del gioco non ha il tasto %1. "
                    "Scrivi la parola senza accento, o scegline un'altra.")
                    .arg(QString::fromUcs4(&c, 1));
        }
        return QStringLiteral("Solo lettere dalla a alla z: la tastiera del gioco non ha altri tasti.");
    case regole::Difetto::scomposta:
        return QStringLiteral("La parola ha lettere e accenti separati: riscrivila.");
    case regole::Difetto::troppoLunga:
    case regole::Difetto::lunghezza:
        return QStringLiteral("«%1» ha %2 lettere: in questa lista ogni parola ne ha %3.")
            .arg(motivi::accorciato(parola, 40, 0))
            .arg(parola.size())
            .arg(lettere);
    case regole::Difetto::nomeFile:
        return QStringLiteral("«%1» non può essere il nome di un file.").arg(parola);
    }
    return {};
}

// Where each kind of companion lives: folder and extension, written as the game writes its paths.
struct Posto {
    const char16_t *cartella;
    const char16_t *estensione;
};
constexpr std::array<Posto, compagni.size()> posti {{
    {u"jpg", u".jpg"},
    {u"voci", u".wav"},
}};

constexpr qsizetype lunghissima = CartellaParole::lunghissima;
static_assert(lunghissima >= 4 * percorsi::massimoNome);

const Posto &posto(Compagno c)
{
    return posti[std::size_t(c)];
}

// The game's own lookup of a word's companion, the same for its picture and its voice.
QString percorsoGioco(const QString &cartella, Compagno c, const QString &parola)
{
    return percorsi::fileParola(cartella, posto(c).cartella, parola, posto(c).estensione).value_or(QString());
}

bool dentroDi(const QString &radice, const QString &canonico)
{
    return !radice.isEmpty() && !canonico.isEmpty() && canonico.startsWith(radice + u'/');
}

// A companion file's bytes, read only when it is a regular file of a size a picture or voice has.
Contenuto leggiContenuto(const QString &percorso)
{
    Contenuto c;
    if (percorso.isEmpty())
        return c;
    const QFileInfo info(percorso);
    if (!info.exists() && !info.isSymLink())
        return c;
    c.presente = true;
    QFile f(percorso);
    if (!info.isFile() || info.size() > immagini::massimoByte || !f.open(QIODevice::ReadOnly)) {
        c.leggibile = false;
        return c;
    }
    c.byte = f.read(immagini::massimoByte + 1);
    c.leggibile = c.byte.size() <= immagini::massimoByte;
    return c;
}

QByteArray impronta(const QByteArray &byte)
{
    return QCryptographicHash::hash(byte, QCryptographicHash::Sha256);
}

// Characters that carry text on a line, leaving out what the reader and the writer treat as form:
// blanks, quotes and commas.
qsizetype visibili(QStringView testo)
{
    qsizetype n = 0;
    for (QChar c : testo)
        n += c != u' ' && c != u'\t' && c != u'"' && c != u',';
    return n;
}

// The lines whose text the reader skips, so that writing the list again loses it: text after a
// closing quote ("orso" bruno). A word spanning lines makes its lines unsure; they are left out.
QStringList testoPerso(const QString &testo, const std::vector<listaparole::Campo> &campi)
{
    QStringView t(testo);
    if (t.endsWith(QChar(0x1A)))
        t.chop(1);
    std::vector<QStringView> linee;
    qsizetype inizio = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] != u'\r' && t[i] != u'\n')
            continue;
        linee.push_back(t.mid(inizio, i - inizio));
        if (t[i] == u'\r' && i + 1 < t.size() && t[i + 1] == u'\n')
            ++i;
        inizio = i + 1;
    }
    linee.push_back(t.mid(inizio));
    std::vector<qsizetype> nelleParole(linee.size() + 1, 0);
    std::vector<bool> incerta(linee.size() + 1, false);
    int ultima = 0;
    for (const listaparole::Campo &c : campi) {
        const auto r = std::size_t(c.riga);
        if (r > linee.size())
            continue;
        nelleParole[r] += visibili(c.parola);
        const qsizetype aCapo = c.parola.count(u'\n') + c.parola.count(u'\r');
        for (qsizetype k = 0; k <= aCapo && r + std::size_t(k) <= linee.size(); ++k)
            incerta[r + std::size_t(k)] = aCapo > 0;
        ultima = c.riga;
    }
    QStringList perse;
    for (std::size_t r = 1; r <= linee.size() && int(r) <= ultima; ++r) {
        if (incerta[r] || visibili(linee[r - 1]) <= nelleParole[r])
            continue;
        QString riga = linee[r - 1].trimmed().toString();
        if (riga.size() > 60)
            riga = riga.left(60) + QChar(0x2026);
        perse << QStringLiteral("riga %1: «%2»").arg(r).arg(riga);
    }
    return perse;
}

} // namespace

CartellaParole::CartellaParole(const QString &cartella)
    : cartella(QFileInfo(cartella).absoluteFilePath())
{
    for (int i = 0; i < numeroListe; ++i) {
        liste[i].lettere = primaLunghezza + i;
        leggi(liste[i]);
    }
}

QString CartellaParole::chiave(const QString &parola)
{
    // A "word" far longer than any file name names no file; it is not normalised each time it shows.
    if (parola.size() > lunghissima)
        return QStringLiteral("\n") + parola.left(lunghissima);
    return regole::senzaSpaziIniziali(parola).normalized(QString::NormalizationForm_C).toLower();
}

void CartellaParole::leggi(ListaInCartella &l)
{
    const QString percorso = percorsi::dati(cartella, QStringLiteral("\\lista%1.txt").arg(l.lettere));
    const QFileInfo info(percorso);
    l.esiste = info.exists() || info.isSymLink();
    l.parole.clear();
    l.righe.clear();
    l.modificata = false;
    l.errore.clear();
    l.rigaTagliata = 0;
    l.perdite.clear();
    l.impronta.clear();
    l.formato = {};
    if (!l.esiste)
        return;
    QByteArray byte;
    try {
        byte = listaparole::leggiByte(percorso);
    } catch (const Errore &e) {
        l.errore = e.messaggio();
        return;
    }
    l.impronta = impronta(byte);
    l.formato = listaparole::formato(byte);
    // One field past the game's limit tells a list the game refuses; what lies beyond is not read,
    // and of a "word" longer than any file name only enough is kept to tell it.
    std::vector<listaparole::Campo> campi
        = listaparole::leggiCampiByte(byte, std::size_t(listaparole::massimoParole) + 1, lunghissima);
    for (const listaparole::Campo &c : campi) {
        // Cut short by the reader: only such a field keeps as many characters as the limit.
        if (c.lunghezza > c.parola.size() && c.parola.size() >= lunghissima) {
            // Written back it would be cut short: the list stays as it is, for a text editor.
            l.errore
                = QStringLiteral("La riga %1 di %2 ha una parola di più di %3 caratteri, che non può essere "
                                 "il nome di un'immagine.")
                      .arg(c.riga)
                      .arg(nativo(percorso))
                      .arg(lunghissima);
            l.formato = {};
            return;
        }
    }
    if (campi.size() > std::size_t(listaparole::massimoParole)) {
        l.rigaTagliata = campi.back().riga;
        campi.pop_back();
    }
    const QString testo = listaparole::decodifica(byte);
    byte.clear();
    l.perdite = testoPerso(testo, campi);
    for (listaparole::Campo &c : campi) {
        l.parole.push_back(std::move(c.parola));
        l.righe.push_back(c.riga);
    }
}

QString CartellaParole::problemaParolaNuova(int lettere, const QString &parola) const
{
    const QString problema = problemaNome(lettere, parola);
    if (!problema.isEmpty())
        return problema;
    if (lista(lettere).parole.size() >= std::size_t(listaparole::massimoParole))
        return QStringLiteral("La lista ha già %1 parole, il massimo che il gioco legge: togline una prima.")
            .arg(listaparole::massimoParole);
    return {};
}

QString CartellaParole::problemaNome(int lettere, const QString &parola) const
{
    const auto difetti = regole::difettiParola(parola, lettere);
    if (!difetti.empty())
        return spiega(difetti.front(), parola, lettere);
    const auto [dove, indice] = trova(parola);
    if (indice >= 0)
        return dove == lettere
            ? QStringLiteral("«%1» c'è già in questa lista.").arg(parola.toLower())
            : QStringLiteral("«%1» c'è già nella lista di %2 lettere.").arg(parola.toLower()).arg(dove);
    return {};
}

void CartellaParole::controllaParoleNuove() const
{
    for (const ListaInCartella &l : liste) {
        std::vector<QString> salvate; // read only when a word fails: one the file has may go back
        bool lette = false;
        for (std::size_t i = 0; l.modificata && i < l.parole.size(); ++i) {
            if (l.righe[i] != 0)
                continue;
            const auto difetti = regole::difettiParola(l.parole[i], l.lettere);
            if (difetti.empty())
                continue;
            if (!lette) {
                try {
                    salvate = listaparole::tutteLeParole(listaparole::leggiFile(
                        percorsi::dati(cartella, QStringLiteral("\\lista%1.txt").arg(l.lettere))));
                } catch (const Errore &) {
                }
                lette = true;
            }
            // A word the file already holds (a removal undone) is the teacher's own, as she wrote it.
            if (std::find(salvate.begin(), salvate.end(), l.parole[i]) == salvate.end())
                throw Errore(QStringLiteral("Non salvo: la parola «%1» non va nella lista di %2 lettere. %3")
                                 .arg(l.parole[i])
                                 .arg(l.lettere)
                                 .arg(spiega(difetti.front(), l.parole[i], l.lettere)));
        }
    }
}

std::pair<int, int> CartellaParole::trova(const QString &parola) const
{
    for (const ListaInCartella &l : liste) {
        for (std::size_t i = 0; i < l.parole.size(); ++i) {
            if (l.parole[i].compare(parola, Qt::CaseInsensitive) == 0)
                return {l.lettere, int(i)};
        }
    }
    return {0, -1};
}

int CartellaParole::usi(const QString &parola) const
{
    int n = 0;
    for (const ListaInCartella &l : liste) {
        for (const QString &p : l.parole)
            n += p.compare(parola, Qt::CaseInsensitive) == 0;
    }
    return n;
}

int CartellaParole::raggiunta(const QString &parola) const
{
    const QString k = chiave(parola);
    int n = 0;
    for (const ListaInCartella &l : liste)
        n += int(std::count_if(
            l.parole.begin(), l.parole.end(), [&](const QString &p) { return chiave(p) == k; }));
    return n;
}

bool CartellaParole::usata(const QString &k) const
{
    for (const ListaInCartella &l : liste) {
        for (const QString &p : l.parole) {
            if (chiave(p) == k)
                return true;
        }
    }
    return false;
}

void CartellaParole::inserisci(int lettere, int indice, const QString &parola)
{
    ListaInCartella &l = liste.at(lettere - primaLunghezza);
    l.parole.insert(l.parole.begin() + indice, parola);
    l.righe.insert(l.righe.begin() + indice, 0);
    l.modificata = true;
}

void CartellaParole::togli(int lettere, int indice)
{
    ListaInCartella &l = liste.at(lettere - primaLunghezza);
    l.parole.erase(l.parole.begin() + indice);
    l.righe.erase(l.righe.begin() + indice);
    l.modificata = true;
}

void CartellaParole::rinomina(int lettere, int indice, const QString &parola)
{
    ListaInCartella &l = liste.at(lettere - primaLunghezza);
    l.parole.at(std::size_t(indice)) = parola;
    l.righe.at(std::size_t(indice)) = 0;
    l.modificata = true;
}

QString CartellaParole::file(Compagno c, const QString &parola) const
{
    if (parola.size() > lunghissima)
        return {};
    const QString p = percorsoGioco(cartella, c, parola);
    if (p.isEmpty())
        return {};
    const QFileInfo info(p);
    if (!info.isFile())
        return {};
    // A companion reached through a link that leads out of the folder is not the folder's to touch.
    return dentroDi(QFileInfo(cartella).canonicalFilePath(), info.canonicalFilePath()) ? p : QString();
}

Contenuto CartellaParole::contenuto(Compagno c, const QString &parola) const
{
    const auto it = attese[std::size_t(c)].constFind(chiave(parola));
    if (it != attese[std::size_t(c)].constEnd())
        return *it;
    return leggiContenuto(file(c, parola));
}

void CartellaParole::imposta(Compagno c, const QString &parola, const Contenuto &contenuto)
{
    // What the disk already holds waits for nothing: the file is shown and kept as it is.
    const QString k = chiave(parola);
    if (!contenuto.leggibile || contenuto == leggiContenuto(file(c, parola))) {
        dimentica(c, parola);
        return;
    }
    attese[std::size_t(c)].insert(k, contenuto);
    // No file for a word a list holds is her choice (a voice taken away); for a word taken out,
    // it is only what follows, as long as nothing else reaches the file.
    if (!contenuto.presente && usata(k))
        apposta[std::size_t(c)].insert(k);
    else
        apposta[std::size_t(c)].remove(k);
}

void CartellaParole::dimentica(Compagno c, const QString &parola)
{
    attese[std::size_t(c)].remove(chiave(parola));
    apposta[std::size_t(c)].remove(chiave(parola));
}

bool CartellaParole::ha(Compagno c, const QString &parola) const
{
    const auto it = attese[std::size_t(c)].constFind(chiave(parola));
    if (it != attese[std::size_t(c)].constEnd())
        return it->presente;
    return !file(c, parola).isEmpty();
}

QByteArray CartellaParole::inAttesa(Compagno c, const QString &parola) const
{
    const Contenuto attesa = attese[std::size_t(c)].value(chiave(parola));
    return attesa.presente ? attesa.byte : QByteArray();
}

QImage CartellaParole::immagine(const QString &parola, QSize misura) const
{
    const auto it = attese[std::size_t(Compagno::immagine)].constFind(chiave(parola));
    if (it != attese[std::size_t(Compagno::immagine)].constEnd()) {
        if (!it->presente)
            return {};
        return QImage::fromData(it->byte, "JPEG")
            .scaled(misura, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const QString f = fileImmagine(parola);
    if (f.isEmpty())
        return {};
    try {
        return immagini::caricaScalata(f, misura);
    } catch (const Errore &) {
        return {};
    }
}

void CartellaParole::impostaImmagine(const QString &parola, const QByteArray &jpeg)
{
    if (jpeg.isEmpty())
        dimentica(Compagno::immagine, parola);
    else
        imposta(Compagno::immagine, parola, {true, jpeg});
}

void CartellaParole::impostaVoce(const QString &parola, const QByteArray &wav)
{
    if (wav.isEmpty())
        dimentica(Compagno::voce, parola);
    else
        imposta(Compagno::voce, parola, {true, wav});
}

QString CartellaParole::dentro(const QString &relativo) const
{
    const QString percorso = percorsi::dati(cartella, relativo);
    // The folder that will hold the file, with every link resolved, must lie inside the folder.
    const QString radice = QFileInfo(cartella).canonicalFilePath();
    QFileInfo genitore(QFileInfo(percorso).absolutePath());
    const QString reale = genitore.exists() ? genitore.canonicalFilePath() : QString();
    if (radice.isEmpty() || reale.isEmpty() || !(reale == radice || reale.startsWith(radice + u'/')))
        throw Errore(QStringLiteral("%1 porta fuori dalla cartella %2: non lo tocco.")
                         .arg(nativo(percorso), nativo(cartella)));
    if (QFileInfo(percorso).isSymLink())
        throw Errore(QStringLiteral("%1 è un collegamento: non lo tocco.").arg(nativo(percorso)));
    return percorso;
}

void CartellaParole::scriviFile(const QString &percorso, const QByteArray &byte)
{
    QSaveFile f(percorso);
    if (!f.open(QIODevice::WriteOnly) || f.write(byte) != byte.size() || !f.commit())
        throw Errore(QStringLiteral("Non riesco a salvare %1: %2. Non si è perso niente: il file di prima è "
                                    "rimasto com'era e le modifiche sono ancora qui, da salvare.")
                         .arg(nativo(percorso), motivi::diFile(f)));
}

QString CartellaParole::destinazione(Compagno c, const QString &k, const QByteArray &byte)
{
    const QString sotto = QString::fromUtf16(posto(c).cartella);
    if (!percorsi::nomeSicuro(k))
        throw Errore(QStringLiteral("«%1» non può essere il nome di un file: non salvo i suoi file.").arg(k));
    const QString esistente = file(c, k);
    if (!esistente.isEmpty() && leggiContenuto(esistente) == Contenuto {true, byte})
        return {};
    if (!QFileInfo(percorsi::dati(cartella, u'\\' + sotto)).isDir()
        && !QDir(cartella).mkdir(percorsi::dati(cartella, u'\\' + sotto)))
        throw Errore(
            (c == Compagno::immagine ? QStringLiteral("Non riesco a creare la cartella delle immagini in %1.")
                                     : QStringLiteral("Non riesco a creare la cartella delle voci in %1."))
                .arg(nativo(cartella)));
    return esistente.isEmpty() ? dentro(u'\\' + sotto + u'\\' + k + QString::fromUtf16(posto(c).estensione))
                               : dentro(QDir(cartella).relativeFilePath(esistente));
}

QSet<QString> CartellaParole::raggiunti(Compagno c) const
{
    // The words held here and the words of the lists as they are on disk now: another program
    // may have written a list since it was read.
    QSet<QString> parole;
    for (const ListaInCartella &l : liste) {
        for (const QString &p : l.parole)
            parole.insert(p);
        const QString percorso = percorsi::dati(cartella, QStringLiteral("\\lista%1.txt").arg(l.lettere));
        try {
            for (const listaparole::Campo &campo : listaparole::leggiCampiByte(
                     listaparole::leggiByte(percorso), listaparole::massimoParole + 1, lunghissima))
                parole.insert(campo.parola);
        } catch (const Errore &) {
        }
    }
    QSet<QString> percorsi;
    for (const QString &p : std::as_const(parole)) {
        const QString f = file(c, p);
        if (!f.isEmpty())
            percorsi.insert(QFileInfo(f).canonicalFilePath());
    }
    return percorsi;
}

QStringList CartellaParole::cambiateSuDisco() const
{
    QStringList cambiate;
    for (const ListaInCartella &l : liste) {
        const QString percorso = percorsi::dati(cartella, QStringLiteral("\\lista%1.txt").arg(l.lettere));
        const QFileInfo info(percorso);
        const bool esiste = info.exists() || info.isSymLink();
        QByteArray ora;
        if (esiste && l.errore.isEmpty()) {
            try {
                ora = impronta(listaparole::leggiByte(percorso));
            } catch (const Errore &) {
            }
        }
        if (esiste != l.esiste || (l.errore.isEmpty() && ora != l.impronta))
            cambiate << QStringLiteral("lista%1.txt").arg(l.lettere);
    }
    return cambiate;
}

QStringList CartellaParole::riscritture() const
{
    QStringList r;
    for (const ListaInCartella &l : liste) {
        if (!l.modificata)
            continue;
        const QString nome = QStringLiteral("lista%1.txt").arg(l.lettere);
        for (const QString &p : l.perdite)
            r << QStringLiteral("%1, %2").arg(nome, p);
        if (l.rigaTagliata > 0)
            r << QStringLiteral("%1: il gioco legge al massimo %2 parole; tutto quello che c'è dalla riga "
                                "%3 in poi sarà tolto")
                     .arg(nome)
                     .arg(listaparole::massimoParole)
                     .arg(l.rigaTagliata);
    }
    return r;
}

void CartellaParole::salva(bool cancella)
{
    controllaParoleNuove();
    // Companions first: a list never names a word whose new picture is not yet on disk. Where
    // each goes is found before any is written: a folder just written to is listed again at each
    // lookup, which for many new words would list it once per word.
    for (Compagno c : compagni) {
        auto &a = attese[std::size_t(c)];
        std::vector<std::pair<QString, QString>> dove; // key, file to write (empty: as it is)
        for (auto it = a.constBegin(); it != a.constEnd(); ++it) {
            if (it->presente)
                dove.emplace_back(
                    it.key(), usata(it.key()) ? destinazione(c, it.key(), it->byte) : QString());
        }
        for (const auto &[k, percorso] : dove) {
            if (!percorso.isEmpty())
                scriviFile(percorso, a.value(k).byte);
            a.remove(k);
        }
    }
    for (ListaInCartella &l : liste) {
        if (!l.modificata || !l.errore.isEmpty())
            continue;
        const QString nome = dentro(QStringLiteral("\\lista%1.txt").arg(l.lettere));
        scriviFile(nome, listaparole::scriviLista(l.parole, l.formato));
        leggi(l);
    }
    if (cancella)
        cancellaInAttesa();
}

int CartellaParole::cancellaInAttesa()
{
    // Only what no list reaches by the game's own lookup goes: "sì" composed in one list and
    // decomposed in another, or " cane" beside "cane", are the same file.
    int tolti = 0;
    for (Compagno c : compagni) {
        auto &a = attese[std::size_t(c)];
        if (a.isEmpty())
            continue;
        const QSet<QString> usati = raggiunti(c);
        for (auto it = a.begin(); it != a.end();) {
            if (it->presente) {
                ++it;
                continue;
            }
            const QString f = file(c, it.key());
            const bool voluta = apposta[std::size_t(c)].contains(it.key()) && usata(it.key());
            if (!f.isEmpty()
                && (voluta || (!usati.contains(QFileInfo(f).canonicalFilePath()) && !usata(it.key())))) {
                if (!QFile::remove(dentro(QDir(cartella).relativeFilePath(f))))
                    throw Errore(QStringLiteral("Non riesco a cancellare %1.").arg(nativo(f)));
                ++tolti;
            }
            apposta[std::size_t(c)].remove(it.key());
            it = a.erase(it);
        }
    }
    return tolti;
}

QStringList CartellaParole::daCancellare() const
{
    QStringList parole;
    for (Compagno c : compagni) {
        for (auto it = attese[std::size_t(c)].constBegin(); it != attese[std::size_t(c)].constEnd(); ++it) {
            if (!it->presente && !file(c, it.key()).isEmpty() && !parole.contains(it.key()))
                parole << it.key();
        }
    }
    return parole;
}
