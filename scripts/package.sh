#!/usr/bin/env bash
# Sets up, builds and makes the Debian package build/package/talor_<version>_<arch>.deb;
# `sudo apt install ./build/package/talor_*.deb` installs it with what it depends on.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# What the package ships: the program, its module, the manual page and the icons.
scripts/build.sh talor libtalor talor_manual_gz talor_icons talor_changelog
cd build
rm -f package/talor_*.deb
cpack -G DEB
