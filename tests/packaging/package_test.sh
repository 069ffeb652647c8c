#!/usr/bin/env bash
# Builds the Debian package from the build tree into a temporary folder and checks it: its
# name and fields, that it depends on the package of every library its programs link and on
# what they load at run time (Qt's SQL drivers, the CJK font), and that it holds the program
# in its place and nothing of the tests.
#   package_test.sh BUILD_DIR APPDIR   (APPDIR relative to the prefix /usr)
set -euo pipefail
build=$1 appdir=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/talor-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Under the narrowest umask: the package's folders must still be open to every user (lintian
# below checks their modes).
(cd "$build" && umask 077 && cpack -G DEB -B "$work/cpack" -D CPACK_OUTPUT_FILE_PREFIX="$work" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/talor_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "no single talor_*.deb: ${debs[*]}"
deb=${debs[0]}
dpkg-deb --info "$deb"

[ "$(dpkg-deb --field "$deb" Package)" = talor ] || fail "package name"
[ "$(dpkg-deb --field "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture"
# The package names of Depends, without versions.
depends=" $(dpkg-deb --field "$deb" Depends | tr ',' '\n' | sed 's/(.*)//; s/|.*//; s/ //g' | tr '\n' ' ') "
for needed in libqt6sql6-sqlite libqt6sql6-psql fonts-wqy-microhei; do
    case $depends in *" $needed "*) ;; *) fail "Depends lacks $needed: $depends" ;; esac
done

dpkg-deb -x "$deb" "$work/root"
root=$work/root
[ "$(readlink -f "$root/usr/bin/talor")" = "$(readlink -f "$root/usr/$appdir/talor")" ] ||
    fail "usr/bin/talor does not lead to usr/$appdir/talor"
[ -f "$root/usr/$appdir/dll/talor.so" ] || fail "no usr/$appdir/dll/talor.so"
[ -f "$root/usr/share/applications/org.talor.talor.desktop" ] || fail "no desktop entry"
[ -f "$root/usr/share/metainfo/org.talor.talor.metainfo.xml" ] || fail "no AppStream data"
[ -f "$root/usr/share/man/man1/talor.1.gz" ] || fail "no manual page"
if (cd "$root" && find . -iname '*test*' | grep .); then
    fail "test files in the package"
fi

# Every library that the programs link directly comes from a package in Depends.
for elf in "$root/usr/$appdir/talor" "$root/usr/$appdir/dll/talor.so"; do
    file -b "$elf" | grep -q ', stripped' || fail "$elf is not stripped"
    for library in $(readelf -d "$elf" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
        [ "$library" = talor.so ] && continue
        path=$(LD_LIBRARY_PATH="$root/usr/$appdir/dll" ldd "$elf" | awk -v l="$library" '$1 == l { print $3 } $1 ~ "/" l "$" { print $1 }')
        [ -n "$path" ] || fail "$library of $elf is not found"
        owner=$(dpkg -S "$(readlink -f "$path")" 2>/dev/null || dpkg -S "$path") || fail "no package holds $path"
        owner=${owner%%:*}
        case $depends in *" $owner "*) ;; *) fail "Depends lacks $owner ($library of $elf): $depends" ;; esac
    done
done
# What Debian's package checker finds: no error and no warning.
report=$(lintian "$deb" 2>&1 | grep -v 'root privileges' || true)
echo "$report"
if grep -q '^[EW]: ' <<<"$report"; then
    fail "lintian reports errors or warnings"
fi
echo "package: $(basename "$deb")"
