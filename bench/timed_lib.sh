# Shared by the timed scripts: the programs of a benchmark build, and a scratch folder.

# bench_programs BUILD_DIR: sets cli and gen to the build's korvane-cli and korvane-benchgen, or
# ends the script when the build lacks them.
bench_programs() {
    cli="$1/src/cli/korvane-cli"
    gen="$1/bench/korvane-benchgen"
    local tool
    for tool in "$cli" "$gen"; do
        [ -x "$tool" ] || { echo "missing $tool: build with -DKORVANE_BENCH=ON" >&2; exit 1; }
    done
}

# scratch_folder: sets work to a new folder that is removed when the script ends.
scratch_folder() {
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
}
