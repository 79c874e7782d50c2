// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/immagini.h"

#include "game/regole.h"
#include "ui/errori.h"
#include "ui/percorsi.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace immagini
{

QString percorsoParola(const QString &cartellaDati, QStringView parola)
{
    const QString nome = regole::senzaSpaziIniziali(parola);
    // A "word" of megabytes is refused before any path is built around it; the message shows the
    // beginning of such a name.
    if (!percorsi::nomeSicuro(nome)) {
        const QString mostrato = nome.size() > 40 ? nome.left(40) + QChar(0x2026) : nome;
        throw Errore(QStringLiteral("Immagine illeggibile: %1 (nome non valido)")
                         .arg(QDir::toNativeSeparators(
                             cartellaDati + QStringLiteral("/jpg/") + mostrato + QStringLiteral(".jpg"))));
    }
    return percorsi::dati(cartellaDati, QStringLiteral("\\jpg\\") + nome + QStringLiteral(".jpg"));
}

QImage caricaScalata(const QString &percorso, QSize dimensione)
{
    const QString nome = QDir::toNativeSeparators(percorso);
    if (!QFileInfo(percorso).isFile())
        throw Errore(QStringLiteral("Immagine non trovata: %1").arg(nome));

    QImageReader lettore(percorso);
    const QSize originale = lettore.size();
    if (!originale.isValid() || originale.isEmpty())
        throw Errore(QStringLiteral("Immagine illeggibile: %1 (%2)").arg(nome, lettore.errorString()));
    if (qint64(originale.width()) * originale.height() > massimoPixel)
        throw Errore(QStringLiteral("Immagine troppo grande: %1 (%2 x %3 pixel)")
                         .arg(nome)
                         .arg(originale.width())
                         .arg(originale.height()));

    // Scaling in the decoder only ever shrinks well; a small picture is decoded whole and stretched.
    const bool riduci = originale.width() >= dimensione.width() && originale.height() >= dimensione.height();
    if (riduci)
        lettore.setScaledSize(dimensione);
    QImage immagine = lettore.read();
    if (immagine.isNull())
        throw Errore(QStringLiteral("Immagine illeggibile: %1 (%2)").arg(nome, lettore.errorString()));
    if (immagine.size() != dimensione)
        immagine = immagine.scaled(dimensione, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return immagine;
}

} // namespace immagini
