#!/bin/bash
# Builds the Debian package from the build tree into a temporary folder and
# checks it as a shop's PC would see it: the files it installs, its
# dependencies, the menu entry, and the installed program starting on the
# per-user data directory.
# Usage: package-test.sh BUILD_DIR CPACK VERSION SOURCE_DIR
set -euo pipefail
BUILD=$1 CPACK=$2 VERSION=$3 SOURCE=$4
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

(cd "$BUILD" && "$CPACK" -G DEB -B "$WORK/out" > "$WORK/cpack.log" 2>&1) || { cat "$WORK/cpack.log"; exit 1; }
DEB="$WORK/out/zep_${VERSION}_amd64.deb"
[ -f "$DEB" ] || { ls "$WORK/out"; echo "FAILED: no $DEB"; exit 1; }

# The files a desktop installation needs.
dpkg-deb -c "$DEB" | awk '{print $NF}' | sed 's|^\./|/|' > "$WORK/files"
for f in /usr/bin/zep /usr/share/applications/zep.desktop /usr/share/icons/hicolor/scalable/apps/zep.svg \
         /usr/share/icons/hicolor/48x48/apps/zep.png /usr/share/man/man1/zep.1.gz /usr/share/zep/CNCPRG.mdb \
         /usr/share/zep/ZEPHelp/ZEPHilfe.html; do
    grep -qx "$f" "$WORK/files" || fail "$f is not in the package"
done

# dpkg-shlibdeps worked out the libraries; the SQLite driver Qt loads at run
# time is there too.
DEPENDS=$(dpkg-deb -f "$DEB" Depends)
for dep in libqt6core6 libqt6widgets6 libqt6serialport6 libqt6sql6-sqlite libc6; do
    [[ ", $DEPENDS," == *", $dep"[\ ,]* ]] || fail "Depends lacks $dep: $DEPENDS"
done

# Debian's own check of the package: no errors, and every warning it still
# gives is one the README explains.
command -v lintian > /dev/null || fail "lintian is not installed (scripts/setup-debian.sh installs it)"
lintian --no-tag-display-limit "$DEB" > "$WORK/lintian" 2>&1 || true
if grep -q '^E:' "$WORK/lintian"; then
    grep '^E:' "$WORK/lintian"
    fail "lintian reports errors"
fi
for tag in $(grep '^W:' "$WORK/lintian" | awk '{print $3}' | sort -u); do
    grep -q -- "\`$tag\`" "$SOURCE/README.md" || { grep "$tag" "$WORK/lintian"; fail "lintian warning $tag is not explained in README.md"; }
done

mkdir "$WORK/root"
dpkg-deb -x "$DEB" "$WORK/root"
ROOT="$WORK/root"

# Every picture the installed help shows travels with it.
for img in $(grep -o 'src="[^"]*"' "$ROOT/usr/share/zep/ZEPHelp/ZEPHilfe.html" | sed 's/src="\(.*\)"/\1/'); do
    grep -qx "/usr/share/zep/ZEPHelp/$img" "$WORK/files" || fail "help picture $img is not in the package"
done

# The licence and the changelog, the changelog's newest entry for this version.
[ -f "$ROOT/usr/share/doc/zep/copyright" ] || fail "no copyright file"
grep -q '^License: GPL-3+' "$ROOT/usr/share/doc/zep/copyright" || fail "copyright file names no GPL-3+ licence"
zcat "$ROOT/usr/share/doc/zep/changelog.gz" | head -1 | grep -q "^zep ($VERSION)" \
    || fail "changelog's newest entry is not version $VERSION"

desktop-file-validate "$ROOT/usr/share/applications/zep.desktop" || fail "desktop entry does not validate"
grep -q '^Name\[de\]=' "$ROOT/usr/share/applications/zep.desktop" || fail "desktop entry has no German name"
grep -q '^Comment\[de\]=' "$ROOT/usr/share/applications/zep.desktop" || fail "desktop entry has no German comment"
size=$(identify -format '%wx%h' "$ROOT/usr/share/icons/hicolor/48x48/apps/zep.png")
[ "$size" = 48x48 ] || fail "48 px icon is $size"

out=$("$ROOT/usr/bin/zep" --version) || fail "installed zep --version failed"
[ "$out" = "ZEP $VERSION" ] || fail "installed zep --version says '$out'"

# The man page tells every option --help lists.
zcat "$ROOT/usr/share/man/man1/zep.1.gz" | sed 's/\\-/-/g' > "$WORK/man"
for opt in $("$ROOT/usr/bin/zep" --help | grep -o -- '--[a-z-]*' | sort -u); do
    grep -q -- "$opt" "$WORK/man" || fail "man page does not mention $opt"
done
grep -q "$VERSION" "$WORK/man" || fail "man page does not carry version $VERSION"

# Started from /usr/bin, ZEP works in the user's data directory, seeded
# with the template, and writes nothing beside itself.
mkdir -p "$WORK/home/config" "$WORK/home/data" "$WORK/home/Programme" "$WORK/home/Fotos"
printf '[Settings]\nVerzeichnis=%s/\nFotoVerzeichnis=%s/\n' "$WORK/home/Programme" "$WORK/home/Fotos" \
    > "$WORK/home/config/ZEP.ini"
before=$(find "$ROOT" | sort | md5sum)
XDG_CONFIG_HOME="$WORK/home/config" XDG_DATA_HOME="$WORK/home/data" QT_QPA_PLATFORM=offscreen \
    timeout 60 "$ROOT/usr/bin/zep" --quit-after-start > "$WORK/run.log" 2>&1 || { cat "$WORK/run.log"; fail "installed zep did not start and end"; }
[ -f "$WORK/home/data/ZEP/CNCPRG.mdb" ] || fail "no catalogue in the user's data directory"
[ -f "$WORK/home/data/ZEP/FileListe.dat" ] || fail "the file list was not kept in the user's data directory"
[ "$before" = "$(find "$ROOT" | sort | md5sum)" ] || fail "the installed tree was written to"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "package $(basename "$DEB") checked"
