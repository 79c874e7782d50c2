#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The word-list editor keeps a teacher's work, by the mouse as by the keys, with a fresh home:

- lists the game refuses in a moment (a FIFO, links to a FIFO and to /dev/zero, a million lines,
  100,000 seven-letter lines, one 60 MB line, an SVG named .jpg that shows a FIFO) each open a window
  within 2 s saying what is wrong, and the editor closes at once;
- a word removed by a click and Canc, another by its right-click menu, a third renamed (its picture
  follows it), a new picture saved, undone and saved again: the picture's bytes are the original's;
- two editors on one folder: the second says so, and a save that would overwrite the other's asks
  first; no list is ever written that names a picture the save deleted."""

import hashlib
import os
import subprocess
import sys
import time

from batticco_e2e import (esegui, Sessione, applicazione, aspetta, cartella_dati, jpeg, log, nodi, verifica,
                          visibile)

LIMITE = 2.0  # seconds from the start to the window with its message

SVG_FIFO = ('<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="100" '
            'height="100"><image xlink:href="../tubo" width="100" height="100"/></svg>')


MENU_PAROLA = ["Cambia l'immagine…", "Registra la voce…", "Rinomina…", "Togli la parola"]


def scrivi(percorso, testo):
    with open(percorso, "w", encoding="utf-8") as f:
        f.write(testo)


def fifo_collegata(c):
    os.mkfifo(os.path.join(c, "tubo"))
    os.symlink("tubo", os.path.join(c, "lista4.txt"))


def svg_fifo(c):
    os.mkfifo(os.path.join(c, "tubo"))
    scrivi(os.path.join(c, "jpg", "cane.jpg"), SVG_FIFO)


# Each hostile lista4.txt (or picture), and what the window must say of it.
OSTILI = [
    ("una FIFO", lambda c: os.mkfifo(os.path.join(c, "lista4.txt")), "non è un file"),
    ("un collegamento a una FIFO", fifo_collegata, "non è un file"),
    ("un collegamento a /dev/zero", lambda c: os.symlink("/dev/zero", os.path.join(c, "lista4.txt")), "non è un file"),
    ("un milione di righe", lambda c: scrivi(os.path.join(c, "lista4.txt"), "cane\n" * 1000000), "più di 200 parole"),
    ("100.000 righe di sette lettere", lambda c: scrivi(os.path.join(c, "lista4.txt"), "caprone\n" * 100000),
     "più di 200 parole"),
    ("60 MB su una riga", lambda c: scrivi(os.path.join(c, "lista4.txt"), "a" * (60 << 20)),
     "non può essere il nome"),
    ("un SVG chiamato .jpg che mostra una FIFO", svg_fifo, "formato svg"),
]


def testi(app):
    """What the window says: the notice above the lists and the checker's findings."""
    detti = []
    for ruolo, nome, n in nodi(app, 16):
        if ruolo in ("label", "list item") and visibile(n):
            detti += [nome or "", n.description or ""]
    return detti


