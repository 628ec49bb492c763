#!/bin/bash
# Renews docs/main-window.png: ZEP's main window under Xvfb on a throw-away
# program directory and settings. Needs a built tree (build/zep).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
OUT=${1:-docs/main-window.png}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/config" "$WORK/program" "$WORK/data" "$WORK/foto"
cat > "$WORK/config/ZEP.ini" <<INI
[Settings]
Verzeichnis=$WORK/data/
FotoVerzeichnis=$WORK/foto/
INI
"$BUILD/zep" --create-database "$WORK/program/CNCPRG.mdb"
export XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/xdgdata"
xvfb-run -a -s "-screen 0 1000x640x24" bash -c "
  '$BUILD/zep' --program-dir '$WORK/program' & pid=\$!
  sleep 4
  import -window root '$OUT'
  kill \$pid
"
echo "wrote $OUT"
