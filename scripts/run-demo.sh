#!/usr/bin/env bash
# Sets up, builds and starts TALOR on its embedded demo suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
exec build/talor "$@"