def impronta(percorso):
    with open(percorso, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


class Editor:
    """One editor window on a folder, driven by the mouse and the keys, seen through AT-SPI."""

    def __init__(self, s, eseguibile, cartella):
        self.s = s
        self.inizio = time.monotonic()
        self.p = s.avvia_processo([eseguibile, cartella], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                  cwd=s.temp)
        self.finestra = s.finestra_visibile(nome="Parole di Batticco", pid=self.p.pid, descrizione="l'editor")
        self.aperta = time.monotonic() - self.inizio
        self.app = None

    def accessibile(self):
        if self.app is None:
            self.app = applicazione(self.p.pid)
        return self.app

    def nodo(self, ruolo, nome):
        # A word's accessible name is the word, then whether it has no picture or has a voice.
        def trova():
            for r, nm, n in nodi(self.accessibile(), 16):
                if r == ruolo and nm and (nm == nome or nm.startswith(nome + ",")) and visibile(n):
                    return n
            return None
        return aspetta(trova, f"{ruolo} «{nome}»", attesa=15)

    def centro(self, n):
        import pyatspi
        x, y, w, h = n.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return x + w // 2, y + h // 2

    def clic(self, ruolo, nome, tasto="1"):
        # Two editors open at the same place: the one clicked comes up first.
        self.s.x("xdotool", "windowraise", str(self.finestra))
        x, y = self.centro(self.nodo(ruolo, nome))
        self.s.x("xdotool", "mousemove", "--sync", str(x), str(y), "click", tasto)

    def menu_parola(self, parola, voce):
        """Right-clicks the word and clicks an entry of the menu that opens there. The menu is a
        window of its own that AT-SPI does not list; its entries are of one height, in this order."""
        self.clic("list item", parola, tasto="3")
        menu = self.s.finestra_visibile(pid=self.p.pid, condizione=lambda g: g[3] < 200,
                                        descrizione="il menu della parola")
        x, y, w, h = self.s.geometria(menu)
        i = MENU_PAROLA.index(voce)
        self.s.clic(x + w // 3, y + h * (2 * i + 1) // (2 * len(MENU_PAROLA)))

    def rispondi(self, titolo, tasti="Return"):
        d = self.s.finestra_visibile(nome=titolo, pid=self.p.pid, descrizione=f"la domanda «{titolo}»")
        self.s.tasto(d, tasti)
        aspetta(lambda: self.s.geometria(d) is None, f"la domanda «{titolo}» si chiude")

    def salvata(self):
        aspetta(lambda: not self.s.nome_finestra(self.finestra).split(" ")[0].endswith("*"), "il salvataggio")

    def esci(self):
        self.s.tasto(self.finestra, "ctrl+q")
        try:
            self.p.wait(timeout=LIMITE + 3)
        except subprocess.TimeoutExpired:
            raise AssertionError("l'editor non si chiude")


def ostili(s, editor):
    for descrizione, prepara, atteso in OSTILI:
        c = os.path.join(s.temp, "ostile-" + str(len(os.listdir(s.temp))))
        os.makedirs(os.path.join(c, "jpg"))
        prepara(c)
        for n, p in ((3, "ape"), (4, "cane"), (5, "gatto"), (6, "topino")):
            if not os.path.lexists(os.path.join(c, f"lista{n}.txt")):
                scrivi(os.path.join(c, f"lista{n}.txt"), p + "\n")
        e = Editor(s, editor, c)
        verifica(e.aperta <= LIMITE, f"{descrizione}: la finestra dopo {e.aperta:.2f} s")
        detto = aspetta(lambda: [t for t in testi(e.accessibile()) if atteso in t], f"{descrizione}: «{atteso}»")
        log(f"{descrizione}: finestra in {e.aperta:.2f} s, «{detto[0][:90]}»")
        prima = time.monotonic()
        e.esci()
        verifica(time.monotonic() - prima <= LIMITE + 1, f"{descrizione}: chiusa in {time.monotonic() - prima:.1f} s")


def main(gioco, editor):
    with Sessione("parole-cura") as s:
        s.avvia_x()
        casa = s.casa_nuova()
        s.avvia_accessibilita()

        ostili(s, editor)

        # Her copy: four words of four letters, each with its own picture, and one of five.
        copia = cartella_dati(s.temp, gioco, {3: "ape", 5: "gatto", 6: "topino"})
        scrivi(os.path.join(copia, "lista4.txt"), "cane\nlupo\nrana\ntopo\norso\n")
        for parola, colore in (("cane", "orange"), ("lupo", "magenta"), ("rana", "green"), ("topo", "gray"),
                               ("orso", "brown")):
            jpeg(os.path.join(copia, "jpg", parola + ".jpg"), colore)
        lista = os.path.join(copia, "lista4.txt")
        foto = os.path.join(s.temp, "rossa.png")
        subprocess.run(["convert", "-size", "800x600", "xc:red", foto], check=True)
        originale = impronta(os.path.join(copia, "jpg", "cane.jpg"))
        gatto = impronta(os.path.join(copia, "jpg", "gatto.jpg"))

        a = Editor(s, editor, copia)
        # A click, then Canc: the clicked word goes.
        a.clic("page tab", "4 lettere (5)")
        a.clic("list item", "lupo")
        s.tasto(a.finestra, "Delete")
        a.rispondi("Togli la parola")
        aspetta(lambda: a.nodo("page tab", "4 lettere (4)"), "lupo tolto")
        # The word's own menu: a right click, then its entry by the mouse.
        a.menu_parola("rana", "Togli la parola")
        a.rispondi("Togli la parola")
        aspetta(lambda: a.nodo("page tab", "4 lettere (3)"), "rana tolta")
        s.tasto(a.finestra, "ctrl+s")
        aspetta(lambda: open(lista).read() == "cane\ntopo\norso\n", "la lista senza lupo e rana")
        for parola in ("lupo", "rana"):
            verifica(not os.path.exists(os.path.join(copia, "jpg", parola + ".jpg")), f"{parola}.jpg è rimasta")

        # A new picture, saved, undone, saved: the bytes are the original's again.
        a.clic("list item", "cane")
        s.tasto(a.finestra, "ctrl+i")
        d = s.finestra_visibile(nome="Nuova immagine per «cane»", pid=a.p.pid, descrizione="il dialogo")
        s.scrivi(d, foto)
        s.tasto(d, "Return")
        time.sleep(0.5)
        s.tasto(d, "alt+i")
        aspetta(lambda: s.geometria(d) is None, "il dialogo si chiude")
        s.tasto(a.finestra, "ctrl+s")
        a.salvata()
        verifica(impronta(os.path.join(copia, "jpg", "cane.jpg")) != originale, "la nuova immagine non è salvata")
        s.tasto(a.finestra, "ctrl+z")
        s.tasto(a.finestra, "ctrl+s")
        a.salvata()
        verifica(impronta(os.path.join(copia, "jpg", "cane.jpg")) == originale,
                 "annullare dopo aver salvato non rimette l'immagine di prima")

        # Rinomina (F2) on a clicked word: the picture follows it.
        a.clic("page tab", "5 lettere (1)")
        a.clic("list item", "gatto")
        s.tasto(a.finestra, "F2")
        d = s.finestra_visibile(nome="Rinomina", pid=a.p.pid, descrizione="il dialogo Rinomina")
        s.tasto(d, "ctrl+a")
        s.scrivi(d, "gatta")
        s.tasto(d, "Return")
        aspetta(lambda: s.geometria(d) is None, "il dialogo Rinomina si chiude")
        s.tasto(a.finestra, "ctrl+s")
        lista5 = os.path.join(copia, "lista5.txt")
        aspetta(lambda: open(lista5, newline="").read() == "gatta\r\n", "gatta nella lista", attesa=10)
        verifica(impronta(os.path.join(copia, "jpg", "gatta.jpg")) == gatto, "l'immagine non ha seguito gatta")
        verifica(not os.path.exists(os.path.join(copia, "jpg", "gatto.jpg")), "gatto.jpg è rimasta")
        log("clic e Canc, menu della parola, immagine annullata dopo il salvataggio, Rinomina: ok")

        # A second editor on the same folder says so; A takes out cane and saves: its picture stays,
        # since B still shows cane.
        b = Editor(s, editor, copia)
        aspetta(lambda: [t for t in testi(b.accessibile()) if "anche in un'altra finestra" in t],
                "l'avviso della seconda finestra")
        a.clic("page tab", "4 lettere (3)")
        a.clic("list item", "cane")
        s.tasto(a.finestra, "Delete")
        a.rispondi("Togli la parola")
        s.tasto(a.finestra, "ctrl+s")
        aspetta(lambda: open(lista).read() == "topo\norso\n", "la lista di A senza cane")
        verifica(os.path.exists(os.path.join(copia, "jpg", "cane.jpg")), "cane.jpg cancellata mentre B la mostra")
        # B takes out topo: saving asks first, as A's list is on disk now; "no" writes nothing.
        b.clic("page tab", "4 lettere (3)")
        b.clic("list item", "topo")
        s.tasto(b.finestra, "Delete")
        b.rispondi("Togli la parola")
        s.tasto(b.finestra, "ctrl+s")
        b.rispondi("Cambiate da un altro programma", "Escape")
        verifica(open(lista).read() == "topo\norso\n", "B ha salvato senza chiedere")
        # Saving anyway brings cane back, and its picture is there for it.
        s.tasto(b.finestra, "ctrl+s")
        b.rispondi("Cambiate da un altro programma")
        aspetta(lambda: open(lista).read() == "cane\norso\n", "la lista di B")
        verifica(os.path.exists(os.path.join(copia, "jpg", "cane.jpg")), "la lista nomina cane senza immagine")
        verifica(os.path.exists(os.path.join(copia, "jpg", "topo.jpg")), "topo.jpg cancellata mentre A la mostra")
        b.esci()
        a.esci()
        log("due editor sulla stessa cartella: avviso, domanda, nessuna immagine persa")


if __name__ == "__main__":
    esegui(lambda _: main(sys.argv[1], sys.argv[2]))
