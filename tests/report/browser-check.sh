#!/usr/bin/env bash
# Opens report pages in headless Chromium, off the network, and reads back the
# verdict each page writes about itself once page-check.js is put into a
# copy of it: every chart drew, no script error, the table equals the embedded
# data. The pages operators get carry no check.
#   browser-check.sh BREVLUND SOURCE_DIR WORK_DIR SCREENSHOT
# 1. the reports of examples/contest.log and (without times) examples/log.csv
#    pass, and the first one's screenshot is saved;
# 2. the report of a hostile log, with a finding as hostile put into its data,
#    passes, shows the finding as text and none of the log's scripts ran;
# 3. the check can fail: pages whose data or library were tampered with fail;
# 4. printed to PDF (A4), each chart lies whole on one sheet with its heading,
#    and a page without the print stylesheet's rule fails that.
set -euo pipefail
brevlund=$1 src=$2 work=$3 shot=$4

command -v pdfimages >/dev/null || { echo "poppler-utils is not installed (./run installs it)" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work"

check_page=$src/tests/report/page-check.js window=1200,2600
# shellcheck source=tests/support/headless-browser.sh
source "$src/tests/support/headless-browser.sh"

# 1. The example log.
"$brevlund" report "$src/examples/contest.log" --areas "$src/examples/host/Plugins/brevlund.dom" \
    -o "$work/contest.html" >/dev/null
if grep -q 'check-verdict\|pageCheck' "$work/contest.html"; then
    echo "FAIL: the operators' page carries the check" >&2
    exit 1
fi
expect_pass "$work/contest.html" "examples/contest.log"
browse --screenshot="$shot" "file://$work/contest.html" >/dev/null
[ -s "$shot" ] || { echo "FAIL: no screenshot at $shot" >&2; exit 1; }
echo "ok: screenshot $shot"

# A log without times: the table, the grid and the lists, no charts, and a line
# saying why.
"$brevlund" report "$src/examples/log.csv" --areas "$src/examples/host/Plugins/brevlund.dom" \
    -o "$work/csv.html" >/dev/null
expect_pass "$work/csv.html" "examples/log.csv, without times"
grep -q 'The time charts need a log with times.</p>' "$work/csv.html.dom" ||
    { echo "FAIL: examples/log.csv: no line saying the time charts need times" >&2; exit 1; }

# 2. A log with markup and script in every text field. Its scripts would set
# the title to the two halves joined, a text that occurs nowhere else.
code=0
"$brevlund" report "$src/tests/report/hostile.log" --areas "$src/tests/report/hostile.dom" \
    -o "$work/hostile.html" >/dev/null 2>&1 || code=$?
[ "$code" = 1 ] || { echo "FAIL: hostile log: exit $code, 1 expected (an unreadable line)" >&2; exit 1; }
# The header's own findings quote its texts; one more, as hostile as the log,
# goes first into the data.
grep -q '"findings":\["line 1: ' "$work/hostile.html" ||
    { echo "FAIL: hostile log: its header's findings are not in the data" >&2; exit 1; }
finding='"findings":["7: \\u003cimg src=x onerror=document.title=\x27PW\x27+\x27NED\x27\\u003e",'
sed -i "s/\"findings\":\[/$finding/" "$work/hostile.html"
grep -q '"findings":\["7: ' "$work/hostile.html" || { echo "FAIL: hostile log: no finding put in" >&2; exit 1; }
expect_pass "$work/hostile.html" "hostile log"
grep -q '<h2>Before sending</h2><ul><li>7: &lt;img src=x onerror=' "$work/hostile.html.dom" ||
    { echo "FAIL: hostile log: the finding is not shown as text under Before sending" >&2; exit 1; }
if grep -q 'PWNED' "$work/hostile.html.dom"; then
    echo "FAIL: hostile log: a script of the log ran" >&2
    exit 1
fi
grep -q '&lt;img/src=x/onerror=' "$work/hostile.html.dom" ||
    { echo "FAIL: hostile log: the hostile call is not shown as text" >&2; exit 1; }
echo "ok: hostile log ran none of its scripts and shows its texts"

# 3. The check itself fails where it must: a score in the data that the page
# does not show, and a page without its chart library.
sed 's/"score":228}/"score":229}/' "$work/contest.html" > "$work/tampered-data.html"
sed 's/Chart.defaults.animation = false;/Chart = undefined;/' "$work/contest.html" > "$work/no-library.html"
for page in tampered-data no-library; do
    said=$(verdict "$work/$page.html")
    case "$said" in
    "CHECK FAILED"*) echo "ok: $page page fails: $said" ;;
    *) echo "FAIL: $page page: ${said:-no verdict}, a failure expected" >&2; exit 1 ;;
    esac
done

# 4. On paper. Chromium never splits a canvas; what can go wrong is a chart
# pushed to the next sheet away from its heading, or drawn twice. Each chart is
# one image in the PDF, on the same sheet as its heading's text.
printed() { # page: prints "PAGE-OF-IMAGE PAGE-OF-HEADING" per chart, in order
    local pdf=$1.pdf sheets p heading
    browse --no-pdf-header-footer --print-to-pdf="$pdf" "file://$1" >/dev/null
    sheets=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
    paste -d ' ' <(pdfimages -list "$pdf" | awk 'NR > 2 && $3 == "image" { print $1 }') \
        <(for heading in 'Rate: QSOs per hour' 'Score and multipliers' 'Band changes per hour'; do
              for p in $(seq 1 "$sheets"); do
                  pdftotext -f "$p" -l "$p" "$pdf" - | grep -q "^$heading" && { echo "$p"; break; }
              done
          done)
}
apart() { # page: the charts not whole beside their headings, or none
    local sheets
    sheets=$(printed "$1")
    [ "$(wc -l <<<"$sheets")" = 3 ] || { echo "3 charts expected, printed: $sheets"; return; }
    awk '$1 != $2 { print "a chart on sheet " $1 ", its heading on " $2 }' <<<"$sheets"
}
said=$(apart "$work/contest.html")
[ -z "$said" ] || { echo "FAIL: examples/contest.log printed: $said" >&2; exit 1; }
echo "ok: printed, each chart whole beside its heading"
sed 's/break-after: avoid; page-break-after: avoid;//' "$work/contest.html" > "$work/no-print-rule.html"
said=$(apart "$work/no-print-rule.html")
[ -n "$said" ] || { echo "FAIL: a page without its print rule printed as well" >&2; exit 1; }
echo "ok: no-print-rule page fails: $said"
