#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The word-list editor as a teacher uses it, with a fresh home and the game installed beside the
editor: she makes her own copy, adds FARO to the 4-letter list with a 1600 x 1200 photo, removes LUPO
and saves, all by keys and typing; then the game started from the editor shows the lighthouse,
upright and framed, for FARO and never picks LUPO. Nothing is written outside her copy and her
applications folder."""

import os
import shutil
import subprocess
import sys
import time

from batticco_e2e import (esegui, AREA, AVANTI, AVVIO, TWIPS, Gioco, Sessione, aspetta, cartella_dati, log, verifica)
from test_nessuna_scrittura import elenco

FIGURA = (2760 // TWIPS, 120 // TWIPS, 3495 // TWIPS)  # the game's picture box: left, top, side

COLORI = {"cane": "orange", "lupo": "magenta", "ape": "white", "gatto": "gray", "topino": "gray"}


def componenti(c):
    return (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF


def cielo(c):
    r, g, b = componenti(c)
    return b > 0xB0 and r < 0x70 and 0x60 < g < 0xC0


def erba(c):
    r, g, b = componenti(c)
    return g > 0x80 and r < 0x70 and b < 0x70


def rosso(c):
    r, g, b = componenti(c)
    return r > 0xC0 and g < 0x60 and b < 0x60


def giallo(c):
    r, g, b = componenti(c)
    return r > 0xC0 and g > 0xC0 and b < 0x60


def foto_faro(percorso):
    """A phone-sized landscape photo: sky, grass, a red and white tower in the middle, and yellow
    strips at both sides that the centred square frame leaves out."""
    subprocess.run(["convert", "-size", "1600x1200", "xc:#4090E0",
                    "-fill", "#30A030", "-draw", "rectangle 0,800 1599,1199",
                    "-fill", "yellow", "-draw", "rectangle 0,0 199,1199", "-draw", "rectangle 1400,0 1599,1199",
                    "-fill", "#E02020", "-draw", "rectangle 700,200 900,800",
                    "-fill", "white", "-draw", "rectangle 700,400 900,500", percorso], check=True)


def main(gioco_eseguibile, editor_eseguibile, dati):
    with Sessione("parole") as s:
        s.avvia_x()
        # The installed game, with this editor beside it as the package lays them out.
        installato = cartella_dati(s.temp, gioco_eseguibile, {3: "ape", 4: "cane", 5: "gatto"},
                                   suoni={n: os.path.join(dati, "suoni", n) for n in os.listdir(os.path.join(dati, "suoni"))})
        with open(os.path.join(installato, "lista4.txt"), "w") as f:
            f.write("cane\nlupo\n")
        for parola in ("cane", "lupo"):
            subprocess.run(["convert", "-size", "64x64", f"xc:{COLORI[parola]}", os.path.join(installato, "jpg", parola + ".jpg")],
                           check=True)
        shutil.copy2(editor_eseguibile, os.path.join(installato, "batticco-parole"))
        foto = os.path.join(s.temp, "foto", "faro.png")
        os.makedirs(os.path.dirname(foto))
        foto_faro(foto)

        casa = s.casa_nuova()
        s.env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        prima_installato = elenco(installato)
        prima_foto = elenco(os.path.dirname(foto))

        uscita = open(os.path.join(s.temp, "editor.log"), "w+")
        editor = s.avvia_processo([os.path.join(installato, "batticco-parole")], stdout=uscita,
                                  stderr=subprocess.STDOUT, cwd=s.temp)
        finestra = s.finestra_visibile(nome="Parole di Batticco", pid=editor.pid, descrizione="la finestra dell'editor")
        aspetta(lambda: s.nome_finestra(finestra).startswith("batticco "), "l'editor apre il gioco installato")

        # Her copy: the offer has the focus; the dialog proposes ~/Batticco; Enter makes it.
        s.tasto(finestra, "space")
        dialogo = s.finestra_visibile(nome="Fai la mia copia", pid=editor.pid, descrizione="il dialogo della copia")
        s.tasto(dialogo, "Return")
        copia = os.path.join(casa, "Batticco")
        aspetta(lambda: s.nome_finestra(finestra).startswith("Batticco "), "l'editor apre la copia")
        verifica(os.access(os.path.join(copia, "batticco"), os.X_OK), "la copia non ha il programma")
        voci = os.listdir(os.path.join(casa, ".local", "share", "applications"))
        verifica(len(voci) == 1, f"voci del menu: {voci}")
        with open(os.path.join(casa, ".local", "share", "applications", voci[0])) as f:
            voce = f.read()
        verifica("Name=Batticco - le mie parole\n" in voce and f'Exec="{copia}/batticco"' in voce,
                 f"voce del menu sbagliata:\n{voce}")
        verifica(not os.path.exists(os.path.join(copia, "batticco-parole")), "l'editor è finito nella copia")

        # FARO with the photo: Ctrl+N on the 4-letter list, the word, Tab, the photo's path and Enter,
        # then Alt+A (Aggiungi).
        s.tasto(finestra, "ctrl+n")
        nuova = s.finestra_visibile(nome="Nuova parola di 4 lettere", pid=editor.pid, descrizione="il dialogo della parola")
        s.scrivi(nuova, "faro")
        s.tasto(nuova, "Tab")
        s.scrivi(nuova, foto)
        s.tasto(nuova, "Return")
        time.sleep(1)
        if os.environ.get("BATTICCO_E2E_SCHERMATE"):
            x, y, w, h = s.geometria(nuova)
            s.x("import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}",
                os.path.join(os.environ["BATTICCO_E2E_SCHERMATE"], "parola-nuova.png"))
        s.tasto(nuova, "alt+a")
        aspetta(lambda: s.geometria(nuova) is None, "il dialogo della parola si chiude")
        aspetta(lambda: s.nome_finestra(finestra).startswith("Batticco*"), "la finestra segna le modifiche")

        # LUPO: typed to select it in the grid, Delete, and the question answered with Enter (Togli).
        s.scrivi(finestra, "lupo")
        s.tasto(finestra, "Delete")
        domanda = s.finestra_visibile(nome="Togli la parola", pid=editor.pid, descrizione="la domanda prima di togliere")
        s.tasto(domanda, "Return")
        aspetta(lambda: s.geometria(domanda) is None, "la domanda si chiude")
        s.tasto(finestra, "ctrl+s")
        lista = os.path.join(copia, "lista4.txt")
        aspetta(lambda: open(lista).read() == "cane\nfaro\n", "la lista salvata con faro e senza lupo")
        aspetta(lambda: not s.nome_finestra(finestra).startswith("Batticco*"), "la finestra non segna più modifiche")
        verifica(not os.path.exists(os.path.join(copia, "jpg", "lupo.jpg")), "l'immagine di lupo è rimasta")
        r = subprocess.run(["identify", "-format", "%m %w %h", os.path.join(copia, "jpg", "faro.jpg")],
                           capture_output=True, text=True, check=True)
        verifica(r.stdout == "JPEG 480 480", f"faro.jpg: {r.stdout}")

        # F5: the game from the copy.
        prima = set(s.finestre())
        s.tasto(finestra, "F5")
        avvio = s.finestra_visibile(condizione=lambda g: (g[2], g[3]) == AVVIO, descrizione="la finestra d'avvio del gioco")
        gioco_pid = int(s.x("xdotool", "getwindowpid", str(avvio)).strip())
        try:
            verifica(os.readlink(f"/proc/{gioco_pid}/exe") == os.path.join(copia, "batticco"),
                     "il gioco partito non è quello della copia")
            s.tasto(avvio, "Return")
            g = Gioco(s, s.finestra_visibile(pid=gioco_pid, condizione=lambda g: g[2] == AREA[0],
                                             descrizione="la finestra del gioco"))
            x0, y0 = g.punto(FIGURA[0], FIGURA[1])
            lato = FIGURA[2]

            def parola_in_figura():
                sc = s.schermata()
                centro = sc(x0 + lato // 2, y0 + lato // 2)
                r_, g_, b_ = componenti(centro)
                if r_ > 0xE0 and 0x90 < g_ < 0xB8 and b_ < 0x40:
                    return "cane", sc
                if r_ > 0xE0 and g_ < 0x40 and b_ > 0xE0:
                    return "lupo", sc
                if rosso(sc(x0 + lato // 2, y0 + lato * 3 // 5)):
                    return "faro", sc
                return None

            visti = []
            while len(visti) < 24 and not ("faro" in visti and len(visti) >= 6):
                parola, sc = aspetta(parola_in_figura, "una figura che si riconosce nel gioco")
                visti.append(parola)
                verifica(parola != "lupo", "il gioco ha scelto lupo, che è stato tolto")
                if parola == "faro" and visti.count("faro") == 1:
                    # Upright and framed: sky above, grass below, the tower in the middle, no yellow
                    # strip (the photo was not squeezed into the square).
                    px = lambda fx, fy: sc(x0 + int(lato * fx), y0 + int(lato * fy))
                    verifica(cielo(px(0.1, 0.1)) and cielo(px(0.9, 0.3)), "il cielo non è in alto")
                    verifica(erba(px(0.1, 0.9)) and erba(px(0.9, 0.85)), "l'erba non è in basso")
                    verifica(rosso(px(0.5, 0.25)) and rosso(px(0.5, 0.6)), "la torre non è nel mezzo")
                    verifica(not any(giallo(px(fx, fy)) for fx in (0.02, 0.98) for fy in (0.1, 0.5, 0.9)),
                             "la foto è schiacciata nel quadrato: si vedono le strisce gialle")
                    if os.environ.get("BATTICCO_E2E_SCHERMATE"):
                        s.x("import", "-window", "root", "-crop", f"{lato}x{lato}+{x0}+{y0}",
                            os.path.join(os.environ["BATTICCO_E2E_SCHERMATE"], "faro-nel-gioco.png"))
                for lettera in parola:
                    g.clic_tasto(lettera)
                    time.sleep(0.05)
                time.sleep(0.2)
                g.clic_rettangolo(AVANTI)
                time.sleep(0.4)
            log("parole viste nel gioco:", " ".join(visti))
            verifica("faro" in visti, f"FARO non è mai uscito in {len(visti)} turni")
        finally:
            try:
                os.kill(gioco_pid, 15)
            except ProcessLookupError:
                pass
        for _ in range(100):
            if not os.path.exists(f"/proc/{gioco_pid}"):
                break
            time.sleep(0.05)

        # Quit: nothing unsaved, so no question.
        s.tasto(finestra, "ctrl+q")
        try:
            editor.wait(timeout=20)
        except subprocess.TimeoutExpired:
            raise AssertionError("l'editor non si chiude")

        # What changed on disk: only the copy and the applications folder, under the new home.
        verifica(elenco(installato) == prima_installato, "il gioco installato è cambiato")
        verifica(elenco(os.path.dirname(foto)) == prima_foto, "la foto originale è cambiata")
        ammessi = ("Batticco", os.path.join(".local", "share", "applications"))
        estranei = [p for p in elenco(casa)
                    if not any(p == a or p.startswith(a + os.sep) for a in ammessi)
                    and p not in (".local", os.path.join(".local", "share"))]
        verifica(not estranei, f"file scritti fuori dalla copia: {estranei}")
        log("niente scritto fuori dalla copia e dal menu")


if __name__ == "__main__":
    esegui(lambda _: main(sys.argv[1], sys.argv[2], sys.argv[3]))
