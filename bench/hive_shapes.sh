#!/bin/sh
# Time and peak memory of reading 100 MB Wine hives of hostile shapes, each in
# a process of its own: loaded as the wizard loads a prefix (only the games'
# keys kept) and parsed whole. Usage: bench/hive_shapes.sh [BUILD_DIR]
set -eu
bench=${1:-build}/bench/ini_registry_bench
for how in Load Parse; do
    for shape in deep_line key_flood game_flood many_values huge_hex; do
        /usr/bin/time -f "  whole process: %e s, %M KB peak" "$bench" \
            --benchmark_filter="^BM_${how}ShapedHive/$shape/" 2>&1 | grep -E "ShapedHive|whole process"
    done
done
