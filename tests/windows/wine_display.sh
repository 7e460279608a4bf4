# Shell functions for the tests that run a Windows program's real window
# under Wine: a virtual display of their own, and waiting for a window.
# Sourced; needs Xvfb (package xvfb) and xdotool.

# Starts Xvfb on the first free display and exports DISPLAY; stop_display
# ends it.
start_display() {
    display_fifo=$(mktemp -u "${TMPDIR:-/tmp}/zpak-xvfb.XXXXXX")
    mkfifo "$display_fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_fifo" 2>/dev/null &
    display_pid=$!
    read -r number <"$display_fifo"
    rm -f "$display_fifo"
    export DISPLAY=":$number"
}

stop_display() {
    [ -n "${display_pid:-}" ] && kill "$display_pid" 2>/dev/null && wait "$display_pid" 2>/dev/null
    display_pid=""
}

# Waits up to $2 seconds for a window whose title matches the regular
# expression $1; prints its id. Fails when none came.
wait_for_window() {
    deadline=$(( $(date +%s) + $2 ))
    while [ "$(date +%s)" -lt "$deadline" ]; do
        if id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    return 1
}
