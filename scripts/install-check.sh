#!/usr/bin/env bash
# Checks the installed game as a player's system would see it:
#  1. `cmake --install` into a temporary DESTDIR; the installed program, started
#     headless from another folder with no options, finds its data;
#  2. the desktop entry, the AppStream file and the man page pass their validators,
#     and the icons have their sizes;
#  3. the Debian package builds, declares its dependencies, and the program unpacked
#     from it runs from another folder too, keeping no file it was not asked to.
# Usage: scripts/install-check.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "install-check: $*" >&2; exit 1; }
# The player's folders of every run below, so nothing reaches the real home folder.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/share"
unset TARQ_DATA
export SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=offscreen

# A PNG's width and height from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $3*256+$4 "x" $7*256+$8}'; }

echo "== install into a temporary DESTDIR"
root="$work/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr > "$work/install.log"
usr="$root/usr"
[ -x "$usr/bin/tarq" ] || fail "no program installed"
[ -f "$usr/share/tarq/system/sprites.pak" ] || fail "no data installed"
for f in tarq.ini hiscores.dat .forged; do
  if find "$usr/share/tarq" -name "$f" | grep -q .; then fail "$f must not be installed"; fi
done

mkdir -p "$work/elsewhere"
( cd "$work/elsewhere" && "$usr/bin/tarq" --headless --ticks 5 --dump dump.jsonl ) || fail "installed program did not run"
[ "$(wc -l < "$work/elsewhere/dump.jsonl")" -eq 5 ] || fail "installed run did not dump 5 ticks"
"$usr/bin/tarq" --version | grep -q '^tarq ' || fail "--version"

echo "== desktop entry, AppStream, man page, icons"
desktop-file-validate "$usr/share/applications/tarq.desktop"
grep -q '^Categories=Game;ArcadeGame;$' "$usr/share/applications/tarq.desktop" || fail "categories"
metainfo=$(ls "$usr"/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net --pedantic "$metainfo"
mandoc -T lint -W warning "$usr/share/man/man6/tarq.6"
MANWIDTH=80 man -l "$usr/share/man/man6/tarq.6" 2> "$work/man.err" | grep -q 'XDG_CONFIG_HOME' || fail "man -l"
[ ! -s "$work/man.err" ] || { cat "$work/man.err"; fail "man -l warned"; }
for size in 48 64 128 256; do
  icon="$usr/share/icons/hicolor/${size}x${size}/apps/tarq.png"
  [ "$(png_size "$icon")" = "${size}x${size}" ] || fail "icon $icon is not ${size}x${size}"
done
for shot in title playing; do
  [ "$(png_size "$usr/share/tarq-screenshots/$shot.png")" = "640x480" ] || fail "screenshot $shot"
done
[ ! -e "$HOME" ] || fail "a headless run wrote into the home folder"

echo "== Debian package"
( cd "$build" && cpack -G DEB > "$work/cpack.log" ) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls -t "$build"/tarq_*.deb | head -1)
dpkg-deb --info "$deb" > "$work/info"
cat "$work/info"
for dep in libsdl2 libopenmpt libgtk-3 libepoxy libgl1 libc6; do
  grep -q "Depends:.*$dep" "$work/info" || fail "the package does not depend on $dep"
done
dpkg-deb -x "$deb" "$work/pkg"
( cd "$work/elsewhere" && "$work/pkg/usr/bin/tarq" --headless --ticks 5 ) || fail "packaged program did not run"
echo "install-check: all good ($deb)"
