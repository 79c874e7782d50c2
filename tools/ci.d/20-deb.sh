#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CI: build the .deb from the build tree tools/run-tests.sh left, check the desktop entry and the
# AppStream metainfo, run lintian (no error, no warning), install the package, see the installed program open its start window in a
# private X server, close it, and remove the package. Any failing step fails the job.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BATTICCO_BUILD:-build}
pacchetto=batticco

passo() { echo "== 20-deb: $*"; }
muori() { echo "20-deb: ERRORE: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || muori "serve root per dpkg -i (CI gira come root)"
[ -f "$build/CMakeCache.txt" ] || muori "nessun build in $build: prima tools/run-tests.sh"

passo "metainfo e voce del menu"
appstreamcli validate --no-net --explain packaging/io.github.batticco.Batticco.metainfo.xml
desktop-file-validate packaging/batticco.desktop

passo "cpack"
rm -f "$build"/${pacchetto}_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/${pacchetto}_*.deb)
[ "$(echo "$deb" | wc -l)" -eq 1 ] || muori "attesi un solo .deb, trovati: $deb"
dpkg-deb --info "$deb"
dipendenze=$(dpkg-deb --field "$deb" Depends)
for d in fonts-liberation2 libqt6widgets6 libpulse0 libc6 qt6-translations-l10n libheif1; do
    grep -q "$d" <<<"$dipendenze" || muori "il pacchetto non dipende da $d: $dipendenze"
done
[ "$(dpkg-deb --field "$deb" Version)" = 1.0 ] || muori "versione del pacchetto non 1.0"
[ "$(dpkg-deb --field "$deb" Section)" = games ] || muori "sezione del pacchetto non games"
contenuto=$(dpkg-deb --contents "$deb")
for f in ./usr/games/batticco ./usr/games/batticco-verifica ./usr/lib/batticco/batticco ./usr/lib/batticco/lista4.txt \
    ./usr/share/doc/batticco/copyright ./usr/share/doc/batticco/changelog.gz \
    ./usr/share/batticco/guida/liste.md ./usr/share/batticco/guida/parole-nuova.png \
    ./usr/share/man/man6/batticco.6.gz ./usr/share/man/man6/batticco-verifica.6.gz \
    ./usr/share/applications/io.github.batticco.Batticco.desktop \
    ./usr/share/metainfo/io.github.batticco.Batticco.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/batticco.svg ./usr/share/icons/hicolor/48x48/apps/batticco.png; do
    grep -q " $f\( \|$\)" <<<"$contenuto" || muori "$f manca nel pacchetto"
done

passo "lintian"
# Errors and warnings fail the job; informational tags are shown but do not. CI runs as root.
lintian --fail-on error,warning --info "$deb"

# From here on the package is installed: whatever happens, remove it and end what was started.
xvfb_pid=
prog_pid=
pulisci() {
    [ -n "$prog_pid" ] && kill "$prog_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    if dpkg-query -W -f='${Status}' $pacchetto 2>/dev/null | grep -q 'install ok installed'; then
        dpkg -r $pacchetto >/dev/null || true
    fi
    rm -rf "${temp:-}"
}
trap pulisci EXIT
temp=$(mktemp -d)

passo "dpkg -i"
# Its dependencies are the ones tools/install-deps.sh already installed.
dpkg -i "$deb"
[ -L /usr/games/batticco ] || muori "/usr/games/batticco non è un collegamento"
[ "$(readlink -f /usr/games/batticco)" = /usr/lib/batticco/batticco ] || muori "/usr/games/batticco non porta al programma"
/usr/games/batticco-verifica /usr/lib/batticco || muori "batticco-verifica trova problemi nei dati installati"
[ -f /usr/lib/batticco/lista4.txt ] || muori "i dati non sono accanto al programma"

