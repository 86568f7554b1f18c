#!/usr/bin/env bash
# Packs pictures, samples or tunes into a fresh Allegro data file with Allegro's own dat tool.
#
#   pack-datafile.sh OUTPUT TYPE PROPERTY FILE ID [FILE ID ...]
#   pack-datafile.sh OUTPUT TYPE - FILE [FILE ...]
#
# TYPE is BMP (24-bit BMP3 files, stored as 16-bit bitmaps), SAMP (PCM WAV files) or MIDI (Standard
# MIDI Files). With a PROPERTY (such as BMPI), every object carries its ID in that property; with "-"
# the objects carry none. The objects keep the order of the command line.
#
# What dat needs to get this right:
# - one object per call, because several "OBJECT PROP=value" pairs in one call all get the last value;
# - -k, so the object is named after its file and the property can be set in the same call; the name
#   is the file's base name, so dat is run from the file's folder with the bare name (a name with a
#   folder in it makes the property lookup fail);
# - -n0 on every call including the strip, or dat sorts the objects by name;
# - a final -s1, which drops the GrabberInfo object that every call appends and the grabber-only
#   properties (dates, original paths), so the file holds only our objects and builds identically;
# - input of the right kind: dat crashes and leaves a corrupt file when, say, a picture is added as a
#   sample, so every input is checked first.
set -euo pipefail

usage() {
    echo "usage: $0 OUTPUT TYPE PROPERTY|- FILE [ID] [FILE [ID] ...]" >&2
    exit 2
}

[ $# -ge 4 ] || usage
output=$(realpath -m "$1")
type=$2
property=$3
shift 3

case "$type" in
BMP) grab=(-t BMP -bpp 16) ;;
SAMP) grab=(-t SAMP) ;;
MIDI) grab=(-t MIDI) ;;
*)
    echo "$0: unknown object type $type" >&2
    exit 2
    ;;
esac

# Prints the first bytes of a file that tell its kind, as text.
magic() {
    head -c "$2" "$1" | tr -c '[:alnum:]' '.'
}

check_kind() {
    local file=$1
    [ -f "$file" ] || {
        echo "$0: $file not found" >&2
        exit 1
    }
    case "$type" in
    BMP) [ "$(magic "$file" 2)" = BM ] ;;
    SAMP) [ "$(magic "$file" 4)" = RIFF ] && [ "$(head -c 12 "$file" | tail -c 4)" = WAVE ] ;;
    MIDI) [ "$(magic "$file" 4)" = MThd ] ;;
    esac || {
        echo "$0: $file is not a $type source" >&2
        exit 1
    }
}

# Runs dat quietly; its chatter is shown only when it fails.
run_dat() {
    local log
    if ! log=$(dat "$@" 2>&1); then
        echo "$log" >&2
        echo "$0: dat $* failed" >&2
        exit 1
    fi
}

files=()
ids=()
while [ $# -gt 0 ]; do
    files+=("$(realpath "$1")")
    if [ "$property" = - ]; then
        shift
    else
        [ $# -ge 2 ] || usage
        ids+=("$2")
        shift 2
    fi
done

names=()
for file in "${files[@]}"; do
    check_kind "$file"
    name=$(basename "$file")
    for seen in "${names[@]}"; do
        [ "$seen" != "$name" ] || {
            echo "$0: two objects would both be named $name" >&2
            exit 1
        }
    done
    names+=("$name")
done

mkdir -p "$(dirname "$output")"
rm -f "$output"
for i in "${!files[@]}"; do
    set_id=()
    [ "$property" = - ] || set_id=("$property=${ids[$i]}")
    (cd "$(dirname "${files[$i]}")" && run_dat -k -n0 "${grab[@]}" "$output" -a "${names[$i]}" "${set_id[@]}")
done
run_dat -n0 -s1 "$output"

# The listing must show exactly our objects, in our order: nothing sorted, dropped or left over.
listed=$(dat -l "$output" 2>/dev/null | awk '/^- / { print $4 }')
expected=$(printf '%s\n' "${names[@]}")
if [ "$listed" != "$expected" ]; then
    echo "$0: $output holds, in this order:" >&2
    echo "$listed" >&2
    echo "$0: instead of:" >&2
    echo "$expected" >&2
    exit 1
fi
