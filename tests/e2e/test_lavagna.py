#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The whiteboard launcher, batticco-lavagna, on a 1024x768 and a 1920x1080 board under a window
manager: the game fills the screen with its frame, centred, scaled whole (every drawn key where the
design puts it, times the factor), the picture decoded sharp at its drawn size, the help box wide enough
for its title. The plain game beside it is unscaled."""

import os
import re
import shutil
import subprocess
import time

from batticco_e2e import (esegui, AIUTAMI, AREA, AVVIO, TASTI, TASTO, TWIPS, Fallito, Sessione, aspetta,
                          cartella_dati, log, verifica)

IMMAGINE = (2760, 120, 3495, 3495)  # the picture's frame, in twips
CIANO = 0x00FFFF


def strisce(percorso, lato=1200, passo=40):
    """A black and white JPEG of vertical stripes: sharp edges, to see how they are drawn."""
    os.makedirs(os.path.dirname(percorso), exist_ok=True)
    disegno = " ".join(f"rectangle {x},0 {x + passo // 2 - 1},{lato}" for x in range(0, lato, passo))
    subprocess.run(["convert", "-size", f"{lato}x{lato}", "xc:white", "-fill", "black", "-draw", disegno,
                    "-quality", "100", percorso], check=True)


def grigi(pixel):
    """The share of pixels neither near black nor near white: blurred edges are grey."""
    mezzi = sum(1 for c in pixel if 0x40 < ((c >> 8) & 0xFF) < 0xC0)
    return mezzi / len(pixel)


def riferimento(sorgente, passaggi, riga, temp):
    """grigi() of one row of the source scaled through the given sizes, as Qt's smooth scaling does."""
    uscita = os.path.join(temp, "riferimento.ppm")
    argomenti = ["convert", sorgente]
    for lato in passaggi:
        argomenti += ["-filter", "Triangle", "-resize", f"{lato}x{lato}!"]
    subprocess.run(argomenti + ["-depth", "8", uscita], check=True)
    with open(uscita, "rb") as f:
        dati = f.read()
    campi = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", dati)
    w = int(campi.group(1))
    inizio = campi.end() + riga * w * 3
    fila = [int.from_bytes(dati[inizio + 3 * i:inizio + 3 * i + 3], "big") for i in range(4, w - 4)]
    return grigi(fila)


def bordo(schermo, x, y, dx, dy, passi=12):
    """The first pixel from (x, y) in direction (dx, dy) that is not the cyan background."""
    for i in range(passi):
        if schermo(x + i * dx, y + i * dy) != CIANO:
            return x + i * dx if dx else y + i * dy
    raise Fallito(f"nessun bordo da {x},{y}")


