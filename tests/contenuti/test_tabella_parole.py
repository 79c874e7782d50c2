#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The shipped word lists against the word-to-picture table (tools/parole-emoji.tsv):

- every listed word has exactly one row, every row belongs to a list, no word is in two lists;
- no two words share a picture (the same emoji, with or without its variation selector);
- data/jpg holds exactly one JPEG per listed word, and nothing else;
- each list has at least its least number of words: 12, 50, 90 and 60 for 3, 4, 5 and 6 letters;
- the words known to invite another word of the same length stay out of the lists;
- with a second folder, the data the build laid beside the program: the lists, pictures and sounds
  of the sources, byte for byte (a build after a change to the data alone must not play the old
  words); files only the build folder has are allowed, a teacher may have added them.

Usage: test_tabella_parole.py <source folder> [<program folder of the build>]
"""
import os
import re
import sys

MINIMO = {3: 12, 4: 50, 5: 90, 6: 60}
# A picture of each of these makes a child say another word of the same length first.
TRAPPOLE = {
    "lupo": "cane", "sale": "pepe", "ruota": "gomma", "verme": "bruco", "latte": "succo",
    "tir": "camion", "bue": "toro", "catena": "catene",
}


def confronta_cartella(dati, gioco):
    """The lists, pictures and sounds in <gioco> are those of <dati>, byte for byte."""
    errori = []
    for cartella in ("", "jpg", "suoni"):
        qui = {f for f in os.listdir(os.path.join(dati, cartella)) if f.endswith((".txt", ".jpg", ".wav"))}
        la = {f for f in os.listdir(os.path.join(gioco, cartella)) if f.endswith((".txt", ".jpg", ".wav"))}
        errori += [f"{gioco}: {os.path.join(cartella, f)} is missing" for f in sorted(qui - la)]
        for f in sorted(qui & la):
            with open(os.path.join(dati, cartella, f), "rb") as a, open(os.path.join(gioco, cartella, f), "rb") as b:
                if a.read() != b.read():
                    errori.append(f"{gioco}: {os.path.join(cartella, f)} differs from the sources")
    return errori


def main():
    radice = sys.argv[1]
    errori = []
    liste = {}
    for n in MINIMO:
        with open(os.path.join(radice, "data", f"lista{n}.txt"), encoding="utf-8") as f:
            parole = f.read().split("\n")
        if parole[-1] == "":
            parole.pop()
        for i, p in enumerate(parole, 1):
            if not re.fullmatch(r"[a-z]{%d}" % n, p):
                errori.append(f"lista{n}.txt:{i}: {p!r} is not {n} letters a-z")
            elif p in liste:
                errori.append(f"lista{n}.txt:{i}: {p} already in lista{liste[p]}.txt")
            else:
                liste[p] = n
        if len(parole) < MINIMO[n]:
            errori.append(f"lista{n}.txt has {len(parole)} words, fewer than {MINIMO[n]}")

    righe, immagini = {}, {}
    with open(os.path.join(radice, "tools", "parole-emoji.tsv"), encoding="utf-8") as f:
        for i, riga in enumerate(f, 1):
            riga = riga.rstrip("\n")
            if not riga or riga.startswith("#"):
                continue
            campi = riga.split("\t")
            if len(campi) != 3 or not campi[2]:
                errori.append(f"parole-emoji.tsv:{i}: expected word, codepoints and a note")
                continue
            parola, codici = campi[0], campi[1].upper()
            if parola in righe:
                errori.append(f"parole-emoji.tsv:{i}: {parola} has a second row")
            righe[parola] = codici
            emoji = "-".join(c for c in codici.split("-") if c != "FE0F")
            if emoji in immagini:
                errori.append(f"parole-emoji.tsv:{i}: {parola} uses the picture of {immagini[emoji]}")
            immagini[emoji] = parola

    errori += [f"{p} (lista{n}.txt) has no row in the table" for p, n in liste.items() if p not in righe]
    errori += [f"{p} is in the table but in no list" for p in righe if p not in liste]
    errori += [f"{p} is listed: a child says {altra}" for p, altra in TRAPPOLE.items() if p in liste]

    foto = set(os.listdir(os.path.join(radice, "data", "jpg")))
    errori += [f"jpg/{p}.jpg is missing" for p in liste if f"{p}.jpg" not in foto]
    errori += [f"jpg/{f} belongs to no word" for f in sorted(foto) if f[:-4] not in liste or not f.endswith(".jpg")]

    if len(sys.argv) > 2:
        errori += confronta_cartella(os.path.join(radice, "data"), sys.argv[2])

    for e in errori:
        print("FAIL:", e)
    print(f"{len(liste)} words, {len(righe)} table rows, {len(foto)} pictures")
    return 1 if errori else 0


if __name__ == "__main__":
    sys.exit(main())
