#!/usr/bin/env bash
# Times a run in both directions ("HV") against the runs it is made of, on the same generated
# file: the horizontal run alone (H), the vertical run alone (V), both in one go (HV), and the
# reading alone (R, a cancelled run: the file read, nothing drawn). Both runs read the file once,
# so HV should take about H + V - R. Interleaved: ROUNDS rounds (default 3), the four commands in
# a turned order each round, each timed by hyperfine (RUNS runs after a warm-up, default 5, a
# fresh copy of the input before every run). Prints the median of each round, and the bound
# 1.1 x (H + V - R) from the medians over all rounds.
#
#   bench/time_both_directions.sh BUILD_DIR [CASE]     (a case as for run_timed.sh; default the
#                                                      straight plan, plan:1000000:--round)
set -euo pipefail

build=${1:?usage: bench/time_both_directions.sh BUILD_DIR [CASE]}
case_=${2:-plan:1000000:--round}
rounds=${ROUNDS:-3}
runs=${RUNS:-5}
command -v hyperfine >/dev/null || { echo "hyperfine is missing" >&2; exit 1; }
command -v jq >/dev/null || { echo "jq is missing" >&2; exit 1; }
source "$(dirname "$0")/timed_lib.sh"
bench_programs "$build"
scratch_folder
IFS=: read -r kind count opts <<<"$case_"
input="$work/input.txt"
# shellcheck disable=SC2086
"$gen" "$kind" "$count" "$input" ${opts//,/ }

settings="--set ComboBox3=0 --set CheckBox5=1 --set CheckBox6=1 --set CheckBox7=1"
settings+=" --set CheckBox8=1 --set CheckBox9=1"
declare -A args=([H]="2" [V]="2 V" [HV]="2 HV" [R]="--cancel 2")
declare -A times=()
names=(H V HV R)

for ((r = 0; r < rounds; r++)); do
    for ((i = 0; i < 4; i++)); do
        name=${names[$(((i + r) % 4))]}
        mkdir -p "$work/$name"
        hyperfine -N -w 1 -r "$runs" --export-json "$work/$name.json" \
            --prepare "cp $input $work/$name/JWC_TEMP.TXT" \
            "$cli --folder $work/$name --settings $work/$name/K.dat $settings ${args[$name]}" \
            >/dev/null 2>&1
        times[$name]+="$(jq -r '.results[0].median' "$work/$name.json") "
    done
done

median() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
printf '%s, %s rounds of %s runs\n' "$case_" "$rounds" "$runs"
for name in "${names[@]}"; do
    printf '%-3s %-12s medians by round: %s\n' "$name" "(${args[$name]})" "${times[$name]}"
done
h=$(median <<<"${times[H]}")
v=$(median <<<"${times[V]}")
hv=$(median <<<"${times[HV]}")
rd=$(median <<<"${times[R]}")
awk -v h="$h" -v v="$v" -v hv="$hv" -v r="$rd" 'BEGIN {
    bound = 1.1 * (h + v - r)
    printf "H %.3f s, V %.3f s, R %.3f s: 1.1 x (H + V - R) = %.3f s; HV %.3f s (%s)\n",
        h, v, r, bound, hv, hv <= bound ? "within" : "beyond"
}'
