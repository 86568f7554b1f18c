#!/usr/bin/env bash
# Builds the instrument patch set with which Allegro's software synthesiser (DIGMID) plays the
# game's music: the GUS patches that the tunes use, packed by Allegro's pat2dat into one data file.
#
#   make-patches.sh TIMIDITY.cfg OUTPUT.dat TUNE.mid [TUNE.mid ...]
#
# The patches come from a TiMidity configuration such as Debian's /etc/timidity/freepats.cfg.
# pat2dat reads the older GUS index (default.cfg) instead, which differs in three ways:
# - it has no "dir" line: every patch is named by its path;
# - instruments are numbered from 1, not 0, and it has no "bank" line;
# - the drums are one block, "129-256 begin_multipatch ..." to "end_multipatch", in which each
#   line gives a MIDI note (counted from 0) and its patch; it has no "drumset" line.
# Only bank 0 and drum set 0 (General MIDI) are kept; options such as "amp=" are dropped, since
# DIGMID has none. pat2dat keeps only the patches that the tunes use (and the piano, which Allegro
# always loads); a tune that uses an instrument or drum the set lacks fails the build.
set -euo pipefail

[ $# -ge 3 ] || {
    echo "usage: $0 TIMIDITY.cfg OUTPUT.dat TUNE.mid [TUNE.mid ...]" >&2
    exit 2
}
config=$(realpath "$1")
output=$(realpath -m "$2")
shift 2
tunes=()
for tune in "$@"; do
    tunes+=("$(realpath "$tune")")
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk -v config="$config" '
    BEGIN { dir = ""; section = "" }
    { sub(/#.*/, "") }
    NF == 0 { next }
    $1 == "dir" { dir = $2; sub(/\/$/, "", dir); next }
    $1 == "bank" { section = ($2 == 0) ? "bank" : ""; next }
    $1 == "drumset" { section = ($2 == 0) ? "drums" : ""; next }
    $1 ~ /^[0-9]+$/ && NF >= 2 {
        path = ($2 ~ /^\//) ? $2 : dir "/" $2
        if (section == "bank")
            print $1 + 1, path
        else if (section == "drums")
            drum_lines = drum_lines sprintf("%d %s\n", $1, path)
        next
    }
    { print config ": line " FNR " not understood: " $0 > "/dev/stderr"; failed = 1; exit 1 }
    END {
        if (failed) exit 1
        if (drum_lines != "") {
            print "129-256 begin_multipatch default blank"
            printf "%s", drum_lines
            print "end_multipatch"
        }
    }
' "$config" >"$work/default.cfg"

# pat2dat looks for each patch under the folder of the index it is given: with the index named
# without a folder, the full paths above are taken as they stand.
if ! log=$(cd "$work" && pat2dat -o -8 -c "$work/patches.dat" default.cfg "${tunes[@]}" 2>&1); then
    echo "$log" >&2
    echo "$0: pat2dat failed" >&2
    exit 1
fi
if grep -q "^Warning" <<<"$log"; then
    grep "^Warning" <<<"$log" >&2
    echo "$0: the patch set lacks what the tunes above use" >&2
    exit 1
fi
mkdir -p "$(dirname "$output")"
mv "$work/patches.dat" "$output"
