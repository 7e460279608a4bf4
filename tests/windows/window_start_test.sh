#!/bin/sh
# zpakwizard.exe as a user starts it: under Wine, with the Windows platform
# on a virtual display, the example project named on its command line and
# its game installed where the project says (C:\Games\Vantor). Its window
# comes up titled with the project, and it ends cleanly, with status 0, when
# Windows asks it to close (taskkill without /f sends WM_CLOSE).
#
#   window_start_test.sh ZPAKWIZARD.EXE EXAMPLES-FOLDER
#
# Run by ctest in scripts/test-windows's Wine prefix; prints how long the
# window took to come up.
set -eu
program=$1
examples=$2
. "$(dirname "$0")/wine_display.sh"
: "${WINEPREFIX:?needs the Wine prefix of scripts/test-windows}"

game="$WINEPREFIX/drive_c/Games/Vantor"
work=$(mktemp -d "${TMPDIR:-/tmp}/zpak-window.XXXXXX")
cleanup() {
    stop_display
    rm -rf "$work" "$game"
}
trap cleanup EXIT
mkdir -p "$(dirname "$game")"
cp -r "$examples/demo-game" "$game"
cp "$examples/frontier.zproj" "$work/"

# Wine's desktop takes the display of the program that starts it and keeps
# it while any program of the prefix runs: the tests before this one have
# none, so their Wine must be gone first (ctest runs this test alone).
wineserver -w
start_display
started=$(date +%s%3N)
# What Wine says of the program (a crash among it) is shown when it fails.
QT_QPA_PLATFORM=windows wine "$program" "Z:$work/frontier.zproj" 2>"$work/errors" &
pid=$!
if ! window=$(wait_for_window 'frontier\.zproj' 90); then
    echo "FAIL: no window titled with the project within 90 s; the windows there:"
    xdotool search --name . getwindowname %@ 2>/dev/null || true
    cat "$work/errors"
    kill "$pid" 2>/dev/null || true
    exit 1
fi
shown=$(date +%s%3N)
echo "window up after $(( (shown - started) / 1000 )).$(( (shown - started) % 1000 / 100 )) s: $(xdotool getwindowname "$window")"

wine taskkill /im zpakwizard.exe >/dev/null 2>&1 || true
waited=0
while kill -0 "$pid" 2>/dev/null && [ "$waited" -lt 300 ]; do
    sleep 0.1
    waited=$((waited + 1))
done
if kill -0 "$pid" 2>/dev/null; then
    echo "FAIL: zpakwizard.exe still runs 30 s after it was asked to close (a crash may wait in Wine's dialog):"
    cat "$work/errors"
    kill "$pid"
    exit 1
fi
status=0
wait "$pid" || status=$?
if [ "$status" -ne 0 ]; then
    echo "FAIL: zpakwizard.exe ended with status $status when asked to close:"
    cat "$work/errors"
    exit 1
fi
echo "closed when asked, status 0"
