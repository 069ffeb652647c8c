#!/bin/sh
# Compares the print engine with LibreOffice on the same reports: each report kind of a demo
# suite, with a page set-up in its PRINT settings, is written by `talor report` as a PDF and as
# the exported Excel workbook; LibreOffice converts the workbook to PDF. Printed side by side: the
# page count, paper size and orientation, whether the title rows and the header/footer texts
# appear on every page, and the print area and title rows LibreOffice read from the workbook
# (it writes them back into an .xlsx of its own). Not part of the test run: it needs soffice
# (Debian: libreoffice-calc-nogui), pdfinfo, pdftotext and unzip.
#
#   scripts/compare-libreoffice.sh [BUILD_DIR]
set -eu
build=$(cd "${1:-build}" && pwd)
for tool in soffice pdfinfo pdftotext unzip; do
    command -v "$tool" >/dev/null || { echo "compare-libreoffice: $tool is not installed" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

"$build/talor" demo --dir "$work/demo" --employees 60 >/dev/null
suite="$work/demo/suite.ini"
# The module's report key is 考勤日报; its PRINT keys give every run the same set-up.
cat >>"$work/demo/talor.ini" <<'EOF'

[PRINT]
考勤日报.Orientation=2
考勤日报.PaperSize=9
考勤日报.LeftMargin=0.5
考勤日报.RightMargin=0.5
考勤日报.TopMargin=1
考勤日报.BottomMargin=1
考勤日报.RightFooter=第&P页/共&N页
考勤日报.CenterFooter=审核
EOF

pages() { pdfinfo "$1" | sed -n 's/^Pages: *//p'; }
paper() { pdfinfo "$1" | sed -n 's/^Page size: *//p' | sed 's/ (.*//'; }
# How many pages hold the text $2.
pages_with() { pdftotext -layout "$1" - | awk -v RS='\f' -v t="$2" 'index($0, t) { n++ } END { print n + 0 }'; }

printf '%-6s %-12s %6s %6s  %-24s %-24s %s\n' kind output pages footer "paper" "" "title rows on pages"
for row in "1|ROOT|--person 00002|日期" "2|A生产部|--date 2026-10-12 --sum|部门考勤日报" "3|A生产部||2026-"; do
    kind=${row%%|*}; rest=${row#*|}
    node=${rest%%|*}; rest=${rest#*|}
    extra=${rest%%|*}; title=${rest#*|}
    # shellcheck disable=SC2086
    "$build/talor" report --suite "$suite" --kind "$kind" --node "$node" $extra --output "$work/k$kind.pdf" 2>/dev/null
    # shellcheck disable=SC2086
    "$build/talor" report --suite "$suite" --kind "$kind" --node "$node" $extra --output "$work/k$kind.xlsx"
    (cd "$work" && soffice --headless --convert-to pdf --outdir lo "k$kind.xlsx" >/dev/null 2>&1)
    (cd "$work" && soffice --headless --convert-to xlsx --outdir lo "k$kind.xlsx" >/dev/null 2>&1)
    for side in "talor|$work/k$kind.pdf" "LibreOffice|$work/lo/k$kind.pdf"; do
        name=${side%%|*}; pdf=${side#*|}
        printf '%-6s %-12s %6s %6s  %-24s %-24s %s\n' "$kind" "$name" "$(pages "$pdf")" \
            "$(pages_with "$pdf" 审核)" "$(paper "$pdf")" "" "$(pages_with "$pdf" "$title")"
    done
    names=$(unzip -p "$work/lo/k$kind.xlsx" xl/workbook.xml | grep -o '<definedName[^>]*>[^<]*' | sed 's/<definedName name="//; s/".*>/ = /' | tr '\n' ';')
    setup=$(unzip -p "$work/lo/k$kind.xlsx" xl/worksheets/sheet1.xml | grep -o '<pageMargins[^>]*>\|<pageSetup[^>]*>' |
        sed 's/ r:id="[^"]*"//' | tr '\n' ' ')
    echo "       LibreOffice read back: $names"
    echo "       and the set-up: $setup"
done
