#!/usr/bin/env bash
# One GUI test of Korvane.exe: wine with a virtual desktop (so the window has its frame and close
# box) in a private Xvfb display, the dialog driven by real key presses and clicks (xdotool) and
# looked at from inside Windows by korvane-probe (focus, message box, window position).
#
#   gui_test.sh SCENARIO
#
# Scenarios: form-tests, enter, cancel-keys, minimise, close-box, too-few-points, refused,
# first-run, cannot-dimension, launcher, out-of-memory, preview, dpi-layout, responsiveness,
# arrangements, end-session, lists, placement, both-directions.
# CTest sets KORVANE_BUILD_DIR, KORVANE_SOURCE_DIR, KORVANE_EXE, KORVANE_CLI, KORVANE_PROBE,
# KORVANE_FORM_TESTS and KORVANE_BENCHGEN. The wine prefix is private to these tests
# (BUILD_DIR/wineprefix-gui, BUILD_DIR/wineprefix-dpi and BUILD_DIR/wineprefix-placement for the
# scenarios that set a DPI, BUILD_DIR/wineprefix-session for the end of a session, which ends
# every process of its prefix) and made once; the tests must run one at a time.
set -uo pipefail

# A step of the harness itself (wine starting, X, a screenshot) that does not finish in time
# ends the attempt with this code; such an attempt is made once more on a fresh display and a
# fresh wine session. Failures of the dialog itself (it does not open, close or answer) are
# never retried, with one exception: the out-of-memory scenario fills the address space of a
# process the system shares with its own libraries, so where memory runs out differs from start
# to start; a dialog that shows no warning there is reported in full and started once more.
readonly stalled=75

# The dialog at 192 DPI is about 1000 pixels tall: that scenario gets a larger screen.
screen=1024x768
case " $* " in *" dpi-layout "*) screen=1600x1200 ;; esac

if [ "${1:-}" != --inside ]; then
    for attempt in 1 2; do
        xvfb-run -a -s "-screen 0 ${screen}x24" bash "$0" --inside "$@"
        status=$?
        [ "$status" -eq "$stalled" ] && [ "$attempt" -eq 1 ] || exit "$status"
        echo "trying the scenario once more, on a fresh display and wine session" >&2
    done
fi
shift
scenario=${1:?scenario}

export WINEPREFIX="$KORVANE_BUILD_DIR/wineprefix-gui"
# A DPI is set for the whole prefix: the scenario that changes it has a prefix of its own.
[ "$scenario" = dpi-layout ] && WINEPREFIX="$KORVANE_BUILD_DIR/wineprefix-dpi"
[ "$scenario" = placement ] && WINEPREFIX="$KORVANE_BUILD_DIR/wineprefix-placement"
# Ending the session ends every process of the prefix: that scenario has a prefix of its own.
[ "$scenario" = end-session ] && WINEPREFIX="$KORVANE_BUILD_DIR/wineprefix-session"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
cases="$KORVANE_SOURCE_DIR/tests/golden/cases"
work=$(mktemp -d)
tool_pid=
step=start
# The test's own report: fd 3 stays the test's standard error inside steps whose output is
# thrown away. Programs the steps start do not get it (bounded closes it for them), so that no
# program of the wine session keeps CTest's output open.
exec 3>&2

cleanup() {
    [ -n "$tool_pid" ] && kill "$tool_pid" 2>/dev/null
    timeout -k 5 30 wineserver -k 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

screenshot() {
    timeout -k 5 20 import -window root "$KORVANE_BUILD_DIR/gui-failure-$scenario.png" \
        2>/dev/null && echo "screen: $KORVANE_BUILD_DIR/gui-failure-$scenario.png" >&3
}

fail() {
    # A probe that stalled inside $(...) could only end its own subshell.
    [ -e "$work/stalled" ] && exit "$stalled"
    report_failure "$*"
    exit 1
}

report_failure() {
    echo "FAIL ($scenario, $step): $1" >&3
    tool_report
    screenshot
}

# What became of Korvane.exe, and what wine said about it, for a failure's report.
tool_report() {
    if [ -n "$tool_pid" ]; then
        if kill -0 "$tool_pid" 2>/dev/null; then
            echo "Korvane.exe still runs" >&3
        else
            wait "$tool_pid"
            echo "Korvane.exe ended with $?" >&3
        fi
    fi
    [ -s "$work/tool.err" ] && { echo "wine said:"; tail -n 20 "$work/tool.err"; } >&3
}

# unsettled MESSAGE: the failure is reported as any other, then the attempt is made once more.
unsettled() {
    report_failure "$*"
    exit "$stalled"
}

stall() {
    echo "STALL ($scenario, $step): $* did not finish in time" >&3
    : >"$work/stalled"
    screenshot
    exit "$stalled"
}

# bounded SECONDS COMMAND...: the command's own exit code, or a stall when it hangs.
bounded() {
    local limit=$1
    shift
    timeout -k 5 "$limit" "$@" 3>&-
    local status=$?
    [ "$status" -eq 124 ] || [ "$status" -eq 137 ] && stall "$*"
    return "$status"
}

# The probe's output goes through a file: a wine process that starts the session can leave
# background programs holding its standard output, and a pipe would then never reach its end.
probe() {
    local status limit=30
    case ${2:-} in
        '' | *[!0-9.]*) ;;
        *) limit=$((${2%.*} + 30)) ;;  # the probe's own wait, and time for wine to start
    esac
    bounded "$limit" wine "$KORVANE_PROBE" "$@" >"$work/probe.out" 2>/dev/null
    status=$?
    tr -d '\r' <"$work/probe.out"
    return "$status"
}

prepare_prefix() {
    [ -f "$WINEPREFIX/.korvane-gui-ready" ] && return 0
    step="preparing the wine prefix"
    rm -rf "$WINEPREFIX"
    bounded 300 wineboot -i >/dev/null 2>&1
    bounded 120 wineserver -w
    probe setup >/dev/null || fail "cannot prepare the wine prefix"
    if [ "$screen" != 1024x768 ]; then
        bounded 60 wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ \
            /d "$screen" /f >/dev/null 2>&1 || fail "cannot size the virtual desktop"
    fi
    bounded 120 wineserver -w
    touch "$WINEPREFIX/.korvane-gui-ready"
}

# copy_case NAME FOLDER: the host's file and the settings of a golden case.
copy_case() {
    mkdir -p "$2"
    cp "$cases/$1/JWC_TEMP.TXT" "$2/"
    [ -f "$cases/$1/Korvane.dat" ] && cp "$cases/$1/Korvane.dat" "$2/"
    return 0
}

case_argument() {
    [ -f "$cases/$1/args" ] && head -n 1 "$cases/$1/args" | tr -d '\r'
}

# run_cli FOLDER [ARG]: korvane-cli on the same files, pressing OK once; echoes its exit code.
run_cli() {
    local folder=$1
    shift
    bounded 120 wine "$KORVANE_CLI" --folder "Z:$folder" --settings "Z:$folder/Korvane.dat" "$@" \
        >/dev/null 2>&1
    echo $?
}

