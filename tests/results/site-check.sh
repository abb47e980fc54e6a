#!/usr/bin/env bash
# Opens the pages of a results site in headless Chromium, off the network, and
# reads back the verdict each page writes about itself once site-check.js is
# put into a copy of it (as tests/report/browser-check.sh does for the report).
#   site-check.sh BREVLUND SOURCE_DIR WORK_DIR SCREENSHOT
# 1. the site of examples/checklogs passes: every table, sorting by each
#    heading both ways, no script error; its first page's screenshot is saved;
# 2. a contest whose NAME, CLUB and SOAPBOX lines hold markup, scripts and
#    quotes passes, shows them as text and runs none of them;
# 3. the check can fail: a page without its sorting script fails.
set -euo pipefail
brevlund=$1 src=$2 work=$3 shot=$4

rm -rf "$work"
mkdir -p "$work"

check_page=$src/tests/results/site-check.js window=1600,1000
# shellcheck source=tests/support/headless-browser.sh
source "$src/tests/support/headless-browser.sh"

# 1. The example contest.
"$brevlund" results "$src/examples/checklogs" --out "$work/site" >/dev/null
if grep -q 'check-verdict\|pageCheck' "$work/site/index.html"; then
    echo "FAIL: the sponsor's page carries the check" >&2
    exit 1
fi
if grep -qiE 'https?:|//[a-z]' "$work/site/"*.html; then
    echo "FAIL: a page names an address outside the folder" >&2
    exit 1
fi
expect_pass "$work/site/index.html" "examples/checklogs: index.html"
expect_pass "$work/site/DL1CCC.html" "examples/checklogs: DL1CCC.html"
browse --screenshot="$shot" "file://$work/site/index.html" >/dev/null
[ -s "$shot" ] || { echo "FAIL: no screenshot at $shot" >&2; exit 1; }
echo "ok: screenshot $shot"

# 2. Logs whose texts are markup and script; run, they would set window.pwned
# and the title to the two halves joined, a text that occurs nowhere else.
mkdir -p "$work/hostile"
hostile() { # call worked area
    cat <<LOG
START-OF-LOG: 3.0
CALLSIGN: $1
CATEGORY-OPERATOR: SINGLE-OP
CATEGORY-BAND: ALL
CATEGORY-POWER: <script>window.pwned=1;document.title='PWN'+'ED'</script>
NAME: <script>window.pwned=1;document.title='PWN'+'ED'</script> "quoted" 'single'
CLUB: <img src=x onerror="window.pwned=1;document.title='PWN'+'ED'"> & Co
LOCATION: </td></tr></table><script>window.pwned=1</script>
SOAPBOX: </pre><script>window.pwned=1;document.title='PWN'+'ED'</script>
SOAPBOX: "><svg onload="window.pwned=1">
QSO: 14010 CW 2026-03-07 1200 $1 599 $3 $2 599 BO
QSO: 7010 CW 2026-03-07 1300 $1 599 $3 $2 599 BO
END-OF-LOG:
LOG
}
hostile 'SM5AAA' 'DL1CCC' 'AN' > "$work/hostile/SM5AAA.log"
hostile 'DL1CCC' 'SM5AAA' 'BO' > "$work/hostile/DL1CCC.log"
hostile 'OH2<b>X' 'SM5AAA' 'CE' > "$work/hostile/OH2X.log"
"$brevlund" results "$work/hostile" --out "$work/hostile-site" --title '<script>window.pwned=1</script>' \
    >/dev/null 2>&1 || true
expect_pass "$work/hostile-site/index.html" "hostile logs: index.html"
expect_pass "$work/hostile-site/SM5AAA.html" "hostile logs: SM5AAA.html"
if grep -q '<title>[^<]*PWNED' "$work/hostile-site/"*.dom; then
    echo "FAIL: hostile logs: a script of a log ran" >&2
    exit 1
fi
grep -q '&lt;script&gt;window.pwned=1;document.title=' "$work/hostile-site/index.html.dom" ||
    { echo "FAIL: hostile logs: the hostile name is not shown as text" >&2; exit 1; }
echo "ok: hostile logs ran none of their scripts and show their texts"

# 3. Without its sorting script the first page fails.
sed 's/th.addEventListener(.click., function () { sortBy(table, column, th); });//' \
    "$work/site/index.html" > "$work/no-sorting.html"
said=$(verdict "$work/no-sorting.html")
case "$said" in
"CHECK FAILED"*) echo "ok: a page that does not sort fails: $said" ;;
*) echo "FAIL: no-sorting page: ${said:-no verdict}, a failure expected" >&2; exit 1 ;;
esac
