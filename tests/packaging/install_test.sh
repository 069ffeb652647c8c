#!/usr/bin/env bash
# Installs the build tree into a temporary DESTDIR (prefix /usr) and checks the installed
# program on its own: the build tree is renamed away while the installed talor writes a demo
# suite, writes reports from it and opens its window on it (offscreen), and nothing is written
# below the prefix. Also checks the layout, the desktop entry, the AppStream data and the manual.
#   install_test.sh BUILD_DIR BINDIR APPDIR DATADIR MANDIR   (directories relative to the prefix)
set -euo pipefail
build=$(cd "$1" && pwd -P)
bindir=$2 appdir=$3 datadir=$4 mandir=$5
work=$(mktemp -d "${TMPDIR:-/tmp}/talor-install.XXXXXX")
hidden="$build.hidden-by-install-test"
window_pid=""

restore() {
    [ -n "$window_pid" ] && kill "$window_pid" 2>/dev/null
    [ -d "$hidden" ] && [ ! -e "$build" ] && mv "$hidden" "$build"
    rm -rf "$work"
}
trap restore EXIT
trap 'exit 1' INT TERM HUP

fail() { echo "FAIL: $*" >&2; exit 1; }

stage=$work/stage
# Installed under the narrowest umask: every folder on the way is still open to every user.
(umask 077 && DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null)
prefix=$stage/usr
closed=$(find "$prefix" -type d ! -perm -0555)
[ -z "$closed" ] || fail "folders closed to other users: $closed"

# The layout: the host beside its dll folder, a relative link on the path, and no other
# program or library (nothing of the tests).
[ -L "$prefix/$bindir/talor" ] || fail "$bindir/talor is not a link"
case $(readlink "$prefix/$bindir/talor") in /*) fail "$bindir/talor links to an absolute path" ;; esac
[ "$(readlink -f "$prefix/$bindir/talor")" = "$(readlink -f "$prefix/$appdir/talor")" ] ||
    fail "$bindir/talor does not lead to $appdir/talor"
elf=$(cd "$prefix" && find . -type f -exec sh -c 'head -c 4 "$1" | grep -q "ELF"' _ {} \; -print | sort)
[ "$elf" = "$(printf './%s\n' "$appdir/dll/talor.so" "$appdir/talor" | sort)" ] ||
    fail "installed programs and libraries: $elf"
if (cd "$prefix" && find . -iname '*test*' -o -name '*.a' -o -name '*.h' | grep .); then
    fail "test or build files installed"
fi
for f in $(cd "$prefix" && find . -type f); do
    if readelf -d "$prefix/$f" 2>/dev/null | grep -E 'R(UN)?PATH' | grep -q "$build"; then
        fail "$f looks for libraries in the build tree"
    fi
done

# The desktop entry, its icons and the AppStream data.
desktop=$prefix/$datadir/applications/org.talor.talor.desktop
metainfo=$prefix/$datadir/metainfo/org.talor.talor.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
grep -q '<project_license>MIT</project_license>' "$metainfo" || fail "the AppStream data names no licence"
grep -q '^License: Expat$' "$prefix/$datadir/doc/talor/copyright" || fail "no Debian copyright file with the licence"
grep -q '^Exec=talor$' "$desktop" || fail "the desktop entry does not start talor"
grep -q '^Icon=talor$' "$desktop" || fail "the desktop entry's icon is not talor"
[ -f "$prefix/$datadir/icons/hicolor/scalable/apps/talor.svg" ] || fail "no scalable icon"
for size in 16 24 32 48 64 128 256; do
    png=$prefix/$datadir/icons/hicolor/${size}x${size}/apps/talor.png
    [ "$(file -b "$png" | grep -o '[0-9]* x [0-9]*')" = "$size x $size" ] || fail "icon $png: $(file -b "$png")"
done

# The manual: troff without warnings, a section for every command that talor --help lists.
manual=$prefix/$mandir/man1/talor.1.gz
warnings=$(zcat "$manual" | groff -man -k -ww -z -Tutf8 2>&1) || fail "groff: $warnings"
[ -z "$warnings" ] || fail "groff: $warnings"

touch "$work/installed"
sleep 1

mv "$build" "$hidden"
[ ! -e "$build" ] || fail "the build tree is still there"

export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_CONFIG_HOME=$work/home/config
export XDG_CACHE_HOME=$work/home/cache XDG_RUNTIME_DIR=$work/home/runtime TMPDIR=$work/tmp
export QT_QPA_PLATFORM=offscreen
unset TALOR_SOURCE_DIR TALOR_BUILD_DIR
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$TMPDIR" && chmod 700 "$XDG_RUNTIME_DIR"
cd "$work"
talor=$prefix/$bindir/talor

help=$("$talor" --help) || fail "talor --help"
commands=$(printf '%s\n' "$help" | sed -n '/^commands:/,/^$/p' | awk 'NF > 1 { print $1 }')
[ -n "$commands" ] || fail "talor --help lists no commands"
for command in $commands; do
    "$talor" "$command" --help >/dev/null || fail "talor $command --help"
    zcat "$manual" | grep -q "^\.SS \"talor $command\"" || fail "the manual has no section for talor $command"
done
status=0
"$talor" no-such-command 2>/dev/null || status=$?
[ "$status" = 2 ] || fail "an unknown command ends with $status, not 2"

timeout 120 "$talor" demo --dir "$work/demo" --employees 12 --days 40 || fail "talor demo"
timeout 120 "$talor" report --suite "$work/demo/suite.ini" --kind 2 --node ROOT --sum --output "$work/day.xlsx" ||
    fail "talor report --kind 2"
timeout 120 "$talor" report --suite "$work/demo/suite.ini" --kind 3 --node ROOT --from 2026-10-01 --to 2026-10-31 \
    --output "$work/period.vts" || fail "talor report --kind 3"
[ "$(head -c 2 "$work/day.xlsx")" = "PK" ] || fail "day.xlsx is not a workbook"
[ -s "$work/period.vts" ] || fail "period.vts is empty"

# The window on the default demo suite, made below the user's data directory on first run:
# it loads the module from the installed dll folder and stays open until it is ended.
"$talor" >"$work/window.log" 2>&1 &
window_pid=$!
suite=$XDG_DATA_HOME/talor/talor/demo/suite.ini
for _ in $(seq 600); do
    [ -f "$suite" ] && break
    kill -0 "$window_pid" 2>/dev/null || break
    sleep 0.1
done
sleep 3
kill -0 "$window_pid" 2>/dev/null || fail "the window ended: $(cat "$work/window.log")"
kill "$window_pid"
wait "$window_pid" 2>/dev/null || true
window_pid=""
[ -f "$suite" ] || fail "no demo suite in the user's data directory"

written=$(find "$stage" -newer "$work/installed")
[ -z "$written" ] || fail "written below the prefix: $written"
echo "installed talor ran without the build tree"
