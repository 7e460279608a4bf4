#!/usr/bin/env bash
# Zip packaging of a generated game-like tree (~SIZE_MB, one file in five
# random) beside Info-ZIP, 7-Zip and pigz over the same bytes, the check of
# that archive by zpakbuild verify beside unzip -t, then one 1 GB text-like
# file beside Info-ZIP, with zpakbuild's peak memory.
# Usage: bench/zip_compare.sh [BUILD_DIR] [SIZE_MB] [THREADS]
# THREADS is zpakbuild's --threads (default: the cores); RUNS (default 2)
# how often each figure is taken. Other work may share the machine: every
# figure shows the CPU use of the command (200% is two busy cores) and the
# 1-minute load average just before it started.
# Needs zip, p7zip-full, pigz and time: scripts/install-deps installs them.
set -euo pipefail
build=${1:-build}
size=${2:-200}
threads=${3:-$(nproc)}
runs=${RUNS:-2}
zpakbuild=$(realpath "$build/src/cli/zpakbuild")
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
game="$work/Game"
mkdir -p "$game/System"
python3 "$here/make_tree.py" "$game" "$size"
packs=(Pack0 Pack1 Pack2 Pack3 Pack4 Pack5 Pack6 Pack7)

# A project that zips the listed folders of the game into BenchMOD.zip.
write_project() {
    {
        echo "$game"
        echo "0.8"
        echo "[Group]"
        echo "name=All"
        for folder in "$@"; do echo "$folder\\*.*"; done
        echo "[Product]"
        echo "product=Bench"
    } > "$work/bench.zproj"
}

megabytes() { awk -v b="$(stat -c %s "$1")" 'BEGIN { printf "%.1f MB", b / 1048576 }'; }

# Runs "$@" $runs times; leaves each run's time, CPU use, peak memory and
# load in $line, the best time in $best.
time_runs() {
    local load stats seconds cpu peak
    line=""
    best=""
    for ((run = 0; run < runs; ++run)); do
        load=$(cut -d' ' -f1 /proc/loadavg)
        stats=$(/usr/bin/time -f "%e %P %M" "$@" 2>&1 >/dev/null | tail -n 1)
        read -r seconds cpu peak <<< "$stats"
        line+=$(printf "  %6.2f s %5s CPU %5d MB load %s" "$seconds" "$cpu" $((peak / 1024)) "$load")
        if [ -z "$best" ] || awk -v a="$seconds" -v b="$best" 'BEGIN { exit !(a < b) }'; then
            best=$seconds
        fi
    done
}

# time_runs "$@", then prints the figures after the label.
time_only() {
    local label=$1
    shift
    time_runs "$@"
    printf "%-30s%s\n" "$label" "$line"
}

# time_runs "$@", each run after removing $output, then prints the figures
# and the output's size, which is left in $bytes in bytes.
measure() {
    local label=$1 output=$2
    shift 2
    # shellcheck disable=SC2016 # the inner shell expands them
    time_runs sh -c 'rm -f "$0" && exec "$@"' "$output" "$@"
    bytes=$(stat -c %s "$output")
    printf "%-30s%s  -> %s\n" "$label" "$line" "$(megabytes "$output")"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2fx", a / b }'; }

cd "$game"
echo "input: $(du -sm "$game" | cut -f1) MB in $(find "$game" -type f | wc -l) files; $(nproc) cores;" \
     "zpakbuild with --threads $threads; best of $runs runs is used for the ratios"
write_project "${packs[@]}"
measure "zpakbuild --zip" BenchMOD.zip "$zpakbuild" build --zip --threads "$threads" "$work/bench.zproj"
tree_zpak=$best
tree_zpak_bytes=$bytes
# The archive checked: verify unpacks every entry and compares it with its
# file; unzip -t unpacks every entry and compares its CRC.
"$zpakbuild" build --zip --quiet --threads "$threads" "$work/bench.zproj"
time_only "zpakbuild verify --zip" "$zpakbuild" verify --zip --quiet --threads "$threads" "$work/bench.zproj"
tree_verify=$best
time_only "unzip -tq" unzip -tq BenchMOD.zip
tree_unzip_test=$best
measure "zip -r -6" "$work/info.zip" zip -q -r -6 "$work/info.zip" "${packs[@]}"
tree_info=$best
tree_info_bytes=$bytes
measure "7z -tzip -mx=5 -mmt=1" "$work/seven.zip" 7z a -bd -tzip -mx=5 -mmt=1 "$work/seven.zip" "${packs[@]}"
measure "7z -tzip -mx=5 -mmt=2" "$work/seven.zip" 7z a -bd -tzip -mx=5 -mmt=2 "$work/seven.zip" "${packs[@]}"
measure "pigz -p 1 -6 (same bytes)" "$work/all.gz" sh -c "cat Pack*/* | pigz -p 1 -6 > '$work/all.gz'"
measure "pigz -p 2 -6 (same bytes)" "$work/all.gz" sh -c "cat Pack*/* | pigz -p 2 -6 > '$work/all.gz'"

# One 1 GiB text-like file: the tree's text files over and over. zpakbuild's
# peak memory must not grow with it.
mkdir "$game/Big"
while [ "$(stat -c %s "$game/Big/big.txt" 2>/dev/null || echo 0)" -lt 1073741824 ]; do
    cat Pack*/*.txt >> "$game/Big/big.txt"
done
truncate -s 1073741824 "$game/Big/big.txt"
rm -rf "${packs[@]}"
write_project Big
measure "zpakbuild --zip, 1 GB file" BenchMOD.zip "$zpakbuild" build --zip --threads "$threads" "$work/bench.zproj"
big_zpak=$best
big_zpak_bytes=$bytes
measure "zip -6, 1 GB file" "$work/info.zip" zip -q -6 "$work/info.zip" Big/big.txt
big_info=$best
big_info_bytes=$bytes

echo "zpakbuild is $(ratio "$tree_info" "$tree_zpak") as fast as Info-ZIP on the tree and" \
     "$(ratio "$big_info" "$big_zpak") on the 1 GB file; its archives are" \
     "$(ratio "$tree_zpak_bytes" "$tree_info_bytes") and $(ratio "$big_zpak_bytes" "$big_info_bytes")" \
     "the size of Info-ZIP's; zpakbuild verify is $(ratio "$tree_unzip_test" "$tree_verify") as fast as unzip -t"
