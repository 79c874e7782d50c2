// SPDX-License-Identifier: GPL-3.0-or-later
// The checker: one walk of a data folder (lists, words, pictures, voices, sounds) by Controllo, as
// the game reads it. Over 500 lines because each kind of file has its checks here, in reading order.
#include "game/VerificaDati.h"

#include "base/errore.h"
#include "base/motivi.h"
#include "feedback/ModuloColoriSuoni.h"
#include "game/ListaParole.h"
#include "game/regole.h"
#include "game/riquadroFigura.h"
#include "ui/immagini.h"
#include "ui/percorsi.h"
#include "ui/suoni.h"
#include "ui/twips.h"
#include "ui/wav.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace verifica
{

namespace
{

// The game's picture box inside its one-pixel frame, at the desktop's usual scale: each picture is
// decoded at this size, as the game decodes it.
const QSize misuraRiquadro = riquadroFigura::interno;

// A character as a teacher can read it in a terminal: control and invisible characters by code.
QString carattere(char32_t c)
{
    const QChar::Category cat = QChar::category(c);
    if (cat == QChar::Other_Control || cat == QChar::Other_Format || cat == QChar::Other_Surrogate
        || cat == QChar::Other_NotAssigned || cat == QChar::Mark_NonSpacing || cat == QChar::Mark_Enclosing
        || QChar::isSpace(c))
        return QStringLiteral("U+%1").arg(uint(c), 4, 16, QChar(u'0')).toUpper();
    return QString::fromUcs4(&c, 1);
}

// "1 carattere", "5 caratteri".
QString quanti(qint64 n, const char *uno, const char *molti)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? uno : molti));
}

// The word between guillemets, with its blanks and control characters made visible. A word longer
// than a line shows its beginning and its end.
QString parola(const QString &intera)
{
    const QString p = motivi::accorciato(intera, 40, 20);
    QString visibile;
    for (char32_t c : p.toUcs4()) {
        if (c == U' ')
            visibile += u' ';
        else if (QChar::category(c) == QChar::Other_Control || QChar::isSpace(c))
            visibile += u'[' + carattere(c) + u']';
        else
            visibile += QString::fromUcs4(&c, 1);
    }
    return u'«' + visibile + u'»';
}

// Where a finding lies: a list, and in it a line and the word on it.
struct Luogo {
    int lettere = 0;
    QString lista;
    int riga = 0;
    QString parola;
};

// A word the game would load and could name a file with, kept for the look-up of its voice.
struct ParolaLetta {
    Luogo luogo;
    QString testo;
};

class Controllo
{
public:
    explicit Controllo(const QString &cartella)
        : cartella(cartella)
        , radice(QFileInfo(cartella).absoluteFilePath())
    {
    }

    Esito esegui()
    {
        bool qualcuna = false;
        for (int lettere = 3; lettere <= 6; ++lettere)
            qualcuna = qualcuna || QFileInfo::exists(percorsoLista(lettere));
        if (!qualcuna) {
            problema(Tipo::cartella, QStringLiteral("."), {},
                QStringLiteral("non sembra una cartella di Batticco: non c'è nessuna lista "
                               "(lista3.txt, lista4.txt, lista5.txt, lista6.txt)"));
            return std::move(esito);
        }
        cartellaImmagini();
        for (int lettere = 3; lettere <= 6; ++lettere)
            lista(lettere);
        voci();
        for (const char16_t *s : ModuloColoriSuoni::suoniSi)
            suono(QString::fromUtf16(s));
        suono(QString::fromUtf16(ModuloColoriSuoni::suonoNo));
        std::stable_partition(esito.risultati.begin(), esito.risultati.end(),
            [](const Problema &p) { return p.gravita == Gravita::problema; });
        return std::move(esito);
    }

private:
    // The path relative to the data folder, as the teacher sees the folder.
    QString relativo(const QString &percorso) const
    {
        return QDir(radice).relativeFilePath(
            QFileInfo(QDir::fromNativeSeparators(percorso)).absoluteFilePath());
    }

    // An error from the game's own readers names the file by its full path; here it is named once,
    // at the start of the line, so the full path goes.
    QString senzaPercorso(const QString &messaggio, const QString &percorso) const
    {
        QString m = messaggio;
        m.replace(QDir::toNativeSeparators(percorso), relativo(percorso));
        return m;
    }

    void problema(Tipo tipo, const QString &file, const Luogo &luogo, const QString &messaggio)
    {
        esito.risultati.push_back(
            {tipo, Gravita::problema, file, luogo.lettere, luogo.lista, luogo.riga, luogo.parola, messaggio});
    }

