#!/usr/bin/env bash
# Opens Zarnpath's selection screen in this terminal, under Wine, on a demo
# drive: a generated tree of a few hundred directories mapped to M:, with a
# second small drive N: to move to with F3. Builds the program first if needed.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

[ -f build/ZARNPATH.EXE ] || bash scripts/setup.sh

demo=$(mktemp -d "${TMPDIR:-/tmp}/zarnpath-demo.XXXXXX")
export WINEPREFIX="$demo/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$demo"
}
trap cleanup EXIT

echo "Preparing the demo (the first start of Wine takes a few seconds)..."
python3 scripts/make_demo_tree.py "$demo/drive-m" --flavour main
python3 scripts/make_demo_tree.py "$demo/drive-n" --flavour second
mkdir -p "$demo/program"
cp build/ZARNPATH.EXE resources/ZRN.BAT "$demo/program/"

wine cmd /c exit </dev/null >/dev/null 2>&1 || true
ln -sfn "$demo/drive-m" "$WINEPREFIX/dosdevices/m:"
ln -sfn "$demo/drive-n" "$WINEPREFIX/dosdevices/n:"
# Wine lists the drives its mount manager saw at start: restart it.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true

read -r rows cols < <(stty size 2>/dev/null || echo "0 0")
if [ "$cols" -lt 50 ] || [ "$rows" -lt 30 ]; then
  echo "Note: the screen needs a terminal of at least 50 x 30 (this one is ${cols} x ${rows})."
fi
cat <<'TEXT'

  Searching drive M: for "project". The drive's index is built on the first search.
  Up/Down, Page Up/Page Down, Home/End move the highlight; the preview shows what
  the highlighted directory holds. F2 rebuilds the index, F3 asks for a drive
  (type n for the second demo drive, m to come back). Return chooses, ESC leaves.

TEXT
if [ -t 0 ]; then read -r -p "Press Enter to start. " _; fi

cd "$demo/drive-m"
wine "$demo/program/ZARNPATH.EXE" project || true
clear 2>/dev/null || true
echo "The change script that the wrapper ZRN.BAT would run in your shell:"
sed 's/\r$//' "$demo/program/ZRN2.BAT"
cd "$repo"