# scatter_case FOLDER...: the benchmarks' scatter of 200,000 points in each folder, with the
# floor plan's settings and the points (CheckBox7) taken.
scatter_case() {
    local folder
    for folder in "$@"; do
        mkdir -p "$folder"
        bounded 120 wine "$KORVANE_BENCHGEN" scatter 200000 "Z:$folder/JWC_TEMP.TXT" \
            >/dev/null 2>&1 || fail "no scatter drawing"
        awk 'NR == 25 { printf "1\r\n"; next } { print }' \
            "$KORVANE_SOURCE_DIR/examples/floor-plan/Korvane.dat" >"$folder/Korvane.dat"
    done
}

# start_tool FOLDER [ARG]: Korvane.exe as the host starts it, from its own folder.
start_tool() {
    local folder=$1
    shift
    step="starting the dialog"
    cp "$KORVANE_EXE" "$folder/Korvane.exe"
    (cd "$folder" && WINEDEBUG=err+all,fixme-all exec wine Korvane.exe "$@") >/dev/null 2>"$work/tool.err" 3>&- &
    tool_pid=$!
    probe wait-window 90 >/dev/null || fail "the dialog did not appear"
    sleep 1
}

# keys KEY...: real key presses, to the window that has the focus.
keys() {
    step="pressing $*"
    # The pointer rests on the desktop, away from the dialog.
    bounded 20 xdotool mousemove 1010 750
    bounded 30 xdotool key --delay 150 "$@"
}

click() {
    step="clicking at $1, $2"
    bounded 20 xdotool mousemove "$1" "$2"
    sleep 0.2
    bounded 20 xdotool click 1
}

# wait_for_ink PIXELS TRIES WHAT: waits, TRIES half seconds at most, until the probe's PIXELS
# (strip-pixels or picture-pixels) count more than 200 inked pixels, in the strip with no
# message over them; fails naming WHAT otherwise.
wait_for_ink() {
    local ink
    step="waiting for the $3"
    for _ in $(seq 1 "$2"); do
        read -r _ _ ink <<<"$(probe "$1")"
        if [ "${ink:-0}" -gt 200 ] &&
            { [ "$1" != strip-pixels ] || [ -z "$(probe strip-text)" ]; }; then
            return 0
        fi
        sleep 0.5
    done
    fail "no $3"
}

# tool_ended TENTHS WHY: Korvane.exe ends within TENTHS tenths of a second, or the test fails.
tool_ended() {
    for _ in $(seq 1 "$1"); do
        kill -0 "$tool_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$tool_pid" 2>/dev/null && fail "$2"
    wait "$tool_pid"
    tool_pid=
}

wait_closed() {
    step="waiting for the dialog to close"
    probe wait-gone 30 >/dev/null || fail "the dialog did not close"
    tool_ended 150 "Korvane.exe did not end"
}

# set_dpi DPI: wine takes the DPI (LogPixels) when its server starts, so the server is ended.
set_dpi() {
    step="setting $1 DPI"
    bounded 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$1" /f >/dev/null 2>&1 || fail "cannot set $1 DPI"
    bounded 60 wineserver -k
    bounded 60 wineserver -w
}

expect_open() {
    probe rect >/dev/null || fail "the dialog closed: $1"
}

same() {
    cmp -s "$1" "$2" || {
        echo "--- $1" >&2
        xxd "$1" | head -n 20 >&2
        echo "--- $2" >&2
        xxd "$2" | head -n 20 >&2
        fail "$3"
    }
}

expect_focus() {
    local focus
    for _ in 1 2 3 4 5; do
        focus=$(probe focus)
        [ "$focus" = "$1" ] && return 0
        sleep 0.5
    done
    fail "focus on '$focus', expected '$1' ($2)"
}

printf 'hq\r\n' >"$work/hq"

prepare_prefix

case "$scenario" in
form-tests)
    step="form tests"
    bounded 240 wine "$KORVANE_FORM_TESTS" --gtest_shuffle >"$work/form.out" 2>&1
    status=$?
    tr -d '\r' <"$work/form.out"
    exit "$status"
    ;;

enter)
    # Enter is OK: the same command file and settings as korvane-cli, Japanese prefix included.
    name=value-options
    arg=$(case_argument $name)
    copy_case $name "$work/gui"
    copy_case $name "$work/cli"
    [ "$(run_cli "$work/cli" $arg)" = 0 ] || fail "korvane-cli did not draw"
    start_tool "$work/gui" $arg
    bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog.png" || fail "no screenshot"
    keys Return
    wait_closed
    same "$work/gui/JWC_TEMP.TXT" "$work/cli/JWC_TEMP.TXT" "command file differs from korvane-cli"
    same "$work/gui/Korvane.dat" "$work/cli/Korvane.dat" "settings differ from korvane-cli"
    cmp -s "$work/gui/JWC_TEMP.TXT" "$work/hq" && fail "nothing was drawn"
    ;;

cancel-keys)
    # Esc, Alt+F4 and Alt+N close without drawing and without saving.
    for key in Escape alt+F4 alt+n; do
        folder="$work/$key"
        copy_case value-options "$folder"
        start_tool "$folder" 1
        keys "$key"
        echo "pressed $key"
        wait_closed
        same "$folder/JWC_TEMP.TXT" "$work/hq" "$key did not write hq"
        same "$folder/Korvane.dat" "$cases/value-options/Korvane.dat" "$key saved the settings"
    done
    ;;

minimise)
    # The task-bar button carries the application title; minimising and restoring through it
    # brings the dialog back with the keyboard working.
    # The larger picture window goes and comes back with the dialog.
    copy_case value-options "$work/gui"
    start_tool "$work/gui" 1
    probe application >/dev/null || fail "application window: $(probe application)"
    read -r x y <<<"$(probe client-origin)"
    click $((x + 200)) $((y + 416 + 20))  # the strip
    probe picture-window 10 >/dev/null || fail "no larger window after the click"
    probe minimise >/dev/null || fail "the dialog did not minimise"
    sleep 0.5
    probe picture-window 0 >/dev/null && fail "the larger window stayed with the dialog minimised"
    probe restore >/dev/null || fail "the dialog did not come back"
    probe picture-window 5 >/dev/null || fail "the larger window did not come back"
    # F2 brings it forward and makes it the active window (wine may have raised the dialog,
    # which it overlaps on this screen, above it).
    keys F2
    keys Escape  # the larger window, active, closes alone
    sleep 0.5
    probe picture-window 0 >/dev/null && fail "Esc did not close the larger window"
    expect_open "Esc in the larger window"
    keys Escape
    wait_closed
    same "$work/gui/JWC_TEMP.TXT" "$work/hq" "Esc after restoring did not write hq"
    ;;

close-box)
    copy_case value-options "$work/gui"
    start_tool "$work/gui" 1
    box=$(probe close-box) || fail "no close box"
    click $box
    wait_closed
    same "$work/gui/JWC_TEMP.TXT" "$work/hq" "the close box did not write hq"
    same "$work/gui/Korvane.dat" "$cases/value-options/Korvane.dat" "closing saved the settings"
    ;;

