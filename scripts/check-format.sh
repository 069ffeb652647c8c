#!/usr/bin/env bash
# Fails, naming the places, when a C++ file of the tree is not laid out as .clang-format says
# (`clang-format -i FILE` lays one out). CI runs it before the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
find src app tests bench tools fuzz -name '*.cpp' -o -name '*.h' | sort | xargs clang-format --dry-run --Werror
