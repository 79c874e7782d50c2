# SPDX-License-Identifier: GPL-3.0-or-later
"""Helpers for the end-to-end tests: a private X server, a small data folder made on the spot, the
real program started from it, and what a person would do and see (keys, clicks, screenshots).

Everything started here is ended by Sessione.chiudi(), which the tests call from a finally block."""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# The game window's client area and key rectangles, in twips as the design draws them (15 to a pixel).
TWIPS = 15
AREA = (624, 480)
AVVIO = (588, 453)  # the start window, in pixels
TASTI = {
    "q": (120, 5040), "w": (960, 5040), "e": (1800, 5040), "r": (2640, 5040), "t": (3480, 5040),
    "y": (4320, 5040), "u": (5160, 5040), "a": (600, 5640), "s": (1440, 5640), "d": (2280, 5640),
    "f": (3120, 5640), "g": (3960, 5640), "h": (4800, 5640), "j": (5640, 5640), "z": (960, 6240),
    "x": (1800, 6240), "c": (2640, 6240), "v": (3480, 6240), "b": (4320, 6240), "n": (5160, 6240),
    "m": (6000, 6240), "p": (7680, 5040), "o": (6840, 5040), "i": (6000, 5040), "k": (6480, 5640),
    "l": (7320, 5640),
}
TASTO = (615, 495)
CASELLA = lambda i: (2280 + 720 * i, 3840, 735, 735)
FACCIA = (488, 24, 65, 57)  # pixels, inside the client area
AVANTI = (6840 // TWIPS, 2520 // TWIPS, 1935 // TWIPS, 975 // TWIPS)
AIUTAMI = (360 // TWIPS, 2280 // TWIPS, 1920 // TWIPS, 1185 // TWIPS)
SFONDO_GIOCO = (0x00, 0xFF, 0xFF)



def tavolozza_del_gioco():
    """The start window's colours as 0xRRGGBB, read from the game's own table (0x00BBGGRR entries),
    so that the tests and the program cannot disagree on them."""
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "feedback",
                           "ModuloColoriSuoni.h"), encoding="utf-8") as f:
        tabella = re.search(r"tavolozza = \{(.*?)\};", f.read(), re.S).group(1)
    colori = {((c & 0xFF) << 16) | (c & 0xFF00) | (c >> 16) for c in
              (int(v, 16) for v in re.findall(r"0x([0-9A-Fa-f]{8})", tabella))}
    assert len(colori) == 16, f"the game's colour table has {len(colori)} colours, not 16"
    return colori


PALETTE = tavolozza_del_gioco()

ATTESA = float(os.environ.get("BATTICCO_E2E_ATTESA", "30"))  # seconds, for anything to appear


class Fallito(AssertionError):
    pass


def verifica(condizione, messaggio):
    if not condizione:
        raise Fallito(messaggio)


def aspetta(condizione, descrizione, attesa=ATTESA, passo=0.05):
    """Polls until condizione() returns something true, and returns it; fails after attesa seconds."""
    fine = time.monotonic() + attesa
    ultimo = None
    while True:
        try:
            ultimo = condizione()
        except Fallito as e:
            ultimo = None
            descrizione_errore = str(e)
        else:
            descrizione_errore = ""
            if ultimo:
                return ultimo
        if time.monotonic() > fine:
            raise Fallito(f"dopo {attesa:.0f} s non ancora: {descrizione} {descrizione_errore}".strip())
        time.sleep(passo)


def log(*parti):
    print(*parti, flush=True)


# ---- Data folder ---------------------------------------------------------------------------------

def jpeg(percorso, colore="orange", lato=64):
    os.makedirs(os.path.dirname(percorso), exist_ok=True)
    subprocess.run(["convert", "-size", f"{lato}x{lato}", f"xc:{colore}", percorso], check=True)


