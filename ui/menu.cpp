// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/menu.h"

#include "ui/colori.h"

#include <QAction>
#include <QApplication>
#include <QChildEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProxyStyle>
#include <QSet>
#include <QStyleOption>
#include <QTimer>

#include <vector>

namespace menu
{

namespace
{

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
        : QObject(barra)
        , barra(barra)
        , stile(new StileMenu(QApplication::style()->name()))
    {
        stile->setParent(this);
        QFont carattere = QApplication::font(barra);
        carattere.setPixelSize(pixelCarattere);
        barra->setFont(carattere);
        // The height is known before the bar is laid out: the window's size comes out right even
        // when it is only measured, never shown (the whiteboard launcher's window).
        stringiSeServe(false);
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
            stringiSeServe(true);
        }
        return QObject::eventFilter(oggetto, evento);
    }

private:
    void applica(QMenu *m)
    {
        m->setPalette(colori::tavolozzaClassica());
        // The bar keeps its fixed size; a drop-down menu has room for the desktop's own text size.
        QFont carattere = QApplication::font(m);
        carattere.setFamily(barra->font().family());
        m->setFont(carattere);
        m->setStyle(stile);
    }

    // Should a desktop's family be so wide that the entries overflow the bar even at the fixed size,
    // or so tall (Nimbus Sans, where no DejaVu is installed) that the bar grows past the design's
    // height, a smaller size still keeps every entry on it rather than behind the overflow button.
    void stringiSeServe(bool ancheLarghezza)
    {
        QFont carattere = barra->font();
        auto troppo = [this, ancheLarghezza] {
            const QSize voluta = barra->sizeHint();
            return (ancheLarghezza && voluta.width() > barra->width()) || voluta.height() > altezzaBarra;
        };
        while (troppo() && carattere.pixelSize() > pixelMinimo) {
            carattere.setPixelSize(carattere.pixelSize() - 1);
            barra->setFont(carattere);
        }
    }

    static constexpr int pixelMinimo = 9;
    static constexpr int altezzaBarra = 19; // the bar's height with the classic 9-point menu font
    QMenuBar *barra;
    QStyle *stile;
};

// The menus from the keyboard, as in every desktop program: F10, or Alt pressed and let go alone,
// opens the bar on its first entry; Alt and an entry's first letter opens that entry; the bar's own
// keys then move (arrows), choose (Enter) and close (Escape). The letter boxes judge every key
// released in them: a key that opened the menus, or was pressed in a menu or in a message box (the
// Escape that closes one), is let go over the game window only after its window has gone, and that
// release is kept from the game window's widgets.
class TastieraMenu : public QObject
{
public:
    explicit TastieraMenu(QMenuBar *barra)
        : QObject(barra)
        , barra(barra)
    {
        qApp->installEventFilter(this);
        connect(barra, &QMenuBar::triggered, this, &TastieraMenu::controllaPiuTardi);
        for (QMenu *m : barra->findChildren<QMenu *>())
            connect(m, &QMenu::aboutToHide, this, &TastieraMenu::controllaPiuTardi);
        // A message box opened from the menus gives the focus back to the bar when it closes.
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *ora) {
            if (ora == this->barra)
                controllaPiuTardi();
        });
    }

    ~TastieraMenu() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject *oggetto, QEvent *evento) override
    {
        // Key events reach the window first and then its focus widget: the widget's turn is judged
        // here, after the held-key filter has seen the window's.
        if (!oggetto->isWidgetType())
            return false;
        auto *w = static_cast<QWidget *>(oggetto);
        switch (evento->type()) {
        case QEvent::KeyPress:
            return pressione(w, static_cast<QKeyEvent *>(evento));
        case QEvent::KeyRelease:
            return rilascio(w, static_cast<QKeyEvent *>(evento));
        default:
            return false;
        }
    }