too-few-points)
    # The question box, the dialog stays; Esc afterwards writes hq, the settings stay saved.
    name=too-few-points
    arg=$(case_argument $name)
    copy_case $name "$work/gui"
    copy_case $name "$work/cli"
    [ "$(run_cli "$work/cli" $arg)" = 3 ] || fail "korvane-cli did not count too few points"
    start_tool "$work/gui" $arg
    keys Return
    report=$(probe message-box 20 too-few-points) || fail "message box: $report"
    echo "$report"
    bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-message.png"
    expect_open "after the message box appeared"
    keys Return
    for _ in 1 2 3 4 5 6; do probe no-message-box >/dev/null && break; sleep 0.5; done
    probe no-message-box >/dev/null || fail "the message box did not close"
    expect_open "after the message box was closed"
    keys Escape
    wait_closed
    same "$work/gui/JWC_TEMP.TXT" "$work/hq" "Esc after the message did not write hq"
    same "$work/gui/Korvane.dat" "$work/cli/Korvane.dat" \
        "settings not saved as korvane-cli saves them"
    ;;

refused)
    # An invalid line-arrow length: Alt+Y leaves the dialog open with the focus on Edit7.
    name=refused-edit7
    arg=$(case_argument $name)
    copy_case $name "$work/gui"
    start_tool "$work/gui" $arg
    keys alt+y
    sleep 1
    expect_open "after the refused OK"
    expect_focus "Edit 48 64" "Edit7 holds the invalid value"
    same "$work/gui/JWC_TEMP.TXT" "$cases/$name/JWC_TEMP.TXT" "the exchange file changed"
    same "$work/gui/Korvane.dat" "$cases/$name/Korvane.dat" "the settings changed"
    keys Escape
    wait_closed
    same "$work/gui/JWC_TEMP.TXT" "$work/hq" "Esc did not write hq"
    same "$work/gui/Korvane.dat" "$cases/$name/Korvane.dat" "Esc saved the settings"
    ;;

first-run)
    # No settings file: the window at (100, 100), the strip asks for a text kind, and OK stops
    # on ComboBox3 with LabelA1 blank. In a range selection, once a kind is chosen, the strip
    # asks for a kind of point to take.
    expect_strip() {  # expect_strip TEXT WHAT
        step="waiting for the strip to say $2"
        for _ in $(seq 1 20); do [ "$(probe strip-text)" = "$1" ] && return 0; sleep 0.25; done
        fail "strip says '$(probe strip-text)' ($2)"
    }
    name=first-run-no-settings
    arg=$(case_argument $name)
    copy_case $name "$work/gui"
    start_tool "$work/gui" $arg
    read -r left top _ _ width height <<<"$(probe rect)"
    [ "$left $top" = "100 100" ] || fail "window at $left, $top"
    [ "$width $height" = "492 544" ] || fail "client area $width x $height"
    # 「寸法値の文字種」を選んでください。
    choose=$(printf '\xe3\x80\x8c\xe5\xaf\xb8\xe6\xb3\x95\xe5\x80\xa4\xe3\x81\xae\xe6\x96\x87')
    choose+=$(printf '\xe5\xad\x97\xe7\xa8\xae\xe3\x80\x8d\xe3\x82\x92\xe9\x81\xb8\xe3\x82\x93')
    choose+=$(printf '\xe3\x81\xa7\xe3\x81\x8f\xe3\x81\xa0\xe3\x81\x95\xe3\x81\x84\xe3\x80\x82')
    expect_strip "$choose" "choose a text kind"
    bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-first-run.png"
    keys Return
    sleep 1
    expect_open "OK without a text kind"
    expect_focus "ComboBox 136 28" "no text kind chosen"
    blank=$(printf '\xe3\x80\x80')  # 　, LabelA1 at rest
    [ "$(probe status-text)" = "$blank" ] || fail "LabelA1 says '$(probe status-text)'"
    [ -e "$work/gui/Korvane.dat" ] && fail "a refused OK saved the settings"
    keys Escape
    wait_closed
    same "$work/gui/JWC_TEMP.TXT" "$work/hq" "Esc did not write hq"
    [ -e "$work/gui/Korvane.dat" ] && fail "Cancel saved the settings"

    copy_case $name "$work/range"
    start_tool "$work/range" 2
    click $(( $(probe client-origin | cut -d' ' -f1) + 136 + 20 )) \
        $(( $(probe client-origin | cut -d' ' -f2) + 28 + 10 ))  # ComboBox3
    keys Down Return
    # 「範囲選択時の取得する点」を１つ以上選んでください。
    kinds=$(printf '\xe3\x80\x8c\xe7\xaf\x84\xe5\x9b\xb2\xe9\x81\xb8\xe6\x8a\x9e\xe6\x99\x82')
    kinds+=$(printf '\xe3\x81\xae\xe5\x8f\x96\xe5\xbe\x97\xe3\x81\x99\xe3\x82\x8b\xe7\x82\xb9')
    kinds+=$(printf '\xe3\x80\x8d\xe3\x82\x92\xef\xbc\x91\xe3\x81\xa4\xe4\xbb\xa5\xe4\xb8\x8a')
    kinds+=$(printf '\xe9\x81\xb8\xe3\x82\x93\xe3\x81\xa7\xe3\x81\x8f\xe3\x81\xa0\xe3\x81\x95')
    kinds+=$(printf '\xe3\x81\x84\xe3\x80\x82')
    expect_strip "$kinds" "choose a kind of point"
    bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-first-run-points.png"
    keys Escape
    wait_closed
    same "$work/range/JWC_TEMP.TXT" "$work/hq" "Esc did not write hq"
    ;;

cannot-dimension)
    # A point on a layer group of scale 0: the warning, then the user unticks the points and a
    # second OK writes what a run that never had the warning writes.
    mkdir -p "$work/gui" "$work/cli"
    printf '%s\r\n' "hk 0" "hs 1 1 0 1 1 1 1 1 1 1 1 1 1 1 1 1" lg0 ly0 lc1 lt1 lw0 cn1 \
        "hp1 0 100" "#" "0 0 0 50" "100 0 100 50" lg2 "pt 50 0" >"$work/gui/JWC_TEMP.TXT"
    cp "$work/gui/JWC_TEMP.TXT" "$work/cli/"
    settings() {  # the CheckBox7 line (points and point markers) as $1
        printf '%s\r\n' 100 100 0 0 0 3 2 1 "" "" 0.5 2 2 3 15 0 0 0 0 0 0 0 1 0 "$1" 0 0
    }
    settings 1 >"$work/gui/Korvane.dat"
    settings 0 >"$work/cli/Korvane.dat"
    [ "$(run_cli "$work/cli")" = 0 ] || fail "korvane-cli did not draw without the points"
    start_tool "$work/gui"
    keys Return
    report=$(probe message-box 20 cannot-dimension) || fail "message box: $report"
    echo "$report"
    keys Return
    for _ in 1 2 3 4 5 6; do probe no-message-box >/dev/null && break; sleep 0.5; done
    expect_open "after the warning"
    read -r x y <<<"$(probe client-origin)"
    # CheckBox7 lies at (8, 48) inside GroupBox1 at (160, 328).
    click $((x + 160 + 8 + 8)) $((y + 328 + 48 + 8))
    sleep 0.5
    keys Return
    wait_closed
    same "$work/gui/JWC_TEMP.TXT" "$work/cli/JWC_TEMP.TXT" "second OK differs from a clean run"
    same "$work/gui/Korvane.dat" "$work/cli/Korvane.dat" "settings differ from a clean run"
    ;;