    void nota(Tipo tipo, const QString &file, const Luogo &luogo, const QString &messaggio)
    {
        esito.risultati.push_back(
            {tipo, Gravita::nota, file, luogo.lettere, luogo.lista, luogo.riga, luogo.parola, messaggio});
    }

    QString percorsoLista(int lettere) const
    {
        return percorsi::dati(cartella, QStringLiteral("\\lista%1.txt").arg(lettere));
    }

    // A picture folder that can be entered but not listed: the game then finds a picture only under
    // its exact name, and the lookup without regard to case or form finds nothing.
    void cartellaImmagini()
    {
        const QString jpg = percorsi::dati(cartella, QStringLiteral("\\jpg"));
        const QFileInfo info(jpg);
        if (!info.exists()) {
            problema(Tipo::cartella, QStringLiteral("jpg"), {},
                QStringLiteral("manca la cartella delle immagini"));
        } else if (!info.isDir()) {
            problema(Tipo::cartella, relativo(jpg), {},
                QStringLiteral("dovrebbe essere la cartella delle immagini, ma è un file"));
        } else if (!info.isReadable() || !info.isExecutable()) {
            problema(Tipo::cartella, relativo(jpg), {},
                QStringLiteral(
                    "la cartella delle immagini non si può %1: il gioco non trova le immagini scritte "
                    "con altre maiuscole o minuscole")
                    .arg(info.isExecutable() ? QStringLiteral("elencare") : QStringLiteral("aprire")));
        }
    }

    void lista(int lettere)
    {
        const QString percorso = percorsoLista(lettere);
        const QString file = relativo(percorso);
        const Luogo inLista {lettere, file, 0, {}};
        if (!QFileInfo::exists(percorso)) {
            problema(Tipo::lista, file, inLista,
                QStringLiteral("lista mancante: il gioco non può usare le parole di %1 lettere")
                    .arg(lettere));
            return;
        }
        QByteArray byte;
        try {
            byte = listaparole::leggiByte(percorso);
        } catch (const Errore &e) {
            problema(Tipo::lista, file, inLista, senzaPercorso(e.messaggio(), percorso));
            return;
        }
        ++esito.liste;
        codifica(inLista, byte);

        // One field more than the game takes, and one beyond that to tell an empty last line. A
        // word longer than any name is kept only as far as the messages show it.
        auto campi
            = listaparole::leggiCampiByte(byte, listaparole::massimoParole + 2, percorsi::massimoNome + 1);
        byte.clear();
        if (campi.empty()) {
            problema(Tipo::lista, file, inLista, QStringLiteral("la lista è vuota"));
            return;
        }
        if (campi.size() > std::size_t(listaparole::massimoParole)) {
            const listaparole::Campo &oltre = campi[std::size_t(listaparole::massimoParole)];
            const bool rigaVuotaInFondo = campi.size() == std::size_t(listaparole::massimoParole) + 1
                && campi.back().parola.isEmpty();
            problema(Tipo::lista, file, {lettere, file, oltre.riga, oltre.parola},
                rigaVuotaInFondo
                    ? QStringLiteral(
                        "la riga vuota alla fine conta come parola numero %1 e il gioco rifiuta la "
                        "lista: cancella la riga vuota alla fine")
                          .arg(listaparole::massimoParole + 1)
                    : QStringLiteral("più di %1 parole: il gioco rifiuta la lista a partire da qui")
                          .arg(listaparole::massimoParole));
            campi.resize(std::size_t(listaparole::massimoParole));
        }
        esito.parole += int(campi.size());

        QHash<QString, int> viste; // word in lower case -> line where it first appears
        for (const listaparole::Campo &campo : campi)
            parolaInLista({lettere, file, campo.riga, campo.parola}, campo.lunghezza, viste);
    }

