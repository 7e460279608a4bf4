#!/bin/sh
# `zpakbuild check` and `zpakbuild preview` on a project of ENTRIES file entries in 100 folders that
# all exist on disk (Pack00/File0001.dat), once with the project's letter case
# as on disk and once in lower case (pack00\file0001.dat), which makes every
# lookup go through the letter-case-blind search. Reports the best of RUNS
# warm runs of each. Usage: bench/check_bench.sh [BUILD_DIR] [ENTRIES] [RUNS]
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
open(os.path.join(game, "System", "MKR.exe"), "w").close()
per_folder = entries // 100
names = []
for g in range(100):
    folder = os.path.join(game, f"Pack{g:02}")
    os.makedirs(folder)
    for f in range(per_folder):
        open(os.path.join(folder, f"File{f:04}.dat"), "w").close()
        names.append(f"Pack{g:02}\\File{f:04}.dat")
for label, transform in (("same", str), ("other", str.lower)):
    with open(os.path.join(work, f"{label}.zproj"), "w", newline="\n") as out:
        out.write(f"{game}\n0.8\n")
        for g in range(100):
            out.write(f"[Group]\nname=Group{g}\n")
            for name in names[g * per_folder:(g + 1) * per_folder]:
                out.write(transform(name) + "\n")
        out.write("[Product]\nproduct=Bench\n")
PY

best() {
    python3 - "$zpakbuild" "$1" "$2" "$runs" <<'PY'
import subprocess, sys, time
zpakbuild, command, project, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
times = []
for _ in range(runs):
    start = time.perf_counter()
    subprocess.run([zpakbuild, command, project], check=True, capture_output=True)
    times.append(time.perf_counter() - start)
print(f"{min(times):.3f} s")
PY
}

for command in check preview; do
    echo "zpakbuild $command, $entries entries in 100 folders, best of $runs warm runs:"
    echo "  letter case as on disk:     $(best $command "$work/same.zproj")"
    echo "  letter case not as on disk: $(best $command "$work/other.zproj")"
done
