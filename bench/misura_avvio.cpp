// SPDX-License-Identifier: GPL-3.0-or-later
// A tiny X client that times a program from exec to its windows being mapped, and reads its peak
// memory, on a display of its own where nothing else runs.
//
//   misura_avvio finestra PROGRAM   ms from exec to the first top-level window mapped
//   misura_avvio gioco PROGRAM      ...then Return at once; ms to the next window mapped
//   misura_avvio partita PROGRAM    ...then a whole game by mouse: every key on screen in turn until
//                                   "avanti" takes the word, ten words; prints VmHWM in kB
//   misura_avvio partita-minima PROGRAM   the same clicks on a program's first window
//
// Keys and clicks are sent as X events to the window; the program cannot tell them from a user's.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{

using orologio = std::chrono::steady_clock;

Display *schermo = nullptr;

Window attendiMappa(Window diversaDa)
{
    for (;;) {
        XEvent e;
        XNextEvent(schermo, &e);
        if (e.type == MapNotify && !e.xmap.override_redirect && e.xmap.window != diversaDa)
            return e.xmap.window;
    }
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
        std::fprintf(stderr, "use: %s finestra|gioco|partita PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    const std::string modo = argv[1];
    schermo = XOpenDisplay(nullptr);
    if (!schermo) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSelectInput(schermo, DefaultRootWindow(schermo), SubstructureNotifyMask);
    XSync(schermo, False);

    const auto inizio = orologio::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[2], argv + 2);
        _exit(127);
    }
    const Window prima = attendiMappa(None);
    const auto mappata = orologio::now();
    auto ms = [&](orologio::time_point t) {
        return std::chrono::duration<double, std::milli>(t - inizio).count();
    };

    int esito = 0;
    if (modo == "finestra") {
        std::printf("%.2f\n", ms(mappata));
    } else {
        // The floor has one window only: its "game" is played on it.
        const bool minima = modo == "partita-minima";
        if (!minima)
            tasto(prima, XK_Return);
        const Window gioco = minima ? prima : attendiMappa(prima);
        const auto giocoMappato = orologio::now();
        if (modo == "gioco") {
            std::printf("%.2f\n", ms(giocoMappato));
        } else {
            // The keys of the on-screen keyboard (left, top in twips), "avanti" and the design's sizes.
            static const int tasti[26][2] = {{120, 5040}, {960, 5040}, {1800, 5040}, {2640, 5040},
                {3480, 5040}, {4320, 5040}, {5160, 5040}, {600, 5640}, {1440, 5640}, {2280, 5640},
                {3120, 5640}, {3960, 5640}, {4800, 5640}, {5640, 5640}, {960, 6240}, {1800, 6240},
                {2640, 6240}, {3480, 6240}, {4320, 6240}, {5160, 6240}, {6000, 6240}, {7680, 5040},
                {6840, 5040}, {6000, 5040}, {6480, 5640}, {7320, 5640}};
            XWindowAttributes a;
            XGetWindowAttributes(schermo, gioco, &a);
            const int menu = a.height - px(7200); // the menu bar above the client area
            for (int parola = 0; parola < 10; ++parola) {
                // Six rounds of all 26 keys finish any word of up to six letters.
                for (int giro = 0; giro < 6; ++giro) {
                    for (const auto &t : tasti)
                        clic(gioco, px(t[0] + 307), menu + px(t[1] + 247));
                }
                clic(gioco, px(6840 + 967), menu + px(2520 + 487));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            std::printf("%ld\n", piccoKb(pid));
        }
    }
    kill(pid, SIGTERM);
    int stato = 0;
    waitpid(pid, &stato, 0);
    XCloseDisplay(schermo);
    return esito;
}
