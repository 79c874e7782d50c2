// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/Guida.h"

#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace guida
{

QString file(const QString &cartellaProgramma)
{
    const QString percorso
        = QDir::cleanPath(cartellaProgramma + QStringLiteral("/../share/batticco/guida/liste.md"));
    return QFileInfo(percorso).isFile() ? percorso : QString();
}

} // namespace guida

FinestraGuida::FinestraGuida(const QString &file, QWidget *genitore)
    : QWidget(genitore, Qt::Window)
{
    setObjectName(QStringLiteral("guida"));
    setWindowTitle(QStringLiteral("Guida - Parole di Batticco"));
    testo = new QTextBrowser(this);
    testo->setObjectName(QStringLiteral("testoGuida"));
    // Links to the web open in her browser, when she has one; the guide itself needs none.
    testo->setOpenExternalLinks(true);
    testo->document()->setDocumentMargin(12);
    auto *colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(0, 0, 0, 0);
    colonna->addWidget(testo);
    if (file.isEmpty()) {
        testo->setMarkdown(
            QStringLiteral("# Guida\n\nLa guida non è installata con il programma: "
                           "la trovi nel pacchetto di Batticco, in `share/batticco/guida/liste.md`."));
    } else {
        // By its suffix the browser reads it as Markdown, and finds its pictures beside it.
        testo->setSource(QUrl::fromLocalFile(file), QTextDocument::MarkdownResource);
    }
    // A page a reader can follow: about 80 characters wide, most of the screen tall.
    const QFontMetrics misure(testo->font());
    QSize misura(misure.horizontalAdvance(QLatin1Char('m')) * 80, misure.lineSpacing() * 40);
    if (const QScreen *schermo = screen())
        misura = misura.boundedTo(schermo->availableGeometry().size() * 9 / 10);
    resize(misura);
}

FinestraGuida *FinestraGuida::mostra(QWidget *finestra, const QString &file)
{
    auto *g = finestra->findChild<FinestraGuida *>(QString(), Qt::FindDirectChildrenOnly);
    if (!g)
        g = new FinestraGuida(file, finestra);
    g->show();
    g->raise();
    g->activateWindow();
    return g;
}
