#!/usr/bin/env bash
# Times the command-line front end against the standard tool a user would reach for instead, on
# the same generated inputs, and prints one table row per pair: for the mixed input in its Lf and
# its CrLf form, the median of KIVO_BENCH_REPS CPU times (default 3) for each side and the ratio
# ours / theirs; our peak memory against the input's size; and whether the two outputs agree once
# the differences that are the operation's own rule (CrLf line breaks, where the final break goes)
# are normalised away. Then the scaling check: every operation at n, 2n, 4n and 8n, with the time
# ratio of each doubling.
#
# usage: bench/compare.sh [BUILD_DIR]     (default: $KIVO_BUILD, else build/)
# A build directory without the front end is configured (Release, no window) and built first.
# KIVO_BENCH_SCALING=0 skips the scaling check, KIVO_BENCH_1GB=0 the 1 GB section.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build=${1:-${KIVO_BUILD:-$root/build}}
reps=${KIVO_BENCH_REPS:-3}
cli=$build/bin/kivoautofill-cli
bench=$build/bin/kivo_bench

if [[ ! -x $cli ]]; then
    echo "building $build ..." >&2
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIVO_BUILD_WINDOW=OFF >/dev/null
    cmake --build "$build" --parallel "$(nproc)" --target kivoautofill-cli kivo_bench >/dev/null
fi
for tool in python3 rev tac awk grep sort tr sed nl fold iconv wc seq uconv /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "compare.sh: $tool is missing" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/kivo-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "generating inputs ..." >&2
python3 "$here/make_inputs.py" "$work"
mixed=$work/mixed.txt
long=$work/long.txt
# What our users have: the same text with CrLf line breaks.
sed 's/$/\r/' "$mixed" >"$work/mixed_crlf.txt"
: >"$work/empty.txt"
printf 'line 1\n' >"$work/template.txt"

# The median of `reps` runs of a shell command, in CPU µs: user plus system time of every process
# of the command (a pipeline's stages added up); on a machine shared with other work it is the
# steadier measure.
median_us() {
    local cpus=() times real user sys
    for ((r = 0; r < reps; r++)); do
        times=$({
            TIMEFORMAT='%3R %3U %3S'
            time bash -c "$1" 2>/dev/null
        } 2>&1) || return 1
        read -r real user sys <<<"$times"
        cpus+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%d", (u + s) * 1e6 }')")
    done
    printf '%s\n' "${cpus[@]}" | sort -n | sed -n "$(((reps + 1) / 2))p"
}

# The peak resident size of a command's largest process, in KB.
peak_kb() {
    /usr/bin/time -f '%M' -o "$work/time" bash -c "$1" 2>/dev/null
    cat "$work/time"
}

ms() { awk -v us="$1" 'BEGIN { printf "%.0f", us / 1000 }'; }
# Times under the clock's resolution count as one millisecond.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a < 1000) a = 1000; if (b < 1000) b = 1000; printf "%.2f", a / b }'; }

printf '| operation | code | standard tool | Lf ours ms | Lf theirs ms | Lf ours/theirs | CrLf ours ms | CrLf theirs ms | CrLf ours/theirs | our peak MB / input MB | same output (Lf / CrLf) |\n'
printf '|---|---|---|---:|---:|---:|---:|---:|---:|---:|:---:|\n'

# run_pair INPUT OURS-ARGS THEIRS-COMMAND OURS-NORMALISER THEIRS-NORMALISER: "ours-µs theirs-µs
# our-peak-KB same", where same is 1 when the normalised outputs agree.
run_pair() {
    local input=$1 ours=$2 theirs=$3 ours_norm=$4 theirs_norm=$5 ours_cpu ours_peak theirs_cpu same=0
    local ours_run="'$cli' $code $ours <'$input' >'$work/ours.out' 2>'$work/ours.err'"
    ours_cpu=$(median_us "$ours_run")
    ours_peak=$(peak_kb "$ours_run")
    theirs_cpu=$(median_us "{ $theirs; } <'$input' >'$work/theirs.out'")
    bash -c "$ours_norm" <"$work/ours.out" >"$work/ours.norm"
    bash -c "$theirs_norm" <"$work/theirs.out" >"$work/theirs.norm"
    if [[ -s $work/ours.norm ]] && cmp -s "$work/ours.norm" "$work/theirs.norm"; then same=1; fi
    echo "$ours_cpu $theirs_cpu $ours_peak $same"
}