private:
    static quint32 chiave(const QKeyEvent *e)
    {
        return e->nativeScanCode() ? e->nativeScanCode() : quint32(e->key()) | 0x80000000u;
    }

    bool deiMenu(const QWidget *w) const { return w == barra || qobject_cast<const QMenu *>(w); }

    bool pressione(QWidget *w, QKeyEvent *e)
    {
        if (e->key() != Qt::Key_Alt)
            altDaSolo = false;
        if (deiMenu(w) || w->window() != barra->window()) {
            // A menu's key, or a message box's: its release may come back to the game window.
            if (!e->isAutoRepeat())
                presiAltrove.insert(chiave(e));
            if (deiMenu(w))
                controllaPiuTardi();
            return false;
        }
        presiAltrove.remove(chiave(e));
        if (!barra->isVisible() || !w->isEnabled())
            return false;
        const Qt::KeyboardModifiers mod = e->modifiers() & ~Qt::KeypadModifier;
        if (e->key() == Qt::Key_Alt) {
            altDaSolo = !e->isAutoRepeat() || altDaSolo;
            return false;
        }
        if (e->key() == Qt::Key_F10 && mod == Qt::NoModifier) {
            if (!e->isAutoRepeat())
                apri(w, primaVoce(), e);
            return true;
        }
        if (mod == Qt::AltModifier && e->text().size() == 1) {
            if (QAction *voce = voceDaLettera(e->text().at(0))) {
                if (!e->isAutoRepeat())
                    apri(w, voce, e);
                return true;
            }
        }
        return false;
    }

    bool rilascio(QWidget *w, QKeyEvent *e)
    {
        if (e->isAutoRepeat() || deiMenu(w) || w->window() != barra->window())
            return false;
        if (e->key() == Qt::Key_Alt && altDaSolo && barra->isVisible()) {
            altDaSolo = false;
            // Qt's own Alt navigation may have opened the bar already.
            if (!barra->activeAction())
                apri(w, primaVoce(), nullptr);
            return true;
        }
        return presiAltrove.remove(chiave(e));
    }

    QAction *primaVoce() const
    {
        for (QAction *a : barra->actions()) {
            if (a->isVisible() && a->isEnabled())
                return a;
        }
        return nullptr;
    }

    QAction *voceDaLettera(QChar lettera) const
    {
        for (QAction *a : barra->actions()) {
            const QString testo = a->text().trimmed();
            if (a->isVisible() && a->isEnabled() && !testo.isEmpty()
                && testo.at(0).toCaseFolded() == lettera.toCaseFolded())
                return a;
        }
        return nullptr;
    }

    void apri(QWidget *da, QAction *voce, const QKeyEvent *tasto)
    {
        if (!voce)
            return;
        if (tasto)
            presiAltrove.insert(chiave(tasto));
        if (da != barra)
            ritorno = da;
        barra->setFocus(Qt::MenuBarFocusReason);
        barra->setActiveAction(voce);
    }

    // Once the bar holds the focus with no entry lit and no menu open (Escape, or an entry chosen),
    // the focus goes back to where the child was.
    void controllaPiuTardi()
    {
        QTimer::singleShot(0, this, [this] {
            if (barra->window()->focusWidget() == barra && !barra->activeAction()
                && !QApplication::activePopupWidget() && ritorno)
                ritorno->setFocus(Qt::MenuBarFocusReason);
        });
    }

    QMenuBar *barra;
    QPointer<QWidget> ritorno;
    QSet<quint32> presiAltrove; // keys pressed in a menu, a message box, or to open the menus
    bool altDaSolo = false;
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
            // A submenu belongs to the menu it opens from: Wayland opens a popup over its parent
            // window, and a submenu made over the bar's window is refused as a stray popup.
            QWidget *genitore = v.livello == 1 ? static_cast<QWidget *>(barra) : aperti.back();
            auto *sottomenu = new QMenu(testo, genitore);
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
    new TastieraMenu(barra);
    return azioni;
}

} // namespace menu
