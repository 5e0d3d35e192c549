#!/usr/bin/env bash
# Keeps the core's layers one way: src/text knows nothing above it, src/ops nothing of the front
# ends, and no operation module reaches the registry or the dispatcher (which include every
# operation; only the reader of option words looks operations up by name). Operations speak in options: a window control's name stands in the core only where a
# declaration names its alias.
set -uo pipefail

root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
cd "$root/src" || exit 2
status=0

fail() {
    echo "$1"
    status=1
}

sources() {
    find "$@" -name '*.h' -o -name '*.cpp'
}

while IFS= read -r hit; do
    fail "upward include in the text layer: $hit"
done < <(sources text | xargs grep -nE '#include ["<](ops|window|cli|app)/|#include <Q' /dev/null)

while IFS= read -r hit; do
    fail "front-end include in the operations layer: $hit"
done < <(sources ops | xargs grep -nE '#include ["<](window|cli|app)/|#include <Q' /dev/null)

while IFS= read -r hit; do
    case "$hit" in
        # A recipe's or a command line's words find their operation by its name.
        ops/registry.cpp:*'"ops/registry.h"'* | ops/dispatch.cpp:*'"ops/dispatch.h"'* | \
            ops/option_words.cpp:*'"ops/registry.h"'*) ;;
        *) fail "include of the registry or the dispatcher inside the operations layer: $hit" ;;
    esac
done < <(sources ops | xargs grep -nE '#include "ops/(registry|dispatch)\.h"' /dev/null)

# A quoted control name, outside comments and the declarations' alias fields.
while IFS= read -r hit; do
    fail "control name outside an alias: $hit"
done < <(sources ops text | xargs grep -nE '"(Combo|Text[0-9]|Check|Option|DTPicker|Command|chk)[A-Za-z0-9()]*' /dev/null |
    grep -vE '\.alias\(|\.selector = ' | grep -vE '^[^:]+:[0-9]+:[^"]*//')

exit "$status"
