// SPDX-License-Identifier: GPL-3.0-or-later
// A tiny X client that times a program from exec to its windows being mapped and painted, and
// reads its peak memory, on a display of its own where nothing else runs.
//
//   misura_avvio finestra PROGRAM   ms from exec to the first top-level window mapped and to its
//                                   first paint: "mapped painted"
//   misura_avvio gioco PROGRAM      ...then Return as soon as the start window is painted (no one
//                                   can press a button before seeing it), and ms to the next window
//                                   mapped, its first paint and the paint that completes its picture
//                                   box with a picture in it (many colours, not a plain fill):
//                                   "mapped painted game-mapped game-painted picture-painted pressed"
//   misura_avvio gioco-pausa PROGRAM   the same with Return half a second after the start window is
//                                   painted, as a quick child presses it (MISURA_PAUSA_MS: another wait)
//   misura_avvio partita PROGRAM    ...then a whole game by mouse: every key on screen in turn until
//                                   "avanti" takes the word, ten words; prints VmHWM in kB after
//                                   the game, then VmHWM half a second after the game window
//                                   mapped, with its first picture, before the first click
//   misura_avvio partita-minima PROGRAM   the same clicks on a program's first window
//
// A paint is what the XDamage extension reports: the program drawing into its window. Every
// top-level window gets its damage object as it is created, before it can draw anything. With
// MISURA_FOTO=FILE the game window is written to FILE (a PPM) at the moment its picture was
// painted, to see with one's own eyes what the screen showed then; with MISURA_TRACCIA every map
// and paint is written to standard error as it comes. With MISURA_SMAPS=FILE a game's
// /proc/<pid>/smaps at its end is copied to FILE, to see by mapping where its memory is.
//
// Keys and clicks are sent as X events to the window; the program cannot tell them from a user's.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

using orologio = std::chrono::steady_clock;

Display *schermo = nullptr;
int baseDanni = 0;
volatile pid_t figlio = 0; // the program measured, for the alarm to end

struct Rettangolo {
    int x, y, larghezza, altezza;
};

// The picture box of the game's design (2760, 120, 3495 x 3495 twips) inside its one-pixel frame,
// in the client area below the menu bar, which is 7200 twips high.
constexpr Rettangolo figura {184 + 1, 8 + 1, 233 - 2, 233 - 2};
constexpr int altezzaArea = 480;

// What three rows of the screen (at a quarter, half and three quarters of the rectangle's height)
// show now, read from the window given (its own coordinates) or, for the root, from the screen.
std::vector<unsigned long> righeCampione(Window w, int x, int y, int larghezza, int altezza)
{
    std::vector<unsigned long> pixel;
    for (int quarto = 1; quarto <= 3; ++quarto) {
        if (XImage *im = XGetImage(
                schermo, w, x, y + altezza * quarto / 4, unsigned(larghezza), 1, AllPlanes, ZPixmap)) {
            for (int i = 0; i < larghezza; ++i)
                pixel.push_back(XGetPixel(im, i, 0));
            XDestroyImage(im);
        }
    }
    return pixel;
}

// For each top-level window not yet mapped, what the screen shows where it will be: taken when it
// is created or moved, before it can show anything of its own.
std::map<Window, std::vector<unsigned long>> sotto;
std::set<Window> mappate;

void guardaSotto(Window w, int x, int y, int larghezza, int altezza)
{
    // Only the part on the screen can be read.
    const int schermoL = DisplayWidth(schermo, DefaultScreen(schermo));
    const int schermoA = DisplayHeight(schermo, DefaultScreen(schermo));
    if (x < 0 || y < 0 || x + larghezza > schermoL || y + altezza > schermoA || larghezza <= 0
        || altezza <= 0) {
        sotto.erase(w);
        return;
    }
    sotto[w] = righeCampione(DefaultRootWindow(schermo), x, y, larghezza, altezza);
}

struct Evento {
    bool mappa; // a top-level window mapped; otherwise a paint
    Window finestra;
    XRectangle area; // what a paint damaged
};

