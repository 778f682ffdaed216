# Shared by scripts/test and scripts/demo: installs missing Debian packages (as root) and knows
# where the source tree is.

KORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# ensure_packages pkg...: installs the packages that are not installed yet; "apt-get update"
# runs at most once per script run, after adding the architectures of packages named with one
# (wine32:i386), and once more only if a later call brings another architecture.
ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}" >&2
    # A package of another architecture (wine32:i386) needs that architecture's package lists:
    # the architecture is added before the update that fetches them.
    local arch
    for arch in $(printf '%s\n' "${missing[@]}" | sed -n 's/^[^:]*://p' | sort -u); do
        if ! { dpkg --print-architecture; dpkg --print-foreign-architectures; } | grep -qx "$arch"
        then
            "${sudo[@]}" dpkg --add-architecture "$arch"
            KORVANE_APT_UPDATED=
        fi
    done
    if [ -z "${KORVANE_APT_UPDATED:-}" ]; then
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
        KORVANE_APT_UPDATED=1
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# The packages to build and run the native tools.
KORVANE_NATIVE_PACKAGES=(cmake make g++ libgtest-dev)

# Everything scripts/test needs on top: the Windows cross build and wine, the GUI test display
# and its tools, the Japanese font, the SVG/PNG tools, locales, benchmarks and fuzzing, and
# Python 3 (its cp932 codec remakes the code page table the tests compare with the committed one).
KORVANE_TEST_PACKAGES=(
    "${KORVANE_NATIVE_PACKAGES[@]}" googletest
    g++-mingw-w64-x86-64-posix wine wine64
    g++-mingw-w64-i686-posix wine32:i386
    xvfb xauth xdotool fonts-ipafont-gothic imagemagick
    libxml2-utils librsvg2-bin locales
    libbenchmark-dev clang-14 libclang-rt-14-dev
    python3
    time
)

# wine_prefix_starts PREFIX PROGRAM: the prefix is there and runs PROGRAM "/c exit 0".
wine_prefix_starts() {
    [ -f "$1/system.reg" ] &&
        WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
            timeout -k 5 120 wine "$2" /c exit 0 >/dev/null 2>&1
}

# wine_prefix_ready BUILD_DIR [PROGRAM]: makes the private wine prefix of a build tree once,
# serially, before tests run in parallel (a fresh prefix takes several seconds), and proves that
# it starts programs: PROGRAM (default the command interpreter) must run. For the 32-bit
# programs it is the 32-bit interpreter, C:\windows\syswow64\cmd.exe: a prefix made before
# 32-bit wine was installed has its system.reg but cannot start them, and is made again.
wine_prefix_ready() {
    local prefix="$1/wineprefix" program=${2:-cmd}
    wine_prefix_starts "$prefix" "$program" && return 0
    echo "Creating wine prefix $prefix" >&2
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
    WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i \
        >/dev/null 2>&1 || true
    WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
    wine_prefix_starts "$prefix" "$program" ||
        { echo "the wine prefix $prefix cannot start $program" >&2; return 1; }
}

# ensure_locale NAME: generates a locale such as de_DE.UTF-8 (from the locales package) unless
# it is there already; the locale tests run the golden runs under it.
ensure_locale() {
    local name=$1
    local normalised
    normalised=$(printf '%s' "$name" | sed 's/UTF-8$/utf8/')
    locale -a 2>/dev/null | grep -qx "$normalised" && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Generating locale $name" >&2
    "${sudo[@]}" localedef -i "${name%%.*}" -f "${name##*.}" "$name"
}
