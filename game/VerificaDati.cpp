// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/VerificaDati.h"

#include "feedback/ModuloColoriSuoni.h"
#include "game/ListaParole.h"
#include "game/lettereDesign.h"
#include "game/regole.h"
#include "ui/errori.h"
#include "ui/immagini.h"
#include "ui/percorsi.h"
#include "ui/twips.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
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
        || cat == QChar::Other_NotAssigned || QChar::isSpace(c))
        return QStringLiteral("U+%1").arg(uint(c), 4, 16, QChar(u'0')).toUpper();
    return QString::fromUcs4(&c, 1);
}

// The word between guillemets, with its blanks and control characters made visible.
QString parola(const QString &p)
{
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

    void lista(int lettere)
    {
        const QString percorso = percorsi::dati(cartella, QStringLiteral("\\lista%1.txt").arg(lettere));
        const QString file = relativo(percorso);
        if (!QFileInfo::exists(percorso)) {
            problema(file, 0,
                QStringLiteral("lista mancante: il gioco non può usare le parole di %1 lettere")
                    .arg(lettere));
            return;
        }
        QString contenuto;
        try {
            contenuto = listaparole::leggiFile(percorso);
        } catch (const Errore &e) {
            problema(file, 0, senzaPercorso(e.messaggio(), percorso));
            return;
        }
        ++esito.liste;

        auto campi = listaparole::leggiCampi(contenuto, listaparole::massimoParole + 1);
        if (campi.empty()) {
            problema(file, 0, QStringLiteral("la lista è vuota"));
            return;
        }
        if (campi.size() > std::size_t(listaparole::massimoParole)) {
            problema(file, campi.back().riga,
                QStringLiteral("più di %1 parole: il gioco rifiuta la lista a partire da qui")
                    .arg(listaparole::massimoParole));
            campi.pop_back();
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
        // The game compares letter by letter, one UTF-16 unit at a time, against this many boxes.
        if (p.size() != lettere) {
            problema(file, riga,
                QStringLiteral("la parola %1 ha %2 caratteri invece di %3")
                    .arg(parola(p), QString::number(p.size()), QString::number(lettere)));
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
                QStringLiteral("manca l'immagine %1 della parola %2%3").arg(jpg, parola(p), caso));
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
        QImageReader lettore(percorso);
        const QByteArray formato = lettore.format();
        if (formato != "jpeg") {
            const QString quale = formato.isEmpty()
                ? QStringLiteral("formato sconosciuto")
                : QStringLiteral("è in formato %1").arg(QString::fromLatin1(formato));
            problema(jpg, 0, QStringLiteral("non è un'immagine JPEG: %1").arg(quale) + dove);
            return;
        }
        try {
            // Decoded exactly as the game decodes it, at the size of the game's picture box.
            immagini::caricaScalata(percorso, misuraRiquadro);
        } catch (const Errore &e) {
            problema(jpg, 0, senzaPercorso(e.messaggio(), percorso) + dove);
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
        QFile f(percorso);
        if (!f.open(QIODevice::ReadOnly)) {
            problema(file, 0, QStringLiteral("suono illeggibile (%1)").arg(f.errorString()));
            return;
        }
        const QByteArray testa = f.read(12);
        if (testa.size() < 12 || !testa.startsWith("RIFF") || testa.sliced(8, 4) != "WAVE")
            problema(file, 0, QStringLiteral("non è un suono WAV (manca l'intestazione RIFF/WAVE)"));
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

QString riepilogo(const Esito &esito)
{
    const auto n = esito.problemi.size();
    if (n == 0) {
        return QStringLiteral("Nessun problema: %1 %2, %3 %4.")
            .arg(esito.liste)
            .arg(esito.liste == 1 ? QStringLiteral("lista") : QStringLiteral("liste"))
            .arg(esito.parole)
            .arg(esito.parole == 1 ? QStringLiteral("parola") : QStringLiteral("parole"));
    }
    return n == 1 ? QStringLiteral("1 problema trovato.") : QStringLiteral("%1 problemi trovati.").arg(n);
}

} // namespace verifica
