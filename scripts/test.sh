#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite. The database tests run against SQLite and
# against a throwaway PostgreSQL server that the test run itself starts and stops.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
cd build
ctest --output-on-failure --timeout 600 "$@"
