#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Keys held down with the X server's auto-repeat on, under a window manager (openbox): each hold is
judged once, when it is let go. Enter held on "Avvio" starts the game and presses nothing in it; Enter
held on "Aiutami" or on "Esci" opens its message box and answers nothing there; Enter and Space held on a wrong
drawn key count one error each after a click on it; with the PC keyboard a held wrong letter counts one error, a held
Backspace one more, and a held letter never spills into the next box."""

import time

from batticco_e2e import (esegui, AREA, Gioco, Sessione, applicazione, aspetta, attivo, cartella_dati, log, nodi, premi,
                          testo, verifica, visibile)

TENUTA = 1.5  # seconds


def main(eseguibile):
    with Sessione("tasti-tenuti") as s:
        s.avvia_x()
        s.avvia_gestore_finestre()
        s.x("xset", "r", "on")
        s.x("xset", "r", "rate", "250", "30")
        verifica("auto repeat:  on" in s.x("xset", "q"), "la ripetizione automatica del server è spenta")
        s.avvia_accessibilita()
        cartella = cartella_dati(s.temp, eseguibile, {3: "ape", 4: "cane"})
        programma = s.avvia_programma(cartella)
        avvio = s.finestra_avvio(programma)
        app = applicazione(programma.pid)

        def cerca(ruolo, nome):
            return [n for r, nm, n in nodi(app) if r == ruolo and nm == nome and visibile(n)]

        def errati():
            nomi = [nm for r, nm, n in nodi(app) if r == "label" and nm.startswith("Errati:") and visibile(n)]
            verifica(len(nomi) == 1, f"contatore degli errati: {nomi}")
            return int(nomi[0].split(":")[1])

        def tieni(finestra, tasto, tenuta=TENUTA):
            s.x("xdotool", "windowfocus", "--sync", str(finestra), controlla=False)
            s.x("xdotool", "keydown", tasto)
            time.sleep(tenuta)
            s.x("xdotool", "keyup", tasto)
            time.sleep(0.5)  # the release and anything it starts

        def conta_dopo(finestra, tasto, attesi, cosa, tenuta=TENUTA):
            tieni(finestra, tasto, tenuta)
            aspetta(lambda: errati() == attesi, f"{attesi} errori dopo {cosa}", attesa=5)
            time.sleep(0.5)
            verifica(errati() == attesi, f"{errati()} errori dopo {cosa}, non {attesi}")
            log(f"{cosa}: {attesi} errori in tutto")

        # Enter held on Avvio: the game starts, and its repeats press nothing there.
        tieni(avvio, "Return")
        gioco = s.finestra_visibile(pid=programma.pid, condizione=lambda g: g[2] == AREA[0], descrizione="il gioco")
        aspetta(lambda: cerca("label", "Errati: 0"), "il gioco con zero errori")
        time.sleep(0.5)
        verifica(errati() == 0, f"Invio tenuto su Avvio conta {errati()} errori nel gioco")

        # Enter held on a focused Aiutami, and on Esci reached with F10: the box opens on the press,
        # and stays open through the hold and the release, past the server's repeat delay.
        def messaggi():
            return s.finestre(nome="^Batticco$", pid=programma.pid)

        def tieni_su_messaggio(cosa):
            s.x("xdotool", "keydown", "Return")
            aperto = s.finestra_visibile(nome="^Batticco$", pid=programma.pid, descrizione=f"il messaggio di {cosa}")
            inizio = time.monotonic()
            while time.monotonic() - inizio < TENUTA:
                verifica(messaggi(), f"Invio tenuto chiude il messaggio di {cosa} dopo "
                                     f"{time.monotonic() - inizio:.2f} s")
                time.sleep(0.05)
            s.x("xdotool", "keyup", "Return")
            time.sleep(0.5)
            verifica(messaggi() == [aperto], f"il messaggio di {cosa} non è più aperto dopo il rilascio")
            log(f"Invio tenuto {TENUTA} s su {cosa}: il messaggio resta aperto")
            return aperto

        import pyatspi  # once the accessibility bus is up: it reads the bus's address on import
        aiutami = cerca("push button", "Aiutami")
        verifica(len(aiutami) == 1, f"pulsanti Aiutami: {len(aiutami)}")
        aiutami[0].queryComponent().grabFocus()
        aspetta(lambda: attivo(aiutami[0]) and aiutami[0].getState().contains(pyatspi.STATE_FOCUSED),
                "il fuoco su Aiutami")
        aiuto = tieni_su_messaggio("Aiutami")
        s.tasto(aiuto, "Return")
        aspetta(lambda: not messaggi(), "il messaggio di Aiutami si chiude con un Invio")
        s.tasto(gioco, "F10", "Right", "Right", "Right", "Right")
        domanda = tieni_su_messaggio("Esci")
        s.tasto(domanda, "Escape")
        aspetta(lambda: not messaggi(), "la domanda si chiude con Esc")
        time.sleep(0.5)
        verifica(programma.poll() is None and errati() == 0, f"dopo i messaggi: {errati()} errori")

        # A click on the drawn key Q, a wrong letter for "cane", counts one error and gives Q the focus.
        Gioco(s, gioco).clic_tasto("q")
        aspetta(lambda: errati() == 1, "un errore dopo il clic su Q", attesa=5)
        conta_dopo(gioco, "Return", 2, "Invio tenuto su Q")
        conta_dopo(gioco, "space", 3, "Spazio tenuto su Q")

        # The PC keyboard, chosen through the menu entry's action.
        premi(aspetta(lambda: [n for r, nm, n in nodi(app) if r == "menu item" and nm.strip() == "usa la batticco del PC"],
                      "la voce usa la batticco del PC")[0])
        caselle = aspetta(lambda: (lambda t: t if len(t) == 4 else None)(
            [n for r, nm, n in nodi(app) if r == "text" and nm.startswith("Lettera") and visibile(n)]),
            "le quattro caselle")
        caselle.sort(key=lambda n: n.name)
        conta_dopo(gioco, "z", 4, "z tenuta nella prima casella")
        verifica(len(testo(caselle[0])) > 3 and set(testo(caselle[0])) == {"Z"},
                 f"la casella tiene {testo(caselle[0])!r}, non le Z della ripetizione")
        # Held twice as long as the z, so its repeats outnumber the Z's whatever the timing.
        conta_dopo(gioco, "BackSpace", 5, "Cancella tenuto", tenuta=2 * TENUTA)
        verifica(testo(caselle[0]) == "", f"la casella tiene ancora {testo(caselle[0])!r}")
        s.x("xdotool", "key", "c")
        aspetta(lambda: testo(caselle[0]) == "C", "la C nella prima casella")
        conta_dopo(gioco, "a", 6, "a tenuta nella seconda casella")
        verifica(set(testo(caselle[1])) == {"A"}, f"la seconda casella tiene {testo(caselle[1])!r}")
        verifica(testo(caselle[2]) == "", f"la ripetizione è passata alla terza casella: {testo(caselle[2])!r}")
        verifica(programma.poll() is None, "il programma è terminato")


if __name__ == "__main__":
    esegui(main)
