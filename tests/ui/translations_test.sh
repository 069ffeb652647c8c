#!/usr/bin/env bash
# Every message the sources pass through QCoreApplication::translate has its Chinese text in
# the translation file, and the file holds no text the sources no longer use: lupdate, run
# over a copy, must find nothing new and drop nothing.
set -euo pipefail
source_dir=$1
lupdate=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source_dir/src/ui/translations/talor_zh_CN.ts" "$work/check.ts"
report=$("$lupdate" -no-obsolete "$source_dir/src" -ts "$work/check.ts" 2>&1)
echo "$report"
grep -q "(0 new and" <<<"$report"
if grep -q "<translation type=\"unfinished\"" "$work/check.ts"; then
    echo "untranslated texts in src/ui/translations/talor_zh_CN.ts"
    exit 1
fi
if ! diff -q <(grep -c "<message>" "$source_dir/src/ui/translations/talor_zh_CN.ts") <(grep -c "<message>" "$work/check.ts") >/dev/null; then
    echo "src/ui/translations/talor_zh_CN.ts holds texts the sources no longer use"
    exit 1
fi
