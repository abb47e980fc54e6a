#!/usr/bin/env bash
# Runs one fuzz target over its checked-in seeds for a fixed number of inputs,
# with a fixed seed: the same work on every machine. The seed folder is only
# read; inputs the fuzzer finds go to a fresh folder under WORK, and so does the
# input of a failure (crash-*, as libFuzzer names it), for replaying with
#   FUZZER WORK/crash-...
#   run-fuzzer.sh FUZZER SEED_DIR WORK RUNS MAX_LEN
set -euo pipefail
fuzzer=$(realpath "$1") seeds=$(realpath "$2") work=$3 runs=$4 max_len=$5
rm -rf "$work"
mkdir -p "$work/found"
work=$(realpath "$work")
cd "$work"
exec "$fuzzer" -runs="$runs" -seed=1 -max_len="$max_len" -timeout=60 -print_final_stats=1 \
    -artifact_prefix="$work/" "$work/found" "$seeds"
