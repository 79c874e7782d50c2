#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The shipped word lists against the word-to-picture table (tools/parole-emoji.tsv):

- every listed word has exactly one row, every row belongs to a list, no word is in two lists;
- no two words share a picture (the same emoji, with or without its variation selector);
- data/jpg holds exactly one JPEG per listed word, and nothing else;
- each list has at least its least number of words: 14, 50, 90 and 60 for 3, 4, 5 and 6 letters;
- each list keeps to the letters and sounds it trains (REGOLE), and enough of its words train its own;
- the words known to invite another word of the same length stay out of the lists (with the picture
  that failed, where another picture of the word is fine), and so do words children do not know;
- with a second folder, the data the build laid beside the program: the lists, pictures and sounds
  of the sources, byte for byte (a build after a change to the data alone must not play the old
  words); files only the build folder has are allowed, a teacher may have added them.

Usage: test_tabella_parole.py <source folder> [<program folder of the build>]
"""
import os
import re
import sys

MINIMO = {3: 14, 4: 50, 5: 90, 6: 60}
# Word, the picture that failed (None: any picture of it) and the word of the same length a child
# of five says first for it: the game would show the sad face on a letter of the right answer.
TRAPPOLE = [
    ("lupo", None, "cane"), ("sale", None, "pepe"), ("ruota", None, "gomma"), ("verme", None, "bruco"),
    ("latte", None, "succo"), ("catena", None, "catene"), ("bruco", None, "verme"),
    ("spina", None, "presa"), ("tazza", "2615", "latte"), ("buco", None, "buca"), ("circo", None, "tenda"),
    ("taxi", None, "auto"), ("olive", None, "oliva"), ("zampe", None, "zampa"), ("vasca", None, "bagno"),
    ("asino", None, "ciuco"), ("ala", None, "ali"), ("piano", None, "tasti"), ("isola", None, "palma"),
    ("dito", None, "mano"), ("onda", None, "mare"), ("cervo", None, "renna"), ("canoa", None, "barca"),
]
# What each list may hold, as it follows the order Italian schools teach spelling in: plain
# syllables (3, 4), then double consonants (5), then digraphs and trigraphs (6); the letters
# K, W, X, J, Y come after the 4-letter list.
STRANIERE = re.compile(r"[kwxjy]")
DOPPIE = re.compile(r"([b-df-hj-np-tv-z])\1")
DIGRAMMI = re.compile(r"gn|gl|sc[ei]|ch|gh|[cg]i[aou]|qu|cu[aeiou]")
REGOLE = {
    3: {"straniere": False, "doppie": False, "digrammi": False},
    4: {"straniere": False, "doppie": False, "digrammi": False},
    5: {"straniere": True, "doppie": True, "digrammi": False},
    6: {"straniere": True, "doppie": True, "digrammi": True},
}
# Share of a list's words with the sound it brings in, at least.
ALLENA = {5: (DOPPIE, 0.25), 6: (DIGRAMMI, 0.25)}
# Words many children of 4-6 do not know, and weapons: none in the lists.
ESCLUSE = {"abaco", "arpa", "alce", "lama", "orca", "lente", "teiera", "ancora", "mammut", "cocco",
           "abete", "ufo", "spada", "ascia", "ninja", "pugno"}


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
                for regola, schema in (("straniere", STRANIERE), ("doppie", DOPPIE), ("digrammi", DIGRAMMI)):
                    if not REGOLE[n][regola] and schema.search(p):
                        errori.append(f"lista{n}.txt:{i}: {p} has {regola} ({schema.search(p).group()}), "
                                      f"which lista{n}.txt does not train")
        if n in ALLENA:
            schema, quota = ALLENA[n]
            if sum(1 for p in parole if schema.search(p)) < quota * len(parole):
                errori.append(f"lista{n}.txt: fewer than {quota:.0%} of its words train {schema.pattern}")
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
    errori += [f"{p} is listed: for its picture a child says {altra}" for p, immagine, altra in TRAPPOLE
               if p in liste and (immagine is None or righe.get(p, "").split("-")[0] == immagine)]
    errori += [f"{p} is listed: few children of 4-6 know it, or it is a weapon" for p in ESCLUSE if p in liste]

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
