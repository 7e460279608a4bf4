# Checks for the shell tests: `check WHAT COMMAND...` prints "ok - WHAT" or
# "FAIL - WHAT" and counts the failures; `checks_done` ends the script,
# failing when any check failed.
failures=0
check() {
    what=$1
    shift
    if "$@" >/dev/null 2>&1; then
        echo "ok - $what"
    else
        echo "FAIL - $what"
        failures=$((failures + 1))
    fi
}
checks_done() {
    [ "$failures" -eq 0 ] || { echo "$failures checks failed"; exit 1; }
}