// With MISURA_TRACCIA set, each map and paint goes to standard error with the monotonic clock's
// time in ms, to be lined up with what the program itself notes on that clock.
void annota(const char *cosa, Window w, const XRectangle *area)
{
    static const bool traccia = std::getenv("MISURA_TRACCIA") != nullptr;
    if (!traccia)
        return;
    const double ora = std::chrono::duration<double, std::milli>(orologio::now().time_since_epoch()).count();
    std::fprintf(stderr, "%.2f %s %lx", ora, cosa, w);
    if (area)
        std::fprintf(stderr, " %d,%d %ux%u", area->x, area->y, area->width, area->height);
    std::fputc('\n', stderr);
}

// The next top-level window mapped or painted. Each new top-level window gets its damage object on
// the way, before the program can have mapped it.
Evento prossimo()
{
    for (;;) {
        XEvent e;
        XNextEvent(schermo, &e);
        if (e.type == CreateNotify && !e.xcreatewindow.override_redirect) {
            const XCreateWindowEvent &c = e.xcreatewindow;
            XDamageCreate(schermo, c.window, XDamageReportRawRectangles);
            guardaSotto(c.window, c.x, c.y, c.width, c.height);
        } else if (e.type == ConfigureNotify && !mappate.count(e.xconfigure.window)) {
            const XConfigureEvent &c = e.xconfigure;
            guardaSotto(c.window, c.x, c.y, c.width, c.height);
        } else if (e.type == MapNotify && !e.xmap.override_redirect) {
            mappate.insert(e.xmap.window);
            annota("map", e.xmap.window, nullptr);
            return {true, e.xmap.window, {}};
        } else if (e.type == baseDanni + XDamageNotify) {
            const auto &d = reinterpret_cast<const XDamageNotifyEvent &>(e);
            annota("paint", d.drawable, &d.area);
            return {false, d.drawable, d.area};
        }
    }
}

Window attendiMappa(Window diversaDa)
{
    for (;;) {
        const Evento e = prossimo();
        if (e.mappa && e.finestra != diversaDa)
            return e.finestra;
    }
}

// The server also reports as damage a window that comes onto the screen before the program has
// drawn anything, and the program may put up a plain unpainted buffer: a paint counts once the
// window shows something else than the screen showed there before it was mapped, in more than one
// colour.
bool dipinta(Window w)
{
    XWindowAttributes a;
    XGetWindowAttributes(schermo, w, &a);
    const std::vector<unsigned long> ora = righeCampione(w, 0, 0, a.width, a.height);
    const auto prima = sotto.find(w);
    return (prima == sotto.end() || ora != prima->second)
        && std::set<unsigned long>(ora.begin(), ora.end()).size() > 1;
}

// Waits for the first paint of w; returns its moment.
orologio::time_point attendiPittura(Window w)
{
    for (;;) {
        const Evento e = prossimo();
        const auto quando = orologio::now();
        if (!e.mappa && e.finestra == w && dipinta(w))
            return quando;
    }
}

// Adds the rows of r that the paint covers across r's whole width; true once all are painted.
bool copre(const XRectangle &a, const Rettangolo &r, std::set<int> &righe)
{
    if (a.x <= r.x && a.x + a.width >= r.x + r.larghezza) {
        for (int y = std::max<int>(a.y, r.y); y < std::min<int>(a.y + a.height, r.y + r.altezza); ++y)
            righe.insert(y);
    }
    return int(righe.size()) == r.altezza;
}

