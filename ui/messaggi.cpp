// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/messaggi.h"

#include "ui/colori.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>

namespace
{

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

// A box as wide as its title bar needs: the window manager writes the title there in a bold face
// of about the desktop's size, beside the window's icon and up to four buttons. A box narrower than
// that shows "B" or "Batt", or nothing at all. On Wayland the program draws its own title bar: the
// title is centred on the whole bar and cut where the three buttons on the right begin, so the box
// needs the buttons' room on both sides of it.
int larghezzaPerTitolo(const QString &titolo)
{
    QFont carattere = QApplication::font("QMdiSubWindowTitleBar");
    carattere.setBold(true);
    const QFontMetrics misure(carattere);
    const bool barraPropria = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    return misure.horizontalAdvance(titolo) + (barraPropria ? 12 : 7) * misure.height();
}

void allarga(QMessageBox &box, int larghezza)
{
    // A message box lays itself out anew whenever it is shown: a spacer in its grid is what it keeps.
    if (auto *griglia = qobject_cast<QGridLayout *>(box.layout())) {
        griglia->addItem(new QSpacerItem(larghezza, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
            griglia->rowCount(), 0, 1, griglia->columnCount());
    }
}

} // namespace

QWidget *genitoreMessaggi()
{
    if (QWidget *attiva = QApplication::activeWindow())
        return attiva;
    QWidget *visibile = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || w->parentWidget() || w->windowType() == Qt::Popup
            || w->windowType() == Qt::ToolTip)
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
    allarga(box, larghezzaPerTitolo(box.windowTitle()));
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
