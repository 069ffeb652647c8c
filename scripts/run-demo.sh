#!/usr/bin/env bash
# Sets up, builds and starts TALOR on its embedded demo suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# The program and its module only: the tests and benchmarks are built by scripts/test.sh.
scripts/build.sh talor
exec build/talor "$@"
