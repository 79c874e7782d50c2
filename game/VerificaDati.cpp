// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/VerificaDati.h"

#include "feedback/ModuloColoriSuoni.h"
#include "game/ListaParole.h"
#include "game/lettereDesign.h"
#include "game/regole.h"
#include "ui/errori.h"
#include "ui/immagini.h"
#include "ui/percorsi.h"
#include "ui/suoni.h"
#include "ui/wav.h"
#include "ui/twips.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace verifica
{

namespace
{

// The game's picture box inside its one-pixel frame, at the desktop's usual scale: each picture is
// decoded at this size, as the game decodes it.
const QSize misuraRiquadro = twips::inPixel(lettereDesign::Image1).size() - QSize(2, 2);

bool lettera(char32_t c)
{
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

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
    constexpr qsizetype inizio = 40;
    constexpr qsizetype fine = 20;
    const bool lunga = intera.size() > inizio + fine + 1;
    const QString p = lunga ? intera.left(inizio) + QChar(0x2026) + intera.right(fine) : intera;
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
            problema(QStringLiteral("."), 0,
                QStringLiteral("non sembra una cartella di Batticco: non c'è nessuna lista "
                               "(lista3.txt, lista4.txt, lista5.txt, lista6.txt)"));
            return std::move(esito);
        }
        cartellaImmagini();
        for (int lettere = 3; lettere <= 6; ++lettere)
            lista(lettere);
        for (const char16_t *s : ModuloColoriSuoni::suoniSi)
            suono(QString::fromUtf16(s));
        suono(QString::fromUtf16(ModuloColoriSuoni::suonoNo));
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

    void problema(const QString &file, int riga, const QString &messaggio)
    {
        esito.problemi.push_back({file, riga, messaggio});
    }

    void nota(const QString &file, int riga, const QString &messaggio)
    {
        esito.note.push_back({file, riga, messaggio});
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
            problema(QStringLiteral("jpg"), 0, QStringLiteral("manca la cartella delle immagini"));
        } else if (!info.isDir()) {
            problema(
                relativo(jpg), 0, QStringLiteral("dovrebbe essere la cartella delle immagini, ma è un file"));
        } else if (!info.isReadable() || !info.isExecutable()) {
            problema(relativo(jpg), 0,
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
        if (!QFileInfo::exists(percorso)) {
            problema(file, 0,
                QStringLiteral("lista mancante: il gioco non può usare le parole di %1 lettere")
                    .arg(lettere));
            return;
        }
        QByteArray byte;
        try {
            byte = listaparole::leggiByte(percorso);
        } catch (const Errore &e) {
            problema(file, 0, senzaPercorso(e.messaggio(), percorso));
            return;
        }
        ++esito.liste;
        codifica(file, byte);

        // One field more than the game takes, and one beyond that to tell an empty last line. A
        // word longer than any name is kept only as far as the messages show it.
        auto campi = listaparole::leggiCampiByte(
            byte, listaparole::massimoParole + 2, percorsi::massimoNome + 1);
        byte.clear();
        if (campi.empty()) {
            problema(file, 0, QStringLiteral("la lista è vuota"));
            return;
        }
        if (campi.size() > std::size_t(listaparole::massimoParole)) {
            const bool rigaVuotaInFondo = campi.size() == std::size_t(listaparole::massimoParole) + 1
                && campi.back().parola.isEmpty();
            problema(file, campi[std::size_t(listaparole::massimoParole)].riga,
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
            voce(file, lettere, campo, viste);
    }

    void voce(const QString &file, int lettere, const listaparole::Campo &campo, QHash<QString, int> &viste)
    {
        const QString &p = campo.parola;
        const int riga = campo.riga;
        if (p.isEmpty()) {
            problema(file, riga, QStringLiteral("parola vuota (una riga vuota o due virgole di seguito)"));
            return;
        }
        // A "word" longer than any name (megabytes in quotes, say) is said once, without copying it.
        if (campo.lunghezza > percorsi::massimoNome) {
            problema(file, riga,
                QStringLiteral("la parola %1 ha %2 invece di %3 e non può essere il nome di un file")
                    .arg(parola(p), quanti(campo.lunghezza, "carattere", "caratteri"),
                        QString::number(lettere)));
            return;
        }

        bool spazio = false;
        bool controllo = false;
        QStringList mancanti;
        for (char32_t c : p.toUcs4()) {
            if (QChar::isSpace(c)) {
                spazio = true;
            } else if (!lettera(c)) {
                const QString mostrato = carattere(c);
                if (!mancanti.contains(mostrato))
                    mancanti << mostrato;
            }
            if (QChar::category(c) == QChar::Other_Control)
                controllo = true;
        }
        if (spazio)
            problema(file, riga, QStringLiteral("spazio nella parola %1").arg(parola(p)));
        if (!mancanti.isEmpty()) {
            problema(file, riga,
                QStringLiteral("la parola %1 contiene %2, che la tastiera non ha")
                    .arg(parola(p), u'«' + mancanti.join(QStringLiteral("», «")) + u'»'));
        }
        // A Mac may store "è" as "e" and a separate accent: the game then counts one letter more and
        // no key gives the accent alone.
        if (p != p.normalized(QString::NormalizationForm_C)) {
            problema(file, riga,
                QStringLiteral(
                    "la parola %1 ha le lettere accentate scomposte (lettera e accento separati, come "
                    "le scrive un Mac): riscrivila in un altro editor")
                    .arg(parola(p)));
        }
        // The game compares letter by letter, one UTF-16 unit at a time, against this many boxes.
        if (p.size() != lettere) {
            problema(file, riga,
                QStringLiteral("la parola %1 ha %2 invece di %3")
                    .arg(parola(p), quanti(p.size(), "carattere", "caratteri"), QString::number(lettere)));
        }

        const QString chiave = regole::inMinuscolo(p);
        const auto prima = viste.constFind(chiave);
        if (prima != viste.constEnd())
            problema(file, riga,
                QStringLiteral("parola %1 ripetuta: c'è già alla riga %2")
                    .arg(parola(p), QString::number(*prima)));
        else
            viste.insert(chiave, riga);

        if (controllo || !percorsi::nomeSicuro(regole::senzaSpaziIniziali(p))) {
            problema(
                file, riga, QStringLiteral("la parola %1 non può essere il nome di un file").arg(parola(p)));
            return;
        }
        // The game holds the word in capitals or in small letters, as the child chooses, and looks
        // its picture up in the case in force: both must lead to a picture that plays.
        const QString maiuscola = regole::inMaiuscolo(p);
        const QString minuscola = regole::inMinuscolo(p);
        const bool c1 = QFileInfo::exists(immagini::percorsoParola(cartella, maiuscola));
        const bool c2 = QFileInfo::exists(immagini::percorsoParola(cartella, minuscola));
        if (!c1 && !c2) {
            immagine(file, riga, p, p, QString());
            return;
        }
        immagine(file, riga, p, maiuscola, QStringLiteral(" (scritta in maiuscolo)"));
        immagine(file, riga, p, minuscola, QStringLiteral(" (scritta in minuscolo)"));
    }

    void immagine(
        const QString &file, int riga, const QString &p, const QString &comeTenuta, const QString &caso)
    {
        QString percorso;
        try {
            percorso = immagini::percorsoParola(cartella, comeTenuta);
        } catch (const Errore &) {
            problema(
                file, riga, QStringLiteral("la parola %1 non può essere il nome di un file").arg(parola(p)));
            return;
        }
        const QString jpg = relativo(percorso);
        if (!QFileInfo::exists(percorso)) {
            problema(file, riga,
                QStringLiteral("manca l'immagine %1 della parola %2%3").arg(jpg, parola(p), caso)
                    + altroFormato(percorso));
            return;
        }
        // One picture, one report, however many words name it.
        if (immaginiViste.contains(percorso))
            return;
        immaginiViste.insert(percorso);

        const QString dove
            = QStringLiteral(" (parola %1 di %2:%3)").arg(parola(p), file, QString::number(riga));
        if (!QFileInfo(percorso).isFile()) {
            problema(jpg, 0, QStringLiteral("non è un file") + dove);
            return;
        }
        // By the content, as the game tells it: never by a reader Qt would pick for it.
        // A file that cannot be read at all gets the game's own reason, below.
        const QByteArray formato = immagini::formatoFile(percorso);
        if (formato != "jpeg" && QFileInfo(percorso).isReadable()) {
            const QString quale = formato.isEmpty()
                ? QStringLiteral("formato sconosciuto")
                : QStringLiteral("è in formato %1").arg(QString::fromLatin1(formato));
            problema(jpg, 0, QStringLiteral("non è un'immagine JPEG: %1").arg(quale) + dove);
            return;
        }
        immagini::Lettura l;
        try {
            // Decoded exactly as the game decodes it, with the same bounds, at the size of its box.
            l = immagini::leggi(percorso, misuraRiquadro);
        } catch (const Errore &e) {
            problema(jpg, 0, senzaPercorso(e.messaggio(), percorso) + dove);
            return;
        }
        if (l.avvisi > 0) {
            problema(jpg, 0,
                QStringLiteral(
                    "immagine rovinata o incompleta: il gioco ne mostra in grigio la parte mancante")
                    + dove);
        }
        const QSize o = l.originale;
        const QString misura = QStringLiteral("%1 x %2 pixel").arg(o.width()).arg(o.height());
        if (o.width() < misuraRiquadro.width() || o.height() < misuraRiquadro.height()) {
            nota(jpg, 0,
                QStringLiteral("immagine di %1, più piccola del riquadro di %2 x %3: apparirà sfocata")
                    .arg(misura)
                    .arg(misuraRiquadro.width())
                    .arg(misuraRiquadro.height()));
        }
        if (qMax(o.width(), o.height()) > qMin(o.width(), o.height()) * 3 / 2) {
            nota(jpg, 0,
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
    void codifica(const QString &file, const QByteArray &byte)
    {
        const listaparole::Codifica c = listaparole::codifica(QByteArrayView(byte).first(qMin<qsizetype>(2, byte.size())));
        if (c == listaparole::Codifica::utf16le || c == listaparole::Codifica::utf16be) {
            nota(file, 0,
                QStringLiteral("lista in %1 (\"Unicode\" di Blocco note): il gioco la legge")
                    .arg(listaparole::nomeCodifica(c)));
        }
    }

    void suono(const QString &nome)
    {
        const QString percorso = percorsi::dati(cartella, nome);
        const QString file = relativo(percorso);
        const QFileInfo info(percorso);
        if (!info.exists()) {
            problema(file, 0, QStringLiteral("suono mancante"));
            return;
        }
        if (!info.isFile()) {
            problema(file, 0, QStringLiteral("il suono non è un file"));
            return;
        }
        // The game's own rule: a sound it would not even try to play is as good as missing.
        if (!suonoGiocabile(percorso)) {
            problema(file, 0,
                QStringLiteral("suono troppo grande (%1 MB): il gioco non lo suona, il massimo è %2 MB")
                    .arg(info.size() >> 20)
                    .arg(massimoByteSuono >> 20));
            return;
        }
        QFile f(percorso);
        if (!f.open(QIODevice::ReadOnly)) {
            problema(file, 0,
                QStringLiteral("suono illeggibile (%1)").arg(motivi::diFile(f)));
            return;
        }
        // Read as the player reads it: what it would not play is reported with the reason.
        const wav::Lettura l = wav::leggi(f.read(massimoByteSuono));
        if (!l.valida())
            problema(file, 0, QStringLiteral("non è un suono WAV che il gioco sa suonare: %1").arg(l.errore));
    }

    const QString cartella;
    const QString radice;
    QSet<QString> immaginiViste;
    Esito esito;
};

} // namespace

Esito controlla(const QString &cartella)
{
    return Controllo(cartella).esegui();
}

QString testo(const Problema &problema)
{
    if (problema.riga > 0)
        return QStringLiteral("%1:%2: %3")
            .arg(problema.file, QString::number(problema.riga), problema.messaggio);
    return QStringLiteral("%1: %2").arg(problema.file, problema.messaggio);
}

QString testoNota(const Problema &nota)
{
    Problema p = nota;
    p.messaggio = QStringLiteral("nota: ") + p.messaggio;
    return testo(p);
}

QString riepilogo(const Esito &esito)
{
    const auto n = qint64(esito.problemi.size());
    const QString note = esito.note.empty()
        ? QString()
        : QStringLiteral(" (%1)").arg(quanti(qint64(esito.note.size()), "nota", "note"));
    if (n == 0) {
        return QStringLiteral("Nessun problema: %1, %2%3.")
            .arg(quanti(esito.liste, "lista", "liste"), quanti(esito.parole, "parola", "parole"), note);
    }
    return (n == 1 ? QStringLiteral("1 problema trovato") : QStringLiteral("%1 problemi trovati").arg(n))
        + note + u'.';
}

} // namespace verifica
