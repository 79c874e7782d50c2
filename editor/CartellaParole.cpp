// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CartellaParole.h"

#include "game/regole.h"
#include "ui/errori.h"
#include "ui/immagini.h"
#include "ui/percorsi.h"
#include "ui/suoni.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <limits>

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
                return QStringLiteral("«%1» ha una lettera accentata: la tastiera del gioco non ha il tasto %1. "
                                      "Scrivi la parola senza accento, o scegline un'altra.")
                    .arg(QString::fromUcs4(&c, 1));
        }
        return QStringLiteral("Solo lettere dalla a alla z: la tastiera del gioco non ha altri tasti.");
    case regole::Difetto::scomposta:
        return QStringLiteral("La parola ha lettere e accenti separati: riscrivila.");
    case regole::Difetto::troppoLunga:
    case regole::Difetto::lunghezza:
        return QStringLiteral("«%1» ha %2 lettere: in questa lista ogni parola ne ha %3.")
            .arg(parola.size() > 40 ? parola.left(40) + QChar(0x2026) : parola)
            .arg(parola.size())
            .arg(lettere);
    case regole::Difetto::nomeFile:
        return QStringLiteral("«%1» non può essere il nome di un file.").arg(parola);
    }
    return {};
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

void CartellaParole::leggi(ListaInCartella &l)
{
    const QString percorso = percorsi::dati(cartella, QStringLiteral("\\lista%1.txt").arg(l.lettere));
    l.esiste = QFileInfo::exists(percorso);
    l.parole.clear();
    l.righe.clear();
    l.modificata = false;
    if (!l.esiste) {
        l.formato = {};
        return;
    }
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly) || f.size() > listaparole::massimoByte)
        throw Errore(QStringLiteral("Non riesco a leggere la lista %1.").arg(nativo(percorso)));
    const QByteArray byte = f.readAll();
    l.formato = listaparole::formato(byte);
    for (const listaparole::Campo &c :
        listaparole::leggiCampi(listaparole::decodifica(byte), std::numeric_limits<std::size_t>::max())) {
        l.parole.push_back(c.parola);
        l.righe.push_back(c.riga);
    }
}

