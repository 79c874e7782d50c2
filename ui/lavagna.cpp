// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/lavagna.h"

#include "ui/posizione.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include <cmath>

#ifdef BATTICCO_XKB
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#undef None
#endif

namespace lavagna
{

namespace
{

// Where the window manager cannot say how thick its frame is: a title bar and thin borders, as
// thick as any of the usual ones.
constexpr Cornice corniceProbabile {8, 36, 8, 8};
// Qt draws its own title bar on Wayland, in Qt pixels: the decoration's margins, with room to spare.
constexpr Cornice corniceWayland {4, 32, 4, 4};
// A Wayland program is not told where the desktop's panels are: room for a top bar.
constexpr int pannelloWayland = 48;
// The menu bar's height may differ by a pixel or so once its letters are drawn larger.
constexpr int scartoBarra = 2;

#ifdef BATTICCO_XKB
Atom atomo(Display *d, const char *nome)
{
    return XInternAtom(d, nome, False);
}

// True when the window manager names the property among those it supports.
bool supportato(Display *d, Atom proprieta)
{
    Atom tipo = 0;
    int formato = 0;
    unsigned long quanti = 0, resto = 0;
    unsigned char *dati = nullptr;
    if (XGetWindowProperty(d, DefaultRootWindow(d), atomo(d, "_NET_SUPPORTED"), 0, 4096, False, XA_ATOM,
            &tipo, &formato, &quanti, &resto, &dati)
            != Success
        || !dati)
        return false;
    bool trovato = false;
    const auto *atomi = reinterpret_cast<const Atom *>(dati);
    for (unsigned long i = 0; i < quanti && !trovato; ++i)
        trovato = atomi[i] == proprieta;
    XFree(dati);
    return trovato;
}

bool estensioni(Display *d, Window w, Cornice &c)
{
    Atom tipo = 0;
    int formato = 0;
    unsigned long quanti = 0, resto = 0;
    unsigned char *dati = nullptr;
    if (XGetWindowProperty(d, w, atomo(d, "_NET_FRAME_EXTENTS"), 0, 4, False, XA_CARDINAL, &tipo, &formato,
            &quanti, &resto, &dati)
            != Success
        || !dati)
        return false;
    const bool completa = quanti == 4 && formato == 32;
    if (completa) {
        const auto *v = reinterpret_cast<const long *>(dati);
        c = Cornice {int(v[0]), int(v[2]), int(v[1]), int(v[3])};
    }
    XFree(dati);
    return completa;
}

// Asks the window manager how it would frame a window like the game's, without showing one: the
// extended window manager hints let a program ask that of a window not yet mapped.
bool corniceX11(QSize finestra, Cornice &c)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display *d = x11 ? x11->display() : nullptr;
    if (!d)
        return false;
    // A window manager that cannot be asked (or none at all) gets the likely frame.
    if (!supportato(d, atomo(d, "_NET_REQUEST_FRAME_EXTENTS")))
        return false;
    QWindow prova;
    prova.setFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    prova.setMinimumSize(finestra);
    prova.setMaximumSize(finestra);
    prova.resize(finestra);
    prova.create();
    const auto w = Window(prova.winId());
    XEvent e {};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = atomo(d, "_NET_REQUEST_FRAME_EXTENTS");
    e.xclient.format = 32;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureNotifyMask | SubstructureRedirectMask, &e);
    XFlush(d);
    QElapsedTimer tempo;
    tempo.start();
    while (tempo.elapsed() < 500) {
        XSync(d, False);
        if (estensioni(d, w, c))
            return true;
        QThread::msleep(10);
    }
    return false;
}
#endif

} // namespace

double fattore(QSize finestra, const Schermo &s)
{
    const Cornice &c = s.cornice;
    const Cornice &cs = s.corniceScalata;
    const double larga = finestra.width() + cs.sinistra + cs.destra;
    const double alta = finestra.height() + scartoBarra + cs.sopra + cs.sotto;
    const double spazioLargo = s.spazio.width() - c.sinistra - c.destra;
    const double spazioAlto = s.spazio.height() - c.sopra - c.sotto;
    double f = std::floor(std::min(spazioLargo / larga, spazioAlto / alta) * 100.0) / 100.0;
    // Qt rounds a scaled size to whole pixels: step down until the rounded-up window fits too.
    while (f > 0.5 && (std::ceil(larga * f) > spazioLargo || std::ceil(alta * f) > spazioAlto))
        f -= 0.01;
    return std::max(f, 0.5);
}

QSize dimensioneFinestra(QSize area, std::span<const menu::Voce> voci)
{
    QMainWindow finestra;
    auto *centro = new QWidget(&finestra);
    centro->setFixedSize(area);
    finestra.setCentralWidget(centro);
    menu::costruisci(finestra.menuBar(), voci);
    finestra.layout()->setSizeConstraint(QLayout::SetFixedSize);
    finestra.layout()->activate();
    return finestra.sizeHint();
}

Schermo misura(QSize finestra)
{
    Schermo m;
    QScreen *schermo = posizione::schermoAttuale();
    if (!schermo)
        return m;
    m.nome = schermo->name();
    m.rapporto = schermo->devicePixelRatio();
    const QRect spazio = schermo->availableGeometry();
    m.spazio = QRect(
        QPoint(int(std::lround(spazio.x() * m.rapporto)), int(std::lround(spazio.y() * m.rapporto))),
        QSize(int(std::floor(spazio.width() * m.rapporto)), int(std::floor(spazio.height() * m.rapporto))));
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        m.corniceScalata = corniceWayland;
        if (spazio == schermo->geometry())
            m.spazio.adjust(0, pannelloWayland, 0, 0);
        return m;
    }
    m.cornice = corniceProbabile;
#ifdef BATTICCO_XKB
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        Cornice c;
        if (corniceX11(finestra, c)) {
            m.cornice = c;
            m.corniceMisurata = true;
        }
    }
#else
    Q_UNUSED(finestra)
#endif
    return m;
}

} // namespace lavagna
