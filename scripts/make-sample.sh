#!/usr/bin/env bash
# Synthesises a sound effect from a sox recipe into a 16-bit mono PCM WAV at 22050 Hz.
#
#   make-sample.sh RECIPE OUTPUT.wav
#
# A recipe is a text file; lines that start with "#" are comments. The line "peak DB" gives the
# loudness of the finished sound as its peak level in dBFS (-1 at most, so nothing clips). Every
# other line is one layer: a sox effects chain that starts with "synth" and is run from silence,
# for example
#   synth 0.12 square 1400-350 fade 0 0.12 0.1
# ("pad SECONDS" at the end starts a layer later). The layers are mixed and the mix is brought to
# the peak level. An optional line "mix EFFECTS" gives a sox effects chain that the mix goes
# through first, for example a compand that makes a short sound fuller at the same peak. Noise is
# seeded (-R), so a recipe always gives the same file.
set -euo pipefail
set -f # the words of a layer are sox arguments, never file patterns

[ $# -eq 2 ] || {
    echo "usage: $0 RECIPE OUTPUT.wav" >&2
    exit 2
}
recipe=$1
output=$2
# Layers are synthesised at twice the final rate, which keeps sox's plain square and sawtooth
# waves from folding their overtones back into the audible range.
layer_format=(-r 44100 -c 1 -b 16)
rate=22050
longest=1.0 # seconds

fail() {
    echo "$recipe: $*" >&2
    exit 1
}

# Runs sox and fails on any message: sox only warns, and exits with 0, when a layer clips.
run_sox() {
    local log
    log=$(sox "$@" 2>&1) || fail "sox $*: $log"
    [ -z "$log" ] || fail "sox $*: $log"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

peak=
mix_effects=()
layers=()
while read -r -a words || [ ${#words[@]} -gt 0 ]; do
    [ ${#words[@]} -gt 0 ] || continue
    case "${words[0]}" in
    \#*) ;;
    peak)
        [ ${#words[@]} -eq 2 ] || fail "peak takes one level in dBFS"
        peak=${words[1]}
        awk -v p="$peak" 'BEGIN { exit !(p + 0 == p && p <= -1) }' || fail "peak $peak is above -1 dBFS"
        ;;
    mix)
        [ ${#words[@]} -gt 1 ] || fail "mix takes a sox effects chain"
        [ ${#mix_effects[@]} -eq 0 ] || fail "one mix line at most"
        mix_effects=("${words[@]:1}")
        ;;
    synth)
        layer="$work/layer${#layers[@]}.wav"
        run_sox -R -D -n "${layer_format[@]}" "$layer" "${words[@]}"
        layers+=("$layer")
        ;;
    *) fail "a layer starts with synth, not ${words[0]}" ;;
    esac
done <"$recipe"

[ -n "$peak" ] || fail "no peak level"
[ ${#layers[@]} -gt 0 ] || fail "no layer"
mix=()
[ ${#layers[@]} -eq 1 ] || mix=(-m)
run_sox -R -D "${mix[@]}" "${layers[@]}" -b 16 "$output" rate "$rate" "${mix_effects[@]}" gain -n "$peak"

length=$(soxi -D "$output")
awk -v l="$length" -v m="$longest" 'BEGIN { exit !(l < m) }' || fail "lasts $length s, a sound effect stays under $longest s"
