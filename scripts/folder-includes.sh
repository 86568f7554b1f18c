#!/bin/sh
# Prints which source folders include which, from the #include lines of the game's code: for the
# headers alone (the interfaces, which must not form a cycle) and for all files. Run it from the
# repository's root.
set -eu
folders="core objects media gui xml"
graph() {
    for from in $folders; do
        to=$(grep -ho '#include "[a-z]*/' $(ls $from/$1 2>/dev/null) /dev/null |
            sed 's|#include "||; s|/||' | sort -u | grep -vx "$from" | tr '\n' ' ')
        echo "  $from -> ${to:-(none)}"
    done
}
echo "headers:"
graph '*.h'
echo "all files:"
graph '*.[ch]*'
