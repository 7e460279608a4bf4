#!/bin/sh
# `zpakbuild import` of a manifest pair of ENTRIES file entries in 100 groups
# (written by `zpakbuild build --manifest` from a project whose files exist),
# beside Python's configparser reading the same two files, the common way to
# read INI files in a script. Reports the best of RUNS warm runs of each.
# Usage: bench/import_compare.sh [BUILD_DIR] [ENTRIES] [RUNS]
set -eu
build=${1:-build}
entries=${2:-100000}
runs=${3:-5}
zpakbuild=$(realpath "$build/src/cli/zpakbuild")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work" "$entries" <<'PY'
import os, sys
work, entries = sys.argv[1], int(sys.argv[2])
game = os.path.join(work, "Game")
os.makedirs(os.path.join(game, "System"))
per_group = entries // 100
with open(os.path.join(work, "bench.zproj"), "w", newline="\n") as out:
    out.write(f"{game}\n0.8\n")
    for g in range(100):
        folder = os.path.join(game, f"Pack{g:02}")
        os.makedirs(folder)
        out.write(f"[Group]\nname=Group{g}\nVisible=true\ncaption=Group {g}\n")
        for f in range(per_group):
            open(os.path.join(folder, f"File{f:04}.dat"), "w").close()
            out.write(f"Pack{g:02}\\File{f:04}.dat\n")
            if f % 10 == 0:
                out.write(f"src=Maps\\File{f:04}.dat\n")
    out.write("[Product]\nproduct=Bench\n")
PY
"$zpakbuild" build --manifest --quiet "$work/bench.zproj"

# The best of the runs: wall time, and the CPU time (user and system) of the
# process, which a busy machine disturbs less.
best() {
    python3 - "$runs" "$@" <<'PY'
import resource, subprocess, sys, time
runs, command = int(sys.argv[1]), sys.argv[2:]
walls, cpus = [], []
for _ in range(runs):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run(command, check=True, capture_output=True)
    walls.append(time.perf_counter() - start)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpus.append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
print(f"{min(walls):.3f} {min(cpus):.3f}")
PY
}

ini="$work/Game/System/BenchMOD.ini"
set -- $(best "$zpakbuild" import "$ini" -o "$work/imported.zproj")
ours_wall=$1 ours_cpu=$2
set -- $(best python3 -c 'import configparser, sys
for name in sys.argv[1:]:
    configparser.ConfigParser(strict=False, interpolation=None).read(name)' "$ini" "${ini%.ini}.int")
peer_wall=$1 peer_cpu=$2
size=$(cat "$ini" "${ini%.ini}.int" | wc -c)
echo "A manifest pair of $entries file entries ($size bytes), best of $runs warm runs (wall, CPU):"
echo "  zpakbuild import (reads the pair, writes the project): $ours_wall s, $ours_cpu s"
echo "  python3 configparser (reads the pair):                 $peer_wall s, $peer_cpu s"
python3 -c "import sys; print(f'  ratio: {float(sys.argv[2]) / float(sys.argv[1]):.1f}x wall, {float(sys.argv[4]) / float(sys.argv[3]):.1f}x CPU')" \
    "$ours_wall" "$peer_wall" "$ours_cpu" "$peer_cpu"
echo "  load average: $(cut -d' ' -f1-3 /proc/loadavg)"