// Whether the rectangle of the window shows a picture rather than a plain fill: a photo or drawing
// has many colours, an empty box one or two. With a file name the whole window is written there too.
bool mostraFigura(Window w, const Rettangolo &r, const char *foto)
{
    XWindowAttributes a;
    XGetWindowAttributes(schermo, w, &a);
    XImage *im = XGetImage(schermo, w, 0, 0, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
    if (!im)
        return false;
    std::set<unsigned long> colori;
    for (int y = r.y; y < r.y + r.altezza && y < a.height; ++y) {
        for (int x = r.x; x < r.x + r.larghezza && x < a.width; ++x)
            colori.insert(XGetPixel(im, x, y));
    }
    if (foto) {
        if (std::FILE *f = std::fopen(foto, "wb")) {
            std::fprintf(f, "P6\n%d %d\n255\n", a.width, a.height);
            for (int y = 0; y < a.height; ++y) {
                for (int x = 0; x < a.width; ++x) {
                    const unsigned long p = XGetPixel(im, x, y);
                    const unsigned char rgb[3] = {static_cast<unsigned char>((p & im->red_mask) >> 16),
                        static_cast<unsigned char>((p & im->green_mask) >> 8),
                        static_cast<unsigned char>(p & im->blue_mask)};
                    std::fwrite(rgb, 1, 3, f);
                }
            }
            std::fclose(f);
        }
    }
    XDestroyImage(im);
    return colori.size() >= 16;
}

void tasto(Window w, KeySym simbolo)
{
    XSetInputFocus(schermo, w, RevertToParent, CurrentTime);
    XKeyEvent k {};
    k.display = schermo;
    k.window = w;
    k.root = DefaultRootWindow(schermo);
    k.same_screen = True;
    k.keycode = XKeysymToKeycode(schermo, simbolo);
    k.type = KeyPress;
    XSendEvent(schermo, w, True, KeyPressMask, reinterpret_cast<XEvent *>(&k));
    k.type = KeyRelease;
    XSendEvent(schermo, w, True, KeyReleaseMask, reinterpret_cast<XEvent *>(&k));
    XFlush(schermo);
}

void clic(Window w, int x, int y)
{
    XButtonEvent b {};
    b.display = schermo;
    b.window = w;
    b.root = DefaultRootWindow(schermo);
    b.same_screen = True;
    b.x = x;
    b.y = y;
    b.button = Button1;
    b.type = ButtonPress;
    XSendEvent(schermo, w, True, ButtonPressMask, reinterpret_cast<XEvent *>(&b));
    b.type = ButtonRelease;
    b.state = Button1Mask;
    XSendEvent(schermo, w, True, ButtonReleaseMask, reinterpret_cast<XEvent *>(&b));
    XSync(schermo, False);
    // Let the program answer before the next click, as a quick hand would.
    std::this_thread::sleep_for(std::chrono::milliseconds(4));
}

long piccoKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string riga;
    while (std::getline(status, riga)) {
        if (riga.rfind("VmHWM:", 0) == 0)
            return std::atol(riga.c_str() + 6);
    }
    return -1;
}

