// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/messaggi.h"

#include "ui/colori.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon icona(int s)
{
    switch (s & stile::icone) {
    case stile::iconaErrore:
        return QMessageBox::Critical;
    case stile::iconaDomanda:
        return QMessageBox::Question;
    case stile::iconaAvviso:
        return QMessageBox::Warning;
    case stile::iconaInformazione:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int MessaggiQt::mostra(const QString &testo, int s, const QString &titolo)
{
    QMessageBox box(icona(s), titolo.isEmpty() ? titoloApplicazione : titolo, testo, QMessageBox::NoButton,
                    QApplication::activeWindow());
    // In the game's own light colours, like the windows it speaks for.
    box.setPalette(colori::tavolozzaClassica());
    if ((s & stile::pulsanti) == stile::siNo) {
        QPushButton *si = box.addButton(QMessageBox::Yes);
        si->setText(QStringLiteral("Sì"));
        box.addButton(QMessageBox::No)->setText(QStringLiteral("No"));
        // The first button is the default one, so Enter answers Yes.
        box.setDefaultButton(si);
        box.exec();
        return box.clickedButton() == si ? risposta::si : risposta::no;
    }
    box.setDefaultButton(box.addButton(QMessageBox::Ok));
    box.exec();
    return risposta::ok;
}
