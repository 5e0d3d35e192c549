#!/usr/bin/env bash
# Every line-local operation's example, scaled up to many blocks, gives the same bytes run once,
# run a block at a time on two cores (--jobs=2), and cut into pieces by GNU parallel --pipe, with
# CrLf and with Lf line breaks.
# usage: parallel_pipe_test.sh KIVOAUTOFILL-CLI
set -euo pipefail
cli=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/kivo-parallel.XXXXXX")
trap 'rm -rf "$work"' EXIT
ops=$("$cli" list | awk '$2 == "L" { print $3 }')
[[ -n $ops ]] || { echo "no line-local operation listed" >&2; exit 1; }
failed=0
for op in $ops; do
    example=$("$cli" help "$op" | sed -n 's/^  \$ printf //p')
    eval "printf ${example%% | kivoautofill-cli *}" >"$work/one"
    eval "options=(${example#* | kivoautofill-cli "$op"})"
    for breaks in crlf lf; do
        # 2^16 copies, a few MB: several of the command line's blocks, many of parallel's.
        { cat "$work/one"; printf '\r\n'; } >"$work/in"
        for ((i = 0; i < 16; i++)); do cat "$work/in" "$work/in" >"$work/twice"; mv "$work/twice" "$work/in"; done
        [[ $breaks == lf ]] && sed -i 's/\r$//' "$work/in"
        "$cli" "$op" "${options[@]}" --jobs=1 <"$work/in" >"$work/once"
        "$cli" "$op" "${options[@]}" --jobs=2 "$work/in" >"$work/jobs"
        parallel --will-cite -q --pipe -k --block 64k "$cli" "$op" "${options[@]}" <"$work/in" >"$work/piped"
        for way in jobs piped; do
            if ! cmp -s "$work/once" "$work/$way"; then
                echo "$op ($breaks): the $way result differs from a single run" >&2
                failed=1
            fi
        done
    done
done
exit $failed
