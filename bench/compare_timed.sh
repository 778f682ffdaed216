#!/usr/bin/env bash
# Times whole runs of two builds of korvane-cli against each other on the same generated files,
# interleaved so that the load other work puts on the machine falls on both alike: ROUNDS rounds
# (default 3), each timing both builds with hyperfine (RUNS runs each after a warm-up, default 5,
# a fresh copy of the input before every run), the "before" build first in the odd rounds and
# the "after" build first in the even ones, so that a load rising or falling during the
# comparison does not favour the build that always runs second. Prints per
# case the median of each round, the time of cat file > /dev/null, and the peak memory of one
# run of each (/usr/bin/time -v). With CALLGRIND=1 it also counts the instructions of one run of
# each under callgrind, which no load changes.
#
#   bench/compare_timed.sh BEFORE_BUILD AFTER_BUILD [CASE...]     (cases as for run_timed.sh)
set -euo pipefail

before=${1:?usage: bench/compare_timed.sh BEFORE_BUILD AFTER_BUILD [CASE...]}
after=${2:?usage: bench/compare_timed.sh BEFORE_BUILD AFTER_BUILD [CASE...]}
shift 2
cases=("$@")
if [ ${#cases[@]} -eq 0 ]; then
    # The commas belong to the cases (options for korvane-benchgen).
    # shellcheck disable=SC2054
    cases=(plan:1000 scatter:1000 plan:1000000:--round plan:1000000
           plan:1000000:--axis,30,--groups scatter:100000)
fi
rounds=${ROUNDS:-3}
runs=${RUNS:-5}
command -v hyperfine >/dev/null || { echo "hyperfine is missing" >&2; exit 1; }
gen="$after/bench/korvane-benchgen"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
settings="--set ComboBox3=0 --set CheckBox5=1 --set CheckBox6=1 --set CheckBox7=1"
settings+=" --set CheckBox8=1 --set CheckBox9=1"

median() { jq -r '.results[0].median' "$1"; }

printf '%-36s %8s %8s %-26s %-26s %9s %9s\n' case "in MB" "cat s" "before s (rounds)" \
    "after s (rounds)" "peak MB b" "peak MB a"
for c in "${cases[@]}"; do
    IFS=: read -r kind count opts <<<"$c"
    input="$work/input.txt"
    # shellcheck disable=SC2086
    "$gen" "$kind" "$count" "$input" ${opts//,/ }
    catted=$(hyperfine -N -w 1 -r "$runs" --export-json "$work/cat.json" \
        "cat $input" --output=null >/dev/null 2>&1 && median "$work/cat.json")
    times_b=()
    times_a=()
    for ((r = 0; r < rounds; r++)); do
        order=(before after)
        [ $((r % 2)) -eq 1 ] && order=(after before)
        for side in "${order[@]}"; do
            build=${!side}
            mkdir -p "$work/$side"
            hyperfine -N -w 1 -r "$runs" --export-json "$work/$side.json" \
                --prepare "cp $input $work/$side/JWC_TEMP.TXT" \
                "$build/src/cli/korvane-cli --folder $work/$side --settings $work/$side/K.dat \
$settings" >/dev/null 2>&1
            if [ "$side" = before ]; then times_b+=("$(median "$work/$side.json")")
            else times_a+=("$(median "$work/$side.json")"); fi
        done
    done
    peaks=()
    for side in before after; do
        build=${!side}
        cp "$input" "$work/$side/JWC_TEMP.TXT"
        # shellcheck disable=SC2086
        /usr/bin/time -v -o "$work/time.txt" "$build/src/cli/korvane-cli" --folder "$work/$side" \
            --settings "$work/$side/K.dat" $settings >/dev/null
        peaks+=("$(awk -F': ' '/Maximum resident/ {printf "%.1f", $2 / 1024}' "$work/time.txt")")
    done
    fmt() { printf '%.3f ' "$@"; }
    printf '%-36s %8.1f %8.4f %-26s %-26s %9s %9s\n' "$c" \
        "$(awk -v b="$(stat -c %s "$input")" 'BEGIN {print b / 1048576}')" "$catted" \
        "$(fmt "${times_b[@]}")" "$(fmt "${times_a[@]}")" "${peaks[0]}" "${peaks[1]}"
    if [ -n "${CALLGRIND:-}" ]; then
        for side in before after; do
            build=${!side}
            cp "$input" "$work/$side/JWC_TEMP.TXT"
            # shellcheck disable=SC2086
            valgrind --tool=callgrind --callgrind-out-file=/dev/null \
                "$build/src/cli/korvane-cli" --folder "$work/$side" --settings "$work/$side/K.dat" \
                $settings >/dev/null 2>"$work/cg.txt"
            echo "    $side: $(grep -o 'Collected : [0-9]*' "$work/cg.txt") instructions"
        done
    fi
done
