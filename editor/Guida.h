// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The teacher's guide, shipped with the program and shown in a window of its own from
// "Aiuto → Guida" (F1), without a browser or a network. Names follow the game's Italian vocabulary.

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace guida
{

// The guide's file as installed beside a program in `cartellaProgramma`: the package puts the
// editor in games/ and the guide in share/batticco/guida/, the build tree alike. Empty when missing.
QString file(const QString &cartellaProgramma);

} // namespace guida

class FinestraGuida : public QWidget
{
    Q_OBJECT
public:
    // Shows the guide in `file` (Markdown, its pictures beside it); a missing file says where it was looked
    // for.
    explicit FinestraGuida(const QString &file, QWidget *genitore = nullptr);

    // The one guide window of `finestra`, made on first use, then raised.
    static FinestraGuida *mostra(QWidget *finestra, const QString &file);

    QTextBrowser *testo = nullptr;
};
