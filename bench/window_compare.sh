#!/usr/bin/env bash
# The window's benchmark (window_bench) on Linux and, built for Windows, under
# Wine with Qt's offscreen platform, one after the other on the same machine,
# side by side. The 1-minute load average before each run says whether other
# work shared the machine.
# Usage: bench/window_compare.sh [LINUX_BUILD] [WINDOWS_BUILD] [window_bench options]
# (make and make windows build both programs; the default options give
# 100,000 file entries and 10,000 INI changes).
set -euo pipefail
linux_build=${1:-build}
windows_build=${2:-build-windows}
shift $(( $# < 2 ? $# : 2 ))
work=$(mktemp -d)
prefix=$(mktemp -d)
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work" "$prefix"' EXIT
wineboot --init >/dev/null 2>&1
wineserver -w

load() { cut -d' ' -f1 /proc/loadavg; }
echo "Linux: load $(load)"
QT_QPA_PLATFORM=offscreen "$linux_build/bench/window_bench" "$@" >"$work/linux"
echo "Windows under Wine: load $(load)"
QT_QPA_PLATFORM=offscreen wine "$windows_build/bench/window_bench.exe" "$@" | tr -d '\r' >"$work/windows"

head -n 1 "$work/linux"
printf '%-44s %12s %12s\n' "" "Linux" "Wine"
# Each line: what was measured, then its figure and unit (or, for a line
# with no figure, what it tells).
paste -d '\t' <(tail -n +2 "$work/linux") <(tail -n +2 "$work/windows") | awk -F'\t' '{
    what = substr($1, 1, 44); sub(/ +$/, "", what)
    a = substr($1, 45); b = substr($2, 45)
    gsub(/^ +/, "", a); gsub(/^ +/, "", b)
    printf "%-44s %12s %12s\n", what, a, b
}'