// The centre of a twips rectangle of the game's design, in the window's pixels below the menu bar.
int px(int twips)
{
    return twips / 15;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(
            stderr, "use: %s finestra|gioco|gioco-pausa|partita|partita-minima PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    const std::string modo = argv[1];
    schermo = XOpenDisplay(nullptr);
    if (!schermo) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    int baseErrori = 0;
    if (!XDamageQueryExtension(schermo, &baseDanni, &baseErrori)) {
        std::fprintf(stderr, "the X server has no DAMAGE extension\n");
        return 2;
    }
    // A program that never shows its window must not hang the benchmark, nor outlive it.
    std::signal(SIGALRM, [](int) {
        if (figlio > 0)
            kill(figlio, SIGKILL);
        _exit(3);
    });
    alarm(60);
    XSelectInput(schermo, DefaultRootWindow(schermo), SubstructureNotifyMask);
    XSync(schermo, False);

    const auto inizio = orologio::now();
    const pid_t pid = fork();
    figlio = pid;
    if (pid == 0) {
        execv(argv[2], argv + 2);
        _exit(127);
    }
    auto ms = [&](orologio::time_point t) {
        return std::chrono::duration<double, std::milli>(t - inizio).count();
    };
    const Window prima = attendiMappa(None);
    const auto mappata = orologio::now();

    if (modo == "finestra" || modo == "gioco" || modo == "gioco-pausa") {
        const auto dipintaPrima = attendiPittura(prima);
        if (modo == "finestra") {
            std::printf("%.2f %.2f\n", ms(mappata), ms(dipintaPrima));
        } else {
            if (modo == "gioco-pausa") {
                const char *pausa = std::getenv("MISURA_PAUSA_MS");
                std::this_thread::sleep_for(std::chrono::milliseconds(pausa ? std::atoi(pausa) : 500));
            }
            const auto premuto = orologio::now();
            tasto(prima, XK_Return);
            const Window gioco = attendiMappa(prima);
            const auto giocoMappato = orologio::now();
            XWindowAttributes a;
            XGetWindowAttributes(schermo, gioco, &a);
            const Rettangolo r {
                figura.x, a.height - altezzaArea + figura.y, figura.larghezza, figura.altezza};
            // The first paint, and the one that completes the picture box with a picture in it:
            // often the same.
            std::set<int> righe;
            std::optional<orologio::time_point> giocoDipinto;
            std::optional<orologio::time_point> figuraDipinta;
            while (!figuraDipinta) {
                const Evento e = prossimo();
                const auto quando = orologio::now();
                if (e.mappa || e.finestra != gioco)
                    continue;
                if (!giocoDipinto && dipinta(gioco))
                    giocoDipinto = quando;
                if (!giocoDipinto || !copre(e.area, r, righe))
                    continue;
                if (mostraFigura(gioco, r, nullptr))
                    figuraDipinta = quando;
                else
                    righe.clear(); // the box painted empty: its picture is still to come
            }
            if (const char *foto = std::getenv("MISURA_FOTO"))
                mostraFigura(gioco, r, foto);
            std::printf("%.2f %.2f %.2f %.2f %.2f %.2f\n", ms(mappata), ms(dipintaPrima), ms(giocoMappato),
                ms(*giocoDipinto), ms(*figuraDipinta), ms(premuto));
        }
    } else {
        // The floor has one window only: its "game" is played on it.
        const bool minima = modo == "partita-minima";
        if (!minima)
            tasto(prima, XK_Return);
        const Window gioco = minima ? prima : attendiMappa(prima);
        // The keys of the on-screen keyboard (left, top in twips), "avanti" and the design's sizes.
        static const int tasti[26][2] = {{120, 5040}, {960, 5040}, {1800, 5040}, {2640, 5040}, {3480, 5040},
            {4320, 5040}, {5160, 5040}, {600, 5640}, {1440, 5640}, {2280, 5640}, {3120, 5640}, {3960, 5640},
            {4800, 5640}, {5640, 5640}, {960, 6240}, {1800, 6240}, {2640, 6240}, {3480, 6240}, {4320, 6240},
            {5160, 6240}, {6000, 6240}, {7680, 5040}, {6840, 5040}, {6000, 5040}, {6480, 5640}, {7320, 5640}};
        XWindowAttributes a;
        XGetWindowAttributes(schermo, gioco, &a);
        const int menu = a.height - altezzaArea; // the menu bar above the client area
        // The window painted with its first picture, before anyone has played.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const long primaFigura = piccoKb(pid);
        for (int parola = 0; parola < 10; ++parola) {
            // Six rounds of all 26 keys finish any word of up to six letters.
            for (int giro = 0; giro < 6; ++giro) {
                for (const auto &t : tasti)
                    clic(gioco, px(t[0] + 307), menu + px(t[1] + 247));
            }
            clic(gioco, px(6840 + 967), menu + px(2520 + 487));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        std::printf("%ld %ld\n", piccoKb(pid), primaFigura);
        if (const char *smaps = std::getenv("MISURA_SMAPS")) {
            std::ifstream da("/proc/" + std::to_string(pid) + "/smaps");
            std::ofstream(smaps) << da.rdbuf();
        }
    }
    kill(pid, SIGTERM);
    int stato = 0;
    waitpid(pid, &stato, 0);
    XCloseDisplay(schermo);
    return 0;
}
