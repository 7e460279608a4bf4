#!/bin/sh
# Zip packaging of a generated ~200 MB tree, beside Info-ZIP, 7-Zip and the
# single-thread zlib floor over the same bytes, and peak memory with a 1 GB
# file. Usage: bench/zip_compare.sh [BUILD_DIR] [SIZE_MB]
# Needs zip, p7zip-full, pigz and time (apt-get install them first).
set -eu
build=${1:-build}
size=${2:-200}
zpakbuild=$(realpath "$build/src/cli/zpakbuild")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
game="$work/Game"
mkdir -p "$game/System"
python3 "$(dirname "$0")/make_tree.py" "$game" "$size"

project="$work/bench.zproj"
{
    echo "$game"
    echo "0.8"
    echo "[Group]"
    echo "name=All"
    for folder in "$game"/Pack*; do echo "$(basename "$folder")\\*.*"; done
    echo "[Product]"
    echo "product=Bench"
} > "$project"

seconds() { /usr/bin/time -f "%e s, %M KB peak" "$@" 2>&1 >/dev/null | tail -n 1; }

echo "input: $(du -sm "$game" | cut -f1) MB in $(find "$game" -type f | wc -l) files"
cd "$game"
echo "zpakbuild --zip:        $(seconds "$zpakbuild" build --zip "$project")  -> $(du -m "$game/BenchMOD.zip" | cut -f1) MB"
rm -f "$game/BenchMOD.zip"
echo "zip -r -6:              $(seconds zip -q -r -6 "$work/info.zip" Pack0 Pack1 Pack2 Pack3 Pack4 Pack5 Pack6 Pack7)  -> $(du -m "$work/info.zip" | cut -f1) MB"
echo "7z -tzip -mx=5 -mmt=1:  $(seconds 7z a -bd -tzip -mx=5 -mmt=1 "$work/seven.zip" Pack0 Pack1 Pack2 Pack3 Pack4 Pack5 Pack6 Pack7)  -> $(du -m "$work/seven.zip" | cut -f1) MB"
echo "pigz -p 1 -6 (floor):   $(seconds sh -c 'cat Pack*/* | pigz -p 1 -6 > /dev/null')"

# Peak memory with one 1 GB file: streaming keeps it flat.
rm -rf "$game"/Pack*
mkdir "$game/Pack0"
head -c 1073741824 /dev/zero > "$game/Pack0/big.txt"
echo "[Group]
name=All
Pack0\\*.*
[Product]
product=Bench" | sed "1i $game\n0.8" > "$project"
echo "zpakbuild, one 1 GB file: $(seconds "$zpakbuild" build --zip "$project")"
