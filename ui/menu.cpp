// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/menu.h"

#include "ui/colori.h"

#include <QAction>
#include <QApplication>
#include <QChildEvent>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStyleOption>

#include <vector>

namespace menu {

namespace {

// Plain classic menus: a check mark beside the chosen entry only, no empty box beside the others.
class StileMenu : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement elemento, const QStyleOption *opzione, QPainter *pittore,
                       const QWidget *widget) const override
    {
        const bool indicatore = elemento == PE_IndicatorCheckBox || elemento == PE_IndicatorMenuCheckMark;
        if (indicatore && qobject_cast<const QMenu *>(widget) && !opzione->state.testFlag(State_On))
            return;
        QProxyStyle::drawPrimitive(elemento, opzione, pittore, widget);
    }
};

// The look of the bar and of every menu on it. A menu opens as a window of its own and inherits
// nothing from the bar's window, so each one takes the look itself: the submenus built here and the
// overflow menu Qt makes later.
class AspettoMenu : public QObject
{
public:
    explicit AspettoMenu(QMenuBar *barra)
        : QObject(barra), barra(barra), stile(new StileMenu(QApplication::style()->name()))
    {
        stile->setParent(this);
        QFont carattere = QApplication::font(barra);
        carattere.setPixelSize(pixelCarattere);
        barra->setFont(carattere);
        barra->installEventFilter(this);
        for (QMenu *m : barra->findChildren<QMenu *>())
            applica(m);
    }

    bool eventFilter(QObject *oggetto, QEvent *evento) override
    {
        if (evento->type() == QEvent::ChildPolished) {
            auto *m = qobject_cast<QMenu *>(static_cast<QChildEvent *>(evento)->child());
            if (m && m->style() != stile)
                applica(m);
        } else if (evento->type() == QEvent::Resize) {
            stringiSeServe();
        }
        return QObject::eventFilter(oggetto, evento);
    }

private:
    void applica(QMenu *m)
    {
        m->setPalette(colori::tavolozzaClassica());
        m->setFont(barra->font());
        m->setStyle(stile);
    }

    // Should a desktop's family be so wide that the entries overflow the bar even at the fixed size,
    // a smaller size still keeps every entry on it rather than behind the overflow button.
    void stringiSeServe()
    {
        QFont carattere = barra->font();
        while (barra->sizeHint().width() > barra->width() && carattere.pixelSize() > pixelMinimo) {
            carattere.setPixelSize(carattere.pixelSize() - 1);
            barra->setFont(carattere);
        }
    }

    static constexpr int pixelMinimo = 9;
    QMenuBar *barra;
    QStyle *stile;
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
    return azioni;
}

} // namespace menu