    // What the word rule found, in the checker's words.
    // A word too long to name a file was kept only in part: `lunghezza` is how long it really is.
    QString difetto(
        const regole::DifettoParola &d, const QString &p, int lettere, qsizetype lunghezza = -1) const
    {
        switch (d.difetto) {
        case regole::Difetto::vuota:
            return QStringLiteral("parola vuota (una riga vuota o due virgole di seguito)");
        case regole::Difetto::troppoLunga:
            return QStringLiteral("la parola %1 ha %2 invece di %3 e non può essere il nome di un file")
                .arg(parola(p), quanti(lunghezza < 0 ? p.size() : lunghezza, "carattere", "caratteri"),
                    QString::number(lettere));
        case regole::Difetto::spazio:
            return QStringLiteral("spazio nella parola %1").arg(parola(p));
        case regole::Difetto::fuoriTastiera: {
            QStringList mostrati;
            for (char32_t c : d.caratteri)
                mostrati << carattere(c);
            return QStringLiteral("la parola %1 contiene %2, che la tastiera non ha")
                .arg(parola(p), u'«' + mostrati.join(QStringLiteral("», «")) + u'»');
        }
        // A Mac may store "è" as "e" and a separate accent: the game then counts one letter more and
        // no key gives the accent alone.
        case regole::Difetto::scomposta:
            return QStringLiteral(
                "la parola %1 ha le lettere accentate scomposte (lettera e accento separati, come "
                "le scrive un Mac): riscrivila in un altro editor")
                .arg(parola(p));
        case regole::Difetto::lunghezza:
            return QStringLiteral("la parola %1 ha %2 invece di %3")
                .arg(parola(p), quanti(p.size(), "carattere", "caratteri"), QString::number(lettere));
        case regole::Difetto::nomeFile:
            return QStringLiteral("la parola %1 non può essere il nome di un file").arg(parola(p));
        }
        return {};
    }

    void parolaInLista(const Luogo &luogo, qsizetype lunghezza, QHash<QString, int> &viste)
    {
        const QString &p = luogo.parola;
        const auto difetti = regole::difettiParola(p, luogo.lettere);
        bool nomeFile = false;
        for (const regole::DifettoParola &d : difetti) {
            if (d.difetto == regole::Difetto::vuota || d.difetto == regole::Difetto::troppoLunga) {
                problema(Tipo::parola, luogo.lista, luogo, difetto(d, p, luogo.lettere, lunghezza));
                return;
            }
            if (d.difetto == regole::Difetto::nomeFile)
                nomeFile = true;
            else
                problema(Tipo::parola, luogo.lista, luogo, difetto(d, p, luogo.lettere));
        }

        const QString chiave = regole::inMinuscolo(p);
        const auto prima = viste.constFind(chiave);
        if (prima != viste.constEnd())
            problema(Tipo::parola, luogo.lista, luogo,
                QStringLiteral("parola %1 ripetuta: c'è già alla riga %2")
                    .arg(parola(p), QString::number(*prima)));
        else
            viste.insert(chiave, luogo.riga);

        if (nomeFile) {
            problema(
                Tipo::parola, luogo.lista, luogo, difetto({regole::Difetto::nomeFile, {}}, p, luogo.lettere));
            return;
        }
        paroleLette.push_back({luogo, p});
        // The game holds the word in capitals or in small letters, as the child chooses, and looks
        // its picture up in the case in force: both must lead to a picture that plays.
        const QString maiuscola = regole::inMaiuscolo(p);
        const QString minuscola = regole::inMinuscolo(p);
        const bool c1 = QFileInfo::exists(immagini::percorsoParola(cartella, maiuscola));
        const bool c2 = QFileInfo::exists(immagini::percorsoParola(cartella, minuscola));
        if (!c1 && !c2) {
            immagine(luogo, p, QString());
            return;
        }
        immagine(luogo, maiuscola, QStringLiteral(" (scritta in maiuscolo)"));
        immagine(luogo, minuscola, QStringLiteral(" (scritta in minuscolo)"));
    }

