#!/usr/bin/env bash
# Builds the benchmarks (32-bit, the shipped build) and runs each under Wine, printing one table.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

dorrik_prepare
dorrik_build i686 --bench
for program in "$DORRIK_BUILD"/i686/bench/*_bench.exe; do
    # The platform comparisons (scripts/perf.sh) and the long random run (scripts/fuzz.sh) have
    # scripts of their own.
    case $program in */perf_*|*/fuzz_*) continue ;; esac
    "$WINE32" "$program"
done
