#!/usr/bin/env bash
# Turns a tune in ABC notation into a Standard MIDI File that loops without a hitch.
#
#   make-music.sh TUNE.abc OUTPUT.mid
#
# abc2midi writes the tune; any warning of its (a voice shorter than the others, a bar too long)
# fails the build, because such a tune would stumble where the game loops it. abc2midi also pads
# every track with a few pulses of silence after its last bar; the game plays the music in a loop,
# so every track's end is moved back to the last bar line (with midicsv and csvmidi), which makes
# the loop exactly a whole number of bars. A tune therefore holds whole bars of its first metre;
# a note that would be cut by this fails the build.
set -euo pipefail

[ $# -eq 2 ] || {
    echo "usage: $0 TUNE.abc OUTPUT.mid" >&2
    exit 2
}
tune=$1
output=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! log=$(abc2midi "$tune" -silent -o "$work/tune.mid" 2>&1) || [ -n "$log" ] || [ ! -s "$work/tune.mid" ]; then
    echo "$tune: abc2midi: ${log:-no MIDI file written}" >&2
    exit 1
fi

midicsv "$work/tune.mid" "$work/tune.csv"
awk -F', *' -v tune="$tune" '
    # First pass: the bar length from the header and the first metre, and the latest track end.
    NR == FNR {
        if ($3 == "Header") pulses = $6
        if ($3 == "Time_signature" && !bar) bar = pulses * 4 * $4 / 2 ^ $5
        if ($3 == "End_track" && $2 > end) end = $2
        next
    }
    FNR == 1 {
        if (!bar) bar = pulses * 4
        loop = int(end / bar) * bar
        if (loop <= 0) { print tune ": shorter than one bar" > "/dev/stderr"; failed = 1; exit 1 }
    }
    $3 == "End_track" { $2 = loop }
    $3 != "End_track" && $2 + 0 > loop {
        print tune ": an event at pulse " $2 " lies after the last bar line at " loop > "/dev/stderr"
        failed = 1
        exit 1
    }
    { print }
    END { exit failed }
' OFS=', ' "$work/tune.csv" "$work/tune.csv" >"$work/loop.csv"
csvmidi "$work/loop.csv" "$output"