    void immagine(const Luogo &luogo, const QString &comeTenuta, const QString &caso)
    {
        QString percorso;
        try {
            percorso = immagini::percorsoParola(cartella, comeTenuta);
        } catch (const Errore &) {
            problema(Tipo::parola, luogo.lista, luogo,
                difetto({regole::Difetto::nomeFile, {}}, luogo.parola, luogo.lettere));
            return;
        }
        const QString jpg = relativo(percorso);
        if (!QFileInfo::exists(percorso)) {
            problema(Tipo::immagine, luogo.lista, luogo,
                QStringLiteral("manca l'immagine %1 della parola %2%3").arg(jpg, parola(luogo.parola), caso)
                    + altroFormato(percorso));
            return;
        }
        // One picture, one report, however many words name it.
        if (immaginiViste.contains(percorso))
            return;
        immaginiViste.insert(percorso);

        if (!QFileInfo(percorso).isFile()) {
            problema(Tipo::immagine, jpg, luogo, QStringLiteral("non è un file"));
            return;
        }
        // By the content, as the game tells it: never by a reader Qt would pick for it.
        // A file that cannot be read at all gets the game's own reason, below.
        const QByteArray formato = immagini::formatoFile(percorso);
        if (formato != "jpeg" && QFileInfo(percorso).isReadable()) {
            const QString quale = formato.isEmpty()
                ? QStringLiteral("formato sconosciuto")
                : QStringLiteral("è in formato %1").arg(QString::fromLatin1(formato));
            problema(Tipo::immagine, jpg, luogo, QStringLiteral("non è un'immagine JPEG: %1").arg(quale));
            return;
        }
        immagini::Lettura l;
        try {
            // Decoded exactly as the game decodes it, with the same bounds, at the size of its box.
            l = immagini::esamina(percorso, misuraRiquadro);
        } catch (const Errore &e) {
            problema(Tipo::immagine, jpg, luogo, senzaPercorso(e.messaggio(), percorso));
            return;
        }
        if (l.avvisi > 0) {
            problema(Tipo::immagine, jpg, luogo,
                QStringLiteral(
                    "immagine rovinata o incompleta: il gioco ne mostra in grigio la parte mancante"));
        }
        const QSize o = l.originale;
        const QString misura = QStringLiteral("%1 x %2 pixel").arg(o.width()).arg(o.height());
        if (o.width() < misuraRiquadro.width() || o.height() < misuraRiquadro.height()) {
            nota(Tipo::immagine, jpg, luogo,
                QStringLiteral("immagine di %1, più piccola del riquadro di %2 x %3: apparirà sfocata")
                    .arg(misura)
                    .arg(misuraRiquadro.width())
                    .arg(misuraRiquadro.height()));
        }
        if (qMax(o.width(), o.height()) > qMin(o.width(), o.height()) * 3 / 2) {
            nota(Tipo::immagine, jpg, luogo,
                QStringLiteral("immagine di %1, lontana dal quadrato: nel riquadro apparirà schiacciata")
                    .arg(misura));
        }
    }

    // For a missing picture: the same name in another picture format, or with .jpeg, and what to do.
    QString altroFormato(const QString &percorso) const
    {
        const QString base = percorso.chopped(4);
        const QString nomeJpg = QFileInfo(percorso).fileName();
        for (const char *estensione : {".jpeg", ".jpe", ".png", ".gif", ".bmp", ".webp"}) {
            const QString cercato = percorsi::dati(
                base.section(u'/', 0, -2), u'\\' + base.section(u'/', -1) + QString::fromLatin1(estensione));
            if (!QFileInfo(cercato).isFile())
                continue;
            const QString trovato = relativo(cercato);
            if (immagini::formatoFile(cercato) == "jpeg")
                return QStringLiteral(": c'è %1, rinominala in %2").arg(trovato, nomeJpg);
            return QStringLiteral(": c'è %1, salvala come JPEG con il nome %2").arg(trovato, nomeJpg);
        }
        return {};
    }

    // A list the game reads but that an editor may have saved unexpectedly.
    void codifica(const Luogo &inLista, const QByteArray &byte)
    {
        const listaparole::Codifica c
            = listaparole::codifica(QByteArrayView(byte).first(qMin<qsizetype>(2, byte.size())));
        if (c == listaparole::Codifica::utf16le || c == listaparole::Codifica::utf16be) {
            nota(Tipo::lista, inLista.lista, inLista,
                QStringLiteral("lista in %1 (\"Unicode\" di Blocco note): il gioco la legge")
                    .arg(listaparole::nomeCodifica(c)));
        }
    }

    // Why the player would not play the file, in the checker's words; empty when it would. A voice
    // is said, a sound is played.
    static QString nonSuona(const QString &percorso, bool voce)
    {
        const QFileInfo info(percorso);
        if (!info.isFile())
            return voce ? QStringLiteral("la voce non è un file") : QStringLiteral("il suono non è un file");
        // The game's own rule: a sound it would not even try to play is as good as missing.
        if (!suonoGiocabile(percorso)) {
            return (voce
                    ? QStringLiteral("voce troppo grande (%1 MB): il gioco non la dice, il massimo è %2 MB")
                    : QStringLiteral(
                        "suono troppo grande (%1 MB): il gioco non lo suona, il massimo è %2 MB"))
                .arg(info.size() >> 20)
                .arg(massimoByteSuono >> 20);
        }
        QFile f(percorso);
        if (!f.open(QIODevice::ReadOnly)) {
            return (voce ? QStringLiteral("voce illeggibile (%1)") : QStringLiteral("suono illeggibile (%1)"))
                .arg(motivi::diFile(f));
        }
        // Read as the player reads it: what it would not play is reported with the reason.
        const wav::Lettura l = wav::leggi(f.read(massimoByteSuono));
        if (!l.valida()) {
            return (voce ? QStringLiteral("non è una voce WAV che il gioco sa suonare: %1")
                         : QStringLiteral("non è un suono WAV che il gioco sa suonare: %1"))
                .arg(l.errore);
        }
        return {};
    }

