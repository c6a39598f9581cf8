#!/usr/bin/env bash
# Shows Zarnpath's selection page under Wine on a demo drive: a generated tree
# of a few hundred directories mapped to M:, with a second small drive N: to
# move to with F3. Builds only the program. The page needs a console of at
# least 50 x 30, which a terminal need not have: it runs in a tmux window of
# its own, at least that large, attached to this terminal. Without a terminal
# the program prints the matches instead, and this says how to see the page.
# Nothing it prints is cleared away. ZRN_DEMO_DIR sets where it keeps its Wine
# prefix and drives (build/demo); ZRN_DEMO_EXE names a program built already,
# which it then shows without building (as the tests do, while other tests
# use the build).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
demo=${ZRN_DEMO_DIR:-$repo/build/demo}
export WINEPREFIX="$demo/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
socket="zarnpath-demo-$$"
min_cols=50 min_rows=30
# Wine with the host's address-space randomisation off: now and then it
# would put something where Wine needs its own page, and the program would
# not start.
wine=(wine)
if command -v setarch >/dev/null; then wine=(setarch -R wine); fi

mkdir -p "$demo"
cleanup() {
  tmux -L "$socket" kill-server >/dev/null 2>&1 || true
  wineserver -k >/dev/null 2>&1 || true
}
trap cleanup EXIT

# The first run makes the Wine prefix while the program builds, where Wine
# is there already.
booting=""
if [ ! -f "$WINEPREFIX/system.reg" ] && command -v wineboot >/dev/null; then
  echo "Making the demo's Wine prefix in $WINEPREFIX while the program builds..."
  wineboot --init </dev/null >/dev/null 2>&1 &
  booting=$!
fi
program=${ZRN_DEMO_EXE:-}
if [ -z "$program" ]; then
  bash scripts/setup.sh zarnpath
  program=build/ZARNPATH.EXE
fi
[ -z "$booting" ] || wait "$booting" || true
# Wine lists the drives that exist when its server starts: map them first.
# (A new prefix's registry reaches its files when the server ends, too.)
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making the demo's Wine prefix in $WINEPREFIX (once; about ten seconds)..."
  wineboot --init </dev/null >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
fi
rm -rf "$demo/drive-m" "$demo/drive-n" "$demo/program"
python3 scripts/make_demo_tree.py "$demo/drive-m" --flavour main
python3 scripts/make_demo_tree.py "$demo/drive-n" --flavour second
mkdir -p "$demo/program" "$WINEPREFIX/dosdevices"
cp "$program" "$demo/program/ZARNPATH.EXE"
cp resources/ZRN.BAT "$demo/program/"
ln -sfn "$demo/drive-m" "$WINEPREFIX/dosdevices/m:"
ln -sfn "$demo/drive-n" "$WINEPREFIX/dosdevices/n:"

show_script() {
  if grep -qi '^chdir' "$demo/program/ZRN2.BAT" 2>/dev/null; then
    echo "The change script that the wrapper ZRN.BAT would run in your prompt:"
    sed 's/\r$//' "$demo/program/ZRN2.BAT"
  else
    echo "The page was left without a choice: the prompt would stay where it was."
  fi
}

if ! [ -t 0 ] || ! [ -t 1 ] || ! command -v tmux >/dev/null; then
  cat <<TEXT

This demo shows Zarnpath's selection page, and the page needs a terminal:
here is none (the input or output is not a terminal, or tmux is missing).
In a terminal it would show, in a window of at least ${min_cols} x ${min_rows}, the
directories of drive M: whose names hold "project", with a count line such
as "Row 1 to 20 / 60   60 of 60 directories were found with project", the
highlighted directory's contents below, and the keys on the last line.
To see it, run in a terminal:  bash scripts/demo.sh
Without a console the program lists the matches instead, one per line:

TEXT
  # To a file, not a pipe: Wine's helper processes would hold a pipe open.
  (cd "$demo/drive-m" && "${wine[@]}" "$demo/program/ZARNPATH.EXE" project </dev/null >"$demo/matches.txt" 2>&1) || true
  sed 's/\r$//' "$demo/matches.txt" | head -n 12
  echo "..."
  exit 0
fi

read -r rows cols < <(stty size 2>/dev/null || echo "24 80")
width=$((cols > min_cols ? cols : min_cols))
height=$((rows > min_rows ? rows : min_rows))
cat <<TEXT

  Searching drive M: for "project"; the first search builds the drive's index.
  Up/Down, Page Up/Page Down, Home/End move the highlight; below the list you
  see what the highlighted directory holds. Type letters to narrow the list.
  F2 rebuilds the index, F3 asks for a drive (n for the second demo drive,
  m to come back). Return chooses a directory, ESC leaves.

TEXT
if ((cols < min_cols || rows < min_rows)); then
  echo "  This terminal is ${cols} x ${rows}; the page needs ${min_cols} x ${min_rows}. It runs in a"
  echo "  window of ${width} x ${height}, of which this terminal shows the part around"
  echo "  the cursor: a larger terminal shows all of it."
  echo
fi
read -r -p "Press Enter to start. " _

# The page in a tmux window of its own, of a size it can use, whatever the
# terminal around it; the window goes when the program ends.
tmux -L "$socket" -f /dev/null new-session -d -s demo -x "$width" -y "$height" \
  "cd '$demo/drive-m' && ${wine[*]} '$demo/program/ZARNPATH.EXE' project"
tmux -L "$socket" set-option -g window-size manual \; set-option -g status off >/dev/null
env -u TMUX tmux -L "$socket" attach-session -t demo >/dev/null || true
echo
show_script
cd "$repo"