mark() { if (($1)); then echo '✓'; else echo '✗'; fi; }

# pair LABEL CODE TOOL-LABEL INPUT OURS-ARGS THEIRS-COMMAND [OURS-NORMALISER [THEIRS-NORMALISER]]
# The normalisers are filters from the raw output to the form both sides should share. The mixed
# input runs in both forms (the standard tool's CrLf output losing its Cr before its normaliser);
# any other input has no line breaks to tell apart and runs once.
pair() {
    local label=$1 code=$2 tool=$3 input=$4 ours=$5 theirs=$6
    local ours_norm=${7:-"tr -d '\r'"} theirs_norm=${8:-cat}
    local lf_ours lf_theirs peak same cr_ours cr_theirs cr_peak cr_same crlf_cells marks
    read -r lf_ours lf_theirs peak same <<<"$(run_pair "$input" "$ours" "$theirs" "$ours_norm" "$theirs_norm")"
    marks=$(mark "$same")
    crlf_cells='— | — | —'
    if [[ $input == "$mixed" ]]; then
        read -r cr_ours cr_theirs cr_peak cr_same <<<"$(run_pair "$work/mixed_crlf.txt" "$ours" "$theirs" \
            "tr -d '\r' | $ours_norm" "tr -d '\r' | $theirs_norm")"
        crlf_cells="$(ms "$cr_ours") | $(ms "$cr_theirs") | $(ratio "$cr_ours" "$cr_theirs")"
        if ((cr_peak > peak)); then peak=$cr_peak; fi
        marks="$marks / $(mark "$cr_same")"
    fi
    # A pipe inside a table cell would end the cell.
    tool=${tool//|/\\|}
    printf '| %s | %s | `%s` | %s | %s | %s | %s | %s / %s | %s |\n' "$label" "$code" "$tool" \
        "$(ms "$lf_ours")" "$(ms "$lf_theirs")" "$(ratio "$lf_ours" "$lf_theirs")" "$crlf_cells" \
        "$((peak / 1024))" "$(($(stat -c %s "$input") / 1048576))" "$marks"
}

# Whole-text reverse moves the final line break to the front; rev | tac keeps it at the end.
pair 'whole-text reverse' 0 'rev | tac' "$mixed" '' 'LC_ALL=C.UTF-8 rev | tac' \
    "tr -d '\r'" "{ printf '\n'; head -c -1; }"
# The last extracted line keeps no line break.
pair 'every 2nd line' 22 "awk 'NR%2'" "$mixed" 'Combo8=1 Combo9=1' "LC_ALL=C awk 'NR%2'" \
    "{ tr -d '\r'; printf '\n'; }"
pair 'line filter' 12 'grep -F item-' "$mixed" 'Text13=item-' 'LC_ALL=C grep -F item-'
# A final line break makes an empty last line, which sorts first.
pair 'sort' 27 'LC_ALL=C sort' "$mixed" '' 'LC_ALL=C sort' "tr -d '\r' | tail -c +2"
pair 'special character (Tab)' 2 "tr '\\t' ' '" "$mixed" "'Combo40=Tab(タブ)' 'Text26= '" \
    "LC_ALL=C tr '\t' ' '" cat
pair 'add text to every line' 4 "sed 's/^/> /'" "$mixed" "'Text3=> '" "LC_ALL=C sed 's/^/> /'"
pair 'running numbers' 28 "nl -ba -nrz -w3 -s ''" "$mixed" '' "LC_ALL=C nl -ba -nrz -w3 -s ''"
pair 'fixed-width breaking' 18 'fold -w 80' "$long" 'Combo5=80' 'LC_ALL=C fold -w 80'
pair 'byte count (CP932)' 1 'iconv -t CP932 | wc -c' "$mixed" \
    "'Combo39=バイト数をカウントする(改行「Lf」「Cr」「CrLf」、バックスペース「BS」を含む)'" \
    'iconv -f UTF-8 -t CP932 | wc -c' "{ sed 's/^バイト数：//'; echo; }"
pair 'loop generator, 1,000,000 copies' 26 "seq | sed" "$work/template.txt" "Text6=1000000 'Check1(0)=1'" \
    "seq 1 1000000 | LC_ALL=C sed 's/^/line /'"
pair 'month ends, 7000 months' 32 'python3' "$work/empty.txt" 'Text27=7000 DTPicker1=2000/01/31' \
    "python3 -c 'import calendar
for i in range(7000):
    y, m = 2000 + i // 12, i % 12 + 1
    print(\"%04d/%02d/%02d\" % (y, m, calendar.monthrange(y, m)[1]))'"

# The fifth tab's chores.
pair 'full to half width' 35 'uconv -x Fullwidth-Halfwidth' "$mixed" '' 'uconv -f UTF-8 -t UTF-8 -x Fullwidth-Halfwidth'
pair 'duplicate lines, first kept' 37 "awk '!seen[\$0]++'" "$mixed" '' "LC_ALL=C awk '!seen[\$0]++'"
pair 'blanks at line ends' 38 "sed -E 's/[ \t]+\$//'" "$mixed" "'Combo62=行末の空白を削除する'" \
    "LC_ALL=C sed -E 's/[ \t]+(\r?)\$/\1/'"
pair 'natural sort' 39 'sort -V' "$mixed" '' 'LC_ALL=C sort -V'

# The sixth tab's date forms, on the mixed text with a date in every line: the one form sed can
# pad alone, y/m/d to yyyy/mm/dd.
awk '{ printf "%s 納期 %d/%d/%d\n", $0, 1990 + NR % 40, 1 + NR % 12, 1 + NR % 28 }' "$mixed" >"$work/dates.txt"
pair 'dates to yyyy/mm/dd' 42 'sed -E' "$work/dates.txt" '' \
    "LC_ALL=C sed -E 's#([0-9]{4})/([0-9])/#\1/0\2/#g; s#([0-9]{4}/[0-9]{2})/([0-9])([^0-9]|\$)#\1/0\2\3#g'"

# The seventh tab: a regular-expression replace against sed -E, and a CSV without quotes sorted by
# its third column, whose keys are all different so that the two orders of equal keys never meet.
pair 'regex replace' 50 'sed -E' "$mixed" "'Text50=([0-9]+)' 'Text51=<\$1>'" "LC_ALL=C sed -E 's/([0-9]+)/<\1>/g'"
awk '{ printf "%d,item%d,%07d,note\n", NR, NR % 1000, (NR * 7919) % 1000003 }' "$mixed" >"$work/table.csv"
pair 'CSV sorted by column 3' 47 'sort -t, -k3' "$work/table.csv" "Text44=3 'Check7(0)=0'" 'LC_ALL=C sort -t, -k3'

# Line-local operations on 1 GB of CrLf text (the mixed text twenty times over), from a file as a
# script writer runs them: CPU time of one run and peak memory, ours and the standard tool's, and
# each one's CPU time against cat's reading of the same file.
if [[ ${KIVO_BENCH_1GB:-1} != 0 ]]; then
    big=$work/big_crlf.txt
    for ((i = 0; i < 20; i++)); do cat "$work/mixed_crlf.txt"; done >"$big"
    cat_cpu=$(median_us "cat '$big' >/dev/null")
    echo
    echo "1 GB ($(($(stat -c %s "$big") / 1048576)) MB of CrLf text, a file argument; cat takes $(ms "$cat_cpu") ms):"
    echo
    printf '| operation | standard tool | ours ms | theirs ms | ours/theirs | ours/cat | our peak MB | their peak MB | same output |\n'
    printf '|---|---|---:|---:|---:|---:|---:|---:|:---:|\n'
    # big_pair LABEL OURS-ARGS THEIRS-COMMAND: the standard tool works on the Lf text its lines mean
    # and its output is compared once the Cr are gone.
    big_pair() {
        local label=$1 ours=$2 theirs=$3 ours_cpu theirs_cpu ours_peak theirs_peak same=0
        local ours_run="'$cli' $ours '$big' >'$work/ours.out' 2>'$work/ours.err'"
        local theirs_run="{ $theirs; } <'$big' >'$work/theirs.out'"
        ours_cpu=$(median_us "$ours_run")
        ours_peak=$(peak_kb "$ours_run")
        theirs_cpu=$(median_us "$theirs_run")
        theirs_peak=$(peak_kb "$theirs_run")
        if cmp -s <(tr -d '\r' <"$work/ours.out") <(tr -d '\r' <"$work/theirs.out"); then same=1; fi
        printf '| %s | `%s` | %s | %s | %s | %s | %s | %s | %s |\n' "$label" "${theirs//|/\\|}" \
            "$(ms "$ours_cpu")" "$(ms "$theirs_cpu")" "$(ratio "$ours_cpu" "$theirs_cpu")" \
            "$(ratio "$ours_cpu" "$cat_cpu")" "$((ours_peak / 1024))" "$((theirs_peak / 1024))" "$(mark "$same")"
    }
    big_pair 'add text' "add-text '--text=> '" "LC_ALL=C sed 's/^/> /'"
    big_pair 'indent' 'indent' "LC_ALL=C sed 's/^/\t/'"
    big_pair 'line filter' 'filter-lines --text=item-' 'LC_ALL=C grep -F item-'
    big_pair 'replace the first character' "replace-ends --count=1 --replacement=#" "LC_ALL=C.UTF-8 sed 's/^./#/'"
    big_pair 'extract characters 2-4' 'extract-at --position=2 --count=3' \
        "LC_ALL=C.UTF-8 sed -E 's/\r\$//; s/^.(.{0,3}).*/\1/'"
    big_pair 'full to half width' 'convert-width' 'uconv -f UTF-8 -t UTF-8 -x Fullwidth-Halfwidth'
    big_pair 'hiragana to katakana' 'convert-kana' 'uconv -f UTF-8 -t UTF-8 -x Hiragana-Katakana'
    rm -f "$big"
fi

if [[ ${KIVO_BENCH_SCALING:-1} == 0 ]]; then exit 0; fi
if [[ ! -x $bench ]]; then
    echo "compare.sh: $bench is missing (Google Benchmark not found at configure time)" >&2
    exit 2
fi
echo
echo "scaling (least CPU time of three runs of each operation at n, 2n, 4n, 8n; n = 250,000 lines or its count):"
echo
printf '| case | n ms | 2n/n | 4n/2n | 8n/4n | 8n/n |\n|---|---:|---:|---:|---:|---:|\n'
"$bench" --benchmark_filter='^scaling/' --benchmark_format=csv 2>/dev/null |
    awk -F, '
        /^"scaling\/.*_min"/ {
            name = $1; gsub(/"/, "", name)
            split(name, part, "/")
            key = part[2]; size = part[3]
            if (!(key in seen)) { seen[key] = 1; order[++count] = key }
            t[key, size] = $4   # cpu_time in ms
        }
        END {
            for (i = 1; i <= count; i++) {
                k = order[i]
                r1 = t[k, 2] / t[k, 1]; r2 = t[k, 4] / t[k, 2]; r3 = t[k, 8] / t[k, 4]
                # Quadratic work doubles to about 4 every time; linear work to about 2, with one
                # step of up to 3.5 where the texts outgrow what the allocator keeps for reuse
                # (32 MB), so that every run pays page faults for fresh memory.
                flag = ((r2 > 2.8 && r3 > 2.8) || r3 > 3.5) ? " ⚠" : ""
                printf "| %s | %.2f | %.2f | %.2f | %.2f%s | %.1f |\n", k, t[k, 1], r1, r2, r3, flag, t[k, 8] / t[k, 1]
            }
        }'