launcher)
    # As the host starts the tool: cmd runs the launcher with the chosen menu item's number in
    # the tool's own folder, named with Japanese characters and a blank. Enter then draws what
    # korvane-cli draws for the arguments the item stands for.
    tool="$work/$(printf '\xe3\x83\x84\xe3\x83\xbc\xe3\x83\xab \xe3\x83\x95\xe3\x82\xa9\xe3\x83\xab\xe3\x83\x80')"
    mkdir -p "$tool"
    cp "$KORVANE_SOURCE_DIR/packaging/Korvane.BAT" "$KORVANE_EXE" "$tool/"
    [ -f "$tool/Korvane.exe" ] || mv "$tool/$(basename "$KORVANE_EXE")" "$tool/Korvane.exe"
    # The floor plan with points indicated on a diagonal, so that every item finds a run.
    drawing() {
        cat "$KORVANE_SOURCE_DIR/examples/floor-plan/JWC_TEMP.TXT"
        printf '%s\r\n' "hp2 0 0" "hp3 3600 2700" "hp4 7200 5400"
    }
    for item in 1 2 3 4 5; do
        case $item in
            1) args=(1) ;;
            2) args=(2) ;;
            3) args=(1 V) ;;
            4) args=(2 V) ;;
            5) args=(2 HV) ;;
        esac
        mkdir -p "$work/cli-$item"
        for folder in "$tool" "$work/cli-$item"; do
            drawing >"$folder/JWC_TEMP.TXT"
            cp "$KORVANE_SOURCE_DIR/examples/floor-plan/Korvane.dat" "$folder/"
        done
        [ "$(run_cli "$work/cli-$item" "${args[@]}")" = 0 ] || fail "korvane-cli ${args[*]} did not draw"
        step="launcher item $item"
        (cd "$tool" && exec wine cmd /c Korvane.BAT $item) >/dev/null 2>&1 3>&- &
        tool_pid=$!
        probe wait-window 90 >/dev/null || fail "the dialog did not appear"
        sleep 1
        title=$(probe title)
        expected=Korvane
        [ $item -ge 3 ] && expected=$(printf 'Korvane\xef\xbc\x88\xe5\x9e\x82\xe7\x9b\xb4\xef\xbc\x89')
        [ $item -eq 5 ] && expected=$(printf 'Korvane\xef\xbc\x88\xe7\xb8\xa6\xe6\xa8\xaa\xef\xbc\x89')
        [ "$title" = "$expected" ] || fail "item $item: title '$title'"
        keys Return
        wait_closed
        same "$tool/JWC_TEMP.TXT" "$work/cli-$item/JWC_TEMP.TXT" "item $item differs from korvane-cli ${args[*]}"
        same "$tool/Korvane.dat" "$work/cli-$item/Korvane.dat" "item $item saved other settings"
        echo "item $item: as korvane-cli ${args[*]}"
    done
    ;;

out-of-memory)
    # A drawing the program cannot hold (a sparse file of 3 GiB without a line end): korvane-cli
    # ends with 6 and "hq"; the dialog shows the warning before it shows itself, then "hq". The
    # settings stay as they were.
    for folder in "$work/cli" "$work/gui"; do
        mkdir -p "$folder"
        truncate -s 3G "$folder/JWC_TEMP.TXT"
        cp "$cases/value-options/Korvane.dat" "$folder/"
    done
    step="korvane-cli on the endless line"
    [ "$(run_cli "$work/cli" 2)" = 6 ] || fail "korvane-cli did not end with 6"
    same "$work/cli/JWC_TEMP.TXT" "$work/hq" "korvane-cli did not write hq"
    same "$work/cli/Korvane.dat" "$cases/value-options/Korvane.dat" "korvane-cli changed the settings"
    step="the dialog on the endless line"
    cp "$KORVANE_EXE" "$work/gui/Korvane.exe"
    (cd "$work/gui" && WINEDEBUG=err+all,fixme-all exec wine Korvane.exe 2) >/dev/null 2>"$work/tool.err" 3>&- &
    tool_pid=$!
    report=$(probe message-box 90 out-of-memory) || unsettled "message box: $report"
    echo "$report"
    probe dialog-hidden >/dev/null || fail "the dialog showed before the warning"
    bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-out-of-memory.png"
    keys Return
    wait_closed
    same "$work/gui/JWC_TEMP.TXT" "$work/hq" "the dialog did not write hq"
    same "$work/gui/Korvane.dat" "$cases/value-options/Korvane.dat" "the dialog changed the settings"
    ;;

