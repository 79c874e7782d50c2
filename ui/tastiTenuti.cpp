// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/tastiTenuti.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWindow>

#include <optional>

#ifdef BATTICCO_XKB
#include <QtGui/qguiapplication_platform.h>

#include <X11/XKBlib.h>
// Xlib's macros that clash with Qt's names.
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut
#undef None
#endif

namespace
{

// A key is known by its hardware code where there is one, so that Shift changing the key's symbol
// between press and release leaves it the same key.
quint32 chiave(const QKeyEvent *e)
{
    return e->nativeScanCode() ? e->nativeScanCode() : quint32(e->key()) | 0x80000000u;
}

bool invio(const QKeyEvent *e)
{
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

std::unique_ptr<QKeyEvent> copia(const QKeyEvent *e, bool ripetuto)
{
    auto c = std::make_unique<QKeyEvent>(e->type(), e->key(), e->modifiers(), e->nativeScanCode(),
        e->nativeVirtualKey(), e->nativeModifiers(), e->text(), ripetuto, e->count(), e->device());
    c->setTimestamp(e->timestamp());
    return c;
}

// A press of a key already down is auto-repeat's only when it follows the key's last press within
// the repeat delay: the first repeat comes the delay after the press, the others an interval after
// the one before. A window that opens or closes on the press does not change that.
constexpr quint64 margineRipetizione = 100; // ms
// Where releases are in doubt, a release is auto-repeat's only when the press that follows it
// carries the same server time: a child who lets a key go and strikes it again takes longer.
constexpr quint64 stessoIstante = 5; // ms
// How often a key held across a change of window is looked up on the keyboard, so that a release
// no window of ours received does not make its next stroke a repeat.
constexpr int controlloTenuti = 30; // ms

bool ripetizioneRilevabile(quint64 &ritardo, quint64 &passo)
{
#ifdef BATTICCO_XKB
    if (auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        Bool supportata = False;
        if (!x11->display())
            return false;
        unsigned int attesa = 0, intervallo = 0;
        if (XkbGetAutoRepeatRate(x11->display(), XkbUseCoreKbd, &attesa, &intervallo)) {
            ritardo = qMax<quint64>(attesa, intervallo);
            passo = intervallo;
        }
        XkbSetDetectableAutoRepeat(x11->display(), True, &supportata);
        return supportata;
    }
#endif
    Q_UNUSED(ritardo)
    Q_UNUSED(passo)
    return false;
}

// Whether the key (by its X key code) is down right now; nothing where the server cannot be asked.
std::optional<bool> tastoGiu(quint32 chiave)
{
#ifdef BATTICCO_XKB
    if (chiave & 0x80000000u || chiave > 255)
        return std::nullopt;
    if (auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        if (!x11->display())
            return std::nullopt;
        char tasti[32] = {};
        XQueryKeymap(x11->display(), tasti);
        return (tasti[chiave / 8] & (1 << (chiave % 8))) != 0;
    }
#endif
    Q_UNUSED(chiave)
    return std::nullopt;
}

} // namespace

TastiTenuti::TastiTenuti(Rilasci r, quint64 ritardo, quint64 passo, QObject *genitore)
    : QObject(genitore)
    , rilasci(r)
    , ritardoRipetizione(ritardo)
    , passoRipetizione(passo)
{
    timer.setSingleShot(true);
    timer.setInterval(attesaRilascio);
    connect(&timer, &QTimer::timeout, this, &TastiTenuti::consegnaSospeso);
    tenuti.setInterval(controlloTenuti);
    connect(&tenuti, &QTimer::timeout, this, &TastiTenuti::controllaSpostati);
    // A key held while a window opens or closes on its press goes on repeating in the window that
    // takes the focus, which may never see the release of the key: a message box that closes on the
    // press takes the release with it. Where the server can tell, such a key is looked up on the
    // keyboard until its next press or release arrives, and forgotten once it is up.
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this] {
        for (Tasto &t : giu)
            t.spostato = true;
        controllaSpostati();
    });
}
TastiTenuti::~TastiTenuti() = default;

TastiTenuti *TastiTenuti::installa()
{
    // Only X11 marks releases by a race; other platforms mark their repeats themselves.
    Rilasci r = Rilasci::veri;
    quint64 ritardo = ritardoPredefinito;
    quint64 passo = passoPredefinito;
    if (QGuiApplication::platformName() == QLatin1String("xcb") && !ripetizioneRilevabile(ritardo, passo))
        r = Rilasci::dubbi;
    auto *filtro = new TastiTenuti(r, ritardo, passo, qGuiApp);
    qGuiApp->installEventFilter(filtro);
    return filtro;
}

