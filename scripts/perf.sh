#!/usr/bin/env bash
# Builds the benchmarks (32-bit, the shipped build) and runs the performance programs under Wine,
# printing one table: every figure is a ratio of two sides measured in the same run, or a count.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

dorrik_prepare
dorrik_build i686 -DDORRIK_BENCH=ON -DDORRIK_TESTS=OFF >/dev/null

echo "| figure | measured | goal | met |"
echo "|---|---|---|---|"
for program in perf_bench perf_startup_bench; do
    "$WINE32" "$DORRIK_BUILD/i686/bench/$program.exe"
done