passo "il programma installato si apre"
exec 3> "$temp/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$temp/display" ] && break; sleep 0.1; done
[ -s "$temp/display" ] || muori "Xvfb non è partito"
export DISPLAY=":$(cat "$temp/display")"
HOME="$temp" /usr/games/batticco > "$temp/programma.log" 2>&1 &
prog_pid=$!
finestra=
for _ in $(seq 150); do
    kill -0 "$prog_pid" 2>/dev/null || { cat "$temp/programma.log"; muori "il programma è terminato da solo"; }
    for w in $(xdotool search --all --onlyvisible --pid "$prog_pid" --name '' 2>/dev/null || true); do
        if xwininfo -id "$w" | grep -q 'Width: 588' && xwininfo -id "$w" | grep -q 'Height: 453'; then
            finestra=$w
        fi
    done
    [ -n "$finestra" ] && break
    sleep 0.2
done
[ -n "$finestra" ] || muori "nessuna finestra d'avvio"
x=$(xwininfo -id "$finestra" | awk '/Absolute upper-left X/ {print $4}')
y=$(xwininfo -id "$finestra" | awk '/Absolute upper-left Y/ {print $4}')
# A blank spot of the start window shows one of the palette's colours, once painted.
# The colours come from the game's own table, whose entries are 0x00BBGGRR.
tavolozza=" $(sed -n '/tavolozza = {/,/};/p' feedback/ModuloColoriSuoni.h | grep -o '0x00[0-9A-F]\{6\}' \
    | sed 's/0x00\(..\)\(..\)\(..\)/\3\2\1/' | tr '\n' ' ')"
[ "$(wc -w <<<"$tavolozza")" -ge 16 ] || muori "la tavolozza del gioco non si legge da feedback/ModuloColoriSuoni.h"
colore=
for _ in $(seq 50); do
    colore=$(import -window root -crop "1x1+$((x + 10))+$((y + 10))" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1 | tr -d '#')
    [[ "$tavolozza" == *" $colore "* ]] && break
    sleep 0.2
done
[[ "$tavolozza" == *" $colore "* ]] || muori "lo sfondo della finestra d'avvio è #$colore, non un colore della tavolozza"
echo "finestra d'avvio $finestra, sfondo #$colore"

passo "chiusura"
kill -TERM "$prog_pid"
for _ in $(seq 100); do kill -0 "$prog_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$prog_pid" 2>/dev/null; then muori "il programma non si chiude"; fi
wait "$prog_pid" || true
prog_pid=

passo "l'editor delle parole installato si apre"
grep -q " ./usr/games/batticco-parole\( \|$\)" <<<"$contenuto" || muori "batticco-parole manca nel pacchetto"
grep -q " ./usr/share/applications/io.github.batticco.Parole.desktop\( \|$\)" <<<"$contenuto" \
    || muori "la voce del menu dell'editor manca nel pacchetto"
desktop-file-validate /usr/share/applications/io.github.batticco.Parole.desktop
mkdir -p "$temp/casa-editor"
HOME="$temp/casa-editor" /usr/games/batticco-parole > "$temp/editor.log" 2>&1 &
prog_pid=$!
editor=
for _ in $(seq 150); do
    kill -0 "$prog_pid" 2>/dev/null || { cat "$temp/editor.log"; muori "l'editor è terminato da solo"; }
    editor=$(xdotool search --onlyvisible --pid "$prog_pid" --name 'Parole di Batticco' 2>/dev/null | head -1 || true)
    [ -n "$editor" ] && break
    sleep 0.2
done
[ -n "$editor" ] || muori "nessuna finestra dell'editor"
# It opens the installed game's folder (read only) and shows its words.
xdotool getwindowname "$editor" | grep -q '^batticco' || muori "l'editor non apre /usr/lib/batticco: $(xdotool getwindowname "$editor")"
kill -TERM "$prog_pid"; wait "$prog_pid" || true
prog_pid=

passo "dpkg -r"
dpkg -r $pacchetto
[ ! -e /usr/games/batticco ] && [ ! -e /usr/lib/batticco ] || muori "dpkg -r lascia file del pacchetto"
echo "20-deb: tutto bene"
