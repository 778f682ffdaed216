#!/usr/bin/env bash
# Times whole runs of korvane-cli on generated exchange files, next to the time of merely reading
# the same bytes (cat file > /dev/null), and reports the peak memory of each run.
#
#   bench/run_timed.sh BUILD_DIR [CASE...]
#
# BUILD_DIR holds a Release build configured with -DKORVANE_BENCH=ON. A CASE is
# kind:count[:options], kind "plan" or "scatter", options as korvane-benchgen takes them with
# commas for blanks (plan:1000000:--axis,30,--groups). Without cases the standard set runs.
# Each case runs RUNS times (default 3) on a fresh copy of its input; the best wall time counts.
# A run longer than TIMEOUT seconds (default 600) is stopped and reported as such.
set -euo pipefail

build=${1:?usage: bench/run_timed.sh BUILD_DIR [CASE...]}
shift
cases=("$@")
if [ ${#cases[@]} -eq 0 ]; then
    # The commas belong to the cases (options for korvane-benchgen).
    # shellcheck disable=SC2054
    cases=(plan:1000 plan:10000 plan:100000 plan:1000000 plan:1000000:--axis,30,--groups
           scatter:1000 scatter:100000)
fi
runs=${RUNS:-3}
timeout_s=${TIMEOUT:-600}

source "$(dirname "$0")/timed_lib.sh"
bench_programs "$build"
scratch_folder

settings=(--set ComboBox3=0 --set CheckBox5=1 --set CheckBox6=1 --set CheckBox7=1
          --set CheckBox8=1 --set CheckBox9=1)

now_ns() { date +%s%N; }

printf '%-40s %9s %8s %9s %7s %9s %8s %10s %5s\n' case "input MB" "cat s" "run s" ratio \
    "peak MB" "peak/in" "out MB" exit
for c in "${cases[@]}"; do
    IFS=: read -r kind count opts <<<"$c"
    input="$work/input.txt"
    # shellcheck disable=SC2086
    "$gen" "$kind" "$count" "$input" ${opts//,/ }
    in_bytes=$(stat -c %s "$input")

    best_cat=""
    best_run=""
    peak_kb=""
    code=""
    out_bytes=0
    for ((r = 0; r < runs; r++)); do
        t0=$(now_ns)
        cat "$input" >/dev/null
        t1=$(now_ns)
        dt=$((t1 - t0))
        if [ -z "$best_cat" ] || [ "$dt" -lt "$best_cat" ]; then best_cat=$dt; fi

        rm -rf "$work/run"
        mkdir "$work/run"
        cp "$input" "$work/run/JWC_TEMP.TXT"
        sync
        t0=$(now_ns)
        set +e
        timeout "$timeout_s" /usr/bin/time -v -o "$work/time.txt" "$cli" --folder "$work/run" \
            --settings "$work/run/Korvane.dat" "${settings[@]}" >/dev/null 2>"$work/err.txt"
        rc=$?
        set -e
        t1=$(now_ns)
        dt=$((t1 - t0))
        if [ "$rc" -eq 124 ]; then
            code="timeout"
            best_run=""
            break
        fi
        kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
        if [ -z "$best_run" ] || [ "$dt" -lt "$best_run" ]; then
            best_run=$dt
            peak_kb=$kb
            code=$rc
            out_bytes=$(stat -c %s "$work/run/JWC_TEMP.TXT")
        fi
    done

    in_mb=$(awk -v b="$in_bytes" 'BEGIN {printf "%.1f", b / 1048576}')
    cat_s=$(awk -v n="$best_cat" 'BEGIN {printf "%.3f", n / 1e9}')
    if [ -z "$best_run" ]; then
        printf '%-40s %9s %8s %9s %7s %9s %8s %10s %5s\n' "$c" "$in_mb" "$cat_s" \
            ">$timeout_s" - - - - "$code"
        continue
    fi
    awk -v name="$c" -v inb="$in_bytes" -v cat="$best_cat" -v run="$best_run" -v kb="$peak_kb" \
        -v outb="$out_bytes" -v code="$code" 'BEGIN {
            printf "%-40s %9.1f %8.3f %9.3f %7.1f %9.1f %8.2f %10.1f %5s\n", name,
                inb / 1048576, cat / 1e9, run / 1e9, run / cat, kb / 1024,
                kb * 1024 / inb, outb / 1048576, code
        }'
done
