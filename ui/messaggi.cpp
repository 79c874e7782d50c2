// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/messaggi.h"

#include "ui/colori.h"

#include <QApplication>
#include <QMainWindow>
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

QWidget *genitoreMessaggi()
{
    if (QWidget *attiva = QApplication::activeWindow())
        return attiva;
    QWidget *visibile = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || w->parentWidget() || w->windowType() == Qt::Popup ||
            w->windowType() == Qt::ToolTip)
            continue;
        if (qobject_cast<QMainWindow *>(w))
            return w;
        if (!visibile)
            visibile = w;
    }
    return visibile;
}

int MessaggiQt::mostra(const QString &testo, int s, const QString &titolo)
{
    QMessageBox box(icona(s), titolo.isEmpty() ? titoloApplicazione : titolo, testo, QMessageBox::NoButton,
                    genitoreMessaggi());
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
