#!/usr/bin/env bash
# Measures an older commit of the game and the current build side by side, in one run: the scene
# benchmarks of bench/ and the real game state by state (bench/measure_game.py). The older commit
# is built once in a scratch folder outside the repository; the current build must be made first
# (make build). Needs root for perf's probes. Results go to standard output; docs/performance.md
# keeps them. The game is measured on X screens of the sizes and depths in SCREENS, in the states in
# STATES (see bench/measure_game.py).
#
#     scripts/measure-performance.sh [COMMIT]   (default: f771ce7, the game before its screen class)
set -euo pipefail

before_commit=${1:-f771ce7}
screens=${SCREENS:-640x480x16,640x480x24,1920x1080x24,2560x1440x24}
states=${STATES:-intro,menu,play}
repo=$(cd "$(dirname "$0")/.." && pwd)
before=/tmp/zenith-perf-$before_commit
cd "$repo"

if [ ! -x "$before/build/bench/zenith-bench" ]; then
    mkdir -p "$before"
    git archive "$before_commit" | tar -x -C "$before"
    # The same benchmark source for both, so that both builds run the same scenes.
    cp bench/scene_bench.cpp "$before/bench/"
    cmake -S "$before" -B "$before/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$before/build" --target zenith-guard zenith-bench -j "$(nproc)" >/dev/null
    cp tests/allegro.cfg "$before/build/bench/allegro.cfg"
fi

# A private X server for the benchmarks, which draw to a real window.
number=$(mktemp)
Xvfb -displayfd 3 -screen 0 640x480x16 -nolisten tcp -noreset 3>"$number" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb; rm -f "$number"' EXIT
for _ in $(seq 100); do [ -s "$number" ] && break; sleep 0.1; done
display=$(head -1 "$number")

echo "machine: $(nproc) x $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for build in "$before/build" build; do
    echo "== benchmarks of $build"
    DISPLAY=:$display "$build/bench/zenith-bench" --benchmark_filter='Stress|Monster|Windows|HallOf' \
        --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null |
        grep -E '_median|^Benchmark'
done
echo "== the real game, ${SECONDS_PER_STATE:-10} s per state"
python3 -B bench/measure_game.py --screens "$screens" --states "$states" \
    "before=$before/build/zenith-guard" "after=build/zenith-guard"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
