#!/bin/sh
# Time and peak memory of `zpakbuild check` and `zpakbuild preview` on
# projects of hostile shapes, each in a process of its own, over a small game
# folder: 100,000 groups, 50,000 groups each tied to an INI record, one entry of
# 40,000 path separators, and one line of 10 MB.
# Usage: bench/project_shapes.sh [BUILD_DIR] [SCALE]  (SCALE divides every size)
set -eu
build=${1:-build}
scale=${2:-1}
zpakbuild=$(realpath "$build/src/cli/zpakbuild")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 "$(dirname "$0")/project_shapes.py" "$work" "$scale"

for shape in groups ties separators deep line; do
    for command in check preview; do
        timeout "${ZPAK_SHAPE_TIMEOUT:-120}" /usr/bin/time -f "$shape $command: %e s (%U s user, %S s system), %M KB peak" "$zpakbuild" "$command" \
            "$work/$shape.zproj" >/dev/null 2>"$work/err" || true
        tail -1 "$work/err"
    done
done
