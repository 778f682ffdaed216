#!/usr/bin/env bash
# Runs every standard benchmark drawing of up to about 50,000 measuring points through the fast
# stages and through the quadratic reference stages, and compares the command files byte for
# byte (korvane-refcheck). Also prints the chains of near-equal X that the ordering met.
#
#   bench/check_reference.sh BUILD_DIR [CASE...]      (cases as for run_timed.sh)
set -euo pipefail

build=${1:?usage: bench/check_reference.sh BUILD_DIR [CASE...]}
shift
cases=("$@")
if [ ${#cases[@]} -eq 0 ]; then
    # The commas belong to the cases (options for korvane-benchgen).
    # shellcheck disable=SC2054
    cases=(plan:1000 plan:10000 plan:90000 plan:1000:--axis,30,--groups
           plan:10000:--axis,30,--groups plan:45000:--axis,30,--groups plan:20000:--axis,17.5
           plan:20000:--round scatter:1000 scatter:10000 scatter:50000)
fi
gen="$build/bench/korvane-benchgen"
check="$build/bench/korvane-refcheck"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

files=()
for c in "${cases[@]}"; do
    IFS=: read -r kind count opts <<<"$c"
    name="${kind}-${count}${opts:+-${opts//[-,]/}}"
    # shellcheck disable=SC2086
    "$gen" "$kind" "$count" "$work/$name" ${opts//,/ }
    files+=("$work/$name")
done
"$check" "${files[@]}"