def cartella_dati(radice, eseguibile, liste=None, immagini=True, suoni=None):
    """Makes a program folder: the executable, one-word lists, a picture per word, sounds if given."""
    if liste is None:
        liste = {3: "ape", 4: "cane", 5: "gatto", 6: "topolino"[:6]}
    cartella = os.path.join(radice, "batticco")
    os.makedirs(cartella)
    shutil.copy2(eseguibile, os.path.join(cartella, "batticco"))
    for lunghezza, parola in liste.items():
        with open(os.path.join(cartella, f"lista{lunghezza}.txt"), "w", encoding="ascii") as f:
            f.write(parola + "\r\n")
        if immagini:
            jpeg(os.path.join(cartella, "jpg", parola + ".jpg"))
    if suoni:
        os.makedirs(os.path.join(cartella, "suoni"))
        for nome, sorgente in suoni.items():
            shutil.copy2(sorgente, os.path.join(cartella, "suoni", nome))
    return cartella


# ---- Screenshots ---------------------------------------------------------------------------------

class Schermata:
    """A screenshot of the whole screen as a binary PPM, read with the standard library."""

    def __init__(self, dati):
        campi = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", dati)
        verifica(campi is not None and campi.group(3) == b"255", "schermata non in formato PPM a 8 bit")
        self.larghezza, self.altezza = int(campi.group(1)), int(campi.group(2))
        self.pixel = dati[campi.end():]
        verifica(len(self.pixel) >= self.larghezza * self.altezza * 3, "schermata troncata")

    def __call__(self, x, y):
        """The pixel's colour as 0xRRGGBB."""
        verifica(0 <= x < self.larghezza and 0 <= y < self.altezza, f"pixel fuori schermo: {x},{y}")
        i = (y * self.larghezza + x) * 3
        return int.from_bytes(self.pixel[i:i + 3], "big")

    def regione(self, x, y, w, h):
        return [self(x + i, y + j) for j in range(h) for i in range(w)]


def png(schermata_ppm, destinazione, ritaglio=None):
    argomenti = ["convert", "ppm:" + schermata_ppm]
    if ritaglio:
        x, y, w, h = ritaglio
        argomenti += ["-crop", f"{w}x{h}+{x}+{y}", "+repage"]
    subprocess.run(argomenti + [destinazione], check=True)


# ---- Session: X server and program ---------------------------------------------------------------