    void suono(const QString &nome)
    {
        const QString percorso = percorsi::dati(cartella, nome);
        const QString file = relativo(percorso);
        if (!QFileInfo::exists(percorso)) {
            problema(Tipo::suono, file, {}, QStringLiteral("suono mancante"));
            return;
        }
        const QString perche = nonSuona(percorso, false);
        if (!perche.isEmpty())
            problema(Tipo::suono, file, {}, perche);
    }

    // The teacher's voices: each word's, looked up in both letter cases as the game looks it up,
    // must play; a file no word leads to is never said; and where some words speak, a word that
    // does not is worth a note.
    void voci()
    {
        const QString percorso = percorsi::dati(cartella, QStringLiteral("\\voci"));
        const QFileInfo info(percorso);
        if (!info.exists())
            return;
        if (!info.isDir()) {
            problema(Tipo::cartella, relativo(percorso), {},
                QStringLiteral("dovrebbe essere la cartella delle voci, ma è un file"));
            return;
        }
        QSet<QString> usate;
        std::vector<const ParolaLetta *> mute;
        for (const ParolaLetta &p : paroleLette) {
            bool trovata = false;
            for (const QString &comeTenuta : {regole::inMaiuscolo(p.testo), regole::inMinuscolo(p.testo)}) {
                const QString voce = percorsoVoce(cartella, comeTenuta);
                if (voce.isEmpty() || !QFileInfo::exists(voce))
                    continue;
                trovata = true;
                if (usate.contains(voce))
                    continue;
                usate.insert(voce);
                const QString perche = nonSuona(voce, true);
                if (!perche.isEmpty())
                    problema(Tipo::voce, relativo(voce), p.luogo, perche);
            }
            if (!trovata)
                mute.push_back(&p);
        }
        const QStringList nomi
            = QDir(percorso).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &nome : nomi) {
            const QString voce = percorso + u'/' + nome;
            if (usate.contains(voce))
                continue;
            problema(Tipo::voce, relativo(voce), {},
                nome.endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive)
                    ? QStringLiteral("nessuna parola delle liste ha questa voce: il gioco non la dice mai")
                    : QStringLiteral(
                        "non è una voce: il gioco dice solo i file .wav con il nome della parola"));
        }
        if (usate.isEmpty())
            return;
        for (const ParolaLetta *p : mute) {
            nota(Tipo::voce, p->luogo.lista, p->luogo,
                QStringLiteral("la parola %1 non ha la voce (%2): il gioco non la dice")
                    .arg(parola(p->testo),
                        relativo(percorso) + u'/' + regole::senzaSpaziIniziali(p->testo)
                            + QStringLiteral(".wav")));
        }
    }

    const QString cartella;
    const QString radice;
    QSet<QString> immaginiViste;
    std::vector<ParolaLetta> paroleLette;
    Esito esito;
};

} // namespace

Esito controlla(const QString &cartella)
{
    return Controllo(cartella).esegui();
}

qsizetype Esito::quanti(Gravita gravita) const
{
    return std::count_if(
        risultati.begin(), risultati.end(), [gravita](const Problema &p) { return p.gravita == gravita; });
}

QString testo(const Problema &problema)
{
    const QString messaggio = problema.gravita == Gravita::nota
        ? QStringLiteral("nota: ") + problema.messaggio
        : problema.messaggio;
    if (problema.riga > 0 && problema.file == problema.lista)
        return QStringLiteral("%1:%2: %3").arg(problema.file, QString::number(problema.riga), messaggio);
    // A word's picture or voice: the word and its line follow.
    if (problema.riga > 0 && !problema.parola.isEmpty())
        return QStringLiteral("%1: %2 (parola %3 di %4:%5)")
            .arg(problema.file, messaggio, parola(problema.parola), problema.lista,
                QString::number(problema.riga));
    return QStringLiteral("%1: %2").arg(problema.file, messaggio);
}

QString riepilogo(const Esito &esito)
{
    const qsizetype n = esito.quanti(Gravita::problema);
    const qsizetype k = esito.quanti(Gravita::nota);
    const QString note = k == 0 ? QString() : QStringLiteral(" (%1)").arg(quanti(k, "nota", "note"));
    if (n == 0) {
        return QStringLiteral("Nessun problema: %1, %2%3.")
            .arg(quanti(esito.liste, "lista", "liste"), quanti(esito.parole, "parola", "parole"), note);
    }
    return (n == 1 ? QStringLiteral("1 problema trovato") : QStringLiteral("%1 problemi trovati").arg(n))
        + note + u'.';
}

} // namespace verifica
