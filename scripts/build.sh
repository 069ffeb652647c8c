#!/usr/bin/env bash
# Configures and builds TALOR into ./build (Ninja, Release with debug info): everything, or
# only the targets named (scripts/build.sh talor builds the program and its module alone).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [ $# -eq 0 ]; then
    cmake --build build
else
    cmake --build build --target "$@"
fi