class Sessione:
    def __init__(self, nome="e2e"):
        self.temp = tempfile.mkdtemp(prefix=f"batticco-{nome}-")
        self.processi = []  # everything started, ended in reverse order
        self.xvfb = None
        self.programma = None
        self.display = None
        self.env = dict(os.environ)
        for chiave in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY", "SESSION_MANAGER"):
            self.env.pop(chiave, None)
        # Qt's own messages stay quiet on the console unless a test fails.
        self.env["QT_LOGGING_RULES"] = "*.debug=false"

    # -- X server
    def avvia_x(self, schermo="1024x768"):
        lettura, scrittura = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(scrittura), "-screen", "0", f"{schermo}x24", "-nolisten", "tcp", "-noreset"],
            pass_fds=(scrittura,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        self.processi.append(self.xvfb)
        os.close(scrittura)
        numero = b""
        fine = time.monotonic() + ATTESA
        with os.fdopen(lettura, "rb") as f:
            while not numero.endswith(b"\n"):
                verifica(time.monotonic() < fine and self.xvfb.poll() is None, "Xvfb non è partito")
                pezzo = f.read(1)
                if not pezzo:
                    break
                numero += pezzo
        verifica(numero.strip().isdigit(), "Xvfb non ha detto il suo display")
        self.display = ":" + numero.decode().strip()
        self.env["DISPLAY"] = self.display
        log("Xvfb su", self.display)
        return self.display

    def avvia_gestore_finestre(self):
        """openbox with its default settings, as a plain desktop has it; returns once it manages the screen."""
        self.avvia_processo(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        aspetta(lambda: "window id" in self.x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", controlla=False),
                "il gestore delle finestre")

    def cornice(self, finestra):
        """The window manager's frame as (sinistra, destra, sopra, sotto), from _NET_FRAME_EXTENTS."""
        r = self.x("xprop", "-id", str(finestra), "_NET_FRAME_EXTENTS", controlla=False)
        numeri = re.findall(r"\d+", r.split("=", 1)[1]) if "=" in r else []
        return tuple(int(n) for n in numeri) if len(numeri) == 4 else (0, 0, 0, 0)

    def geometria_esterna(self, finestra):
        """(x, y, larghezza, altezza) of the window with its frame."""
        x, y, w, h = self.geometria(finestra)
        sx, dx, su, gi = self.cornice(finestra)
        return x - sx, y - su, w + sx + dx, h + su + gi

    def avvia_bus(self, ascolta=None):
        """A private session bus, as a desktop session has one, for the programs started from here on.
        ascolta is the bus's own address when given (a systemd desktop's "unix:path=$XDG_RUNTIME_DIR/bus")."""
        lettura, scrittura = os.pipe()
        indirizzo_bus = [f"--address={ascolta}"] if ascolta else []
        bus = self.avvia_processo(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                                   f"--print-address={scrittura}"] + indirizzo_bus, pass_fds=(scrittura,),
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(scrittura)
        with os.fdopen(lettura, "rb") as f:
            indirizzo = f.readline().decode().strip()
        verifica(indirizzo and bus.poll() is None, "il bus di sessione non è partito")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = indirizzo
        return indirizzo

    def casa_nuova(self):
        """A fresh HOME, as a new user's: no XDG folders named, a private runtime folder. Returns HOME."""
        casa = os.path.join(self.temp, "casa")
        os.makedirs(casa)
        self.env["HOME"] = casa
        for chiave in ("XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"):
            self.env.pop(chiave, None)
        self.env["XDG_RUNTIME_DIR"] = os.path.join(self.temp, "runtime")
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700)
        return casa

    def avvia_accessibilita(self, ascolta=None):
        """A private session bus and the accessibility bus on it; Qt then publishes its widgets over
        AT-SPI. This process talks to them too (for pyatspi)."""
        indirizzo = self.avvia_bus(ascolta)
        self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        self.env["NO_AT_BRIDGE"] = "0"
        self.avvia_processo(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # pyatspi reads these when it is first imported.
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = indirizzo
        os.environ["DISPLAY"] = self.display

        def pronto():
            r = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                                "org.a11y.Bus.GetAddress"], env=self.env, capture_output=True, text=True)
            return r.returncode == 0 and "unix:" in r.stdout
        aspetta(pronto, "il bus dell'accessibilità")

    def x(self, *argomenti, controlla=True, attesa=ATTESA):
        r = subprocess.run(list(argomenti), env=self.env, capture_output=True, text=True, timeout=attesa)
        if controlla and r.returncode != 0:
            raise Fallito(f"{' '.join(argomenti)}: {r.returncode} {r.stderr.strip()}")
        return r.stdout

    def avvia_processo(self, argomenti, **opzioni):
        p = subprocess.Popen(argomenti, env=opzioni.pop("env", self.env), start_new_session=True, **opzioni)
        self.processi.append(p)
        return p

    # -- Program
    def avvia_programma(self, cartella, env=None, nome="batticco"):
        self.uscita_programma = open(os.path.join(self.temp, "programma.log"), "w+")
        self.programma = self.avvia_processo([os.path.join(cartella, nome)], env=env or self.env,
                                             stdout=self.uscita_programma, stderr=subprocess.STDOUT,
                                             cwd=self.temp)
        return self.programma

    def output_programma(self):
        self.uscita_programma.flush()
        self.uscita_programma.seek(0)
        return self.uscita_programma.read()

    def finestre(self, nome=None, pid=None):
        argomenti = ["xdotool", "search", "--all", "--onlyvisible"]
        if pid is not None:
            argomenti += ["--pid", str(pid)]
        if nome is not None:
            argomenti += ["--name", nome]
        else:
            argomenti += ["--name", ""]
        r = self.x(*argomenti, controlla=False)
        return [int(w) for w in r.split()]

    def finestra_visibile(self, nome=None, pid=None, condizione=lambda w: True, descrizione="una finestra"):
        def trova():
            for w in self.finestre(nome, pid):
                g = self.geometria(w)
                if g and g[2] > 1 and g[3] > 1 and condizione(g):
                    return w
            return None
        return aspetta(trova, descrizione)

    def finestra_avvio(self, programma):
        """The start window of the program: the one of its designed size, 588 x 453."""
        return self.finestra_visibile(pid=programma.pid, condizione=lambda g: (g[2], g[3]) == AVVIO,
                                      descrizione="la finestra d'avvio")

    def geometria(self, finestra):
        """(x, y, larghezza, altezza) of the window on the screen, from xwininfo."""
        r = self.x("xwininfo", "-id", str(finestra), controlla=False)
        valori = {}
        for riga in r.splitlines():
            riga = riga.strip()
            for chiave, nome in (("Absolute upper-left X:", "x"), ("Absolute upper-left Y:", "y"),
                                 ("Width:", "w"), ("Height:", "h"), ("Map State:", "stato")):
                if riga.startswith(chiave):
                    valori[nome] = riga[len(chiave):].strip()
        if valori.get("stato") != "IsViewable":
            return None
        return int(valori["x"]), int(valori["y"]), int(valori["w"]), int(valori["h"])

    def nome_finestra(self, finestra):
        return self.x("xdotool", "getwindowname", str(finestra), controlla=False).strip()

    def schermata(self, salva=None):
        percorso = salva or os.path.join(self.temp, "schermata.ppm")
        self.x("import", "-window", "root", "-depth", "8", "ppm:" + percorso)
        with open(percorso, "rb") as f:
            return Schermata(f.read())

    def clic(self, x, y):
        self.x("xdotool", "mousemove", "--sync", str(x), str(y), "click", "1")

    def tasto(self, finestra, *tasti):
        self.x("xdotool", "windowfocus", "--sync", str(finestra), controlla=False)
        self.x("xdotool", "key", "--delay", "60", *tasti)

    def scrivi(self, finestra, testo):
        self.x("xdotool", "windowfocus", "--sync", str(finestra), controlla=False)
        self.x("xdotool", "type", "--delay", "120", testo)

    def aspetta_uscita(self, attesa=ATTESA):
        try:
            return self.programma.wait(timeout=attesa)
        except subprocess.TimeoutExpired:
            raise Fallito(f"il programma non è terminato entro {attesa:.0f} s")

    def chiudi(self):
        for p in reversed(self.processi):
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
                try:
                    p.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    try:
                        os.killpg(p.pid, signal.SIGKILL)
                    except ProcessLookupError:
                        pass
                    p.wait()
        if getattr(self, "uscita_programma", None):
            self.uscita_programma.close()
        shutil.rmtree(self.temp, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, tipo, valore, traccia):
        if tipo is not None and self.programma is not None and getattr(self, "uscita_programma", None):
            log("--- output del programma ---")
            log(self.output_programma())
        self.chiudi()
        return False