preview)
    # The picture of the run in the strip below the controls: the bundled examples as the dialog
    # shows them, a key press that changes it, an invalid value's message that leaves the focus
    # where the user types, a click that opens the larger window, which follows a change, and
    # OK after all that writing what korvane-cli writes.
    wait_for_picture() { wait_for_ink strip-pixels 60 "picture in the strip ($1)"; }
    wait_for_change() {  # wait_for_change COMMAND BEFORE WHAT
        step="waiting for the picture to change ($3)"
        for _ in $(seq 1 40); do
            [ "$(probe "$1")" != "$2" ] && return 0
            sleep 0.25
        done
        fail "the picture did not change: $3"
    }
    for example in floor-plan narrow-staggered rotated-axis dimension-figures vertical-run \
        japanese-texts; do
        mkdir -p "$work/$example"
        cp "$KORVANE_SOURCE_DIR/examples/$example/JWC_TEMP.TXT" \
            "$KORVANE_SOURCE_DIR/examples/$example/Korvane.dat" "$work/$example/"
        args=()
        [ -f "$KORVANE_SOURCE_DIR/examples/$example/args" ] &&
            mapfile -t args < <(tr -d '\r' <"$KORVANE_SOURCE_DIR/examples/$example/args")
        start_tool "$work/$example" "${args[@]}"
        wait_for_picture "$example"
        sleep 0.5
        bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-preview-$example.png"
        if [ "$example" = japanese-texts ]; then
            # Kanji, circled digits and the NEC and IBM rows also in the larger window.
            read -r x y <<<"$(probe client-origin)"
            click $((x + 200)) $((y + 416 + 20))  # the strip
            probe picture-window 10 >/dev/null || fail "no larger window ($example)"
            sleep 1
            bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-preview-window-$example.png"
            keys Escape
            sleep 1
            probe picture-window 0 >/dev/null && fail "Esc did not close the larger window"
        fi
        keys Escape
        wait_closed
        same "$work/$example/JWC_TEMP.TXT" "$work/hq" "$example: Esc after the picture did not write hq"
    done

    # A selection of 100,000 points: typing stays fluid while the pictures are made, and one
    # arrives.
    mkdir -p "$work/large"
    awk 'BEGIN { printf "hs 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\nhp1 0 1000\r\n#\r\n";
                 for (i = 0; i < 100000; i++) printf "pt %d %d\r\n", i * 37, (i * 7919) % 500 }' \
        >"$work/large/JWC_TEMP.TXT"
    awk 'NR == 25 { printf "1\r\n"; next } { print }' \
        "$KORVANE_SOURCE_DIR/examples/floor-plan/Korvane.dat" >"$work/large/Korvane.dat"
    start_tool "$work/large" 2
    ( sleep 1; for _ in 1 2 3 4; do
          xdotool key --delay 150 Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab 1 2 3
          sleep 0.5
      done ) >/dev/null 2>&1 3>&- &
    typing=$!
    step="typing over a large selection"
    answered=$(probe answers 10) || fail "the dialog did not answer while typing"
    wait "$typing"
    echo "large selection, while typing: $answered"
    read -r _ longest _ <<<"$answered"
    [ "$longest" -lt 500 ] || fail "the dialog kept a message waiting $longest ms while typing"
    wait_for_picture "large selection"
    keys Escape
    wait_closed

    # The floor plan with its zeros after the decimal point shown, so that the precision shows.
    for folder in "$work/gui" "$work/cli"; do
        mkdir -p "$folder"
        cp "$KORVANE_SOURCE_DIR/examples/floor-plan/JWC_TEMP.TXT" "$folder/"
        awk 'NR == 16 { printf "1\r\n"; next } { print }' \
            "$KORVANE_SOURCE_DIR/examples/floor-plan/Korvane.dat" >"$folder/Korvane.dat"
    done
    start_tool "$work/gui"
    wait_for_picture "floor plan, zeros shown"
    before=$(probe strip-pixels)
    keys Down  # the start marker: the focus starts on ComboBox1
    wait_for_change strip-pixels "$before" "start marker"
    before=$(probe strip-pixels)
    keys Tab Tab Tab Tab Tab Tab Tab Tab Up  # ComboBox4: precision 0.01
    wait_for_change strip-pixels "$before" "precision"
    before=$(probe strip-pixels)
    # Edit4, its text selected: the value's distance 5 (past ComboBox5, the radio groups,
    # ComboBox6 and the check boxes)
    keys Tab Tab Tab Tab Tab Tab Tab Tab Tab 5
    wait_for_change strip-pixels "$before" "distance"
    read -r x y <<<"$(probe client-origin)"
    click $((x + 48 + 16)) $((y + 64 + 10))  # into Edit7
    keys End BackSpace BackSpace BackSpace 0
    # 「長さ」は 0 より大きく 1000 以下の数値で入力してください。
    message=$(printf '\xe3\x80\x8c\xe9\x95\xb7\xe3\x81\x95\xe3\x80\x8d\xe3\x81\xaf\x20\x30\x20')
    message+=$(printf '\xe3\x82\x88\xe3\x82\x8a\xe5\xa4\xa7\xe3\x81\x8d\xe3\x81\x8f\x20\x31\x30')
    message+=$(printf '\x30\x30\x20\xe4\xbb\xa5\xe4\xb8\x8b\xe3\x81\xae\xe6\x95\xb0\xe5\x80\xa4')
    message+=$(printf '\xe3\x81\xa7\xe5\x85\xa5\xe5\x8a\x9b\xe3\x81\x97\xe3\x81\xa6\xe3\x81\x8f')
    message+=$(printf '\xe3\x81\xa0\xe3\x81\x95\xe3\x81\x84\xe3\x80\x82')
    step="waiting for the message of Edit7"
    for _ in $(seq 1 20); do [ "$(probe strip-text)" = "$message" ] && break; sleep 0.25; done
    [ "$(probe strip-text)" = "$message" ] || fail "strip says '$(probe strip-text)'"
    probe no-message-box >/dev/null || fail "a message box opened"
    expect_focus "Edit 48 64" "typing in Edit7"
    bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-preview-invalid.png"
    keys BackSpace 4
    wait_for_picture "Edit7 valid again"

    click $((x + 200)) $((y + 416 + 20))  # the strip
    title=$(probe picture-window 10) || fail "no larger window after the click"
    [ "$title" = "Korvane $(printf '\xe3\x83\x97\xe3\x83\xac\xe3\x83\x93\xe3\x83\xa5\xe3\x83\xbc')" ] ||
        fail "larger window titled '$title'"
    sleep 1
    bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-preview-window.png"
    before=$(probe picture-pixels)
    # Back to the dialog, the window staying open: on a screen 1024 pixels wide it lies over the
    # upper controls, so the click goes to LabelA1 below them, and the focus returns to Edit7.
    click $((x + 100)) $((y + 404))
    expect_focus "Edit 48 64" "back in the dialog"
    keys BackSpace 6
    wait_for_change picture-pixels "$before" "the larger window follows Edit7"
    # F2 brings the larger window forward, active (the click on LabelA1 may have raised the
    # dialog over it): Esc closes it alone.
    keys F2
    keys Escape
    sleep 1
    probe picture-window 0 >/dev/null && fail "Esc did not close the larger window"
    expect_open "Esc in the larger window"

    [ "$(run_cli "$work/cli" --set ComboBox1=1 --set ComboBox4=2 --set Edit4=5 --set Edit7=6)" = 0 ] ||
        fail "korvane-cli did not draw"
    keys Return
    wait_closed
    same "$work/gui/JWC_TEMP.TXT" "$work/cli/JWC_TEMP.TXT" "OK after the pictures differs from korvane-cli"
    same "$work/gui/Korvane.dat" "$work/cli/Korvane.dat" "the settings differ from korvane-cli's"
    ;;

responsiveness)
    # The benchmarks' scatter of 200,000 points (300,000 intervals with their rows): the dialog
    # answers another program within 100 ms, every time, while the picture is made with the
    # larger window open and while OK runs. The strip says 作成中… while the picture is late;
    # OK shows its progress texts and writes what korvane-cli writes.
    scatter_case "$work/gui" "$work/cli"
    [ "$(run_cli "$work/cli" 2)" = 0 ] || fail "korvane-cli did not draw the scatter"
    start_tool "$work/gui" 2
    keys F2  # the larger window, while the first picture is being made
    probe picture-window 10 >/dev/null || fail "F2 did not open the larger window"
    step="the strip while the picture is late"
    busy=$(printf '\xe4\xbd\x9c\xe6\x88\x90\xe4\xb8\xad\xe2\x80\xa6')
    for _ in $(seq 1 20); do [ "$(probe strip-text)" = "$busy" ] && break; sleep 0.2; done
    [ "$(probe strip-text)" = "$busy" ] || fail "strip says '$(probe strip-text)', not 作成中…"
    # (The larger window says 作成中… too: see the screenshot.)
    bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-busy.png"
    step="probing while the picture is made"
    answered=$(probe answers 4) || fail "the dialog did not answer while the picture was made"
    echo "while the picture is made (larger window open): $answered"
    read -r _ longest _ _ _ late _ <<<"$answered"
    [ "$late" = 0 ] || fail "the dialog answered late while the picture was made: $answered"
    wait_for_ink strip-pixels 120 "picture of the scatter"
    # The larger window's image is painted on the picture's thread after the strip's: it may
    # follow a moment later.
    wait_for_ink picture-pixels 60 "picture of the scatter in the larger window"
    bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-scatter.png"
    read -r x y <<<"$(probe client-origin)"
    # Back to the dialog, on LabelA1: the larger window lies over the upper controls.
    click $((x + 100)) $((y + 404))
    expect_focus "ComboBox 48 4" "back in the dialog"
    step="OK on the scatter"
    bounded 20 xdotool key Return
    answered=$(probe answers 3) || fail "the dialog did not answer during OK"
    echo "during OK: $answered"
    read -r _ longest _ probes _ late _ <<<"$answered"
    [ "$late" = 0 ] || fail "the dialog answered late during OK: $answered"
    wait_closed
    same "$work/gui/JWC_TEMP.TXT" "$work/cli/JWC_TEMP.TXT" \
        "OK on the scatter differs from korvane-cli"
    same "$work/gui/Korvane.dat" "$work/cli/Korvane.dat" "the settings differ from korvane-cli's"
    ;;

