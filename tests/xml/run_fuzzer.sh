#!/usr/bin/env bash
# Runs the XML fuzzer for a bounded time on a fresh copy of the seed corpus and fails when it finds
# anything. Usage: run_fuzzer.sh FUZZER SEED_FOLDER WORK_FOLDER SECONDS
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3 seconds=$4

rm -rf "$work"
mkdir -p "$work/corpus"
cp "$seeds"/* "$work/corpus/"

# The files each input is read from and saved to live in memory when possible: every save is
# flushed to disk, which would otherwise slow the fuzzer to a crawl.
base=/dev/shm
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
files=$(mktemp -d "$base/zg-xml-fuzz-XXXXXX")
trap 'rm -rf "$files"' EXIT

# A finding leaves its input in the work folder; -timeout turns an input that stalls into one.
XML_FUZZ_FOLDER=$files "$fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=5 \
    -rss_limit_mb=2048 -detect_leaks=1 -print_final_stats=1 \
    -artifact_prefix="$work/" "$work/corpus"
