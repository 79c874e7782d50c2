// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/menu.h"

#include "ui/colori.h"

#include <QAction>
#include <QChildEvent>
#include <QMenu>
#include <QMenuBar>

#include <vector>

namespace menu {

namespace {

// A menu opens as a window of its own and inherits nothing from the bar's window, so each menu of
// the bar takes the look itself: the submenus built here and the overflow menu Qt makes later.
class AspettoMenu : public QObject
{
public:
    explicit AspettoMenu(QMenuBar *barra) : QObject(barra) { barra->installEventFilter(this); }

    static void applica(QMenu *m) { m->setPalette(colori::tavolozzaClassica()); }

    bool eventFilter(QObject *oggetto, QEvent *evento) override
    {
        if (evento->type() == QEvent::ChildPolished) {
            if (auto *m = qobject_cast<QMenu *>(static_cast<QChildEvent *>(evento)->child()))
                applica(m);
        }
        return QObject::eventFilter(oggetto, evento);
    }
};

} // namespace

QHash<QString, QAction *> costruisci(QMenuBar *barra, std::span<const Voce> voci)
{
    QHash<QString, QAction *> azioni;
    std::vector<QMenu *> aperti; // aperti[k] holds the submenu open at level k + 2
    for (std::size_t i = 0; i < voci.size(); ++i) {
        const Voce &v = voci[i];
        const QString nome = QString::fromLatin1(v.nome);
        const QString testo = QString::fromUtf8(v.testo);
        const bool apreSottomenu = i + 1 < voci.size() && voci[i + 1].livello > v.livello;
        aperti.resize(std::size_t(v.livello - 1));

        QAction *azione = nullptr;
        if (apreSottomenu) {
            auto *sottomenu = new QMenu(testo, barra);
            sottomenu->setObjectName(nome);
            azione = v.livello == 1 ? barra->addMenu(sottomenu) : aperti.back()->addMenu(sottomenu);
            aperti.push_back(sottomenu);
        } else {
            azione = v.livello == 1 ? barra->addAction(testo) : aperti.back()->addAction(testo);
            if (v.livello > 1) {
                azione->setCheckable(true);
                azione->setChecked(v.spuntata);
                // Qt flips the mark before triggered reaches anyone; put it back first, so that
                // only the handlers ever move a mark.
                QObject::connect(azione, &QAction::triggered, azione,
                                 [azione](bool spuntata) { azione->setChecked(!spuntata); });
            }
        }
        azione->setObjectName(nome);
        azioni.insert(nome, azione);
    }
    new AspettoMenu(barra);
    for (QMenu *m : barra->findChildren<QMenu *>())
        AspettoMenu::applica(m);
    return azioni;
}

} // namespace menu
