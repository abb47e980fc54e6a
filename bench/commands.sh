#!/usr/bin/env bash
# The commands users run, timed as whole processes beside their floor, a bare
# read of the same input, in the same run: the median wall time of 3 runs of
# each (taken in turns, so that the load of the machine falls on both alike),
# the command's peak RSS, and each figure against its goal. A report: MISS
# still exits 0; only a command that fails makes it exit non-zero.
#
#   bench/commands.sh [BUILD]    BUILD holds brevlund and benchtool (build/release)
#
# BREVLUND_BENCH_BIG=1 adds check-logs over a contest the size of the biggest
# real ones, 5,000,000 QSO lines in 10,000 logs with --json: about a minute
# more, most of it writing the logs.
set -euo pipefail
build=${1:-build/release}
brevlund=$build/brevlund
tool=$build/benchtool
runs=3

work=$(mktemp -d /tmp/brevlund-commands-XXXXXX)
trap 'rm -rf "$work"' EXIT

# Times one run of a command into $work/NAME: a line "seconds KiB".
measure() { # NAME COMMAND...
    local name=$1
    shift
    if ! "$tool" measure "$@" >>"$work/$name"; then
        echo "bench/commands.sh: failed: $*" >&2
        exit 1
    fi
}

# A log database as the logging program keeps it, in the rescan's seven
# columns, rows of random calls as bench/RescanBench.cpp makes them.
write_database() { # FILE ROWS
    sqlite3 "$1" "
create table Log (QSOReportRecived, DXCCPrefix, MainPrefix, CallSign, DigiBand, QSOMode, Continent);
with recursive n(i) as (select 1 union all select i + 1 from n where i < $2)
insert into Log select
  '599 ' || char(65 + abs(random()) % 26, 65 + abs(random()) % 26), 'SM', 'SM',
  char(65 + abs(random()) % 26, 65 + abs(random()) % 26, 48 + abs(random()) % 10,
       65 + abs(random()) % 26, 65 + abs(random()) % 26, 65 + abs(random()) % 26),
  case abs(random()) % 9 when 0 then '1.8' when 1 then '3.5' when 2 then '7' when 3 then '10'
    when 4 then '14' when 5 then '18' when 6 then '21' when 7 then '24' else '28' end,
  case abs(random()) % 2 when 0 then 'CW' else 'SSB' end, 'eu'
from n;"
}

echo "bench/commands.sh: writing the logs into $work" >&2
"$tool" cabrillo 1000000 "$work/score.log"
# The area list score finds beside the log, as LogScoreBench's: AA to ZA.
for a in {A..Z}; do echo "${a}A=${a}A"; done >"$work/brevlund.dom"
# The rescan at 10,000 rows, the size its aim is set at, and at 100,000: at
# 10,000 the whole process takes some 30 ms, of which start-up is about 3 ms,
# so the bigger log shows the rescan with less noise of the machine around it.
write_database "$work/rescan10k.sqlite" 10000
write_database "$work/rescan100k.sqlite" 100000
mkdir "$work/contest" "$work/repeats"
"$tool" contest 1000000 "$work/contest"
# Serial numbers, a station again after 30 minutes: the definition beside, not
# among, the logs.
"$tool" contest 1000000 "$work/repeats" "$work/repeats.json"
big=${BREVLUND_BENCH_BIG:-}
if [ -n "$big" ]; then
    mkdir "$work/big"
    "$tool" contest 5000000 "$work/big"
fi

sql='Select * from Log order by CallSign' # the rescan's statement
split='{n+=NF} END{print n}'
for ((run = 0; run < runs; run++)); do
    measure score "$brevlund" score "$work/score.log"
    measure score.floor awk "$split" "$work/score.log"
    for size in 10k 100k; do
        measure "rescan$size" "$brevlund" score "$work/rescan$size.sqlite"
        measure "rescan$size.floor" sqlite3 "$work/rescan$size.sqlite" "$sql"
    done
    measure checklogs "$brevlund" check-logs "$work/contest"
    measure checklogs.floor awk "$split" "$work"/contest/*.log
    measure checkrepeats "$brevlund" check-logs "$work/repeats" --contest "$work/repeats.json"
    measure checkrepeats.floor awk "$split" "$work"/repeats/*.log
    if [ -n "$big" ]; then
        # The results as sponsors take them: --json, into a file.
        measure checkbig sh -c '"$0" check-logs "$1" --json >"$1.json"' "$brevlund" "$work/big"
        measure checkbig.floor awk "$split" "$work"/big/*.log
    fi
done

median() { sort -n "$work/$1" | awk '{t[NR] = $1} END {print t[int((NR + 1) / 2)]}'; }
peak() { awk '$2 > m {m = $2} END {print m}' "$work/$1"; }

# One line of the table, then a line for each further goal. Goals: seconds,
# ratio to the floor, MiB; "-" for none.
row() { # LABEL NAME TIME-GOAL RATIO-GOAL PEAK-GOAL
    awk -v label="$1" -v t="$(median "$2")" -v f="$(median "$2.floor")" \
        -v kib="$(peak "$2")" -v tg="$3" -v rg="$4" -v pg="$5" 'BEGIN {
        t += 0; f += 0; tg += 0; rg += 0; pg += 0
        mib = kib / 1024; ratio = t / f; n = 0
        if (tg > 0) goal[++n] = sprintf("time < %s s\t%s", tg, t < tg ? "PASS" : "MISS")
        if (rg > 0) goal[++n] = sprintf("ratio < %sx\t%s", rg, ratio < rg ? "PASS" : "MISS")
        if (pg > 0) goal[++n] = sprintf("peak < %s MiB\t%s", pg, mib < pg ? "PASS" : "MISS")
        for (i = 1; i <= n; i++) {
            split(goal[i], g, "\t")
            if (i == 1)
                printf "%-28s %8.3f s %8.3f s %7.2fx %6.0f MiB   %-16s %s\n", label, t, f, ratio,
                       mib, g[1], g[2]
            else
                printf "%-28s %10s %10s %8s %10s   %-16s %s\n", "", "", "", "", "", g[1], g[2]
        }
    }'
}

cat <<EOF

Whole processes, median of $runs runs, each beside its floor in the same run:
  score       brevlund score score.log          1,000,000 QSOs of random calls
              floor: awk '$split' score.log
  rescan      brevlund score rescan10k.sqlite   and rescan100k.sqlite, 10,000 and 100,000 rows
              floor: sqlite3 DB '$sql' >/dev/null
  check-logs  brevlund check-logs contest       1,000,000 QSO lines in 2,000 Cabrillo logs
              floor: awk '$split' contest/*.log
              and repeats/ --contest repeats.json: serial numbers, a station again after 30 minutes
EOF
if [ -n "$big" ]; then
    cat <<EOF
              and big/ --json >big.json: 5,000,000 QSO lines in 10,000 logs
EOF
fi
cat <<EOF

EOF
printf "%-28s %10s %10s %8s %10s   %-16s %s\n" Command Time Floor Ratio Peak Goal Result
row "score, 1M QSOs" score 0.8 3 300
row "rescan, 10,000 rows" rescan10k - 1.3 -
row "rescan, 100,000 rows" rescan100k - 1.3 -
row "check-logs, 1M QSO lines" checklogs - 5 1024
row "check-logs, 1M, repeats" checkrepeats - 5 1024
if [ -n "$big" ]; then
    row "check-logs, 5M, --json" checkbig 30 - 4096
else
    echo "(check-logs over 5M QSO lines in 10,000 logs: BREVLUND_BENCH_BIG=1 ./run bench)"
fi
