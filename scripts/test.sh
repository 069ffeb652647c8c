#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite. The database tests run against SQLite and
# against a throwaway PostgreSQL server that the test run itself starts and stops.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
cd build
status=0
ctest --output-on-failure --timeout 600 "$@" || status=$?
# One line on how many database cases passed on each engine, so that a run in which the
# PostgreSQL cases did not run (or were skipped) shows at a glance.
log=Testing/Temporary/LastTest.log
count() { grep -cE "^\[       OK \] .*/$1 \(" "$log" || true; }
skipped=$(grep -cE '^\[  SKIPPED \] .*/Postgres \(' "$log" || true)
echo "database cases passed: $(count Sqlite) on SQLite, $(count Postgres) on PostgreSQL ($skipped PostgreSQL cases skipped)"
exit "$status"