def prova(eseguibile, schermo_xy):
    larghezza, altezza = schermo_xy
    with Sessione("lavagna") as s:
        s.avvia_x(f"{larghezza}x{altezza}")
        s.avvia_gestore_finestre()
        cartella = cartella_dati(s.temp, eseguibile, {3: "ape", 4: "cane"})
        shutil.copy2(os.path.join(os.path.dirname(eseguibile), "batticco-lavagna"), cartella)
        strisce(os.path.join(cartella, "jpg", "cane.jpg"))
        inizio = time.monotonic()
        programma = s.avvia_programma(cartella, nome="batticco-lavagna")
        misura = aspetta(lambda: re.search(r"fattore (\d+\.\d+)", s.output_programma()), "il fattore del lanciatore")
        f = float(misura.group(1))
        log(s.output_programma().strip().splitlines()[-1])

        # The start window, scaled too, in the middle of the board.
        atteso_avvio = (round(AVVIO[0] * f), round(AVVIO[1] * f))
        avvio = s.finestra_visibile(pid=programma.pid, condizione=lambda g: abs(g[2] - atteso_avvio[0]) <= 1
                                    and abs(g[3] - atteso_avvio[1]) <= 1, descrizione="la finestra d'avvio ingrandita")
        log(f"finestra d'avvio dopo {time.monotonic() - inizio:.2f} s: {s.geometria(avvio)}")
        s.tasto(avvio, "Return")
        finestra = s.finestra_visibile(pid=programma.pid, condizione=lambda g: abs(g[2] - round(AREA[0] * f)) <= 1,
                                       descrizione="la finestra del gioco ingrandita")
        aspetta(lambda: s.geometria(avvio) is None, "la finestra d'avvio si chiude")
        aspetta(lambda: s.cornice(finestra)[2] > 0, "la cornice del gioco")
        time.sleep(0.5)
        x, y, w, h = s.geometria(finestra)
        ex, ey, ew, eh = s.geometria_esterna(finestra)
        log(f"schermo {larghezza}x{altezza}: fattore {f}, gioco {w}x{h} a {x},{y}, con la cornice {ew}x{eh} a {ex},{ey}")
        verifica(ex >= 0 and ey >= 0 and ex + ew <= larghezza and ey + eh <= altezza,
                 f"il gioco con la cornice esce dallo schermo: {ex},{ey} {ew}x{eh}")
        # The largest factor: the window fills the board across or down, but for a few pixels.
        verifica(ew >= larghezza - 8 or eh >= altezza - 8,
                 f"il gioco potrebbe essere più grande: {ew}x{eh} su {larghezza}x{altezza}")
        verifica(abs(ex + ew / 2 - larghezza / 2) <= 4 and abs(ey + eh / 2 - altezza / 2) <= 4,
                 f"il gioco non è al centro dello schermo: {ex},{ey} {ew}x{eh}")

        # Scaled whole: each drawn key's left and top edge where the design puts it, times the factor.
        ax, ay = x, y + h - round(AREA[1] * f)
        schermo = s.schermata(os.path.join(s.temp, "lavagna.ppm"))
        if os.environ.get("BATTICCO_E2E_SCHERMATE"):
            subprocess.run(["convert", "ppm:" + os.path.join(s.temp, "lavagna.ppm"),
                            f"{os.environ['BATTICCO_E2E_SCHERMATE']}-{larghezza}.png"], check=True)
        scarti = []
        for lettera, (left, top) in TASTI.items():
            sx, sy = ax + left / TWIPS * f, ay + top / TWIPS * f
            mezzo_x = round(ax + (left + TASTO[0] / 2) / TWIPS * f)
            mezzo_y = round(ay + (top + TASTO[1] / 2) / TWIPS * f)
            trovato_x = bordo(schermo, round(sx) - 4, mezzo_y, 1, 0)
            trovato_y = bordo(schermo, mezzo_x, round(sy) - 4, 0, 1)
            scarti.append(max(abs(trovato_x - sx), abs(trovato_y - sy)))
            verifica(abs(trovato_x - sx) <= 1.01 and abs(trovato_y - sy) <= 1.01,
                     f"il tasto {lettera} è a {trovato_x},{trovato_y}, non a {sx:.1f},{sy:.1f}")
        log(f"26 tasti al loro posto per {f}: scarto massimo {max(scarti):.2f} px")

        # The picture: as sharp as the source scaled once to the drawn size, not once to the design's
        # size and then again to the board's.
        lato = round((IMMAGINE[2] / TWIPS - 2) * f)
        ix, iy = round(ax + (IMMAGINE[0] / TWIPS + 1) * f), round(ay + (IMMAGINE[1] / TWIPS + 1) * f)
        riga = lato // 2
        fila = schermo.regione(ix + 4, iy + riga, lato - 8, 1)
        nitido = riferimento(os.path.join(cartella, "jpg", "cane.jpg"), [lato], riga, s.temp)
        sfocato = riferimento(os.path.join(cartella, "jpg", "cane.jpg"), [IMMAGINE[2] // TWIPS - 2, lato], riga, s.temp)
        log(f"figura di {lato} px: grigi {grigi(fila):.2f}; nitida {nitido:.2f}, ingrandita dal disegno {sfocato:.2f}")
        verifica(grigi(fila) <= (nitido + sfocato) / 2, f"la figura è sfocata: {grigi(fila):.2f} di grigi")

        # The help box scales with the game and still has room for its title.
        s.clic(round(ax + (AIUTAMI[0] + AIUTAMI[2] / 2) * f), round(ay + (AIUTAMI[1] + AIUTAMI[3] / 2) * f))
        aiuto = s.finestra_visibile(nome="^Batticco$", pid=programma.pid, descrizione="il messaggio di Aiutami")
        _, _, bw, bh = s.geometria(aiuto)
        log(f"messaggio {bw}x{bh}")
        verifica(bw >= 160 * f * 0.9, f"il messaggio non è ingrandito col gioco: {bw}x{bh}")
        s.tasto(aiuto, "Return")
        aspetta(lambda: s.geometria(aiuto) is None, "il messaggio si chiude")

        # A request to fill the screen is turned back: the window keeps its size and its place.
        s.x("wmctrl", "-i", "-r", str(finestra), "-b", "add,fullscreen", controlla=False)
        time.sleep(1)
        verifica(s.geometria(finestra) == (x, y, w, h), f"a tutto schermo il gioco diventa {s.geometria(finestra)}")
        return f, (w, h)


def main(eseguibile):
    misure = {}
    for schermo in ((1024, 768), (1920, 1080)):
        misure[schermo] = prova(eseguibile, schermo)
    log("; ".join(f"{a}x{b}: fattore {f}, finestra {w}x{h}" for (a, b), (f, (w, h)) in misure.items()))


if __name__ == "__main__":
    esegui(main)