dpi-layout)
    # The dialog at 96, 120, 144 and 192 DPI, on a screen tall enough for it at each. At each DPI:
    # the form's layout check (every control inside its group and the window, none on another,
    # no caption cut off) and its layout again after a change of DPI, then the program itself on
    # the floor plan, looked at in a screenshot.
    for dpi in 96 120 144 192; do
        set_dpi "$dpi"
        step="layout check at $dpi DPI"
        KORVANE_EXPECT_DPI=$dpi bounded 240 wine "$KORVANE_FORM_TESTS" \
            --gtest_filter='Form1.LayoutAtTheScreensDpi*:Form1.DpiChange*' >"$work/form.out" 2>&1
        status=$?
        tr -d '\r' <"$work/form.out" |
            grep -E '^\[ +(OK|FAILED) +\]|Failure|overlap|cut off|Which is'
        [ "$status" -eq 0 ] || fail "the layout at $dpi DPI"
        folder="$work/dpi-$dpi"
        mkdir -p "$folder"
        cp "$KORVANE_SOURCE_DIR/examples/floor-plan/JWC_TEMP.TXT" \
            "$KORVANE_SOURCE_DIR/examples/floor-plan/Korvane.dat" "$folder/"
        start_tool "$folder"
        read -r _ _ _ _ width height <<<"$(probe rect)"
        echo "$dpi DPI: client area $width x $height"
        [ "$width x $height" = "$(( (492 * dpi + 48) / 96 )) x $(( (544 * dpi + 48) / 96 ))" ] ||
            fail "client area $width x $height at $dpi DPI"
        sleep 2  # the picture of the run
        bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-dpi-$dpi.png" ||
            fail "no screenshot"
        keys Escape
        wait_closed
        same "$folder/JWC_TEMP.TXT" "$work/hq" "Esc at $dpi DPI did not write hq"
    done
    ;;

arrangements)
    # Each arrangement but the chain (line 28 of the settings) on the floor plan: its picture in
    # the strip and in the larger window, then OK writing what korvane-cli writes.
    for item in 1 2 3; do
        for side in gui cli; do
            mkdir -p "$work/$item-$side"
            cp "$KORVANE_SOURCE_DIR/examples/floor-plan/JWC_TEMP.TXT" "$work/$item-$side/"
            { cat "$KORVANE_SOURCE_DIR/examples/floor-plan/Korvane.dat"; printf '%s\r\n' "$item"; } \
                >"$work/$item-$side/Korvane.dat"
        done
        start_tool "$work/$item-gui"
        wait_for_ink strip-pixels 60 "picture of arrangement $item in the strip"
        bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-arrangement-$item.png"
        read -r x y <<<"$(probe client-origin)"
        click $((x + 200)) $((y + 416 + 20))  # the strip
        probe picture-window 10 >/dev/null || fail "no larger window of arrangement $item"
        sleep 1
        bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-arrangement-$item-window.png"
        read -r wx wy _ <<<"$(probe picture-window-rect)"
        click $((wx + 300)) $((wy + 150))
        keys Escape
        sleep 1
        [ "$(run_cli "$work/$item-cli")" = 0 ] || fail "korvane-cli did not draw arrangement $item"
        click $((x + 440)) $((y + 270))  # OK
        wait_closed
        same "$work/$item-gui/JWC_TEMP.TXT" "$work/$item-cli/JWC_TEMP.TXT" \
            "arrangement $item: OK differs from korvane-cli"
        same "$work/$item-gui/Korvane.dat" "$work/$item-cli/Korvane.dat" \
            "arrangement $item: the settings differ from korvane-cli's"
    done
    ;;

both-directions)
    # Both runs from one range selection ("2 HV") on the corner example: the strip shows each
    # direction in its own part, and OK writes what korvane-cli writes.
    for side in gui cli; do
        mkdir -p "$work/$side"
        cp "$KORVANE_SOURCE_DIR/examples/floor-plan-corner/JWC_TEMP.TXT" \
            "$KORVANE_SOURCE_DIR/examples/floor-plan-corner/Korvane.dat" "$work/$side/"
    done
    start_tool "$work/gui" 2 HV
    wait_for_ink strip-pixels 60 "picture of both runs in the strip"
    divider=$(probe strip-divider)
    echo "the strip's two parts: split at $divider"
    case $divider in column* | row*) ;; *) fail "the strip does not show the two runs apart" ;; esac
    bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-both-directions.png"
    [ "$(run_cli "$work/cli" 2 HV)" = 0 ] || fail "korvane-cli did not draw both runs"
    keys Return
    wait_closed
    same "$work/gui/JWC_TEMP.TXT" "$work/cli/JWC_TEMP.TXT" "both runs: OK differs from korvane-cli"
    same "$work/gui/Korvane.dat" "$work/cli/Korvane.dat" \
        "both runs: the settings differ from korvane-cli's"
    ;;

end-session)
    # The user logs off with the dialog open. wineboot -e delivers WM_QUERYENDSESSION and
    # WM_ENDSESSION, after which the process ends without leaving its message loop: the dialog
    # closes the run in the handler. Idle, it writes "hq"; while OK runs on the benchmarks'
    # scatter of 200,000 points, it waits for OK and writes what korvane-cli writes.
    end_session() {  # end_session WHAT: the session ends, and Korvane.exe with it
        step="ending the session ($1)"
        bounded 300 wineboot -e >/dev/null 2>&1
        tool_ended 300 "Korvane.exe did not end with the session ($1)"
    }
    copy_case value-options "$work/idle"
    start_tool "$work/idle" 1
    end_session "idle"
    same "$work/idle/JWC_TEMP.TXT" "$work/hq" "the end of the session did not write hq"
    same "$work/idle/Korvane.dat" "$cases/value-options/Korvane.dat" "the settings changed"

    scatter_case "$work/gui" "$work/cli"
    [ "$(run_cli "$work/cli" 2)" = 0 ] || fail "korvane-cli did not draw the scatter"
    start_tool "$work/gui" 2
    keys Return
    step="waiting for OK to run"
    blank=$(printf '\xe3\x80\x80')
    for _ in $(seq 1 50); do [ "$(probe status-text)" != "$blank" ] && break; sleep 0.1; done
    status=$(probe status-text)
    [ "$status" != "$blank" ] || fail "OK did not start"
    echo "LabelA1 when the session ends: $status"
    end_session "during OK"
    same "$work/gui/JWC_TEMP.TXT" "$work/cli/JWC_TEMP.TXT" \
        "the end of the session during OK did not write OK's run"
    ;;