QString CartellaParole::problemaParolaNuova(int lettere, const QString &parola) const
{
    const auto difetti = regole::difettiParola(parola, lettere);
    if (!difetti.empty())
        return spiega(difetti.front(), parola, lettere);
    const auto [dove, indice] = trova(parola);
    if (indice >= 0)
        return dove == lettere
            ? QStringLiteral("«%1» c'è già in questa lista.").arg(parola.toLower())
            : QStringLiteral("«%1» c'è già nella lista di %2 lettere.").arg(parola.toLower()).arg(dove);
    if (lista(lettere).parole.size() >= std::size_t(listaparole::massimoParole))
        return QStringLiteral("La lista ha già %1 parole, il massimo che il gioco legge: togline una prima.")
            .arg(listaparole::massimoParole);
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
                QFile f(percorsi::dati(cartella, QStringLiteral("\\lista%1.txt").arg(l.lettere)));
                if (f.open(QIODevice::ReadOnly) && f.size() <= listaparole::massimoByte)
                    salvate = listaparole::tutteLeParole(listaparole::decodifica(f.readAll()));
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

void CartellaParole::inserisci(int lettere, int indice, const QString &parola)
{
    ListaInCartella &l = liste.at(lettere - primaLunghezza);
    const QString k = chiave(parola);
    if (!nuove.contains(k) && cestino.contains(k) && fileImmagine(parola).isEmpty())
        nuove.insert(k, cestino.value(k));
    if (!nuoveVoci.contains(k) && cestinoVoci.contains(k) && fileVoce(parola).isEmpty())
        nuoveVoci.insert(k, cestinoVoci.value(k));
    l.parole.insert(l.parole.begin() + indice, parola);
    l.righe.insert(l.righe.begin() + indice, 0);
    l.modificata = true;
}

void CartellaParole::togli(int lettere, int indice, bool liberaImmagine)
{
    ListaInCartella &l = liste.at(lettere - primaLunghezza);
    if (liberaImmagine)
        tolte.insert(chiave(l.parole.at(indice)));
    l.parole.erase(l.parole.begin() + indice);
    l.righe.erase(l.righe.begin() + indice);
    l.modificata = true;
}

QString CartellaParole::fileImmagine(const QString &parola) const
{
    try {
        const QString p = immagini::percorsoParola(cartella, parola);
        return QFileInfo(p).isFile() ? p : QString();
    } catch (const Errore &) {
        return {};
    }
}

QImage CartellaParole::immagine(const QString &parola, QSize misura) const
{
    const QByteArray attesa = nuove.value(chiave(parola));
    if (!attesa.isEmpty())
        return QImage::fromData(attesa).scaled(misura, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QString file = fileImmagine(parola);
    if (file.isEmpty())
        return {};
    try {
        return immagini::caricaScalata(file, misura);
    } catch (const Errore &) {
        return {};
    }
}

void CartellaParole::impostaImmagine(const QString &parola, const QByteArray &jpeg)
{
    if (jpeg.isEmpty())
        nuove.remove(chiave(parola));
    else
        nuove.insert(chiave(parola), jpeg);
}

QString CartellaParole::fileVoce(const QString &parola) const
{
    // The game's own lookup: leading spaces dropped, either case, NFC or NFD.
    const QString p = percorsoVoce(cartella, parola);
    return !p.isEmpty() && QFileInfo(p).isFile() ? p : QString();
}

void CartellaParole::impostaVoce(const QString &parola, const QByteArray &wav)
{
    if (wav.isEmpty())
        nuoveVoci.remove(chiave(parola));
    else
        nuoveVoci.insert(chiave(parola), wav);
}

bool CartellaParole::haVoce(const QString &parola) const
{
    return nuoveVoci.contains(chiave(parola)) || !fileVoce(parola).isEmpty();
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

void CartellaParole::salva()
{
    controllaParoleNuove();
    // Pictures and voices first: a list never names a word whose new file is not yet on disk.
    salvaFile(nuove, QStringLiteral("jpg"), QStringLiteral(".jpg"), [this](const QString &p) { return fileImmagine(p); });
    salvaFile(nuoveVoci, QStringLiteral("voci"), QStringLiteral(".wav"), [this](const QString &p) { return fileVoce(p); });
    for (ListaInCartella &l : liste) {
        if (!l.modificata)
            continue;
        const QString nome = dentro(QStringLiteral("\\lista%1.txt").arg(l.lettere));
        listaparole::Formato usato;
        scriviFile(nome, listaparole::scriviLista(l.parole, l.formato, &usato));
        leggi(l);
    }
    // Then the pictures and voices nobody uses any more.
    for (const QString &parola : std::as_const(tolte)) {
        if (usi(parola) > 0)
            continue;
        cestina(fileImmagine(parola), cestino, parola);
        cestina(fileVoce(parola), cestinoVoci, parola);
    }
    tolte.clear();
}

void CartellaParole::salvaFile(QHash<QString, QByteArray> &attesa, const QString &sottocartella,
    const QString &estensione, const std::function<QString(const QString &)> &esistente)
{
    for (auto it = attesa.begin(); it != attesa.end();) {
        if (usi(it.key()) == 0) {
            it = attesa.erase(it);
            continue;
        }
        if (!QFileInfo(cartella + u'/' + sottocartella).isDir()
            && !QDir(cartella).mkdir(percorsi::dati(cartella, u'\\' + sottocartella)))
            throw Errore((sottocartella == u"jpg" ? QStringLiteral("Non riesco a creare la cartella delle immagini in %1.")
                                                  : QStringLiteral("Non riesco a creare la cartella delle voci in %1."))
                             .arg(nativo(cartella)));
        QString nome = esistente(it.key());
        if (nome.isEmpty())
            nome = dentro(u'\\' + sottocartella + u'\\' + it.key() + estensione);
        else
            nome = dentro(QDir(cartella).relativeFilePath(nome));
        scriviFile(nome, it.value());
        it = attesa.erase(it);
    }
}

void CartellaParole::cestina(const QString &file, QHash<QString, QByteArray> &cestino, const QString &parola)
{
    if (file.isEmpty())
        return;
    const QString nome = dentro(QDir(cartella).relativeFilePath(file));
    QFile f(nome);
    if (f.open(QIODevice::ReadOnly))
        cestino.insert(parola, f.readAll());
    f.close();
    QFile::remove(nome);
}