# ---- The game window -----------------------------------------------------------------------------

class Gioco:
    """The game window on the screen: its client area lies below the menu bar, at the bottom."""

    def __init__(self, sessione, finestra):
        self.s = sessione
        self.finestra = finestra
        self.aggiorna()

    def aggiorna(self):
        x, y, w, h = self.s.geometria(self.finestra)
        verifica(w == AREA[0], f"finestra larga {w}, non {AREA[0]}")
        verifica(h > AREA[1], f"finestra alta {h}: nessuna barra dei menu sopra l'area")
        self.origine = (x, y)
        self.barra = h - AREA[1]
        self.area = (x, y + self.barra)

    def punto(self, px, py):
        return self.area[0] + px, self.area[1] + py

    def centro_tasto(self, lettera):
        left, top = TASTI[lettera.lower()]
        return self.punto(left // TWIPS + TASTO[0] // TWIPS // 2, top // TWIPS + TASTO[1] // TWIPS // 2)

    def clic_tasto(self, lettera):
        self.s.clic(*self.centro_tasto(lettera))

    def clic_rettangolo(self, r):
        self.s.clic(*self.punto(r[0] + r[2] // 2, r[1] + r[3] // 2))

    def rettangolo_schermo(self, r):
        x, y = self.punto(r[0], r[1])
        return x, y, r[2], r[3]


# ---- Reading the screen --------------------------------------------------------------------------

def scuro(c, soglia=0x60):
    return ((c >> 16) & 0xFF) < soglia and ((c >> 8) & 0xFF) < soglia and (c & 0xFF) < soglia


def quanti_scuri(pixel, soglia=0x60):
    return sum(1 for c in pixel if scuro(c, soglia))


def voci_barra(schermata, x, y, larghezza, altezza, spazio=12):
    """The menu bar's entries as (inizio, fine) columns of text, split where a gap is wider than spazio:
    the entries' trailing blanks keep them far apart, the words inside an entry are close."""
    colonne = [any(scuro(schermata(x + i, y + j), 0x80) for j in range(altezza)) for i in range(larghezza)]
    voci, inizio, vuote = [], None, 0
    for i, piena in enumerate(colonne):
        if piena:
            if inizio is None:
                inizio = i
            vuote = 0
            fine = i
        elif inizio is not None:
            vuote += 1
            if vuote > spazio:
                voci.append((x + inizio, x + fine))
                inizio = None
    if inizio is not None:
        voci.append((x + inizio, x + fine))
    return voci


def simili(a, b, quota=0.93, tolleranza=0x30):
    """True when nearly all pixels of two equal regions match: antialiased edges blend with whatever
    lies behind them, so a picture shown again is rarely identical to the last pixel."""
    verifica(len(a) == len(b) and a, "regioni di misura diversa")
    uguali = sum(1 for x, y in zip(a, b)
                 if all(abs(((x >> s) & 0xFF) - ((y >> s) & 0xFF)) <= tolleranza for s in (0, 8, 16)))
    return uguali / len(a) >= quota


# ---- The screen readers' view (AT-SPI) -----------------------------------------------------------

def applicazione(pid):
    """The program's accessible application, once it has registered on the accessibility bus."""
    import pyatspi

    def trova():
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            a = desktop.getChildAtIndex(i)
            try:
                if a is not None and a.get_process_id() == pid:
                    return a
            except Exception:
                continue
        return None
    return aspetta(trova, "il programma sul bus dell'accessibilità")


def nodi(radice, profondita=12):
    """Every accessible below radice, depth first, as (ruolo, nome, oggetto). ruolo is the role's name
    in pyatspi's own table ("push button"): the bus's name for it changes between releases (AT-SPI 2.56,
    Debian 13, says "button")."""
    from pyatspi.role import ROLE_NAMES
    pila = [(radice, 0)]
    while pila:
        nodo, livello = pila.pop()
        ruolo = nodo.getRole()
        yield ROLE_NAMES.get(ruolo, nodo.getRoleName()), nodo.name, nodo
        if livello < profondita:
            for i in reversed(range(nodo.childCount)):
                figlio = nodo.getChildAtIndex(i)
                if figlio is not None:
                    pila.append((figlio, livello + 1))


def visibile(nodo):
    import pyatspi
    return nodo.getState().contains(pyatspi.STATE_SHOWING)


def attivo(nodo):
    import pyatspi
    return nodo.getState().contains(pyatspi.STATE_SENSITIVE)


def testo(nodo):
    try:
        t = nodo.queryText()
    except NotImplementedError:
        return None
    return t.getText(0, -1)


def premi(nodo):
    """Presses a button through its first action, as a screen reader's user does."""
    azioni = nodo.queryAction()
    nomi = [azioni.getName(i) for i in range(azioni.nActions)]
    indice = next((i for i, n in enumerate(nomi) if n in ("Press", "press", "click")), 0)
    verifica(azioni.nActions > 0, f"{nodo.name!r} non ha azioni")
    azioni.doAction(indice)


def esegui(main):
    """Runs a test script's main on the executable named on the command line; a failed check ends
    it with status 1 and says why."""
    try:
        main(sys.argv[1])
    except Fallito as e:
        print("FALLITO:", e, file=sys.stderr)
        sys.exit(1)
    print("OK")