bool TastiTenuti::eventFilter(QObject *oggetto, QEvent *evento)
{
    if (evento == inviato)
        return false;
    switch (evento->type()) {
    case QEvent::KeyPress:
        return oggetto->isWindowType() && pressione(oggetto, static_cast<QKeyEvent *>(evento));
    case QEvent::KeyRelease:
        return oggetto->isWindowType() && rilascio(oggetto, static_cast<QKeyEvent *>(evento));
    case QEvent::MouseButtonPress:
        if (oggetto->isWindowType())
            consegnaSospeso();
        return false;
    case QEvent::ApplicationStateChange:
        // Keys let go in another program's window never send their release here: where the
        // keyboard cannot tell, they are forgotten. The program is also inactive for a moment
        // between a window that closes and the next one, while a key held there goes on.
        if (QGuiApplication::applicationState() != Qt::ApplicationActive) {
            consegnaSospeso();
            for (auto it = giu.begin(); it != giu.end();) {
                if (tastoGiu(it.key()).has_value()) {
                    it->spostato = true;
                    ++it;
                } else {
                    it = giu.erase(it);
                }
            }
            controllaSpostati();
        }
        return false;
    default:
        return false;
    }
}

bool TastiTenuti::pressione(QObject *finestra, QKeyEvent *evento)
{
    const quint32 k = chiave(evento);
    if (sospeso) {
        if (chiave(sospeso.get()) == k && evento->timestamp() - sospeso->timestamp() <= stessoIstante) {
            // The release held back was auto-repeat's: the key is still down.
            sospeso.reset();
            timer.stop();
        } else {
            consegnaSospeso();
        }
    }
    const auto trovato = giu.constFind(k);
    bool ripetuto = evento->isAutoRepeat();
    if (trovato != giu.constEnd()) {
        // Where the keyboard cannot be asked, a key held across a change of window is trusted only
        // to repeat at the repeat rate: a release lost with a closed window must not swallow the
        // next stroke for a whole delay.
        const quint64 trascorso = evento->timestamp() - trovato->premuto;
        const bool affidabile = !trovato->spostato || trovato->verificabile;
        const quint64 limite = affidabile ? ritardoRipetizione : passoRipetizione;
        ripetuto = ripetuto || trascorso <= limite + margineRipetizione;
    }
    giu.insert(k, Tasto {evento->timestamp(), false, false});
    if (!ripetuto)
        return false;
    // A held Enter presses a button, or answers a message box, once.
    if (invio(evento))
        return true;
    if (evento->isAutoRepeat())
        return false;
    const auto marcato = copia(evento, true);
    invia(finestra, marcato.get());
    evento->setAccepted(marcato->isAccepted());
    return true;
}

bool TastiTenuti::rilascio(QObject *finestra, QKeyEvent *evento)
{
    if (evento->isAutoRepeat())
        return false;
    if (rilasci == Rilasci::veri) {
        giu.remove(chiave(evento));
        return false;
    }
    consegnaSospeso();
    destinatarioSospeso = finestra;
    sospeso = copia(evento, false);
    timer.start();
    return true;
}

void TastiTenuti::controllaSpostati()
{
    bool daControllare = false;
    for (auto it = giu.begin(); it != giu.end();) {
        if (!it->spostato) {
            ++it;
            continue;
        }
        const std::optional<bool> premuto = tastoGiu(it.key());
        if (premuto == false) {
            it = giu.erase(it);
            continue;
        }
        it->verificabile = premuto.has_value();
        daControllare = daControllare || it->verificabile;
        ++it;
    }
    if (!daControllare)
        tenuti.stop();
    else if (!tenuti.isActive())
        tenuti.start();
}

void TastiTenuti::consegnaSospeso()
{
    timer.stop();
    if (!sospeso)
        return;
    const std::unique_ptr<QKeyEvent> e = std::move(sospeso);
    giu.remove(chiave(e.get()));
    if (destinatarioSospeso)
        invia(destinatarioSospeso, e.get());
}

// Sends an event of this filter's own making, which the filter then lets through. A handler may
// open a message box and so run events of its own meanwhile: those are filtered as usual.
void TastiTenuti::invia(QObject *finestra, QKeyEvent *evento)
{
    const QEvent *prima = inviato;
    inviato = evento;
    QCoreApplication::sendEvent(finestra, evento);
    inviato = prima;
}