lists)
    # Each of the six drop-down lists driven as a user drives it: F4, Alt+Down, the arrows in the
    # open list, Esc, Enter, the arrows on the closed list and the mouse, once with the pointer
    # resting over the place where the list opens and once elsewhere. After each, what the list
    # shows, the strip's picture and the greying agree (the picture of each item is recorded
    # first, chosen as the arrow keys on the closed list choose it); a close without a choice
    # keeps the value the list had; at the end of each round OK writes what korvane-cli writes
    # with the list's shown item set.
    control_state() {  # control_state NAME: sets sel, enabled, dropped, cx cy cb (centre, bottom), ih
        local r
        r=$(probe control "$1") || fail "no control $1"
        read -r _ sel _ enabled _ dropped _ left top right bottom _ ih <<<"$r"
        cx=$(((left + right) / 2))
        cy=$(((top + bottom) / 2))
        cb=$bottom
    }
    strip_settled() {  # the strip's hash, once the picture has stopped changing
        local settled
        sleep 0.5
        settled=$(probe strip-settled 20) || return 1
        echo "${settled%% *}"
    }
    focus_list() {  # focus_list NAME "LEFT TOP": the keyboard focus on the list (a click opens
        # it, Esc closes it again without a choice)
        control_state "$1"
        click "$cx" "$cy"
        sleep 0.5
        bounded 20 xdotool key Escape
        sleep 0.3
        [ "$(probe focus)" = "ComboBox $2" ] || fail "the focus is not on $1: $(probe focus)"
    }
    rest() {  # rest over|elsewhere: where the pointer rests while keys are pressed
        if [ "$1" = over ]; then
            bounded 20 xdotool mousemove "$cx" $((cb + ih * 2 + ih / 2))
        else
            bounded 20 xdotool mousemove 1010 750
        fi
        sleep 0.2
    }
    agree() {  # agree NAME WHAT [EXPECTED]: the list, the picture and the greying say the same
        local name=$1 what=$2 expected=${3:-} hash arrangement
        step="$name, $pointer: $what"
        # The list, the arrangement and the two controls it greys, in one look.
        local looked=("$name" ComboBox6 ComboBox1 CheckBox4) states shown greyed enabled
        states=$(probe control "${looked[@]}") || fail "no state of the controls: $states"
        mapfile -t states <<<"$states"
        read -r _ shown _ _ _ dropped _ <<<"${states[0]}"
        [ "$dropped" = 0 ] || fail "the list is still open"
        [ -z "$expected" ] || [ "$shown" = "$expected" ] ||
            fail "the list shows item $shown, expected $expected"
        read -r _ arrangement _ <<<"${states[1]}"
        for greyed in 2 3; do
            read -r _ _ _ enabled _ <<<"${states[$greyed]}"
            if [ "$arrangement" = 3 ]; then
                [ "$enabled" = 0 ] || fail "${looked[$greyed]} is not greyed under 累進"
            else
                [ "$enabled" = 1 ] || fail "${looked[$greyed]} is greyed (arrangement $arrangement)"
            fi
        done
        hash=$(strip_settled) || fail "the strip's picture did not settle"
        [ "$hash" = "${reference[$shown]:-none}" ] ||
            fail "the list shows item $shown, the strip shows another picture"
        echo "$name, $pointer: $what: item $shown, strip and greying agree"
        selection=$shown
    }
    names=(${KORVANE_LISTS:-ComboBox1 ComboBox2 ComboBox3 ComboBox4 ComboBox5 ComboBox6})
    tops=(4 28 28 136 160 200)  # their tops in the 96-DPI design: how the focus probe names them
    lefts=(48 48 136 200 200 312)
    all=(ComboBox1 ComboBox2 ComboBox3 ComboBox4 ComboBox5 ComboBox6)
    for name in "${names[@]}"; do
        for i in "${!all[@]}"; do [ "${all[$i]}" = "$name" ] && break; done
        declare -A reference=()
        for pointer in over elsewhere; do
            folder="$work/$name-$pointer"
            mkdir -p "$folder"
            cp "$KORVANE_SOURCE_DIR/examples/floor-plan/JWC_TEMP.TXT" \
                "$KORVANE_SOURCE_DIR/examples/floor-plan/Korvane.dat" "$folder/"
            start_tool "$folder"
            control_state "$name"
            start=$sel
            case $name in
            ComboBox3) count=11 ;;  # the host's text kinds
            ComboBox4) count=9 ;;
            ComboBox5) count=3 ;;
            ComboBox6) count=4 ;;
            *) count=12 ;;          # the end markers
            esac
            if [ ${#reference[@]} -eq 0 ]; then
                step="recording the pictures of $name"
                for item in $(seq 0 $((count - 1))); do
                    probe choose "$name" "$item" >/dev/null || fail "cannot choose item $item"
                    reference[$item]=$(strip_settled) || fail "no picture of item $item"
                done
                probe choose "$name" "$start" >/dev/null
                strip_settled >/dev/null
            fi
            focus_list "$name" "${lefts[$i]} ${tops[$i]}"
            control_state "$name"
            selection=$sel
            rest "$pointer"; bounded 20 xdotool key F4; sleep 0.5; bounded 20 xdotool key Escape
            agree "$name" "F4, Esc" "$selection"
            rest "$pointer"; bounded 20 xdotool key alt+Down; sleep 0.5
            bounded 20 xdotool key Down; sleep 0.2; bounded 20 xdotool key Escape
            agree "$name" "Alt+Down, Down, Esc" "$selection"
            rest "$pointer"; bounded 20 xdotool key F4; sleep 0.5
            bounded 20 xdotool key Down; sleep 0.2; bounded 20 xdotool key Return
            agree "$name" "F4, Down, Enter"
            rest "$pointer"; bounded 20 xdotool key alt+Down; sleep 0.5
            bounded 20 xdotool key Up; sleep 0.2; bounded 20 xdotool key Return
            agree "$name" "Alt+Down, Up, Enter"
            rest "$pointer"; bounded 20 xdotool key Up
            agree "$name" "Up on the closed list"
            # The mouse: open the list with a click, click an item; open it, click elsewhere.
            control_state "$name"
            target=$(((selection + 2) % count))
            click "$cx" "$cy"; sleep 0.5
            item=$(probe list-item "$target") || fail "the list did not open on a click"
            read -r ix iy <<<"$item"
            click "$ix" "$iy"
            agree "$name" "a click on item $target" "$target"
            control_state "$name"
            click "$cx" "$cy"; sleep 0.5
            read -r ox oy <<<"$(probe client-origin)"
            click $((ox + 12)) $((oy + 12))  # on the label 始点: no choice
            agree "$name" "a click elsewhere" "$selection"

            step="$name, $pointer: OK"
            cli="$work/$name-$pointer-cli"
            mkdir -p "$cli"
            cp "$KORVANE_SOURCE_DIR/examples/floor-plan/JWC_TEMP.TXT" \
                "$KORVANE_SOURCE_DIR/examples/floor-plan/Korvane.dat" "$cli/"
            [ "$(run_cli "$cli" --set "$name=$selection")" = 0 ] || fail "korvane-cli did not draw"
            keys Return
            wait_closed
            # The window may have been placed where the user put it: the position lines aside.
            same <(tail -n +3 "$folder/Korvane.dat") <(tail -n +3 "$cli/Korvane.dat") \
                "OK saved other settings than korvane-cli with $name=$selection"
            same "$folder/JWC_TEMP.TXT" "$cli/JWC_TEMP.TXT" \
                "OK wrote another run than korvane-cli with $name=$selection"
            echo "$name, $pointer: OK wrote what korvane-cli writes with $name=$selection"
        done
        unset reference
    done
    ;;

placement)
    # On the 1024 x 768 screen, wherever the saved position puts the window (off the bottom-right
    # corner, off the left edge, on no monitor), it opens wholly inside the work area: at 96 DPI
    # with the strip at its full height, at 144 DPI, where the window would be taller than the
    # screen, with the strip given way so that it fills the work area's height. Esc still writes
    # hq and saves nothing. The larger window is at least 1.5 times the strip each way (or the
    # work area), inside the work area and never over OK and Cancel.
    inside() {  # inside WHAT: the dialog inside the work area; sets d_top, d_bottom, wt, wb, strip
        local left right width height
        read -r left d_top right d_bottom width height <<<"$(probe rect)"
        read -r wl wt wr wb <<<"$(probe work-area)"
        [ -n "$wb" ] || fail "no work area"
        [ "$left" -ge "$wl" ] && [ "$d_top" -ge "$wt" ] && [ "$right" -le "$wr" ] &&
            [ "$d_bottom" -le "$wb" ] ||
            fail "$1: the window $left $d_top $right $d_bottom lies outside the work area"
        local st sb
        read -r _ _ _ _ _ _ _ _ st _ sb _ <<<"$(probe control ScrollBox1)"
        strip=$((sb - st))
        echo "$1: window $left $d_top $right $d_bottom, client $width x $height, strip $strip px" \
            "high, work area $wl $wt $wr $wb"
    }
    larger() {  # larger DPI WHAT: F2 opens the larger window; its size and place, then Esc
        local pl pt pr pb least_w least_h b bl bt br bb
        step="the larger window ($2)"
        keys F2
        probe picture-window 10 >/dev/null || fail "F2 did not open the larger window ($2)"
        sleep 1
        read -r pl pt pr pb <<<"$(probe picture-window-rect)"
        read -r wl wt wr wb <<<"$(probe work-area)"
        least_w=$(((738 * $1 + 48) / 96))
        least_h=$(((192 * $1 + 48) / 96))
        [ "$least_w" -gt $((wr - wl)) ] && least_w=$((wr - wl))
        [ "$least_h" -gt $((wb - wt)) ] && least_h=$((wb - wt))
        echo "$2: larger window $pl $pt $pr $pb ($((pr - pl)) x $((pb - pt)), at least" \
            "$least_w x $least_h)"
        [ $((pr - pl)) -ge "$least_w" ] && [ $((pb - pt)) -ge "$least_h" ] ||
            fail "$2: the larger window is $((pr - pl)) x $((pb - pt)), under $least_w x $least_h"
        [ "$pl" -ge "$wl" ] && [ "$pt" -ge "$wt" ] && [ "$pr" -le "$wr" ] && [ "$pb" -le "$wb" ] ||
            fail "$2: the larger window lies outside the work area"
        for b in Button1 Button2; do
            read -r _ _ _ _ _ _ _ bl bt br bb _ <<<"$(probe control $b)"
            [ "$pr" -le "$bl" ] || [ "$br" -le "$pl" ] || [ "$pb" -le "$bt" ] ||
                [ "$bb" -le "$pt" ] || fail "$2: the larger window covers $b"
        done
        bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-placement-larger-$1.png"
        click $((pl + 300)) $((pt + 150))
        keys Escape  # the larger window, active, closes alone
        sleep 0.5
        probe picture-window 0 >/dev/null && fail "Esc did not close the larger window ($2)"
        expect_open "Esc in the larger window ($2)"
    }
    dragged_back() {  # the window dragged by its caption partly off the left edge comes back
        local l t l2 t2
        step="dragging the dialog partly off the left edge"
        read -r l t _ <<<"$(probe rect)"
        bounded 20 xdotool mousemove $((l + 100)) $((t + 10))
        sleep 0.2
        bounded 20 xdotool mousedown 1
        sleep 0.3
        bounded 20 xdotool mousemove $((l + 90)) $((t + 10))
        sleep 0.3
        bounded 20 xdotool mousemove $((l - 500)) $((t - 90))
        sleep 0.3
        bounded 20 xdotool mouseup 1
        sleep 1
        inside "dragged from $l, $t by (-600, -100)"
        read -r l2 t2 _ <<<"$(probe rect)"
        [ "$l2" -eq "$wl" ] && [ "$t2" -lt "$t" ] ||
            fail "dropped partly off the left edge, the window stays at $l2, $t2"
        bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-placement-dragged.png"
    }
    place() {  # place DPI LEFT TOP: the floor plan with the window saved at LEFT, TOP
        local folder="$work/$1-$2-$3"
        mkdir -p "$folder"
        cp "$KORVANE_SOURCE_DIR/examples/floor-plan/JWC_TEMP.TXT" "$folder/"
        awk -v left="$2" -v top="$3" 'NR == 1 { printf "%s\r\n", left; next }
            NR == 2 { printf "%s\r\n", top; next } { print }' \
            "$KORVANE_SOURCE_DIR/examples/floor-plan/Korvane.dat" >"$folder/Korvane.dat"
        cp "$folder/Korvane.dat" "$work/saved"
        start_tool "$folder"
        wait_for_ink strip-pixels 60 "picture in the strip ($1 DPI, saved at $2, $3)"
        inside "$1 DPI, saved at $2, $3"
    }
    closed_untouched() {  # closed_untouched FOLDER WHAT: Esc wrote hq and saved nothing
        keys Escape
        wait_closed
        same "$1/JWC_TEMP.TXT" "$work/hq" "Esc did not write hq ($2)"
        same "$1/Korvane.dat" "$work/saved" "Esc saved the settings ($2)"
    }
    set_dpi 96
    for saved in "950 700" "-400 300" "5000 5000"; do
        read -r left top <<<"$saved"
        place 96 "$left" "$top"
        [ "$strip" -eq 128 ] || fail "the strip is $strip pixels high on a screen with room"
        bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-placement-$left-$top.png"
        if [ "$saved" = "950 700" ]; then
            larger 96 "96 DPI"
            dragged_back
        fi
        closed_untouched "$work/96-$left-$top" "saved at $left, $top"
    done

    set_dpi 144
    for saved in "100 100" "950 700"; do
        read -r left top <<<"$saved"
        place 144 "$left" "$top"
        # 816 client pixels and the frame do not fit 768: the strip gives way until the window
        # fills the work area's height, and no further than 65 design pixels.
        [ "$d_top" -eq "$wt" ] && [ "$d_bottom" -eq "$wb" ] ||
            fail "at 144 DPI the window does not fill the work area's height"
        [ "$strip" -lt 192 ] && [ "$strip" -ge 98 ] ||
            fail "at 144 DPI the strip is $strip pixels high"
        bounded 30 import -window root "$KORVANE_BUILD_DIR/dialog-placement-144-$left-$top.png"
        [ "$saved" = "100 100" ] && larger 144 "144 DPI"
        closed_untouched "$work/144-$left-$top" "144 DPI, saved at $left, $top"
    done
    set_dpi 96
    ;;

*)
    fail "unknown scenario"
    ;;
esac
echo "passed: $scenario"
