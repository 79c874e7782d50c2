#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CI: the game on Debian 13 (trixie, Qt 6.8, g++ 14) as well as on this Debian 12 machine. Builds a
# minimal Debian 13 system with debootstrap (kept as a tarball in /var/cache/batticco-ci for a week),
# copies the source tree into it and there runs the README's test command (tools/run-tests.sh, which
# installs its own packages), then tools/ci.d/20-deb.sh (the .deb built on 13, lintian, installed and
# started), and finally installs the .deb 20-deb.sh built on this machine and starts it once under Xvfb.
# Everything runs in private mount and PID namespaces: no mount reaches the host, no process outlives
# the job, and the system is deleted at the end. Any failing step fails the job.
set -euo pipefail
# Two kinds of cache keep a warm run short: the system with the packages tools/install-deps.sh installs
# (one tarball per version of that script, so a changed package list is installed afresh, as on a new
# machine), and ccache's store for the build. BATTICCO_CI_DEBIAN13=0 leaves the job out.
if [ "${BATTICCO_CI_DEBIAN13:-1}" = 0 ]; then
    echo "50-debian13: non eseguito (BATTICCO_CI_DEBIAN13=0)"
    exit 0
fi
cd "$(dirname "$0")/../.."
sorgenti=$PWD
build=${BATTICCO_BUILD:-build}
cache=${BATTICCO_CI_CACHE:-/var/cache/batticco-ci}
specchio=${BATTICCO_CI_MIRROR:-http://deb.debian.org/debian}
rilascio=trixie
tarball=$cache/$rilascio-minbase.tar.gz
pacchetti=$cache/$rilascio-apt # the packages apt fetched, for the next run
compilati=$cache/$rilascio-ccache
impronta=$(sha256sum tools/install-deps.sh | cut -c1-12)
pronto=$cache/$rilascio-pacchetti-$impronta.tar.zst # the system once tools/install-deps.sh has run
inizio=$SECONDS

passo() { echo "== 50-debian13 ($((SECONDS - inizio)) s): $*"; }
muori() { echo "50-debian13: ERRORE: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || muori "servono root, debootstrap e chroot (CI gira come root)"
command -v debootstrap >/dev/null || muori "debootstrap manca: tools/install-deps.sh lo installa"
deb12=$(ls "$build"/batticco_*.deb 2>/dev/null || true)
[ "$(echo "$deb12" | wc -w)" -eq 1 ] || muori "atteso il .deb di Debian 12 in $build (lo fa tools/ci.d/20-deb.sh), trovati: '$deb12'"

command -v zstd >/dev/null || muori "zstd manca: tools/install-deps.sh lo installa"
mkdir -p "$pacchetti/partial" "$compilati"
lavoro=$(mktemp -d /var/tmp/batticco-debian13.XXXXXX)
radice=$lavoro/radice
pulisci() {
    # The namespaces are gone with their processes: nothing is mounted here any more. Should anything
    # still be, --one-file-system keeps rm off it.
    if findmnt -rn -o TARGET | grep -q "^$lavoro"; then
        echo "50-debian13: ancora montato sotto $lavoro, lasciato lì" >&2
    else
        rm -rf --one-file-system "$lavoro"
    fi
}
trap pulisci EXIT
mkdir "$radice"

# Runs a shell command as root in the Debian 13 system: its own /proc, the host's devices, fresh /run
# and /tmp, apt's downloads kept in the cache, a clean environment; the source tree at /src.
dentro() {
    unshare --mount --pid --fork --propagation private -- bash -c '
        set -e
        r=$1
        mount --rbind /dev "$r/dev"
        mount -t proc proc "$r/proc"
        mount --rbind /sys "$r/sys"
        mount -t tmpfs tmpfs "$r/run"
        mount -t tmpfs tmpfs "$r/tmp"
        mount --bind "$3" "$r/var/cache/apt/archives"
        mkdir -p "$r/var/cache/ccache"
        mount --bind "$4" "$r/var/cache/ccache"
        exec chroot "$r" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
            HOME=/root LANG=C.UTF-8 TERM=dumb CCACHE_DIR=/var/cache/ccache CCACHE_MAXSIZE=1G \
            CMAKE_CXX_COMPILER_LAUNCHER=ccache bash -c "$2"
    ' _ "$radice" "$1" "$pacchetti" "$compilati"
}

if [ -f "$pronto" ] && [ -n "$(find "$pronto" -mtime -7)" ]; then
    passo "sistema Debian 13 con i pacchetti dalla cache $pronto"
    zstd -dc "$pronto" | tar -C "$radice" -x
elif [ -f "$tarball" ] && [ -n "$(find "$tarball" -mtime -7)" ]; then
    passo "sistema Debian 13 dalla cache $tarball"
    tar -C "$radice" -xzf "$tarball"
else
    passo "debootstrap --variant=minbase $rilascio da $specchio"
    # debootstrap mounts /proc and /sys in the new system while it works: in a namespace of its own.
    unshare --mount --propagation private -- debootstrap --variant=minbase "$rilascio" "$radice" "$specchio" \
        > "$lavoro/debootstrap.log" 2>&1 || { tail -30 "$lavoro/debootstrap.log"; muori "debootstrap non riuscito"; }
    tar -C "$radice" --numeric-owner -czf "$tarball.nuovo" .
    mv "$tarball.nuovo" "$tarball"
    passo "sistema in cache: $(du -h "$tarball" | cut -f1)"
fi
grep -q "VERSION_CODENAME=$rilascio" "$radice/etc/os-release" || muori "il sistema non è Debian 13"
cp /etc/resolv.conf "$radice/etc/resolv.conf"
# Packages' scripts start no services in the chroot.
printf '#!/bin/sh\nexit 101\n' > "$radice/usr/sbin/policy-rc.d"
chmod 755 "$radice/usr/sbin/policy-rc.d"

if [ ! -f "$radice/usr/bin/ccache" ]; then
    passo "tools/install-deps.sh su Debian 13 nuovo, e ccache"
    mkdir "$radice/src"
    cp tools/install-deps.sh "$radice/src/"
    dentro "/src/install-deps.sh && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ccache" \
        > "$lavoro/pacchetti.log" 2>&1 || { tail -30 "$lavoro/pacchetti.log"; muori "tools/install-deps.sh non riuscito"; }
    rm -r "$radice/src"
    rm -f "$cache/$rilascio"-pacchetti-*.tar.zst
    tar -C "$radice" --numeric-owner -c . | zstd -q -T2 -3 > "$pronto.nuovo"
    mv "$pronto.nuovo" "$pronto"
    passo "sistema con i pacchetti in cache: $(du -h "$pronto" | cut -f1)"
fi

passo "sorgenti in /src"
mkdir "$radice/src"
if git -C "$sorgenti" rev-parse --verify -q HEAD >/dev/null; then
    git -C "$sorgenti" archive HEAD | tar -C "$radice/src" -x
else
    tar -C "$sorgenti" --exclude="./$build" --exclude=./.git -c . | tar -C "$radice/src" -x
fi

passo "tools/run-tests.sh su Debian 13"
dentro "cd /src && nice -n 10 tools/run-tests.sh" || muori "la suite non passa su Debian 13"

passo "tools/ci.d/20-deb.sh su Debian 13"
dentro "cd /src && tools/ci.d/20-deb.sh" || muori "il .deb fatto su Debian 13 non va"

passo "il .deb di Debian 12 ($(basename "$deb12")) su Debian 13"
mkdir "$radice/deb12"
cp "$deb12" "$radice/deb12/"
cat > "$radice/deb12/avvia.sh" <<'FINE'
#!/bin/bash
# In the Debian 13 system: install the Debian 12 package with its dependencies from Debian 13, open the
# installed game in a private X server, wait for its start window, close it, remove the package.
set -euo pipefail
muori() { echo "50-debian13: ERRORE (.deb di Debian 12): $*" >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -o DPkg::Lock::Timeout=900 /deb12/batticco_*.deb
/usr/games/batticco-verifica /usr/lib/batticco || muori "batticco-verifica trova problemi nei dati installati"
temp=$(mktemp -d)
exec 3> "$temp/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp &
exec 3>&-
for _ in $(seq 100); do [ -s "$temp/display" ] && break; sleep 0.1; done
[ -s "$temp/display" ] || muori "Xvfb non è partito"
export DISPLAY=":$(cat "$temp/display")"
HOME=$temp /usr/games/batticco > "$temp/programma.log" 2>&1 &
programma=$!
finestra=
for _ in $(seq 150); do
    kill -0 $programma 2>/dev/null || { cat "$temp/programma.log"; muori "il programma è terminato da solo"; }
    for w in $(xdotool search --all --onlyvisible --pid $programma --name '' 2>/dev/null || true); do
        xwininfo -id "$w" | grep -q 'Width: 588' && xwininfo -id "$w" | grep -q 'Height: 453' && finestra=$w
    done
    [ -n "$finestra" ] && break
    sleep 0.2
done
[ -n "$finestra" ] || { cat "$temp/programma.log"; muori "nessuna finestra d'avvio in 30 s"; }
echo "finestra d'avvio $finestra: $(xwininfo -id "$finestra" | grep -E 'Width|Height' | tr -s ' \n' ' ')"
# Closed as a person closes it: the window manager asks the window to close.
openbox --sm-disable > /dev/null 2>&1 &
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
wmctrl -i -c "$finestra" || muori "wmctrl non chiude la finestra"
for _ in $(seq 100); do kill -0 $programma 2>/dev/null || break; sleep 0.1; done
if kill -0 $programma 2>/dev/null; then
    kill -KILL $programma
    muori "il programma è ancora aperto 10 s dopo la chiusura della finestra"
fi
stato=0
wait $programma || stato=$?
[ -s "$temp/programma.log" ] && { echo "-- ha scritto:"; cat "$temp/programma.log"; }
[ "$stato" -eq 0 ] || muori "il programma si è chiuso con lo stato $stato"
apt-get remove -y batticco >/dev/null
echo "il .deb di Debian 12 si installa, si apre e si chiude su Debian 13"
FINE
dentro "bash /deb12/avvia.sh" || muori "il .deb di Debian 12 non va su Debian 13"

passo "tutto bene in $((SECONDS - inizio)) s"
