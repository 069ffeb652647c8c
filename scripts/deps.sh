#!/usr/bin/env bash
# Installs what building, running, testing and packaging TALOR need on Debian 12 (the
# packaging: icons drawn from their SVG, dpkg-shlibdeps, lintian, and the desktop-entry and AppStream
# validators that the tests run).
# The one list of dependencies: the README's commands and CI all call this script.
set -euo pipefail

PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql libqt6test6
    # The overview's bar chart; Qt Charts' CMake package needs Qt OpenGL's, which
    # qt6-charts-dev does not bring.
    qt6-charts-dev libqt6opengl6-dev
    libxlsxwriter-dev libminizip-dev libgtest-dev libsqlite3-dev libpq-dev
    fonts-wqy-microhei qt6-translations-l10n qt6-l10n-tools
    postgresql
    poppler-utils xvfb xauth
    unzip
    librsvg2-bin dpkg-dev file desktop-file-utils appstream groff-base lintian
    clang-format
)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
# Through env: sudo drops the caller's environment.
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
