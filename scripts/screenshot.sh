#!/bin/bash
# Renews the pictures of the help manual (help/ZEPHelp/bilder/) and the
# README's docs/main-window.png: ZEP under Xvfb on a sample shop
# (scripts/sample-catalogue.sh: three machines, nine records, photos), two
# machine lines played by socat, each window opened with the keyboard as a
# user would and photographed on its own.
# Needs a built tree (BUILD, default build/), Xvfb, xdotool, imagemagick,
# socat and sqlite3. Usage: scripts/screenshot.sh [HELP_PICTURE_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
OUT=${1:-help/ZEPHelp/bilder}
ZEP="$(realpath "$BUILD/zep")"
mkdir -p "$OUT" docs
OUT=$(realpath "$OUT")
# A plain, fixed place, since its paths show in the pictures.
WORK=/tmp/zep-beispiel
rm -rf "$WORK"
mkdir -p "$WORK"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

./scripts/sample-catalogue.sh "$ZEP" "$WORK"
# The machines' ends of the two lines.
socat pty,raw,echo=0,link="$WORK/com1" pty,raw,echo=0,link="$WORK/m1" & pids+=($!)
socat pty,raw,echo=0,link="$WORK/com2" pty,raw,echo=0,link="$WORK/m2" & pids+=($!)

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3> "$WORK/display" 2> "$WORK/xvfb.log" & pids+=($!)
for _ in $(seq 50); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$WORK/display")"
export XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/xdg"

"$ZEP" --program-dir "$WORK/program" > "$WORK/zep.log" 2>&1 & pids+=($!)

# The newest window whose title matches; waits for it up to 15 s.
window() {
    local id
    for _ in $(seq 150); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    import -window root "$OUT/../screenshot-failure.png"
    echo "no window '$1' (the screen is in $OUT/../screenshot-failure.png)" >&2
    return 1
}
# Photographs a window on its own once it has painted.
shot() {
    sleep 0.8
    import -window "$1" "$OUT/$2"
    echo "  $2"
}
focus() { xdotool windowfocus --sync "$1"; sleep 0.2; }
keys() {
    for k in "$@"; do xdotool key "$k"; sleep 0.25; done
    sleep 0.3
}
# Without a window manager nothing closes a plain window from outside; it is
# put out of sight instead.
away() { xdotool windowmove "$1" 3000 3000; sleep 0.3; }
# Mouse position inside the main window.
click_main() { xdotool mousemove --window "$MAIN" "$1" "$2" click "${3:-1}"; sleep 0.6; }
double_click_main() { xdotool mousemove --window "$MAIN" "$1" "$2" click --repeat 2 --delay 80 1; sleep 1; }

echo "Pictures in $OUT:"
# Start-up: due maintenance (one task is due in the sample).
W=$(window 'Wartungsplan')
shot "$W" wartung.png
focus "$W"; keys Return

MAIN=$(window '^ZEP$')
focus "$MAIN"
# Every record: Enter in the empty search field; the fourth row chosen.
click_main 400 124
keys Return
click_main 300 242
shot "$MAIN" hauptfenster.png
cp "$OUT/hauptfenster.png" docs/main-window.png
echo "  docs/main-window.png"

# Settings, port settings, presets.
focus "$MAIN"; keys alt+s Left Return
W=$(window '^Einstellungen$'); shot "$W" einstellungen.png; focus "$W"; keys Escape
focus "$MAIN"; keys alt+s Left Down Return
W=$(window 'Kommunikations-Einstellungen'); shot "$W" kommunikation.png; focus "$W"; keys Escape
focus "$MAIN"; keys alt+s Left Down Down Return
W=$(window 'Tastenvorgaben'); shot "$W" tastenvorgaben.png; focus "$W"; keys Escape

# Machines: manager and wizard.
focus "$MAIN"; keys alt+s Left Left Return
W=$(window '^Maschinenverwaltung$'); shot "$W" maschinenverwaltung.png; focus "$W"; keys Escape
focus "$MAIN"; keys alt+s Left Left Down Return
W=$(window 'Maschinen-Assistent'); shot "$W" assistent.png; focus "$W"; keys Escape

# The serial monitor.
focus "$MAIN"; keys alt+p Down Return
W=$(window 'RS232-Debugger'); shot "$W" debugger.png; focus "$W"; keys Escape

# A machine sends a program on connection 1, with the trace window open.
focus "$MAIN"; keys ctrl+d
TRACE=$(window 'Debug-Ausgabe')
printf '%%\r\nO4712 (FLANSCH 2. SEITE)\r\nN10 G90 G54\r\nN20 T1 M6\r\nN30 G0 X50 Z2\r\nN40 G1 Z-10 F0.2\r\nN50 M30\r\n%%\r\n\032' \
    > "$WORK/m1"
W=$(window 'neu eingegangenes Programm')
shot "$W" empfang.png
away "$W"
shot "$TRACE" trace.png
away "$TRACE"

# The backup into the sample's backup directory.
focus "$MAIN"; keys alt+s Return
W=$(window 'Backup ausgef'); shot "$W" backup.png; focus "$W"; keys Return

# A search with a wildcard; the one record it finds is sent, edited, opened.
click_main 400 124
xdotool type --delay 60 '*4711*'
keys Return
click_main 300 182
shot "$MAIN" suche.png

focus "$MAIN"; keys alt+d Down Down Return
W=$(window '^Datenübertragung$'); shot "$W" senden.png; focus "$W"; keys Escape

click_main 300 182
focus "$MAIN"; keys alt+d Down Down Down Return
W=$(window 'CNC-Editor'); shot "$W" programmeditor.png; away "$W"

double_click_main 300 182
W=$(window 'Datensatz Bearbeiten'); shot "$W" datensatz.png

# The large view of photo 1, by a double click on the preview in the editor's
# photo area (right of the fields, where the editor is wide enough to have one).
width=$(xdotool getwindowgeometry "$W" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
if [ "${width:-0}" -gt 700 ]; then
    xdotool mousemove --window "$W" 742 130 click --repeat 2 --delay 80 1
    sleep 1.5
    # A zoom frame dragged from the photo's middle: the framed part fills the
    # view and the two filter buttons show.
    xdotool mousemove --window "$W" 400 290 mousedown 1
    xdotool mousemove --window "$W" 370 270
    xdotool mousemove --window "$W" 330 240 mouseup 1
    sleep 1
    xdotool mousemove --window "$W" 600 300
    shot "$W" foto-gross.png
fi
echo "done"
